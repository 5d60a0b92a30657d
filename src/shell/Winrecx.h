#pragma once

#include <QMainWindow>
#include <array>
#include <memory>
#include <random>

#include "acquisition/Fasttime32.h"

#include "display/Screen.h"
#include "display/Surface.h"
#include "shell/RecorderState.h"

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
class M7SegDisp;
class ScreenView;
class OverlayView;
namespace datafile {
class AutoSaveWriter;
}

// The recorder main window: the screen, the DVM panels, range and channel controls, the time
// base, Run and Single, the status texts and the main menu. Every control carries its own name
// as objectName. Handler bodies live in the source folder of the subsystem they belong to.
class TForm1_rec : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1_rec(RecorderState& state, QWidget* parent = nullptr);
    ~TForm1_rec() override;

    RecorderState& st;

    // ---- The screen: the persistent bitmap of Image1 and the live overlay PaintBox1.
    Surface image1Surface{Screen::ImageWidth, Screen::ImageHeight};
    Surface paintBox1Surface{Screen::ImageWidth, Screen::ImageHeight, true};
    Screen screen{st, image1Surface, paintBox1Surface};

    // ---- Controls (names as on the window)
    QFrame* Panel3 = nullptr;
    QFrame* Panel10 = nullptr;
    ScreenView* Image1 = nullptr;
    OverlayView* PaintBox1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;  // "<<"
    QScrollBar* ScrollBar2 = nullptr;
    QToolButton* SpeedButton2 = nullptr;  // ">>"

    // One DVM panel per channel: Panel8, Panel11, Panel13, Panel15.
    struct DvmPanel {
        QFrame* panel = nullptr;
        QLabel* channelLabel = nullptr;
        QFrame* display = nullptr;           // Panel9, Panel12, Panel14, Panel16
        std::array<M7SegDisp*, 4> digits{};  // left to right
        QFrame* minusBar = nullptr;          // horizontal bar of the sign
        QFrame* plusBar = nullptr;           // vertical bar of the sign
        std::array<QFrame*, 3> points{};     // decimal points at x = 71, 110, 149
        QLabel* dcLabel = nullptr;
        QLabel* voltLabel = nullptr;
        QCheckBox* maxBox = nullptr;
        QCheckBox* minBox = nullptr;
        QLabel* maxLabel = nullptr;
        QLabel* minLabel = nullptr;
    };
    std::array<DvmPanel, 4> dvm{};

    QGroupBox* GroupBox1 = nullptr;             // "Voltage Range"
    std::array<QFrame*, 4> channelPanels{};     // Panel17..Panel20
    std::array<QLabel*, 4> LabelCh{};           // LabelCh1..LabelCh4
    std::array<QCheckBox*, 4> channelSwitch{};  // CheckBox9..CheckBox12
    // Range buttons per channel in the order ±20V, ±8V, ±4V, ±2V, ±0.8V, ±0.4V.
    std::array<std::array<QToolButton*, 6>, 4> rangeButtons{};
    std::array<QButtonGroup*, 4> rangeGroups{};

    QGroupBox* GroupBox2 = nullptr;  // "Time/Div."
    // Time buttons in the order 1000s, 500s, 200s, 100s, 50s, 20s, 10s, 5s, 2s, 1s, 0.5s, 0.2s, 0.1s.
    std::array<QToolButton*, 13> timeButtons{};
    QButtonGroup* timeGroup = nullptr;

    QFrame* Panel1 = nullptr;
    QLabel* Label6 = nullptr;  // "Time elapsed"
    QLabel* Label7 = nullptr;  // elapsed time
    QFrame* Panel2 = nullptr;
    QLabel* Label3 = nullptr;  // run status
    QToolButton* SpeedButtonRun = nullptr;
    QToolButton* SpeedButtonSingle = nullptr;
    QLabel* Label1 = nullptr;  // device status

    // ---- Menu
    QMenu* File1 = nullptr;
    QMenu* Edit2 = nullptr;
    QMenu* Options1 = nullptr;
    QMenu* S1 = nullptr;  // "Skins..."
    QMenu* View1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Open = nullptr;
    QAction* OpenData1 = nullptr;
    QAction* Save = nullptr;
    QAction* N1 = nullptr;
    QAction* N2 = nullptr;
    QAction* Print1 = nullptr;
    QAction* PrintSetup1 = nullptr;
    QAction* Exit = nullptr;
    QAction* RestoreDefaultSettingsExit1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;
    QAction* Colors1 = nullptr;
    QAction* Calibrate1 = nullptr;
    std::array<QAction*, 8> skinItems{};  // Skin11..Skin71, Skin81 ("No Skin")
    QAction* Markers1 = nullptr;
    QAction* MarkersVdt1 = nullptr;
    QAction* DVMDisplay1 = nullptr;
    QAction* BrightGrid1 = nullptr;
    QAction* Help2 = nullptr;
    QAction* About2 = nullptr;

    // ---- Non-visual members
    QString lastImageName;           // the name "Save Image..." offers next
    QTimer* Timer3 = nullptr;        // runs the device sampling loop
    bool deviceLoopRunning = false;  // Timer3Timer is on the call stack

    // ---- Window events
    void FormCreate();
    bool FormCloseQuery();
    void FormClose();
    void FormDestroy() {}

    // ---- Screen routines on the window: they draw through `screen` and repaint the widgets.
    void TulostaTeksti(const QString& text, int x, int y, Colour colour) { screen.TulostaTeksti(text, x, y, colour); }
    void TulostaTeksti_1(const QString& text, int x, int y, Colour colour)
    {
        screen.TulostaTeksti_1(text, x, y, colour);
    }
    void DoGrid() { screen.DoGrid(); }
    void tekstit() { screen.tekstit(); }
    void putsataanko() { screen.putsataanko(); }

    // The demo set-up of the hand-over: builds the demo signals.
    void demoSetup();

    // ---- Recording control and sampling
    TFastTimer* FastTimer1 = nullptr;  // paces the demo sampling loop
    std::mt19937 random{std::random_device{}()};
    // The start and stop sequences of a recording (also used to put a data file page on screen).
    void aloitus();
    void lopetus();
    // One tick of the demo loop: one demo sample.
    void FastTimer1Timer();
    // Elapsed time, auto-save line, wrap, live drawing and advance of the sample just stored.
    void perSampleSteps(double timeStep, bool deviceMode);
    // Sends the range command and, for channel 1..4, replaces its range label.
    void asetus(const QString& label, int channel);
    void AsetaAika(const QString& label);
    void tee_demo_taulut();
    void tee_demo();
    void LueDemo();
    // One device sample: averages the recorder's reports into SampleBuf and TraceBuf.
    void LueData();
    // The start-up search for the recorder: true when it was found and opened. A recorder that is
    // present but cannot be opened is reported to the user and counts as not found.
    bool probeRecorder();
    // Value displays and markers, and the auto-save writer, used by the recording.
    void DVM_display();
    void v_display();
    void v_display_image();
    void kursoriaika();
    void kursorivoltit();
    void WriteAutoSaveHeader();
    void WriteSampleLine(int position, double timeStep);
    void WriteAutoSaveTrailer();
    // The armed auto-save file, from arming ("AutoSave Data...") to the stop of the armed recording.
    std::shared_ptr<datafile::AutoSaveWriter> AutoSaveFile;
    // Sends OutReport to the recorder, if one was found.
    void DoWrite();

    // ---- Measuring: channel switches and the right mouse button on the screen
    // The screen step of each channel switch: trace, range label, value text and marker colours.
    void ch1_dso();
    void ch2_dso();
    void ch3_dso();
    void ch4_dso();
    // A right click on Image1 at (x, y): places the annotation of the "Add Text" window.
    void annotationRightClick(int x, int y);

    // The named handlers of the range and time buttons.
    void SpeedButton20ch1Click() { RangeButtonClick(0, 0); }
    void SpeedButton8ch1Click() { RangeButtonClick(0, 1); }
    void SpeedButton4ch1Click() { RangeButtonClick(0, 2); }
    void SpeedButton2ch1Click() { RangeButtonClick(0, 3); }
    void SpeedButton08ch1Click() { RangeButtonClick(0, 4); }
    void SpeedButton04ch1Click() { RangeButtonClick(0, 5); }
    void SpeedButton20ch2Click() { RangeButtonClick(1, 0); }
    void SpeedButton8ch2Click() { RangeButtonClick(1, 1); }
    void SpeedButton4ch2Click() { RangeButtonClick(1, 2); }
    void SpeedButton2ch2Click() { RangeButtonClick(1, 3); }
    void SpeedButton08ch2Click() { RangeButtonClick(1, 4); }
    void SpeedButton04ch2Click() { RangeButtonClick(1, 5); }
    void SpeedButton20ch3Click() { RangeButtonClick(2, 0); }
    void SpeedButton8ch3Click() { RangeButtonClick(2, 1); }
    void SpeedButton4ch3Click() { RangeButtonClick(2, 2); }
    void SpeedButton2ch3Click() { RangeButtonClick(2, 3); }
    void SpeedButton08ch3Click() { RangeButtonClick(2, 4); }
    void SpeedButton04ch3Click() { RangeButtonClick(2, 5); }
    void SpeedButton20ch4Click() { RangeButtonClick(3, 0); }
    void SpeedButton8ch4Click() { RangeButtonClick(3, 1); }
    void SpeedButton4ch4Click() { RangeButtonClick(3, 2); }
    void SpeedButton2ch4Click() { RangeButtonClick(3, 3); }
    void SpeedButton08ch4Click() { RangeButtonClick(3, 4); }
    void SpeedButton04ch4Click() { RangeButtonClick(3, 5); }
    void SpeedButton1000sClick() { TimeButtonClick(0); }
    void SpeedButton500sClick() { TimeButtonClick(1); }
    void SpeedButton200sClick() { TimeButtonClick(2); }
    void SpeedButton100sClick() { TimeButtonClick(3); }
    void SpeedButton50sClick() { TimeButtonClick(4); }
    void SpeedButton20sClick() { TimeButtonClick(5); }
    void SpeedButton10sClick() { TimeButtonClick(6); }
    void SpeedButton5sClick() { TimeButtonClick(7); }
    void SpeedButton2sClick() { TimeButtonClick(8); }
    void SpeedButton1sClick() { TimeButtonClick(9); }
    void SpeedButton05sClick() { TimeButtonClick(10); }
    void SpeedButton02sClick() { TimeButtonClick(11); }
    void SpeedButton01sClick() { TimeButtonClick(12); }

