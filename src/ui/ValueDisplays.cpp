#include "ui/ValueDisplays.h"

#include "ui/RecorderState.h"

#include <QDateTime>
#include <QLocale>

#include "screen/Screen.h"
#include "screen/ValueDisplay.h"
#include "ui/DvmPanel.h"
#include "ui/RecorderMenu.h"

ValueDisplays::ValueDisplays(QObject* parent, RecorderState& state, const SampleAverager& sums, Screen& screen,
                             const std::array<DvmPanel*, 4>& panels, const RecorderMenu& menu)
    : QObject(parent), st(state), sums_(sums), screen_(screen), panels_(panels), menu_(menu)
{
}

void ValueDisplays::refreshDue(bool dvm, bool texts)
{
    if (!st.DemoMode) {
        if (menu_.dvmDisplayShown())
            refreshDvmPanels();
        else
            refreshValueTexts();
        return;
    }
    if (dvm && menu_.dvmDisplayShown())
        refreshDvmPanels();
    if (texts)
        refreshValueTexts();
}

void ValueDisplays::refreshDvmPanels()
{
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    for (int ch = 0; ch < ChannelCount; ++ch) {
        const size_t c = static_cast<size_t>(ch);
        // A switched-off channel's panel stays as the channel switch painted it.
        if (!st.ChannelOn[c])
            continue;
        // No report of the sample has arrived yet: the panel keeps its last reading.
        const std::optional<int> value = dvm::reading(st, st, sums_, st, ch);
        if (!value)
            continue;
        DvmPanel* panel = panels_[c];
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

void ValueDisplays::refreshValueTexts()
{
    for (int ch = 0; ch < ChannelCount; ++ch) {
        const size_t c = static_cast<size_t>(ch);
        if (!st.ChannelOn[c])
            continue;
        // Before the first report of a sample there is no reading: the last value text stays.
        const std::optional<int> value = dvm::reading(st, st, sums_, st, ch);
        if (value)
            st.ValueText[c] = dvm::valueText(*value, st.ChannelRange[c], !st.DemoMode);
        // With auto-save armed the bottom row shows the file name; the text goes into the picture
        // at the stop.
        if (!st.AutoSaveOn)
            screen_.drawOverlayText(dvm::overlayValueText(st.ValueText[c], ch), screen_.valueTextX(ch), st.BottomTextY,
                                    st.ActiveColors[static_cast<size_t>(Ch1 + ch)]);
    }
    screen_.refreshOverlay();
}

void ValueDisplays::drawValueTextsOnImage()
{
    const QString blanks(17, QLatin1Char(' '));
    for (int ch = 0; ch < ChannelCount; ++ch)
        screen_.drawText(blanks, screen_.valueTextX(ch), st.BottomTextY, st.ActiveColors[Background]);
    if (!st.FileOnScreen) {
        for (int ch = 0; ch < ChannelCount; ++ch) {
            const size_t c = static_cast<size_t>(ch);
            if (st.ChannelOn[c])
                screen_.drawText((st.ValueText[c] + QStringLiteral("    ")).left(24), screen_.valueTextX(ch),
                                 st.BottomTextY, st.ActiveColors[static_cast<size_t>(Ch1 + ch)]);
        }
    }
    screen_.refreshImage();
}

void ValueDisplays::showPanels(bool shown)
{
    for (DvmPanel* panel : panels_)
        panel->setVisible(shown);
}

void ValueDisplays::forgetHolds()
{
    for (DvmPanel* panel : panels_)
        panel->forgetHolds();
}
