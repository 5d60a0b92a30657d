#include "ui/LongFileController.h"

#include <QAction>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include "files/DataFileFormat.h"
#include "files/DataFilePaging.h"
#include "files/RecordingTime.h"
#include "ui/CsvExportRun.h"
#include "ui/DataFileBrowser.h"
#include "ui/Dialogs.h"
#include "ui/RecorderMenu.h"
#include "ui/RecorderWindow.h"
#include "ui/RecordingOverviewWindow.h"

namespace {

QAction* findAction(QMenu* menu, const char* name)
{
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(name))
            return a;
    return nullptr;
}

}  // namespace

LongFileController::LongFileController(RecorderWindow& window, DataFileBrowser& browser)
    : QObject(&window), w_(window), browser_(browser)
{
    setObjectName(QStringLiteral("longFileController"));
    auto make = [this](const char* name, const QString& caption, const QKeySequence& keys,
                       void (LongFileController::*slot)()) {
        auto* a = new QAction(caption, &w_);
        a->setObjectName(QLatin1String(name));
        if (!keys.isEmpty())
            a->setShortcut(keys);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    exportCsvAction_ =
        make("exportCsvAction", QStringLiteral("Export CSV..."), {}, &LongFileController::exportCsvClick);
    overviewAction_ =
        make("recordingOverviewAction", QStringLiteral("Recording Overview"), {}, &LongFileController::overviewClick);
    goToTimeAction_ = make("goToTimeAction", QStringLiteral("Go to Time..."), QKeySequence(Qt::CTRL | Qt::Key_G),
                           &LongFileController::goToTimeClick);
    refreshAction_ =
        make("refreshAction", QStringLiteral("Refresh"), QKeySequence(Qt::Key_F5), &LongFileController::refreshClick);
    auto key = [this](const char* name, Qt::Key k, std::function<void()> f) {
        auto* a = new QAction(&w_);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(QKeySequence(k));
        connect(a, &QAction::triggered, this, [this, f] {
            if (fileOnView())
                f();
        });
        w_.addAction(a);
        return a;
    };
    firstPageAction_ = key("firstPageAction", Qt::Key_Home, [this] { showPage(0); });
    lastPageAction_ = key("lastPageAction", Qt::Key_End, [this] { showLastPage(); });
    pageUpAction_ = key("pageUpAction", Qt::Key_PageUp, [this] { showPage(currentPage() - 1); });
    pageDownAction_ = key("pageDownAction", Qt::Key_PageDown, [this] { showPage(currentPage() + 1); });

    // "Export CSV..." after the data items of the File menu; the others at the end of View.
    QMenu* fileMenu = w_.menu().fileMenu();
    QMenu* viewMenu = w_.menu().viewMenu();
    fileMenu->insertAction(findAction(fileMenu, "fileSeparator2"), exportCsvAction_);
    viewMenu->addSeparator()->setObjectName(QStringLiteral("viewSeparator3"));
    viewMenu->addAction(overviewAction_);
    viewMenu->addAction(goToTimeAction_);
    viewMenu->addAction(refreshAction_);
    connect(viewMenu, &QMenu::aboutToShow, this, &LongFileController::updateActions);
    connect(fileMenu, &QMenu::aboutToShow, this, &LongFileController::updateActions);
    // Runs after the window's own handlers of the same signals.
    connect(w_.menu().action(RecorderMenu::OpenData), &QAction::triggered, this, &LongFileController::fileOpened);
    connect(&w_, &RecorderWindow::pageButtonClicked, this, &LongFileController::pageTurned);
    // A recording replaces the file on screen.
    watchTimer_ = new QTimer(this);
    watchTimer_->setInterval(250);
    connect(watchTimer_, &QTimer::timeout, this, [this] {
        if (onView_ && !w_.st.Idle) {
            onView_ = false;
            browser_.dropWaitingRequest();
            updateActions();
        }
    });
    watchTimer_->start();
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, [this] {
        if (overviewWindow_ == nullptr)
            return;
        // The pass that builds the index of a long file builds its overview too.
        if (browser_.indexing()) {
            const auto [done, total] = browser_.indexProgress();
            overviewWindow_->setBusy(true, QStringLiteral("Reading the file..."));
            overviewWindow_->setProgress(done, total);
        } else {
            overviewWindow_->setProgress(done_.load(), total_.load());
        }
    });
    connect(&browser_, &DataFileBrowser::indexFinished, this, &LongFileController::indexFinished);
    updateActions();
}

LongFileController::~LongFileController()
{
    cancel_ = true;
    if (worker_ != nullptr) {
        worker_->wait();
        delete worker_;
    }
}

bool LongFileController::fileOnView() const
{
    return onView_ && w_.st.Idle && !browser_.busy();
}

