// The print preview and printing on the real windows: the miniature's pixels, the caption, the
// printer set-up, and a real page printed into a PDF file and rendered back with pdftoppm.
#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QAction>

#include "ui/FileDialogs.h"
#include "ui/PrintPreviewWindow.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/RecorderWindow.h"
#include "WindowControls.h"

namespace {

constexpr Colour Red = 0x0000FF;
constexpr Colour Blue = 0xFF0000;

struct Printing : ::testing::Test {
    RecorderState st;
    RecorderWindow w{st};
    PrintPreviewWindow preview{&w};
    QTemporaryDir dir;
    std::vector<MessageRequest> messages;
    std::vector<FileDialogRequest> asked;  // every file dialog of a print, in order
    QString answer;                        // its answer: the PDF file to print into
    Windows saved = windows();

    void SetUp() override
    {
        // The screen: red on the left half, blue on the right, so that the picture's place and
        // orientation show on the page.
        w.screenBitmap.fillRect(0, 0, 284, 299, Red);
        w.screenBitmap.fillRect(284, 0, 567, 299, Blue);
        QPrinter& p = preview.printer();
        p.setOutputFormat(QPrinter::PdfFormat);
        answer = dir.filePath(QStringLiteral("page.pdf"));
        setFileDialogHook([this](const FileDialogRequest& r) {
            asked.push_back(r);
            return answer;
        });
        p.setPageSize(QPageSize(QPageSize::A4));
        p.setPageOrientation(QPageLayout::Portrait);
        p.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        setMessageHook([this](const MessageRequest& r) {
            messages.push_back(r);
            return QMessageBox::Ok;
        });
        windows().printPreview = &preview;
    }
    void TearDown() override
    {
        setMessageHook({});
        setFileDialogHook({});
        setPrinterSetupHook({});
        windows() = saved;
    }

