#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <random>

struct RecorderState;

class ChannelRangeRow;
class DvmPanel;
class MeasuringTools;
class QGroupBox;
class Screen;
class TimeBaseGroup;

// What is set on the recorder's inputs: the range of each channel (the range rows with their
// range command), the channel switches, the time base, and the demo signals that stand in for the
// inputs without a recorder. The buttons show the setting; the screen shows its labels.
class InputControls : public QObject {
    Q_OBJECT
public:
    InputControls(QObject* parent, RecorderState& state, Screen& screen, QGroupBox* rangeBox,
                  const std::array<ChannelRangeRow*, 4>& rows, TimeBaseGroup* timeBase,
                  const std::array<DvmPanel*, 4>& panels, MeasuringTools& measuring);

    // Range `rangeIndex` (0..5: ±20V .. ±0.4V) on channel 0..3, as its button sets it: the button
    // goes down, the range command goes to the recorder and the screen's range label changes.
    void selectRange(int channel, int rangeIndex);
    // Sends the range command and, for channel 1..4, replaces its range label.
    void setChannelRange(const QString& label, int channel);
    // Time base `index` (0..12: 1000s .. 0.1s), as its button sets it.
    void selectTimeBase(int index);
    void setTimeBase(const QString& label);

    // A click on the switch of channel 0..3: the screen step, the label colour and the DVM panel.
    void channelSwitchClick(int channel);
    // Every channel switch again: traces, labels and panels take the look of each channel's state.
    void applyChannelSwitches();
    // The switches, the time base and the range box are locked while a recording runs (the range
    // box itself is only ever unlocked here).
    void setRecordingLocked(bool locked);

    // The demo signals: the demo ranges and time base, then new sources and screen tables.
    void demoSetup();
    void buildDemoSignals();
    // New random demo sources, as a recorder pulled out leaves them.
    void rebuildDemoSources();
    // Seeds the demo sources' generator from the clock.
    void seedDemo();

private:
    void applyChannelSwitch(int channel);

    RecorderState& st;
    Screen& screen_;
    QGroupBox* rangeBox_;
    std::array<ChannelRangeRow*, 4> rows_;
    TimeBaseGroup* timeBase_;
    std::array<DvmPanel*, 4> panels_;
    MeasuringTools& measuring_;
    std::mt19937 random_{std::random_device{}()};
};
