#include "files/DataFileReader.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <limits>

#include "recording/TimeBase.h"
#include "files/DataFileFormat.h"
#include "device/Commands.h"

namespace datafile {

namespace {

constexpr qint64 IndexChunk = qint64{1} << 20;
constexpr size_t ReadChunk = size_t{64} << 10;

bool beginsWithNonZeroDigit(std::string_view s)
{
    return !s.empty() && s.front() >= '1' && s.front() <= '9';
}

bool beginsWithDigit(std::string_view s)
{
    return !s.empty() && s.front() >= '0' && s.front() <= '9';
}

int64_t saturatedEnd(int64_t first, int64_t count)
{
    return first > std::numeric_limits<int64_t>::max() - count ? std::numeric_limits<int64_t>::max()
                                                               : first + count - 1;
}

// Reads a file line by line from its current position through a buffer of its own.
class LineCursor {
public:
    LineCursor(QFile& file, std::vector<char>& buffer) : file_(file), buffer_(buffer) { buffer_.resize(ReadChunk); }

    // The next line without its line end, cut to `width` bytes; false at the end of the file.
    bool next(std::string& out, size_t width)
    {
        out.clear();
        size_t total = 0;
        bool any = false;
        for (;;) {
            if (pos_ == end_ && !fill())
                break;
            any = true;
            const char* start = buffer_.data() + pos_;
            const size_t avail = end_ - pos_;
            const auto* nl = static_cast<const char*>(std::memchr(start, '\n', avail));
            const size_t length = nl != nullptr ? static_cast<size_t>(nl - start) : avail;
            // One byte more than kept, to see the CR of a line that fits exactly.
            if (out.size() <= width)
                out.append(start, std::min(length, width + 1 - out.size()));
            total += length;
            if (nl != nullptr) {
                pos_ += length + 1;
                break;
            }
            pos_ = end_;
        }
        if (!any)
            return false;
        if (total == out.size() && !out.empty() && out.back() == '\r')
            out.pop_back();
        if (out.size() > width)
            out.resize(width);
        return true;
    }

private:
    bool fill()
    {
        const qint64 n = file_.read(buffer_.data(), static_cast<qint64>(buffer_.size()));
        if (n <= 0)
            return false;
        pos_ = 0;
        end_ = static_cast<size_t>(n);
        return true;
    }

