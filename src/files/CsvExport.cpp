#include "files/CsvExport.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

#include "files/DataFileFormat.h"

namespace datafile {

namespace {

constexpr qint64 ExportChunk = qint64{4} << 20;

void append2(std::string& out, unsigned v)
{
    out.push_back(static_cast<char>('0' + v / 10 % 10));
    out.push_back(static_cast<char>('0' + v % 10));
}

// Civil date of a day count since 1970-01-01 (proleptic Gregorian).
void civilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2)
        ++y;
}

// The seconds column: milliseconds below 10^11 (whole seconds of up to eight digits) are written
// with their three decimals as they are, which is what appendSeconds gives them.
void appendCsvSeconds(std::string& out, int64_t ms)
{
    if (ms < 0 || ms >= int64_t{100000000000}) {
        appendSeconds(out, static_cast<uint64_t>(ms), '.');
        return;
    }
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, ms / 1000);
    out.append(digits, r.ptr);
    const auto frac = static_cast<unsigned>(ms % 1000);
    const char tail[4] = {'.', static_cast<char>('0' + frac / 100), static_cast<char>('0' + frac / 10 % 10),
                          static_cast<char>('0' + frac % 10)};
    out.append(tail, 4);
}

std::string_view withoutCr(std::string_view s)
{
    return !s.empty() && s.back() == '\r' ? s.substr(0, s.size() - 1) : s;
}

}  // namespace

void appendIsoDateTime(std::string& out, int64_t epochMs)
{
    const int64_t dayMs = 86400000;
    int64_t days = epochMs / dayMs;
    int64_t rest = epochMs % dayMs;
    if (rest < 0) {
        rest += dayMs;
        --days;
    }
    int64_t y = 0;
    unsigned m = 0, d = 0;
    civilFromDays(days, y, m, d);
    appendInt(out, y);
    out.push_back('-');
    append2(out, m);
    out.push_back('-');
    append2(out, d);
    out.push_back('T');
    appendTimeOfDay(out, rest);
}

void appendTimeOfDay(std::string& out, int64_t msOfDay)
{
    const auto rest = static_cast<unsigned>(msOfDay);
    const auto ms = static_cast<unsigned>(rest % 1000);
    const auto s = static_cast<unsigned>(rest / 1000);
    append2(out, s / 3600);
    out.push_back(':');
    append2(out, s / 60 % 60);
    out.push_back(':');
    append2(out, s % 60);
    out.push_back('.');
    out.push_back(static_cast<char>('0' + ms / 100));
    append2(out, ms % 100);
}

