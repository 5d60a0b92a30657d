// The reader: line classification, header recognition, the annotation block, the line index and
// the page table, checked against a reader that re-reads the file from the top for every page.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <limits>
#include <random>

#include "SequentialPager.h"
#include "files/DataFileFormat.h"
#include "files/DataFilePaging.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/RecordingOverview.h"
#include "ui/RecorderState.h"

using namespace datafile;

namespace {

// Row k of a test file carries k in its raw values (CH1: k mod 256, CH2: k div 256, CH4 1020),
// so the row on each screen position can be read back from TraceBuf.
std::array<int32_t, 4> rowRaw(int64_t k)
{
    return {static_cast<int32_t>(k % 256 * 4), static_cast<int32_t>(k / 256 % 256 * 4), 0, 1020};
}

// The row shown at position p, or -1 for a BlankPosition.
int64_t rowAt(RecorderState& st, int p)
{
    if (st.trace(3, p) == 255)
        return -1;
    return (255 - st.trace(0, p)) + 256 * (255 - st.trace(1, p));
}

// An auto-save file of `rows` rows, written by the auto-save writer.
QString autoSaveFile(const QTemporaryDir& dir, int64_t rows, bool trailer = true, const QString& annotation = {})
{
    const QString path = dir.filePath(QStringLiteral("rows%1.txt").arg(rows));
    RecorderState st;
    st.RecTimeDivLabel = QStringLiteral("0.1s");
    st.RecRangeLabel.fill(QStringLiteral("±20V"));
    st.AnnotationText = annotation;
    st.AnnotationOn = !annotation.isEmpty();
    AutoSaveWriter w;
    EXPECT_TRUE(w.create(path));
    w.writeHeader(st, st);
    for (int64_t k = 0; k < rows; ++k)
        w.writeSampleLine(k, rowRaw(k), static_cast<uint64_t>(k), st.ChannelRange);
    if (trailer)
        w.writeTrailer(st, st);
    else
        w.close();
    return path;
}

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& content)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    return path;
}

// The indexed pager, as the window drives it.
struct Pager {
    DataFileLines lines;
    RecorderState st;
    PageState state;
    int filled = 0;  // positions up to the last data line of the page

    PageState open(const QString& path)
    {
        EXPECT_TRUE(lines.open(path));
        const PageSpan span = openSpan();
        filled = fillScreen(lines, span, st);
        state = afterOpen(lines, span);
        return state;
    }
    PageState forward()
    {
        const PageSpan span = forwardSpan(state.pageEnd);
        filled = fillScreen(lines, span, st);
        state = afterForward(lines, span, state.pageEnd);
        return state;
    }
    PageState back()
    {
        const PageSpan span = backSpan(state.pageEnd);
        filled = fillScreen(lines, span, st);
        state = afterBack(lines, span, state.pageEnd);
        return state;
    }
};

// Rows first..last at positions 0.., then BlankPositions up to position `end` (exclusive).
void expectRows(RecorderState& st, int64_t first, int64_t last, int end)
{
    int p = 0;
    for (int64_t k = first; k <= last; ++k, ++p)
        ASSERT_EQ(rowAt(st, p), k) << "position " << p;
    for (; p < end; ++p)
        ASSERT_EQ(rowAt(st, p), -1) << "position " << p;
}

void expectState(const PageState& s, int64_t pageEnd, bool back, bool forward)
{
    EXPECT_EQ(s.pageEnd, pageEnd);
    EXPECT_EQ(s.back, back);
    EXPECT_EQ(s.forward, forward);
}

}  // namespace

TEST(DataFileReader, LineClassification)
{
    using R = std::array<int64_t, 4>;
    EXPECT_EQ(classifyLine("5\t100\t200\t300\t400\t0.005\t1.0\t2\t3\t4"), (R{100, 200, 300, 400}));
    EXPECT_EQ(classifyLine("x\t1\t2\t3\t4"), (R{1, 2, 3, 4}));  // N itself is not read
    for (const char* blank : {"", "1\t2", "abc", "STOP:  \t1\t2\t3\t4", "1\tCOM\t2\t3\t4", "1 2 3 4 5", "1\t2\t3\t4",
                              "1\t2\t3\t4\t", "1\t2\t3.5\t4\t5", "7\t0\t0\t0\t0\t-\t-\t-\t-\t-", "7\t0\t0\t0\t0\t-",
                              "1\t2\t3\t4x\t5", "1\t99999999999999999999\t1\t1\t1"})
        EXPECT_FALSE(classifyLine(blank)) << blank;

    EXPECT_EQ(screenValueOfRaw(0), 255);
    EXPECT_EQ(screenValueOfRaw(1023), 0);
    EXPECT_EQ(screenValueOfRaw(513), 127);
    // Damaged values stay on the grid.
    EXPECT_EQ(screenValueOfRaw(-7), 255);
    EXPECT_EQ(screenValueOfRaw(1 << 30), 0);
}

