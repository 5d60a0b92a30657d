#include "files/CsvExport.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cstring>

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
    std::string text;
    text.reserve(static_cast<size_t>(ExportChunk) + 4096);
    text.append(CsvHeaderRow);
    const qint64 size = in.size();
    std::vector<char> buffer(static_cast<size_t>(std::clamp<qint64>(size, 1, ExportChunk)));
    std::string carry;
    int64_t lineNumber = 0;
    int64_t pendingEmpty = 0;
    bool comment = false;
    bool writeFailed = false;
    qint64 done = 0;

    auto flush = [&] {
        if (out.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
            writeFailed = true;
        text.clear();
    };
    auto takeLine = [&](std::string_view whole) {
        ++lineNumber;
        if (lineNumber < FirstDataLine || comment)
            return;
        whole = withoutCr(whole);
        if (whole == CommentKey) {
            comment = true;
            return;
        }
        const std::string_view line = whole.substr(0, LineWidth);
        // Most lines are samples: one reading of their fields decides it.
        const auto raw = classifyLine(line);
        switch (raw ? DataLineKind::Sample : dataLineKind(line)) {
            case DataLineKind::Empty:
                ++pendingEmpty;
                return;
            case DataLineKind::Stop:
                pendingEmpty = 0;
                return;
            case DataLineKind::Filler:
                break;
            case DataLineKind::Damaged:
                ++result.damagedLines;
                break;
            case DataLineKind::Sample: {
                const auto n = parseInteger(line.substr(0, line.find('\t')));
                if (!n || *n < 0) {
                    ++result.damagedLines;
                    break;
                }
                const int64_t ms = *n * header.stepMs;
                if ((span.fromMs && ms < *span.fromMs) || (span.toMs && ms > *span.toMs))
                    break;
                if (startEpoch)
                    appendIsoDateTime(text, *startEpoch + ms);
                text.push_back(',');
                appendSeconds(text, static_cast<uint64_t>(ms), '.');
                for (size_t c = 0; c < 4; ++c) {
                    text.push_back(',');
                    appendVolts(text, std::clamp<int64_t>((*raw)[c], 0, 1023), header.rangeTenths[c], '.');
                }
                for (size_t c = 0; c < 4; ++c) {
                    text.push_back(',');
                    appendInt(text, (*raw)[c]);
                }
                text.append("\r\n");
                ++result.records;
                break;
            }
        }
        result.damagedLines += pendingEmpty;
        pendingEmpty = 0;
    };

    for (;;) {
        if (control.cancelled()) {
            result.cancelled = true;
            out.cancelWriting();
            return result;
        }
        const qint64 n = in.read(buffer.data(), static_cast<qint64>(buffer.size()));
        if (n < 0) {
            result.error = in.errorString();
            out.cancelWriting();
            return result;
        }
        if (n == 0)
            break;
        const char* p = buffer.data();
        const char* end = p + n;
        while (p < end) {
            const auto* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            const size_t length = static_cast<size_t>((nl != nullptr ? nl : end) - p);
            if (nl == nullptr || !carry.empty()) {
                // Only the head of a line is read; a line that never ends keeps no more of itself.
                if (carry.size() <= AnnotationLineWidth)
                    carry.append(p, std::min(length, AnnotationLineWidth + 1 - carry.size()));
                if (nl == nullptr)
                    break;
                takeLine(carry);
                carry.clear();
            } else {
                takeLine(std::string_view(p, length));
            }
            p = nl + 1;
        }
        done += n;
        if (text.size() >= static_cast<size_t>(ExportChunk))
            flush();
        if (control.report)
            control.report(done, size);
    }
    // A last line without its line end counts, as the reader counts it.
    if (!carry.empty())
        takeLine(carry);
    flush();
    if (writeFailed || !out.commit()) {
        result.error = out.errorString();
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace datafile
