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

// How much of the end of a file is searched for the annotation block while the index covers only
// its head: the block holds at most a screen's texts.
constexpr qint64 TailBytes = qint64{1} << 20;
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

namespace {

// Reads the integer field at `p` up to the next TAB or the end of the line, as parseInteger reads
// it, and leaves `p` there; false when the field is no integer.
inline bool readIntegerField(const char*& p, const char* end, int64_t& out)
{
    const char* s = p;
    bool negative = false;
    if (s < end && (*s == '-' || *s == '+')) {
        negative = *s == '-';
        ++s;
    }
    const char* digits = s;
    uint64_t value = 0;
    for (; s < end && *s != '\t'; ++s) {
        const auto digit = static_cast<unsigned>(static_cast<unsigned char>(*s)) - unsigned{'0'};
        if (digit > 9)
            return false;
        value = value * 10 + digit;  // may wrap for a long field: such fields are read again below
    }
    if (s == digits)
        return false;
    if (s - digits > 18) {
        const auto exact = parseInteger(std::string_view(p, static_cast<size_t>(s - p)));
        if (!exact)
            return false;
        out = *exact;
    } else {
        out = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    }
    p = s;
    return true;
}

}  // namespace

DataLine readDataLine(std::string_view line)
{
    DataLine d;
    if (line.empty()) {
        d.kind = DataLineKind::Empty;
        return d;
    }
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    // The four raw fields after N, each up to the next TAB (the fourth may end the line), and
    // whether a time field of "-" follows them (a filler line of Save Data).
    const auto* const firstTab = static_cast<const char*>(std::memchr(begin, '\t', line.size()));
    bool rawRead = firstTab != nullptr;
    const char* p = firstTab;
    for (size_t c = 0; rawRead && c < d.raw.size(); ++c) {
        if (p == end || !readIntegerField(++p, end, d.raw[c]))
            rawRead = false;
    }
    const bool filler = rawRead && p != end && end - p >= 2 && p[1] == '-' && (end - p == 2 || p[2] == '\t');
    // A line holding "ST" or "COM" is never a sample; only a line with an S or a C can hold them.
    auto holds = [&](char first, std::string_view text) {
        return std::memchr(begin, first, line.size()) != nullptr && line.find(text) != std::string_view::npos;
    };
    if (rawRead && !filler && line.size() >= 4 && !holds('S', "ST") && !holds('C', "COM")) {
        d.kind = DataLineKind::Sample;
        const char* q = begin;
        int64_t n = 0;
        if (readIntegerField(q, end, n) && q == firstTab)
            d.n = n;
        return d;
    }
    if (line.substr(0, 4) == "STOP")
        d.kind = DataLineKind::Stop;
    else if (filler)
        d.kind = DataLineKind::Filler;
    else
        d.kind = DataLineKind::Damaged;
    return d;
}

std::optional<std::array<int64_t, 4>> classifyLine(std::string_view line)
{
    const DataLine d = readDataLine(line);
    if (d.kind != DataLineKind::Sample)
        return std::nullopt;
    return d.raw;
}

DataLineKind dataLineKind(std::string_view line)
{
    return readDataLine(line).kind;
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

bool DataFileLines::openFile(const QString& path)
{
    file_.close();
    error_.clear();
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly)) {
        error_ = file_.errorString();
        return false;
    }
    return true;
}

bool DataFileLines::open(const QString& path)
{
    const QFileInfo info(path);
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    const bool same = path == path_ && info.size() == size_ && modified == modified_;
    if (!openFile(path))
        return false;
    const qint64 size = file_.size();
    if (same && complete_ && size_ == size)
        return true;
    // The same file, grown (a recording still writes it) or indexed only at its head: the index
    // goes on from its last block, whose lines may have been incomplete when it was read.
    if (path == path_ && size_ >= 0 && !offsets_.empty() && (size > size_ || (!complete_ && size == size_)) &&
        sameBeginning()) {
        ++indexExtensions_;
        const qint64 from = offsets_.back();
        offsets_.pop_back();
        size_ = size;
        modified_ = modified;
        if (file_.seek(from) &&
            scan(from, checkpoint_, std::numeric_limits<int64_t>::max(), {}, {}) == PassResult::Done)
            return true;
        size_ = -1;
        file_.close();
        return false;
    }
    path_ = path;
    size_ = size;
    modified_ = modified;
    if (buildFromTop(std::numeric_limits<int64_t>::max(), {}, {}) != PassResult::Done) {
        size_ = -1;
        file_.close();
        return false;
    }
    return true;
}

