// Long data files on the recorder window: jumps by time and by key land on the page holding the
// moment through the page routine of the buttons, the overview follows, a refresh takes in lines
// added since, and Export CSV writes the file's samples.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <deque>

#include "files/CsvExport.h"
#include "files/DataFileFormat.h"
#include "files/DataFileWriter.h"
#include "ui/AddTextWindow.h"
#include "ui/Application.h"
#include "ui/DataFileBrowser.h"
#include "ui/Dialogs.h"
#include "ui/FileDialogs.h"
#include "ui/LongFileController.h"
#include "ui/RecorderWindow.h"
#include "WindowControls.h"
#include "ui/RecordingOverviewWindow.h"

namespace {

// Row k carries k in its raw values, so the row on each screen position can be read back.
std::array<int32_t, 4> rowRaw(int64_t k)
{
    return {static_cast<int32_t>(k % 256 * 4), static_cast<int32_t>(k / 256 % 256 * 4), 0, 1020};
}

struct LongFilesWindow : ::testing::Test {
    RecorderState st;
    std::unique_ptr<RecorderWindow> w;
    std::unique_ptr<DataFileBrowser> reader;
    std::unique_ptr<AddTextWindow> addText;
    LongFileController* longFiles = nullptr;
    QTemporaryDir dir;
    std::deque<QString> answers;
    std::vector<MessageRequest> messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;

    LongFilesWindow()
    {
        st.DemoMode = true;
        deriveColours(st);
        st.ActiveColors = st.SettingsColors;
        w = std::make_unique<RecorderWindow>(st);
        reader = std::make_unique<DataFileBrowser>(w.get());
        reader->showModal = [] {};
        addText = std::make_unique<AddTextWindow>(w.get());
        windows().recorder = w.get();
        windows().dataFileBrowser = reader.get();
        windows().addText = addText.get();
        longFiles = new LongFileController(*w, *reader);
        st.ClearPending = true;
        w->screen.redrawIfClearPending();
        w->demoSetup();
        setFileDialogHook([this](const FileDialogRequest&) {
            if (answers.empty())
                return QString();
            QString a = answers.front();
            answers.pop_front();
            return a;
        });
        setMessageHook([this](const MessageRequest& r) {
            messages.push_back(r);
            return r.buttons.testFlag(answer) ? answer : QMessageBox::Ok;
        });
    }
    ~LongFilesWindow() override
    {
        setFileDialogHook({});
        setMessageHook({});
        windows() = Windows{};
    }

    // An auto-save file at "0.1s" (1 ms a row) started 9.12.2026 10:00:00.
    QString writeFile(const char* name, int64_t rows, bool trailer = true)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        RecorderState s;
        s.RecTimeDivLabel = QStringLiteral("0.1s");
        s.RecRangeLabel.fill(QStringLiteral("±20V"));
        s.StartStamp = QStringLiteral("9.12.2026\t10:00:00");
        datafile::AutoSaveWriter writer;
        EXPECT_TRUE(writer.create(path));
        writer.writeHeader(s, s);
        for (int64_t k = 0; k < rows; ++k)
            writer.writeSampleLine(k, rowRaw(k), static_cast<uint64_t>(k), s.ChannelRange);
        if (trailer)
            writer.writeTrailer(s, s);
        else
            writer.close();
        return path;
    }
    void open(const QString& path)
    {
        answers.push_back(path);
        child<QAction>(*w, "openDataAction")->trigger();
    }
    // The row at screen position p, or -1.
    int64_t rowAt(int p) { return st.trace(3, p) == 255 ? -1 : (255 - st.trace(0, p)) + 256 * (255 - st.trace(1, p)); }
    int64_t firstRowOnScreen() { return rowAt(0); }
};

}  // namespace

