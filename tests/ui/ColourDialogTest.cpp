// The colour dialog on the real window: its preview, how each way of closing it leaves the colour
// sets, the derived colours, the labels and the screen, and the "Bright Grid" item.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "ui/ColourDialog.h"
#include "ui/Application.h"
#include "ui/RecorderWindow.h"
#include "WindowControls.h"

namespace {

constexpr ColourSet Custom = {0x101010, 0x0000C0, 0x00C000, 0xC0C000, 0xC000C0, 0x404040, 0x808080, 0x00C0C0};

struct ColourDialogTest : ::testing::Test {
    RecorderState st;
    RecorderWindow w{st};
    ColourDialog dialog{st, &w};

    // The state as the start-up leaves it with `stored` read from the settings file.
    void startWith(const ColourSet& stored)
    {
        st.SettingsColors = stored;
        deriveColours(st);
        st.ActiveColors = st.SettingsColors;
        st.ClearPending = true;
        w.screen.redrawIfClearPending();
    }

    // Runs "Colors..." and, inside the modal dialog, `inDialog` (which must close it).
    void colours(std::function<void()> inDialog)
    {
        QTimer::singleShot(0, &dialog, std::move(inDialog));
        runColourDialog(st, &w, &dialog);
        st.ClearPending = true;
        w.screen.redrawIfClearPending();
    }

    Colour screenBackground() const { return w.screenBitmap.pixel(st.GridLeft + 16, st.GridTop + 16); }
    // A pixel of a vertical grid line, away from the horizontal ones, the frame and the centre line.
    Colour screenGrid() const { return w.screenBitmap.pixel(st.GridLeft + 32, st.GridTop + 40); }
    QColor labelColour(int channel) const { return channelLabel(w, channel)->palette().color(QPalette::WindowText); }
    // The dialog's item buttons in the order Ch1, Ch2, Ch3, Ch4, Dark Grid, Bright Grid, Time Marker, Background.
    QToolButton* itemButton(int item) const
    {
        static const char* const names[] = {"channel1ColourButton",   "channel2ColourButton",  "channel3ColourButton",
                                            "channel4ColourButton",   "darkGridColourButton",  "brightGridColourButton",
                                            "timeMarkerColourButton", "backgroundColourButton"};
        return child<QToolButton>(dialog, names[item]);
    }