bool DataFileLines::openHead(const QString& path, int64_t lines)
{
    const QFileInfo info(path);
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    const bool same = path == path_ && info.size() == size_ && modified == modified_;
    if (!openFile(path))
        return false;
    if (same && complete_ && size_ == file_.size())
        return true;
    // The same file, grown, with its whole index: indexed on from its last block, as open() does.
    if (path == path_ && complete_ && size_ >= 0 && file_.size() > size_)
        return open(path);
    path_ = path;
    size_ = file_.size();
    modified_ = modified;
    if (buildFromTop(std::max<int64_t>(lines, 1), {}, {}) != PassResult::Done) {
        size_ = -1;
        file_.close();
        return false;
    }
    return true;
}

PassResult DataFileLines::buildIndex(const QString& path, const PassControl& control, const LineObserver& observer)
{
    const QFileInfo info(path);
    if (!openFile(path))
        return PassResult::Failed;
    path_ = path;
    size_ = file_.size();
    modified_ = info.lastModified().toMSecsSinceEpoch();
    const PassResult result = buildFromTop(std::numeric_limits<int64_t>::max(), control, observer);
    if (result != PassResult::Done)
        size_ = -1;
    file_.close();
    return result;
}

bool DataFileLines::adoptIndex(DataFileLines& other)
{
    if (other.path_ != path_ || !other.complete_ || other.size_ < 0 || !other.beginning_.startsWith(beginning_))
        return false;
    size_ = other.size_;
    modified_ = other.modified_;
    complete_ = true;
    lineCount_ = other.lineCount_;
    commentLine_ = other.commentLine_;
    sampleLines_ = other.sampleLines_;
    damagedLines_ = other.damagedLines_;
    checkpoint_ = other.checkpoint_;
    beginning_ = other.beginning_;
    offsets_.swap(other.offsets_);
    ++indexBuilds_;
    return true;
}

bool DataFileLines::sameBeginning()
{
    if (!file_.seek(0))
        return false;
    return file_.read(beginning_.size()) == beginning_;
}

PassResult DataFileLines::buildFromTop(int64_t maxLines, const PassControl& control, const LineObserver& observer)
{
    ++indexBuilds_;
    offsets_.clear();
    complete_ = false;
    beginning_ = file_.read(4096);
    if (!file_.seek(0)) {
        error_ = file_.errorString();
        return PassResult::Failed;
    }
    return scan(0, ScanState{}, maxLines, control, observer);
}

