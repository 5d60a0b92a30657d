// The data file format and its writers: characters, numbers, and whole files compared byte for
// byte with golden files (fixed stamps, fixed decimal separator).
#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

#include "files/DataFileFormat.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "FileSizeLimit.h"
#include "ui/RecorderState.h"

using namespace datafile;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray golden(const char* name)
{
    return readAll(QStringLiteral(KORVIX_TEST_DATA "/files/data/") + QString::fromLatin1(name));
}

std::string volts(int64_t raw, int range, char sep = '.')
{
    std::string s;
    appendVolts(s, raw, range, sep);
    return s;
}

std::string seconds(uint64_t ms)
{
    std::string s;
    appendSeconds(s, ms, '.');
    return s;
}

// The recording of the golden files: fixed stamps, ranges at the start and now, an annotation.
void goldenRecording(RecorderState& st)
{
    st.StartStamp = QStringLiteral("24.12.2024\t13:45:07");
    st.StopStamp = QStringLiteral("24.12.2024\t13:46:10");
    st.RecRangeLabel = {QStringLiteral("±20V"), QStringLiteral("±8V"), QStringLiteral("±0.4V"), QStringLiteral("±2V")};
    st.ChannelRange = {200, 80, 4, 20};
    st.AnnotationOn = true;
    st.AnnotationX = 30;
    st.AnnotationY = 40;
    st.AnnotationTransparent = true;
    st.AnnotationText = QStringLiteral("Motor test 1\nTemp °C € 5 中\nabcdefghijklmnopqrstuvwxyz0123");
}

}  // namespace

TEST(DataFileFormat, Windows1252)
{
    EXPECT_EQ(toWindows1252(QStringLiteral("±20V")), QByteArray("\xB1"
                                                                "20V"));
    EXPECT_EQ(toWindows1252(QStringLiteral("€ Š œ ™ é ÿ")), QByteArray("\x80 \x8A \x9C \x99 \xE9 \xFF"));
    // No Windows-1252 code: one "?" per character, a surrogate pair included.
    EXPECT_EQ(toWindows1252(QStringLiteral("a中b😀c")), QByteArray("a?b?c"));
    const QByteArray all = [] {
        QByteArray b;
        for (int i = 1; i < 256; ++i)
            b.append(static_cast<char>(i));
        return b;
    }();
    EXPECT_EQ(toWindows1252(fromWindows1252(all)), all);
    EXPECT_EQ(decimalSeparatorOf(QLocale(QLocale::Finnish, QLocale::Finland).decimalPoint()), ',');
    EXPECT_EQ(decimalSeparatorOf(QLocale(QLocale::English, QLocale::UnitedStates).decimalPoint()), '.');
}

TEST(DataFileFormat, NumbersAreFixedPointWithThreeDecimals)
{
    EXPECT_EQ(volts(1, 200), "-19.961");
    EXPECT_EQ(volts(0, 200), "-20.000");
    EXPECT_EQ(volts(512, 200), "0.000");
    EXPECT_EQ(volts(1023, 200), "19.961");
    EXPECT_EQ(volts(1023, 200, ','), "19,961");
    // Halves round away from zero on the exact value: 12.5 and -187.5 thousandths.
    EXPECT_EQ(volts(528, 4), "0.013");
    EXPECT_EQ(volts(500, 80), "-0.188");
    // The smallest step of the smallest range still shows.
    EXPECT_EQ(volts(511, 4), "-0.001");
    EXPECT_EQ(volts(513, 4), "0.001");
    // Beyond 99.999 V (only damaged raw values get there) five significant digits remain.
    EXPECT_EQ(volts(512 + 12800, 200), "500.000");
    EXPECT_EQ(volts(512 + 6322, 200), "246.950");

    EXPECT_EQ(seconds(0), "0.000");
    EXPECT_EQ(seconds(1), "0.001");
    EXPECT_EQ(seconds(10000), "10.000");
    EXPECT_EQ(seconds(99999999999), "99999999.999");
    // Eleven significant digits at most (from 10^8 seconds on).
    EXPECT_EQ(seconds(123456789012), "123456789.010");
    EXPECT_EQ(seconds(1234567890155), "1234567890.200");

    EXPECT_EQ(timeStepMs(QStringLiteral("1000s")), 10000);
    EXPECT_EQ(timeStepMs(QStringLiteral("1s")), 10);
    EXPECT_EQ(timeStepMs(QStringLiteral("0.5s")), 5);
    EXPECT_EQ(timeStepMs(QStringLiteral("0.1s")), 1);
}

