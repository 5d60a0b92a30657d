#include "printing/rec_preview.h"

#include "shell/LocaleTexts.h"

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

#include "datafiles/FileDialogs.h"
#include "shell/Application.h"
#include "shell/Dialogs.h"
#include "shell/Winrecx.h"

namespace {

PrinterSetupHook& printerSetupHook()
{
    static PrinterSetupHook hook;
    return hook;
}

// Image1 of the preview: shows the canvas at its own size.
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

TPreviewForm_rec::TPreviewForm_rec(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PreviewForm_rec"));
    setWindowTitle(QStringLiteral("Print Preview"));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    SpeedButton29 = makeBoldButton(Panel1, "SpeedButton29", "Print", {10, 7, 40, 17});
    GrSpeedButton1 = makeBoldButton(Panel1, "GrSpeedButton1", "Close", {59, 7, 39, 17});
    connect(SpeedButton29, &QToolButton::clicked, this, &TPreviewForm_rec::Button1Click);
    connect(GrSpeedButton1, &QToolButton::clicked, this, &TPreviewForm_rec::Button2Click);

    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(151, 10, 334, 21);
    QPalette white = Edit1->palette();
    white.setColor(QPalette::Base, Qt::white);
    white.setColor(QPalette::Text, Qt::black);
    Edit1->setPalette(white);
    // Every change of the text, typed or pasted, shows in the miniature at once.
    connect(Edit1, &QLineEdit::textChanged, this, &TPreviewForm_rec::Edit1KeyUp);

    Label1 = new QLabel(QStringLiteral("Caption:"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->adjustSize();
    Label1->move(151 - 6 - Label1->width(), 10 + (21 - Label1->height()) / 2);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("ScrollBox1Content"));
    content->resize(CanvasWidth, CanvasHeight);
    Image1 = new PreviewCanvas(canvas, content);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, CanvasWidth, CanvasHeight);
    Label2 = new QLabel(content);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(8);
    Label2->setFont(arial);
    QPalette blackOnWhite = Label2->palette();
    blackOnWhite.setColor(QPalette::WindowText, Qt::black);
    blackOnWhite.setColor(QPalette::Window, Qt::white);
    Label2->setPalette(blackOnWhite);
    Label2->setAutoFillBackground(true);
    ScrollBox1->setWidget(content);

    canvas.fill(QApplication::palette().color(QPalette::Button));
    resize(616, 626);
}

TPreviewForm_rec::~TPreviewForm_rec() = default;

void TPreviewForm_rec::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Panel1->setGeometry(0, 0, width(), 33);
    ScrollBox1->setGeometry(0, 33, width(), height() - 33);
}

void TPreviewForm_rec::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The caption is what one edits here; typing goes straight into it.
    Edit1->setFocus();
}

QPrinter& TPreviewForm_rec::printer()
{
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // Without an installed printer the page goes into a PDF file, so printing works everywhere.
        if (QPrinterInfo::availablePrinters().isEmpty())
            printer_->setOutputFormat(QPrinter::PdfFormat);
    }
    return *printer_;
}

QString TPreviewForm_rec::captionText() const
{
    return Edit1->text();
}

void TPreviewForm_rec::Edit1KeyDown()
{
    Label2->setText(captionText());
    Label2->adjustSize();
}

bool TPreviewForm_rec::LayoutPage(const QImage& screenImage)
{
    QPrinter& p = printer();
    if (!p.isValid()) {
        showPrintError(this, QStringLiteral("The printer \"%1\" cannot be used. Choose another one with "
                                            "\"Print Setup...\".")
                                 .arg(p.printerName()));
        return false;
    }
    const QRect page = p.pageLayout().paintRectPixels(p.resolution());
    pw = page.width();
    ph = page.height();
    landscape = p.pageLayout().orientation() == QPageLayout::Landscape;
    IW = screenImage.width();
    IH = screenImage.height();
    screenImage_ = &screenImage;
    miniature = printing::miniatureFor(pw, ph, landscape);
    return true;
}

void TPreviewForm_rec::DrawPreview()
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
        const printing::PageLayout l = printing::layoutPage(m.W, m.H, landscape, IW, IH);
        if (screenImage_ != nullptr && !screenImage_->isNull())
            painter.drawImage(QRect(m.X0 + l.left, top + l.top, l.right - l.left, l.bottom - l.top), *screenImage_);
        Label2->move(m.X0 + l.left, top + l.captionY);
    }
    QFont f = Label2->font();
    f.setPointSize(5);
    Label2->setFont(f);
    const QLocale locale;
    Edit1->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat) + QStringLiteral("     ") +
                   timeText(locale));
    Edit1KeyUp();
    Image1->update();
}

bool TPreviewForm_rec::PrinterSetup(QWidget* parent)
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

bool TPreviewForm_rec::chooseOutputFile()
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
        if (const TForm1_rec* recorder = windows().Form1_rec; recorder != nullptr && !recorder->st.DataDir.isEmpty())
            request.directory = recorder->st.DataDir;
        request.fileName = QStringLiteral("Image1.pdf");
    }
    const QString path = runFileDialog(this, request);
    if (path.isEmpty())
        return false;
    p.setOutputFileName(path);
    return true;
}

bool TPreviewForm_rec::printPage()
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

void TPreviewForm_rec::Button1Click()
{
    printPage();
}

void TPreviewForm_rec::Button2Click()
{
    reject();
}