TEST_F(LongFilesWindow, CommandsNeedAFileOnScreen)
{
    EXPECT_FALSE(longFiles->fileOnView());
    child<QMenu>(*w, "viewMenu")->aboutToShow();
    EXPECT_FALSE(child<QAction>(*w, "recordingOverviewAction")->isEnabled());
    EXPECT_FALSE(child<QAction>(*w, "exportCsvAction")->isEnabled());
    // Without a data file on screen the page keys stay with the focused control (a scroll bar).
    EXPECT_FALSE(child<QAction>(*w, "pageUpAction")->isEnabled());
    EXPECT_FALSE(child<QAction>(*w, "firstPageAction")->isEnabled());
    open(writeFile("a.txt", 4000));
    EXPECT_TRUE(longFiles->fileOnView());
    child<QMenu>(*w, "viewMenu")->aboutToShow();
    EXPECT_TRUE(child<QAction>(*w, "recordingOverviewAction")->isEnabled());
    EXPECT_TRUE(child<QAction>(*w, "goToTimeAction")->isEnabled());
    EXPECT_TRUE(child<QAction>(*w, "pageDownAction")->isEnabled());
    EXPECT_EQ(child<QAction>(*w, "refreshAction")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_TRUE(child<QMenu>(*w, "fileMenu")->actions().contains(child<QAction>(*w, "exportCsvAction")));
}

TEST_F(LongFilesWindow, JumpsLandOnThePageHoldingTheMoment)
{
    open(writeFile("jumps.txt", 10000));
    longFiles->waitForWorker();
    ASSERT_TRUE(longFiles->overview());
    EXPECT_EQ(longFiles->overview()->rowsWithSamples(), 10000);
    EXPECT_EQ(longFiles->pages(), 6);

    // 5 s at 1 ms a row: row 5000, on page 2 (rows 3401..5100).
    ASSERT_TRUE(longFiles->goToTime(QStringLiteral("5")));
    EXPECT_EQ(longFiles->currentPage(), 2);
    EXPECT_EQ(firstRowOnScreen(), 3401);
    EXPECT_EQ(rowAt(5000 - 3401), 5000);
    EXPECT_TRUE(child<QToolButton>(*w, "previousPageButton")->isEnabled());
    EXPECT_TRUE(child<QToolButton>(*w, "nextPageButton")->isEnabled());

    // The same page as ">>" gives from there: the page routine of the buttons.
    w->nextPageClick();
    EXPECT_EQ(firstRowOnScreen(), 5101);
    child<QAction>(*w, "pageDownAction")->trigger();
    EXPECT_EQ(longFiles->currentPage(), 4);
    EXPECT_EQ(firstRowOnScreen(), 6801);

    // A page boundary, a clock time with its date, and past the end.
    ASSERT_TRUE(longFiles->goToTime(QStringLiteral("00:00:03.401")));
    EXPECT_EQ(firstRowOnScreen(), 3401);
    ASSERT_TRUE(longFiles->goToTime(QStringLiteral("2026-12-09 10:00:03.400")));
    EXPECT_EQ(firstRowOnScreen(), 1701);
    ASSERT_TRUE(longFiles->goToTime(QStringLiteral("99999")));
    EXPECT_EQ(longFiles->currentPage(), 5);
    EXPECT_EQ(firstRowOnScreen(), 8501);
    EXPECT_FALSE(child<QToolButton>(*w, "nextPageButton")->isEnabled());

    child<QAction>(*w, "firstPageAction")->trigger();
    EXPECT_EQ(longFiles->currentPage(), 0);
    EXPECT_EQ(firstRowOnScreen(), 0);
    EXPECT_FALSE(child<QToolButton>(*w, "previousPageButton")->isEnabled());
    EXPECT_TRUE(child<QToolButton>(*w, "nextPageButton")->isEnabled());
    child<QAction>(*w, "lastPageAction")->trigger();
    EXPECT_EQ(firstRowOnScreen(), 8501);
    child<QAction>(*w, "pageUpAction")->trigger();
    EXPECT_EQ(firstRowOnScreen(), 6801);

    messages.clear();
    EXPECT_FALSE(longFiles->goToTime(QStringLiteral("soon")));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, QStringLiteral("Go to Time"));
    EXPECT_EQ(firstRowOnScreen(), 6801);
}

TEST_F(LongFilesWindow, TheOverviewFollowsThePageButtonsAndPicksPages)
{
    open(writeFile("follow.txt", 10000));
    longFiles->overviewClick();
    longFiles->waitForWorker();
    RecordingOverviewWindow* o = longFiles->overviewWindow();
    ASSERT_NE(o, nullptr);
    EXPECT_TRUE(o->isVisible());
    EXPECT_EQ(o->plot()->viewLast() - o->plot()->viewFirst(), 10000.0);
    child<QToolButton>(*w, "nextPageButton")->click();
    EXPECT_EQ(longFiles->currentPage(), 1);
    ASSERT_TRUE(o->pickRow);
    o->pickRow(9000);
    EXPECT_EQ(longFiles->currentPage(), 5);
    EXPECT_EQ(firstRowOnScreen(), 8501);
    o->plot()->zoomAt(o->plot()->plotRect().center().x(), 1e-6);
    EXPECT_EQ(o->plot()->viewLast() - o->plot()->viewFirst(), 1700.0) << "zoom stops at one page";
}

