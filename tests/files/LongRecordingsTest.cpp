// Long recordings: the overview envelope, refresh of a growing file, moments and the pages that
// hold them, and CSV export read back by a plain CSV parser.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "files/CsvExport.h"
#include "files/DataFileFormat.h"
#include "files/DataFilePaging.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/RecordingOverview.h"
#include "files/RecordingTime.h"
#include "ui/RecorderState.h"

using namespace datafile;

namespace {

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& content)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    return path;
}

void appendTo(const QString& path, const QByteArray& content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(content);
}

// The twelve header lines of an auto-save file at "0.1s" (1 ms a row), started 9.12.2026 23:59:59.
QByteArray header()
{
    return QByteArray(
        "\r\nSTART: \t9.12.2026\t23:59:59\r\n\r\nTIME STEP:\r\n100 = 0.1s\r\n\r\nVOLTAGE RANGES:\r\n"
        "CH1: \xB1"
        "20V\tCH3: \xB1"
        "4V\r\nCH2: \xB1"
        "8V\tCH4: \xB1"
        "0.4V\r\n\r\nN\tCH1\tCH2\tCH3\tCH4\tTime/s\tCH1/V\tCH2/V\tCH3/V\tCH4/V\r\n\r\n");
}

QByteArray row(int64_t n, int a, int b, int c, int d)
{
    return QByteArray::number(n) + '\t' + QByteArray::number(a) + '\t' + QByteArray::number(b) + '\t' +
           QByteArray::number(c) + '\t' + QByteArray::number(d) + "\t0\t0\t0\t0\t0\r\n";
}

// Row k of a generated file: values that make each bucket's extremes easy to compute.
std::array<int32_t, 4> genRaw(int64_t k)
{
    return {static_cast<int32_t>(k % 1024), static_cast<int32_t>((k * 7) % 1024), static_cast<int32_t>(1023 - k % 1024),
            512};
}

QString autoSaveFile(const QTemporaryDir& dir, const char* name, int64_t rows, const QString& start,
                     const char* timeDiv = "0.1s")
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    RecorderState st;
    st.RecTimeDivLabel = QString::fromLatin1(timeDiv);
    st.RecRangeLabel = {QStringLiteral("±20V"), QStringLiteral("±8V"), QStringLiteral("±4V"), QStringLiteral("±0.4V")};
    st.ChannelRange = {200, 80, 40, 4};
    st.StartStamp = start;
    AutoSaveWriter w;
    EXPECT_TRUE(w.create(path));
    w.decimalSeparator = ',';
    w.writeHeader(st, st);
    const int64_t step = timeStepMs(st.RecTimeDivLabel);
    for (int64_t k = 0; k < rows; ++k)
        w.writeSampleLine(k, genRaw(k), static_cast<uint64_t>(k * step), st.ChannelRange);
    st.StopStamp = QStringLiteral("10.12.2026\t01:00:00");
    w.writeTrailer(st, st);
    return path;
}

// A plain RFC 4180 reader for unquoted fields: records of fields.
std::vector<std::vector<std::string>> readCsv(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    std::vector<std::vector<std::string>> records;
    for (const QByteArray& line : all.split('\n')) {
        if (line.isEmpty())
            continue;
        EXPECT_TRUE(line.endsWith('\r')) << "records end in CR LF";
        std::vector<std::string> fields;
        for (const QByteArray& field : line.chopped(1).split(','))
            fields.push_back(field.toStdString());
        records.push_back(fields);
    }
    return records;
}

}  // namespace