TEST(DataFileReader, HeaderRecognition)
{
    const std::string l8 =
        "CH1: \xB1"
        "20V\tCH3: \xB1"
        "0.4V";
    const std::string l9 =
        "CH2: \xB1"
        "0.8V\tCH4: \xB1"
        "2V";
    HeaderInfo h = recogniseHeader("100 = 0.5s", l8, l9);
    EXPECT_TRUE(h.valid());
    EXPECT_EQ(h.timeIndex, 10);  // "0.5s", although the line also contains "5s"
    EXPECT_EQ(h.rangeIndex, (std::array<int, 4>{0, 4, 5, 3}));
    EXPECT_EQ(recogniseHeader("100 = 0.1s", l8, l9).timeIndex, 12);
    EXPECT_EQ(recogniseHeader("100 = 1000s", l8, l9).timeIndex, 0);
    EXPECT_EQ(recogniseHeader("100 = 1s", l8, l9).timeIndex, 9);
    EXPECT_FALSE(recogniseHeader("100 = 3s", l8, l9).valid());
    EXPECT_FALSE(recogniseHeader("100 = 1s", l8,
                                 "CH2: \xB1"
                                 "2V")
                     .valid());
    // The UTF-8 "±" is not the file's character.
    EXPECT_FALSE(recogniseHeader("100 = 1s", "CH1: ±20V\tCH3: ±20V", l9).valid());
}

TEST(DataFileReader, AnnotationBlock)
{
    QTemporaryDir dir;
    const QByteArray header =
        "\r\n\r\n\r\n\r\n100 = 1s\r\n\r\n\r\nCH1: \xB1"
        "20V\tCH3: \xB1"
        "20V\r\n"
        "CH2: \xB1"
        "20V\tCH4: \xB1"
        "20V\r\n\r\nN\r\n\r\n";
    DataFileLines lines;
    ASSERT_TRUE(
        lines.open(writeFile(dir, "a.txt", header + "COMMENT\r\n2\r\n120\r\n45\r\n0\r\nfirst \xE9\r\nsecond\r\n\r\n")));
    AnnotationInfo a = lines.readAnnotation(10, 20);
    EXPECT_EQ(a.count, 2);
    EXPECT_EQ(a.x, 120);
    EXPECT_EQ(a.y, 45);
    EXPECT_EQ(a.transparent, false);
    EXPECT_EQ(a.lines, (QStringList{QStringLiteral("first é"), QStringLiteral("second")}));

    // "0" and non-numbers give the grid corner; a transparency line without a digit changes nothing;
    // a block cut short gives the lines it has.
    ASSERT_TRUE(lines.open(writeFile(dir, "b.txt", header + "COMMENT\r\n3\r\n0\r\n1x\r\nyes\r\nonly")));
    a = lines.readAnnotation(10, 20);
    EXPECT_EQ(a.x, 10);
    EXPECT_EQ(a.y, 20);
    EXPECT_FALSE(a.transparent.has_value());
    EXPECT_EQ(a.lines, QStringList{QStringLiteral("only")});

    for (const QByteArray& none : {QByteArray("COMMENT\r\n0\r\n1\r\n1\r\n1\r\nx\r\n"), QByteArray("COMMENTS\r\n1\r\n"),
                                   QByteArray("COMMENT\r\n")}) {
        ASSERT_TRUE(lines.open(writeFile(dir, "c.txt", header + none)));
        EXPECT_EQ(lines.readAnnotation(10, 20).count, 0) << none.constData();
    }

    // A long line of an auto-save trailer comes back whole.
    const QString longLine = QString(70, QLatin1Char('x'));
    ASSERT_TRUE(lines.open(autoSaveFile(dir, 3, true, longLine + QStringLiteral("\nsecond"))));
    a = lines.readAnnotation(10, 20);
    EXPECT_EQ(a.lines, (QStringList{longLine, QStringLiteral("second")}));
}

