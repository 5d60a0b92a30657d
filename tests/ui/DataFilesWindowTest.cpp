// The data files on the recorder window in demo mode: auto-save of a recording, Save Data, Open
// Data with its page buttons, the annotation travelling with the files, and the failures.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QMenu>
#include <cerrno>
#include <cstring>
#include <deque>

#include "files/FileSizeLimit.h"
#include "files/DataFileWriter.h"
#include "ui/FileDialogs.h"
#include "ui/DataFileBrowser.h"
#include "ui/ScreenWidgets.h"
#include "ui/AddTextWindow.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/DataFileActions.h"
#include "ui/RecorderWindow.h"
#include "ui/MeasuringTools.h"
#include "WindowControls.h"

namespace {

QList<QByteArray> fileLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray all = f.readAll();
    EXPECT_TRUE(all.isEmpty() || all.endsWith("\r\n"));
    all.chop(2);
    return all.split('\n');  // every line keeps its CR, checked below
}

QByteArray line(const QList<QByteArray>& lines, int number)
{
    QByteArray l = lines.value(number - 1);
    EXPECT_TRUE(l.endsWith('\r') || number == lines.size()) << number;
    if (l.endsWith('\r'))
        l.chop(1);
    return l;
}

struct DataFilesWindow : ::testing::Test {
    RecorderState st;
    std::unique_ptr<RecorderWindow> w;
    std::unique_ptr<DataFileBrowser> reader;
    std::unique_ptr<AddTextWindow> addText;
    QTemporaryDir dir;
    std::deque<QString> answers;  // paths the file dialogs return, in order
    std::vector<FileDialogRequest> dialogs;
    std::vector<MessageRequest> messages;
    int rejections = 0;

    DataFilesWindow()
    {
        st.DemoMode = true;
        deriveColours(st);
        st.ActiveColors = st.SettingsColors;
        w = std::make_unique<RecorderWindow>(st);
        w->settings().dataDir = dir.path();
        reader = std::make_unique<DataFileBrowser>(w.get());
        reader->showModal = [this] { ++rejections; };
        addText = std::make_unique<AddTextWindow>(w.get());
        windows().recorder = w.get();
        windows().dataFileBrowser = reader.get();
        windows().addText = addText.get();
        st.ClearPending = true;
        w->screen.redrawIfClearPending();
        w->demoSetup();
        setFileDialogHook([this](const FileDialogRequest& r) {
            dialogs.push_back(r);
            if (answers.empty())
                return QString();
            QString a = answers.front();
            answers.pop_front();
            return a;
        });
        setMessageHook([this](const MessageRequest& r) {
            messages.push_back(r);
            return QMessageBox::Ok;
        });
    }
    ~DataFilesWindow() override
    {
        setFileDialogHook({});
        setMessageHook({});
        windows() = Windows{};
    }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void arm(const QString& p)
    {
        answers.push_back(p);
        fire(child<QAction>(*w, "autoSaveAction"));
    }
    void saveData(const QString& p)
    {
        answers.push_back(p);
        fire(child<QAction>(*w, "saveDataAction"));
    }
    void open(const QString& p)
    {
        answers.push_back(p);
        fire(child<QAction>(*w, "openDataAction"));
    }
    int tick(int limit)
    {
        int n = 0;
        while (n < limit && !st.Idle) {
            w->session->takeDemoSamples(1);
            ++n;
        }
        return n;
    }
    void recordSingle()
    {
        child<QToolButton>(*w, "singleButton")->click();
        tick(5000);
        ASSERT_TRUE(st.Idle);
    }
    // Pixels of `colour` in a rectangle of screenImage.
    int pixelsOf(Colour colour, int x1, int y1, int x2, int y2) const
    {
        int n = 0;
        for (int y = y1; y < y2; ++y)
            for (int x = x1; x < x2; ++x)
                n += w->screenBitmap.pixel(x, y) == colour ? 1 : 0;
        return n;
    }
    void expectStopped() const
    {
        EXPECT_TRUE(st.Idle);
        EXPECT_FALSE(st.FileViewMode);
        EXPECT_FALSE(st.PageTurnMode);
        EXPECT_FALSE(child<QWidget>(*w, "liveOverlay")->isEnabled());
        EXPECT_NE(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Recording"));
        EXPECT_TRUE(child<QAction>(*w, "autoSaveAction")->isEnabled());
    }
    int autoSaveMarkPixels() const
    {
        const int x = w->screen.autoSaveMarkX();
        return pixelsOf(st.ActiveColors[Ch1], x, 3, x + 80, 16);
    }
};

TEST_F(DataFilesWindow, AutoSaveOfARecordingAcrossScreens)
{
    timeButton(*w, 12)->click();
    arm(path("auto.txt"));
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].objectName, QStringLiteral("autoSaveDialog"));
    EXPECT_EQ(dialogs[0].directory, dir.path());
    EXPECT_TRUE(st.AutoSaveOn);
    EXPECT_EQ(st.DataFileName, path("auto.txt"));
    EXPECT_GT(autoSaveMarkPixels(), 0);

    child<QToolButton>(*w, "runButton")->click();
    EXPECT_EQ(tick(4000), 4000);
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_TRUE(st.Idle);
    EXPECT_FALSE(st.AutoSaveOn);
    EXPECT_EQ(autoSaveMarkPixels(), 0);
    EXPECT_TRUE(messages.empty());

    const QList<QByteArray> lines = fileLines(path("auto.txt"));
    ASSERT_EQ(lines.size(), 12 + 4000 + 2);
    EXPECT_EQ(line(lines, 1), QByteArray());
    EXPECT_TRUE(line(lines, 2).startsWith("START: \t"));
    EXPECT_EQ(line(lines, 5), QByteArray("100 = 0.1s"));
    EXPECT_EQ(line(lines, 8), QByteArray("CH1: \xB1"
                                         "8V\tCH3: \xB1"
                                         "2V"));
    EXPECT_EQ(line(lines, 11), QByteArray("N\tCH1\tCH2\tCH3\tCH4\tTime/s\tCH1/V\tCH2/V\tCH3/V\tCH4/V"));
    for (int n = 0; n < 4000; ++n) {
        const QList<QByteArray> f = line(lines, 13 + n).split('\t');
        ASSERT_EQ(f.size(), 10) << n;
        ASSERT_EQ(f[0].toInt(), n);
        ASSERT_EQ(f[5], QByteArray::number(n / 1000) + "." + QByteArray::number(n % 1000).rightJustified(3, '0'));
        for (int c = 1; c <= 4; ++c)
            ASSERT_EQ(f[c].toInt() % 4, 0) << n;
    }
    EXPECT_EQ(line(lines, 4013), QByteArray());
    EXPECT_TRUE(line(lines, 4014).startsWith("STOP:  \t"));

    // One armed file holds one recording: the next one writes nothing.
    child<QToolButton>(*w, "runButton")->click();
    tick(10);
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_EQ(fileLines(path("auto.txt")).size(), lines.size());
}