TEST(RecordingOverview, EnvelopeOfASmallFileByHand)
{
    QTemporaryDir dir;
    // 40 rows: bucket 0 holds rows 0..31, bucket 1 rows 32..39. Row 5 is damaged, row 6 a filler,
    // row 33 out of range (held to 1023).
    QByteArray content = header();
    for (int k = 0; k < 40; ++k) {
        if (k == 5)
            content += "5\tx\t1\t2\t3\t0\t0\t0\t0\t0\r\n";
        else if (k == 6)
            content += "6\t0\t0\t0\t0\t-\t-\t-\t-\t-\r\n";
        else if (k == 33)
            content += row(k, 5000, 0, 0, 0);
        else
            content += row(k, 100 + k, 900 - k, 512, k < 32 ? 7 : 9);
    }
    content += "\r\nSTOP:  \t10.12.2026\t00:00:00\r\n";
    const QString path = writeFile(dir, "small.txt", content);

    RecordingOverview o;
    ASSERT_EQ(o.update(path), RecordingOverview::Result::Done);
    EXPECT_EQ(o.header().stepMs, 1);
    EXPECT_EQ(o.header().rangeTenths, (std::array<uint8_t, 4>{200, 80, 40, 4}));
    ASSERT_TRUE(o.header().start);
    EXPECT_EQ(*o.header().start, QDateTime(QDate(2026, 12, 9), QTime(23, 59, 59)));
    EXPECT_EQ(o.sampleLines(), 38);
    EXPECT_EQ(o.damagedLines(), 1);
    EXPECT_EQ(o.rowsWithSamples(), 40);
    ASSERT_EQ(o.buckets().size(), 2u);
    const auto& b0 = o.buckets()[0];
    EXPECT_EQ(b0.min, (std::array<uint16_t, 4>{100, 900 - 31, 512, 7}));
    EXPECT_EQ(b0.max, (std::array<uint16_t, 4>{100 + 31, 900, 512, 7}));
    const auto& b1 = o.buckets()[1];
    EXPECT_EQ(b1.min, (std::array<uint16_t, 4>{100 + 32, 0, 0, 0}));
    EXPECT_EQ(b1.max, (std::array<uint16_t, 4>{1023, 900 - 32, 512, 9}));
    const auto all = o.envelope(0, o.rows());
    EXPECT_EQ(all.min, (std::array<uint16_t, 4>{100, 0, 0, 0}));
    EXPECT_EQ(all.max, (std::array<uint16_t, 4>{1023, 900, 512, 9}));
    EXPECT_TRUE(o.envelope(64, 100).empty());

    // The counts agree with those of the page index.
    DataFileLines lines;
    ASSERT_TRUE(lines.open(path));
    EXPECT_EQ(o.sampleLines(), lines.sampleLines());
    EXPECT_EQ(o.damagedLines(), lines.damagedLines());
}

TEST(RecordingOverview, DamagedLinesAreSkippedAndCountedLikeTheIndex)
{
    QTemporaryDir dir;
    QFile seed(QStringLiteral(KORVIX_TEST_DATA "/files/data/damaged.txt"));
    if (!seed.exists())
        GTEST_SKIP() << "no damaged seed";
    ASSERT_TRUE(seed.open(QIODevice::ReadOnly));
    const QString path = writeFile(dir, "damaged.txt", seed.readAll());
    RecordingOverview o;
    ASSERT_EQ(o.update(path), RecordingOverview::Result::Done);
    DataFileLines lines;
    ASSERT_TRUE(lines.open(path));
    EXPECT_GT(o.damagedLines(), 0);
    EXPECT_EQ(o.damagedLines(), lines.damagedLines());
    EXPECT_EQ(o.sampleLines(), lines.sampleLines());
}

