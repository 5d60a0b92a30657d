#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>

#include "files/DataFilePaging.h"
#include "files/DataFileReader.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;
class RecorderWindow;
namespace datafile {
class RecordingOverview;
}

// The "File Error" window: rejects a file that is not a recorder data file. It also holds the
// reader of data files, which puts a file back on the recorder's screen page by page: each page
// passes through the recording start and stop sequences with FileViewMode set, and the screen
// values are filled in between.
//
// A long file shows its first page at once from an index of its first lines; the whole index (and
// the overview with it) is built on a worker thread meanwhile, with a progress window that can
// cancel it. A page request that needs more than the first lines waits for it.
class DataFileBrowser : public QDialog {
    Q_OBJECT
public:
    explicit DataFileBrowser(QWidget* parent = nullptr);
    ~DataFileBrowser() override;

    void okClick() { accept(); }

    // "Open Data...": asks for a file and shows its first page.
    void openDataFile();
    // ">>" and "<<": the next and the previous page of the file on view.
    void showNextPage();
    void showPreviousPage();

    // True while a page is being loaded; page-button clicks that arrive then are dropped.
    bool busy() const { return busy_; }
    // Shows this window modally with the rejection text (tests replace it).
    std::function<void()> showModal = [this] { exec(); };
    // The lines of the file on view, with its index (tests, benchmark).
    datafile::DataFileLines& lines() { return lines_; }

    // Lines indexed before the first page of a file is shown; a longer file is indexed further on
    // a worker thread (tests make it small).
    void setHeadLines(int64_t lines) { headLines_ = lines; }
    // Whether the whole index of the file on view is being built.
    bool indexing() const { return worker_ != nullptr; }
    // Runs `request` now when the index of the file on view is whole; otherwise it waits for the
    // index (in place of a request waiting already), whose building starts if it is not running.
    void whenIndexed(std::function<void()> request);
    // A waiting request is dropped (a recording took the screen).
    void dropWaitingRequest()
    {
        waiting_ = {};
        waitingTurn_ = 0;
    }
    bool requestWaiting() const { return static_cast<bool>(waiting_); }
    // Waits until the index being built is done and takes it in (tests, and the end of a run).
    void waitForIndex();
    // Stops building the index; the first pages stay available, later ones start it again.
    void cancelIndexing();
    // Bytes read of the file, and its size, by the pass building the index.
    std::pair<qint64, qint64> indexProgress() const;
    // The overview built with the index, handed over once.
    std::shared_ptr<datafile::RecordingOverview> takeOverview() { return std::move(overview_); }
    // The small window that shows the progress of the index (tests).
    QWidget* progressWindow() const { return progressWindow_; }
    QProgressBar* progressBar() const { return progressBar_; }
    QPushButton* cancelButton() const { return cancelButton_; }

signals:
    // The pass that built the index ended (done, cancelled or failed).
    void indexFinished();

private:
    RecorderWindow* recorder() const;
    // Reopens the file on view for a page turn; false (with a message) when it cannot.
    bool reopen(RecorderWindow& w);
    void applyAnnotation(RecorderWindow& w, const datafile::AnnotationInfo& annotation);
    // Puts the lines of `span` of the open file on the recorder screen.
    void showSpan(RecorderWindow& w, const datafile::PageSpan& span);
    // Shows the file name followed by `reason` in this window and forgets the file.
    void reject(RecorderWindow& w, const QString& path, const QString& reason);

    // Whether `span` and the line after it can be read with the index as it is.
    bool holdsSpan(const datafile::PageSpan& span) const;
    void startIndexing();
    void indexPassFinished();
    // Cancels a running pass and forgets it and any waiting request.
    void stopIndexing();
    void showDamagedLines(RecorderWindow& w);
    void buildProgressWindow();

    struct IndexPass;
    QLabel* messageLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;  // "OK"
    datafile::DataFileLines lines_;
    QString viewed_;  // the file on view: page turns keep to it even when DataFileName moves on
    bool busy_ = false;
    int64_t headLines_ = datafile::DataFileLines::HeadLines;
    QThread* worker_ = nullptr;
    std::shared_ptr<IndexPass> pass_;
    std::function<void()> waiting_;
    int waitingTurn_ = 0;  // the page button whose turn waits: 1 ">>", -1 "<<"
    std::shared_ptr<datafile::RecordingOverview> overview_;
    QPointer<QWidget> progressWindow_;  // a window of its own, child of the recorder window
    QLabel* progressLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    qint64 passStarted_ = 0;
};