CsvResult exportCsv(const QString& dataFile, const QString& csvFile, const CsvSpan& span, const PassControl& control)
{
    CsvResult result;
    QFile in(dataFile);
    if (!in.open(QIODevice::ReadOnly)) {
        result.error = in.errorString();
        return result;
    }
    // The header, from the first twelve lines.
    std::array<std::string, 12> head;
    {
        QFile headFile(dataFile);
        if (headFile.open(QIODevice::ReadOnly)) {
            for (auto& line : head) {
                const QByteArray bytes = headFile.readLine(AnnotationLineWidth + 2);
                line = withoutCr(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))
                                     .substr(0, bytes.endsWith('\n') ? static_cast<size_t>(bytes.size()) - 1
                                                                     : static_cast<size_t>(bytes.size())));
            }
        }
    }
    const RecordingHeader header = makeRecordingHeader(head[0], head[1], head[4], head[7], head[8]);
    if (!header.header.valid()) {
        result.notDataFile = true;
        result.error = QStringLiteral("not a recorder data file");
        return result;
    }
    // Clock terms of the start: its local date and time read as if they were UTC, so that adding
    // the seconds never crosses a daylight-saving change the recorder never made.
    std::optional<int64_t> startEpoch;
    if (header.start)
        startEpoch = QDateTime(header.start->date(), header.start->time(), Qt::UTC).toMSecsSinceEpoch();

    QSaveFile out(csvFile);
    if (!out.open(QIODevice::WriteOnly)) {
        result.error = out.errorString();
        return result;
    }
    // Volts and raw counts take 1024 values per channel: each is formatted once, and every record
    // copies its texts.
    std::array<std::vector<std::string>, 4> voltsText;
    for (size_t c = 0; c < 4; ++c) {
        voltsText[c].resize(1024);
        for (int64_t raw = 0; raw < 1024; ++raw)
            appendVolts(voltsText[c][static_cast<size_t>(raw)], raw, header.rangeTenths[c], '.');
    }
    std::vector<std::string> rawText(1024);
    for (int64_t raw = 0; raw < 1024; ++raw)
        appendInt(rawText[static_cast<size_t>(raw)], raw);

    std::string text;
    text.reserve(static_cast<size_t>(ExportChunk) + 4096);
    text.append(CsvHeaderRow);
    int64_t lineNumber = 0;
    int64_t pendingEmpty = 0;
    bool comment = false;
    bool writeFailed = false;
    // The date part of the time column changes once a day: it is formatted once per day.
    int64_t day = std::numeric_limits<int64_t>::min();
    std::string dayText;
    constexpr int64_t DayMs = 86400000;

    auto flush = [&] {
        if (out.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
            writeFailed = true;
        text.clear();
    };
    auto takeLine = [&](const ScannedLine& scanned) {
        ++lineNumber;
        if (lineNumber < FirstDataLine || comment)
            return true;
        if ((scanned.length == 7 || scanned.length == 8) && withoutCr(scanned.head) == CommentKey) {
            comment = true;
            return true;
        }
        const DataLine line = readDataLine(scanned.pageText());
        switch (line.kind) {
            case DataLineKind::Empty:
                ++pendingEmpty;
                return true;
            case DataLineKind::Stop:
                pendingEmpty = 0;
                return true;
            case DataLineKind::Filler:
                break;
            case DataLineKind::Damaged:
                ++result.damagedLines;
                break;
            case DataLineKind::Sample: {
                if (!line.n || *line.n < 0) {
                    ++result.damagedLines;
                    break;
                }
                const int64_t ms = *line.n * header.stepMs;
                if ((span.fromMs && ms < *span.fromMs) || (span.toMs && ms > *span.toMs))
                    break;
                if (startEpoch) {
                    const int64_t at = *startEpoch + ms;
                    const int64_t d = at >= 0 ? at / DayMs : (at - DayMs + 1) / DayMs;
                    if (d != day) {
                        day = d;
                        dayText.clear();
                        appendIsoDateTime(dayText, d * DayMs);
                        dayText.resize(dayText.find('T') + 1);
                    }
                    text.append(dayText);
                    appendTimeOfDay(text, at - d * DayMs);
                }
                text.push_back(',');
                appendCsvSeconds(text, ms);
                for (size_t c = 0; c < 4; ++c) {
                    text.push_back(',');
                    text.append(voltsText[c][static_cast<size_t>(std::clamp<int64_t>(line.raw[c], 0, 1023))]);
                }
                for (size_t c = 0; c < 4; ++c) {
                    text.push_back(',');
                    if (line.raw[c] >= 0 && line.raw[c] < 1024)
                        text.append(rawText[static_cast<size_t>(line.raw[c])]);
                    else
                        appendInt(text, line.raw[c]);
                }
                text.append("\r\n");
                ++result.records;
                break;
            }
        }
        result.damagedLines += pendingEmpty;
        pendingEmpty = 0;
        return true;
    };

    // A last line without its line end counts, as the reader counts it.
    LineScanner scanner(AnnotationLineWidth + 1);
    PassControl blocks = control;
    blocks.report = [&](qint64 done, qint64 total) {
        if (text.size() >= static_cast<size_t>(ExportChunk))
            flush();
        if (control.report)
            control.report(done, total);
    };
    const PassResult passed = scanner.run(in, 0, blocks, takeLine);
    if (passed == PassResult::Cancelled) {
        result.cancelled = true;
        out.cancelWriting();
        return result;
    }
    if (passed == PassResult::Failed) {
        result.error = scanner.errorString();
        out.cancelWriting();
        return result;
    }
    flush();
    if (writeFailed || !out.commit()) {
        result.error = out.errorString();
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace datafile