TEST_F(DataFilesWindow, SaveDataReopensToTheSameTraces)
{
    // A recording stopped part-way through its screen.
    child<QToolButton>(*w, "runButton")->click();
    tick(500);
    child<QToolButton>(*w, "runButton")->click();
    emit child<QMenu>(*w, "fileMenu")->aboutToShow();
    EXPECT_TRUE(child<QAction>(*w, "saveDataAction")->isEnabled());
    saveData(path("screen.txt"));
    EXPECT_EQ(dialogs.back().objectName, QStringLiteral("saveDataDialog"));
    const std::vector<int32_t> traces(st.TraceBuf.begin(), st.TraceBuf.end());
    const QImage before = w->screenBitmap.image().copy(st.GridLeft - 1, st.GridTop - 1, 547, 259);

    const QList<QByteArray> lines = fileLines(path("screen.txt"));
    ASSERT_EQ(lines.size(), 12 + 1700);
    EXPECT_TRUE(line(lines, 1).startsWith("START: \t"));
    EXPECT_TRUE(line(lines, 2).startsWith("STOP : \t"));
    // The last recorded position is a data line too; filler lines follow.
    EXPECT_TRUE(line(lines, 12 + 500).startsWith("499\t"));
    EXPECT_EQ(line(lines, 12 + 501), QByteArray("501\t0\t0\t0\t0\t-\t-\t-\t-\t-"));

    // Another recording with other ranges and time base: the file brings its own back.
    rangeButton(*w, 0, 0)->click();
    timeButton(*w, 7)->click();
    recordSingle();
    ASSERT_NE(std::vector<int32_t>(st.TraceBuf.begin(), st.TraceBuf.end()), traces);
    open(path("screen.txt"));
    EXPECT_EQ(dialogs.back().objectName, QStringLiteral("openDataDialog"));
    EXPECT_TRUE(rangeButton(*w, 0, 1)->isChecked());
    EXPECT_TRUE(rangeButton(*w, 1, 3)->isChecked());
    EXPECT_TRUE(timeButton(*w, 9)->isChecked());
    EXPECT_EQ(st.ChannelRange[0], 80);
    EXPECT_EQ(st.TimeDivLabel, QStringLiteral("1s"));
    for (int c = 0; c < 4; ++c)
        for (int p = 0; p < 1700; ++p)
            ASSERT_EQ(st.trace(c, p), traces[static_cast<size_t>(c * BufferLength + p)]) << c << " " << p;
    // The traces end where the recording ended, as on the stopped screen.
    EXPECT_EQ(st.ScreenSamples, 500);
    EXPECT_EQ(w->screenBitmap.image().copy(st.GridLeft - 1, st.GridTop - 1, 547, 259), before);
    EXPECT_FALSE(child<QToolButton>(*w, "previousPageButton")->isEnabled());
    EXPECT_FALSE(child<QToolButton>(*w, "nextPageButton")->isEnabled());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("KORVIX Recorder / Logger - screen.txt"));
    EXPECT_TRUE(st.Idle);
    EXPECT_FALSE(st.FileViewMode);
    EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Stopped"));
    // A file page is not a recording: nothing to save.
    emit child<QMenu>(*w, "fileMenu")->aboutToShow();
    EXPECT_FALSE(child<QAction>(*w, "saveDataAction")->isEnabled());
}

