#include "app/RecordCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>

#include "app/RecordOptions.h"
#include "app/UnattendedRecording.h"
#include "device/Calibration.h"
#include "device/Commands.h"
#include "device/DeviceLink.h"
#include "device/HidTransport.h"
#include "device/SimulatedRecorder.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"

namespace {

int runRecord(const QStringList& arguments)
{
    const RecordOptions options = parseRecordOptions(arguments);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "korvix record: %s\n", qPrintable(options.error));
        return exitcode::BadOption;
    }
    if (options.showHelp) {
        std::fputs(qPrintable(recordUsageText()), stdout);
        return exitcode::Done;
    }
    SimulatedRecorder* simulator = nullptr;
    std::unique_ptr<HidTransport> transport =
        options.simulate ? makeSimulatedTransport(options.simulator, &simulator) : makeHidapiTransport();
    if (simulator != nullptr)
        simulator->printSummaryAtExit(true);

    UnattendedRecording recording(options, *transport, userSettingsPath());
    recording.statusLine = !options.quiet && isatty(STDERR_FILENO) != 0;
    UnattendedRecording::installSignalHandlers();
    return recording.run();
}

QString calibrateUsageText()
{
    return QStringLiteral(
        "Usage: korvix calibrate [options]\n"
        "Calibrates the recorder's zero offset without a window and stores the offsets in the\n"
        "settings file, like the window's Calibrate. It asks to disconnect the inputs first.\n"
        "\n"
        "Options:\n"
        "  --simulate[=SETUP] calibrate a simulated recorder (as korvix --simulate)\n"
        "  --help             show this text and exit\n");
}

int runCalibrate(const QStringList& arguments)
{
    bool simulate = false;
    std::string setup;
    for (const QString& a : arguments) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(qPrintable(calibrateUsageText()), stdout);
            return exitcode::Done;
        }
        if (a == QLatin1String("--simulate") || a.startsWith(QLatin1String("--simulate="))) {
            simulate = true;
            setup = a.mid(11).toStdString();
            continue;
        }
        std::fprintf(stderr, "korvix calibrate: unknown option '%s'\n", qPrintable(a));
        return exitcode::BadOption;
    }
    if (!simulate && !qEnvironmentVariableIsEmpty("KORVIX_SIMULATE")) {
        simulate = true;
        setup = qgetenv("KORVIX_SIMULATE").toStdString();
    }
    SimulatorConfig config;
    std::string setupError;
    if (simulate && !parseSimulatorSetup(setup, config, setupError)) {
        std::fprintf(stderr, "korvix calibrate: --simulate: %s\n", setupError.c_str());
        return exitcode::BadOption;
    }
    SimulatedRecorder* simulator = nullptr;
    std::unique_ptr<HidTransport> transport =
        simulate ? makeSimulatedTransport(config, &simulator) : makeHidapiTransport();

    std::array<uint8_t, ChannelCount> channelRanges{200, 200, 200, 200};
    DeviceLink link(*transport);
    if (!link.FindDevice() || !link.opened()) {
        std::fprintf(stderr, "korvix calibrate: %s\n",
                     link.found() ? "the KORVIX recorder was found but cannot be opened (no access); install the "
                                    "udev rule and replug it"
                                  : "no KORVIX recorder found (USB 1209:4B52)");
        return exitcode::NoRecorder;
    }

    std::fputs("Disconnect all inputs of the recorder, then press Enter (Ctrl+C cancels).\n", stdout);
    std::fflush(stdout);
    std::string line;
    if (!std::getline(std::cin, line)) {
        std::fputs("korvix calibrate: cancelled, nothing stored\n", stderr);
        return 1;
    }

    link.transport().setInputsDisconnected(true);
    const CalibrationResult result = runCalibration(link, [&](int rangeIndex) {
        channelRanges[0] = static_cast<uint8_t>(Ranges[static_cast<size_t>(rangeIndex)].channelRange);
        link.sendRanges(channelRanges);
    });
    link.transport().setInputsDisconnected(false);
    if (!result.success) {
        std::fprintf(stderr, "korvix calibrate: the calibration failed%s; nothing stored\n",
                     result.deviceLost ? " (the recorder is gone or silent)" : "");
        return result.deviceLost ? exitcode::NoRecorder : 1;
    }
    link.sendOffset(result.offset);

    // Only the calibration keys change; every other line of the settings file stays as it is.
    const QString path = userSettingsPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    SettingsFile settings(path);
    settings.writeInteger(QLatin1String(Key::Section_Hardware), QLatin1String(Key::Hardware_Offset), result.offset);
    settings.writeInteger(QLatin1String(Key::Section_Hardware), QLatin1String(Key::Hardware_Offset4), result.offset4);
    settings.writeBool(QLatin1String(Key::Section_Hardware), QLatin1String(Key::Hardware_HWdialog), false);
    QString error;
    if (!settings.flush(&error)) {
        std::fprintf(stderr, "korvix calibrate: %s\n", qPrintable(error));
        return exitcode::WriteError;
    }
    std::printf("Calibrated: Offset=%d Offset4=%d, stored in %s\nConnect the inputs again.\n", result.offset,
                result.offset4, qPrintable(path));
    return exitcode::Done;
}

}  // namespace

QString userSettingsPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    while (dir.size() > 1 && (dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\'))))
        dir.chop(1);
    return dir + QStringLiteral("/Lumivale/KORVIX/") + QLatin1String(Key::FileName);
}

bool isConsoleCommand(int argc, char** argv)
{
    return argc >= 2 && (std::strcmp(argv[1], "record") == 0 || std::strcmp(argv[1], "calibrate") == 0);
}

int runConsoleCommand(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments;
    for (int i = 2; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (std::strcmp(argv[1], "calibrate") == 0)
        return runCalibrate(arguments);
    return runRecord(arguments);
}
