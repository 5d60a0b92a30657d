#include "ui/ImageActions.h"

#include "ui/RecorderState.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <memory>

#include "files/Images.h"
#include "screen/Screen.h"
#include "screen/Surface.h"
#include "settings/Folders.h"
#include "settings/Settings.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/FileDialogs.h"
#include "ui/PrintPreviewWindow.h"

namespace {

QString pictureFolder(const AppSettings& settings)
{
    return settings.dataDir.isEmpty() ? folders::documents() : settings.dataDir;
}

// The application's preview, or one made for the time of the call where none exists (window tests).
PrintPreviewWindow* previewWindow(QWidget* window, std::unique_ptr<PrintPreviewWindow>& own)
{
    if (PrintPreviewWindow* preview = windows().printPreview)
        return preview;
    own = std::make_unique<PrintPreviewWindow>(window);
    return own.get();
}

}  // namespace

bool clipboardHoldsPicture()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime != nullptr && mime->hasImage();
}

ImageActions::ImageActions(QWidget* window, RecorderState& state, Screen& screen, Surface& image,
                           std::function<const AppSettings&()> settings)
    : QObject(window), window_(window), st(state), screen_(screen), image_(image), settings_(std::move(settings))
{
}

void ImageActions::saveImage()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.objectName = QStringLiteral("savePictureDialog");
    request.title = QStringLiteral("Save Image");
    request.directory = pictureFolder(settings_());
    // The name offered on first use is the picture's own "Image1", not a control's name.
    request.fileName = lastImageName_.isEmpty() ? QStringLiteral("Image1") : lastImageName_;
    request.filter = QStringLiteral("PNG (*.PNG);;Bitmap file (*.bmp)");
    request.defaultSuffix = QStringLiteral("png");
    QString path = runFileDialog(window_, request);
    if (path.isEmpty())
        return;
    // A name without an extension gets the default one, as the dialog itself does.
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    lastImageName_ = QFileInfo(path).fileName();

    QString error;
    if (!pictures::savePicture(path, image_.image(), pictures::formatForFileName(path), &error))
        showMessage(window_, {QMessageBox::Critical, {}, error, QMessageBox::Ok});
}

void ImageActions::openImage()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.objectName = QStringLiteral("openPictureDialog");
    request.title = QStringLiteral("Open Image");
    request.directory = pictureFolder(settings_());
    request.filter = QStringLiteral("PNG (*.PNG);;Bitmap (*.BMP)");
    request.defaultSuffix = QStringLiteral("png");
    const QString path = runFileDialog(window_, request);
    if (path.isEmpty())
        return;

    QString error;
    const QImage picture = pictures::loadPicture(path, &error);
    if (picture.isNull()) {
        showMessage(window_, {QMessageBox::Critical, {}, error, QMessageBox::Ok});
        return;
    }
    // At its own size from the top-left corner: a larger picture is cut at the screen's edges.
    {
        QPainter painter(&image_.image());
        painter.drawImage(0, 0, picture);
    }
    // The picture stays until the next rebuild of the screen.
    st.ClearPending = true;
    screen_.refreshImage();
}

void ImageActions::copy()
{
    QGuiApplication::clipboard()->setImage(image_.image());
}

void ImageActions::paste()
{
    const QImage picture = clipboardHoldsPicture() ? QGuiApplication::clipboard()->image() : QImage();
    if (!picture.isNull()) {
        QImage& screenImage = image_.image();
        if (picture.size() == screenImage.size()) {
            screenImage = picture.convertToFormat(QImage::Format_RGB32);
        } else {
            // The screen keeps its size, which the grid, the markers and the traces are laid out on:
            // a picture of another size replaces it from the top-left corner on the background,
            // cut at the edges.
            screenImage.fill(QColor::fromRgb(Surface::toRgb(st.ActiveColors[Background])));
            QPainter painter(&screenImage);
            painter.drawImage(0, 0, picture);
        }
    }
    st.ClearPending = true;
    screen_.refreshImage();
}

void ImageActions::print()
{
    const QImage& picture = image_.image();
    if (picture.isNull())
        return;
    std::unique_ptr<PrintPreviewWindow> own;
    PrintPreviewWindow* preview = previewWindow(window_, own);
    if (!preview->preparePage(picture))
        return;
    preview->drawPreview();
    preview->exec();
}

void ImageActions::printSetup()
{
    std::unique_ptr<PrintPreviewWindow> own;
    previewWindow(window_, own)->runPrinterSetup(window_);
}