TEST_F(DataFilesWindow, SaveDataAfterAWrapWritesOnlySamplesOfTheScreenShown)
{
    // 1702 samples fill the first screen (positions 0..1701); the next screen starts at position 1.
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_EQ(tick(2000), 2000);
    child<QToolButton>(*w, "runButton")->click();
    ASSERT_EQ(st.SampleIndex, 2000 - 1702 + 1);
    saveData(path("wrapped.txt"));
    QList<QByteArray> lines = fileLines(path("wrapped.txt"));
    ASSERT_EQ(lines.size(), 12 + 1700);
    EXPECT_EQ(line(lines, 13), QByteArray("1\t0\t0\t0\t0\t-\t-\t-\t-\t-"));
    const QList<QByteArray> first = line(lines, 14).split('\t');
    ASSERT_EQ(first.size(), 10);
    EXPECT_EQ(first[0], "1");
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(first[c + 1].toInt(), st.sample(c, 1));
    EXPECT_EQ(first[5], "0.010");
    EXPECT_TRUE(line(lines, 12 + 299).startsWith("298\t"));
    EXPECT_EQ(line(lines, 12 + 300), QByteArray("300\t0\t0\t0\t0\t-\t-\t-\t-\t-"));

    // The next recording that does not wrap writes its first sample again.
    child<QToolButton>(*w, "runButton")->click();
    tick(50);
    child<QToolButton>(*w, "runButton")->click();
    saveData(path("short.txt"));
    lines = fileLines(path("short.txt"));
    EXPECT_TRUE(line(lines, 13).startsWith("0\t"));
    EXPECT_EQ(line(lines, 13).split('\t').value(5), QByteArray("0.000"));
}