    QFile& file_;
    std::vector<char>& buffer_;
    size_t pos_ = 0, end_ = 0;
};

}  // namespace

std::optional<int64_t> parseInteger(std::string_view field)
{
    size_t i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) {
        negative = field[i] == '-';
        ++i;
    }
    if (i == field.size())
        return std::nullopt;
    uint64_t value = 0;
    const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        const auto digit = static_cast<uint64_t>(c - '0');
        if (value > (limit - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    if (negative)
        return value == (uint64_t{1} << 63) ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(value);
    return static_cast<int64_t>(value);
}

std::optional<std::array<int64_t, 4>> classifyLine(std::string_view line)
{
    if (line.size() < 4 || line.find("ST") != std::string_view::npos || line.find("COM") != std::string_view::npos)
        return std::nullopt;
    size_t pos = line.find('\t');
    if (pos == std::string_view::npos)
        return std::nullopt;
    std::array<int64_t, 4> raw{};
    for (size_t c = 0; c < raw.size(); ++c) {
        if (pos == std::string_view::npos)
            return std::nullopt;
        const size_t start = pos + 1;
        pos = line.find('\t', start);
        const auto value =
            parseInteger(line.substr(start, pos == std::string_view::npos ? std::string_view::npos : pos - start));
        if (!value)
            return std::nullopt;
        raw[c] = *value;
    }
    // A filler line of Save Data ("-" for the time) stands for a position without a sample.
    if (pos != std::string_view::npos) {
        const size_t end = line.find('\t', pos + 1);
        if (line.substr(pos + 1, end == std::string_view::npos ? end : end - pos - 1) == "-")
            return std::nullopt;
    }
    return raw;
}

DataLineKind dataLineKind(std::string_view line)
{
    if (line.empty())
        return DataLineKind::Empty;
    if (classifyLine(line))
        return DataLineKind::Sample;
    if (line.substr(0, 4) == "STOP")
        return DataLineKind::Stop;
    // A filler line: N, four integers, "-" in place of the time.
    size_t pos = line.find('\t');
    for (int field = 0; field < 5 && pos != std::string_view::npos; ++field) {
        const size_t start = pos + 1;
        pos = line.find('\t', start);
        const std::string_view text =
            line.substr(start, pos == std::string_view::npos ? std::string_view::npos : pos - start);
        if (field == 4)
            return text == "-" ? DataLineKind::Filler : DataLineKind::Damaged;
        if (!parseInteger(text))
            break;
    }
    return DataLineKind::Damaged;
}

int32_t screenValueOfRaw(int64_t raw)
{
    return 255 - static_cast<int32_t>(std::clamp<int64_t>(raw, 0, 1023) / 4);
}

bool HeaderInfo::valid() const
{
    return timeIndex >= 0 && std::all_of(rangeIndex.begin(), rangeIndex.end(), [](int i) { return i >= 0; });
}

HeaderInfo recogniseHeader(std::string_view line5, std::string_view line8, std::string_view line9)
{
    HeaderInfo h;
    for (size_t i = 0; i < TimeBases.size(); ++i)
        if (line5.find(TimeBases[i].label) != std::string_view::npos)
            h.timeIndex = static_cast<int>(i);
    // Channels 1 and 3 share line 8, channels 2 and 4 line 9.
    const std::array<std::string_view, 4> lines{line8, line9, line8, line9};
    for (size_t c = 0; c < 4; ++c) {
        for (size_t i = 0; i < Ranges.size(); ++i) {
            const std::string key =
                "CH" + std::to_string(c + 1) + ": " + toWindows1252(QString::fromUtf8(Ranges[i].label)).toStdString();
            if (lines[c].find(key) != std::string_view::npos)
                h.rangeIndex[c] = static_cast<int>(i);
        }
    }
    return h;
}

bool DataFileLines::open(const QString& path)
{
    file_.close();
    error_.clear();
    const QFileInfo info(path);
    const bool same = path == path_ && info.size() == size_ && info.lastModified().toMSecsSinceEpoch() == modified_;
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly)) {
        error_ = file_.errorString();
        return false;
    }
    if (same && size_ == file_.size())
        return true;
    // The same file, grown (a recording still writes it): the index goes on from its last block,
    // whose lines may have been incomplete when it was read.
    if (path == path_ && size_ >= 0 && file_.size() > size_ && !offsets_.empty() && sameBeginning()) {
        ++indexExtensions_;
        const qint64 from = offsets_.back();
        offsets_.pop_back();
        size_ = file_.size();
        modified_ = info.lastModified().toMSecsSinceEpoch();
        buffer_.resize(static_cast<size_t>(std::clamp<qint64>(size_ - from, 1, IndexChunk)));
        if (file_.seek(from) && scan(from, checkpoint_))
            return true;
        size_ = -1;
        file_.close();
        return false;
    }
    path_ = path;
    size_ = file_.size();
    modified_ = info.lastModified().toMSecsSinceEpoch();
    if (!buildIndex()) {
        size_ = -1;
        file_.close();
        return false;
    }
    return true;
}

bool DataFileLines::sameBeginning()
{
    if (!file_.seek(0))
        return false;
    return file_.read(beginning_.size()) == beginning_;
}

bool DataFileLines::buildIndex()
{
    ++indexBuilds_;
    offsets_.clear();
    beginning_ = file_.read(4096);
    if (!file_.seek(0)) {
        error_ = file_.errorString();
        return false;
    }
    buffer_.resize(static_cast<size_t>(std::clamp<qint64>(size_, 1, IndexChunk)));
    return scan(0, ScanState{});
}