TEST(RecordingOverview, RefreshReadsOnlyTheLinesAddedSince)
{
    QTemporaryDir dir;
    QByteArray content = header();
    for (int k = 0; k < 50; ++k)
        content += row(k, k, 0, 0, 0);
    const QString path = writeFile(dir, "growing.txt", content);

    RecordingOverview o;
    ASSERT_EQ(o.update(path), RecordingOverview::Result::Done);
    EXPECT_EQ(o.sampleLines(), 50);
    const qint64 firstEnd = o.bytesRead();

    // 30 more rows and the start of one still being written.
    QByteArray more;
    for (int k = 50; k < 80; ++k)
        more += row(k, k, 1000, 0, 0);
    appendTo(path, more + "80\t80\t10");
    ASSERT_EQ(o.update(path), RecordingOverview::Result::Done);
    EXPECT_EQ(o.fullPasses(), 1) << "a refresh reads from where the last pass stopped";
    EXPECT_EQ(o.sampleLines(), 80);
    EXPECT_EQ(o.damagedLines(), 0) << "a line still being written is not damaged";
    EXPECT_EQ(o.bytesRead(), firstEnd + more.size());
    EXPECT_EQ(o.envelope(32, 64).max[1], 1000);
    EXPECT_EQ(o.envelope(0, 32).max[1], 0);

    appendTo(path, "00\t0\t0\t0\t0\t0\t0\t0\r\n\r\nSTOP:  \t10.12.2026\t00:00:00\r\n");
    ASSERT_EQ(o.update(path), RecordingOverview::Result::Done);
    EXPECT_EQ(o.sampleLines(), 81);
    EXPECT_EQ(o.damagedLines(), 0);
    EXPECT_EQ(o.buckets()[2].max[1], 1000);
    EXPECT_EQ(o.buckets()[2].max[0], 80);

    // The same as a pass from the top.
    RecordingOverview fresh;
    ASSERT_EQ(fresh.update(path), RecordingOverview::Result::Done);
    ASSERT_EQ(fresh.buckets().size(), o.buckets().size());
    for (size_t b = 0; b < o.buckets().size(); ++b) {
        EXPECT_EQ(fresh.buckets()[b].min, o.buckets()[b].min);
        EXPECT_EQ(fresh.buckets()[b].max, o.buckets()[b].max);
    }
    EXPECT_EQ(fresh.rows(), o.rows());

    // A file that became shorter (written anew) is read from the top.
    writeFile(dir, "growing.txt", header() + row(0, 1, 2, 3, 4));
    ASSERT_EQ(o.update(path), RecordingOverview::Result::Done);
    EXPECT_EQ(o.fullPasses(), 2);
    EXPECT_EQ(o.sampleLines(), 1);
}

TEST(RecordingOverview, CancelStopsThePass)
{
    QTemporaryDir dir;
    const QString path = autoSaveFile(dir, "cancel.txt", 5000, QStringLiteral("9.12.2026\t10:00:00"));
    std::atomic<bool> cancel{true};
    PassControl control;
    control.cancel = &cancel;
    RecordingOverview o;
    EXPECT_EQ(o.update(path, control), RecordingOverview::Result::Cancelled);
    RecordingOverview missing;
    EXPECT_EQ(missing.update(dir.filePath(QStringLiteral("none.txt"))), RecordingOverview::Result::Failed);
    EXPECT_FALSE(missing.errorString().isEmpty());
}

TEST(RecordingTime, MomentsAsTheUserWritesThem)
{
    const std::optional<QDateTime> start = QDateTime(QDate(2026, 12, 9), QTime(23, 59, 59));
    EXPECT_EQ(parseMoment(QStringLiteral("90"), start), 90000);
    EXPECT_EQ(parseMoment(QStringLiteral(" 12.5 "), start), 12500);
    EXPECT_EQ(parseMoment(QStringLiteral("1:30"), start), 90000);
    EXPECT_EQ(parseMoment(QStringLiteral("01:00:00"), start), 3600000) << "a time alone is time since the start";
    EXPECT_EQ(parseMoment(QStringLiteral("25:00:00.5"), start), 90000500);
    // Clock times carry their date, also across midnight.
    EXPECT_EQ(parseMoment(QStringLiteral("2026-12-10 00:00:01"), start), 2000);
    EXPECT_EQ(parseMoment(QStringLiteral("2026-12-10T00:00:01.250"), start), 2250);
    EXPECT_EQ(parseMoment(QStringLiteral("10.12.2026 01:00:00"), start), 3601000);
    EXPECT_EQ(parseMoment(QStringLiteral("2026-12-09 23:59:58"), start), -1000);
    for (const char* bad : {"", "abc", "1:75", "-5", "1e3", "2026-13-40 00:00:00"})
        EXPECT_FALSE(parseMoment(QString::fromLatin1(bad), start)) << bad;
    EXPECT_FALSE(parseMoment(QStringLiteral("2026-12-10 00:00:01"), std::nullopt));
    EXPECT_EQ(parseMoment(QStringLiteral("10"), std::nullopt), 10000);

    EXPECT_EQ(elapsedText(3723000), QStringLiteral("01:02:03"));
    EXPECT_EQ(elapsedText(90000500), QStringLiteral("25:00:00.500"));
}

