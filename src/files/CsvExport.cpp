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

// The seconds column at `p`: milliseconds below 10^11 (whole seconds of up to eight digits) are
// written with their three decimals as they are, which is what appendSeconds gives them.
char* writeCsvSeconds(char* p, int64_t ms)
{
    if (ms < 0 || ms >= int64_t{100000000000}) {
        std::string text;
        appendSeconds(text, static_cast<uint64_t>(ms), '.');
        std::memcpy(p, text.data(), text.size());
        return p + text.size();
    }
    p = std::to_chars(p, p + 24, ms / 1000).ptr;
    const auto frac = static_cast<unsigned>(ms % 1000);
    p[0] = '.';
    p[1] = static_cast<char>('0' + frac / 100);
    p[2] = static_cast<char>('0' + frac / 10 % 10);
    p[3] = static_cast<char>('0' + frac % 10);
    return p + 4;
}

// HH:mm:ss.zzz of `msOfDay` (0 .. 86,399,999) at `p`.
char* writeTimeOfDay(char* p, int64_t msOfDay)
{
    const auto ms = static_cast<unsigned>(msOfDay % 1000);
    const auto s = static_cast<unsigned>(msOfDay / 1000);
    const unsigned parts[3] = {s / 3600, s / 60 % 60, s % 60};
    for (unsigned part : parts) {
        *p++ = static_cast<char>('0' + part / 10 % 10);
        *p++ = static_cast<char>('0' + part % 10);
        *p++ = ':';
    }
    p[-1] = '.';
    p[0] = static_cast<char>('0' + ms / 100);
    p[1] = static_cast<char>('0' + ms / 10 % 10);
    p[2] = static_cast<char>('0' + ms % 10);
    return p + 3;
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
    struct Field {
        std::array<char, 15> text{};
        uint8_t size = 0;
    };
    auto field = [](const std::string& text) {
        Field f;
        f.size = static_cast<uint8_t>(std::min(text.size(), f.text.size()));
        std::memcpy(f.text.data(), text.data(), f.size);
        return f;
    };
    std::array<std::vector<Field>, 4> voltsText;
    std::vector<Field> rawText(1024);
    for (size_t c = 0; c < 4; ++c) {
        voltsText[c].resize(1024);
        for (int64_t raw = 0; raw < 1024; ++raw) {
            std::string text;
            appendVolts(text, raw, header.rangeTenths[c], '.');
            voltsText[c][static_cast<size_t>(raw)] = field(text);
        }
    }
    for (int64_t raw = 0; raw < 1024; ++raw) {
        std::string text;
        appendInt(text, raw);
        rawText[static_cast<size_t>(raw)] = field(text);
    }

    // Records are written straight into a large buffer, handed to the file when full.
    constexpr size_t RecordBytes = 256;  // more than the longest record
    std::vector<char> buffer(static_cast<size_t>(ExportChunk) + RecordBytes);
    size_t used = 0;
    std::memcpy(buffer.data(), CsvHeaderRow, sizeof CsvHeaderRow - 1);
    used = sizeof CsvHeaderRow - 1;
    int64_t lineNumber = 0;
    int64_t pendingEmpty = 0;
    bool comment = false;
    bool writeFailed = false;
    // The date part of the time column changes once a day: it is formatted once per day.
    int64_t day = std::numeric_limits<int64_t>::min();
    std::string dayText;
    constexpr int64_t DayMs = 86400000;

    auto flush = [&] {
        if (out.write(buffer.data(), static_cast<qint64>(used)) != static_cast<qint64>(used))
            writeFailed = true;
        used = 0;
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
                if (used > static_cast<size_t>(ExportChunk))
                    flush();
                char* p = buffer.data() + used;
                auto put = [&p](const char* text, size_t size) {
                    std::memcpy(p, text, size);
                    p += size;
                };
                if (startEpoch) {
                    const int64_t at = *startEpoch + ms;
                    const int64_t d = at >= 0 ? at / DayMs : (at - DayMs + 1) / DayMs;
                    if (d != day) {
                        day = d;
                        dayText.clear();
                        appendIsoDateTime(dayText, d * DayMs);
                        dayText.resize(dayText.find('T') + 1);
                    }
                    put(dayText.data(), dayText.size());
                    p = writeTimeOfDay(p, at - d * DayMs);
                }
                *p++ = ',';
                p = writeCsvSeconds(p, ms);
                for (size_t c = 0; c < 4; ++c) {
                    *p++ = ',';
                    const Field& f = voltsText[c][static_cast<size_t>(std::clamp<int64_t>(line.raw[c], 0, 1023))];
                    put(f.text.data(), f.size);
                }
                for (size_t c = 0; c < 4; ++c) {
                    *p++ = ',';
                    if (line.raw[c] >= 0 && line.raw[c] < 1024) {
                        const Field& f = rawText[static_cast<size_t>(line.raw[c])];
                        put(f.text.data(), f.size);
                    } else {
                        p = std::to_chars(p, p + 24, line.raw[c]).ptr;
                    }
                }
                *p++ = '\r';
                *p++ = '\n';
                used = static_cast<size_t>(p - buffer.data());
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
