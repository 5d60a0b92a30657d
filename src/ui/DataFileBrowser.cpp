#include "ui/DataFileBrowser.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <atomic>

#include "files/DataFileFormat.h"
#include "files/DataFilePaging.h"
#include "files/RecordingOverview.h"
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

// The progress window shows itself only when a pass takes longer than this.
constexpr qint64 ProgressDelayMs = 250;

}  // namespace

// What a worker thread builds of one file: the whole index and the overview, in one pass. The
// worker touches nothing else; the window takes the results once the thread has finished.
struct DataFileBrowser::IndexPass {
    QString path;
    datafile::DataFileLines lines;
    std::shared_ptr<datafile::RecordingOverview> overview = std::make_shared<datafile::RecordingOverview>();
    std::atomic<bool> cancel{false};
    std::atomic<qint64> done{0}, total{0};
    datafile::PassResult result = datafile::PassResult::Failed;
};

DataFileBrowser::DataFileBrowser(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DataFileBrowser"));
    setWindowTitle(QStringLiteral("File Error"));
    setModal(true);
    messageLabel_ = new QLabel(this);
    messageLabel_->setObjectName(QStringLiteral("messageLabel"));
    messageLabel_->move(4, 16);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setGeometry(64, 44, 93, 29);
    connect(okButton_, &QPushButton::clicked, this, &DataFileBrowser::okClick);
    resize(225, 81);
}

DataFileBrowser::~DataFileBrowser()
{
    stopIndexing();
    delete progressWindow_;
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
    // A pass still building the index of the file shown before is of no use now.
    stopIndexing();
    st.DataFileName = path;
    // The first lines only: a long file is indexed further once its first page is on screen. A
    // head without a single sample leaves the rest of the file to decide.
    if (!lines_.openHead(path, headLines_) || (lines_.sampleLines() == 0 && !lines_.open(path))) {
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
    w->selectTimeBase(header.timeIndex);
    for (int c = 0; c < 4; ++c)
        w->selectRange(c, header.rangeIndex[static_cast<size_t>(c)]);

    viewed_ = path;
    const datafile::PageSpan span = datafile::openSpan();
    st.FileViewMode = true;
    w->startRecording();
    st.ScreenSamples = datafile::drawnPositions(datafile::fillScreen(lines_, span, st));
    w->stopRecording();
    st.FileViewMode = false;
    w->enablePreviousPage(false);
    w->enableNextPage(false);

    const datafile::PageState next = datafile::afterOpen(lines_, span);
    st.PageEnd = next.pageEnd;
    w->enableNextPage(next.forward);
    lines_.close();

    // The damaged lines of a long file are known once its whole index is.
    if (lines_.indexComplete())
        showDamagedLines(*w);
    else
        startIndexing();
}

void DataFileBrowser::showDamagedLines(RecorderWindow& w)
{
    // Damaged lines take their screen positions without a sample; the user learns how many.
    if (const int64_t damaged = lines_.damagedLines(); damaged > 0) {
        const QString name = QFileInfo(viewed_).fileName();
        showMessage(
            &w,
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
    RecorderState& st = w->st;
    const datafile::PageSpan span = datafile::forwardSpan(st.PageEnd);
    if (!holdsSpan(span)) {
        // Beyond the lines indexed so far: the turn waits for the whole index, ">>" off meanwhile.
        w->enableNextPage(false);
        whenIndexed([this] {
            if (RecorderWindow* r = recorder())
                r->nextPageClick();
        });
        waitingTurn_ = 1;
        return;
    }
    dropWaitingRequest();
    BusyScope busy(busy_);
    w->enableNextPage(false);
    if (!reopen(*w))
        return;
    showSpan(*w, span);

    const datafile::PageState next = datafile::afterForward(lines_, span, st.PageEnd);
    st.PageEnd = next.pageEnd;
    w->enablePreviousPage(true);
    w->enableNextPage(next.forward);
    lines_.close();
}

void DataFileBrowser::showPreviousPage()
{
    RecorderWindow* w = recorder();
    if (w == nullptr || busy_)
        return;
    RecorderState& st = w->st;
    const datafile::PageSpan span = datafile::backSpan(st.PageEnd);
    if (!holdsSpan(span)) {
        w->enablePreviousPage(false);
        whenIndexed([this] {
            if (RecorderWindow* r = recorder())
                r->previousPageClick();
        });
        waitingTurn_ = -1;
        return;
    }
    dropWaitingRequest();
    BusyScope busy(busy_);
    w->enablePreviousPage(false);
    if (!reopen(*w))
        return;
    showSpan(*w, span);
    w->enablePreviousPage(false);
    w->enableNextPage(false);

    const datafile::PageState next = datafile::afterBack(lines_, span, st.PageEnd);
    st.PageEnd = next.pageEnd;
    w->enablePreviousPage(next.back);
    w->enableNextPage(next.forward);
    lines_.close();
}

bool DataFileBrowser::reopen(RecorderWindow& w)
{
    // The page buttons browse the file on view; the caption names it again.
    w.st.DataFileName = viewed_;
    // While the whole index is built elsewhere, the lines indexed so far serve.
    if (lines_.indexComplete() ? lines_.open(viewed_) : lines_.reopenFile())
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
    w.screen.redrawIfClearPending();
}

void DataFileBrowser::reject(RecorderWindow& w, const QString& path, const QString& reason)
{
    messageLabel_->setText(QFileInfo(path).fileName() + reason);
    messageLabel_->adjustSize();
    resize(std::max(225, messageLabel_->x() + messageLabel_->width() + 8), height());
    lines_.close();
    w.st.DataFileName.clear();
    showModal();
}

bool DataFileBrowser::holdsSpan(const datafile::PageSpan& span) const
{
    return lines_.indexComplete() || lines_.holdsLine(span.firstLine + span.count);
}

void DataFileBrowser::whenIndexed(std::function<void()> request)
{
    if (lines_.indexComplete() || viewed_.isEmpty()) {
        dropWaitingRequest();
        request();
        return;
    }
    waiting_ = std::move(request);
    waitingTurn_ = 0;
    if (worker_ == nullptr)
        startIndexing();
}

void DataFileBrowser::startIndexing()
{
    if (worker_ != nullptr || viewed_.isEmpty())
        return;
    auto pass = std::make_shared<IndexPass>();
    pass->path = viewed_;
    pass_ = pass;
    // The worker holds the pass, never this window.
    worker_ = QThread::create([pass] {
        datafile::PassControl control;
        control.cancel = &pass->cancel;
        control.report = [&pass](qint64 done, qint64 total) {
            pass->done = done;
            pass->total = total;
        };
        pass->result = datafile::indexWithOverview(pass->path, pass->lines, *pass->overview, control);
    });
    worker_->setObjectName(QStringLiteral("indexWorker"));
    connect(worker_, &QThread::finished, this, &DataFileBrowser::indexPassFinished);
    buildProgressWindow();
    progressLabel_->setText(QStringLiteral("Reading %1...").arg(QFileInfo(viewed_).fileName()));
    progressBar_->setValue(0);
    passStarted_ = QDateTime::currentMSecsSinceEpoch();
    progressTimer_->start();
    worker_->start(QThread::LowPriority);
}

void DataFileBrowser::buildProgressWindow()
{
    if (progressWindow_ != nullptr)
        return;
    // A small window of its own beside the recorder window: nothing waits for it.
    progressWindow_ = new QWidget(parentWidget(), Qt::Tool);
    progressWindow_->setObjectName(QStringLiteral("indexProgressWindow"));
    progressWindow_->setWindowTitle(QStringLiteral("Open Data"));
    progressWindow_->setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(progressWindow_);
    progressLabel_ = new QLabel(progressWindow_);
    progressLabel_->setObjectName(QStringLiteral("indexProgressLabel"));
    progressBar_ = new QProgressBar(progressWindow_);
    progressBar_->setObjectName(QStringLiteral("indexProgressBar"));
    progressBar_->setRange(0, 1000);
    progressBar_->setMinimumWidth(260);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), progressWindow_);
    cancelButton_->setObjectName(QStringLiteral("indexCancelButton"));
    layout->addWidget(progressLabel_);
    layout->addWidget(progressBar_);
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);
    connect(cancelButton_, &QPushButton::clicked, this, &DataFileBrowser::cancelIndexing);
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, [this] {
        if (!progressWindow_)
            return;
        const auto [done, total] = indexProgress();
        progressBar_->setValue(static_cast<int>(done * 1000 / std::max<qint64>(total, 1)));
        if (!progressWindow_->isVisible() && QDateTime::currentMSecsSinceEpoch() - passStarted_ >= ProgressDelayMs) {
            // Below the recorder's screen, over the range buttons, where it hides no trace.
            if (QWidget* p = parentWidget())
                progressWindow_->move(p->geometry().center().x() - progressWindow_->sizeHint().width() / 2,
                                      p->geometry().bottom() - progressWindow_->sizeHint().height() - 8);
            progressWindow_->show();
        }
    });
}

