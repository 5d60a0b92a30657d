// The colour handlers of the recorder window ("Colors...", "Bright Grid") and the colour dialog
// sequence that the start-up shell runs for "Colors...".

#include <QAction>
#include <QLabel>
#include <memory>

#include "display/Unit7.h"
#include "shell/Application.h"
#include "shell/Skpohjx.h"
#include "shell/Winrecx.h"

namespace {

// The grid colour follows the "Bright Grid" tick.
void chooseGridColour(RecorderState& st)
{
    st.GridColor = st.BrightGridOn ? st.ActiveColors[Bright_Grid] : st.ActiveColors[Dark_Grid];
}

}  // namespace

bool applyColourDialogResult(RecorderState& st, const ColourSet& before, ColourDialogClose how)
{
    switch (how) {
        case ColourDialogClose::Ok:
            break;
        case ColourDialogClose::BrightScheme:
            st.SettingsColors = BrightScreenScheme;
            break;
        case ColourDialogClose::BlackScheme:
            st.SettingsColors = BlackScreenScheme;
            break;
        case ColourDialogClose::Cancel:
        case ColourDialogClose::Window:
            // Nothing picked in a dialog that was not accepted survives it: the stored colours, which
            // are written to the settings file at exit, stay what they were.
            st.SettingsColors = before;
            st.ActiveColors = before;
            return false;
    }
    st.ActiveColors = st.SettingsColors;
    deriveColours(st);
    chooseGridColour(st);
    return true;
}

void runColourDialog(RecorderState& st, TForm1_rec* recorder, TBtnBottomDlg2* dialog)
{
    std::unique_ptr<TBtnBottomDlg2> own;
    if (dialog == nullptr) {
        own = std::make_unique<TBtnBottomDlg2>(st, recorder);
        dialog = own.get();
    }
    const ColourSet before = st.SettingsColors;
    dialog->draw_1();
    dialog->run();
    if (applyColourDialogResult(st, before, dialog->closedBy()) && recorder != nullptr)
        recorder->Colors2Click();
}

void TForm1_rec::Colors1Click()
{
    if (TForm1* shell = windows().Form1)
        shell->Colors1Click();
    else
        runColourDialog(st, this, windows().BtnBottomDlg2);
    st.ClearPending = true;
    screen.putsataanko();
    screen.piirrot();
}

void TForm1_rec::Colors2Click()
{
    // The labels of switched-off channels keep the look the channel switch gave them.
    for (int n = 0; n < ChannelCount; ++n) {
        if (!st.ChannelOn[static_cast<size_t>(n)])
            continue;
        QLabel* label = LabelCh[static_cast<size_t>(n)];
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, QColor::fromRgb(Surface::toRgb(st.ActiveColors[Ch1 + n])));
        label->setPalette(pal);
    }
    st.ClearPending = true;
    screen.putsataanko();
    screen.piirrot();
}

void TForm1_rec::BrightGrid1Click()
{
    // The state is the record of the tick: a click from the menu has already toggled the action,
    // a call from code has not, and both end with the tick and the state agreeing.
    st.BrightGridOn = !st.BrightGridOn;
    BrightGrid1->setChecked(st.BrightGridOn);
    chooseGridColour(st);
    st.ClearPending = true;
    screen.putsataanko();
    screen.piirrot();
    screen.tekstit();
}