TEST_F(DataFilesWindow, TheAnnotationTravelsWithBothFiles)
{
    child<QPlainTextEdit>(*addText, "textEdit")->setPlainText(QStringLiteral("Pump A\nthirty characters of a label.."));
    w->measuring().placeAnnotation(100, 50);
    EXPECT_TRUE(addText->isVisible());
    addText->addTextClick();
    EXPECT_TRUE(st.AnnotationOn);
    const Colour text = st.SettingsColors[Time_Marker];
    EXPECT_GT(pixelsOf(text, 100, 50, 200, 76), 0);

    arm(path("auto.txt"));
    recordSingle();
    saveData(path("screen.txt"));
    const QList<QByteArray> autoLines = fileLines(path("auto.txt"));
    const QList<QByteArray> saveLines = fileLines(path("screen.txt"));
    const QList<QByteArray> block{"COMMENT", "2", "100", "50", "0", "Pump A"};
    for (int i = 0; i < block.size(); ++i) {
        EXPECT_EQ(line(autoLines, autoLines.size() - 7 + i), block[i]);
        EXPECT_EQ(line(saveLines, saveLines.size() - 7 + i), block[i]);
    }
    EXPECT_EQ(line(autoLines, autoLines.size() - 1), QByteArray("thirty characters of a label.."));
    EXPECT_EQ(line(saveLines, saveLines.size() - 1), QByteArray("thirty characters of"));

    addText->removeClick();
    child<QPlainTextEdit>(*addText, "textEdit")->clear();
    EXPECT_EQ(pixelsOf(text, 100, 50, 200, 76), 0);
    open(path("auto.txt"));
    EXPECT_TRUE(st.AnnotationOn);
    EXPECT_EQ(st.AnnotationX, 100);
    EXPECT_EQ(st.AnnotationY, 50);
    EXPECT_EQ(child<QPlainTextEdit>(*addText, "textEdit")->toPlainText(),
              QStringLiteral("Pump A\nthirty characters of a label.."));
    EXPECT_TRUE(child<QPushButton>(*addText, "removeButton")->isEnabled());
    EXPECT_FALSE(child<QLabel>(*addText, "hintLabel")->isHidden());
    EXPECT_GT(pixelsOf(text, 100, 50, 200, 76), 0);

    // A file without an annotation leaves the current one alone.
    child<QPlainTextEdit>(*addText, "textEdit")->setPlainText(QStringLiteral("kept"));
    child<QCheckBox>(*addText, "transparentBox")->click();
    EXPECT_TRUE(st.AnnotationTransparent);
    st.AnnotationOn = false;
    ASSERT_TRUE(QFile::copy(path("screen.txt"), path("plain.txt")));
    {
        QFile f(path("plain.txt"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        QByteArray all = f.readAll();
        all.truncate(all.indexOf("COMMENT"));
        f.resize(0);
        f.write(all);
    }
    open(path("plain.txt"));
    EXPECT_FALSE(st.AnnotationOn);
    EXPECT_EQ(child<QPlainTextEdit>(*addText, "textEdit")->toPlainText(), QStringLiteral("kept"));
    EXPECT_TRUE(st.AnnotationTransparent);
    // The Save Data file's transparency line "0" switches "Transparent text" off.
    open(path("screen.txt"));
    EXPECT_FALSE(st.AnnotationTransparent);
    EXPECT_FALSE(child<QCheckBox>(*addText, "transparentBox")->isChecked());
    EXPECT_EQ(child<QPlainTextEdit>(*addText, "textEdit")->toPlainText(),
              QStringLiteral("Pump A\nthirty characters of"));
}

TEST_F(DataFilesWindow, AnInvalidFileIsRejectedAndChangesNothing)
{
    QFile f(path("bad.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "\r\nSTART: \t1\r\n\r\nTIME STEP:\r\n100 = 3s\r\n\r\nVOLTAGE RANGES:\r\nCH1: \xB1"
        "20V\tCH3: \xB1"
        "20V\r\n"
        "CH2: \xB1"
        "20V\tCH4: \xB1"
        "20V\r\n\r\nN\r\n\r\n0\t1\t1\t1\t1\r\n");
    f.close();
    const QString title = w->windowTitle();
    const QImage screen = w->screenBitmap.image().copy();
    open(path("bad.txt"));
    EXPECT_EQ(rejections, 1);
    EXPECT_EQ(child<QLabel>(*reader, "messageLabel")->text(),
              QStringLiteral("bad.txt  is not a valid Recorder data file."));
    EXPECT_TRUE(st.DataFileName.isEmpty());
    EXPECT_EQ(st.ChannelRange[0], 80);
    EXPECT_EQ(st.TimeDivLabel, QStringLiteral("1s"));
    EXPECT_EQ(w->windowTitle(), title);
    EXPECT_EQ(w->screenBitmap.image(), screen);
    EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Ready"));

    // A file that cannot be opened says so.
    open(path("missing.txt"));
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(rejections, 1);
    EXPECT_TRUE(st.Idle);
}

TEST_F(DataFilesWindow, OddFilesNeverLeaveTheWindowRecording)
{
    const QString data = QStringLiteral(KORVIX_TEST_DATA "/files/data/");
    {
        QFile empty(path("empty.txt"));
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
        QFile header(path("header.txt"));
        ASSERT_TRUE(header.open(QIODevice::WriteOnly));
        QFile compact(data + QStringLiteral("compact.txt"));
        ASSERT_TRUE(compact.open(QIODevice::ReadOnly));
        const QByteArray all = compact.readAll();
        qsizetype end = 0;
        for (int i = 0; i < 12; ++i)
            end = all.indexOf('\n', end) + 1;
        header.write(all.left(end));
    }
    open(path("empty.txt"));
    EXPECT_EQ(rejections, 1);
    // A valid header without a single sample is refused too.
    open(path("header.txt"));
    EXPECT_EQ(rejections, 2);
    EXPECT_EQ(child<QLabel>(*reader, "messageLabel")->text(), QStringLiteral("header.txt  holds no readable samples."));
    expectStopped();
    for (int p = 0; p < 1700; ++p)
        ASSERT_EQ(st.trace(0, p), 255);

    // Damaged lines are blank positions; damaged values stay on the grid; the block's count runs
    // past the end of the file and its position lines are no numbers.
    // It opens, and says how many of its lines were skipped.
    messages.clear();
    open(data + QStringLiteral("damaged.txt"));
    expectStopped();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("6 lines of damaged.txt could not be read and were skipped."));
    messages.clear();
    EXPECT_EQ(st.TimeDivLabel, QStringLiteral("0.5s"));
    EXPECT_EQ(st.trace(0, 0), 255);
    EXPECT_EQ(st.trace(1, 0), 255);
    EXPECT_EQ(st.trace(3, 0), 255 - 1);
    EXPECT_EQ(st.trace(3, 1), 255);
    EXPECT_EQ(st.trace(0, 2), 255);
    EXPECT_EQ(st.trace(1, 2), 0);
    EXPECT_EQ(st.trace(3, 3), 255);
    EXPECT_EQ(st.AnnotationX, 65535);
    EXPECT_EQ(st.AnnotationY, st.GridTop);
    EXPECT_EQ(child<QPlainTextEdit>(*addText, "textEdit")->toPlainText(), QStringLiteral("only one line"));

    // The Windows-1252 annotation of a file that pages on.
    open(data + QStringLiteral("compact.txt"));
    expectStopped();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(child<QPlainTextEdit>(*addText, "textEdit")->toPlainText(), QStringLiteral("first\nsecond é"));
    EXPECT_TRUE(st.AnnotationTransparent);
    EXPECT_TRUE(child<QToolButton>(*w, "nextPageButton")->isEnabled());
    child<QToolButton>(*w, "nextPageButton")->click();
    expectStopped();
    EXPECT_EQ(st.PageEnd, 3400);
    EXPECT_EQ(st.trace(0, 98), 255 - 1799 % 1024 / 4);
    EXPECT_EQ(st.trace(3, 99), 255);
}

// Files that would open to an empty screen without a word: a valid header and no readable sample.
// They are refused like a file without a valid header, and nothing on the window changes.
TEST_F(DataFilesWindow, AFileWithoutAReadableSampleIsRefused)
{
    QFile compact(QStringLiteral(KORVIX_TEST_DATA "/files/data/compact.txt"));
    ASSERT_TRUE(compact.open(QIODevice::ReadOnly));
    const QByteArray all = compact.readAll();
    qsizetype end = 0;
    for (int i = 0; i < 12; ++i)
        end = all.indexOf('\n', end) + 1;
    const QByteArray header = all.left(end);
    const QString title = w->windowTitle();
    const QImage screen = w->screenBitmap.image().copy();
    int expected = 0;
    for (const auto& [name, body] :
         {std::pair<const char*, QByteArray>{"fields.txt", "0\t511\t2\t3\r\n1\t512\t2\r\n"},
          std::pair<const char*, QByteArray>{"float.txt", "0\t5.7e3\t1\t2\t3\r\n1\t5.7e3\t1\t2\t3\r\n"},
          std::pair<const char*, QByteArray>{"stopped.txt",
                                             "\r\nSTOP:  \t1.1.2025\t10:00:00\r\nCOMMENT\r\n1\r\n9\r\n9\r\n"
                                             "0\r\nnot this\r\n"}}) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(header + body);
        f.close();
        open(path(name));
        EXPECT_EQ(rejections, ++expected) << name;
        EXPECT_EQ(child<QLabel>(*reader, "messageLabel")->text(),
                  QString::fromLatin1(name) + QStringLiteral("  holds no readable samples."));
        EXPECT_TRUE(st.DataFileName.isEmpty());
        EXPECT_FALSE(st.AnnotationOn);
        EXPECT_EQ(st.TimeDivLabel, QStringLiteral("1s"));
        EXPECT_EQ(st.ChannelRange[0], 80);
        EXPECT_EQ(w->windowTitle(), title);
        EXPECT_EQ(w->screenBitmap.image(), screen);
        EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Ready"));
    }
    EXPECT_TRUE(messages.empty());

    // One damaged line among samples: the file opens and says so.
    QFile f(path("one.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(header + "0\t511\t2\t3\t4\r\n1\t5.7e3\t2\t3\t4\r\n2\t511\t2\t3\t4\r\n");
    f.close();
    open(path("one.txt"));
    EXPECT_EQ(rejections, expected);
    EXPECT_EQ(st.trace(0, 0), 255 - 511 / 4);
    EXPECT_EQ(st.trace(0, 1), 255);
    EXPECT_EQ(st.trace(0, 2), 255 - 511 / 4);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("1 line of one.txt could not be read and was skipped."));
}

TEST_F(DataFilesWindow, PageButtons)
{
    {
        RecorderState rec;
        rec.RecTimeDivLabel = QStringLiteral("0.1s");
        rec.RecRangeLabel.fill(QStringLiteral("±4V"));
        datafile::AutoSaveWriter writer;
        ASSERT_TRUE(writer.create(path("long.txt")));
        writer.writeHeader(rec, rec);
        for (int n = 0; n < 6000; ++n)
            writer.writeSampleLine(n, {n % 1024, 0, 0, 0}, static_cast<uint64_t>(n), rec.ChannelRange);
        writer.writeTrailer(rec, rec);
    }
    // A click that arrives while the first page is loading is dropped: here it comes when the
    // load puts the file's name in the window title.
    struct ClickDuringLoad : QObject {
        RecorderWindow* window = nullptr;
        bool clicked = false;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::WindowTitleChange && !clicked) {
                clicked = true;
                window->nextPageClick();
            }
            return false;
        }
    } clickDuringLoad;
    clickDuringLoad.window = w.get();
    w->installEventFilter(&clickDuringLoad);
    open(path("long.txt"));
    w->removeEventFilter(&clickDuringLoad);
    EXPECT_TRUE(clickDuringLoad.clicked);
    QCoreApplication::processEvents();
    EXPECT_EQ(st.PageEnd, 1700);
    EXPECT_EQ(st.trace(0, 8), 253);
    EXPECT_FALSE(child<QToolButton>(*w, "previousPageButton")->isEnabled());
    EXPECT_TRUE(child<QToolButton>(*w, "nextPageButton")->isEnabled());
    EXPECT_EQ(st.ChannelRange, (std::array<uint8_t, 4>{40, 40, 40, 40}));

    child<QToolButton>(*w, "nextPageButton")->click();
    EXPECT_EQ(st.PageEnd, 3400);
    EXPECT_EQ(st.trace(0, 0), 255 - 1701 % 1024 / 4);
    EXPECT_TRUE(child<QToolButton>(*w, "previousPageButton")->isEnabled());
    EXPECT_TRUE(child<QToolButton>(*w, "nextPageButton")->isEnabled());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("KORVIX Recorder / Logger - long.txt"));
    EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Stopped"));
    EXPECT_FALSE(st.FileViewMode);
    EXPECT_FALSE(st.PageTurnMode);

    // Arming an auto-save file does not change the file the page buttons browse.
    arm(path("armed.txt"));
    child<QToolButton>(*w, "previousPageButton")->click();
    EXPECT_EQ(st.PageEnd, 1700);
    EXPECT_EQ(st.trace(0, 1700), 255 - 1700 % 1024 / 4);
    EXPECT_FALSE(child<QToolButton>(*w, "previousPageButton")->isEnabled());
    EXPECT_TRUE(child<QToolButton>(*w, "nextPageButton")->isEnabled());

    // A page is no recording: the armed file stays empty and armed.
    EXPECT_EQ(QFile(path("armed.txt")).size(), 0);
    EXPECT_TRUE(st.AutoSaveOn);

    // A live recording starts from PageEnd 1700 with the page buttons off.
    child<QToolButton>(*w, "nextPageButton")->click();
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_EQ(st.PageEnd, 1700);
    EXPECT_FALSE(child<QToolButton>(*w, "nextPageButton")->isEnabled());
    child<QToolButton>(*w, "runButton")->click();
}

