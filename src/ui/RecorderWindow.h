#pragma once

#include <QMainWindow>
#include <array>
#include <memory>
#include <random>

#include "recording/MillisecondTimer.h"
#include "recording/RecordingSession.h"

#include "screen/Screen.h"
#include "screen/Surface.h"
#include "ui/RecorderState.h"
#include "settings/Settings.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QScrollBar;
class QTimer;
class QToolButton;
class SevenSegmentDigit;
class ChannelRangeRow;
class DvmPanel;
class RunControls;
class TimeBaseGroup;
class ScreenView;
class OverlayView;
namespace datafile {
class AutoSaveWriter;
}

// The recorder main window: the screen, the DVM panels, range and channel controls, the time
// base, Run and Single, the status texts and the main menu. Every control carries its own name
// as objectName. Handler bodies live in the source folder of the subsystem they belong to.
class RecorderWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit RecorderWindow(RecorderState& state, QWidget* parent = nullptr);
    ~RecorderWindow() override;

    RecorderState& st;

    // The program's settings (folders, skin, ...): the start-up shell hands its own over; a window
    // made on its own (window tests) keeps a set of defaults.
    AppSettings& settings() { return *settings_; }
    const AppSettings& settings() const { return *settings_; }
    void useSettings(AppSettings& settings) { settings_ = &settings; }

private:
    AppSettings ownSettings_;
    AppSettings* settings_ = &ownSettings_;