TEST(DataFileFormat, AnnotationLinesFollowTheMemo)
{
    EXPECT_TRUE(annotationLines(QString()).isEmpty());
    EXPECT_EQ(annotationLines(QStringLiteral("a\nb")), (QStringList{"a", "b"}));
    // A break at the very end starts no further line; an empty line before it counts.
    EXPECT_EQ(annotationLines(QStringLiteral("a\n")), (QStringList{"a"}));
    EXPECT_EQ(annotationLines(QStringLiteral("a\n\n")), (QStringList{"a", ""}));
    for (const QStringList& lines : {QStringList{"a", ""}, QStringList{""}, QStringList{"x", "y z"}})
        EXPECT_EQ(annotationLines(annotationText(lines)), lines);
}

TEST(DataFileFormat, SaveDataFileMatchesTheGoldenFile)
{
    RecorderState st;
    goldenRecording(st);
    st.RecTimeDivLabel = QStringLiteral("0.1s");
    st.SampleIndex = 4;
    const int raw[4][4] = {{0, 1023, 512, 827}, {1, 511, 528, 600}, {768, 256, 1000, 24}, {520, 500, 100, 900}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            st.sample(c, r) = raw[r][c];
    const std::string file = formatSaveData(st, st, st, st, '.');
    EXPECT_EQ(QByteArray::fromStdString(file), golden("golden_save.txt"));
}

TEST(DataFileFormat, SaveDataWritesEveryRecordedPosition)
{
    RecorderState st;
    st.RecTimeDivLabel = QStringLiteral("1000s");
    st.DemoMode = true;
    st.TraceBuf.fill(0);
    // A full Single screen: 1700 data lines numbered 0..1699, no filler.
    st.SampleIndex = 1701;
    std::string file = formatSaveData(st, st, st, st, '.');
    EXPECT_NE(file.find("\r\n1699\t1020\t1020\t1020\t1020\t16990.000\t19.844\t19.844\t19.844\t19.844\r\n"),
              std::string::npos);
    EXPECT_EQ(file.find("\t-\t"), std::string::npos);
    // Demo mode derives the raw values from the screen values and keeps them.
    EXPECT_EQ(st.sample(3, 1699), 1020);

    // Stopped after k samples: data lines 0..k-1, filler lines k+1..1700.
    st.SampleIndex = 100;
    file = formatSaveData(st, st, st, st, '.');
    EXPECT_NE(file.find("\r\n99\t1020\t1020\t1020\t1020\t990.000\t"), std::string::npos);
    EXPECT_NE(file.find("\r\n101\t0\t0\t0\t0\t-\t-\t-\t-\t-\r\n"), std::string::npos);
    EXPECT_EQ(file.find("\r\n100\t"), std::string::npos);
    EXPECT_TRUE(file.size() > 12 && file.compare(file.size() - 26, 26, "\r\n1700\t0\t0\t0\t0\t-\t-\t-\t-\t-\r\n") == 0);
}

// After a wrap, position 0 still holds the first sample of the whole recording, which is no sample
// of the screen shown: it becomes a filler line; every other line stays as without the wrap.
TEST(DataFileFormat, SaveDataAfterAWrapWritesNoStaleFirstSample)
{
    RecorderState st;
    st.RecTimeDivLabel = QStringLiteral("1s");
    for (int r = 0; r < 1702; ++r)
        for (int c = 0; c < 4; ++c)
            st.sample(c, r) = (r * 7 + c * 100) % 1024;
    st.SampleIndex = 900;
    const std::string unwrapped = formatSaveData(st, st, st, st, '.');
    st.ScreenWrapped = true;
    const std::string wrapped = formatSaveData(st, st, st, st, '.');

    const std::string firstRow = "\r\n\r\n0\t0\t100\t200\t300\t0.000\t";
    const size_t at = unwrapped.find(firstRow);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(wrapped.find(firstRow), std::string::npos);
    const size_t rowStart = at + 4;
    const size_t rowEnd = unwrapped.find("\r\n", rowStart) + 2;
    const std::string filler = "1\t0\t0\t0\t0\t-\t-\t-\t-\t-\r\n";
    EXPECT_EQ(wrapped, unwrapped.substr(0, rowStart) + filler + unwrapped.substr(rowEnd));
    // The next line is the screen's first sample, at its time within the screen.
    const std::string second = "1\t7\t107\t207\t307\t0.010\t";
    EXPECT_EQ(wrapped.compare(rowStart + filler.size(), second.size(), second), 0);
}

TEST(DataFileFormat, AutoSaveFileMatchesTheGoldenFiles)
{
    QTemporaryDir dir;
    for (const char sep : {'.', ','}) {
        RecorderState st;
        goldenRecording(st);
        st.RecTimeDivLabel = QStringLiteral("1000s");
        const QString path = dir.filePath(QStringLiteral("auto.txt"));
        AutoSaveWriter writer;
        writer.decimalSeparator = sep;
        ASSERT_TRUE(writer.create(path));
        ASSERT_TRUE(writer.writeHeader(st, st));
        const std::array<std::array<int32_t, 4>, 3> rows{
            {{512, 512, 512, 512}, {1023, 0, 513, 511}, {1, 1022, 0, 1023}}};
        for (int64_t n = 0; n < 3; ++n)
            ASSERT_TRUE(writer.writeSampleLine(n, rows[static_cast<size_t>(n)], static_cast<uint64_t>(n) * 10000,
                                               st.ChannelRange));
        ASSERT_TRUE(writer.writeTrailer(st, st));
        EXPECT_FALSE(writer.isOpen());
        EXPECT_EQ(readAll(path), golden(sep == '.' ? "golden_autosave.txt" : "golden_autosave_comma.txt")) << sep;
    }
}

TEST(DataFileFormat, EmptyAnnotationWritesNoBlock)
{
    RecorderState st;
    st.AnnotationOn = true;
    std::string out;
    appendAnnotationBlock(out, st, 0);
    EXPECT_TRUE(out.empty());
    st.AnnotationText = QStringLiteral("x");
    st.AnnotationOn = false;
    appendAnnotationBlock(out, st, 0);
    EXPECT_TRUE(out.empty());
}

TEST(AutoSaveWriter, FlushesAtLeastOnceASecondAndReadsBackWithoutItsTrailer)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("crash.txt"));
    int64_t now = 5000;
    AutoSaveWriter writer([&] { return now; });
    RecorderState st;
    st.RecTimeDivLabel = QStringLiteral("0.1s");
    st.RecRangeLabel.fill(QStringLiteral("±20V"));
    ASSERT_TRUE(writer.create(path));
    ASSERT_TRUE(writer.writeHeader(st, st));
    EXPECT_EQ(writer.pending(), 0u);  // the header is on the medium at once
    const std::array<uint8_t, 4> ranges{200, 200, 200, 200};
    for (int64_t n = 0; n < 999; ++n, ++now)
        ASSERT_TRUE(writer.writeSampleLine(n, {512, 512, 512, 512}, static_cast<uint64_t>(n), ranges));
    EXPECT_GT(writer.pending(), 0u);
    now = 6000;
    ASSERT_TRUE(writer.writeSampleLine(999, {512, 512, 512, 512}, 999, ranges));
    EXPECT_EQ(writer.pending(), 0u);

    // The process dies here: what is on disk is a valid data file of 1000 rows.
    DataFileLines lines;
    ASSERT_TRUE(lines.open(path));
    EXPECT_EQ(lines.lineCount(), 12 + 1000);
    EXPECT_TRUE(recogniseHeader(*lines.line(5), *lines.line(8), *lines.line(9)).valid());
    EXPECT_EQ(*lines.line(1012), "999\t512\t512\t512\t512\t0.999\t0.000\t0.000\t0.000\t0.000");
}

