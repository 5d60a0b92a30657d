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

void RecordingOverview::startFromTop(const QString& path, qint64 fileBytes)
{
    reset();
    path_ = path;
    ++fullPasses_;
    // The envelope grows by whole chunks of buckets; a rough guess of the rows to come saves
    // copies.
    if (fileBytes > 0)
        buckets_.reserve(static_cast<size_t>(fileBytes / 45 / BucketRows + 1));
}

void RecordingOverview::take(const ScannedLine& line, const DataLine* reading)
{
    // A last line without its line end is left for the next pass: it may still be being written.
    if (!line.ended)
        return;
    offset_ = line.start + line.length + 1;
    ++lineCount_;
    if (lineCount_ < FirstDataLine) {
        const std::string_view whole = withoutCr(line.head);
        headerLines_[static_cast<size_t>(lineCount_ - 1)] = whole.substr(0, AnnotationLineWidth);
        if (lineCount_ == FirstDataLine - 1)
            header_ = makeRecordingHeader(headerLines_[0], headerLines_[1], headerLines_[4], headerLines_[7],
                                          headerLines_[8]);
        return;
    }
    if (commentSeen_)
        return;
    if ((line.length == 7 || line.length == 8) && withoutCr(line.head) == CommentKey) {
        commentSeen_ = true;
        return;
    }
    const int64_t row = rows_++;
    const DataLine d = reading != nullptr ? *reading : readDataLine(line.pageText());
    switch (d.kind) {
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
                const auto v = static_cast<uint16_t>(std::clamp<int64_t>(d.raw[c], 0, 1023));
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
    if (path != path_ || size < offset_)
        startFromTop(path, size);
    if (!file.seek(offset_)) {
        error_ = file.errorString();
        return Result::Failed;
    }
    LineScanner scanner(AnnotationLineWidth + 1);
    switch (scanner.run(file, offset_, control, [this](const ScannedLine& line) {
        take(line);
        return true;
    })) {
        case PassResult::Done:
            return Result::Done;
        case PassResult::Cancelled:
            return Result::Cancelled;
        case PassResult::Failed:
            break;
    }
    error_ = scanner.errorString();
    return Result::Failed;
}

PassResult indexWithOverview(const QString& path, DataFileLines& lines, RecordingOverview& overview,
                             const PassControl& control)
{
    overview.startFromTop(path, QFileInfo(path).size());
    return lines.buildIndex(
        path, control, [&overview](const ScannedLine& line, const DataLine* reading) { overview.take(line, reading); });
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
