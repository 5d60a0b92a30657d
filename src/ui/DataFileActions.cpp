#include "ui/DataFileActions.h"

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
#include "ui/MeasuringTools.h"
#include "recording/RecordingSession.h"
#include "screen/Screen.h"
#include "settings/Settings.h"

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

}  // namespace

DataFileActions::DataFileActions(QWidget* window, RecorderState& state, Screen& screen, RecordingSession& session,
                                 MeasuringTools& measuring, std::function<const AppSettings&()> settings)
    : QObject(window),
      st(state),
      screen_(screen),
      session_(session),
      measuring_(measuring),
      window_(window),
      settings_(std::move(settings))
{
}

// Draws (or, in the background colour, erases) both auto-save texts.
void DataFileActions::drawAutoSaveTexts(const QString& path, Colour colour)
{
    screen_.drawAutoSaveFileLine(path, colour);
    screen_.drawAutoSaveMark(colour);
}

// The armed file is done with: its texts leave the screen and the other texts come back.
void DataFileActions::disarm(const QString& path)
{
    st.AutoSaveOn = false;
    screen_.autoSaveFile.clear();
    drawAutoSaveTexts(path, st.ActiveColors[Background]);
    screen_.drawScaleTexts();
    screen_.refreshImage();
}

// A write to the armed file failed during a recording: the file keeps what was written before,
// ending on a whole line and, where it fits, the STOP line; auto-save ends, and the recording is
// ended through the normal stop sequence. The stop and the message come once the current handler
// has returned, so that the sampling step that failed completes first (in device mode the loop
// itself runs the stop sequence at the end of its pass).
void DataFileActions::autoSaveFailed()
{
    const QString path = autoSaveFile ? autoSaveFile->path() : QString();
    const QString reason = autoSaveFile ? autoSaveFile->errorString() : QString();
    if (autoSaveFile) {
        // The saved recording ends here: its STOP line follows the last whole line, if it fits.
        st.StopStamp = shortDateText(QDate::currentDate()) + QLatin1Char('\t') + longTimeText(QTime::currentTime());
        autoSaveFile->writeTrailer(st, st);
    }
    autoSaveFile.reset();
    if (st.AutoSaveOn)
        disarm(path);
    // The session completes the sample in hand and stops after it.
    session_.requestStop(StopReason::WriteError);
    const QString text = QStringLiteral(
                             "The data file %1 could not be written:\r%2\r\r"
                             "The recording was stopped. Everything written before the error is kept "
                             "in the file.")
                             .arg(nativeName(path), reason);
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            // A recording still running (its header could not be written, or no batch has
            // come since) is stopped here.
            if (session_.running())
                session_.stop(StopReason::WriteError);
            showMessage(window_, {QMessageBox::Critical, QStringLiteral("AutoSave Data"), text, QMessageBox::Ok});
        },
        Qt::QueuedConnection);
}