TEST_F(DataFilesWindow, OpenDataKeepsAnArmedFileForTheNextRecording)
{
    {
        RecorderState rec;
        rec.RecTimeDivLabel = QStringLiteral("1s");
        rec.RecRangeLabel.fill(QStringLiteral("±2V"));
        datafile::AutoSaveWriter writer;
        ASSERT_TRUE(writer.create(path("view.txt")));
        writer.writeHeader(rec, rec);
        for (int n = 0; n < 4000; ++n)
            writer.writeSampleLine(n, {n % 1024, 0, 0, 0}, static_cast<uint64_t>(n) * 10, rec.ChannelRange);
        writer.writeTrailer(rec, rec);
    }
    timeButton(*w, 12)->click();
    arm(path("armed.txt"));
    open(path("view.txt"));
    child<QToolButton>(*w, "nextPageButton")->click();
    child<QToolButton>(*w, "previousPageButton")->click();
    EXPECT_EQ(st.TimeDivLabel, QStringLiteral("1s"));
    EXPECT_TRUE(st.AutoSaveOn);
    EXPECT_EQ(QFile(path("armed.txt")).size(), 0);
    EXPECT_GT(autoSaveMarkPixels(), 0);
    EXPECT_TRUE(messages.empty());

    // The next recording goes into the armed file, under the time base it runs with.
    timeButton(*w, 12)->click();
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_EQ(tick(30), 30);
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_FALSE(st.AutoSaveOn);
    EXPECT_EQ(autoSaveMarkPixels(), 0);
    const QList<QByteArray> lines = fileLines(path("armed.txt"));
    ASSERT_EQ(lines.size(), 12 + 30 + 2);
    EXPECT_EQ(line(lines, 5), QByteArray("100 = 0.1s"));
    EXPECT_TRUE(line(lines, 13).startsWith("0\t"));
    EXPECT_EQ(line(lines, 42).split('\t').value(5), QByteArray("0.029"));
    EXPECT_TRUE(line(lines, 44).startsWith("STOP:  \t"));
    // The viewed file is untouched.
    EXPECT_EQ(fileLines(path("view.txt")).size(), 12 + 4000 + 2);
}