void LongFileController::updateActions()
{
    const bool on = fileOnView();
    // The page keys are taken from the focused control (a scroll bar moves with them) only while a
    // data file is on the screen.
    for (QAction* a : {exportCsvAction_, overviewAction_, goToTimeAction_, refreshAction_, firstPageAction_,
                       lastPageAction_, pageUpAction_, pageDownAction_})
        a->setEnabled(on);
}

void LongFileController::fileOpened()
{
    const QString path = browser_.lines().path();
    const bool opened = w_.st.Idle && !path.isEmpty() && w_.st.DataFileName == path;
    if (!opened)
        return;
    const bool same = path == viewed_;
    viewed_ = path;
    onView_ = true;
    if (!same) {
        overview_.reset();
        if (overviewWindow_ != nullptr)
            overviewWindow_->setOverview(nullptr);
    }
    if (browser_.indexing()) {
        // The overview comes with the index of the long file, built on the browser's worker.
        if (overviewWindow_ != nullptr)
            overviewWindow_->setBusy(true, QStringLiteral("Reading the file..."));
        progressTimer_->start();
    } else {
        startPass(same);
    }
    updateActions();
    pageTurned();
}

void LongFileController::indexFinished()
{
    const std::shared_ptr<datafile::RecordingOverview> built = browser_.takeOverview();
    if (built && built->path() == viewed_)
        overview_ = built;
    if (worker_ == nullptr)
        progressTimer_->stop();
    if (overviewWindow_ != nullptr) {
        overviewWindow_->setBusy(worker_ != nullptr);
        overviewWindow_->setOverview(overview_);
        pageTurned();
    }
}

void LongFileController::showLastPage()
{
    browser_.whenIndexed([this] {
        waitForWorker();
        showPage(pages() - 1);
    });
}

void LongFileController::pageTurned()
{
    if (!onView_)
        return;
    if (overviewWindow_ != nullptr) {
        const datafile::PagePlace place = datafile::pageOfIndex(currentPage());
        overviewWindow_->plot()->setBand(place.firstRow, place.lastRow);
    }
}

int64_t LongFileController::currentPage() const
{
    // PageEnd after a page is shown is the first row of the next one, less one, whichever
    // routine showed it.
    return std::max<int64_t>(0, w_.st.PageEnd / datafile::PageRows - 1);
}

int64_t LongFileController::rowsKnown() const
{
    if (overview_)
        return overview_->rowsWithSamples();
    // Before the overview is there: the lines of the index below the header.
    return std::max<int64_t>(browser_.lines().lineCount() - datafile::HeaderLines, 1);
}

int64_t LongFileController::pages() const
{
    return datafile::pageCount(rowsKnown());
}

void LongFileController::showPage(int64_t page)
{
    if (!fileOnView())
        return;
    // A page beyond the lines indexed so far (a long file just opened) waits for the whole index.
    if (const datafile::DataFileLines& lines = browser_.lines(); !lines.indexComplete()) {
        const datafile::PageSpan span =
            page <= 0 ? datafile::backSpan(0) : datafile::forwardSpan(datafile::pageOfIndex(page).pageEnd);
        if (!lines.holdsLine(span.firstLine + span.count)) {
            browser_.whenIndexed([this, page] { showPage(page); });
            return;
        }
    }
    page = std::clamp<int64_t>(page, 0, pages() - 1);
    const datafile::PagePlace place = datafile::pageOfIndex(page);
    // The page routine of the buttons: ">>" from the PageEnd before the page, or "<<" back to the
    // first page.
    if (page == 0) {
        w_.st.PageEnd = 0;
        w_.previousPageClick();
    } else {
        w_.st.PageEnd = place.pageEnd;
        w_.nextPageClick();
    }
    pageTurned();
}

void LongFileController::showRow(int64_t row)
{
    showPage(datafile::pageOfRow(row, rowsKnown()).page);
}

