#pragma once

#include <QObject>
#include <array>

struct RecorderState;
struct SampleAverager;

class DvmPanel;
class RecorderMenu;
class Screen;

// The value displays of a recording: the four DVM panels over the screen ("DVM Display") and the
// value texts of the bottom text row. The readings and texts come from the value-display engine
// (ValueDisplay.h); this class puts them on the panels and the screen.
class ValueDisplays : public QObject {
    Q_OBJECT
public:
    // `sums`: the reports summed for the sample being formed (the recording session's).
    ValueDisplays(QObject* parent, RecorderState& state, const SampleAverager& sums, Screen& screen,
                  const std::array<DvmPanel*, 4>& panels, const RecorderMenu& menu);

    // The session's refresh schedule: a device recording refreshes the display that is shown; the
    // demo refreshes the DVM panels (`dvm`) once a second and the value texts (`texts`) twice.
    void refreshDue(bool dvm, bool texts);
    void refreshDvmPanels();
    void refreshValueTexts();
    // The value texts at the stop, into the screen bitmap (blank while a data file is on screen).
    void drawValueTextsOnImage();
    // Shows or hides the four panels.
    void showPanels(bool shown);
    // A new recording or window: the panels forget their Max and Min holds.
    void forgetHolds();

private:
    RecorderState& st;
    const SampleAverager& sums_;
    Screen& screen_;
    std::array<DvmPanel*, 4> panels_;
    const RecorderMenu& menu_;
};