TEST(DataFileReader, PageTableOfA6000RowFile)
{
    QTemporaryDir dir;
    Pager pg;
    expectState(pg.open(autoSaveFile(dir, 6000)), 1700, false, true);
    expectRows(pg.st, 0, 1699, 1700);
    expectState(pg.forward(), 3400, true, true);
    expectRows(pg.st, 1701, 3400, 1700);
    expectState(pg.forward(), 5100, true, true);
    expectRows(pg.st, 3401, 5100, 1700);
    expectState(pg.forward(), 6800, true, false);
    expectRows(pg.st, 5101, 5999, 1700);
    EXPECT_EQ(pg.filled, 899);
    expectState(pg.back(), 5100, true, true);
    expectRows(pg.st, 3400, 5100, 1701);
    EXPECT_EQ(drawnPositions(pg.filled), 1700);
    expectState(pg.back(), 3400, true, true);
    expectRows(pg.st, 1700, 3400, 1701);
    expectState(pg.back(), 1700, false, true);
    expectRows(pg.st, 0, 1700, 1701);
    expectState(pg.forward(), 3400, true, true);
    expectRows(pg.st, 1701, 3400, 1700);
    EXPECT_EQ(pg.lines.indexBuilds(), 1);
}

TEST(DataFileReader, PageTableEdgeFiles)
{
    QTemporaryDir dir;
    {
        // 1701 rows: ">>" shows only BlankPositions; "<<" shows rows 0..1700 and ends the browsing.
        Pager pg;
        expectState(pg.open(autoSaveFile(dir, 1701)), 1700, false, true);
        expectState(pg.forward(), 3400, true, false);
        expectRows(pg.st, 0, -1, 1700);
        EXPECT_EQ(pg.filled, 0);
        expectState(pg.back(), 3400, false, false);
        expectRows(pg.st, 0, 1700, 1701);
    }
    {
        // A short auto-save file: its rows, then BlankPositions; the trailer lines never stop the reading.
        Pager pg;
        expectState(pg.open(autoSaveFile(dir, 250, true, QStringLiteral("9\t1\t2\t3"))), 1700, false, false);
        expectRows(pg.st, 0, 249, 1700);
    }
    {
        // A file cut short by a crash: positions after its last line are blank, not copies of it.
        Pager pg;
        expectState(pg.open(autoSaveFile(dir, 3000, false)), 1700, false, true);
        expectState(pg.forward(), 3400, true, false);
        expectRows(pg.st, 1701, 2999, 1700);
    }
    {
        // A Save Data file never enables ">>".
        RecorderState st;
        st.RecTimeDivLabel = QStringLiteral("1s");
        st.RecRangeLabel.fill(QStringLiteral("±8V"));
        st.SampleIndex = 1701;
        st.AnnotationOn = true;
        st.AnnotationText = QStringLiteral("note");
        for (int k = 0; k < 1700; ++k)
            for (int c = 0; c < 4; ++c)
                st.sample(c, k) = rowRaw(k)[static_cast<size_t>(c)];
        const std::string content = formatSaveData(st, st, st, st, '.');
        Pager pg;
        expectState(pg.open(writeFile(dir, "save.txt", QByteArray::fromStdString(content))), 1700, false, false);
        expectRows(pg.st, 0, 1699, 1700);
    }
}

TEST(DataFileReader, PageBackWithANegativeSkipShowsTheFirstPage)
{
    QTemporaryDir dir;
    Pager pg;
    pg.open(autoSaveFile(dir, 4000));
    pg.state.pageEnd = 100;
    expectState(pg.back(), 1700, false, true);
    expectRows(pg.st, 0, 1700, 1701);
}

