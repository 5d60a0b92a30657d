// Skins, the help file, the about box and the user guide that ships with the program.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <set>

#include "ui/Help.h"
#include "ui/Skins.h"
#include "ui/AboutBox.h"
#include "ui/Dialogs.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "ui/RecorderWindow.h"
#include "ui/RecorderMenu.h"
#include "WindowControls.h"

namespace {

std::vector<int> checkedSkins(const RecorderWindow& w)
{
    std::vector<int> checked;
    for (int i = 0; i < RecorderMenu::SkinItems; ++i)
        if (w.menu().skinAction(i + 1)->isChecked())
            checked.push_back(static_cast<int>(i) + 1);
    return checked;
}

struct Appearance : ::testing::Test {
    RecorderState st;
    RecorderWindow w{st};
    std::vector<QUrl> opened;
    std::vector<MessageRequest> messages;

    void SetUp() override
    {
        setUrlOpener([this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
        setMessageHook([this](const MessageRequest& r) {
            messages.push_back(r);
            return QMessageBox::Ok;
        });
    }
    void TearDown() override
    {
        w.chooseSkin(8);
        setUrlOpener({});
        setMessageHook({});
    }
};

TEST_F(Appearance, EachSkinTicksItselfAndGivesItsOwnLook)
{
    EXPECT_TRUE(checkedSkins(w).empty());  // nothing ticked until a skin is chosen
    const QString platformStyle = QApplication::style()->name();
    const QColor platformWindow = QApplication::palette().color(QPalette::Window);

    std::set<QRgb> windowColours;
    for (int i = 0; i < 7; ++i) {
        w.menu().skinAction(i + 1)->trigger();
        EXPECT_EQ(w.settings().skin, i + 1);
        EXPECT_EQ(checkedSkins(w), std::vector<int>{i + 1});
        EXPECT_EQ(skins::currentSkin(), i + 1);
        EXPECT_FALSE(qApp->styleSheet().isEmpty());
        windowColours.insert(QApplication::palette().color(QPalette::Window).rgb());
    }
    EXPECT_EQ(windowColours.size(), 7u);

    // The dark skins are dark and the light ones light, as their captions say.
    w.chooseSkin(1);
    EXPECT_LT(QApplication::palette().color(QPalette::Window).lightness(), 100);
    w.chooseSkin(5);
    EXPECT_GT(QApplication::palette().color(QPalette::Window).lightness(), 200);

    // Choosing a skin twice changes nothing.
    w.chooseSkin(3);
    const QPalette deepBlue = QApplication::palette();
    w.menu().skinAction(3)->trigger();
    EXPECT_EQ(checkedSkins(w), std::vector<int>{3});
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), deepBlue.color(QPalette::Window));

    w.chooseSkin(8);
    EXPECT_EQ(w.settings().skin, 8);
    EXPECT_EQ(checkedSkins(w), std::vector<int>{8});
    EXPECT_EQ(QApplication::style()->name(), platformStyle);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), platformWindow);
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
}

TEST_F(Appearance, DesignedLookIsGrayBlueUntilAStoredSkinIsChosen)
{
    w.settings().skin = 0;  // a settings file with a number outside 1..8 chooses nothing
    skins::applySkin(skins::DesignedSkin);
    EXPECT_EQ(skins::currentSkin(), 6);
    EXPECT_TRUE(checkedSkins(w).empty());
    EXPECT_EQ(w.settings().skin, 0);
    const QPalette designed = QApplication::palette();
    EXPECT_FALSE(qApp->styleSheet().isEmpty());

    // The look is the one of "6: Gray blue": choosing that item only ticks it.
    w.chooseSkin(6);
    EXPECT_EQ(checkedSkins(w), std::vector<int>{6});
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), designed.color(QPalette::Window));
    EXPECT_EQ(QApplication::palette().color(QPalette::Button), designed.color(QPalette::Button));
}

TEST_F(Appearance, StoredSkinComesBackAtTheNextStart)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("KORVIX.ini"));
    for (int index : {8, 3}) {
        w.menu().skinAction(index)->trigger();
        {
            SettingsFile file(path);
            writeShutdownSettings(file, st, st, st, w.settings(), true, 301, 265);
            ASSERT_TRUE(file.flush());
        }
        // The next start: the settings are read and the item of the stored number is chosen.
        RecorderState next;
        AppSettings nextSettings;
        readAppSettings(SettingsFile(path), nextSettings);
        ASSERT_EQ(nextSettings.skin, index);
        RecorderWindow again(next);
        again.useSettings(nextSettings);
        again.menu().skinAction(nextSettings.skin)->trigger();
        EXPECT_EQ(checkedSkins(again), std::vector<int>{index});
        EXPECT_EQ(skins::currentSkin(), index);
    }
}

