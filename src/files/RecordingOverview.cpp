#include "files/RecordingOverview.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cstring>

#include "device/Commands.h"
#include "files/DataFileFormat.h"
#include "recording/TimeBase.h"

namespace datafile {

namespace {

constexpr qint64 PassChunk = qint64{4} << 20;

std::string_view withoutCr(std::string_view s)
{
    return !s.empty() && s.back() == '\r' ? s.substr(0, s.size() - 1) : s;
}

}  // namespace

std::optional<QDateTime> parseStartStamp(const QString& stamp)
{
    const QStringList parts = stamp.trimmed().split(QLatin1Char('\t'));
    if (parts.size() != 2)
        return std::nullopt;
    const QString dateText = parts[0].trimmed();
    const QString timeText = parts[1].trimmed();
    const QLocale system = QLocale::system();
    QDate date = system.toDate(dateText, QLocale::ShortFormat);
    for (const char* format : {"d.M.yyyy", "d/M/yyyy", "M/d/yyyy", "yyyy-MM-dd", "d.M.yy", "M/d/yy", "d-M-yyyy"}) {
        if (date.isValid())
            break;
        date = QDate::fromString(dateText, QLatin1String(format));
    }
    QTime time = QTime::fromString(timeText, QStringLiteral("H:mm:ss"));
    for (const char* format : {"h:mm:ss AP", "h:mm:ss ap", "H.mm.ss", "HH:mm:ss"}) {
        if (time.isValid())
            break;
        time = QTime::fromString(timeText, QLatin1String(format));
    }
    if (!time.isValid())
        time = system.toTime(timeText, QLocale::LongFormat);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

RecordingHeader makeRecordingHeader(std::string_view line1, std::string_view line2, std::string_view line5,
                                    std::string_view line8, std::string_view line9)
{
    RecordingHeader h;
    h.header = recogniseHeader(line5, line8, line9);
    if (h.header.timeIndex >= 0)
        h.stepMs = TimeBases[static_cast<size_t>(h.header.timeIndex)].sampleIntervalMs;
    for (size_t c = 0; c < 4; ++c)
        if (h.header.rangeIndex[c] >= 0)
            h.rangeTenths[c] = static_cast<uint8_t>(Ranges[static_cast<size_t>(h.header.rangeIndex[c])].channelRange);
    // Save Data writes the START line first, auto-save second.
    const std::string_view key(StartKey);
    for (const std::string_view line : {line1, line2}) {
        if (line.substr(0, key.size()) == key) {
            h.startText = fromWindows1252(line.data() + key.size(), line.size() - key.size());
            h.start = parseStartStamp(h.startText);
            break;
        }
    }
    return h;
}

RecordingHeader readRecordingHeader(DataFileLines& lines)
{
    std::array<std::string, 12> text;
    lines.readLines(1, 12, AnnotationLineWidth,
                    [&](int64_t number, std::string_view line) { text[static_cast<size_t>(number - 1)] = line; });
    return makeRecordingHeader(text[0], text[1], text[4], text[7], text[8]);
}

void RecordingOverview::reset()
{
    header_ = {};
    offset_ = 0;
    lineCount_ = 0;
    rows_ = 0;
    lastSampleRow_ = -1;
    sampleLines_ = 0;
    damagedLines_ = 0;
    pendingEmpty_ = 0;
    commentSeen_ = false;
    buckets_.clear();
    buckets_.shrink_to_fit();
    for (auto& line : headerLines_)
        line.clear();
}

void RecordingOverview::takeLine(const char* text, size_t length)
{
    ++lineCount_;
    const std::string_view whole = withoutCr(std::string_view(text, length));
    if (lineCount_ < FirstDataLine) {
        headerLines_[static_cast<size_t>(lineCount_ - 1)] = whole.substr(0, AnnotationLineWidth);
        if (lineCount_ == FirstDataLine - 1)
            header_ = makeRecordingHeader(headerLines_[0], headerLines_[1], headerLines_[4], headerLines_[7],
                                          headerLines_[8]);
        return;
    }
    if (commentSeen_)
        return;
    if (whole == CommentKey) {
        commentSeen_ = true;
        return;
    }
    // Each line as a page reads it: its first LineWidth characters.
    const std::string_view line = whole.substr(0, LineWidth);
    const int64_t row = rows_++;
    // Most lines are samples: one reading of their fields decides it.
    const auto raw = classifyLine(line);
    switch (raw ? DataLineKind::Sample : dataLineKind(line)) {
        case DataLineKind::Empty:
            ++pendingEmpty_;
            return;
        case DataLineKind::Stop:
            pendingEmpty_ = 0;
            return;
        case DataLineKind::Filler:
            break;
        case DataLineKind::Damaged:
            ++damagedLines_;
            break;
        case DataLineKind::Sample: {
            ++sampleLines_;
            lastSampleRow_ = row;
            const auto b = static_cast<size_t>(row / BucketRows);
            if (buckets_.size() <= b)
                buckets_.resize(b + 1);
            Bucket& bucket = buckets_[b];
            for (size_t c = 0; c < 4; ++c) {
                const auto v = static_cast<uint16_t>(std::clamp<int64_t>((*raw)[c], 0, 1023));
                bucket.min[c] = std::min(bucket.min[c], v);
                bucket.max[c] = std::max(bucket.max[c], v);
            }
            break;
        }
    }
    damagedLines_ += pendingEmpty_;
    pendingEmpty_ = 0;
}

RecordingOverview::Result RecordingOverview::update(const QString& path, const PassControl& control)
{
    error_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = file.errorString();
        return Result::Failed;
    }
    const qint64 size = file.size();
    if (path != path_ || size < offset_) {
        reset();
        path_ = path;
        ++fullPasses_;
    }
    if (!file.seek(offset_)) {
        error_ = file.errorString();
        return Result::Failed;
    }
    // The envelope grows by whole chunks of buckets; a rough guess of the rows to come saves
    // copies on the first pass.
    if (offset_ == 0)
        buckets_.reserve(static_cast<size_t>(size / 45 / BucketRows + 1));
    std::vector<char> buffer(static_cast<size_t>(std::clamp<qint64>(size - offset_, 1, PassChunk)));
    // The start of a line that continues in the next chunk (its head only: nothing reads a line
    // further than that) and the line's length so far.
    std::string carry;
    qint64 carryLength = 0;
    bool carrying = false;
    qint64 done = offset_;
    for (;;) {
        if (control.cancelled())
            return Result::Cancelled;
        const qint64 n = file.read(buffer.data(), static_cast<qint64>(buffer.size()));
        if (n < 0) {
            error_ = file.errorString();
            return Result::Failed;
        }
        if (n == 0)
            break;
        const char* p = buffer.data();
        const char* end = p + n;
        while (p < end) {
            const auto* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            const size_t length = static_cast<size_t>((nl != nullptr ? nl : end) - p);
            if (nl == nullptr || carrying) {
                carry.append(
                    p, std::min(length, AnnotationLineWidth + 1 - std::min(carry.size(), AnnotationLineWidth + 1)));
                carryLength += static_cast<qint64>(length);
                carrying = true;
            }
            if (nl == nullptr)
                break;
            if (carrying) {
                offset_ += carryLength + 1;
                takeLine(carry.data(), carry.size());
                carry.clear();
                carryLength = 0;
                carrying = false;
            } else {
                offset_ += static_cast<qint64>(length) + 1;
                takeLine(p, length);
            }
            p = nl + 1;
        }
        done += n;
        if (control.report)
            control.report(done, size);
    }
    return Result::Done;
}

RecordingOverview::Bucket RecordingOverview::envelope(int64_t first, int64_t last) const
{
    Bucket merged;
    if (last <= first || first < 0)
        return merged;
    const auto from = static_cast<size_t>(first / BucketRows);
    const auto to = std::min(buckets_.size(), static_cast<size_t>((last - 1) / BucketRows + 1));
    for (size_t b = from; b < to; ++b) {
        const Bucket& bucket = buckets_[b];
        if (bucket.empty())
            continue;
        for (size_t c = 0; c < 4; ++c) {
            merged.min[c] = std::min(merged.min[c], bucket.min[c]);
            merged.max[c] = std::max(merged.max[c], bucket.max[c]);
        }
    }
    return merged;
}

}  // namespace datafile
