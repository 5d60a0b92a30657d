// "Save Image...", "Open Image...", "Copy", "Paste" and the Edit menu on the real window.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtEndian>
#include <QMenu>

#include "ui/FileDialogs.h"
#include "files/Images.h"
#include "ui/Dialogs.h"
#include "ui/RecorderWindow.h"
#include "WindowControls.h"

namespace {

struct ImageMenu : ::testing::Test {
    RecorderState st;
    RecorderWindow w{st};
    QTemporaryDir dir;
    QString answer;  // what the file dialog answers
    std::vector<FileDialogRequest> asked;
    std::vector<MessageRequest> messages;

    void SetUp() override
    {
        st.SettingsColors = DefaultColours;
        deriveColours(st);
        st.ActiveColors = st.SettingsColors;
        w.settings().dataDir = dir.path();
        st.ClearPending = true;
        w.screen.redrawIfClearPending();
        // Something on the screen besides the grid, so that a lost or moved pixel shows.
        w.screenBitmap.fillRect(100, 100, 140, 130, 0x3366CC);
        w.screenBitmap.fillRect(500, 250, 567, 299, 0x00FF80);
        st.ClearPending = false;
        setFileDialogHook([this](const FileDialogRequest& r) {
            asked.push_back(r);
            return answer;
        });
        setMessageHook([this](const MessageRequest& r) {
            messages.push_back(r);
            return QMessageBox::Ok;
        });
    }
    void TearDown() override
    {
        setFileDialogHook({});
        setMessageHook({});
    }

    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QImage screen() const { return w.screenBitmap.image().copy(); }
};

TEST_F(ImageMenu, SaveWritesPngForPngAndBitmapForAnyOtherName)
{
    const QImage before = screen();
    answer = path("shot.png");
    fire(child<QAction>(w, "saveImageAction"));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(asked[0].directory, dir.path());
    EXPECT_EQ(asked[0].fileName, QStringLiteral("Image1"));
    EXPECT_EQ(asked[0].defaultSuffix, QStringLiteral("png"));
    EXPECT_EQ(asked[0].filter, QStringLiteral("PNG (*.PNG);;Bitmap file (*.bmp)"));

    QFile png(answer);
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_TRUE(png.read(4) == "\x89PNG");
    EXPECT_EQ(pictures::loadPicture(answer).convertToFormat(QImage::Format_RGB32), before);

    answer = path("shot.jpg");
    fire(child<QAction>(w, "saveImageAction"));
    EXPECT_EQ(asked.back().fileName, QStringLiteral("shot.png"));  // the dialog offers the last name
    QFile jpg(answer);
    ASSERT_TRUE(jpg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(jpg.read(2) == "BM");
    EXPECT_EQ(pictures::loadPicture(answer).convertToFormat(QImage::Format_RGB32), before);

    answer = path("plain");
    fire(child<QAction>(w, "saveImageAction"));
    EXPECT_TRUE(QFile::exists(path("plain.png")));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(screen(), before);
}

TEST_F(ImageMenu, SaveThatCannotWriteSaysSoOnce)
{
    answer = path("missing folder/shot.png");
    fire(child<QAction>(w, "saveImageAction"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(QLatin1String("could not be saved")));

    messages.clear();
    answer.clear();  // cancelled
    fire(child<QAction>(w, "saveImageAction"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ImageMenu, OpenDrawsThePictureTopLeftUntilTheNextRebuild)
{
    QImage small(50, 40, QImage::Format_RGB32);
    small.fill(qRgb(200, 10, 10));
    small.setPixel(49, 39, qRgb(1, 2, 3));
    ASSERT_TRUE(pictures::savePicture(path("small.bmp"), small, pictures::PictureFormat::Bmp));
    const QImage before = screen();

    answer = path("small.bmp");
    fire(child<QAction>(w, "openImageAction"));
    EXPECT_EQ(asked.back().kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(asked.back().filter, QStringLiteral("PNG (*.PNG);;Bitmap (*.BMP)"));
    const QImage after = screen();
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(after.pixel(0, 0), qRgb(200, 10, 10));
    EXPECT_EQ(after.pixel(49, 39), qRgb(1, 2, 3));
    EXPECT_EQ(after.pixel(50, 39), before.pixel(50, 39));
    EXPECT_EQ(after.pixel(49, 40), before.pixel(49, 40));
    EXPECT_EQ(after.copy(100, 100, 40, 30), before.copy(100, 100, 40, 30));
    EXPECT_TRUE(st.ClearPending);

    w.screen.redrawIfClearPending();
    EXPECT_NE(screen().pixel(0, 0), qRgb(200, 10, 10));

    // A picture larger than the screen is cut at its edges; the screen keeps its size.
    QImage large(800, 600, QImage::Format_RGB32);
    large.fill(qRgb(9, 99, 199));
    ASSERT_TRUE(pictures::savePicture(path("large.png"), large, pictures::PictureFormat::Png));
    answer = path("large.png");
    fire(child<QAction>(w, "openImageAction"));
    EXPECT_EQ(screen().size(), before.size());
    EXPECT_EQ(screen().pixel(566, 298), qRgb(9, 99, 199));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ImageMenu, OpenOfABadPictureLeavesTheScreenAsItWas)
{
    const QImage before = screen();
    QByteArray huge = pictures::encodeBmp(QImage(4, 4, QImage::Format_RGB32));
    qToLittleEndian(static_cast<qint32>(30000), huge.data() + 18);
    qToLittleEndian(static_cast<qint32>(30000), huge.data() + 22);
    const QByteArray png = pictures::encodePng(before);
    const std::vector<std::pair<const char*, QByteArray>> files = {
        {"truncated.png", png.left(png.size() - 200)},
        {"huge.bmp", huge},
        {"notes.png", QByteArray("just some text\r\n")},
        // The name says how a picture is read: PNG for .png, a bitmap for any other name.
        {"png content.bmp", png},
        {"bitmap content.png", pictures::encodeBmp(before)},
    };
    for (const auto& [name, content] : files) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        messages.clear();
        answer = path(name);
        fire(child<QAction>(w, "openImageAction"));
        EXPECT_EQ(messages.size(), 1u) << name;
        EXPECT_EQ(screen(), before) << name;
        EXPECT_FALSE(st.ClearPending) << name;
    }
}

TEST_F(ImageMenu, CopyThenPasteLeavesTheScreenAsItWas)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("only text"));
    emit child<QMenu>(w, "editMenu")->aboutToShow();
    EXPECT_FALSE(child<QAction>(w, "pasteAction")->isEnabled());

    const QImage before = screen();
    fire(child<QAction>(w, "copyAction"));
    emit child<QMenu>(w, "editMenu")->aboutToShow();
    EXPECT_TRUE(child<QAction>(w, "pasteAction")->isEnabled());
    w.screenBitmap.fillRect(0, 0, 567, 299, 0);
    fire(child<QAction>(w, "pasteAction"));
    EXPECT_EQ(screen(), before);
    EXPECT_TRUE(st.ClearPending);

    // A picture of another size: from the top-left on the background, the screen keeps its size.
    QImage other(30, 20, QImage::Format_RGB32);
    other.fill(qRgb(250, 250, 0));
    clipboard->setImage(other);
    fire(child<QAction>(w, "pasteAction"));
    EXPECT_EQ(screen().size(), before.size());
    EXPECT_EQ(screen().pixel(29, 19), qRgb(250, 250, 0));
    EXPECT_EQ(screen().pixel(30, 19), qRgb(0, 0, 0));
    EXPECT_EQ(screen().pixel(566, 298), qRgb(0, 0, 0));

    // Paste with only text on the clipboard changes nothing but asks for a rebuild.
    clipboard->setText(QStringLiteral("text again"));
    const QImage kept = screen();
    st.ClearPending = false;
    fire(child<QAction>(w, "pasteAction"));
    EXPECT_EQ(screen(), kept);
    EXPECT_TRUE(st.ClearPending);
}

}  // namespace
