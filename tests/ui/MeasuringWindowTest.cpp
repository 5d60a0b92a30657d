// The recorder window's measuring controls driven through their handlers: DVM panels and value
// texts from device and demo readings, Max and Min hold, the channel switches with their panels,
// the marker modes of the View menu and the mouse on screenImage, and the seven-segment control.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <memory>

#include "ui/DvmPanel.h"
#include "ui/SevenSegmentDigit.h"
#include "screen/SevenSegment.h"
#include "screen/ValueDisplay.h"
#include "ui/RecorderWindow.h"
#include "ui/InputControls.h"
#include "ui/MeasuringTools.h"
#include "ui/ValueDisplays.h"
#include "WindowControls.h"

namespace {

constexpr Colour Navy = 0x800000, White = 0xFFFFFF, Grey = 0x808080;

Colour textColour(const QWidget* w)
{
    return SevenSegmentDigit::fromQColor(w->palette().color(QPalette::WindowText));
}
Colour fillColour(const QWidget* w)
{
    return SevenSegmentDigit::fromQColor(w->palette().color(QPalette::Window));
}

struct MeasuringWindow : ::testing::Test {
    RecorderState st;
    std::unique_ptr<RecorderWindow> w;

    MeasuringWindow()
    {
        deriveColours(st);
        st.ActiveColors = st.SettingsColors;
        w = std::make_unique<RecorderWindow>(st);
        for (int n = 0; n < ChannelCount; ++n)
            for (int p = 0; p < BufferLength; ++p)
                st.trace(n, p) = 40 + 50 * n + (p / 100) % 2 * 15;
        st.ClearPending = true;
        w->screen.redrawIfClearPending();
        w->screen.drawTraces();
    }

