#include "ui/PrintPreviewWindow.h"

#include "screen/LocaleTexts.h"

#include <QApplication>
#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QTime>
#include <QToolButton>

#include "ui/FileDialogs.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/RecorderWindow.h"

namespace {

PrinterSetupHook& printerSetupHook()
{
    static PrinterSetupHook hook;
    return hook;
}

// The page image of the preview: shows the canvas at its own size.
class PreviewCanvas : public QWidget {
public:
    PreviewCanvas(const QImage& image, QWidget* parent) : QWidget(parent), image_(image)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(0, 0, image_);
    }

private:
    const QImage& image_;
};

QToolButton* makeBoldButton(QWidget* parent, const char* name, const char* caption, const QRect& geometry)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(QLatin1String(caption));
    QFont f = button->font();
    f.setBold(true);
    button->setFont(f);
    button->setGeometry(geometry);
    return button;
}

QString timeText(const QLocale& locale)
{
    return longTimeText(QTime::currentTime(), locale);
}

void showPrintError(QWidget* parent, const QString& text)
{
    showMessage(parent, {QMessageBox::Critical, {}, text, QMessageBox::Ok});
}

}  // namespace

void setPrinterSetupHook(PrinterSetupHook hook)
{
    printerSetupHook() = std::move(hook);
}

PrintPreviewWindow::PrintPreviewWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PrintPreviewWindow"));
    setWindowTitle(QStringLiteral("Print Preview"));

    toolbarPanel_ = new QFrame(this);
    toolbarPanel_->setObjectName(QStringLiteral("toolbarPanel"));
    toolbarPanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    printButton_ = makeBoldButton(toolbarPanel_, "printButton", "Print", {10, 7, 40, 17});
    closeButton_ = makeBoldButton(toolbarPanel_, "closeButton", "Close", {59, 7, 39, 17});
    connect(printButton_, &QToolButton::clicked, this, &PrintPreviewWindow::printClick);
    connect(closeButton_, &QToolButton::clicked, this, &PrintPreviewWindow::closeClick);

    captionEdit_ = new QLineEdit(toolbarPanel_);
    captionEdit_->setObjectName(QStringLiteral("captionEdit"));
    captionEdit_->setGeometry(151, 10, 334, 21);
    QPalette white = captionEdit_->palette();
    white.setColor(QPalette::Base, Qt::white);
    white.setColor(QPalette::Text, Qt::black);
    captionEdit_->setPalette(white);
    // Every change of the text, typed or pasted, shows in the miniature at once.
    connect(captionEdit_, &QLineEdit::textChanged, this, &PrintPreviewWindow::captionKeyReleased);

    captionPromptLabel_ = new QLabel(QStringLiteral("Caption:"), toolbarPanel_);
    captionPromptLabel_->setObjectName(QStringLiteral("captionPromptLabel"));
    captionPromptLabel_->adjustSize();
    captionPromptLabel_->move(151 - 6 - captionPromptLabel_->width(), 10 + (21 - captionPromptLabel_->height()) / 2);

    pageScrollArea_ = new QScrollArea(this);
    pageScrollArea_->setObjectName(QStringLiteral("pageScrollArea"));
    pageScrollArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("pageScrollContent"));
    content->resize(CanvasWidth, CanvasHeight);
    pageImage_ = new PreviewCanvas(canvas, content);
    pageImage_->setObjectName(QStringLiteral("pageImage"));
    pageImage_->setGeometry(0, 0, CanvasWidth, CanvasHeight);
    miniatureCaptionLabel_ = new QLabel(content);
    miniatureCaptionLabel_->setObjectName(QStringLiteral("miniatureCaptionLabel"));
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(8);
    miniatureCaptionLabel_->setFont(arial);
    QPalette blackOnWhite = miniatureCaptionLabel_->palette();
    blackOnWhite.setColor(QPalette::WindowText, Qt::black);
    blackOnWhite.setColor(QPalette::Window, Qt::white);
    miniatureCaptionLabel_->setPalette(blackOnWhite);
    miniatureCaptionLabel_->setAutoFillBackground(true);
    pageScrollArea_->setWidget(content);

    canvas.fill(QApplication::palette().color(QPalette::Button));
    resize(616, 626);
}

PrintPreviewWindow::~PrintPreviewWindow() = default;

void PrintPreviewWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    toolbarPanel_->setGeometry(0, 0, width(), 33);
    pageScrollArea_->setGeometry(0, 33, width(), height() - 33);
}

void PrintPreviewWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The caption is what one edits here; typing goes straight into it.
    captionEdit_->setFocus();
}

QPrinter& PrintPreviewWindow::printer()
{
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // Without an installed printer the page goes into a PDF file, so printing works everywhere.
        if (QPrinterInfo::availablePrinters().isEmpty())
            printer_->setOutputFormat(QPrinter::PdfFormat);
    }
    return *printer_;
}

QString PrintPreviewWindow::captionText() const
{
    return captionEdit_->text();
}

void PrintPreviewWindow::captionEdited()
{
    miniatureCaptionLabel_->setText(captionText());
    miniatureCaptionLabel_->adjustSize();
}

