#include "app/RecordOptions.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdlib>
#include <limits>

#include "device/Commands.h"
#include "recording/TimeBase.h"

namespace {

// Durations up to about 290 years stay well inside 64-bit milliseconds.
constexpr int64_t MaxDurationMs = int64_t{1} << 53;

QString quoted(const QString& text)
{
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

}  // namespace

int64_t parseDuration(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,12})([smhd])$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return -1;
    const int64_t count = m.captured(1).toLongLong();
    int64_t unitMs = 1000;
    switch (m.captured(2).at(0).toLatin1()) {
        case 'm':
            unitMs = 60 * 1000;
            break;
        case 'h':
            unitMs = 3600 * 1000;
            break;
        case 'd':
            unitMs = 24 * 3600 * 1000;
            break;
        default:
            break;
    }
    if (count <= 0 || count > MaxDurationMs / unitMs)
        return -1;
    return count * unitMs;
}

QString numberedFileName(const QString& file, int number)
{
    const QString tag = QStringLiteral("-%1").arg(number, 4, 10, QLatin1Char('0'));
    const QFileInfo info(file);
    const QString suffix = info.suffix();
    // A name that is all extension (".txt") or has none gets the number at its end.
    if (suffix.isEmpty() || info.fileName() == QLatin1Char('.') + suffix)
        return file + tag;
    return file.left(file.size() - suffix.size() - 1) + tag + QLatin1Char('.') + suffix;
}

int timeBaseIndexOf(const QString& label)
{
    for (size_t i = 0; i < TimeBases.size(); ++i)
        if (label == QLatin1String(TimeBases[i].label))
            return static_cast<int>(i);
    return -1;
}

int rangeIndexOfLabel(const QString& label)
{
    QString bare = label.trimmed();
    if (bare.startsWith(QChar(0x00B1)))
        bare.remove(0, 1);
    for (size_t i = 0; i < Ranges.size(); ++i)
        if (QChar(0x00B1) + bare == QString::fromUtf8(Ranges[i].label))
            return static_cast<int>(i);
    return -1;
}

QString recordUsageText()
{
    return QStringLiteral(
        "Usage: korvix record [options] --output FILE\n"
        "Records from the KORVIX recorder into a data file, without a window or a display.\n"
        "The file opens in the window (File > Open Data...).\n"
        "\n"
        "Options:\n"
        "  --output FILE      the data file to write; --output - writes to standard output\n"
        "  --simulate[=SETUP] record from a simulated recorder (as korvix --simulate)\n"
        "  --time-div LABEL   time per division: 0.1s 0.2s 0.5s 1s 2s 5s 10s 20s 50s 100s 200s\n"
        "                     500s 1000s (default 1s); a division holds 100 samples\n"
        "  --range CH=LABEL   range of channel CH (1..4): 20V 8V 4V 2V 0.8V 0.4V (default 20V);\n"
        "                     repeat for more channels, e.g. --range 1=8V --range 4=0.4V\n"
        "  --duration D       record for D: a number with s, m, h or d (90s, 15m, 2h, 3d)\n"
        "  --samples N        record N samples\n"
        "                     (without --duration or --samples: until interrupted)\n"
        "  --split D          start a new file every D: FILE-0001.txt, FILE-0002.txt, ...\n"
        "  --comment TEXT     a line of the note shown on the screen when the file is opened;\n"
        "                     repeat for more lines\n"
        "  --reconnect        when the recorder vanishes, end the file, wait for the recorder\n"
        "                     and go on in the next numbered file\n"
        "  --quiet            no status line\n"
        "  --help             show this text and exit\n"
        "\n"
        "SIGINT, SIGTERM and SIGHUP end the recording with a complete file (exit status 0).\n"
        "Exit status: 0 done, 2 bad option, 3 write error, 4 recorder not found or gone.\n");
}