public slots:
    // ---- Handlers of the controls and menu items
    void Image1MouseDown(Qt::MouseButton button, int x, int y);
    void Image1MouseMove(int x, int y);
    void Image1MouseUp(Qt::MouseButton button, int x, int y);
    void SpeedButton1Click();
    void SpeedButton2Click();
    void ScrollBar2Change();
    void CheckBox9Click();
    void CheckBox10Click();
    void CheckBox11Click();
    void CheckBox12Click();
    // The 24 range buttons (SpeedButton20ch1 .. SpeedButton04ch4): channel 0..3, range index 0..5.
    void RangeButtonClick(int channel, int rangeIndex);
    // The 13 time buttons (SpeedButton1000s .. SpeedButton01s): index in timeButtons order.
    void TimeButtonClick(int index);
    void SpeedButtonRunClick();
    void SpeedButtonSingleClick();
    void Timer3Timer();

    void File1Click();
    void OpenClick();
    void OpenData1Click();
    void SaveClick();
    void N1Click();
    void N2Click();
    void Print1Click();
    void PrintSetup1Click();
    void ExitClick();
    void RestoreDefaultSettingsExit1Click();
    void Edit2Click();
    void Copy1Click();
    void Paste1Click();
    void Colors1Click();
    // Applies the colour dialog's result to the channel labels and the screen.
    void Colors2Click();
    void Calibrate1Click();
    void Skin11Click();
    void Skin21Click();
    void Skin31Click();
    void Skin41Click();
    void Skin51Click();
    void Skin61Click();
    void Skin71Click();
    void Skin81Click();
    void Markers1Click();
    void MarkersVdt1Click();
    void DVMDisplay1Click();
    void BrightGrid1Click();
    void Help2Click();
    void About2Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Creates every control at its place with its caption, name and initial state, and connects
    // each control's event to its handler.
    void buildControls();
    void buildMenu();
    void buildDvmPanel(int channel, QFrame* parent);
    // The two marker menu items: `item` was clicked, `other` loses its tick; time marker 1 goes to
    // `firstTimeMarkerX` when markers come on.
    void markerModeClick(QAction* item, QAction* other, int firstTimeMarkerX);
    // Run and Single: starts a recording when the button went down, stops it when it came up.
    void recordButtonClick(QToolButton* button, bool singleShot);
    // The screen step and the DVM-panel part of a channel switch (channel 0..3).
    void channelDso(int channel);
    void channelSwitchClick(int channel);
};
