#include "ui/DataFileBrowser.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "files/DataFileFormat.h"
#include "files/DataFilePaging.h"
#include "ui/FileDialogs.h"
#include "ui/AddTextWindow.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/RecorderWindow.h"

namespace {

// Marks the reader busy for the length of one page load.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

std::string_view orEmpty(const std::optional<std::string>& s)
{
    return s ? std::string_view(*s) : std::string_view();
}

}  // namespace

DataFileBrowser::DataFileBrowser(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DataFileBrowser"));
    setWindowTitle(QStringLiteral("File Error"));
    setModal(true);
    messageLabel = new QLabel(this);
    messageLabel->setObjectName(QStringLiteral("messageLabel"));
    messageLabel->move(4, 16);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setGeometry(64, 44, 93, 29);
    connect(okButton, &QPushButton::clicked, this, &DataFileBrowser::okClick);
    resize(225, 81);
}

RecorderWindow* DataFileBrowser::recorder() const
{
    if (auto* w = qobject_cast<RecorderWindow*>(parentWidget()))
        return w;
    return windows().recorder;
}

void DataFileBrowser::openDataFile()
{
    RecorderWindow* w = recorder();
    if (w == nullptr || busy_)
        return;
    RecorderState& st = w->st;
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.objectName = QStringLiteral("openDataDialog");
    request.title = QStringLiteral("Open Data");
    request.directory = w->settings().dataDir;
    const QString path = runFileDialog(w, request);
    if (path.isEmpty())
        return;

    BusyScope busy(busy_);
    st.DataFileName = path;
    if (!lines_.open(path)) {
        showMessage(
            w, {QMessageBox::Warning, QStringLiteral("Open Data"),
                QStringLiteral("%1 could not be opened:\r%2").arg(QFileInfo(path).fileName(), lines_.errorString()),
                QMessageBox::Ok});
        return;
    }

    const datafile::HeaderInfo header =
        datafile::recogniseHeader(orEmpty(lines_.line(5)), orEmpty(lines_.line(8)), orEmpty(lines_.line(9)));
    // A recorder file without one readable sample would open to an empty screen without a word.
    if (header.valid() && lines_.sampleLines() == 0) {
        reject(*w, path, QStringLiteral("  holds no readable samples."));
        return;
    }

    const datafile::AnnotationInfo annotation =
        lines_.readAnnotation(static_cast<uint16_t>(st.GridLeft), static_cast<uint16_t>(st.GridTop));
    if (annotation.count > 0)
        applyAnnotation(*w, annotation);

    if (!header.valid()) {
        reject(*w, path, QStringLiteral("  is not a valid Recorder data file."));
        return;
    }

    // The recording's time base and ranges, as if their buttons had been pressed.
    w->timeButtons[static_cast<size_t>(header.timeIndex)]->setChecked(true);
    for (size_t c = 0; c < 4; ++c)
        w->rangeButtons[c][static_cast<size_t>(header.rangeIndex[c])]->setChecked(true);
    w->timeButtonClick(header.timeIndex);
    for (int c = 0; c < 4; ++c)
        w->rangeButtonClick(c, header.rangeIndex[static_cast<size_t>(c)]);

    viewed_ = path;
    const datafile::PageSpan span = datafile::openSpan();
    st.FileViewMode = true;
    w->startRecording();
    st.ScreenSamples = datafile::drawnPositions(datafile::fillScreen(lines_, span, st));
    w->stopRecording();
    st.FileViewMode = false;
    w->previousPageButton->setEnabled(false);
    w->nextPageButton->setEnabled(false);

    const datafile::PageState next = datafile::afterOpen(lines_, span);
    st.PageEnd = next.pageEnd;
    w->nextPageButton->setEnabled(next.forward);
    lines_.close();

    // Damaged lines take their screen positions without a sample; the user learns how many.
    if (const int64_t damaged = lines_.damagedLines(); damaged > 0) {
        const QString name = QFileInfo(path).fileName();
        showMessage(
            w,
            {QMessageBox::Warning, QStringLiteral("Open Data"),
             damaged == 1 ? QStringLiteral("1 line of %1 could not be read and was skipped.").arg(name)
                          : QStringLiteral("%1 lines of %2 could not be read and were skipped.").arg(damaged).arg(name),
             QMessageBox::Ok});
    }
}

