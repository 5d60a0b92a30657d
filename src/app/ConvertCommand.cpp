#include "app/ConvertCommand.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

#include "files/CsvExport.h"
#include "files/RecordingOverview.h"
#include "files/RecordingTime.h"

namespace {

void printError(const QString& text)
{
    std::fprintf(stderr, "korvix convert: %s\n", qPrintable(text));
}

}  // namespace

QString convertUsageText()
{
    return QStringLiteral(
        "Usage: korvix convert FILE --to csv [--from T --to T] [--output OUT]\n"
        "Writes the data file FILE as CSV (comma separator, '.' decimal point, UTF-8, a header row).\n"
        "\n"
        "  --to csv      the format to write\n"
        "  --from T      write from the moment T of the recording on\n"
        "  --to T        write up to the moment T (any value other than csv)\n"
        "  --output OUT  the CSV file (default: FILE with the extension .csv)\n"
        "\n"
        "T is seconds from the start, hh:mm:ss from the start, or a clock time with its date\n"
        "(2026-12-09 14:05:00).\n");
}

ConvertOptions parseConvertOptions(const QStringList& arguments)
{
    ConvertOptions o;
    bool format = false;
    auto fail = [&o](const QString& text) {
        if (o.error.isEmpty())
            o.error = text;
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        auto value = [&](QString& target) {
            if (i + 1 >= arguments.size()) {
                fail(QStringLiteral("%1 needs a value").arg(a));
                return;
            }
            target = arguments[++i];
        };
        if (a == QLatin1String("--to")) {
            QString v;
            value(v);
            if (!format && v == QLatin1String("csv")) {
                format = true;
            } else if (!o.to.isEmpty()) {
                fail(QStringLiteral("--to %1: the end of the span is given twice").arg(v));
            } else {
                o.to = v;
            }
        } else if (a == QLatin1String("--from")) {
            if (!o.from.isEmpty())
                fail(QStringLiteral("--from is given twice"));
            value(o.from);
        } else if (a == QLatin1String("--output")) {
            value(o.output);
        } else if (a.startsWith(QLatin1String("--")) || (a.startsWith(QLatin1Char('-')) && a.size() > 1)) {
            fail(QStringLiteral("unknown option %1").arg(a));
        } else if (o.input.isEmpty()) {
            o.input = a;
        } else {
            fail(QStringLiteral("one data file only (%1)").arg(a));
        }
    }
    if (o.input.isEmpty())
        fail(QStringLiteral("no data file given"));
    if (!format)
        fail(QStringLiteral("--to csv is missing"));
    if (o.output.isEmpty() && !o.input.isEmpty()) {
        const QFileInfo info(o.input);
        o.output = info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".csv");
    }
    return o;
}

bool isConvertCommand(int argc, char** argv)
{
    return argc >= 2 && std::strcmp(argv[1], "convert") == 0;
}

int runConvert(const QStringList& arguments)
{
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
        std::fputs(qPrintable(convertUsageText()), stdout);
        return 0;
    }
    const ConvertOptions o = parseConvertOptions(arguments);
    if (!o.error.isEmpty()) {
        printError(o.error);
        std::fputs(qPrintable(convertUsageText()), stderr);
        return 2;
    }
    if (QFileInfo(o.output).absoluteFilePath() == QFileInfo(o.input).absoluteFilePath()) {
        printError(QStringLiteral("the output %1 is the data file itself").arg(o.output));
        return 2;
    }
    datafile::DataFileLines lines;
    // A data file that cannot be read is a bad value of the command line; 3 is kept for writing.
    if (!lines.open(o.input)) {
        printError(QStringLiteral("%1: %2").arg(o.input, lines.errorString()));
        return 2;
    }
    const datafile::RecordingHeader header = datafile::readRecordingHeader(lines);
    lines.close();
    datafile::CsvSpan span;
    auto moment = [&](const QString& text, const char* option, std::optional<int64_t>& target) {
        if (text.isEmpty())
            return true;
        target = datafile::parseMoment(text, header.start);
        if (!target) {
            printError(QStringLiteral("%1 %2: not a moment of this recording").arg(QLatin1String(option), text));
            return false;
        }
        return true;
    };
    if (!moment(o.from, "--from", span.fromMs) || !moment(o.to, "--to", span.toMs))
        return 2;
    const datafile::CsvResult r = datafile::exportCsv(o.input, o.output, span);
    if (!r.ok) {
        printError(QStringLiteral("%1: %2").arg(r.notDataFile ? o.input : o.output, r.error));
        return r.notDataFile ? 2 : 3;
    }
    std::fprintf(stderr, "%s: %lld records", qPrintable(o.output), static_cast<long long>(r.records));
    if (r.damagedLines > 0)
        std::fprintf(stderr, ", %lld damaged lines skipped", static_cast<long long>(r.damagedLines));
    std::fputs("\n", stderr);
    return 0;
}

int runConvertCommand(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments;
    for (int i = 2; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return runConvert(arguments);
}