TEST(RecordingTime, AJumpLandsOnThePageHoldingTheRow)
{
    // 10,000 rows: pages 0 (rows 0..1699), 1 (1701..3400), .. 5 (8501..10200).
    const int64_t rows = 10000;
    EXPECT_EQ(pageCount(rows), 6);
    EXPECT_EQ(pageCount(1), 1);
    EXPECT_EQ(pageCount(1701), 1);
    EXPECT_EQ(pageCount(1702), 2);
    EXPECT_EQ(pageOfRow(0, rows).page, 0);
    EXPECT_EQ(pageOfRow(1699, rows).page, 0);
    EXPECT_EQ(pageOfRow(1700, rows).page, 0) << "row 1700 is on no page: the nearest is the first";
    EXPECT_EQ(pageOfRow(1701, rows).page, 1);
    EXPECT_EQ(pageOfRow(3400, rows).page, 1);
    EXPECT_EQ(pageOfRow(3401, rows).page, 2);
    EXPECT_EQ(pageOfRow(9999, rows).page, 5);
    EXPECT_EQ(pageOfRow(1000000, rows).page, 5) << "past the end: the last page";
    EXPECT_EQ(pageOfRow(-5, rows).page, 0);
    EXPECT_EQ(rowOfMoment(3400, 1), 3400);
    EXPECT_EQ(rowOfMoment(3409, 10), 340);

    // The page routine of ">>" with the page's PageEnd shows exactly the rows the place names.
    QTemporaryDir dir;
    const QString path = autoSaveFile(dir, "pages.txt", rows, QStringLiteral("9.12.2026\t10:00:00"));
    DataFileLines lines;
    ASSERT_TRUE(lines.open(path));
    for (const int64_t r : {int64_t{0}, int64_t{1699}, int64_t{1701}, int64_t{3400}, int64_t{3401}, int64_t{9999}}) {
        const PagePlace place = pageOfRow(r, rows);
        const PageSpan span = place.page == 0 ? openSpan() : forwardSpan(place.pageEnd);
        std::optional<int64_t> firstN, lastN;
        lines.readLines(span.firstLine, span.count, LineWidth, [&](int64_t, std::string_view text) {
            if (!classifyLine(text))
                return;
            const auto n = parseInteger(text.substr(0, text.find('\t')));
            if (!firstN)
                firstN = n;
            lastN = n;
        });
        ASSERT_TRUE(firstN && lastN);
        EXPECT_EQ(*firstN, place.firstRow) << r;
        EXPECT_LE(r, *lastN) << r;
        EXPECT_GE(r, *firstN) << r;
        EXPECT_EQ(*lastN, std::min(place.lastRow, rows - 1)) << r;
    }
}

TEST(CsvExport, ReadBackEqualsTheFilesValues)
{
    QTemporaryDir dir;
    const int64_t rows = 3000;
    // At "1s" (10 ms a row), started one second before midnight.
    const QString path = autoSaveFile(dir, "export.txt", rows, QStringLiteral("31.12.2026\t23:59:59"), "1s");
    const QString csv = dir.filePath(QStringLiteral("export.csv"));
    const CsvResult r = exportCsv(path, csv);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.records, rows);
    EXPECT_EQ(r.damagedLines, 0);

    const auto records = readCsv(csv);
    ASSERT_EQ(records.size(), static_cast<size_t>(rows + 1));
    EXPECT_EQ(records[0], (std::vector<std::string>{"time", "seconds", "CH1/V", "CH2/V", "CH3/V", "CH4/V", "CH1", "CH2",
                                                    "CH3", "CH4"}));
    EXPECT_EQ(records[1][0], "2026-12-31T23:59:59.000");
    EXPECT_EQ(records[101][0], "2027-01-01T00:00:00.000") << "the clock crosses midnight and the year";
    EXPECT_EQ(records[102][0], "2027-01-01T00:00:00.010");

    // Every record against the data file's own line (its decimal comma read as a point).
    DataFileLines lines;
    ASSERT_TRUE(lines.open(path));
    int64_t k = 0;
    lines.readLines(FirstDataLine, rows, AnnotationLineWidth, [&](int64_t, std::string_view text) {
        const auto& rec = records[static_cast<size_t>(k + 1)];
        const QList<QByteArray> fields = QByteArray(text.data(), static_cast<qsizetype>(text.size())).split('\t');
        ASSERT_EQ(fields.size(), 10);
        ASSERT_EQ(rec.size(), 10u);
        EXPECT_EQ(rec[1], QByteArray(fields[5]).replace(',', '.').toStdString());
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(rec[static_cast<size_t>(2 + c)], QByteArray(fields[6 + c]).replace(',', '.').toStdString());
            EXPECT_EQ(rec[static_cast<size_t>(6 + c)], fields[1 + c].toStdString());
        }
        ++k;
    });
    EXPECT_EQ(k, rows);
}