public:
    // ---- The screen: the persistent bitmap of screenImage and the live overlay liveOverlay.
    Surface image1Surface{Screen::ImageWidth, Screen::ImageHeight};
    Surface paintBox1Surface{Screen::ImageWidth, Screen::ImageHeight, true};
    ViewState view;  // what the user has set up on the screen: markers and their drag
    Screen screen{st, st, st, st, st, st, st, view, image1Surface, paintBox1Surface};

    // ---- Controls (names as on the window)
    QFrame* screenFrame = nullptr;
    QFrame* screenBezel = nullptr;
    ScreenView* screenImage = nullptr;
    OverlayView* liveOverlay = nullptr;
    QToolButton* previousPageButton = nullptr;  // "<<"
    QScrollBar* scrollBar = nullptr;
    QToolButton* nextPageButton = nullptr;  // ">>"

    // The parts the window is composed of. The control pointers below point into them, for the
    // handlers and the other windows that use the controls.
    QGroupBox* rangeGroupBox = nullptr;         // "Voltage Range", with one ChannelRangeRow per channel
    std::array<QLabel*, 4> channelLabels{};     // "CH1".."CH4" of the range rows
    std::array<QCheckBox*, 4> channelSwitch{};  // "ON" under CH1..CH4
    // Range buttons per channel in the order ±20V, ±8V, ±4V, ±2V, ±0.8V, ±0.4V.
    std::array<std::array<QToolButton*, 6>, 4> rangeButtons{};

    QGroupBox* timeBaseGroupBox = nullptr;  // "Time/Div."
    // Time buttons in the order 1000s, 500s, 200s, 100s, 50s, 20s, 10s, 5s, 2s, 1s, 0.5s, 0.2s, 0.1s.
    std::array<QToolButton*, 13> timeButtons{};

    // From the run controls.
    QFrame* elapsedPanel = nullptr;
    QLabel* elapsedTimeLabel = nullptr;
    QFrame* statusPanel = nullptr;
    QLabel* runStatusLabel = nullptr;
    QToolButton* runButton = nullptr;
    QToolButton* singleButton = nullptr;
    QLabel* deviceStatusLabel = nullptr;

    // The DVM panel of channel 0..3.
    DvmPanel* dvmPanel(int channel) const { return dvmPanels_[static_cast<size_t>(channel)]; }

    // ---- Menu
    QMenu* fileMenu = nullptr;
    QMenu* editMenu = nullptr;
    QMenu* optionsMenu = nullptr;
    QMenu* skinsMenu = nullptr;  // "Skins..."
    QMenu* viewMenu = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* openImageAction = nullptr;
    QAction* openDataAction = nullptr;
    QAction* saveImageAction = nullptr;
    QAction* saveDataAction = nullptr;
    QAction* autoSaveAction = nullptr;
    QAction* printAction = nullptr;
    QAction* printSetupAction = nullptr;
    QAction* exitAction = nullptr;
    QAction* restoreDefaultsAction = nullptr;
    QAction* copyAction = nullptr;
    QAction* pasteAction = nullptr;
    QAction* coloursAction = nullptr;
    QAction* calibrateAction = nullptr;
    std::array<QAction*, 8> skinItems{};  // skin1Action..skin7Action, skin8Action ("No Skin")
    QAction* markersTimeAction = nullptr;
    QAction* markersDeltaTimeAction = nullptr;
    QAction* dvmDisplayAction = nullptr;
    QAction* brightGridAction = nullptr;
    QAction* helpContentsAction = nullptr;
    QAction* aboutAction = nullptr;

    // ---- Non-visual members
    QString lastImageName;  // the name "Save Image..." offers next
    // The recording engine: sampling, elapsed time, auto-save hand-off. The window starts and stops
    // it and draws what it reports.
    RecordingSession* session = nullptr;
    std::unique_ptr<AutoSaveSink> autoSaveSink;
    std::unique_ptr<AutoSaveSink> makeAutoSaveSink();

    // ---- Window events
    void initialise();
    bool canClose();
    void finishClose();
    void finishDestroy() {}

    // ---- Screen routines on the window: they draw through `screen` and repaint the widgets.
    void drawText(const QString& text, int x, int y, Colour colour) { screen.drawText(text, x, y, colour); }
    void drawOverlayText(const QString& text, int x, int y, Colour colour)
    {
        screen.drawOverlayText(text, x, y, colour);
    }
    void drawGrid() { screen.drawGrid(); }
    void drawScaleTexts() { screen.drawScaleTexts(); }
    void redrawIfClearPending() { screen.redrawIfClearPending(); }

    // The demo set-up of the hand-over: builds the demo signals.
    void demoSetup();

    // ---- Recording control and sampling
    MillisecondTimer* demoTimer = nullptr;  // the session's timer of the demo samples
    std::mt19937 random{std::random_device{}()};
    // The start and stop sequences of a recording (also used to put a data file page on screen).
    void startRecording();
    void stopRecording();
    // One demo sample now, as one tick of the demo timer takes it.
    void demoTick();
    // What the window does with the session's reports: the live segments of the new samples and
    // the elapsed time, the erase of a full screen, the value displays, the stop sequence.
    void drawLiveSamples(int first, int last);
    void liveScreenWrapped();
    void refreshValuesDue(bool dvm, bool texts);
    void recordingEnded(StopReason reason);
    // The window's part of the stop sequence; `fromSession`: the session has written the trailer
    // and sent the stop command.
    void finishStop(bool fromSession);
    // Sends the range command and, for channel 1..4, replaces its range label.
    void setChannelRange(const QString& label, int channel);
    void setTimeBase(const QString& label);
    void buildDemoTables();
    void buildDemoSignals();
    // The start-up search for the recorder: true when it was found and opened. A recorder that is
    // present but cannot be opened is reported to the user and counts as not found.
    bool probeRecorder();
    // Value displays and markers, and the auto-save writer, used by the recording.
    void refreshDvmPanels();
    void refreshValueTexts();
    void drawValueTextsOnImage();
    void updateTimeReadout();
    void updateVoltReadout();
    void WriteAutoSaveHeader();
    void WriteSampleLine(int position, double timeStep);
    void WriteAutoSaveTrailer();
    // The armed auto-save file, from arming ("AutoSave Data...") to the stop of the armed recording.
    std::shared_ptr<datafile::AutoSaveWriter> AutoSaveFile;
    // Sends OutReport to the recorder, if one was found.
    void DoWrite();

    // ---- Measuring: channel switches and the right mouse button on the screen
    // The screen step of each channel switch: trace, range label, value text and marker colours.
    void applyChannel1Switch();
    void applyChannel2Switch();
    void applyChannel3Switch();
    void applyChannel4Switch();
    // A right click on screenImage at (x, y): places the annotation of the "Add Text" window.
    void annotationRightClick(int x, int y);

    // The named handlers of the range and time buttons.
    void range20VCh1Click() { rangeButtonClick(0, 0); }
    void range8VCh1Click() { rangeButtonClick(0, 1); }
    void range4VCh1Click() { rangeButtonClick(0, 2); }
    void range2VCh1Click() { rangeButtonClick(0, 3); }
    void range08VCh1Click() { rangeButtonClick(0, 4); }
    void range04VCh1Click() { rangeButtonClick(0, 5); }
    void range20VCh2Click() { rangeButtonClick(1, 0); }
    void range8VCh2Click() { rangeButtonClick(1, 1); }
    void range4VCh2Click() { rangeButtonClick(1, 2); }
    void range2VCh2Click() { rangeButtonClick(1, 3); }
    void range08VCh2Click() { rangeButtonClick(1, 4); }
    void range04VCh2Click() { rangeButtonClick(1, 5); }
    void range20VCh3Click() { rangeButtonClick(2, 0); }
    void range8VCh3Click() { rangeButtonClick(2, 1); }
    void range4VCh3Click() { rangeButtonClick(2, 2); }
    void range2VCh3Click() { rangeButtonClick(2, 3); }
    void range08VCh3Click() { rangeButtonClick(2, 4); }
    void range04VCh3Click() { rangeButtonClick(2, 5); }
    void range20VCh4Click() { rangeButtonClick(3, 0); }
    void range8VCh4Click() { rangeButtonClick(3, 1); }
    void range4VCh4Click() { rangeButtonClick(3, 2); }
    void range2VCh4Click() { rangeButtonClick(3, 3); }
    void range08VCh4Click() { rangeButtonClick(3, 4); }
    void range04VCh4Click() { rangeButtonClick(3, 5); }
    void timeBase1000sClick() { timeButtonClick(0); }
    void timeBase500sClick() { timeButtonClick(1); }
    void timeBase200sClick() { timeButtonClick(2); }
    void timeBase100sClick() { timeButtonClick(3); }
    void timeBase50sClick() { timeButtonClick(4); }
    void timeBase20sClick() { timeButtonClick(5); }
    void timeBase10sClick() { timeButtonClick(6); }
    void timeBase5sClick() { timeButtonClick(7); }
    void timeBase2sClick() { timeButtonClick(8); }
    void timeBase1sClick() { timeButtonClick(9); }
    void timeBase05sClick() { timeButtonClick(10); }
    void timeBase02sClick() { timeButtonClick(11); }
    void timeBase01sClick() { timeButtonClick(12); }