QString LongFileController::momentHint() const
{
    QString hint = QStringLiteral("Seconds from the start, hh:mm:ss from the start,\nor a clock time with its date");
    if (overview_ && overview_->header().start) {
        const QDateTime start = *overview_->header().start;
        const int64_t ms = overview_->rowsWithSamples() * overview_->header().stepMs;
        hint += QStringLiteral(" (%1 to %2)")
                    .arg(start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                         start.addMSecs(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    }
    return hint + QLatin1Char(':');
}

bool LongFileController::goToTime(const QString& text)
{
    if (!fileOnView())
        return false;
    // The header is among the first lines, indexed whether or not the whole index is there yet.
    datafile::DataFileLines& lines = browser_.lines();
    if (lines.indexComplete())
        lines.open(viewed_);
    else
        lines.reopenFile();
    const datafile::RecordingHeader header = datafile::readRecordingHeader(lines);
    lines.close();
    const auto ms = datafile::parseMoment(text, header.start);
    if (!ms) {
        showMessage(&w_, {QMessageBox::Warning, QStringLiteral("Go to Time"),
                          QStringLiteral("\"%1\" is not a moment of this recording.").arg(text), QMessageBox::Ok});
        return false;
    }
    const int64_t row = datafile::rowOfMoment(*ms, header.stepMs);
    browser_.whenIndexed([this, row] {
        waitForWorker();
        showRow(row);
    });
    return true;
}

void LongFileController::goToTimeClick()
{
    if (!fileOnView())
        return;
    QString text;
    if (askTime) {
        text = askTime(momentHint());
    } else {
        bool ok = false;
        text =
            QInputDialog::getText(&w_, QStringLiteral("Go to Time"), momentHint(), QLineEdit::Normal, QString(), &ok);
        if (!ok)
            return;
    }
    if (!text.trimmed().isEmpty())
        goToTime(text);
}

void LongFileController::overviewClick()
{
    if (!fileOnView())
        return;
    if (overviewWindow_ == nullptr) {
        overviewWindow_ = new RecordingOverviewWindow(&w_);
        overviewWindow_->plot()->setColours(w_.st.ActiveColors);
        overviewWindow_->pickRow = [this](int64_t row) {
            const int64_t page = datafile::pageOfRow(row, rowsKnown()).page;
            if (page != currentPage() || !fileOnView())
                showPage(page);
        };
        overviewWindow_->turnPage = [this](int step) { showPage(currentPage() + step); };
        overviewWindow_->goToEnd = [this](bool last) {
            if (last)
                showLastPage();
            else
                showPage(0);
        };
        overviewWindow_->cancel = [this] {
            cancel_ = true;
            browser_.cancelIndexing();
        };
    }
    overviewWindow_->plot()->setColours(w_.st.ActiveColors);
    overviewWindow_->setOverview(overview_);
    overviewWindow_->setBusy(worker_ != nullptr || browser_.indexing(), QStringLiteral("Reading the file..."));
    pageTurned();
    overviewWindow_->show();
    overviewWindow_->raise();
    overviewWindow_->activateWindow();
}

void LongFileController::refreshClick()
{
    if (!fileOnView())
        return;
    // The page on screen again, with the buttons for the file as it is now; then the new lines.
    showPage(currentPage());
    startPass(true);
}

void LongFileController::startPass(bool refresh)
{
    // The browser's pass over a long file builds the overview with the index.
    if (worker_ != nullptr || browser_.indexing())
        return;
    // A refresh extends a copy of the overview on screen; the copy takes its place when done.
    building_ = refresh && overview_ && overview_->path() == viewed_
                    ? std::make_shared<datafile::RecordingOverview>(*overview_)
                    : std::make_shared<datafile::RecordingOverview>();
    cancel_ = false;
    done_ = 0;
    total_ = 0;
    auto building = building_;
    const QString path = viewed_;
    worker_ = QThread::create([this, building, path] {
        datafile::PassControl control;
        control.cancel = &cancel_;
        control.report = [this](qint64 done, qint64 total) {
            done_ = done;
            total_ = total;
        };
        result_ = building->update(path, control);
    });
    connect(worker_, &QThread::finished, this, &LongFileController::passFinished);
    if (overviewWindow_ != nullptr)
        overviewWindow_->setBusy(true, QStringLiteral("Reading the file..."));
    progressTimer_->start();
    worker_->start();
}

void LongFileController::passFinished()
{
    // The finished signal of a pass that waitForWorker() has already taken in is late: ignored.
    if (worker_ == nullptr || (sender() != nullptr && sender() != worker_))
        return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    progressTimer_->stop();
    if (result_ == datafile::RecordingOverview::Result::Done && building_->path() == viewed_)
        overview_ = building_;
    building_.reset();
    if (overviewWindow_ != nullptr) {
        overviewWindow_->setBusy(false);
        overviewWindow_->setOverview(overview_);
        pageTurned();
    }
}

void LongFileController::waitForWorker()
{
    browser_.waitForIndex();
    if (worker_ != nullptr) {
        worker_->wait();
        passFinished();
    }
}

void LongFileController::exportCsvClick()
{
    if (!fileOnView())
        return;
    // The span in view: the overview's view when it is open, else the page on screen.
    CsvExportRequest request;
    request.dataFile = viewed_;
    request.stepMs = overview_ ? overview_->header().stepMs : 0;
    if (overviewWindow_ != nullptr && overviewWindow_->isVisible()) {
        request.firstRow = static_cast<int64_t>(overviewWindow_->plot()->viewFirst());
        request.lastRow = static_cast<int64_t>(overviewWindow_->plot()->viewLast());
    } else {
        const datafile::PagePlace place = datafile::pageOfIndex(currentPage());
        request.firstRow = place.firstRow;
        request.lastRow = place.lastRow;
    }
    exportCsvInteractively(&w_, request);
}
