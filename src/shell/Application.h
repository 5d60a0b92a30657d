#pragma once

#include <memory>

#include "device/SimulatorSetup.h"
#include "shell/RecorderState.h"

class DeviceLink;
class HidTransport;
class TAboutBox_rec;
class TBtnBottomDlg2;
class TForm1;
class TForm1_rec;
class TForm5_rec;
class TPreviewForm_rec;
class Tform_9rec;

// The application's windows, created once at start in this order and kept to the end, and the
// device link they share. Windows reach each other through here.
struct Windows {
    TForm1* Form1 = nullptr;
    TForm1_rec* Form1_rec = nullptr;
    TBtnBottomDlg2* BtnBottomDlg2 = nullptr;
    TForm5_rec* Form5_rec = nullptr;
    TPreviewForm_rec* PreviewForm_rec = nullptr;
    TAboutBox_rec* AboutBox_rec = nullptr;
    Tform_9rec* Form_9rec = nullptr;
    DeviceLink* device = nullptr;
};

// The one set of windows of the running program (empty until the start creates them).
Windows& windows();

// Options of the command line that the start-up uses.
struct StartOptions {
    bool showHelp = false;
    bool showVersion = false;
    // --simulate[=SETUP], or KORVIX_SIMULATE=SETUP (not empty) when the option is absent: the
    // simulated recorder takes the real one's place.
    bool simulate = false;
    SimulatorConfig simulator;
    QString error;  // a bad option, named
};
// Reads the options of argv and, for the simulator, the environment variable KORVIX_SIMULATE.
StartOptions parseStartOptions(int argc, char** argv);
QString usageText();

// Names the application; its windows' captions stay as they set them.
void nameApplication();

// Creates the windows in their order, runs the message loop and returns the exit code.
int runApplication(int argc, char** argv);
