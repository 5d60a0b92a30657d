// The recorder window's side of a recording: it draws what the session reports. New samples are
// drawn as live segments once per batch, one line per channel per 2-pixel step (one step per 6.25
// positions), and the elapsed time is shown; a full screen erases the live traces.
#include <QLabel>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "recording/TimeBase.h"
#include "ui/RecorderWindow.h"
#include "ui/ScreenWidgets.h"

void RecorderWindow::demoTick()
{
    session->takeDemoSamples(1);
}

void RecorderWindow::drawLiveSamples(int first, int last)
{
    elapsedTimeLabel->setText(elapsedText(st.ElapsedHours, st.ElapsedMinutes, st.ElapsedSeconds));

    // A device recording puts full negative scale on the bottom grid line; the demo draws every
    // value at GridTop + v.
    const bool deviceMode = !st.DemoMode;
    auto rowOf = [&](int v) { return deviceMode ? traceRow(st.GridTop, v) : st.GridTop + v; };
    Surface& overlay = paintBox1Surface;
    int left = INT_MAX, right = INT_MIN;
    for (int p = first; p <= last; ++p) {
        // Position 0 begins no segment, and the wrap position is never drawn: the screen is erased
        // right after it.
        if (p == 0 || p == LastRecordedPosition)
            continue;
        if (p == 1) {
            st.LiveX = static_cast<uint16_t>(st.GridLeft + 1);
            for (int c = 0; c < ChannelCount; ++c)
                st.LiveY[c] = static_cast<uint16_t>(rowOf(st.trace(c, 1) & 0xFFFF));
            continue;
        }
        const int step = static_cast<int>(std::lround(p / 6.25));
        if (step <= st.LiveStep)
            continue;
        const int x = st.GridLeft + 2 * step - 1;
        for (int c = 0; c < ChannelCount; ++c) {
            if (!st.ChannelOn[c])
                continue;
            const int y = rowOf(st.trace(c, p) & 0xFFFF);
            overlay.penColour = st.ActiveColors[Ch1 + c];
            overlay.line(st.LiveX, st.LiveY[c], x, y);
            st.LiveY[c] = static_cast<uint16_t>(y);
        }
        if (deviceMode) {
            overlay.penColour = st.SettingsColors[Dark_Grid];
            overlay.line(st.GridLeft, st.GridTop, st.GridLeft + 544, st.GridTop);
            overlay.line(st.GridLeft, st.GridTop + 256, st.GridLeft + 544, st.GridTop + 256);
        }
        left = std::min({left, static_cast<int>(st.LiveX), x});
        right = std::max({right, static_cast<int>(st.LiveX), x});
        st.LiveX = static_cast<uint16_t>(x);
        st.LiveStep = static_cast<uint16_t>(step);
    }
    // Only the strip of the new segments is repainted, once per batch.
    if (left <= right)
        liveOverlay->update(QRect(left - 1, st.GridTop - 1, right - left + 3, 259));
}

void RecorderWindow::liveScreenWrapped()
{
    // The finished screen's live traces are erased with one repaint of the overlay.
    screen.showLiveOverlay();
    st.LiveStep = 0;
}

void RecorderWindow::refreshValuesDue(bool dvm, bool texts)
{
    // A device recording refreshes the display that is shown; the demo refreshes the DVM panels
    // once a second and the value texts twice a second.
    if (!st.DemoMode) {
        if (dvmDisplayAction->isChecked())
            refreshDvmPanels();
        else
            refreshValueTexts();
        return;
    }
    if (dvm && dvmDisplayAction->isChecked())
        refreshDvmPanels();
    if (texts)
        refreshValueTexts();
}
