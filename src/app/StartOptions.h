#pragma once

#include <QString>

#include "device/SimulatorSetup.h"

// The options of the window program's command line (the sub-commands have their own). Qt's own
// options (-platform, -style, -display with their values) are passed over, for QApplication.
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
// The text of --help.
QString usageText();
