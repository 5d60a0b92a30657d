#pragma once

#include <QDialog>
#include <functional>

#include "files/DataFilePaging.h"
#include "files/DataFileReader.h"

class QLabel;
class QPushButton;
class RecorderWindow;

// The "File Error" window: rejects a file that is not a recorder data file. It also holds the
// reader of data files, which puts a file back on the recorder's screen page by page: each page
// passes through the recording start and stop sequences with FileViewMode set, and the screen
// values are filled in between.
class DataFileBrowser : public QDialog {
    Q_OBJECT
public:
    explicit DataFileBrowser(QWidget* parent = nullptr);

    QLabel* messageLabel = nullptr;
    QPushButton* okButton = nullptr;  // "OK"

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

private:
    RecorderWindow* recorder() const;
    // Reopens the file on view for a page turn; false (with a message) when it cannot.
    bool reopen(RecorderWindow& w);
    void applyAnnotation(RecorderWindow& w, const datafile::AnnotationInfo& annotation);
    // Puts the lines of `span` of the open file on the recorder screen.
    void showSpan(RecorderWindow& w, const datafile::PageSpan& span);
    // Shows the file name followed by `reason` in this window and forgets the file.
    void reject(RecorderWindow& w, const QString& path, const QString& reason);

    datafile::DataFileLines lines_;
    QString viewed_;  // the file on view: page turns keep to it even when DataFileName moves on
    bool busy_ = false;
};