#if defined(__linux__)
// The medium fills up in the middle of a line: the message names the system's reason, the file
// ends on its last whole line, and the STOP line follows only when it fits whole.
TEST(AutoSaveWriter, AFullMediumLeavesWholeLinesAndTheSystemsReason)
{
    RecorderState st;
    st.RecTimeDivLabel = QStringLiteral("0.1s");
    st.RecRangeLabel.fill(QStringLiteral("±20V"));
    st.StopStamp = QStringLiteral("1.1.2025\t10:00:00");
    const std::array<uint8_t, 4> ranges{200, 200, 200, 200};
    std::string header;
    appendHeader(header, st, st, true);
    std::string rows;
    for (int64_t n = 0; n < 3; ++n)
        appendDataLine(rows, n, {512, 512, 512, 512}, static_cast<uint64_t>(n), ranges, '.');
    const std::string stop = "\r\nSTOP:  \t1.1.2025\t10:00:00\r\n";
    const std::string whole = header + rows;  // what fits whole in both cases below
    const QString full = QString::fromLocal8Bit(std::strerror(EFBIG));

    QTemporaryDir dir;
    for (const bool roomForStop : {true, false}) {
        const QString path = dir.filePath(roomForStop ? QStringLiteral("room.txt") : QStringLiteral("full.txt"));
        const size_t room = roomForStop ? stop.size() + 3 : stop.size() - 1;
        AutoSaveWriter writer([] { return int64_t{0}; });
        ASSERT_TRUE(writer.create(path));
        {
            FileSizeLimit limit(whole.size() + room);
            if (!limit.ok())
                GTEST_SKIP() << "the file size limit cannot be set";
            ASSERT_TRUE(writer.writeHeader(st, st));
            for (int64_t n = 0; n < 10; ++n)
                ASSERT_TRUE(writer.writeSampleLine(n, {512, 512, 512, 512}, static_cast<uint64_t>(n), ranges));
            EXPECT_FALSE(writer.flush());
            EXPECT_FALSE(writer.isOpen());
            EXPECT_EQ(writer.errorString(), full);
            EXPECT_FALSE(writer.writeSampleLine(10, {512, 512, 512, 512}, 10, ranges));
            EXPECT_EQ(readAll(path).toStdString(), whole);
            EXPECT_FALSE(writer.writeTrailer(st, st));
        }
        EXPECT_EQ(readAll(path).toStdString(), roomForStop ? whole + stop : whole) << roomForStop;
        EXPECT_EQ(writer.errorString(), full);
    }
}
#endif

TEST(AutoSaveWriter, AWriteErrorClosesTheFileAndSaysWhy)
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "needs /dev/full to simulate a full disk";
    AutoSaveWriter writer;
    ASSERT_TRUE(writer.create(QStringLiteral("/dev/full")));
    RecorderState st;
    EXPECT_FALSE(writer.writeHeader(st, st));
    EXPECT_FALSE(writer.isOpen());
    EXPECT_FALSE(writer.errorString().isEmpty());
    EXPECT_FALSE(writer.writeSampleLine(0, {0, 0, 0, 0}, 0, {200, 200, 200, 200}));

    AutoSaveWriter missing;
    EXPECT_FALSE(missing.create(QStringLiteral("/nonexistent-folder/x.txt")));
    EXPECT_FALSE(missing.errorString().isEmpty());
}
