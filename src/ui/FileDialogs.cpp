#include "ui/FileDialogs.h"

#include <QFileDialog>

namespace {
std::function<QString(const FileDialogRequest&)>& fileDialogHook()
{
    static std::function<QString(const FileDialogRequest&)> hook;
    return hook;
}
}  // namespace

QString runFileDialog(QWidget* parent, const FileDialogRequest& request)
{
    if (fileDialogHook())
        return fileDialogHook()(request);
    QFileDialog dialog(parent, request.title, request.directory, request.filter);
    dialog.setObjectName(request.objectName);
    const bool save = request.kind == FileDialogRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void setFileDialogHook(std::function<QString(const FileDialogRequest&)> hook)
{
    fileDialogHook() = std::move(hook);
}
