// "Save Image..." and "Open Image..." of the recorder window: the screen bitmap as a PNG or BMP file.

#include <QFileInfo>
#include <QPainter>

#include "files/Images.h"
#include "ui/FileDialogs.h"
#include "ui/Dialogs.h"
#include "settings/Folders.h"
#include "ui/RecorderWindow.h"

namespace {

QString pictureFolder(const AppSettings& settings)
{
    return settings.dataDir.isEmpty() ? folders::documents() : settings.dataDir;
}

}  // namespace

void RecorderWindow::saveImageClick()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.objectName = QStringLiteral("savePictureDialog");
    request.title = QStringLiteral("Save Image");
    request.directory = pictureFolder(settings());
    request.fileName = lastImageName.isEmpty() ? QStringLiteral("screenImage") : lastImageName;
    request.filter = QStringLiteral("PNG (*.PNG);;Bitmap file (*.bmp)");
    request.defaultSuffix = QStringLiteral("png");
    QString path = runFileDialog(this, request);
    if (path.isEmpty())
        return;
    // A name without an extension gets the default one, as the dialog itself does.
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    lastImageName = QFileInfo(path).fileName();

    QString error;
    if (!pictures::savePicture(path, image1Surface.image(), pictures::formatForFileName(path), &error))
        showMessage(this, {QMessageBox::Critical, {}, error, QMessageBox::Ok});
}

void RecorderWindow::openImageClick()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.objectName = QStringLiteral("openPictureDialog");
    request.title = QStringLiteral("Open Image");
    request.directory = pictureFolder(settings());
    request.filter = QStringLiteral("PNG (*.PNG);;Bitmap (*.BMP)");
    request.defaultSuffix = QStringLiteral("png");
    const QString path = runFileDialog(this, request);
    if (path.isEmpty())
        return;

    QString error;
    const QImage picture = pictures::loadPicture(path, &error);
    if (picture.isNull()) {
        showMessage(this, {QMessageBox::Critical, {}, error, QMessageBox::Ok});
        return;
    }
    // At its own size from the top-left corner: a larger picture is cut at the screen's edges.
    {
        QPainter painter(&image1Surface.image());
        painter.drawImage(0, 0, picture);
    }
    // The picture stays until the next rebuild of the screen.
    st.ClearPending = true;
    screen.refreshImage();
}
