#pragma once

#include <QObject>
#include <memory>

#include "recording/RecordingSession.h"

class QFrame;
class QLabel;
class QMainWindow;
class QScrollBar;
class QToolButton;
class DataFileActions;
class DvmPanel;
class InputControls;
class MeasuringTools;
class OverlayView;
class RecorderMenu;
class RunControls;
class Screen;
class Surface;
class ValueDisplays;
struct RecorderState;

// The window's side of a recording: Run and Single, the start and stop sequences of the window
// (controls locked and unlocked, the run status, the live overlay, the stop command), and what the
// session reports: the live segments of the new samples once per batch with the elapsed time, the
// erase of a full screen, and the stop. The session writes the armed auto-save file through the
// data-file actions.
class RecordingControl : public QObject {
    Q_OBJECT
public:
    // The controls a recording changes.
    struct Controls {
        QMainWindow* window;
        QFrame* screenFrame;
        OverlayView* liveOverlay;
        QScrollBar* scrollBar;
        QToolButton* previousPageButton;
        QToolButton* nextPageButton;
        RunControls* run;
        DvmPanel* firstDvmPanel;  // takes the focus from Run and Single while the DVM panels show
    };
    // The window's parts a recording works with.
    struct Parts {
        RecorderMenu& menu;
        InputControls& inputs;
        MeasuringTools& measuring;
        ValueDisplays& values;
        DataFileActions& files;
    };

    RecordingControl(const Controls& controls, const Parts& parts, RecorderState& state, Screen& screen,
                     Surface& overlay, RecordingSession& session);
    ~RecordingControl() override;

    void runClick();
    void singleClick();
    // The start and stop sequences of a recording (also used to put a data file page on screen).
    void startRecording();
    void stopRecording();

private:
    // Run and Single: starts a recording when the button went down, stops it when it came up.
    void recordButtonClick(QToolButton* button, bool singleShot);
    void recordingEnded(StopReason reason);
    // The window's part of the stop sequence; `fromSession`: the session has written the trailer
    // and sent the stop command.
    void finishStop(bool fromSession);
    // One line per channel per 2-pixel step (one step per 6.25 positions); only the strip of the
    // new segments is repainted.
    void drawLiveSamples(int first, int last);
    void liveScreenWrapped();

    RecorderState& st;
    Screen& screen_;
    Surface& overlay_;
    RecordingSession& session_;
    RecorderMenu& menu_;
    InputControls& inputs_;
    MeasuringTools& measuring_;
    ValueDisplays& values_;
    DataFileActions& files_;
    QMainWindow* window_;
    QFrame* screenFrame_;
    OverlayView* liveOverlay_;
    QScrollBar* scrollBar_;
    QToolButton* previousPageButton_;
    QToolButton* nextPageButton_;
    DvmPanel* firstDvmPanel_;
    QFrame* statusPanel_;
    QLabel* runStatusLabel_;
    QLabel* elapsedTimeLabel_;
    QToolButton* runButton_;
    QToolButton* singleButton_;
    std::unique_ptr<AutoSaveSink> autoSave_;
};