TEST(CsvExport, SpanAndDamagedLines)
{
    QTemporaryDir dir;
    QByteArray content = header();
    for (int k = 0; k < 20; ++k)
        content += k == 7 ? QByteArray("7\t1\t2\r\n") : row(k, k, 512, 512, 512);
    content += "\r\nSTOP:  \t10.12.2026\t00:00:00\r\nCOMMENT\r\n1\r\n5\r\n5\r\n0\r\nhello\r\n\r\n";
    const QString path = writeFile(dir, "span.txt", content);
    const QString csv = dir.filePath(QStringLiteral("span.csv"));
    CsvSpan span;
    span.fromMs = 5;
    span.toMs = 10;
    const CsvResult r = exportCsv(path, csv, span);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.damagedLines, 1);
    const auto records = readCsv(csv);
    ASSERT_EQ(records.size(), 6u);  // rows 5, 6, 8, 9, 10 and the header
    EXPECT_EQ(records[1][1], "0.005");
    EXPECT_EQ(records[1][0], "2026-12-09T23:59:59.005");
    EXPECT_EQ(records[3][6], "8");
    EXPECT_EQ(records[5][1], "0.010");
    EXPECT_EQ(records[5][2], "-19.609");  // raw 10 on ±20V: 20 x (10 - 512) / 512
    EXPECT_EQ(records[5][5], "0.000");    // raw 512 on ±0.4V
}

// Raw counts outside 0..1023 (a damaged value in a readable line) are written as they are; their
// volts are those of the nearest end of the range, as the screen shows them.
TEST(CsvExport, CountsOutsideTheRangeAreKeptAndTheirVoltsHeld)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, "outside.txt", header() + row(0, 2000, -5, 1023, 0) + row(1, 512, 0, 99999, 7));
    const QString csv = dir.filePath(QStringLiteral("outside.csv"));
    ASSERT_TRUE(exportCsv(path, csv).ok);
    const auto records = readCsv(csv);
    ASSERT_EQ(records.size(), 3u);
    // ±20V, ±8V, ±4V, ±0.4V
    EXPECT_EQ(records[1], (std::vector<std::string>{"2026-12-09T23:59:59.000", "0.000", "19.961", "-8.000", "3.992",
                                                    "-0.400", "2000", "-5", "1023", "0"}));
    EXPECT_EQ(records[2], (std::vector<std::string>{"2026-12-09T23:59:59.001", "0.001", "0.000", "-8.000", "3.992",
                                                    "-0.395", "512", "0", "99999", "7"}));
}

TEST(CsvExport, NotADataFileFailsAndLeavesNoFile)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, "text.txt", "just some text\r\n");
    const QString csv = dir.filePath(QStringLiteral("text.csv"));
    const CsvResult r = exportCsv(path, csv);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(QFile::exists(csv));
}

TEST(CsvExport, IsoDateTimes)
{
    std::string s;
    appendIsoDateTime(s, 0);
    EXPECT_EQ(s, "1970-01-01T00:00:00.000");
    s.clear();
    appendIsoDateTime(s, 951782400000 + 86399999);  // 2000-02-29, a leap day, its last millisecond
    EXPECT_EQ(s, "2000-02-29T23:59:59.999");
    s.clear();
    appendIsoDateTime(s, -1);
    EXPECT_EQ(s, "1969-12-31T23:59:59.999");
}