// The two auto-save texts are the user's one sign that the next recording is saved: every full
// redraw of the screen keeps them while the file is armed.
TEST_F(DataFilesWindow, TheAutoSaveTextsSurviveEveryFullRedraw)
{
    arm(path("auto.txt"));
    const int x = w->screen.autoSaveMarkX();
    const QImage mark = w->screenBitmap.image().copy(x, 0, Screen::ImageWidth - x, 18);
    ASSERT_GT(autoSaveMarkPixels(), 0);
    auto markShown = [&] { return w->screenBitmap.image().copy(x, 0, Screen::ImageWidth - x, 18) == mark; };

    fire(child<QAction>(*w, "brightGridAction"));
    EXPECT_TRUE(markShown()) << "Bright Grid on";
    fire(child<QAction>(*w, "brightGridAction"));
    EXPECT_TRUE(markShown()) << "Bright Grid off";
    child<QAction>(*w, "markersDeltaTimeAction")->setChecked(true);
    fire(child<QAction>(*w, "markersDeltaTimeAction"));
    EXPECT_TRUE(markShown()) << "markers on";  // the time readout redraws the sample rate
    child<QAction>(*w, "markersDeltaTimeAction")->setChecked(false);
    fire(child<QAction>(*w, "markersDeltaTimeAction"));
    EXPECT_TRUE(markShown()) << "markers off";
    child<QPlainTextEdit>(*addText, "textEdit")->setPlainText(QStringLiteral("note"));
    w->measuring().placeAnnotation(100, 50);
    addText->addTextClick();
    EXPECT_TRUE(markShown()) << "Add Text";
    addText->removeClick();
    EXPECT_TRUE(markShown()) << "Remove";
    w->applyColours();
    st.ClearPending = true;
    w->screen.redrawIfClearPending();
    EXPECT_TRUE(markShown()) << "colours";
    for (int c = 0; c < 4; ++c) {
        QCheckBox* box = channelSwitch(*w, c);
        box->click();
        EXPECT_TRUE(markShown()) << "channel off";
        box->click();
        EXPECT_TRUE(markShown()) << "channel on";
    }

    // While the recording writes the file, the line that names it stays too.
    child<QToolButton>(*w, "runButton")->click();
    tick(20);
    const QRect bottom(0, st.BottomTextY, Screen::ImageWidth, Screen::ImageHeight - st.BottomTextY);
    const QImage saving = w->screenBitmap.image().copy(bottom);
    ASSERT_GT(pixelsOf(st.ActiveColors[Ch1], st.GridLeft, st.BottomTextY, 300, Screen::ImageHeight), 0);
    st.ClearPending = true;
    w->screen.redrawIfClearPending();
    EXPECT_EQ(w->screenBitmap.image().copy(bottom), saving);
    EXPECT_TRUE(markShown()) << "redraw during the recording";
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_EQ(autoSaveMarkPixels(), 0);
    EXPECT_NE(w->screenBitmap.image().copy(bottom), saving);
    // Disarmed: a redraw brings nothing back.
    st.ClearPending = true;
    w->screen.redrawIfClearPending();
    EXPECT_EQ(autoSaveMarkPixels(), 0);
}

