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

#include "display/Annotation.h"
#include "display/Unit_9rec.h"
#include "shell/Application.h"
#include "shell/Winrecx.h"

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
    drawAnnotation(image, st);
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
        drawAnnotation(image, st);
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
    drawAnnotation(image, st);
    EXPECT_EQ(image.image(), blank);
    st.AnnotationText = QStringLiteral("x");
    st.AnnotationOn = false;
    drawAnnotation(image, st);
    EXPECT_EQ(image.image(), blank);
}

struct AddTextWindow : ::testing::Test {
    RecorderState st;
    std::unique_ptr<TForm1_rec> w;
    std::unique_ptr<Tform_9rec> t;

    AddTextWindow()
    {
        st.DemoMode = true;
        deriveColours(st);
        st.ActiveColors = st.SettingsColors;
        w = std::make_unique<TForm1_rec>(st);
        t = std::make_unique<Tform_9rec>(w.get());
        windows().Form1_rec = w.get();
        windows().Form_9rec = t.get();
        st.ClearPending = true;
        w->putsataanko();
    }
    ~AddTextWindow() override { windows() = Windows{}; }
    int textPixels(int x1, int y1, int x2, int y2) const
    {
        return count(w->image1Surface, st.SettingsColors[Time_Marker], x1, y1, x2, y2);
    }
};

TEST_F(AddTextWindow, AddWithoutRightClickDrawsAtTheTopLeftAndRemoveTakesItAway)
{
    t->Memo1->setPlainText(QStringLiteral("Label"));
    EXPECT_EQ(st.AnnotationText, QStringLiteral("Label"));
    t->Button1Click();
    EXPECT_TRUE(st.AnnotationOn);
    EXPECT_TRUE(t->Button2->isEnabled());
    EXPECT_FALSE(t->Label1->isHidden());
    EXPECT_GT(textPixels(0, 0, 60, 13), 0);
    // Typing changes nothing on the screen until the next full redraw.
    t->Memo1->setPlainText(QString());
    EXPECT_GT(textPixels(0, 0, 60, 13), 0);
    t->Memo1->setPlainText(QStringLiteral("Label"));
    t->Button2Click();
    EXPECT_FALSE(st.AnnotationOn);
    EXPECT_FALSE(t->Button2->isEnabled());
    EXPECT_EQ(textPixels(0, 0, 60, 13), 0);
    t->Button3Click();
    EXPECT_FALSE(t->isVisible());
}

TEST_F(AddTextWindow, RightClickPlacesTheText)
{
    t->Memo1->setPlainText(QStringLiteral("Label"));
    w->annotationRightClick(200, 120);
    EXPECT_EQ(st.AnnotationX, 200);
    EXPECT_EQ(st.AnnotationY, 120);
    EXPECT_TRUE(t->isVisible());
    t->Button1Click();
    EXPECT_GT(textPixels(200, 120, 260, 133), 0);

    // With the window hidden the first right click only brings it back, the second moves the text.
    t->Button3Click();
    w->annotationRightClick(300, 200);
    EXPECT_TRUE(t->isVisible());
    EXPECT_EQ(st.AnnotationX, 200);
    w->annotationRightClick(300, 200);
    EXPECT_EQ(st.AnnotationX, 300);
    EXPECT_EQ(textPixels(200, 120, 260, 133), 0);
    EXPECT_GT(textPixels(300, 200, 360, 213), 0);

    // "Transparent text" redraws at once.
    t->CheckBox1->click();
    EXPECT_TRUE(st.AnnotationTransparent);

    // During a recording right clicks do nothing; the start hides the window.
    w->SpeedButtonRun->click();
    EXPECT_FALSE(t->isVisible());
    w->annotationRightClick(10, 10);
    EXPECT_FALSE(t->isVisible());
    EXPECT_EQ(st.AnnotationX, 300);
    w->SpeedButtonRun->click();
}

TEST_F(AddTextWindow, PasteTakesOnlyText)
{
    QClipboard* clipboard = QApplication::clipboard();
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    clipboard->setImage(picture);
    if (clipboard->image().isNull())
        GTEST_SKIP() << "the platform has no clipboard";
    t->Memo1->setPlainText(QStringLiteral("abc"));
    t->Paste1Click();
    EXPECT_EQ(t->Memo1->toPlainText(), QStringLiteral("abc"));
    t->SelectAll1Click();
    t->Copy1Click();
    EXPECT_EQ(clipboard->text(), QStringLiteral("abc"));
    t->Memo1->moveCursor(QTextCursor::End);
    t->Paste1Click();
    EXPECT_EQ(t->Memo1->toPlainText(), QStringLiteral("abcabc"));
    EXPECT_EQ(st.AnnotationText, QStringLiteral("abcabc"));
}

}  // namespace
