// The recorder window's value displays: the four DVM panels with their seven-segment digits, sign,
// and Max and Min hold labels, and the value texts of the bottom text row. The readings and texts
// come from the value-display engine (ValueDisplay.h); this file puts them on the controls.
#include <QAction>
#include <QDateTime>
#include <QLocale>

#include "screen/ValueDisplay.h"
#include "ui/DvmPanel.h"
#include "ui/RecorderWindow.h"

void RecorderWindow::refreshDvmPanels()
{
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    for (int ch = 0; ch < ChannelCount; ++ch) {
        const size_t c = static_cast<size_t>(ch);
        // A switched-off channel's panel stays as the channel switch painted it.
        if (!st.ChannelOn[c])
            continue;
        // No report of the sample has arrived yet: the panel keeps its last reading.
        const std::optional<int> value = dvm::reading(st, st, st, ch);
        if (!value)
            continue;
        DvmPanel* panel = dvmPanels_[c];
        const int range = st.ChannelRange[c];
        // The device loop refreshes either the panels or the value texts. The value text still
        // follows the reading, so that the picture at the stop shows the last value, not an old one.
        st.ValueText[c] = dvm::valueText(*value, range, !st.DemoMode);
        if (dvm::isOverRange(*value))
            panel->showOverRange();
        else
            panel->showReading(*value, range, now, locale);
    }
}

void RecorderWindow::refreshValueTexts()
{
    for (int ch = 0; ch < ChannelCount; ++ch) {
        const size_t c = static_cast<size_t>(ch);
        if (!st.ChannelOn[c])
            continue;
        // Before the first report of a sample there is no reading: the last value text stays.
        const std::optional<int> value = dvm::reading(st, st, st, ch);
        if (value)
            st.ValueText[c] = dvm::valueText(*value, st.ChannelRange[c], !st.DemoMode);
        // With auto-save armed the bottom row shows the file name; the text goes into the picture
        // at the stop.
        if (!st.AutoSaveOn)
            drawOverlayText(dvm::overlayValueText(st.ValueText[c], ch), screen.valueTextX(ch), st.BottomTextY,
                            st.ActiveColors[static_cast<size_t>(Ch1 + ch)]);
    }
    screen.refreshOverlay();
}

void RecorderWindow::drawValueTextsOnImage()
{
    const QString blanks(17, QLatin1Char(' '));
    for (int ch = 0; ch < ChannelCount; ++ch)
        drawText(blanks, screen.valueTextX(ch), st.BottomTextY, st.ActiveColors[Background]);
    if (!st.FileOnScreen) {
        for (int ch = 0; ch < ChannelCount; ++ch) {
            const size_t c = static_cast<size_t>(ch);
            if (st.ChannelOn[c])
                drawText((st.ValueText[c] + QStringLiteral("    ")).left(24), screen.valueTextX(ch), st.BottomTextY,
                         st.ActiveColors[static_cast<size_t>(Ch1 + ch)]);
        }
    }
    screen.refreshImage();
}

// The "DVM Display" item is checkable: Qt has turned its tick over when the handler runs.
void RecorderWindow::dvmDisplayClick()
{
    const bool shown = dvmDisplayAction->isChecked();
    for (DvmPanel* panel : dvmPanels_)
        panel->setVisible(shown);
    // Recolours the panels for each channel's on/off state and brings traces and labels in line.
    channel1SwitchClick();
    channel2SwitchClick();
    channel3SwitchClick();
    channel4SwitchClick();
}