TEST(DataFileReader, TheIndexIsKeptForAnUnchangedFileExtendedForAGrownOneAndRebuiltForAChangedOne)
{
    QTemporaryDir dir;
    const QString path = autoSaveFile(dir, 200);
    DataFileLines lines;
    ASSERT_TRUE(lines.open(path));
    ASSERT_TRUE(lines.open(path));
    EXPECT_EQ(lines.indexBuilds(), 1);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("more\r\n");
    f.close();
    ASSERT_TRUE(lines.open(path));
    EXPECT_EQ(lines.indexBuilds(), 1) << "a grown file is not read again from the top";
    EXPECT_EQ(lines.indexExtensions(), 1);
    EXPECT_EQ(*lines.line(lines.lineCount()), "more");

    // A file still being written: lines added in pieces, the last one cut in the middle, give the
    // same index as reading the whole file once.
    const QString growing = autoSaveFile(dir, 1000, false);
    DataFileLines live;
    ASSERT_TRUE(live.open(growing));
    for (int64_t k = 1000; k < 1300; k += 37) {
        QFile g(growing);
        ASSERT_TRUE(g.open(QIODevice::Append));
        if (k > 1000)
            g.write("\t3\t4\t0\t0\t0\t0\t0\r\n");  // the rest of the line cut last time
        for (int64_t j = k + (k > 1000 ? 1 : 0); j < k + 37; ++j)
            g.write(QByteArray::number(j) + "\t1\t2\t3\t4\t0\t0\t0\t0\t0\r\n");
        g.write(QByteArray::number(k + 37) + "\t1\t2");  // the writer is in the middle of a line
        g.close();
        ASSERT_TRUE(live.open(growing));
    }
    QFile g(growing);
    ASSERT_TRUE(g.open(QIODevice::Append));
    g.write("\t3\t4\t0\t0\t0\t0\t0\r\n\r\nx\r\n");
    g.close();
    ASSERT_TRUE(live.open(growing));
    EXPECT_EQ(live.indexBuilds(), 1);
    DataFileLines fresh;
    ASSERT_TRUE(fresh.open(growing));
    EXPECT_EQ(live.lineCount(), fresh.lineCount());
    EXPECT_EQ(live.sampleLines(), fresh.sampleLines());
    EXPECT_EQ(live.damagedLines(), fresh.damagedLines());
    for (const int64_t n : {int64_t{13}, int64_t{1012}, int64_t{1013}, int64_t{1200}, fresh.lineCount()})
        EXPECT_EQ(live.line(n), fresh.line(n)) << n;

    // Another file under the same name, larger: read from the top.
    const QByteArray other = "\r\nSTART: \tanother\r\n" + QByteArray(20000, 'x') + "\r\n";
    QFile h(path);
    ASSERT_TRUE(h.open(QIODevice::WriteOnly));
    h.write(other);
    h.close();
    ASSERT_TRUE(lines.open(path));
    EXPECT_EQ(lines.indexBuilds(), 2);
    EXPECT_EQ(lines.lineCount(), 3);
    EXPECT_FALSE(lines.open(dir.filePath(QStringLiteral("missing.txt"))));
    EXPECT_FALSE(lines.errorString().isEmpty());
}

// Random page turns on regular and damaged files give the same screens, PageEnd values and
// buttons as reading each page from the top of the file.
TEST(DataFileReader, IndexedPagesEqualPagesReadFromTheTop)
{
    QTemporaryDir dir;
    std::vector<QString> files{autoSaveFile(dir, 6000), autoSaveFile(dir, 1701), autoSaveFile(dir, 3399, false)};
    std::mt19937 random(7);
    {
        // Numbered lines in the wrong order, CR-less and overlong lines, junk bytes, a line that never ends.
        QFile src(files[0]);
        ASSERT_TRUE(src.open(QIODevice::ReadOnly));
        QByteArray junk = src.readAll().left(200000);
        for (int i = 0; i < 300; ++i) {
            const auto at = static_cast<qsizetype>(random() % static_cast<unsigned>(junk.size()));
            switch (random() % 4) {
                case 0:
                    junk.insert(at, "\n");
                    break;
                case 1:
                    junk.insert(at, QByteArray(80, 'x'));
                    break;
                case 2:
                    junk[at] = static_cast<char>(random());
                    break;
                default:
                    junk.insert(at, "\n4000\t1\t1\t1\t1\n");
                    break;
            }
        }
        files.push_back(writeFile(dir, "junk.txt", junk + "no line end"));
    }
    for (const QString& path : files) {
        Pager pg;
        SequentialPager ref(path.toStdString());
        RecorderState refSt;
        PageState expected = ref.open(refSt);
        PageState got = pg.open(path);
        for (int turn = 0; turn < 40; ++turn) {
            ASSERT_EQ(got.pageEnd, expected.pageEnd) << path.toStdString() << " turn " << turn;
            ASSERT_EQ(got.back, expected.back);
            ASSERT_EQ(got.forward, expected.forward);
            ASSERT_TRUE(std::equal(pg.st.TraceBuf.begin(), pg.st.TraceBuf.end(), refSt.TraceBuf.begin()))
                << path.toStdString() << " turn " << turn;
            const int64_t pageEnd = got.pageEnd;
            if (random() % 2 == 0) {
                expected = ref.forward(refSt, pageEnd);
                got = pg.forward();
            } else {
                expected = ref.back(refSt, pageEnd);
                got = pg.back();
            }
        }
    }
}