TEST_F(DataFilesWindow, AWriteErrorStopsTheRecordingOnceAndKeepsTheFile)
{
    // The medium fails during the recording: every flush fails from the first sample on.
    arm(path("auto.txt"));
    child<QToolButton>(*w, "runButton")->click();
    tick(5);
    int64_t t = 0;
    w->files().autoSaveFile = std::make_shared<datafile::AutoSaveWriter>([&t] { return t += 2000; });
    ASSERT_TRUE(QFile::exists(QStringLiteral("/dev/full")) &&
                w->files().autoSaveFile->create(QStringLiteral("/dev/full")));
    w->session->takeDemoSamples(1);
    EXPECT_FALSE(st.AutoSaveOn);
    EXPECT_FALSE(w->session->demoTimer()->Enabled());
    QCoreApplication::processEvents();
    EXPECT_TRUE(st.Idle);
    EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Stopped"));
    EXPECT_FALSE(child<QToolButton>(*w, "runButton")->isChecked());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("/dev/full")));
    // What was written before the failure stays.
    EXPECT_GE(fileLines(path("auto.txt")).size(), 12);

    // The header cannot be written: the recording ends at once.
    messages.clear();
    arm(QStringLiteral("/dev/full"));
    ASSERT_TRUE(st.AutoSaveOn);
    child<QToolButton>(*w, "singleButton")->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(st.Idle);
    EXPECT_FALSE(st.AutoSaveOn);
    EXPECT_FALSE(child<QToolButton>(*w, "singleButton")->isChecked());
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(autoSaveMarkPixels(), 0);

    // The lines are still collected when the stop comes, and the trailer's flush fails.
    messages.clear();
    arm(path("late.txt"));
    child<QToolButton>(*w, "runButton")->click();
    w->files().autoSaveFile = std::make_shared<datafile::AutoSaveWriter>([] { return int64_t{0}; });
    ASSERT_TRUE(w->files().autoSaveFile->create(QStringLiteral("/dev/full")));
    tick(5);
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_TRUE(st.Idle);
    EXPECT_FALSE(st.AutoSaveOn);
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.size(), 1u);
}

