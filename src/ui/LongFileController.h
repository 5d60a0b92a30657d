#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

#include "files/CsvExport.h"
#include "files/RecordingOverview.h"

class QAction;
class QThread;
class QTimer;
class DataFileBrowser;
class RecorderWindow;
class RecordingOverviewWindow;

// The commands for long data files on the recorder window: "View > Recording Overview",
// "Go to Time...", "Refresh" (F5), "File > Export CSV...", and the keys Home/End (first and last
// page) and PgUp/PgDn (as "<<" and ">>"). Every jump turns pages through the page routine of the
// page buttons. The overview is built, refreshed and exported on a worker thread.
class LongFileController : public QObject {
    Q_OBJECT
public:
    LongFileController(RecorderWindow& window, DataFileBrowser& browser);
    ~LongFileController() override;

    RecordingOverviewWindow* overviewWindow() const { return overviewWindow_; }
    std::shared_ptr<const datafile::RecordingOverview> overview() const { return overview_; }

    // Whether a data file is on the recorder screen.
    bool fileOnView() const;
    // The page on screen (0 the first).
    int64_t currentPage() const;
    int64_t pages() const;
    // Puts page `page` (held to the file's pages) on the recorder screen.
    void showPage(int64_t page);
    // Puts the page holding `row` on screen.
    void showRow(int64_t row);
    // "Go to Time..." with the given text; false (with a message) when it is no moment.
    bool goToTime(const QString& text);
    // Waits for a pass running on a worker, the browser's over a long file included (tests, and a
    // page jump that needs the rows).
    void waitForWorker();
    // "End": the last page, once the whole index is there.
    void showLastPage();

    void overviewClick();
    void goToTimeClick();
    void refreshClick();
    void exportCsvClick();

    // Asks for the moment of "Go to Time..." (tests replace it).
    std::function<QString(const QString& hint)> askTime;

private:
    void fileOpened();
    void indexFinished();
    void pageTurned();
    void updateActions();
    void startPass(bool refresh);
    void passFinished();
    int64_t rowsKnown() const;
    QString momentHint() const;

    RecorderWindow& w_;
    DataFileBrowser& browser_;
    QAction* exportCsvAction_ = nullptr;
    QAction* overviewAction_ = nullptr;
    QAction* goToTimeAction_ = nullptr;
    QAction* refreshAction_ = nullptr;
    QAction* firstPageAction_ = nullptr;
    QAction* lastPageAction_ = nullptr;
    QAction* pageUpAction_ = nullptr;
    QAction* pageDownAction_ = nullptr;
    RecordingOverviewWindow* overviewWindow_ = nullptr;
    std::shared_ptr<const datafile::RecordingOverview> overview_;
    std::shared_ptr<datafile::RecordingOverview> building_;
    QThread* worker_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    QTimer* watchTimer_ = nullptr;
    std::atomic<bool> cancel_{false};
    std::atomic<qint64> done_{0}, total_{0};
    datafile::RecordingOverview::Result result_ = datafile::RecordingOverview::Result::Done;
    QString viewed_;
    bool onView_ = false;
};