bool PrintPreviewWindow::preparePage(const QImage& screenImage)
{
    QPrinter& p = printer();
    if (!p.isValid()) {
        showPrintError(this, QStringLiteral("The printer \"%1\" cannot be used. Choose another one with "
                                            "\"Print Setup...\".")
                                 .arg(p.printerName()));
        return false;
    }
    const QRect page = p.pageLayout().paintRectPixels(p.resolution());
    pageWidth = page.width();
    pageHeight = page.height();
    landscape = p.pageLayout().orientation() == QPageLayout::Landscape;
    pictureWidth = screenImage.width();
    pictureHeight = screenImage.height();
    screenImage_ = &screenImage;
    miniature = printing::miniatureFor(pageWidth, pageHeight, landscape);
    return true;
}

void PrintPreviewWindow::drawPreview()
{
    const printing::Miniature& m = miniature;
    const int top = printing::Miniature::Top;
    canvas.fill(QApplication::palette().color(QPalette::Button));
    {
        QPainter painter(&canvas);
        // The paper: white with a black outline on its border pixels.
        painter.fillRect(m.X0, top, m.W, m.H, Qt::white);
        painter.setPen(Qt::black);
        painter.drawRect(m.X0, top, m.W - 1, m.H - 1);
        const printing::PageLayout l = printing::layoutPage(m.W, m.H, landscape, pictureWidth, pictureHeight);
        if (screenImage_ != nullptr && !screenImage_->isNull())
            painter.drawImage(QRect(m.X0 + l.left, top + l.top, l.right - l.left, l.bottom - l.top), *screenImage_);
        miniatureCaptionLabel_->move(m.X0 + l.left, top + l.captionY);
    }
    QFont f = miniatureCaptionLabel_->font();
    f.setPointSize(5);
    miniatureCaptionLabel_->setFont(f);
    const QLocale locale;
    captionEdit_->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat) + QStringLiteral("     ") +
                          timeText(locale));
    captionKeyReleased();
    pageImage_->update();
}

bool PrintPreviewWindow::runPrinterSetup(QWidget* parent)
{
    QPrinter& p = printer();
    if (printerSetupHook())
        return printerSetupHook()(p, parent);
    QPrintDialog dialog(&p, parent);
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    // The dialog only sets the printer up here; printing starts from the preview.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    return dialog.exec() == QDialog::Accepted;
}

bool PrintPreviewWindow::chooseOutputFile()
{
    QPrinter& p = printer();
    if (p.outputFormat() != QPrinter::PdfFormat)
        return true;
    // Every print into a file asks for its name, offering the last one: the save dialog asks before
    // an earlier print is replaced.
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.objectName = QStringLiteral("PrintFileDialog");
    request.title = QStringLiteral("Print to PDF File");
    request.filter = QStringLiteral("PDF file (*.pdf)");
    request.defaultSuffix = QStringLiteral("pdf");
    if (const QString last = p.outputFileName(); !last.isEmpty()) {
        const QFileInfo file(last);
        request.directory = file.absolutePath();
        request.fileName = file.fileName();
    } else {
        request.directory = QDir::homePath();
        if (const RecorderWindow* recorder = windows().recorder;
            recorder != nullptr && !recorder->settings().dataDir.isEmpty())
            request.directory = recorder->settings().dataDir;
        request.fileName = QStringLiteral("Image1.pdf");
    }
    const QString path = runFileDialog(this, request);
    if (path.isEmpty())
        return false;
    p.setOutputFileName(path);
    return true;
}

bool PrintPreviewWindow::printPage()
{
    if (screenImage_ == nullptr || screenImage_->isNull())
        return false;
    if (!chooseOutputFile())
        return false;
    QPrinter& p = printer();
    const QRect page = p.pageLayout().paintRectPixels(p.resolution());
    const bool land = p.pageLayout().orientation() == QPageLayout::Landscape;
    const printing::PageLayout l =
        printing::layoutPage(page.width(), page.height(), land, screenImage_->width(), screenImage_->height());

    QPainter painter;
    if (!painter.begin(&p)) {
        const QString where = p.outputFormat() == QPrinter::PdfFormat
                                  ? QStringLiteral("the file \"%1\" could not be written")
                                        .arg(QDir::toNativeSeparators(p.outputFileName()))
                                  : QStringLiteral("the printer \"%1\" did not accept the page").arg(p.printerName());
        showPrintError(this, QStringLiteral("Printing failed: %1.").arg(where));
        return false;
    }
    // A plain pixel copy: the screen's thin lines stay crisp however far the picture is enlarged,
    // and the picture is stored without loss (a PDF would otherwise hold it as JPEG, which smears
    // the traces and the small texts and adds colours the screen never had).
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    painter.drawImage(QRect(l.left, l.top, l.right - l.left, l.bottom - l.top), *screenImage_);
    painter.setFont(QFont(QStringLiteral("Arial"), 11));
    painter.setPen(Qt::black);
    painter.drawText(QPoint(l.left, l.captionY + painter.fontMetrics().ascent()), captionText());
    const bool ended = painter.end();
    if (!ended || p.printerState() == QPrinter::Error) {
        showPrintError(this, QStringLiteral("Printing failed: the page could not be finished."));
        return false;
    }
    return true;
}

void PrintPreviewWindow::printClick()
{
    printPage();
}

void PrintPreviewWindow::closeClick()
{
    reject();
}
