#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace datafile {

// Lines are judged by their first 50 characters; the rest of a line is never looked at.
constexpr size_t LineWidth = 50;
// Annotation text lines are read whole up to this length (the auto-save trailer writes them whole).
constexpr size_t AnnotationLineWidth = 1000;
// At most this many annotation lines are taken from a file; a screen shows far fewer.
constexpr int64_t MaxAnnotationLines = 1000;

// ---- Line classification
// The raw values of a data line, or nothing for a line that gives a BlankPosition: shorter than
// 4 characters, containing "ST" or "COM", without a TAB, whose four fields after N are not all
// integers, or a filler line ("-" in place of the time). A BlankPosition has the screen value 255
// on every channel, as a filler line's raw values 0 would give.
std::optional<std::array<int64_t, 4>> classifyLine(std::string_view line);
// What a line of the data part of a file (from line 13 up to the annotation block) holds.
enum class DataLineKind {
    Sample,   // a data line: classifyLine gives its raw values
    Filler,   // a filler line of Save Data: a position without a sample
    Empty,    // an empty line (one comes before the STOP line of an auto-save file)
    Stop,     // the STOP line of an auto-save file
    Damaged,  // anything else: a line that should hold a sample and cannot be read
};
DataLineKind dataLineKind(std::string_view line);
// One reading of a line of the data part that decides its kind; a sample also gives its raw
// values and, when its first field is an integer, its N. Index, overview and export all read their
// lines through it, so they agree on every line.
struct DataLine {
    DataLineKind kind = DataLineKind::Damaged;
    std::array<int64_t, 4> raw{};
    std::optional<int64_t> n;
};
DataLine readDataLine(std::string_view line);
// Screen value of a raw value read from a file (raw values outside 0..1023 are taken as the
// nearest end of the range, so a damaged value stays on the grid).
int32_t screenValueOfRaw(int64_t raw);
// The integer value of a whole field, or nothing (empty, other characters, out of range).
std::optional<int64_t> parseInteger(std::string_view field);

// ---- Reading a whole file line by line
//
// Progress and cancellation of a long pass: report(done, total) in bytes after each block; a pass
// stops early (and says so) once `cancel` is set.
struct PassControl {
    std::function<void(qint64, qint64)> report;
    const std::atomic<bool>* cancel = nullptr;
    bool cancelled() const { return cancel != nullptr && cancel->load(std::memory_order_relaxed); }
};
enum class PassResult { Done, Cancelled, Failed };

// A line as a pass over the file meets it.
struct ScannedLine {
    qint64 start = 0;       // offset of its first byte
    qint64 length = 0;      // its bytes before the '\n' (a CR included)
    std::string_view head;  // its first min(length, head width) bytes
    bool ended = true;      // false for a last line without a line end
    // The line as a page reads it: without a CR that ends it, cut to LineWidth.
    std::string_view pageText() const
    {
        std::string_view t = head;
        if (static_cast<qint64>(t.size()) == length && !t.empty() && t.back() == '\r')
            t.remove_suffix(1);
        return t.substr(0, LineWidth);
    }
};

// Reads a file from its current position to its end in large blocks and hands each line to a
// visitor: the one way index, overview and export go through a file.
class LineScanner {
public:
    static constexpr size_t BlockBytes = size_t{1} << 20;
    // Lines are handed with at most `headWidth` of their bytes.
    explicit LineScanner(size_t headWidth) : headWidth_(headWidth) {}

    // `base` is the file's current position. take(const ScannedLine&) is called for each line;
    // the scan ends after the line for which it returns false.
    template <class Take>
    PassResult run(QFile& file, qint64 base, const PassControl& control, Take&& take);
    QString errorString() const { return error_; }

private:
    size_t headWidth_;
    std::vector<char> buffer_;
    std::string carry_;
    QString error_;
};

