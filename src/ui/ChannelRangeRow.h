#pragma once

#include <QWidget>
#include <array>

#include "ui/RecorderState.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QToolButton;

// One channel's row of the "Voltage Range" box: the channel label on its grey panel, the ON
// switch below it and the six range buttons ±20V .. ±0.4V, one of which is always down. Each
// row has its own button group, so the channels never release each other's buttons.
class ChannelRangeRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int RangeCount = 6;

    // channel 0..3: CH1 and CH2 in the left half of `box`, CH3 and CH4 in the right half, the
    // second channel of each half one row lower.
    ChannelRangeRow(int channel, QWidget* box);

    QFrame* labelPanel() const { return labelPanel_; }
    QLabel* channelLabel() const { return channelLabel_; }
    QCheckBox* onSwitch() const { return onSwitch_; }
    // Range buttons in the order ±20V, ±8V, ±4V, ±2V, ±0.8V, ±0.4V.
    QToolButton* rangeButton(int index) const { return rangeButtons_[static_cast<size_t>(index)]; }

    // The label's text colour: the channel colour while the channel is on, black when it is off.
    void setLabelColour(Colour colour);

signals:
    void switchClicked();
    void rangeClicked(int index);

private:
    QFrame* labelPanel_ = nullptr;
    QLabel* channelLabel_ = nullptr;
    QCheckBox* onSwitch_ = nullptr;
    std::array<QToolButton*, RangeCount> rangeButtons_{};
    QButtonGroup* group_ = nullptr;
};