RecordOptions parseRecordOptions(const QStringList& arguments)
{
    RecordOptions o;
    // --simulate takes an optional value, which QCommandLineParser does not know: "--simulate"
    // alone becomes "--simulate=" (the default setup).
    QStringList args{QStringLiteral("korvix record")};
    bool simulateGiven = false;
    std::string simulateText;
    for (const QString& a : arguments) {
        if (a == QLatin1String("--simulate") || a.startsWith(QLatin1String("--simulate="))) {
            simulateGiven = true;
            simulateText = a.mid(11).toStdString();
            continue;
        }
        args << a;
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption output(QStringLiteral("output"), {}, QStringLiteral("FILE"));
    const QCommandLineOption timeDiv(QStringLiteral("time-div"), {}, QStringLiteral("LABEL"));
    const QCommandLineOption range(QStringLiteral("range"), {}, QStringLiteral("CH=LABEL"));
    const QCommandLineOption duration(QStringLiteral("duration"), {}, QStringLiteral("D"));
    const QCommandLineOption samples(QStringLiteral("samples"), {}, QStringLiteral("N"));
    const QCommandLineOption split(QStringLiteral("split"), {}, QStringLiteral("D"));
    const QCommandLineOption comment(QStringLiteral("comment"), {}, QStringLiteral("TEXT"));
    const QCommandLineOption reconnect(QStringLiteral("reconnect"));
    const QCommandLineOption quiet(QStringLiteral("quiet"));
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    parser.addOptions({output, timeDiv, range, duration, samples, split, comment, reconnect, quiet, help});
    if (!parser.parse(args)) {
        o.error = parser.errorText();
        return o;
    }
    if (parser.isSet(help)) {
        o.showHelp = true;
        return o;
    }
    if (!parser.positionalArguments().isEmpty()) {
        o.error = QStringLiteral("unexpected argument %1").arg(quoted(parser.positionalArguments().first()));
        return o;
    }

    auto single = [&](const QCommandLineOption& option, QString& value) {
        const QStringList values = parser.values(option);
        if (values.size() > 1) {
            o.error = QStringLiteral("--%1 given more than once").arg(option.names().first());
            return false;
        }
        value = values.isEmpty() ? QString() : values.first();
        return true;
    };

    QString text;
    if (!single(output, o.output))
        return o;
    if (!parser.isSet(output) || o.output.isEmpty()) {
        o.error = QStringLiteral("--output FILE is required (--output - for standard output)");
        return o;
    }

    if (!single(timeDiv, text))
        return o;
    o.timeBase = parser.isSet(timeDiv) ? timeBaseIndexOf(text) : TimeBase1s;
    if (o.timeBase < 0) {
        o.error = QStringLiteral("--time-div: %1 is not a time base (0.1s .. 1000s)").arg(quoted(text));
        return o;
    }

    for (const QString& value : parser.values(range)) {
        const int eq = value.indexOf(QLatin1Char('='));
        const QString channelText = value.left(eq);
        const int channel = channelText.size() == 1 ? channelText.at(0).digitValue() : -1;
        const int index = eq < 0 ? -1 : rangeIndexOfLabel(value.mid(eq + 1));
        if (channel < 1 || channel > 4 || index < 0) {
            o.error = QStringLiteral(
                          "--range: %1 is not CH=LABEL with CH 1..4 and LABEL one of 20V 8V 4V 2V "
                          "0.8V 0.4V")
                          .arg(quoted(value));
            return o;
        }
        if (o.range[static_cast<size_t>(channel - 1)] >= 0) {
            o.error = QStringLiteral("--range: channel %1 given more than once").arg(channel);
            return o;
        }
        o.range[static_cast<size_t>(channel - 1)] = index;
    }

    if (parser.isSet(duration) && parser.isSet(samples)) {
        o.error = QStringLiteral("--duration and --samples exclude each other");
        return o;
    }
    if (!single(duration, text))
        return o;
    if (parser.isSet(duration) && (o.durationMs = parseDuration(text)) < 0) {
        o.error = QStringLiteral("--duration: %1 is not a duration such as 90s, 15m, 2h or 3d").arg(quoted(text));
        return o;
    }
    if (!single(samples, text))
        return o;
    if (parser.isSet(samples)) {
        bool ok = false;
        o.samples = text.toLongLong(&ok);
        if (!ok || o.samples <= 0) {
            o.error = QStringLiteral("--samples: %1 is not a positive whole number").arg(quoted(text));
            return o;
        }
    }
    if (!single(split, text))
        return o;
    if (parser.isSet(split) && (o.splitMs = parseDuration(text)) < 0) {
        o.error = QStringLiteral("--split: %1 is not a duration such as 90s, 15m, 2h or 3d").arg(quoted(text));
        return o;
    }
    o.reconnect = parser.isSet(reconnect);
    if (o.toStdout() && o.numberedFiles()) {
        o.error = QStringLiteral("--output -: standard output is one stream and cannot take --split or --reconnect");
        return o;
    }

    for (const QString& line : parser.values(comment)) {
        if (line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r'))) {
            o.error = QStringLiteral("--comment: one line per option (no line break)");
            return o;
        }
        o.comment << line;
    }
    o.quiet = parser.isSet(quiet);

    if (!simulateGiven) {
        const QByteArray env = qgetenv("KORVIX_SIMULATE");
        if (!env.isEmpty()) {
            simulateGiven = true;
            simulateText = env.toStdString();
        }
    }
    if (simulateGiven) {
        std::string setupError;
        if (!parseSimulatorSetup(simulateText, o.simulator, setupError)) {
            o.error = QStringLiteral("--simulate: %1").arg(QString::fromStdString(setupError));
            return o;
        }
        o.simulate = true;
    }
    return o;
}