void DataFileActions::saveDataClick()
{
    // The file items are disabled during a recording; a late call changes nothing either.
    if (!st.Idle)
        return;
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.objectName = QStringLiteral("saveDataDialog");
    request.title = QStringLiteral("Save Data");
    request.directory = settings_().dataDir;
    request.fileName = QStringLiteral("*.txt");
    const QString path = runFileDialog(window_, request);
    if (path.isEmpty() || st.SampleIndex <= 1)
        return;
    if (autoSaveFile && autoSaveFile->isOpen() && sameFile(path, autoSaveFile->path())) {
        showMessage(window_, {QMessageBox::Warning, QStringLiteral("Save Data"),
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
        showMessage(window_,
                    {QMessageBox::Critical, QStringLiteral("Save Data"),
                     QStringLiteral("The file %1 could not be written:\r%2").arg(nativeName(path), file.errorString()),
                     QMessageBox::Ok});
}

void DataFileActions::autoSaveClick()
{
    // Arming during a recording would cut the file in use.
    if (!st.Idle)
        return;
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.objectName = QStringLiteral("autoSaveDialog");
    request.title = QStringLiteral("AutoSave Data");
    request.directory = settings_().dataDir;
    const QString path = runFileDialog(window_, request);
    if (path.isEmpty())
        return;  // an armed file stays armed
    auto writer = std::make_shared<datafile::AutoSaveWriter>();
    if (!writer->create(path)) {
        showMessage(
            window_,
            {QMessageBox::Critical, QStringLiteral("AutoSave Data"),
             QStringLiteral("The file %1 could not be created:\r%2").arg(nativeName(path), writer->errorString()),
             QMessageBox::Ok});
        return;
    }
    // A file armed before holds no recording yet: it is closed and stays empty.
    if (autoSaveFile)
        autoSaveFile->close();
    autoSaveFile = writer;
    st.DataFileName = path;
    st.AutoSaveOn = true;
    screen_.autoSaveFile = path;
    screen_.drawAutoSaveMark(st.ActiveColors[Ch1]);
    screen_.refreshImage();
}

void DataFileActions::writeAutoSaveHeader()
{
    // Without an armed file (AutoSaveOn set by hand) there is nothing to write. A page of a data
    // file passes through the start and stop sequences but is no recording: the armed file is
    // neither written nor used up, and waits for the next recording.
    if (!autoSaveFile || st.FileViewMode)
        return;
    autoSaveFile->decimalSeparator = localeSeparator();
    if (!autoSaveFile->writeHeader(st, st)) {
        autoSaveFailed();
        return;
    }
    drawAutoSaveTexts(autoSaveFile->path(), st.ActiveColors[Ch1]);
    screen_.refreshImage();
}

void DataFileActions::writeSampleLine(int position, double timeStep)
{
    if (st.DemoMode)
        for (int c = 0; c < ChannelCount; ++c)
            st.sample(c, position) = sampleOfScreenValue(st.trace(c, position));
    const std::array<int32_t, 4> raw{st.sample(0, position), st.sample(1, position), st.sample(2, position),
                                     st.sample(3, position)};
    const auto stepMs = static_cast<uint64_t>(std::llround(timeStep * 1000.0));
    const auto n = st.AutoSaveLineNo++;
    // Without an armed file (AutoSaveOn set by hand) the lines are only counted.
    if (autoSaveFile && !autoSaveFile->writeSampleLine(n, raw, static_cast<uint64_t>(n) * stepMs, st.ChannelRange))
        autoSaveFailed();
}

void DataFileActions::writeAutoSaveTrailer()
{
    if (st.FileViewMode)
        return;
    const QString path = autoSaveFile ? autoSaveFile->path() : QString();
    const bool ok = !autoSaveFile || autoSaveFile->writeTrailer(st, st);
    const QString reason = autoSaveFile ? autoSaveFile->errorString() : QString();
    // One armed file holds one recording.
    autoSaveFile.reset();
    disarm(path);
    if (!ok) {
        const QString text = QStringLiteral(
                                 "The end of the data file %1 could not be written:\r%2\r\r"
                                 "The recorded lines before it are kept in the file.")
                                 .arg(nativeName(path), reason);
        // Shown once the stop sequence is complete.
        QMetaObject::invokeMethod(
            this,
            [this, text] {
                showMessage(window_, {QMessageBox::Critical, QStringLiteral("AutoSave Data"), text, QMessageBox::Ok});
            },
            Qt::QueuedConnection);
    }
}

void DataFileActions::openDataClick()
{
    DataFileBrowser* reader = windows().dataFileBrowser;
    if (reader == nullptr || reader->busy() || !st.Idle)
        return;
    reader->openDataFile();
    measuring_.updateTimeReadout();
}

void DataFileActions::nextPageClick()
{
    DataFileBrowser* reader = windows().dataFileBrowser;
    // A click that arrives while a page is being loaded (or during a recording) is dropped.
    if (reader == nullptr || reader->busy() || !st.Idle)
        return;
    reader->showNextPage();
    measuring_.updateTimeReadout();
}

void DataFileActions::previousPageClick()
{
    DataFileBrowser* reader = windows().dataFileBrowser;
    if (reader == nullptr || reader->busy() || !st.Idle)
        return;
    reader->showPreviousPage();
    measuring_.updateTimeReadout();
}
