// "Copy" and "Paste" of the recorder window: the screen bitmap on the system clipboard.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>

#include "ui/RecorderWindow.h"

namespace {

bool clipboardHoldsPicture()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime != nullptr && mime->hasImage();
}

}  // namespace

void RecorderWindow::editMenuShown()
{
    pasteAction->setEnabled(clipboardHoldsPicture());
}

void RecorderWindow::copyClick()
{
    QGuiApplication::clipboard()->setImage(image1Surface.image());
}

void RecorderWindow::pasteClick()
{
    const QImage picture = clipboardHoldsPicture() ? QGuiApplication::clipboard()->image() : QImage();
    if (!picture.isNull()) {
        QImage& screenImage = image1Surface.image();
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
    screen.refreshImage();
}
