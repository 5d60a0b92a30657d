// The print preview and printing on the real windows: the miniature's pixels, the caption, the
// printer set-up, and a real page printed into a PDF file and rendered back with pdftoppm.
#include <gtest/gtest.h>

#include <QDate>
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

#include "datafiles/FileDialogs.h"
#include "printing/rec_preview.h"
#include "shell/Application.h"
#include "shell/Dialogs.h"
#include "shell/Winrecx.h"

namespace {

constexpr Colour Red = 0x0000FF;
constexpr Colour Blue = 0xFF0000;

struct Printing : ::testing::Test {
    RecorderState st;
    TForm1_rec w{st};
    TPreviewForm_rec preview{&w};
    QTemporaryDir dir;
    std::vector<MessageRequest> messages;
    Windows saved = windows();

    void SetUp() override
    {
        // The screen: red on the left half, blue on the right, so that the picture's place and
        // orientation show on the page.
        w.image1Surface.fillRect(0, 0, 284, 299, Red);
        w.image1Surface.fillRect(284, 0, 567, 299, Blue);
        QPrinter& p = preview.printer();
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(dir.filePath(QStringLiteral("page.pdf")));
        p.setPageSize(QPageSize(QPageSize::A4));
        p.setPageOrientation(QPageLayout::Portrait);
        p.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        setMessageHook([this](const MessageRequest& r) {
            messages.push_back(r);
            return QMessageBox::Ok;
        });
        windows().PreviewForm_rec = &preview;
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
    ASSERT_TRUE(preview.LayoutPage(w.image1Surface.image()));
    preview.DrawPreview();
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
    EXPECT_TRUE(preview.Edit1->text().startsWith(today + QStringLiteral("     ")));
    EXPECT_EQ(preview.Label2->text(), preview.Edit1->text());
    EXPECT_EQ(preview.Label2->pos(), QPoint(64 + 35, 10 + 200 + 17));
    preview.Edit1->setText(QStringLiteral("Bench 3, supply ripple"));
    EXPECT_EQ(preview.Label2->text(), QStringLiteral("Bench 3, supply ripple"));
}

TEST_F(Printing, LandscapeFromPrintSetupCentresThePicture)
{
    setPrinterSetupHook([](QPrinter& p, QWidget*) {
        p.setPageOrientation(QPageLayout::Landscape);
        return true;
    });
    w.PrintSetup1Click();
    ASSERT_TRUE(preview.LayoutPage(w.image1Surface.image()));
    preview.DrawPreview();
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
        caption = preview.Label2->text();
        preview.GrSpeedButton1->click();  // "Close"
    });
    w.Print1Click();
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

    ASSERT_TRUE(preview.LayoutPage(w.image1Surface.image()));
    preview.DrawPreview();
    preview.Edit1->setText(QStringLiteral("Caption 42 of the test page"));
    preview.Button1Click();
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
    ASSERT_TRUE(preview.LayoutPage(w.image1Surface.image()));
    preview.printer().setOutputFileName(dir.filePath(QStringLiteral("no folder/page.pdf")));
    preview.Button1Click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith(QLatin1String("Printing failed")));

    std::vector<FileDialogRequest> asked;
    setFileDialogHook([&](const FileDialogRequest& r) {
        asked.push_back(r);
        return QString();  // cancelled: nothing printed, nothing said
    });
    preview.Button1Click();
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(messages.size(), 1u);

    const QString target = dir.filePath(QStringLiteral("chosen.pdf"));
    setFileDialogHook([&](const FileDialogRequest&) { return target; });
    EXPECT_TRUE(preview.printPage());
    EXPECT_TRUE(QFile::exists(target));
}

}  // namespace