public slots:
    // ---- Handlers of the controls and menu items
    void screenMouseDown(Qt::MouseButton button, int x, int y);
    void screenMouseMove(int x, int y);
    void screenMouseUp(Qt::MouseButton button, int x, int y);
    void previousPageClick();
    void nextPageClick();
    void scrollBarChange();
    void channel1SwitchClick();
    void channel2SwitchClick();
    void channel3SwitchClick();
    void channel4SwitchClick();
    // The 24 range buttons (range20VCh1Button .. range04VCh4Button): channel 0..3, range index 0..5.
    void rangeButtonClick(int channel, int rangeIndex);
    // The 13 time buttons (timeBase1000sButton .. timeBase01sButton): index in timeButtons order.
    void timeButtonClick(int index);
    void runClick();
    void singleClick();

    void fileMenuShown();
    void openImageClick();
    void openDataClick();
    void saveImageClick();
    void saveDataClick();
    void autoSaveClick();
    void printClick();
    void printSetupClick();
    void exitClick();
    void restoreDefaultsClick();
    void editMenuShown();
    void copyClick();
    void pasteClick();
    void coloursClick();
    // Applies the colour dialog's result to the channel labels and the screen.
    void applyColourDialog();
    void calibrateClick();
    void skin1Click();
    void skin2Click();
    void skin3Click();
    void skin4Click();
    void skin5Click();
    void skin6Click();
    void skin7Click();
    void skin8Click();
    void markersTimeClick();
    void markersDeltaTimeClick();
    void dvmDisplayClick();
    void brightGridClick();
    void helpContentsClick();
    void aboutClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Creates every control at its place with its caption, name and initial state, and connects
    // each control's event to its handler.
    void buildControls();
    void buildMenu();

    std::array<DvmPanel*, 4> dvmPanels_{};
    std::array<ChannelRangeRow*, 4> rangeRows_{};
    TimeBaseGroup* timeBase_ = nullptr;
    RunControls* runControls_ = nullptr;
    // The two marker menu items: `item` was clicked, `other` loses its tick; time marker 1 goes to
    // `firstTimeMarkerX` when markers come on.
    void markerModeClick(QAction* item, QAction* other, int firstTimeMarkerX);
    // Run and Single: starts a recording when the button went down, stops it when it came up.
    void recordButtonClick(QToolButton* button, bool singleShot);
    // The screen step and the DVM-panel part of a channel switch (channel 0..3).
    void applyChannelSwitch(int channel);
    void channelSwitchClick(int channel);
};