TEST_F(Appearance, ContentsOpensTheGuideNextToTheProgram)
{
    QTemporaryDir exe;
    w.settings().exeDir = exe.path() + QLatin1Char('/');
    fire(child<QAction>(w, "helpContentsAction"));  // no guide there
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(QLatin1String("KORVIX.html")));
    EXPECT_TRUE(opened.empty());

    ASSERT_TRUE(QDir(exe.path()).mkdir(QStringLiteral("info")));
    QFile guide(exe.filePath(QStringLiteral("info/KORVIX.html")));
    ASSERT_TRUE(guide.open(QIODevice::WriteOnly));
    guide.close();
    const QString before = QDir::currentPath();
    fire(child<QAction>(w, "helpContentsAction"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(exe.filePath(QStringLiteral("info/KORVIX.html"))));
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(messages.size(), 1u);
}

// An installed program lives in PREFIX/bin and its guide in PREFIX/share/korvix; the "info" folder
// next to the program (the build folder) is tried first.
TEST_F(Appearance, ContentsFindsTheInstalledGuideFromTheProgramsFolder)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("share/korvix/images")));
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    const QString installed = prefix.filePath(QStringLiteral("share/korvix/KORVIX.html"));
    w.settings().exeDir = bin + QLatin1Char('/');

    // Nothing installed: the message names where an installed program keeps its guide, not a
    // folder "bin/info" (under /usr that is the system's "info" program).
    fire(child<QAction>(w, "helpContentsAction"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(QDir::toNativeSeparators(installed))) << qPrintable(messages[0].text);
    EXPECT_TRUE(opened.empty());

    QFile guide(installed);
    ASSERT_TRUE(guide.open(QIODevice::WriteOnly));
    guide.close();
    fire(child<QAction>(w, "helpContentsAction"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(installed));
    EXPECT_EQ(helpFilePath(bin), installed);
    EXPECT_EQ(helpFilePath(w.settings().exeDir), installed);

    // A file named "info" beside the program (as /usr/bin/info is) does not hide the guide.
    QFile infoProgram(prefix.filePath(QStringLiteral("bin/info")));
    ASSERT_TRUE(infoProgram.open(QIODevice::WriteOnly));
    infoProgram.close();
    EXPECT_EQ(helpFilePath(bin), installed);

    // A guide in the "info" folder next to the program wins over the installed one.
    ASSERT_TRUE(infoProgram.remove());
    ASSERT_TRUE(QDir(bin).mkdir(QStringLiteral("info")));
    QFile local(prefix.filePath(QStringLiteral("bin/info/KORVIX.html")));
    ASSERT_TRUE(local.open(QIODevice::WriteOnly));
    local.close();
    EXPECT_EQ(helpFilePath(w.settings().exeDir), local.fileName());
    fire(child<QAction>(w, "helpContentsAction"));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1], QUrl::fromLocalFile(local.fileName()));
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(Appearance, AboutBoxShowsItsTextsAndOpensTheMakersSite)
{
    AboutBox about(&w);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("KORVIX"));
    EXPECT_EQ(about.size(), QSize(241, 191));
    EXPECT_EQ(child<QLabel>(about, "titleLabel")->text(), QStringLiteral("Recorder/Logger"));
    EXPECT_EQ(child<QLabel>(about, "makerLabel")->text(), QStringLiteral("Software for Lumivale"));
    EXPECT_EQ(child<QLabel>(about, "productLabel")->text(), QStringLiteral("KORVIX 4Ch signal recorder "));
    EXPECT_EQ(child<QLabel>(about, "versionLabel")->text(), QStringLiteral("Version 1.01"));
    EXPECT_EQ(child<QLabel>(about, "platformLabel")->text(), QStringLiteral("For Windows® XP/Vista/7/8/10"));
    EXPECT_TRUE(child<QLabel>(about, "webAddressLabel")->font().underline());
    // Every label but the title is 11-pixel black text; the address is marked as a link only by its
    // underline and the hand cursor.
    for (const QLabel* label : {child<QLabel>(about, "makerLabel"), child<QLabel>(about, "productLabel"),
                                child<QLabel>(about, "versionLabel"), child<QLabel>(about, "webAddressLabel"),
                                child<QLabel>(about, "platformLabel")}) {
        EXPECT_EQ(label->font().pixelSize(), 11) << qPrintable(label->objectName());
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::black)) << qPrintable(label->objectName());
    }
    EXPECT_EQ(child<QLabel>(about, "webAddressLabel")->cursor().shape(), Qt::PointingHandCursor);
    ASSERT_FALSE(child<QLabel>(about, "iconLabel")->pixmap().isNull());
    EXPECT_FALSE(QApplication::windowIcon().isNull());

    about.webAddressClick();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(QLatin1String(MakerSite)));

    QTimer::singleShot(0, &about, [&] { child<QPushButton>(about, "okButton")->click(); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}

// The about box is made at start-up under the designed look, with the program's font, before the
// stored skin is applied: under every skin the address shows as an underlined link with the hand
// cursor on the screen, not only in its font property.
TEST_F(Appearance, AboutBoxAddressShowsAsALinkUnderEverySkin)
{
    const QFont programFont = QApplication::font();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);
    skins::applySkin(skins::DesignedSkin);
    AboutBox about(&w);
    about.show();

    // A label's text is underlined when, under its baseline, a pixel row of the white panel is dark
    // across most of the text's width.
    const auto underlined = [&about](const QLabel* label) {
        const QImage panel = child<QFrame>(about, "framePanel")->grab().toImage();
        const QRect box = label->geometry();
        const QFontMetrics metrics(label->font());
        const int width = metrics.horizontalAdvance(label->text());
        const int baseline = box.top() + (box.height() - metrics.height()) / 2 + metrics.ascent();
        for (int y = baseline; y < box.bottom() + 1; ++y) {
            int dark = 0;
            for (int x = box.left(); x < box.left() + width; ++x)
                dark += qGray(panel.pixel(x, y)) < 128;
            if (dark > width * 3 / 4)
                return true;
        }
        return false;
    };
    for (int index : {4, 1, 3, 6, 8, 5}) {
        SCOPED_TRACE(index);
        w.menu().skinAction(index)->trigger();
        QApplication::processEvents();
        EXPECT_TRUE(child<QLabel>(about, "webAddressLabel")->font().underline());
        EXPECT_EQ(child<QLabel>(about, "webAddressLabel")->font().pixelSize(), 11);
        EXPECT_EQ(child<QLabel>(about, "webAddressLabel")->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_TRUE(underlined(child<QLabel>(about, "webAddressLabel")));
        EXPECT_FALSE(underlined(child<QLabel>(about, "versionLabel")));
    }
    QApplication::setFont(programFont);
}

// The guide that ships next to the program: every picture it shows is there, and it covers every
// menu command by its caption.
TEST(UserGuide, ShowsItsPicturesAndNamesEveryMenuCommand)
{
    const QString folder = QStringLiteral(KORVIX_TEST_DATA "/../info");
    QFile file(folder + QStringLiteral("/KORVIX.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());

    const QRegularExpression image(QStringLiteral("<img[^>]*src=\"([^\"]+)\""));
    int pictures = 0;
    for (auto it = image.globalMatch(html); it.hasNext(); ++pictures) {
        const QString src = it.next().captured(1);
        EXPECT_TRUE(QFile::exists(folder + QLatin1Char('/') + src)) << qPrintable(src);
    }
    EXPECT_GE(pictures, 3);

    RecorderState st;
    RecorderWindow w(st);
    const QString text = html.simplified();
    std::function<void(const QList<QAction*>&)> check = [&](const QList<QAction*>& actions) {
        for (QAction* action : actions) {
            if (action->isSeparator())
                continue;
            // "&&" is a literal ampersand, a single "&" marks the mnemonic.
            QString caption = action->text();
            caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
            caption.remove(QLatin1Char('&'));
            caption.replace(QStringLiteral("\x01"), QStringLiteral("&amp;"));
            EXPECT_TRUE(text.contains(caption.simplified())) << qPrintable(caption);
            if (action->menu() != nullptr)
                check(action->menu()->actions());
        }
    };
    check(w.menuBar()->actions());
}

}  // namespace
