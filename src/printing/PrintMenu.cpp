// "Print..." and "Print Setup..." of the recorder window.

#include <memory>

#include "printing/rec_preview.h"
#include "shell/Application.h"
#include "shell/Winrecx.h"

namespace {

// The application's preview, or one made for the time of the call where none exists (window tests).
TPreviewForm_rec* previewWindow(TForm1_rec* recorder, std::unique_ptr<TPreviewForm_rec>& own)
{
    if (TPreviewForm_rec* preview = windows().PreviewForm_rec)
        return preview;
    own = std::make_unique<TPreviewForm_rec>(recorder);
    return own.get();
}

}  // namespace

void TForm1_rec::Print1Click()
{
    const QImage& picture = image1Surface.image();
    if (picture.isNull())
        return;
    std::unique_ptr<TPreviewForm_rec> own;
    TPreviewForm_rec* preview = previewWindow(this, own);
    if (!preview->LayoutPage(picture))
        return;
    preview->DrawPreview();
    preview->exec();
}

void TForm1_rec::PrintSetup1Click()
{
    std::unique_ptr<TPreviewForm_rec> own;
    previewWindow(this, own)->PrinterSetup(this);
}