template <class Take>
PassResult LineScanner::run(QFile& file, qint64 base, const PassControl& control, Take&& take)
{
    const qint64 total = file.size();
    const qint64 left = std::max<qint64>(total - base, 1);
    buffer_.resize(static_cast<size_t>(std::min<qint64>(left, static_cast<qint64>(BlockBytes))));
    carry_.clear();
    // A line that continues in the next block: its start and its length so far.
    bool carrying = false;
    ScannedLine line;
    for (;;) {
        if (control.cancelled())
            return PassResult::Cancelled;
        const qint64 n = file.read(buffer_.data(), static_cast<qint64>(buffer_.size()));
        if (n < 0) {
            error_ = file.errorString();
            return PassResult::Failed;
        }
        if (n == 0)
            break;
        const char* p = buffer_.data();
        const char* end = p + n;
        while (p < end) {
            const auto* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            const auto length = static_cast<size_t>((nl != nullptr ? nl : end) - p);
            if (nl == nullptr || carrying) {
                if (!carrying) {
                    line.start = base + (p - buffer_.data());
                    line.length = 0;
                    carrying = true;
                }
                if (carry_.size() < headWidth_)
                    carry_.append(p, std::min(length, headWidth_ - carry_.size()));
                line.length += static_cast<qint64>(length);
                if (nl == nullptr)
                    break;
                line.head = carry_;
                carrying = false;
            } else {
                line.start = base + (p - buffer_.data());
                line.length = static_cast<qint64>(length);
                line.head = std::string_view(p, std::min(length, headWidth_));
            }
            line.ended = true;
            const bool more = take(static_cast<const ScannedLine&>(line));
            carry_.clear();
            if (!more) {
                // The file's position is left just after this line.
                file.seek(line.start + line.length + 1);
                return PassResult::Done;
            }
            p = nl + 1;
        }
        base += n;
        if (control.report)
            control.report(base, total);
    }
    if (carrying) {
        line.head = carry_;
        line.ended = false;
        take(static_cast<const ScannedLine&>(line));
        carry_.clear();
    }
    return PassResult::Done;
}

// ---- Header (lines 1..12)
struct HeaderInfo {
    int timeIndex = -1;                             // index in the time-base table, or -1
    std::array<int, 4> rangeIndex{-1, -1, -1, -1};  // per channel, index in the range table, or -1
    bool valid() const;
};
// Recognises the time label in line 5 and the four ranges in lines 8 and 9 (the last label found
// in a line wins, so "100 = 0.5s" gives "0.5s" although it also contains "5s").
HeaderInfo recogniseHeader(std::string_view line5, std::string_view line8, std::string_view line9);

// ---- Annotation block
struct AnnotationInfo {
    int64_t count = 0;  // 0: the file has no (usable) annotation block; leave the annotation alone
    uint16_t x = 0, y = 0;
    std::optional<bool> transparent;  // empty: leave the "Transparent text" setting as it is
    QStringList lines;
};

// ---- The lines of one data file, by number
//
// An index of line offsets (one every Stride lines) is built once per file, so any line is found
// by one seek and at most Stride - 1 skipped lines, whatever its number. Reopening the same,
// unchanged file (same size and modification time) keeps the index.
class DataFileLines {
public:
    static constexpr int64_t Stride = 64;
    // Lines indexed before the first page of a file is shown (about 38 pages); the whole index of
    // a longer file is built afterwards.
    static constexpr int64_t HeadLines = int64_t{1} << 16;
    // Called for each line while an index is built from the top (the overview built in the same
    // pass), with the index's reading of the line when it belongs to the data part (else null).
    using LineObserver = std::function<void(const ScannedLine&, const DataLine*)>;

