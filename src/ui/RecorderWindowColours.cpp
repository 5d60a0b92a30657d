// The colour handlers of the recorder window ("Colors...", "Bright Grid") and the colour dialog
// sequence that the start-up shell runs for "Colors...".

#include <QAction>
#include <QLabel>
#include <memory>

#include "ui/ColourDialog.h"
#include "ui/Application.h"
#include "ui/StartupShell.h"
#include "ui/RecorderWindow.h"

namespace {

// The grid colour follows the "Bright Grid" tick.
void chooseGridColour(RecorderState& st, const ViewState& view)
{
    st.GridColor = view.brightGrid ? st.ActiveColors[Bright_Grid] : st.ActiveColors[Dark_Grid];
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
    deriveColours(st);  // the dark grid; the recorder window brings in its "Bright Grid" tick
    return true;
}

void runColourDialog(RecorderState& st, RecorderWindow* recorder, ColourDialog* dialog)
{
    std::unique_ptr<ColourDialog> own;
    if (dialog == nullptr) {
        own = std::make_unique<ColourDialog>(st, recorder);
        dialog = own.get();
    }
    const ColourSet before = st.SettingsColors;
    dialog->drawPreview();
    dialog->run();
    if (applyColourDialogResult(st, before, dialog->closedBy()) && recorder != nullptr)
        recorder->applyColourDialog();
}

void RecorderWindow::coloursClick()
{
    if (StartupShell* shell = windows().shell)
        shell->coloursClick();
    else
        runColourDialog(st, this, windows().colourDialog);
    st.ClearPending = true;
    screen.redrawIfClearPending();
    screen.drawTraces();
}

void RecorderWindow::applyColourDialog()
{
    chooseGridColour(st, view);
    // The labels of switched-off channels keep the look the channel switch gave them.
    for (int n = 0; n < ChannelCount; ++n) {
        if (!st.ChannelOn[static_cast<size_t>(n)])
            continue;
        QLabel* label = channelLabels[static_cast<size_t>(n)];
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, QColor::fromRgb(Surface::toRgb(st.ActiveColors[Ch1 + n])));
        label->setPalette(pal);
    }
    st.ClearPending = true;
    screen.redrawIfClearPending();
    screen.drawTraces();
}

void RecorderWindow::brightGridClick()
{
    // The state is the record of the tick: a click from the menu has already toggled the action,
    // a call from code has not, and both end with the tick and the state agreeing.
    view.brightGrid = !view.brightGrid;
    brightGridAction->setChecked(view.brightGrid);
    chooseGridColour(st, view);
    st.ClearPending = true;
    screen.redrawIfClearPending();
    screen.drawTraces();
    screen.drawScaleTexts();
}