TEST_F(LongFilesWindow, RefreshTakesInTheLinesAddedSince)
{
    const QString path = writeFile("growing.txt", 2000, false);
    open(path);
    longFiles->waitForWorker();
    EXPECT_EQ(longFiles->pages(), 2);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::Append));
        std::string lines;
        for (int64_t k = 2000; k < 6000; ++k)
            datafile::appendDataLine(lines, k, rowRaw(k), static_cast<uint64_t>(k), st.ChannelRange, ',');
        f.write(lines.data(), static_cast<qint64>(lines.size()));
    }
    child<QAction>(*w, "refreshAction")->trigger();
    longFiles->waitForWorker();
    EXPECT_EQ(longFiles->overview()->rowsWithSamples(), 6000);
    EXPECT_EQ(longFiles->overview()->fullPasses(), 1) << "the refresh read only the new lines";
    EXPECT_EQ(longFiles->pages(), 4);
    child<QAction>(*w, "lastPageAction")->trigger();
    EXPECT_EQ(firstRowOnScreen(), 5101);
}

TEST_F(LongFilesWindow, ExportCsvWritesTheWholeFileOrTheSpanInView)
{
    open(writeFile("export.txt", 5000));
    longFiles->waitForWorker();
    const QString csv = dir.filePath(QStringLiteral("export.csv"));
    answers.push_back(csv);
    answer = QMessageBox::No;  // the whole file
    child<QAction>(*w, "exportCsvAction")->trigger();
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> records = f.readAll().split('\n');
    EXPECT_EQ(records.size(), 5000 + 2);  // the header, the records, nothing after the last CR LF
    EXPECT_EQ(records[0], QByteArray("time,seconds,CH1/V,CH2/V,CH3/V,CH4/V,CH1,CH2,CH3,CH4\r"));
    EXPECT_EQ(records[1].left(24), QByteArray("2026-12-09T10:00:00.000,"));
    f.close();

    // The span in view: the page on screen (rows 1701..3400).
    longFiles->showPage(1);
    answers.push_back(csv);
    answer = QMessageBox::Yes;
    child<QAction>(*w, "exportCsvAction")->trigger();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> span = f.readAll().split('\n');
    EXPECT_EQ(span.size(), 1700 + 2);
    EXPECT_TRUE(span[1].startsWith("2026-12-09T10:00:01.701,1.701,")) << span[1].toStdString();
}

// A long file opens at once: its first page comes from the first lines, the whole index and the
// overview are built in one pass on a worker, and page requests beyond the first lines wait for
// it (the last one asked for is made once it is there).
TEST_F(LongFilesWindow, ALongFileShowsItsFirstPageAtOnceAndIndexesItInTheBackground)
{
    reader->setHeadLines(4000);  // the first two pages and the line after them
    open(writeFile("long.txt", 10000));
    // Nothing of the worker is taken in before the window's events run: the first page is the
    // open's own work.
    EXPECT_TRUE(reader->indexing());
    EXPECT_FALSE(reader->lines().indexComplete());
    EXPECT_EQ(firstRowOnScreen(), 0);
    EXPECT_EQ(rowAt(1699), 1699);
    EXPECT_EQ(st.PageEnd, 1700);
    EXPECT_TRUE(child<QToolButton>(*w, "nextPageButton")->isEnabled());
    EXPECT_FALSE(child<QToolButton>(*w, "previousPageButton")->isEnabled());
    EXPECT_TRUE(longFiles->fileOnView());
    ASSERT_NE(reader->progressWindow(), nullptr);
    EXPECT_EQ(reader->cancelButton()->text(), QStringLiteral("Cancel"));

    // ">>" among the first lines turns at once; the next one waits with ">>" off.
    w->nextPageClick();
    EXPECT_EQ(firstRowOnScreen(), 1701);
    EXPECT_FALSE(reader->requestWaiting());
    w->nextPageClick();
    EXPECT_TRUE(reader->requestWaiting());
    EXPECT_EQ(firstRowOnScreen(), 1701);
    EXPECT_FALSE(child<QToolButton>(*w, "nextPageButton")->isEnabled());
    // "End" asked for later takes the waiting turn's place.
    child<QAction>(*w, "lastPageAction")->trigger();
    EXPECT_EQ(firstRowOnScreen(), 1701);
    longFiles->waitForWorker();
    EXPECT_FALSE(reader->indexing());
    EXPECT_TRUE(reader->lines().indexComplete());
    EXPECT_EQ(firstRowOnScreen(), 8501);
    EXPECT_EQ(longFiles->currentPage(), 5);
    EXPECT_FALSE(child<QToolButton>(*w, "nextPageButton")->isEnabled());
    EXPECT_TRUE(child<QToolButton>(*w, "previousPageButton")->isEnabled());
    // The overview came with the index, from the same pass.
    ASSERT_TRUE(longFiles->overview());
    EXPECT_EQ(longFiles->overview()->rowsWithSamples(), 10000);
    EXPECT_EQ(longFiles->overview()->fullPasses(), 1);
    EXPECT_EQ(reader->lines().indexBuilds(), 2) << "the head, then the whole index taken over";
    EXPECT_TRUE(messages.empty());

    // Go to Time while the index of a file is built: the page comes once it is there.
    open(writeFile("second.txt", 10000));
    EXPECT_TRUE(reader->indexing());
    ASSERT_TRUE(longFiles->goToTime(QStringLiteral("5")));
    EXPECT_EQ(firstRowOnScreen(), 0);
    longFiles->waitForWorker();
    EXPECT_EQ(longFiles->currentPage(), 2);
    EXPECT_EQ(firstRowOnScreen(), 3401);
    w->nextPageClick();
    EXPECT_EQ(firstRowOnScreen(), 5101);
}