    // Opens the file and builds its index (kept when the file is unchanged; extended by the lines
    // added since when the same file only grew, as a file still being written does, or when only
    // its first lines were indexed). False when the file cannot be opened; errorString() says why.
    bool open(const QString& path);
    // Opens the file and indexes only its first `lines` lines (all of them when the file has no
    // more), so that the first pages show at once; the rest of the index is built by open() or
    // taken over from an index built elsewhere (adoptIndex). An unchanged file whose index is
    // complete keeps it.
    bool openHead(const QString& path, int64_t lines);
    // Builds the whole index of `path` from the top on the calling thread (a worker), passing each
    // line to `observer` too; the file is closed afterwards.
    PassResult buildIndex(const QString& path, const PassControl& control, const LineObserver& observer = {});
    // Takes over the index that `other` built of the file this one has on view (same path and the
    // same beginning); false, and nothing changes, otherwise.
    bool adoptIndex(DataFileLines& other);
    // Opens the indexed file again for reading, with the index as it is (page turns among the
    // first lines while the whole index is built elsewhere).
    bool reopenFile() { return !path_.isEmpty() && openFile(path_); }
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }
    QString path() const { return path_; }
    QString errorString() const { return error_; }

    // Whether the index covers the whole file (false after openHead() of a longer file).
    bool indexComplete() const { return complete_; }
    // Whether line `number` can be read and told last or not without more of the index.
    bool holdsLine(int64_t number) const { return complete_ || number <= lineCount_; }
    // Whether line `number` is the last line of the file (known only with a complete index).
    bool isLastLine(int64_t number) const { return complete_ && number == lineCount_; }
    // Number of lines (of those indexed); a last line without a line end counts.
    int64_t lineCount() const { return lineCount_; }
    // Number of the first line that reads exactly "COMMENT", or 0.
    int64_t commentLine() const { return commentLine_; }
    // The data part of the file (line 13 up to the "COMMENT" line), as the screen reads its lines
    // (cut to LineWidth): the lines that give a sample, and the damaged ones, which give none. Empty
    // lines count as damaged only when more of the data part follows them.
    int64_t sampleLines() const { return sampleLines_; }
    int64_t damagedLines() const { return damagedLines_; }
    // Times the index was built from the top, and extended (tests, benchmark).
    int indexBuilds() const { return indexBuilds_; }
    int indexExtensions() const { return indexExtensions_; }

    // Calls visit(number, text) for the existing lines among first .. first + count - 1, in order;
    // text is the line without its line end, cut to `width` bytes.
    void readLines(int64_t first, int64_t count, size_t width,
                   const std::function<void(int64_t, std::string_view)>& visit);
    // One line cut to `width` bytes, or nothing when the file has no such line.
    std::optional<std::string> line(int64_t number, size_t width = LineWidth);

    // The annotation block after the "COMMENT" line; positions default to (defaultX, defaultY).
    // Of a file indexed only at its head, the block is looked for near the end of the file, where
    // Save Data and auto-save write it.
    AnnotationInfo readAnnotation(uint16_t defaultX, uint16_t defaultY);

private:
    // Counts of the index at the start of a line: where an extension resumes.
    struct ScanState {
        int64_t lineCount = 0;
        int64_t commentLine = 0;
        int64_t sampleLines = 0;
        int64_t damagedLines = 0;
        int64_t emptyLines = 0;  // empty lines of the data part not yet followed by more of it
    };
    bool openFile(const QString& path);
    PassResult buildFromTop(int64_t maxLines, const PassControl& control, const LineObserver& observer);
    // Reads from the file's current position `base` to its end (or up to `maxLines` lines), with
    // the counts of `state`.
    PassResult scan(qint64 base, ScanState state, int64_t maxLines, const PassControl& control,
                    const LineObserver& observer);
    // Whether the file still begins as it did when its index was built.
    bool sameBeginning();

    QFile file_;
    QString path_;
    QString error_;
    qint64 size_ = -1;
    qint64 modified_ = 0;
    bool complete_ = false;
    int64_t lineCount_ = 0;
    int64_t commentLine_ = 0;
    int64_t sampleLines_ = 0;
    int64_t damagedLines_ = 0;
    int indexBuilds_ = 0;
    int indexExtensions_ = 0;
    ScanState checkpoint_;         // the counts at the start of the last indexed block (offsets_.back())
    QByteArray beginning_;         // the file's first bytes when it was indexed
    std::vector<qint64> offsets_;  // offsets_[k]: start of line k * Stride + 1
    std::vector<char> buffer_;
};

}  // namespace datafile