bool DataFileLines::scan(qint64 base, ScanState state)
{
    lineCount_ = state.lineCount;
    commentLine_ = state.commentLine;
    sampleLines_ = state.sampleLines;
    damagedLines_ = state.damagedLines;

    static constexpr char Comment[] = "COMMENT\r";
    // The start of each line, one byte more than the screen reads, to see the CR of a line that
    // fits exactly.
    char head[LineWidth + 1];
    size_t headLength = 0;
    bool lineOpen = false;
    qint64 lineStart = 0;
    int64_t emptyLines = state.emptyLines;
    auto endLine = [&](qint64 lineEnd) {
        ++lineCount_;
        const qint64 length = lineEnd - lineStart;
        if (commentLine_ == 0 && (length == 7 || length == 8) &&
            std::memcmp(head, Comment, static_cast<size_t>(length)) == 0)
            commentLine_ = lineCount_;
        lineOpen = false;
        if (lineCount_ < FirstDataLine || commentLine_ != 0)
            return;
        // The line as a page reads it: without its CR, cut to LineWidth.
        size_t kept = headLength;
        if (static_cast<qint64>(kept) == length && kept > 0 && head[kept - 1] == '\r')
            --kept;
        switch (dataLineKind(std::string_view(head, std::min(kept, LineWidth)))) {
            case DataLineKind::Empty:
                ++emptyLines;
                return;
            case DataLineKind::Stop:
                emptyLines = 0;
                return;
            case DataLineKind::Sample:
                ++sampleLines_;
                break;
            case DataLineKind::Filler:
                break;
            case DataLineKind::Damaged:
                ++damagedLines_;
                break;
        }
        damagedLines_ += emptyLines;
        emptyLines = 0;
    };

    for (;;) {
        const qint64 n = file_.read(buffer_.data(), static_cast<qint64>(buffer_.size()));
        if (n < 0) {
            error_ = file_.errorString();
            return false;
        }
        if (n == 0)
            break;
        const char* p = buffer_.data();
        const char* end = p + n;
        while (p < end) {
            if (!lineOpen) {
                lineOpen = true;
                lineStart = base + (p - buffer_.data());
                headLength = 0;
                if (lineCount_ % Stride == 0) {
                    offsets_.push_back(lineStart);
                    checkpoint_ = {lineCount_, commentLine_, sampleLines_, damagedLines_, emptyLines};
                }
            }
            const auto* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            const char* segmentEnd = nl != nullptr ? nl : end;
            if (headLength < sizeof head) {
                const size_t take = std::min(sizeof head - headLength, static_cast<size_t>(segmentEnd - p));
                std::memcpy(head + headLength, p, take);
                headLength += take;
            }
            if (nl == nullptr)
                break;
            endLine(base + (nl - buffer_.data()));
            p = nl + 1;
        }
        base += n;
    }
    if (lineOpen)
        endLine(base);
    // The index buffer is large; page reads need far less.
    buffer_.clear();
    buffer_.shrink_to_fit();
    return true;
}

void DataFileLines::readLines(int64_t first, int64_t count, size_t width,
                              const std::function<void(int64_t, std::string_view)>& visit)
{
    if (!file_.isOpen() || count <= 0)
        return;
    first = std::max<int64_t>(first, 1);
    const int64_t last = std::min(saturatedEnd(first, count), lineCount_);
    if (first > last)
        return;
    const int64_t block = (first - 1) / Stride;
    if (!file_.seek(offsets_[static_cast<size_t>(block)]))
        return;
    LineCursor cursor(file_, buffer_);
    std::string text;
    for (int64_t number = block * Stride + 1; number <= last; ++number) {
        // Lines before `first` are only skipped: nothing of them is kept.
        if (!cursor.next(text, number < first ? 0 : width))
            return;  // the file was cut short after its index was built
        if (number >= first)
            visit(number, text);
    }
}

std::optional<std::string> DataFileLines::line(int64_t number, size_t width)
{
    std::optional<std::string> result;
    readLines(number, 1, width, [&](int64_t, std::string_view text) { result = std::string(text); });
    return result;
}

AnnotationInfo DataFileLines::readAnnotation(uint16_t defaultX, uint16_t defaultY)
{
    AnnotationInfo info;
    const int64_t c = commentLine_;
    if (c == 0)
        return info;
    const auto countLine = line(c + 1);
    if (!countLine || !beginsWithNonZeroDigit(*countLine))
        return info;
    const auto count = parseInteger(*countLine);
    if (!count || *count <= 0)
        return info;
    info.count = *count;
    auto position = [&](int64_t number, uint16_t fallback) {
        const auto text = line(number);
        if (!text || !beginsWithNonZeroDigit(*text))
            return fallback;
        const auto value = parseInteger(*text);
        return value ? static_cast<uint16_t>(std::min<int64_t>(*value, 65535)) : fallback;
    };
    info.x = position(c + 2, defaultX);
    info.y = position(c + 3, defaultY);
    if (const auto text = line(c + 4); text && beginsWithDigit(*text))
        if (const auto value = parseInteger(*text))
            info.transparent = *value == 1;
    readLines(c + 5, std::min(*count, MaxAnnotationLines), AnnotationLineWidth,
              [&](int64_t, std::string_view text) { info.lines << fromWindows1252(text.data(), text.size()); });
    return info;
}

}  // namespace datafile