// Damaged lines of a long file are counted by the whole index: the user learns how many once it
// is built, and they are skipped as on any page.
TEST_F(LongFilesWindow, TheDamagedLinesOfALongFileAreToldOnceItsIndexIsBuilt)
{
    reader->setHeadLines(100);
    const QString path = writeFile("damaged.txt", 6000, false);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("6000\t1\t2\r\n6001\tx\t1\t1\t1\r\n");
    }
    open(path);
    EXPECT_EQ(firstRowOnScreen(), 0);
    EXPECT_TRUE(messages.empty());
    longFiles->waitForWorker();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("2 lines of damaged.txt could not be read and were skipped."));
    EXPECT_EQ(reader->lines().sampleLines(), 6000);
}

// Cancel stops the pass: the first pages stay, a turn that waited is not made and its button
// offers it again, which starts the index anew. Opening another file, or closing the window, while
// the index is built stops the pass cleanly.
TEST_F(LongFilesWindow, TheIndexPassCanBeCancelledAndIsStoppedByAnotherFileOrTheClose)
{
    reader->setHeadLines(2000);
    // Large enough that the pass is still running when it is cancelled right after the open.
    const QString big = writeFile("big.txt", 300000);
    open(big);
    ASSERT_TRUE(reader->indexing());
    w->nextPageClick();
    EXPECT_TRUE(reader->requestWaiting());
    EXPECT_FALSE(child<QToolButton>(*w, "nextPageButton")->isEnabled());
    reader->cancelButton()->click();
    reader->waitForIndex();
    EXPECT_FALSE(reader->indexing());
    EXPECT_FALSE(reader->lines().indexComplete());
    EXPECT_FALSE(reader->requestWaiting());
    EXPECT_EQ(firstRowOnScreen(), 0);
    EXPECT_TRUE(child<QToolButton>(*w, "nextPageButton")->isEnabled());
    EXPECT_FALSE(reader->progressWindow()->isVisible());
    // Asked again, the turn starts the index anew and is made once it is there.
    w->nextPageClick();
    EXPECT_TRUE(reader->indexing());
    longFiles->waitForWorker();
    EXPECT_EQ(firstRowOnScreen(), 1701);
    EXPECT_TRUE(reader->lines().indexComplete());

    // Another file while the index of a long one is built: the pass is stopped and forgotten.
    const QString other = writeFile("other.txt", 500);
    open(writeFile("big2.txt", 300000));
    ASSERT_TRUE(reader->indexing());
    w->nextPageClick();
    open(other);
    EXPECT_FALSE(reader->indexing());
    EXPECT_FALSE(reader->requestWaiting());
    QCoreApplication::processEvents();
    EXPECT_EQ(reader->lines().path(), other);
    EXPECT_TRUE(reader->lines().indexComplete());
    EXPECT_EQ(reader->lines().sampleLines(), 500);
    EXPECT_EQ(firstRowOnScreen(), 0);
    EXPECT_FALSE(child<QToolButton>(*w, "nextPageButton")->isEnabled());

    // The window goes while a pass runs: it is stopped before the reader is gone.
    open(big);
    ASSERT_TRUE(reader->indexing());
    windows().dataFileBrowser = nullptr;
    reader.reset();
    QCoreApplication::processEvents();
}