#if defined(__linux__)
// The medium fills up in the middle of a line during a recording: one message with the system's
// reason, and a file that ends on a whole line, the STOP line after it when it fits.
TEST_F(DataFilesWindow, AFullMediumEndsTheFileOnAWholeLine)
{
    timeButton(*w, 12)->click();
    arm(path("auto.txt"));
    // Every line is handed to the system at once.
    int64_t t = 0;
    w->files().autoSaveFile = std::make_shared<datafile::AutoSaveWriter>([&t] { return t += 2000; });
    ASSERT_TRUE(w->files().autoSaveFile->create(path("auto.txt")));
    {
        FileSizeLimit limit(4000);
        if (!limit.ok())
            GTEST_SKIP() << "the file size limit cannot be set";
        child<QToolButton>(*w, "runButton")->click();
        tick(1000);
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(st.Idle);
    EXPECT_FALSE(st.AutoSaveOn);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(QString::fromLocal8Bit(std::strerror(EFBIG))))
        << messages[0].text.toStdString();
    EXPECT_FALSE(messages[0].text.contains(QStringLiteral("Unknown error")));

    QFile f(path("auto.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    EXPECT_LE(all.size(), 4000);
    ASSERT_TRUE(all.endsWith("\r\n"));
    QList<QByteArray> lines = fileLines(path("auto.txt"));
    ASSERT_GT(lines.size(), 14);
    // The STOP line is there unless the room left after the last whole line was too small for it.
    const qsizetype stopPiece = 2 + 8 + st.StopStamp.str().size() + 2;
    if (line(lines, lines.size()).startsWith("STOP:  \t")) {
        EXPECT_EQ(line(lines, lines.size() - 1), QByteArray());
        lines.resize(lines.size() - 2);
    } else {
        EXPECT_LT(4000 - all.size(), stopPiece);
    }
    for (int n = 13; n <= lines.size(); ++n)
        ASSERT_EQ(line(lines, n).split('\t').size(), 10) << n;
}
#endif

TEST_F(DataFilesWindow, ArmingAgainReplacesTheArmedFile)
{
    arm(path("first.txt"));
    arm(path("second.txt"));
    EXPECT_EQ(QFile(path("first.txt")).size(), 0);
    // Cancel, a file that cannot be created, and Save Data onto the armed file: still armed.
    answers.push_back(QString());
    fire(child<QAction>(*w, "autoSaveAction"));
    arm(dir.filePath(QStringLiteral("no/such/folder/x.txt")));
    EXPECT_EQ(messages.size(), 1u);
    recordSingle();
    EXPECT_FALSE(st.AutoSaveOn);
    EXPECT_EQ(fileLines(path("second.txt")).size(), 12 + 1701 + 2);
    EXPECT_EQ(QFile(path("first.txt")).size(), 0);

    arm(path("third.txt"));
    saveData(path("third.txt"));
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(QFile(path("third.txt")).size(), 0);
    EXPECT_TRUE(st.AutoSaveOn);
}

TEST_F(DataFilesWindow, SaveDataIsOfferedOnlyForARecordedStoppedScreen)
{
    emit child<QMenu>(*w, "fileMenu")->aboutToShow();
    EXPECT_FALSE(child<QAction>(*w, "saveDataAction")->isEnabled());
    saveData(path("nothing.txt"));
    EXPECT_FALSE(QFile::exists(path("nothing.txt")));
    child<QToolButton>(*w, "runButton")->click();
    tick(3);
    emit child<QMenu>(*w, "fileMenu")->aboutToShow();
    EXPECT_FALSE(child<QAction>(*w, "saveDataAction")->isEnabled());
    // The file handlers do nothing during a recording, even when called.
    const size_t asked = dialogs.size();
    fire(child<QAction>(*w, "saveDataAction"));
    fire(child<QAction>(*w, "autoSaveAction"));
    fire(child<QAction>(*w, "openDataAction"));
    w->nextPageClick();
    EXPECT_EQ(dialogs.size(), asked);
    EXPECT_FALSE(st.Idle);
    child<QToolButton>(*w, "runButton")->click();
    emit child<QMenu>(*w, "fileMenu")->aboutToShow();
    EXPECT_TRUE(child<QAction>(*w, "saveDataAction")->isEnabled());
}

}  // namespace
