#pragma once

#include <QString>
#include <functional>

class QWidget;

// The file dialogs of the data files go through here, so that tests can answer them with a path.
struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QString objectName;  // the dialog's own name: openDataDialog, saveDataDialog, autoSaveDialog, savePictureDialog,
                         // openPictureDialog
    QString title;
    QString directory;  // initial folder
    QString fileName;   // preset name, if any
    QString filter = QStringLiteral("Text file (*.txt);;All files (*.*)");
    QString defaultSuffix = QStringLiteral("txt");
};

// Runs the dialog and returns the chosen path, or an empty text on cancel. A save dialog asks
// before an existing file is overwritten.
QString runFileDialog(QWidget* parent, const FileDialogRequest& request);

// Replaces the real dialog (tests): the hook receives each request and returns the answer; an
// empty function restores the real dialog.
void setFileDialogHook(std::function<QString(const FileDialogRequest&)> hook);