// N = 9223372036854775807 after the first page: the page buttons take the row number only up to
// the largest PageEnd whose following turns stay in range, and agree with the reference reader.
TEST(DataFileReader, TheLargestRowNumberKeepsThePageTurnsInRange)
{
    const std::string path = KORVIX_TEST_DATA "/files/data/extreme_n.txt";
    Pager pg;
    SequentialPager ref(path);
    RecorderState refSt;
    expectState(pg.open(QString::fromStdString(path)), MaxPageEnd, false, true);
    expectRows(pg.st, 0, 1699, 1700);
    const auto same = [&](const PageState& expected) {
        EXPECT_EQ(pg.state.pageEnd, expected.pageEnd);
        EXPECT_EQ(pg.state.back, expected.back);
        EXPECT_EQ(pg.state.forward, expected.forward);
        EXPECT_TRUE(std::equal(pg.st.TraceBuf.begin(), pg.st.TraceBuf.end(), refSt.TraceBuf.begin()));
    };
    same(ref.open(refSt));

    // Past the end of the file: blank pages, and PageEnd grows by one page without overflowing.
    int64_t pageEnd = pg.state.pageEnd;
    expectState(pg.forward(), MaxPageEnd + PageRows, true, false);
    expectRows(pg.st, 0, -1, 1700);
    same(ref.forward(refSt, pageEnd));
    pageEnd = pg.state.pageEnd;
    expectState(pg.forward(), MaxPageEnd + PageRows, true, false);
    same(ref.forward(refSt, pageEnd));
    pageEnd = pg.state.pageEnd;
    expectState(pg.back(), MaxPageEnd + PageRows, false, false);
    same(ref.back(refSt, pageEnd));
}

// The lines of the data part that give no sample are counted when a file is opened, so that the
// window can refuse a file without a single sample and tell how many lines were skipped.
TEST(DataFileReader, SamplesAndDamagedLinesOfTheDataPart)
{
    EXPECT_EQ(dataLineKind("3\t1\t2\t3\t4\t0.003\t1\t2\t3\t4"), DataLineKind::Sample);
    EXPECT_EQ(dataLineKind("5\t0\t0\t0\t0\t-\t-\t-\t-\t-"), DataLineKind::Filler);
    EXPECT_EQ(dataLineKind(""), DataLineKind::Empty);
    EXPECT_EQ(dataLineKind("STOP:  \t1.1.2025\t10:00:00"), DataLineKind::Stop);
    for (const char* damaged :
         {"5\t1\t2\t3", "5\t5.7e3\t1\t2\t3", "5.7e3", " ", "1\t0\t0\t0\t-\t-", "x\t-\t-\t-\t-\t-"})
        EXPECT_EQ(dataLineKind(damaged), DataLineKind::Damaged) << damaged;

    QTemporaryDir dir;
    QFile compact(QStringLiteral(KORVIX_TEST_DATA "/files/data/compact.txt"));
    ASSERT_TRUE(compact.open(QIODevice::ReadOnly));
    const QByteArray all = compact.readAll();
    qsizetype end = 0;
    for (int i = 0; i < 12; ++i)
        end = all.indexOf('\n', end) + 1;
    const QByteArray header = all.left(end);
    DataFileLines lines;
    auto counts = [&](const char* name, const QByteArray& body) {
        EXPECT_TRUE(lines.open(writeFile(dir, name, header + body)));
        return std::pair<int64_t, int64_t>(lines.sampleLines(), lines.damagedLines());
    };
    using P = std::pair<int64_t, int64_t>;
    EXPECT_EQ(counts("header.txt", ""), (P{0, 0}));
    EXPECT_EQ(counts("stopped.txt", "\r\nSTOP:  \t1.1.2025\t10:00:00\r\n"), (P{0, 0}));
    EXPECT_EQ(counts("fields.txt", "0\t1\t2\t3\r\n1\t1\t2\r\n2\r\n"), (P{0, 3}));
    EXPECT_EQ(counts("float.txt", "0\t5.7e3\t1\t2\t3\r\n1\t1.5\t1\t2\t3\r\n"), (P{0, 2}));
    // Empty lines inside the data part are damage; at its end, or before the STOP line, they are not.
    EXPECT_EQ(counts("gaps.txt", "0\t1\t1\t1\t1\r\n\r\n\r\n1\t1\t1\t1\t1\r\n\r\n"), (P{2, 2}));
    // Nothing after the "COMMENT" line belongs to the data part; an overlong line is read as far as
    // a page reads it.
    EXPECT_EQ(
        counts("comment.txt", "0\t1\t1\t1\t1\t" + QByteArray(80, 'x') + "\r\nCOMMENT\r\n1\r\n5\r\n5\r\n0\r\nx\r\n"),
        (P{1, 0}));
    EXPECT_EQ(counts("long.txt", "0\t1\t1\t1\t" + QByteArray(80, '1') + "\r\n"), (P{0, 1}));

    // The files the writers make have no damaged line: short and long auto-save files, one cut
    // short by a crash, a Save Data file with filler lines and an annotation.
    for (const QString& path : {autoSaveFile(dir, 250, true, QStringLiteral("note\n9\t1\t2\t3\t4")),
                                autoSaveFile(dir, 3000), autoSaveFile(dir, 20, false)}) {
        ASSERT_TRUE(lines.open(path));
        EXPECT_GT(lines.sampleLines(), 0);
        EXPECT_EQ(lines.damagedLines(), 0) << path.toStdString();
    }
    RecorderState st;
    st.RecTimeDivLabel = QStringLiteral("1s");
    st.RecRangeLabel.fill(QStringLiteral("±8V"));
    st.SampleIndex = 300;
    st.AnnotationOn = true;
    st.AnnotationText = QStringLiteral("1\t2\t3\t4\t5");
    ASSERT_TRUE(lines.open(writeFile(dir, "save.txt", QByteArray::fromStdString(formatSaveData(st, st, st, st, '.')))));
    EXPECT_EQ(lines.sampleLines(), 300);
    EXPECT_EQ(lines.damagedLines(), 0);

    ASSERT_TRUE(lines.open(QStringLiteral(KORVIX_TEST_DATA "/files/data/damaged.txt")));
    EXPECT_EQ(lines.sampleLines(), 6);
    EXPECT_EQ(lines.damagedLines(), 6);
}

