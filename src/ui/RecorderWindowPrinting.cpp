// "Print..." and "Print Setup..." of the recorder window.

#include <memory>

#include "ui/PrintPreviewWindow.h"
#include "ui/Application.h"
#include "ui/RecorderWindow.h"

namespace {

// The application's preview, or one made for the time of the call where none exists (window tests).
PrintPreviewWindow* previewWindow(RecorderWindow* recorder, std::unique_ptr<PrintPreviewWindow>& own)
{
    if (PrintPreviewWindow* preview = windows().printPreview)
        return preview;
    own = std::make_unique<PrintPreviewWindow>(recorder);
    return own.get();
}

}  // namespace

void RecorderWindow::printClick()
{
    const QImage& picture = image1Surface.image();
    if (picture.isNull())
        return;
    std::unique_ptr<PrintPreviewWindow> own;
    PrintPreviewWindow* preview = previewWindow(this, own);
    if (!preview->preparePage(picture))
        return;
    preview->drawPreview();
    preview->exec();
}

void RecorderWindow::printSetupClick()
{
    std::unique_ptr<PrintPreviewWindow> own;
    previewWindow(this, own)->runPrinterSetup(this);
}