    void SetUp() override
    {
        setColourPicker({});
        startWith(BlackScreenScheme);
    }
    void TearDown() override { setColourPicker({}); }
};

TEST_F(ColourDialogTest, PreviewShowsEveryItemInItsOwnColour)
{
    for (const ColourSet& scheme : {BlackScreenScheme, BrightScreenScheme, Custom}) {
        st.SettingsColors = scheme;
        dialog.drawPreview();
        const Surface& s = dialog.previewSurface;
        const std::array<std::pair<int, ColourIndex>, 7> lines = {
            {{10, Ch1}, {34, Ch2}, {58, Ch3}, {82, Ch4}, {106, Dark_Grid}, {130, Bright_Grid}, {154, Time_Marker}}};
        for (const auto& [y, item] : lines)
            for (int x : {0, 44, 88})
                EXPECT_EQ(s.pixel(x, y), scheme[item]) << "y " << y << " x " << x;
        for (int y : {0, 9, 11, 100, 188})
            EXPECT_EQ(s.pixel(40, y), scheme[Background]) << y;
    }
}

TEST_F(ColourDialogTest, OkKeepsThePicksInBothSetsAndRenewsWhatDerivesFromThem)
{
    setColourPicker([](const QColor&, QWidget*) { return QColor(0x12, 0x34, 0x56); });
    colours([this] {
        itemButton(1)->click();                           // Ch2
        child<QPushButton>(dialog, "okButton")->click();  // OK
    });
    const Colour picked = 0x563412;
    EXPECT_EQ(st.SettingsColors[Ch2], picked);
    EXPECT_EQ(st.ActiveColors[Ch2], picked);
    EXPECT_EQ(st.XorColors[1], xorColour(picked, 0));
    EXPECT_EQ(labelColour(1), QColor(0x12, 0x34, 0x56));
    EXPECT_TRUE(dialog.coloursAccepted());
    EXPECT_FALSE(dialog.defaultSchemeChosen());
    EXPECT_EQ(dialog.closedBy(), ColourDialogClose::Ok);
}

TEST_F(ColourDialogTest, SchemeButtonsPutTheirSchemeInPlaceAndDiscardPicks)
{
    setColourPicker([](const QColor&, QWidget*) { return QColor(Qt::magenta); });
    colours([this] {
        itemButton(0)->click();
        child<QPushButton>(dialog, "brightScreenButton")->click();  // "Bright Screen"
    });
    EXPECT_EQ(st.SettingsColors, BrightScreenScheme);
    EXPECT_EQ(st.ActiveColors, BrightScreenScheme);
    EXPECT_EQ(st.XorColors[0], xorColour(BrightScreenScheme[Ch1], BrightScreenScheme[Background]));
    EXPECT_EQ(screenBackground(), 8421440);
    EXPECT_EQ(screenGrid(), 12632256);
    EXPECT_FALSE(dialog.coloursAccepted());
    EXPECT_TRUE(dialog.defaultSchemeChosen());
    EXPECT_FALSE(dialog.blackSchemeChosen());

    colours([this] { child<QPushButton>(dialog, "blackScreenButton")->click(); });  // "Black Screen"
    EXPECT_EQ(st.SettingsColors, BlackScreenScheme);
    EXPECT_EQ(st.ActiveColors, BlackScreenScheme);
    EXPECT_EQ(screenBackground(), 0);
    EXPECT_TRUE(dialog.defaultSchemeChosen());
    EXPECT_TRUE(dialog.blackSchemeChosen());
}

// Cancel and the title-bar button leave every colour as it was when the dialog opened, whatever
// earlier uses of the dialog left in the result flags: stored colours are never lost by them.
TEST_F(ColourDialogTest, CancelAndTheTitleBarButtonChangeNoColour)
{
    startWith(Custom);
    const auto xorBefore = st.XorColors;
    colours([this] { child<QPushButton>(dialog, "cancelButton")->click(); });  // Cancel right after start-up
    EXPECT_EQ(st.SettingsColors, Custom);
    EXPECT_EQ(st.ActiveColors, Custom);
    EXPECT_EQ(screenBackground(), Custom[Background]);
    EXPECT_TRUE(dialog.defaultSchemeChosen());  // the flags keep their start values
    EXPECT_TRUE(dialog.blackSchemeChosen());

    colours([this] { child<QPushButton>(dialog, "okButton")->click(); });  // an OK without picks
    EXPECT_TRUE(dialog.coloursAccepted());

    setColourPicker([](const QColor&, QWidget*) { return QColor(Qt::white); });
    colours([this] {
        itemButton(1)->click();  // Ch2
        itemButton(7)->click();  // Background
        child<QPushButton>(dialog, "cancelButton")->click();
    });
    EXPECT_EQ(st.SettingsColors, Custom);
    EXPECT_EQ(st.ActiveColors, Custom);
    EXPECT_EQ(st.XorColors, xorBefore);
    EXPECT_EQ(dialog.closedBy(), ColourDialogClose::Cancel);

    // The title-bar button after an OK: the picks go as well.
    colours([this] { child<QPushButton>(dialog, "okButton")->click(); });
    colours([this] {
        itemButton(2)->click();
        dialog.close();
    });
    EXPECT_EQ(dialog.closedBy(), ColourDialogClose::Window);
    EXPECT_EQ(st.SettingsColors, Custom);
    EXPECT_EQ(st.ActiveColors, Custom);
    EXPECT_TRUE(dialog.coloursAccepted());  // the title-bar button changes no flag
}

TEST_F(ColourDialogTest, CancelledPickerKeepsTheColourAndTheButtonDown)
{
    setColourPicker([](const QColor& preset, QWidget*) { return preset; });
    colours([this] {
        itemButton(4)->click();  // Dark Grid
        EXPECT_TRUE(itemButton(4)->isChecked());
        EXPECT_FALSE(itemButton(0)->isChecked());
        EXPECT_EQ(st.SettingsColors[Dark_Grid], BlackScreenScheme[Dark_Grid]);
        child<QPushButton>(dialog, "okButton")->click();
    });
    EXPECT_EQ(st.SettingsColors, BlackScreenScheme);
}

TEST_F(ColourDialogTest, SwitchedOffChannelKeepsItsLabelColour)
{
    st.ChannelOn[2] = false;
    const QColor before = labelColour(2);
    colours([this] { child<QPushButton>(dialog, "brightScreenButton")->click(); });
    EXPECT_EQ(labelColour(2), before);
    EXPECT_EQ(labelColour(3), QColor(255, 0, 0));
}

TEST_F(ColourDialogTest, BrightGridSwitchesTheGridColourAndFollowsSchemes)
{
    EXPECT_FALSE(child<QAction>(w, "brightGridAction")->isChecked());
    fire(child<QAction>(w, "brightGridAction"));
    EXPECT_TRUE(child<QAction>(w, "brightGridAction")->isChecked());
    EXPECT_EQ(st.GridColor, BlackScreenScheme[Bright_Grid]);
    EXPECT_EQ(screenGrid(), BlackScreenScheme[Bright_Grid]);

    // From the menu: Qt ticks the item before the handler runs; the result is the same toggle.
    child<QAction>(w, "brightGridAction")->trigger();
    EXPECT_FALSE(child<QAction>(w, "brightGridAction")->isChecked());
    EXPECT_EQ(screenGrid(), BlackScreenScheme[Dark_Grid]);

    // "Bright Screen" and then "Bright Grid": the grid turns white; a scheme chosen while the item is
    // ticked keeps the bright grid.
    colours([this] { child<QPushButton>(dialog, "brightScreenButton")->click(); });
    EXPECT_EQ(screenGrid(), 12632256);
    child<QAction>(w, "brightGridAction")->trigger();
    EXPECT_EQ(screenGrid(), 16777215);
    colours([this] { child<QPushButton>(dialog, "blackScreenButton")->click(); });
    EXPECT_EQ(st.GridColor, BlackScreenScheme[Bright_Grid]);
    EXPECT_EQ(screenGrid(), BlackScreenScheme[Bright_Grid]);
}

TEST_F(ColourDialogTest, MenuItemRunsTheDialogAndRedrawsTheScreen)
{
    QTimer::singleShot(0, &dialog, [this] { child<QPushButton>(dialog, "brightScreenButton")->click(); });
    // The window runs the whole sequence on the application's dialog.
    st.ClearPending = false;
    struct Restore {
        Windows saved = windows();
        ~Restore() { windows() = saved; }
    } restore;
    windows().colourDialog = &dialog;
    fire(child<QAction>(w, "coloursAction"));
    EXPECT_EQ(screenBackground(), 8421440);
    EXPECT_FALSE(st.ClearPending);
}

}  // namespace