    // A device-mode refresh in the middle of a sample: four reports summed so far.
    void deviceReading(int ch, int value, int rangeTenths = 200)
    {
        st.DemoMode = false;
        st.ChannelRange[static_cast<size_t>(ch)] = static_cast<uint8_t>(rangeTenths);
        std::array<int32_t, 4> sums = w->session->progress().SampleSum;
        sums[static_cast<size_t>(ch)] = value * 4;
        w->session->setSumsForTest(sums, 4);
    }
    std::array<int, 4> digits(int ch) const
    {
        std::array<int, 4> d{};
        for (int i = 0; i < 4; ++i)
            d[static_cast<size_t>(i)] = w->dvmPanel(ch)->digit(i)->value();
        return d;
    }
    bool plus(int ch) const { return !w->dvmPanel(ch)->plusBar()->isHidden(); }
    QImage screen() const { return w->screenBitmap.image().copy(); }
};

TEST_F(MeasuringWindow, PanelDigitsSignAndValueTextForDeviceReadings)
{
    w->dvmPanel(0)->maxBox()->setChecked(true);
    deviceReading(0, 1022);
    w->values().refreshDvmPanels();
    w->values().refreshValueTexts();
    EXPECT_EQ(digits(0), (std::array<int, 4>{1, 9, 9, 2}));
    EXPECT_TRUE(plus(0));
    EXPECT_TRUE(w->dvmPanel(0)->maxLabel()->text().startsWith(QStringLiteral("19.922V\t\t")))
        << w->dvmPanel(0)->maxLabel()->text().toStdString();
    EXPECT_EQ(st.ValueText[0], "19.92V");

    // Zero reads as minus.
    deviceReading(0, 512);
    w->values().refreshDvmPanels();
    w->values().refreshValueTexts();
    EXPECT_EQ(digits(0), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_FALSE(plus(0));
    EXPECT_EQ(st.ValueText[0], "0.00V");

    // -0.00078125 V on ±0.4 V: 00.00 with minus, and no "-0.00" in the text.
    deviceReading(0, 511, 4);
    w->values().refreshDvmPanels();
    w->values().refreshValueTexts();
    EXPECT_EQ(digits(0), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_FALSE(plus(0));
    EXPECT_EQ(st.ValueText[0], "0.00V");

    // Four characters get a leading 0: 2.34 V reads 02.34; negative readings keep their digits.
    deviceReading(1, 812, 40);
    deviceReading(2, 480, 200);
    w->values().refreshDvmPanels();
    w->values().refreshValueTexts();
    EXPECT_EQ(digits(1), (std::array<int, 4>{0, 2, 3, 4}));
    EXPECT_TRUE(plus(1));
    EXPECT_EQ(digits(2), (std::array<int, 4>{0, 1, 2, 5}));
    EXPECT_FALSE(plus(2));
    EXPECT_EQ(st.ValueText[2], "-1.25V");

    // The calibration offset is added to the average.
    deviceReading(3, 1020);
    st.CalOffset[3] = 2;
    w->values().refreshDvmPanels();
    EXPECT_EQ(digits(3), (std::array<int, 4>{1, 9, 9, 2}));
    // With the panels shown the device loop refreshes only them; the value text for the picture at
    // the stop follows all the same.
    EXPECT_EQ(st.ValueText[3], "19.92V");
}

TEST_F(MeasuringWindow, OverRangeShowsDashesInDeviceModeAndTheVoltageInDemoMode)
{
    w->dvmPanel(0)->maxBox()->setChecked(true);
    deviceReading(0, 700);
    w->values().refreshDvmPanels();
    const QString held = w->dvmPanel(0)->maxLabel()->text();
    const double heldMax = w->dvmPanel(0)->heldMax();

    deviceReading(0, 1023);
    w->values().refreshDvmPanels();
    w->values().refreshValueTexts();
    for (SevenSegmentDigit* digit : w->dvmPanel(0)->digits()) {
        EXPECT_EQ(digit->value(), 0);
        EXPECT_EQ(digit->dispColor(), Navy);
        EXPECT_EQ(digit->dispOffColor(), White);
    }
    EXPECT_EQ(st.ValueText[0], "----V");
    EXPECT_EQ(w->dvmPanel(0)->maxLabel()->text(), held);  // Max ignores it
    EXPECT_EQ(w->dvmPanel(0)->heldMax(), heldMax);
    deviceReading(0, 0);
    w->values().refreshValueTexts();
    EXPECT_EQ(st.ValueText[0], "----V");

    // Demo mode: screen value 0 is reading 1023; the panel shows dashes, the text the voltage.
    st.DemoMode = true;
    st.ChannelRange[0] = 20;
    st.SampleIndex = 77;
    st.trace(0, 77) = 0;
    w->values().refreshDvmPanels();
    w->values().refreshValueTexts();
    EXPECT_EQ(w->dvmPanel(0)->digit(0)->dispColor(), Navy);
    EXPECT_EQ(st.ValueText[0], "2.00V");

    // Back in range the digits are white on navy again.
    st.trace(0, 77) = 127;
    w->values().refreshDvmPanels();
    EXPECT_EQ(w->dvmPanel(0)->digit(0)->dispColor(), White);
    EXPECT_EQ(w->dvmPanel(0)->digit(0)->dispOffColor(), Navy);
}

TEST_F(MeasuringWindow, RefreshBeforeTheFirstReportKeepsTheLastValue)
{
    deviceReading(0, 812, 40);
    w->values().refreshDvmPanels();
    w->values().refreshValueTexts();
    w->session->setSumsForTest({}, 0);
    w->values().refreshDvmPanels();
    w->values().refreshValueTexts();
    EXPECT_EQ(digits(0), (std::array<int, 4>{0, 2, 3, 4}));
    EXPECT_EQ(st.ValueText[0], "2.34V");
}

TEST_F(MeasuringWindow, MaxAndMinHoldTheirExtremesUntilTheirBoxIsUnchecked)
{
    DvmPanel* d = w->dvmPanel(0);
    d->maxBox()->setChecked(true);
    d->minBox()->setChecked(true);
    deviceReading(0, 600);  // 3.438 V
    w->values().refreshDvmPanels();
    EXPECT_TRUE(d->maxLabel()->text().startsWith(QStringLiteral("3.438V\t\t")));
    EXPECT_TRUE(d->minLabel()->text().startsWith(QStringLiteral("3.438V\t\t")));

    deviceReading(0, 700);  // 7.344 V: a new maximum
    w->values().refreshDvmPanels();
    EXPECT_TRUE(d->maxLabel()->text().startsWith(QStringLiteral("7.344V")));
    EXPECT_TRUE(d->minLabel()->text().startsWith(QStringLiteral("3.438V")));
    deviceReading(0, 650);  // neither
    w->values().refreshDvmPanels();
    EXPECT_TRUE(d->maxLabel()->text().startsWith(QStringLiteral("7.344V")));
    deviceReading(0, 100);  // a new minimum
    w->values().refreshDvmPanels();
    EXPECT_TRUE(d->minLabel()->text().startsWith(QStringLiteral("-16.094V")));

    // Unchecking resets the hold at the next refresh; the label keeps its text until re-checked.
    d->maxBox()->setChecked(false);
    deviceReading(0, 650);
    w->values().refreshDvmPanels();
    EXPECT_EQ(w->dvmPanel(0)->heldMax(), -1000.0);
    EXPECT_TRUE(d->maxLabel()->text().startsWith(QStringLiteral("7.344V")));
    d->maxBox()->setChecked(true);
    w->values().refreshDvmPanels();
    EXPECT_TRUE(d->maxLabel()->text().startsWith(QStringLiteral("5.391V")));
}

TEST_F(MeasuringWindow, ValueTextsGoOnTheOverlayAndIntoThePictureAtTheStop)
{
    const auto opaqueInSlot = [this](const Surface& s, int ch) {
        int n = 0;
        for (int y = st.BottomTextY; y < s.height(); ++y)
            for (int x = w->screen.valueTextX(ch); x < w->screen.valueTextX(ch) + 50; ++x)
                n += s.pixel(x, y) == st.ActiveColors[static_cast<size_t>(Ch1 + ch)];
        return n;
    };
    st.AutoSaveOn = true;
    deviceReading(2, 480);
    w->values().refreshValueTexts();
    EXPECT_EQ(st.ValueText[2], "-1.25V");
    EXPECT_EQ(opaqueInSlot(w->overlayBitmap, 2), 0);  // the bottom row shows the file name

    st.AutoSaveOn = false;
    w->values().refreshValueTexts();
    EXPECT_GT(opaqueInSlot(w->overlayBitmap, 2), 0);

    // At the stop the last values are drawn into the picture, only for channels that are on.
    st.ChannelOn[1] = false;
    w->values().drawValueTextsOnImage();
    EXPECT_GT(opaqueInSlot(w->screenBitmap, 2), 0);
    EXPECT_EQ(opaqueInSlot(w->screenBitmap, 1), 0);
    st.FileOnScreen = true;
    w->values().drawValueTextsOnImage();
    EXPECT_EQ(opaqueInSlot(w->screenBitmap, 2), 0);
}

TEST_F(MeasuringWindow, ChannelSwitchGreysThePanelAndRestoresTheScreenExactly)
{
    child<QAction>(*w, "markersDeltaTimeAction")->trigger();
    child<QAction>(*w, "dvmDisplayAction")->trigger();
    for (int ch = 0; ch < 4; ++ch)
        EXPECT_FALSE(w->dvmPanel(ch)->isHidden());
    const QImage allOn = screen();
    DvmPanel* d = w->dvmPanel(0);

    channelSwitch(*w, 0)->click();  // off
    EXPECT_FALSE(st.ChannelOn[0]);
    EXPECT_EQ(textColour(channelLabel(*w, 0)), 0);
    for (SevenSegmentDigit* digit : d->digits()) {
        EXPECT_EQ(digit->value(), 0);
        EXPECT_EQ(digit->dispColor(), Grey);
        EXPECT_EQ(digit->dispOffColor(), Navy);
    }
    EXPECT_FALSE(d->plusBar()->isHidden());
    EXPECT_EQ(fillColour(d->plusBar()), Grey);
    EXPECT_EQ(fillColour(d->minusBar()), Grey);
    EXPECT_EQ(fillColour(d->point(1)), Grey);
    EXPECT_EQ(textColour(d->voltLabel()), Grey);
    EXPECT_EQ(textColour(d->dcLabel()), Grey);
    EXPECT_FALSE(d->maxBox()->isEnabled());
    EXPECT_FALSE(d->minBox()->isEnabled());
    const QImage off = screen();
    EXPECT_NE(off, allOn);

    w->inputs().channelSwitchClick(0);  // the same state again
    EXPECT_EQ(screen(), off);

    channelSwitch(*w, 0)->click();  // on
    EXPECT_EQ(screen(), allOn);
    EXPECT_EQ(textColour(channelLabel(*w, 0)), st.ActiveColors[Ch1]);
    EXPECT_EQ(d->digits()[0]->dispColor(), White);
    EXPECT_EQ(fillColour(d->plusBar()), White);
    EXPECT_TRUE(d->maxBox()->isEnabled());
    w->inputs().channelSwitchClick(0);
    EXPECT_EQ(screen(), allOn);

    // Hiding the panels again brings nothing else on the screen out of line.
    child<QAction>(*w, "dvmDisplayAction")->trigger();
    for (int ch = 0; ch < 4; ++ch)
        EXPECT_TRUE(w->dvmPanel(ch)->isHidden());
    EXPECT_EQ(screen(), allOn);
}

// After an over-range reading the digits are drawn in the panel colour with white "off" segments,
// so that only the middle bars show. Showing the panels again, a skin change (which runs the channel
// switches) and switching the channel off and on never light all segments (88.88).
TEST_F(MeasuringWindow, OverRangeDashesNeverTurnIntoEights)
{
    // Pixels in the middle of the top bar (a) and of the middle bar (g) of a 35 x 55 digit.
    const QPoint a(17, 5), g(17, 28);
    const QRgb white = SevenSegmentDigit::toQColor(White).rgb(), navy = SevenSegmentDigit::toQColor(Navy).rgb();
    const auto shows = [this](QPoint p) {
        std::array<QRgb, 4> colours{};
        for (size_t i = 0; i < 4; ++i)
            colours[i] = w->dvmPanel(0)->digit(i)->frame().pixel(p);
        return colours;
    };
    const auto all = [](QRgb c) { return std::array<QRgb, 4>{c, c, c, c}; };

    child<QAction>(*w, "dvmDisplayAction")->trigger();
    deviceReading(0, 1023);
    w->values().refreshDvmPanels();
    EXPECT_EQ(shows(a), all(navy));  // - - - -
    EXPECT_EQ(shows(g), all(white));

    // The panels hidden and shown again, and the channel switch run as after a skin change: the
    // panel still reads - - - -, its last reading.
    child<QAction>(*w, "dvmDisplayAction")->trigger();
    child<QAction>(*w, "dvmDisplayAction")->trigger();
    EXPECT_EQ(shows(a), all(navy));
    EXPECT_EQ(shows(g), all(white));
    w->inputs().channelSwitchClick(0);
    EXPECT_EQ(shows(a), all(navy));
    EXPECT_EQ(shows(g), all(white));

    // Off and on again: 00.00 in white, the middle bars dark.
    channelSwitch(*w, 0)->click();
    channelSwitch(*w, 0)->click();
    EXPECT_EQ(shows(a), all(white));
    EXPECT_EQ(shows(g), all(navy));

    // The next reading in range is drawn as usual.
    deviceReading(0, 812, 40);
    w->values().refreshDvmPanels();
    EXPECT_EQ(digits(0), (std::array<int, 4>{0, 2, 3, 4}));
    EXPECT_EQ(shows(g)[0], navy);   // 0
    EXPECT_EQ(shows(g)[1], white);  // 2
}

TEST_F(MeasuringWindow, RefreshLeavesASwitchedOffPanelAlone)
{
    channelSwitch(*w, 0)->click();
    deviceReading(0, 1022);
    w->values().refreshDvmPanels();
    w->values().refreshValueTexts();
    EXPECT_EQ(digits(0), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(w->dvmPanel(0)->digit(0)->dispColor(), Grey);
    EXPECT_EQ(st.ValueText[0], "0V");
}

TEST_F(MeasuringWindow, MarkerModesOfTheViewMenu)
{
    const QImage plain = screen();
    child<QAction>(*w, "markersDeltaTimeAction")->trigger();
    EXPECT_TRUE(w->view.markers.shown);
    EXPECT_TRUE(child<QAction>(*w, "markersDeltaTimeAction")->isChecked());
    EXPECT_EQ(w->view.markers.timeReadout, "dt: 16.00s");
    EXPECT_EQ(w->view.markers.voltReadout, "dV: 35.00V");

    child<QAction>(*w, "markersTimeAction")->trigger();
    EXPECT_TRUE(w->view.markers.shown);
    EXPECT_FALSE(child<QAction>(*w, "markersDeltaTimeAction")->isChecked());
    EXPECT_EQ(w->view.markers.timeX[0], -600);
    EXPECT_EQ(w->view.markers.timeReadout, "t: 16.50s");

    child<QAction>(*w, "markersTimeAction")->trigger();
    EXPECT_FALSE(w->view.markers.shown);
    EXPECT_FALSE(child<QAction>(*w, "markersTimeAction")->isChecked());
    EXPECT_EQ(screen(), plain);
}

TEST_F(MeasuringWindow, LeftButtonDragsMarkersOnlyOnAStoppedScreen)
{
    child<QAction>(*w, "markersDeltaTimeAction")->trigger();
    const int gl = st.GridLeft, gt = st.GridTop;

    // The right button does not grab.
    w->measuring().mouseDown(Qt::RightButton, gl + 528, gt + 128);
    EXPECT_FALSE(w->view.drag.active);

    w->measuring().mouseDown(Qt::LeftButton, gl + 528, gt + 128);
    EXPECT_TRUE(w->view.drag.active);
    w->measuring().mouseMove(gl + 400, gt + 128);
    w->measuring().mouseUp(Qt::RightButton, gl + 400, gt + 128);  // not the left button: still held
    EXPECT_TRUE(w->view.drag.active);
    w->measuring().mouseUp(Qt::LeftButton, gl + 400, gt + 128);
    EXPECT_FALSE(w->view.drag.active);
    EXPECT_EQ(w->view.markers.timeX[1], gl + 400);
    EXPECT_EQ(w->view.markers.timeReadout, "dt: 12.00s");

    // Moves outside a drag are ignored; no grab while a recording runs.
    w->measuring().mouseMove(gl + 100, gt + 128);
    EXPECT_EQ(w->view.markers.timeX[1], gl + 400);
    st.Idle = false;
    w->measuring().mouseDown(Qt::LeftButton, gl + 400, gt + 128);
    EXPECT_FALSE(w->view.drag.active);
}

// Dark pixels of a picture: the black text of a label on its light panel.
int ink(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
}

// The ink of a text drawn whole, without TABs, in a font.
int inkOfText(const QString& text, const QFont& font)
{
    QImage image(600, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPoint(2, 30), text);
    p.end();
    return ink(image);
}

// The Max and Min labels show their whole text, the time and date of the extreme included, in
// the program's font, in every panel and with long readings and dates.
TEST(DvmHoldLabels, ShowTheWholeTextInsideTheirPanel)
{
    const QFont programFont = QApplication::font();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);
    const QLocale programLocale;

    for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedKingdom),
                                  QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German)}) {
        SCOPED_TRACE(locale.name().toStdString());
        QLocale::setDefault(locale);
        RecorderState st;
        deriveColours(st);
        st.ActiveColors = st.SettingsColors;
        RecorderWindow w(st);
        child<QAction>(w, "dvmDisplayAction")->trigger();
        w.show();
        st.DemoMode = false;
        for (size_t c = 0; c < 4; ++c) {
            w.dvmPanel(static_cast<int>(c))->maxBox()->setChecked(true);
            w.dvmPanel(static_cast<int>(c))->minBox()->setChecked(true);
        }
        w.session->setSumsForTest({4, 4, 4, 4}, 4);  // -19.961 V, the widest reading
        w.values().refreshDvmPanels();
        w.session->setSumsForTest({4088, 4088, 4088, 4088}, 4);  // 19.922 V
        w.values().refreshDvmPanels();

        for (size_t c = 0; c < 4; ++c) {
            SCOPED_TRACE(c);
            const DvmPanel* d = w.dvmPanel(static_cast<int>(c));
            for (QLabel* label : {d->maxLabel(), d->minLabel()}) {
                const QString text = label->text();
                ASSERT_TRUE(text.contains(QLatin1Char('\t'))) << text.toStdString();
                // The label lies inside its panel and is as wide as its text needs.
                EXPECT_TRUE(d->contentsRect().contains(label->geometry()));
                EXPECT_GE(label->width(), label->sizeHint().width());
                EXPECT_GE(label->height(), QFontMetrics(label->font()).height());
                // All of the text is drawn: the reading, the time and the date.
                const QStringList parts = text.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
                ASSERT_EQ(parts.size(), 2);
                const int whole = inkOfText(parts[0], label->font()) + inkOfText(parts[1], label->font());
                EXPECT_GE(ink(label->grab().toImage()), whole * 97 / 100) << text.toStdString();
            }
            // The time of both labels starts in one column.
            const QFontMetrics metrics(d->maxLabel()->font());
            EXPECT_EQ(dvm::holdLabelLayout(d->maxLabel()->text(), metrics).stampX,
                      dvm::holdLabelLayout(d->minLabel()->text(), metrics).stampX);
        }
    }
    QLocale::setDefault(programLocale);
    QApplication::setFont(programFont);
}

TEST(M7SegDispControl, PropertiesPaintTheDigitAtOnce)
{
    SevenSegmentDigit digit;
    EXPECT_EQ(digit.size(), QSize(40, 70));
    EXPECT_EQ(digit.dispColor(), 0x00FF00);
    EXPECT_EQ(digit.dispOffColor(), Grey);
    digit.setBackColor(Navy);
    digit.setValue(7);
    EXPECT_EQ(digit.frame(), sevenseg::render(40, 70, 7, 0x00FF00, Grey, Navy));

    digit.setValue(10);
    digit.setValue(255);
    EXPECT_EQ(digit.value(), 7);
    EXPECT_EQ(digit.frame(), sevenseg::render(40, 70, 7, 0x00FF00, Grey, Navy));

    digit.resize(35, 55);
    digit.setDispColor(White);
    EXPECT_EQ(digit.frame(), sevenseg::render(35, 55, 7, White, Grey, Navy));
}

}  // namespace
