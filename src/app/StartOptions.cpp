#include "app/StartOptions.h"

#include <cstdlib>
#include <cstring>
#include <string>

QString usageText()
{
    return QStringLiteral(
        "Usage: korvix [options]\n"
        "Recorder/Logger for the KORVIX four-channel USB signal recorder.\n"
        "Without a recorder it runs in demo mode.\n"
        "\n"
        "Options:\n"
        "  --help       show this text and exit\n"
        "  --version    show the version and exit\n"
        "  --simulate[=SETUP]\n"
        "               use a simulated recorder instead of the USB one (also: the environment\n"
        "               variable KORVIX_SIMULATE=SETUP). SETUP is a comma-separated list, every item\n"
        "               optional:\n"
        "                 ch1=..ch4=  input in volts: dc:V, sine:A:F[:V0], square:A:F[:V0] or\n"
        "                             triangle:A:F[:V0] (amplitude, Hz, offset); default dc:0\n"
        "                 zero=C      counts by which 0 V reads high at offset 512\n"
        "                 zero4=C     extra counts on the \u00B14 V and \u00B10.4 V ranges\n"
        "                 noise=C     uniform noise of up to \u00B1C counts\n"
        "                 unplug=MS   vanishes after MS ms of streaming\n"
        "                 stall=MS    sends nothing more after MS ms of streaming\n"
        "                 repeat=K    delivers every report K times\n"
        "                 noaccess=1  is found but cannot be opened (no access)\n"
        "               e.g. --simulate=ch1=dc:5,ch2=sine:2:1,zero=7\n");
}

StartOptions parseStartOptions(int argc, char** argv)
{
    StartOptions options;
    std::string simulateText;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0)
            options.showHelp = true;
        else if (std::strcmp(arg, "--version") == 0 || std::strcmp(arg, "-v") == 0)
            options.showVersion = true;
        else if (std::strcmp(arg, "--simulate") == 0 || std::strncmp(arg, "--simulate=", 11) == 0) {
            options.simulate = true;
            simulateText = arg[10] == '=' ? arg + 11 : "";
        } else if (std::strncmp(arg, "-platform", 9) == 0 || std::strncmp(arg, "-style", 6) == 0 ||
                   std::strncmp(arg, "-display", 8) == 0)
            ++i;  // Qt's own options and their values
        else
            options.error = QStringLiteral("unknown option \"%1\"").arg(QString::fromLocal8Bit(arg));
    }
    if (!options.simulate) {
        const char* env = std::getenv("KORVIX_SIMULATE");
        if (env != nullptr && *env != '\0') {
            options.simulate = true;
            simulateText = env;
        }
    }
    std::string setupError;
    if (options.simulate && options.error.isEmpty() &&
        !parseSimulatorSetup(simulateText, options.simulator, setupError))
        options.error = QString::fromLocal8Bit(setupError.c_str());
    return options;
}