void DataFileBrowser::showSpan(RecorderWindow& w, const datafile::PageSpan& span)
{
    // A page turn runs the start and stop sequences of a recording around the file's lines, without
    // timers or device commands.
    RecorderState& st = w.st;
    st.FileViewMode = true;
    st.PageTurnMode = true;
    w.startRecording();
    st.ScreenSamples = datafile::drawnPositions(datafile::fillScreen(lines_, span, st));
    w.stopRecording();
    st.FileViewMode = false;
    st.PageTurnMode = false;
}

void DataFileBrowser::showNextPage()
{
    RecorderWindow* w = recorder();
    if (w == nullptr || busy_)
        return;
    BusyScope busy(busy_);
    RecorderState& st = w->st;
    w->nextPageButton->setEnabled(false);
    if (!reopen(*w))
        return;
    const datafile::PageSpan span = datafile::forwardSpan(st.PageEnd);
    showSpan(*w, span);

    const datafile::PageState next = datafile::afterForward(lines_, span, st.PageEnd);
    st.PageEnd = next.pageEnd;
    w->previousPageButton->setEnabled(true);
    w->nextPageButton->setEnabled(next.forward);
    lines_.close();
}

void DataFileBrowser::showPreviousPage()
{
    RecorderWindow* w = recorder();
    if (w == nullptr || busy_)
        return;
    BusyScope busy(busy_);
    RecorderState& st = w->st;
    w->previousPageButton->setEnabled(false);
    if (!reopen(*w))
        return;
    const datafile::PageSpan span = datafile::backSpan(st.PageEnd);
    showSpan(*w, span);
    w->previousPageButton->setEnabled(false);
    w->nextPageButton->setEnabled(false);

    const datafile::PageState next = datafile::afterBack(lines_, span, st.PageEnd);
    st.PageEnd = next.pageEnd;
    w->previousPageButton->setEnabled(next.back);
    w->nextPageButton->setEnabled(next.forward);
    lines_.close();
}

bool DataFileBrowser::reopen(RecorderWindow& w)
{
    // The page buttons browse the file on view; the caption names it again.
    w.st.DataFileName = viewed_;
    if (lines_.open(viewed_))
        return true;
    showMessage(&w,
                {QMessageBox::Warning, QStringLiteral("Open Data"),
                 QStringLiteral("%1 could not be opened:\r%2").arg(QFileInfo(viewed_).fileName(), lines_.errorString()),
                 QMessageBox::Ok});
    return false;
}

void DataFileBrowser::applyAnnotation(RecorderWindow& w, const datafile::AnnotationInfo& annotation)
{
    RecorderState& st = w.st;
    st.AnnotationX = annotation.x;
    st.AnnotationY = annotation.y;
    if (annotation.transparent)
        st.AnnotationTransparent = *annotation.transparent;
    st.AnnotationText = datafile::annotationText(annotation.lines);
    if (AddTextWindow* addText = windows().addText)
        addText->annotationLoaded();
    st.AnnotationOn = true;
    st.ClearPending = true;
    w.redrawIfClearPending();
}

void DataFileBrowser::reject(RecorderWindow& w, const QString& path, const QString& reason)
{
    messageLabel->setText(QFileInfo(path).fileName() + reason);
    messageLabel->adjustSize();
    resize(std::max(225, messageLabel->x() + messageLabel->width() + 8), height());
    lines_.close();
    w.st.DataFileName.clear();
    showModal();
}