// One reading of a line decides its kind, and gives a sample's raw values and N: the index, the
// overview and the CSV export all read their lines through it.
TEST(DataFileReader, OneReadingOfALineGivesKindValuesAndN)
{
    using R = std::array<int64_t, 4>;
    DataLine d = readDataLine("17\t1\t-2\t+3\t1023\t0.017\t1\t2\t3\t4");
    EXPECT_EQ(d.kind, DataLineKind::Sample);
    EXPECT_EQ(d.raw, (R{1, -2, 3, 1023}));
    EXPECT_EQ(d.n, 17);
    // N is read only when it is an integer; the sample stands either way.
    d = readDataLine("x\t1\t2\t3\t4");
    EXPECT_EQ(d.kind, DataLineKind::Sample);
    EXPECT_FALSE(d.n);
    EXPECT_EQ(readDataLine("-4\t1\t2\t3\t4").n, -4);
    EXPECT_FALSE(readDataLine("\t1\t2\t3\t4").n);
    // Long fields: leading zeros are fine, values beyond 64 bits are damage.
    d = readDataLine("0000000000000000000000012\t0000000000000000000001\t9223372036854775807\t-9223372036854775808\t0");
    EXPECT_EQ(d.kind, DataLineKind::Sample);
    EXPECT_EQ(d.n, 12);
    EXPECT_EQ(d.raw, (R{1, std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min(), 0}));
    EXPECT_EQ(readDataLine("1\t9223372036854775808\t1\t1\t1").kind, DataLineKind::Damaged);
    EXPECT_EQ(readDataLine("1\t-9223372036854775809\t1\t1\t1").kind, DataLineKind::Damaged);
    EXPECT_FALSE(readDataLine("99999999999999999999\t1\t1\t1\t1").n);
    // "ST" or "COM" anywhere makes a line no sample, an S or a C alone does not.
    EXPECT_EQ(readDataLine("1\t1\t1\t1\t1\t0.001\tS\tC\tTS").kind, DataLineKind::Sample);
    EXPECT_EQ(readDataLine("1\t1\t1\t1\t1\t0.001\tST").kind, DataLineKind::Damaged);
    EXPECT_EQ(readDataLine("1\t1\t1\t1\t1\tCOM").kind, DataLineKind::Damaged);
    EXPECT_EQ(readDataLine("STOP\t1\t1\t1\t1").kind, DataLineKind::Stop);
    // Filler lines: "-" exactly in the time field after four integers.
    EXPECT_EQ(readDataLine("5\t0\t0\t0\t0\t-").kind, DataLineKind::Filler);
    EXPECT_EQ(readDataLine("5\t0\t0\t0\t0\t-\t-").kind, DataLineKind::Filler);
    EXPECT_EQ(readDataLine("5\t0\t0\t0\t0\t--").kind, DataLineKind::Sample);
    EXPECT_EQ(readDataLine("5\t0\t0\t0\t0\t").kind, DataLineKind::Sample);
    EXPECT_EQ(readDataLine("5\t0\t0\t0\t-\t-").kind, DataLineKind::Damaged);
    // Damaged lines: missing, empty, signed-only or non-integer fields, spaces, a CR inside.
    for (const char* damaged :
         {"1", "1\t", "1\t2\t3\t4", "1\t2\t3\t4\t", "1\t\t2\t3\t4", "1\t-\t2\t3\t4", "1\t+\t2\t3\t4", "1\t2\t3\t4 \t5",
          "1\t2\t3\t4\t5\r", "1\t2\t3\t4x", "1\t0x1\t2\t3\t4", " "})
        EXPECT_EQ(readDataLine(damaged).kind, DataLineKind::Damaged) << damaged;
}

