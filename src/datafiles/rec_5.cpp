#include "datafiles/rec_5.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "datafiles/DataFileFormat.h"
#include "datafiles/DataFilePaging.h"
#include "datafiles/FileDialogs.h"
#include "display/Unit_9rec.h"
#include "shell/Application.h"
#include "shell/Dialogs.h"
#include "shell/Winrecx.h"

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

TForm5_rec::TForm5_rec(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form5_rec"));
    setWindowTitle(QStringLiteral("File Error"));
    setModal(true);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(4, 16);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(64, 44, 93, 29);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm5_rec::BitBtn1Click);
    resize(225, 81);
}

TForm1_rec* TForm5_rec::recorder() const
{
    if (auto* w = qobject_cast<TForm1_rec*>(parentWidget()))
        return w;
    return windows().Form1_rec;
}

void TForm5_rec::LoadDataFile()
{
    TForm1_rec* w = recorder();
    if (w == nullptr || busy_)
        return;
    RecorderState& st = w->st;
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.objectName = QStringLiteral("OpenDialog2");
    request.title = QStringLiteral("Open Data");
    request.directory = st.DataDir;
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
    w->TimeButtonClick(header.timeIndex);
    for (int c = 0; c < 4; ++c)
        w->RangeButtonClick(c, header.rangeIndex[static_cast<size_t>(c)]);

    viewed_ = path;
    const datafile::PageSpan span = datafile::openSpan();
    st.FileViewMode = true;
    w->aloitus();
    st.ScreenSamples = datafile::drawnPositions(datafile::fillScreen(lines_, span, st));
    w->lopetus();
    st.FileViewMode = false;
    w->SpeedButton1->setEnabled(false);
    w->SpeedButton2->setEnabled(false);

    const datafile::PageState next = datafile::afterOpen(lines_, span);
    st.PageEnd = next.pageEnd;
    w->SpeedButton2->setEnabled(next.forward);
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

void TForm5_rec::PageForward()
{
    TForm1_rec* w = recorder();
    if (w == nullptr || busy_)
        return;
    BusyScope busy(busy_);
    RecorderState& st = w->st;
    w->SpeedButton2->setEnabled(false);
    if (!reopen(*w))
        return;
    const datafile::PageSpan span = datafile::forwardSpan(st.PageEnd);
    st.FileViewMode = true;
    st.PageTurnMode = true;
    w->aloitus();
    st.ScreenSamples = datafile::drawnPositions(datafile::fillScreen(lines_, span, st));
    w->lopetus();
    st.FileViewMode = false;
    st.PageTurnMode = false;

    const datafile::PageState next = datafile::afterForward(lines_, span, st.PageEnd);
    st.PageEnd = next.pageEnd;
    w->SpeedButton1->setEnabled(true);
    w->SpeedButton2->setEnabled(next.forward);
    lines_.close();
}

void TForm5_rec::PageBack()
{
    TForm1_rec* w = recorder();
    if (w == nullptr || busy_)
        return;
    BusyScope busy(busy_);
    RecorderState& st = w->st;
    w->SpeedButton1->setEnabled(false);
    if (!reopen(*w))
        return;
    const datafile::PageSpan span = datafile::backSpan(st.PageEnd);
    st.FileViewMode = true;
    st.PageTurnMode = true;
    w->aloitus();
    st.ScreenSamples = datafile::drawnPositions(datafile::fillScreen(lines_, span, st));
    w->lopetus();
    st.FileViewMode = false;
    st.PageTurnMode = false;
    w->SpeedButton1->setEnabled(false);
    w->SpeedButton2->setEnabled(false);

    const datafile::PageState next = datafile::afterBack(lines_, span, st.PageEnd);
    st.PageEnd = next.pageEnd;
    w->SpeedButton1->setEnabled(next.back);
    w->SpeedButton2->setEnabled(next.forward);
    lines_.close();
}

bool TForm5_rec::reopen(TForm1_rec& w)
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

void TForm5_rec::applyAnnotation(TForm1_rec& w, const datafile::AnnotationInfo& annotation)
{
    RecorderState& st = w.st;
    st.AnnotationX = annotation.x;
    st.AnnotationY = annotation.y;
    if (annotation.transparent)
        st.AnnotationTransparent = *annotation.transparent;
    st.AnnotationText = datafile::annotationText(annotation.lines);
    if (Tform_9rec* addText = windows().Form_9rec)
        addText->annotationLoaded();
    st.AnnotationOn = true;
    st.ClearPending = true;
    w.putsataanko();
}

void TForm5_rec::reject(TForm1_rec& w, const QString& path, const QString& reason)
{
    Label1->setText(QFileInfo(path).fileName() + reason);
    Label1->adjustSize();
    resize(std::max(225, Label1->x() + Label1->width() + 8), height());
    lines_.close();
    w.st.DataFileName.clear();
    showModal();
}