std::pair<qint64, qint64> DataFileBrowser::indexProgress() const
{
    if (!pass_)
        return {0, 0};
    return {pass_->done.load(), pass_->total.load()};
}

void DataFileBrowser::indexPassFinished()
{
    // The finished signal of a pass that was stopped and forgotten is late: ignored.
    if (worker_ == nullptr || (sender() != nullptr && sender() != worker_))
        return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    progressTimer_->stop();
    if (progressWindow_)
        progressWindow_->hide();
    const std::shared_ptr<IndexPass> pass = std::move(pass_);
    std::function<void()> request = std::move(waiting_);
    const int waitingTurn = waitingTurn_;
    dropWaitingRequest();
    const bool adopted =
        pass->result == datafile::PassResult::Done && pass->path == viewed_ && lines_.adoptIndex(pass->lines);
    if (adopted)
        overview_ = pass->overview;
    // The overview and the page count are known before the waiting request runs.
    emit indexFinished();
    RecorderWindow* w = recorder();
    if (w == nullptr || !w->st.Idle || pass->path != viewed_)
        return;
    if (adopted) {
        showDamagedLines(*w);
        if (request)
            request();
    } else if (waitingTurn > 0) {
        // Cancelled (or the file became unreadable): the turn that waited is not made; its
        // button offers it again.
        w->enableNextPage(true);
    } else if (waitingTurn < 0) {
        w->enablePreviousPage(true);
    }
}

void DataFileBrowser::waitForIndex()
{
    if (worker_ != nullptr) {
        worker_->wait();
        indexPassFinished();
    }
}

void DataFileBrowser::cancelIndexing()
{
    if (pass_)
        pass_->cancel = true;
}

void DataFileBrowser::stopIndexing()
{
    dropWaitingRequest();
    if (worker_ == nullptr)
        return;
    pass_->cancel = true;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    pass_.reset();
    progressTimer_->stop();
    if (progressWindow_)
        progressWindow_->hide();
}