// The one way a pass goes through a file: every line with its offset and length, its head cut to
// the scanner's width, lines that cross the 1 MB blocks and longer ones, and a last line without
// a line end.
TEST(DataFileReader, TheLineScannerHandsEveryLineWithItsOffset)
{
    QTemporaryDir dir;
    QByteArray content;
    std::vector<QByteArray> expected;
    std::mt19937 random(7);
    while (content.size() < 3 * (1 << 20)) {
        const auto length = static_cast<int>(random() % 120);
        QByteArray line(length, 'a');
        for (char& ch : line)
            ch = static_cast<char>('0' + random() % 10);
        if (random() % 50 == 0)
            line = QByteArray(static_cast<int>((1 << 20) + random() % 5000), 'L');  // longer than a block
        if (random() % 3 == 0)
            line += '\r';
        expected.push_back(line);
        content += line + '\n';
    }
    expected.push_back("last\r");
    content += "last\r";
    QFile f(dir.filePath(QStringLiteral("lines.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));

    constexpr size_t Width = 60;
    LineScanner scanner(Width);
    size_t index = 0;
    qint64 offset = 0, reported = 0;
    PassControl control;
    control.report = [&](qint64 done, qint64 total) {
        EXPECT_GT(done, reported);
        EXPECT_EQ(total, content.size());
        reported = done;
    };
    const PassResult result = scanner.run(f, 0, control, [&](const ScannedLine& line) {
        EXPECT_LT(index, expected.size());
        if (index >= expected.size())
            return false;
        const QByteArray& want = expected[index];
        EXPECT_EQ(line.start, offset) << index;
        EXPECT_EQ(line.length, want.size()) << index;
        EXPECT_EQ(line.head, want.left(static_cast<qsizetype>(Width)).toStdString()) << index;
        EXPECT_EQ(line.ended, index + 1 < expected.size());
        offset += want.size() + 1;
        ++index;
        return true;
    });
    EXPECT_EQ(result, PassResult::Done);
    EXPECT_EQ(index, expected.size());
    EXPECT_EQ(reported, content.size());

    // A visitor that says stop leaves the file just after that line.
    ASSERT_TRUE(f.seek(0));
    int taken = 0;
    EXPECT_EQ(scanner.run(f, 0, {}, [&](const ScannedLine&) { return ++taken < 3; }), PassResult::Done);
    EXPECT_EQ(taken, 3);
    EXPECT_EQ(f.pos(), expected[0].size() + expected[1].size() + expected[2].size() + 3);
    // A cancelled pass stops before it reads.
    std::atomic<bool> cancel{true};
    PassControl cancelled;
    cancelled.cancel = &cancel;
    EXPECT_EQ(scanner.run(f, f.pos(), cancelled, [](const ScannedLine&) { return true; }), PassResult::Cancelled);
}

// A long file opens with an index of its first lines only: the first pages and the annotation
// block at the end of the file read as with the whole index, which is built later (on a worker)
// and taken over, or completed by the next open().
TEST(DataFileReader, AFileIndexedAtItsHeadShowsItsFirstPagesLikeTheWholeIndex)
{
    QTemporaryDir dir;
    const QString path = autoSaveFile(dir, 20000, true, QStringLiteral("first line\nsecond\t2"));
    DataFileLines whole;
    ASSERT_TRUE(whole.open(path));
    ASSERT_TRUE(whole.indexComplete());

    DataFileLines head;
    ASSERT_TRUE(head.openHead(path, 4000));
    EXPECT_FALSE(head.indexComplete());
    EXPECT_EQ(head.lineCount(), 4000);
    EXPECT_TRUE(head.holdsLine(4000));
    EXPECT_FALSE(head.holdsLine(4001));
    EXPECT_FALSE(head.isLastLine(4000)) << "more lines follow the head";
    RecorderState a, b;
    const PageSpan open = openSpan();
    EXPECT_EQ(fillScreen(head, open, a), fillScreen(whole, open, b));
    EXPECT_EQ(a.TraceBuf, b.TraceBuf);
    const PageState pa = afterOpen(head, open), pb = afterOpen(whole, open);
    EXPECT_EQ(pa.pageEnd, pb.pageEnd);
    EXPECT_EQ(pa.forward, pb.forward);
    const PageSpan next = forwardSpan(pa.pageEnd);
    EXPECT_TRUE(head.holdsLine(next.firstLine + next.count));
    fillScreen(head, next, a);
    fillScreen(whole, next, b);
    EXPECT_EQ(a.TraceBuf, b.TraceBuf);
    const AnnotationInfo fromTail = head.readAnnotation(1, 2), fromIndex = whole.readAnnotation(1, 2);
    EXPECT_EQ(fromTail.count, 2);
    EXPECT_EQ(fromTail.lines, fromIndex.lines);
    EXPECT_EQ(fromTail.x, fromIndex.x);
    EXPECT_EQ(fromTail.transparent, fromIndex.transparent);

    // The whole index built elsewhere, with the overview in the same pass, is taken over.
    DataFileLines worker;
    RecordingOverview overview;
    EXPECT_EQ(indexWithOverview(path, worker, overview), PassResult::Done);
    EXPECT_FALSE(worker.isOpen());
    RecordingOverview separate;
    EXPECT_EQ(separate.update(path), RecordingOverview::Result::Done);
    EXPECT_EQ(overview.rowsWithSamples(), separate.rowsWithSamples());
    EXPECT_EQ(overview.bytesRead(), separate.bytesRead());
    ASSERT_EQ(overview.buckets().size(), separate.buckets().size());
    for (size_t i = 0; i < overview.buckets().size(); ++i)
        EXPECT_EQ(overview.buckets()[i].max, separate.buckets()[i].max);
    DataFileLines other;
    ASSERT_TRUE(other.openHead(autoSaveFile(dir, 5000), 100));
    EXPECT_FALSE(other.adoptIndex(worker)) << "an index of another file";
    ASSERT_TRUE(head.adoptIndex(worker));
    EXPECT_TRUE(head.indexComplete());
    EXPECT_EQ(head.lineCount(), whole.lineCount());
    EXPECT_EQ(head.sampleLines(), 20000);
    EXPECT_TRUE(head.isLastLine(whole.lineCount()));
    ASSERT_TRUE(head.open(path));
    EXPECT_EQ(head.indexExtensions(), 0) << "the adopted index is current";
    EXPECT_EQ(head.line(15000), whole.line(15000));

    // Without one, the next open() goes on from the head instead of the top.
    DataFileLines later;
    ASSERT_TRUE(later.openHead(path, 4000));
    ASSERT_TRUE(later.open(path));
    EXPECT_TRUE(later.indexComplete());
    EXPECT_EQ(later.indexBuilds(), 1);
    EXPECT_EQ(later.indexExtensions(), 1);
    EXPECT_EQ(later.lineCount(), whole.lineCount());
    EXPECT_EQ(later.damagedLines(), whole.damagedLines());
    EXPECT_EQ(later.line(whole.lineCount()), whole.line(whole.lineCount()));

    // A cancelled build leaves nothing to take over.
    std::atomic<bool> cancel{true};
    PassControl control;
    control.cancel = &cancel;
    DataFileLines cancelled;
    EXPECT_EQ(cancelled.buildIndex(path, control), PassResult::Cancelled);
    DataFileLines head2;
    ASSERT_TRUE(head2.openHead(path, 100));
    EXPECT_FALSE(head2.adoptIndex(cancelled));
    EXPECT_FALSE(head2.indexComplete());

    // A short file is whole after openHead().
    DataFileLines shortFile;
    ASSERT_TRUE(shortFile.openHead(autoSaveFile(dir, 300), 4000));
    EXPECT_TRUE(shortFile.indexComplete());
    EXPECT_TRUE(shortFile.isLastLine(shortFile.lineCount()));

    // Opened again after it grew (a recording still writes it), a file whose whole index is known
    // is indexed on from its last block, not from the top.
    const QString growing = autoSaveFile(dir, 100, false);
    DataFileLines again;
    ASSERT_TRUE(again.openHead(growing, 4000));
    ASSERT_TRUE(again.indexComplete());
    {
        QFile f(growing);
        ASSERT_TRUE(f.open(QIODevice::Append));
        for (int k = 100; k < 200; ++k)
            f.write(QByteArray::number(k) + "\t1\t2\t3\t4\t0\t0\t0\t0\t0\r\n");
    }
    ASSERT_TRUE(again.openHead(growing, 4000));
    EXPECT_EQ(again.indexBuilds(), 1);
    EXPECT_EQ(again.indexExtensions(), 1);
    EXPECT_TRUE(again.indexComplete());
    EXPECT_EQ(again.sampleLines(), 200);
}