PassResult DataFileLines::scan(qint64 base, ScanState state, int64_t maxLines, const PassControl& control,
                               const LineObserver& observer)
{
    lineCount_ = state.lineCount;
    commentLine_ = state.commentLine;
    sampleLines_ = state.sampleLines;
    damagedLines_ = state.damagedLines;
    complete_ = false;

    static constexpr char Comment[] = "COMMENT\r";
    int64_t emptyLines = state.emptyLines;
    qint64 next = base;
    bool stopped = false;
    // Header lines are handed whole to an observer (the overview reads them); the index itself
    // looks at the first LineWidth + 1 bytes of a line.
    LineScanner scanner(AnnotationLineWidth + 1);
    const PassResult result = scanner.run(file_, base, control, [&](const ScannedLine& line) {
        if (lineCount_ % Stride == 0) {
            offsets_.push_back(line.start);
            checkpoint_ = {lineCount_, commentLine_, sampleLines_, damagedLines_, emptyLines};
        }
        ++lineCount_;
        next = line.start + line.length + 1;
        if (commentLine_ == 0 && (line.length == 7 || line.length == 8) &&
            std::memcmp(line.head.data(), Comment, static_cast<size_t>(line.length)) == 0)
            commentLine_ = lineCount_;
        if (lineCount_ >= FirstDataLine && commentLine_ == 0) {
            const DataLine reading = readDataLine(line.pageText());
            switch (reading.kind) {
                case DataLineKind::Empty:
                    ++emptyLines;
                    break;
                case DataLineKind::Stop:
                    emptyLines = 0;
                    break;
                case DataLineKind::Sample:
                    ++sampleLines_;
                    damagedLines_ += emptyLines;
                    emptyLines = 0;
                    break;
                case DataLineKind::Filler:
                    damagedLines_ += emptyLines;
                    emptyLines = 0;
                    break;
                case DataLineKind::Damaged:
                    damagedLines_ += emptyLines + 1;
                    emptyLines = 0;
                    break;
            }
            if (observer)
                observer(line, &reading);
        } else if (observer) {
            observer(line, nullptr);
        }
        if (lineCount_ >= maxLines) {
            stopped = true;
            return false;
        }
        return true;
    });
    if (result != PassResult::Done) {
        if (result == PassResult::Failed)
            error_ = scanner.errorString();
        return result;
    }
    complete_ = !stopped || next >= file_.size();
    return PassResult::Done;
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

namespace {

// The annotation block from its lines: lineAfter(k) is the k-th line after the "COMMENT" line.
AnnotationInfo parseAnnotation(const std::function<std::optional<std::string>(int64_t)>& lineAfter, uint16_t defaultX,
                               uint16_t defaultY)
{
    AnnotationInfo info;
    // The count and the position lines are read as a page reads a line.
    auto head = [&](int64_t k) {
        auto text = lineAfter(k);
        if (text && text->size() > LineWidth)
            text->resize(LineWidth);
        return text;
    };
    const auto countLine = head(1);
    if (!countLine || !beginsWithNonZeroDigit(*countLine))
        return info;
    const auto count = parseInteger(*countLine);
    if (!count || *count <= 0)
        return info;
    info.count = *count;
    auto position = [&](int64_t k, uint16_t fallback) {
        const auto text = head(k);
        if (!text || !beginsWithNonZeroDigit(*text))
            return fallback;
        const auto value = parseInteger(*text);
        return value ? static_cast<uint16_t>(std::min<int64_t>(*value, 65535)) : fallback;
    };
    info.x = position(2, defaultX);
    info.y = position(3, defaultY);
    if (const auto text = head(4); text && beginsWithDigit(*text))
        if (const auto value = parseInteger(*text))
            info.transparent = *value == 1;
    for (int64_t k = 5; k < 5 + std::min(*count, MaxAnnotationLines); ++k) {
        const auto text = lineAfter(k);
        if (!text)
            break;
        info.lines << fromWindows1252(text->data(), text->size());
    }
    return info;
}

}  // namespace

namespace {

// The annotation of the lines that follow a "COMMENT" line.
AnnotationInfo annotationOfBlock(const std::vector<std::string>& block, uint16_t defaultX, uint16_t defaultY)
{
    return parseAnnotation(
        [&](int64_t k) {
            return k <= static_cast<int64_t>(block.size())
                       ? std::optional<std::string>(block[static_cast<size_t>(k - 1)])
                       : std::nullopt;
        },
        defaultX, defaultY);
}

}  // namespace

AnnotationInfo DataFileLines::readAnnotation(uint16_t defaultX, uint16_t defaultY)
{
    const int64_t c = commentLine_;
    if (c != 0) {
        // The block's lines, read in one go.
        std::vector<std::string> block;
        readLines(c + 1, 4 + MaxAnnotationLines, AnnotationLineWidth,
                  [&](int64_t, std::string_view text) { block.emplace_back(text); });
        return annotationOfBlock(block, defaultX, defaultY);
    }
    if (complete_ || !file_.isOpen())
        return {};
    // Indexed only at its head: the block is looked for in the last part of the file.
    const qint64 size = file_.size();
    const qint64 from = std::max<qint64>(0, size - TailBytes);
    if (!file_.seek(from))
        return {};
    const QByteArray tail = file_.read(size - from);
    std::vector<std::string> block;
    bool found = false;
    qint64 p = 0;
    if (from > 0) {
        // The first line may have begun before the tail.
        const qint64 nl = tail.indexOf('\n');
        p = nl < 0 ? tail.size() : nl + 1;
    }
    while (p < tail.size() && block.size() < static_cast<size_t>(4 + MaxAnnotationLines)) {
        qint64 nl = tail.indexOf('\n', p);
        if (nl < 0)
            nl = tail.size();
        std::string_view text(tail.constData() + p, static_cast<size_t>(nl - p));
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        if (found)
            block.emplace_back(text.substr(0, AnnotationLineWidth));
        else
            found = text == "COMMENT";
        p = nl + 1;
    }
    if (!found)
        return {};
    return annotationOfBlock(block, defaultX, defaultY);
}

}  // namespace datafile
