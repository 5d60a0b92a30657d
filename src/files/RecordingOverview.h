#pragma once

// The whole of a data file at a glance: the header facts a long recording needs (start, time
// step, ranges) and a min/max envelope of the four channels over its data part, built by one pass
// over the file and extended by the lines added since (a file that auto-save or a headless
// recording is still writing). Widget-free, so it can be built on a worker thread; the pass can
// report progress and be cancelled.

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/DataFileReader.h"

namespace datafile {

// The facts of a data file's header that place its rows in time and volts.
struct RecordingHeader {
    HeaderInfo header;
    int64_t stepMs = 0;                    // milliseconds between two rows (0 when unknown)
    std::array<uint8_t, 4> rangeTenths{};  // per channel, tenths of a volt (0 when unknown)
    QString startText;                     // the START stamp as written, TAB between date and time
    std::optional<QDateTime> start;        // the START stamp read as a local date and time
};
// The header facts from lines 1, 2, 5, 8 and 9 of a file.
RecordingHeader makeRecordingHeader(std::string_view line1, std::string_view line2, std::string_view line5,
                                    std::string_view line8, std::string_view line9);
// Reads lines 1..12 of `lines` (an open file).
RecordingHeader readRecordingHeader(DataFileLines& lines);
// Reads the START stamp of a file ("date<TAB>time" in the writing locale's short date and long
// time formats); tries the system locale first, then common numeric formats.
std::optional<QDateTime> parseStartStamp(const QString& stamp);

class RecordingOverview {
public:
    // Rows of the data part per envelope bucket: 36 M rows give 1.1 M buckets of 16 bytes.
    static constexpr int64_t BucketRows = 32;
    struct Bucket {
        std::array<uint16_t, 4> min{1023, 1023, 1023, 1023};
        std::array<uint16_t, 4> max{0, 0, 0, 0};
        bool empty() const { return min[0] > max[0]; }
    };
    enum class Result { Done, Cancelled, Failed };

    // Reads the file from the top (a new file) or, when it is the same file grown, only the lines
    // added since the last pass. A last line without its line end is left for the next pass: it
    // may still be being written.
    Result update(const QString& path, const PassControl& control = {});
    // The same pass made by someone else that reads the file from its top (the page index): the
    // overview forgets what it had and takes the lines handed to take() in order.
    // `fileBytes`, when known, sizes the envelope for the whole file at once.
    void startFromTop(const QString& path, qint64 fileBytes = 0);
    // `reading`, when given, is the line's reading made by the index in the same pass.
    void take(const ScannedLine& line, const DataLine* reading = nullptr);

    QString path() const { return path_; }
    QString errorString() const { return error_; }
    const RecordingHeader& header() const { return header_; }
    // Rows of the data part read so far (row r is line 13 + r), up to the "COMMENT" line.
    int64_t rows() const { return rows_; }
    // Rows up to and including the last one that holds a sample (0 when none does).
    int64_t rowsWithSamples() const { return lastSampleRow_ + 1; }
    int64_t sampleLines() const { return sampleLines_; }
    int64_t damagedLines() const { return damagedLines_; }
    // Bytes read so far; the next pass starts there.
    qint64 bytesRead() const { return offset_; }
    // Passes that read the file from the top (tests).
    int fullPasses() const { return fullPasses_; }

    const std::vector<Bucket>& buckets() const { return buckets_; }
    // The envelope of rows first .. last - 1 (whole buckets at the ends), merged; empty when no
    // row of them holds a sample.
    Bucket envelope(int64_t first, int64_t last) const;
    // Memory held by the envelope, in bytes.
    size_t memoryBytes() const { return buckets_.capacity() * sizeof(Bucket); }

private:
    void reset();

    QString path_;
    QString error_;
    RecordingHeader header_;
    qint64 offset_ = 0;
    int64_t lineCount_ = 0;
    int64_t rows_ = 0;
    int64_t lastSampleRow_ = -1;
    int64_t sampleLines_ = 0;
    int64_t damagedLines_ = 0;
    int64_t pendingEmpty_ = 0;
    bool commentSeen_ = false;
    int fullPasses_ = 0;
    std::vector<Bucket> buckets_;
    std::array<std::string, 12> headerLines_;
};

// One pass from the top of `path` that builds the page index of `lines` and `overview` together,
// on the calling thread (a worker): what opening a long file needs before every page can be
// reached.
PassResult indexWithOverview(const QString& path, DataFileLines& lines, RecordingOverview& overview,
                             const PassControl& control = {});

}  // namespace datafile
