#include <cstdio>

#include "app/ConvertCommand.h"
#include "app/RecordCommand.h"
#include "app/StartOptions.h"
#include "app/WindowProgram.h"

int main(int argc, char** argv)
{
    // `korvix convert` writes a data file as CSV, without a window.
    if (isConvertCommand(argc, argv))
        return runConvertCommand(argc, argv);
    // `korvix record` and `korvix calibrate` run without a window or a display.
    if (isConsoleCommand(argc, argv))
        return runConsoleCommand(argc, argv);
    const StartOptions options = parseStartOptions(argc, argv);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "korvix: %s\n%s", qPrintable(options.error), qPrintable(usageText()));
        return 2;
    }
    if (options.showHelp) {
        std::fputs(qPrintable(usageText()), stdout);
        return 0;
    }
    if (options.showVersion) {
        std::printf("korvix %s\n", KORVIX_VERSION);
        return 0;
    }
    return runApplication(argc, argv, options.simulate ? &options.simulator : nullptr);
}
