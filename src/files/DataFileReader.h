#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
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
// Screen value of a raw value read from a file (raw values outside 0..1023 are taken as the
// nearest end of the range, so a damaged value stays on the grid).
int32_t screenValueOfRaw(int64_t raw);
// The integer value of a whole field, or nothing (empty, other characters, out of range).
std::optional<int64_t> parseInteger(std::string_view field);

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

    // Opens the file and builds its index (kept when the file is unchanged; extended by the lines
    // added since when the same file only grew, as a file still being written does). False when
    // the file cannot be opened; errorString() says why.
    bool open(const QString& path);
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }
    QString path() const { return path_; }
    QString errorString() const { return error_; }

    // Number of lines; a last line without a line end counts.
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
    bool buildIndex();
    // Reads from the file's current position `base` to its end, with the counts of `state`.
    bool scan(qint64 base, ScanState state);
    // Whether the file still begins as it did when its index was built.
    bool sameBeginning();

    QFile file_;
    QString path_;
    QString error_;
    qint64 size_ = -1;
    qint64 modified_ = 0;
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