    QRgb canvas(int x, int y) const { return preview.canvas.pixel(x, y) & 0xFFFFFF; }
    static QRgb rgb(Colour c) { return Surface::toRgb(c) & 0xFFFFFF; }
};

TEST_F(Printing, PortraitPreviewShowsThePaperThePictureAndTheCaption)
{
    ASSERT_TRUE(preview.preparePage(w.screenBitmap.image()));
    preview.drawPreview();
    EXPECT_EQ(preview.miniature.W, 354);
    EXPECT_EQ(preview.miniature.H, 501);

    // The paper at (64, 10), 354 x 501, outlined; the picture 284 wide from x = 35, 50 below its top.
    EXPECT_EQ(canvas(64, 10), 0x000000u);
    EXPECT_EQ(canvas(64 + 353, 10 + 500), 0x000000u);
    EXPECT_EQ(canvas(70, 20), 0xFFFFFFu);
    EXPECT_NE(canvas(63, 100), 0xFFFFFFu);  // the window around the paper
    EXPECT_EQ(canvas(64 + 35, 10 + 50), rgb(Red));
    EXPECT_EQ(canvas(64 + 35 - 1, 10 + 50), 0xFFFFFFu);
    EXPECT_EQ(canvas(64 + 35, 10 + 50 - 1), 0xFFFFFFu);
    EXPECT_EQ(canvas(64 + 318, 10 + 199), rgb(Blue));
    EXPECT_EQ(canvas(64 + 319, 10 + 199), 0xFFFFFFu);
    EXPECT_EQ(canvas(64 + 318, 10 + 200), 0xFFFFFFu);

    // The caption: the date and time, under the picture, and every edit shows at once.
    const QString today = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    EXPECT_TRUE(child<QLineEdit>(preview, "captionEdit")->text().startsWith(today + QStringLiteral("     ")));
    EXPECT_EQ(child<QLabel>(preview, "miniatureCaptionLabel")->text(),
              child<QLineEdit>(preview, "captionEdit")->text());
    EXPECT_EQ(child<QLabel>(preview, "miniatureCaptionLabel")->pos(), QPoint(64 + 35, 10 + 200 + 17));
    child<QLineEdit>(preview, "captionEdit")->setText(QStringLiteral("Bench 3, supply ripple"));
    EXPECT_EQ(child<QLabel>(preview, "miniatureCaptionLabel")->text(), QStringLiteral("Bench 3, supply ripple"));
}

TEST_F(Printing, LandscapeFromPrintSetupCentresThePicture)
{
    setPrinterSetupHook([](QPrinter& p, QWidget*) {
        p.setPageOrientation(QPageLayout::Landscape);
        return true;
    });
    fire(child<QAction>(w, "printSetupAction"));
    ASSERT_TRUE(preview.preparePage(w.screenBitmap.image()));
    preview.drawPreview();
    EXPECT_TRUE(preview.landscape);
    EXPECT_EQ(preview.miniature.W, 472);
    EXPECT_EQ(preview.miniature.H, 334);
    EXPECT_EQ(canvas(10 + 46, 10 + 67), rgb(Red));
    EXPECT_EQ(canvas(10 + 45, 10 + 67), 0xFFFFFFu);
    EXPECT_EQ(canvas(10 + 424, 10 + 266), rgb(Blue));
    EXPECT_EQ(canvas(10 + 425, 10 + 266), 0xFFFFFFu);
    EXPECT_EQ(canvas(10 + 424, 10 + 267), 0xFFFFFFu);
}

TEST_F(Printing, PrintMenuOpensThePreviewModally)
{
    bool shown = false;
    QString caption;
    QTimer::singleShot(0, &preview, [&] {
        shown = preview.isVisible();
        caption = child<QLabel>(preview, "miniatureCaptionLabel")->text();
        child<QToolButton>(preview, "closeButton")->click();  // "Close"
    });
    fire(child<QAction>(w, "printAction"));
    EXPECT_TRUE(shown);
    EXPECT_FALSE(caption.isEmpty());
    EXPECT_FALSE(preview.isVisible());
    EXPECT_TRUE(messages.empty());
}

TEST_F(Printing, PrintsThePictureAndTheCaptionOnAPdfPage)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftoppm.isEmpty() || pdftotext.isEmpty())
        GTEST_SKIP() << "pdftoppm and pdftotext (poppler-utils) are needed to look at the printed page";

    ASSERT_TRUE(preview.preparePage(w.screenBitmap.image()));
    preview.drawPreview();
    child<QLineEdit>(preview, "captionEdit")->setText(QStringLiteral("Caption 42 of the test page"));
    preview.printClick();
    ASSERT_TRUE(messages.empty()) << qPrintable(messages[0].text);

    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    const QString png = dir.filePath(QStringLiteral("page"));
    ASSERT_EQ(QProcess::execute(pdftoppm, {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-png"),
                                           QStringLiteral("-singlefile"), pdf, png}),
              0);
    const QImage page(png + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    const double W = page.width(), H = page.height();
    EXPECT_NEAR(W / H, 210.0 / 297.0, 0.01);

    auto at = [&](double fx, double fy) { return page.pixelColor(static_cast<int>(fx * W), static_cast<int>(fy * H)); };
    auto isRed = [](const QColor& c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
    auto isBlue = [](const QColor& c) { return c.blue() > 200 && c.red() < 60 && c.green() < 60; };
    auto isWhite = [](const QColor& c) { return c.red() > 240 && c.green() > 240 && c.blue() > 240; };
    // The picture spans 0.1 .. 0.9 of the width from a tenth of the height down, 0.8 W * 299 / 567 high.
    const double pictureBottom = 0.1 + 0.8 * W * 299.0 / 567.0 / H;
    EXPECT_TRUE(isRed(at(0.15, 0.12)));
    EXPECT_TRUE(isRed(at(0.45, pictureBottom - 0.02)));
    EXPECT_TRUE(isBlue(at(0.55, 0.12)));
    EXPECT_TRUE(isBlue(at(0.85, pictureBottom - 0.02)));
    EXPECT_TRUE(isWhite(at(0.05, 0.2)));
    EXPECT_TRUE(isWhite(at(0.95, 0.2)));
    EXPECT_TRUE(isWhite(at(0.5, 0.05)));
    EXPECT_TRUE(isWhite(at(0.5, pictureBottom + 0.1)));

    QProcess text;
    text.start(pdftotext, {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(text.readAllStandardOutput()).contains(QLatin1String("Caption 42 of the test page")));
}

TEST_F(Printing, FailedPrintSaysSoAndNextPrintAsksForAFile)
{
    ASSERT_TRUE(preview.preparePage(w.screenBitmap.image()));
    answer = dir.filePath(QStringLiteral("no folder/page.pdf"));
    preview.printClick();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith(QLatin1String("Printing failed")));

    answer.clear();  // cancelled: nothing printed, nothing said
    preview.printClick();
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(messages.size(), 1u);

    answer = dir.filePath(QStringLiteral("chosen.pdf"));
    EXPECT_TRUE(preview.printPage());
    EXPECT_TRUE(QFile::exists(answer));
}

// Without a printer every print goes into a PDF file, and every print asks for its name in a save
// dialog (which asks before replacing a file), from the same preview or a new one; an earlier
// print is never replaced without a word.
TEST_F(Printing, EveryPrintIntoAPdfFileAsksForTheFileName)
{
    const auto bytes = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    ASSERT_TRUE(preview.preparePage(w.screenBitmap.image()));
    preview.drawPreview();
    child<QLineEdit>(preview, "captionEdit")->setText(QStringLiteral("first"));
    preview.printClick();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(asked[0].fileName, QStringLiteral("Image1.pdf"));
    EXPECT_EQ(asked[0].defaultSuffix, QStringLiteral("pdf"));
    const QString first = answer;
    const QByteArray firstPage = bytes(first);
    ASSERT_FALSE(firstPage.isEmpty());

    // The second print from the same preview asks again, offering the file of the first.
    child<QLineEdit>(preview, "captionEdit")->setText(QStringLiteral("second"));
    answer = dir.filePath(QStringLiteral("second.pdf"));
    preview.printClick();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(QDir(asked[1].directory).filePath(asked[1].fileName), first);
    EXPECT_EQ(bytes(first), firstPage);
    EXPECT_FALSE(bytes(answer).isEmpty());

    // Cancelled: nothing is printed and nothing said.
    answer.clear();
    EXPECT_FALSE(preview.printPage());
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_TRUE(messages.empty());

    // A new preview asks again too.
    answer = dir.filePath(QStringLiteral("third.pdf"));
    QTimer::singleShot(0, &preview, [&] {
        child<QToolButton>(preview, "printButton")->click();  // "Print"
        child<QToolButton>(preview, "closeButton")->click();  // "Close"
    });
    fire(child<QAction>(w, "printAction"));
    EXPECT_EQ(asked.size(), 4u);
    EXPECT_FALSE(bytes(answer).isEmpty());

    // A file chosen in "Print Setup..." is the one offered at the next print, which still asks.
    const QString setUp = dir.filePath(QStringLiteral("set up.pdf"));
    setPrinterSetupHook([&](QPrinter& p, QWidget*) {
        p.setOutputFileName(setUp);
        return true;
    });
    fire(child<QAction>(w, "printSetupAction"));
    answer = setUp;
    preview.printClick();
    ASSERT_EQ(asked.size(), 5u);
    EXPECT_EQ(QDir(asked[4].directory).filePath(asked[4].fileName), setUp);
    EXPECT_TRUE(QFile::exists(setUp));
    EXPECT_EQ(bytes(first), firstPage);
    EXPECT_TRUE(messages.empty());
}

// The screen picture goes onto the page without loss, pixel for pixel: no JPEG in the file, and
// the picture taken back out of it is the screen exactly.
TEST_F(Printing, PrintedPictureIsTheScreenPixelForPixel)
{
    const QString pdfimages = QStandardPaths::findExecutable(QStringLiteral("pdfimages"));
    if (pdfimages.isEmpty())
        GTEST_SKIP() << "pdfimages (poppler-utils) is needed to take the picture out of the printed page";

    // Many colours and one-pixel details, as a screen with traces and small texts has.
    for (int y = 0; y < 299; ++y)
        for (int x = 0; x < 567; ++x)
            w.screenBitmap.setPixel(x, y,
                                    static_cast<Colour>((x * 7 % 256) | (y * 5 % 256) << 8 | ((x ^ y) % 256) << 16));
    for (int x = 0; x < 567; x += 3)
        w.screenBitmap.setPixel(x, 150, 0xFFFFFF);
    const QImage screen = w.screenBitmap.image().convertToFormat(QImage::Format_RGB32);

    ASSERT_TRUE(preview.preparePage(w.screenBitmap.image()));
    preview.drawPreview();
    preview.printClick();
    ASSERT_TRUE(messages.empty()) << qPrintable(messages[0].text);

    QFile pdf(answer);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_FALSE(pdf.readAll().contains("/DCTDecode"));

    const QString prefix = dir.filePath(QStringLiteral("picture"));
    ASSERT_EQ(QProcess::execute(pdfimages, {QStringLiteral("-png"), answer, prefix}), 0);
    const QImage printed = QImage(prefix + QStringLiteral("-000.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(printed.size(), screen.size());
    int different = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            different += (printed.pixel(x, y) & 0xFFFFFF) != (screen.pixel(x, y) & 0xFFFFFF);
    EXPECT_EQ(different, 0);
}

}  // namespace
