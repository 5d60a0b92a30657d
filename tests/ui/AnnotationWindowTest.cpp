// The "Add Text" window and the annotation it draws on the screen bitmap.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include "screen/Annotation.h"
#include "ui/AddTextWindow.h"
#include "ui/Application.h"
#include "ui/RecorderWindow.h"
#include "ui/MeasuringTools.h"
#include "WindowControls.h"

namespace {

constexpr Colour Black = 0x000000;
constexpr Colour Grid = 0x800000;

int count(const Surface& s, Colour c, int x1, int y1, int x2, int y2)
{
    int n = 0;
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x)
            n += s.pixel(x, y) == c ? 1 : 0;
    return n;
}

struct AnnotationDrawing : ::testing::Test {
    RecorderState st;
    Surface image{Screen::ImageWidth, Screen::ImageHeight};
    Colour text = 0;

    AnnotationDrawing()
    {
        image.reset(Black);
        image.brushColour = Black;
        text = st.SettingsColors[Time_Marker];
        st.AnnotationOn = true;
        st.AnnotationX = 50;
        st.AnnotationY = 100;
    }
};

TEST_F(AnnotationDrawing, LinesAre13PixelsApart)
{
    st.AnnotationText = QStringLiteral("HHH\nHHH\nHHH");
    drawAnnotation(image, st, st);
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(count(image, text, 50, 100 + 13 * i, 120, 113 + 13 * i), 0) << i;
    EXPECT_EQ(count(image, text, 0, 139, image.width(), image.height()), 0);
    EXPECT_EQ(count(image, text, 0, 0, image.width(), 100), 0);
    EXPECT_EQ(count(image, text, 0, 0, 50, image.height()), 0);
}

TEST_F(AnnotationDrawing, OpaqueLinesHideWhatIsBelowTransparentOnesDoNot)
{
    st.AnnotationText = QStringLiteral("HHHHHHHH");
    const int width = image.textWidth(st.AnnotationText);
    auto drawOverGrid = [&](bool transparent) {
        image.reset(Black);
        image.fillRect(0, 105, image.width(), 106, Grid);
        st.AnnotationTransparent = transparent;
        drawAnnotation(image, st, st);
        return count(image, Grid, 50, 105, 50 + width, 106);
    };
    EXPECT_EQ(drawOverGrid(false), 0);
    EXPECT_GT(drawOverGrid(true), 0);
    // Outside the text's cell the grid is untouched either way.
    EXPECT_EQ(count(image, Grid, 50 + width, 105, image.width(), 106), image.width() - 50 - width);
}

TEST_F(AnnotationDrawing, NothingWithoutTextOrWhenOff)
{
    const QImage blank = image.image().copy();
    drawAnnotation(image, st, st);
    EXPECT_EQ(image.image(), blank);
    st.AnnotationText = QStringLiteral("x");
    st.AnnotationOn = false;
    drawAnnotation(image, st, st);
    EXPECT_EQ(image.image(), blank);
}

struct AddTextWindowTest : ::testing::Test {
    RecorderState st;
    std::unique_ptr<RecorderWindow> w;
    std::unique_ptr<AddTextWindow> t;

    AddTextWindowTest()
    {
        st.DemoMode = true;
        deriveColours(st);
        st.ActiveColors = st.SettingsColors;
        w = std::make_unique<RecorderWindow>(st);
        t = std::make_unique<AddTextWindow>(w.get());
        windows().recorder = w.get();
        windows().addText = t.get();
        st.ClearPending = true;
        w->screen.redrawIfClearPending();
    }
    ~AddTextWindowTest() override { windows() = Windows{}; }
    int textPixels(int x1, int y1, int x2, int y2) const
    {
        return count(w->screenBitmap, st.SettingsColors[Time_Marker], x1, y1, x2, y2);
    }
};

TEST_F(AddTextWindowTest, AddWithoutRightClickDrawsAtTheTopLeftAndRemoveTakesItAway)
{
    child<QPlainTextEdit>(*t, "textEdit")->setPlainText(QStringLiteral("Label"));
    EXPECT_EQ(st.AnnotationText, QStringLiteral("Label"));
    t->addTextClick();
    EXPECT_TRUE(st.AnnotationOn);
    EXPECT_TRUE(child<QPushButton>(*t, "removeButton")->isEnabled());
    EXPECT_FALSE(child<QLabel>(*t, "hintLabel")->isHidden());
    EXPECT_GT(textPixels(0, 0, 60, 13), 0);
    // Typing changes nothing on the screen until the next full redraw.
    child<QPlainTextEdit>(*t, "textEdit")->setPlainText(QString());
    EXPECT_GT(textPixels(0, 0, 60, 13), 0);
    child<QPlainTextEdit>(*t, "textEdit")->setPlainText(QStringLiteral("Label"));
    t->removeClick();
    EXPECT_FALSE(st.AnnotationOn);
    EXPECT_FALSE(child<QPushButton>(*t, "removeButton")->isEnabled());
    EXPECT_EQ(textPixels(0, 0, 60, 13), 0);
    t->closeClick();
    EXPECT_FALSE(t->isVisible());
}

TEST_F(AddTextWindowTest, RightClickPlacesTheText)
{
    child<QPlainTextEdit>(*t, "textEdit")->setPlainText(QStringLiteral("Label"));
    w->measuring().placeAnnotation(200, 120);
    EXPECT_EQ(st.AnnotationX, 200);
    EXPECT_EQ(st.AnnotationY, 120);
    EXPECT_TRUE(t->isVisible());
    t->addTextClick();
    EXPECT_GT(textPixels(200, 120, 260, 133), 0);

    // With the window hidden the first right click only brings it back, the second moves the text.
    t->closeClick();
    w->measuring().placeAnnotation(300, 200);
    EXPECT_TRUE(t->isVisible());
    EXPECT_EQ(st.AnnotationX, 200);
    w->measuring().placeAnnotation(300, 200);
    EXPECT_EQ(st.AnnotationX, 300);
    EXPECT_EQ(textPixels(200, 120, 260, 133), 0);
    EXPECT_GT(textPixels(300, 200, 360, 213), 0);

    // "Transparent text" redraws at once.
    child<QCheckBox>(*t, "transparentBox")->click();
    EXPECT_TRUE(st.AnnotationTransparent);

    // During a recording right clicks do nothing; the start hides the window.
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_FALSE(t->isVisible());
    w->measuring().placeAnnotation(10, 10);
    EXPECT_FALSE(t->isVisible());
    EXPECT_EQ(st.AnnotationX, 300);
    child<QToolButton>(*w, "runButton")->click();
}

TEST_F(AddTextWindowTest, PasteTakesOnlyText)
{
    QClipboard* clipboard = QApplication::clipboard();
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    clipboard->setImage(picture);
    if (clipboard->image().isNull())
        GTEST_SKIP() << "the platform has no clipboard";
    child<QPlainTextEdit>(*t, "textEdit")->setPlainText(QStringLiteral("abc"));
    t->pasteClick();
    EXPECT_EQ(child<QPlainTextEdit>(*t, "textEdit")->toPlainText(), QStringLiteral("abc"));
    t->selectAllClick();
    t->copyClick();
    EXPECT_EQ(clipboard->text(), QStringLiteral("abc"));
    child<QPlainTextEdit>(*t, "textEdit")->moveCursor(QTextCursor::End);
    t->pasteClick();
    EXPECT_EQ(child<QPlainTextEdit>(*t, "textEdit")->toPlainText(), QStringLiteral("abcabc"));
    EXPECT_EQ(st.AnnotationText, QStringLiteral("abcabc"));
}

}  // namespace
