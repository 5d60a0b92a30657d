// The data-file handlers of the recorder window: "Save Data...", "AutoSave Data..." with the three
// writing steps the recording calls, "Open Data..." and the page buttons "<<" and ">>".
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "files/DataFileFormat.h"
#include "files/DataFileWriter.h"
#include "ui/FileDialogs.h"
#include "ui/DataFileBrowser.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "screen/LocaleTexts.h"
#include "ui/RecorderWindow.h"

namespace {

char localeSeparator()
{
    return datafile::decimalSeparatorOf(QLocale().decimalPoint());
}

QString nativeName(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool sameFile(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// Draws (or, in the background colour, erases) both auto-save texts.
void drawAutoSaveTexts(RecorderWindow& w, const QString& path, Colour colour)
{
    w.screen.drawAutoSaveFileLine(path, colour);
    w.screen.drawAutoSaveMark(colour);
}

// The armed file is done with: its texts leave the screen and the other texts come back.
void disarm(RecorderWindow& w, const QString& path)
{
    w.st.AutoSaveOn = false;
    w.screen.autoSaveFile.clear();
    drawAutoSaveTexts(w, path, w.st.ActiveColors[Background]);
    w.drawScaleTexts();
    w.screen.refreshImage();
}

// A write to the armed file failed during a recording: the file keeps what was written before,
// ending on a whole line and, where it fits, the STOP line; auto-save ends, and the recording is
// ended through the normal stop sequence. The stop and the message come once the current handler
// has returned, so that the sampling step that failed completes first (in device mode the loop
// itself runs the stop sequence at the end of its pass).
void autoSaveFailed(RecorderWindow& w)
{
    RecorderState& st = w.st;
    const QString path = w.AutoSaveFile ? w.AutoSaveFile->path() : QString();
    const QString reason = w.AutoSaveFile ? w.AutoSaveFile->errorString() : QString();
    if (w.AutoSaveFile) {
        // The saved recording ends here: its STOP line follows the last whole line, if it fits.
        st.StopStamp = shortDateText(QDate::currentDate()) + QLatin1Char('\t') + longTimeText(QTime::currentTime());
        w.AutoSaveFile->writeTrailer(st, st);
    }
    w.AutoSaveFile.reset();
    if (st.AutoSaveOn)
        disarm(w, path);
    // The session completes the sample in hand and stops after it.
    w.session->requestStop(StopReason::WriteError);
    const QString text = QStringLiteral(
                             "The data file %1 could not be written:\r%2\r\r"
                             "The recording was stopped. Everything written before the error is kept "
                             "in the file.")
                             .arg(nativeName(path), reason);
    QMetaObject::invokeMethod(
        &w,
        [&w, text] {
            // A recording still running (its header could not be written, or no batch has
            // come since) is stopped here.
            if (w.session->running())
                w.session->stop(StopReason::WriteError);
            showMessage(&w, {QMessageBox::Critical, QStringLiteral("AutoSave Data"), text, QMessageBox::Ok});
        },
        Qt::QueuedConnection);
}

}  // namespace

void RecorderWindow::fileMenuShown()
{
    // Save Data needs at least two recorded positions, and never runs during a recording.
    saveDataAction->setEnabled(st.SampleIndex > 1 && st.Idle);
}

void RecorderWindow::saveDataClick()
{
    // The file items are disabled during a recording; a late call changes nothing either.
    if (!st.Idle)
        return;
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.objectName = QStringLiteral("saveDataDialog");
    request.title = QStringLiteral("Save Data");
    request.directory = settings().dataDir;
    request.fileName = QStringLiteral("*.txt");
    const QString path = runFileDialog(this, request);
    if (path.isEmpty() || st.SampleIndex <= 1)
        return;
    if (AutoSaveFile && AutoSaveFile->isOpen() && sameFile(path, AutoSaveFile->path())) {
        showMessage(this, {QMessageBox::Warning, QStringLiteral("Save Data"),
                           QStringLiteral("%1 is the armed AutoSave file; it is kept for the next recording.\r"
                                          "Choose another name for the screen data.")
                               .arg(nativeName(path)),
                           QMessageBox::Ok});
        return;
    }
    const std::string content = datafile::formatSaveData(st, st, st, st, localeSeparator());
    // Written beside the target and renamed over it at the end, so a failed write leaves any
    // earlier file of that name intact.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    const bool ok =
        file.open(QIODevice::WriteOnly) &&
        file.write(content.data(), static_cast<qint64>(content.size())) == static_cast<qint64>(content.size()) &&
        file.commit();
    if (!ok)
        showMessage(this,
                    {QMessageBox::Critical, QStringLiteral("Save Data"),
                     QStringLiteral("The file %1 could not be written:\r%2").arg(nativeName(path), file.errorString()),
                     QMessageBox::Ok});
}

void RecorderWindow::autoSaveClick()
{
    // Arming during a recording would cut the file in use.
    if (!st.Idle)
        return;
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.objectName = QStringLiteral("autoSaveDialog");
    request.title = QStringLiteral("AutoSave Data");
    request.directory = settings().dataDir;
    const QString path = runFileDialog(this, request);
    if (path.isEmpty())
        return;  // an armed file stays armed
    auto writer = std::make_shared<datafile::AutoSaveWriter>();
    if (!writer->create(path)) {
        showMessage(
            this, {QMessageBox::Critical, QStringLiteral("AutoSave Data"),
                   QStringLiteral("The file %1 could not be created:\r%2").arg(nativeName(path), writer->errorString()),
                   QMessageBox::Ok});
        return;
    }
    // A file armed before holds no recording yet: it is closed and stays empty.
    if (AutoSaveFile)
        AutoSaveFile->close();
    AutoSaveFile = writer;
    st.DataFileName = path;
    st.AutoSaveOn = true;
    screen.autoSaveFile = path;
    screen.drawAutoSaveMark(st.ActiveColors[Ch1]);
    screen.refreshImage();
}

void RecorderWindow::WriteAutoSaveHeader()
{
    // Without an armed file (AutoSaveOn set by hand) there is nothing to write. A page of a data
    // file passes through the start and stop sequences but is no recording: the armed file is
    // neither written nor used up, and waits for the next recording.
    if (!AutoSaveFile || st.FileViewMode)
        return;
    AutoSaveFile->decimalSeparator = localeSeparator();
    if (!AutoSaveFile->writeHeader(st, st)) {
        autoSaveFailed(*this);
        return;
    }
    drawAutoSaveTexts(*this, AutoSaveFile->path(), st.ActiveColors[Ch1]);
    screen.refreshImage();
}

void RecorderWindow::WriteSampleLine(int position, double timeStep)
{
    if (st.DemoMode)
        for (int c = 0; c < ChannelCount; ++c)
            st.sample(c, position) = sampleOfScreenValue(st.trace(c, position));
    const std::array<int32_t, 4> raw{st.sample(0, position), st.sample(1, position), st.sample(2, position),
                                     st.sample(3, position)};
    const auto stepMs = static_cast<uint64_t>(std::llround(timeStep * 1000.0));
    const auto n = st.AutoSaveLineNo++;
    // Without an armed file (AutoSaveOn set by hand) the lines are only counted.
    if (AutoSaveFile && !AutoSaveFile->writeSampleLine(n, raw, static_cast<uint64_t>(n) * stepMs, st.ChannelRange))
        autoSaveFailed(*this);
}

void RecorderWindow::WriteAutoSaveTrailer()
{
    if (st.FileViewMode)
        return;
    const QString path = AutoSaveFile ? AutoSaveFile->path() : QString();
    const bool ok = !AutoSaveFile || AutoSaveFile->writeTrailer(st, st);
    const QString reason = AutoSaveFile ? AutoSaveFile->errorString() : QString();
    // One armed file holds one recording.
    AutoSaveFile.reset();
    disarm(*this, path);
    if (!ok) {
        const QString text = QStringLiteral(
                                 "The end of the data file %1 could not be written:\r%2\r\r"
                                 "The recorded lines before it are kept in the file.")
                                 .arg(nativeName(path), reason);
        // Shown once the stop sequence is complete.
        QMetaObject::invokeMethod(
            this,
            [this, text] {
                showMessage(this, {QMessageBox::Critical, QStringLiteral("AutoSave Data"), text, QMessageBox::Ok});
            },
            Qt::QueuedConnection);
    }
}

void RecorderWindow::openDataClick()
{
    DataFileBrowser* reader = windows().dataFileBrowser;
    if (reader == nullptr || reader->busy() || !st.Idle)
        return;
    reader->openDataFile();
    updateTimeReadout();
}

void RecorderWindow::nextPageClick()
{
    DataFileBrowser* reader = windows().dataFileBrowser;
    // A click that arrives while a page is being loaded (or during a recording) is dropped.
    if (reader == nullptr || reader->busy() || !st.Idle)
        return;
    reader->showNextPage();
    updateTimeReadout();
}

void RecorderWindow::previousPageClick()
{
    DataFileBrowser* reader = windows().dataFileBrowser;
    if (reader == nullptr || reader->busy() || !st.Idle)
        return;
    reader->showPreviousPage();
    updateTimeReadout();
}
