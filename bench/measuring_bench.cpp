// Figures of the measuring functions: one step of a marker drag, the marker toggle, a seven-segment
// digit, one refresh of the DVM panels and of the value texts, and a channel switched off and on.
// Prints numbers; never fails.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <cstdio>

#include "screen/SevenSegment.h"
#include "ui/RecorderWindow.h"

namespace {

template <typename F>
double microsecondsPerCall(int rounds, F&& f)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i)
        f(i);
    return t.nsecsElapsed() / 1e3 / rounds;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    RecorderState st;
    deriveColours(st);
    st.ActiveColors = st.SettingsColors;
    RecorderWindow w(st);
    for (int c = 0; c < ChannelCount; ++c)
        for (int p = 0; p < BufferLength; ++p)
            st.trace(c, p) = (p * (c + 3)) % 256;
    st.ClearPending = true;
    w.redrawIfClearPending();
    w.screen.drawTraces();
    w.markersDeltaTimeAction->trigger();
    const int gl = st.GridLeft, gt = st.GridTop;

    w.screenMouseDown(Qt::LeftButton, gl + 528, gt + 128);
    const double timeStep = microsecondsPerCall(5000, [&](int i) { w.screenMouseMove(gl + 100 + i % 400, gt + 128); });
    w.screenMouseUp(Qt::LeftButton, 0, 0);
    w.screenMouseDown(Qt::LeftButton, gl + 272, gt + 240);
    const double voltStep = microsecondsPerCall(5000, [&](int i) { w.screenMouseMove(0, gt + 1 + i % 250); });
    w.screenMouseUp(Qt::LeftButton, 0, 0);
    std::printf("marker drag step (line moved, readout redrawn): time %.1f us, voltage %.1f us\n", timeStep, voltStep);
    std::printf("all marker lines drawn or removed: %.1f us\n",
                microsecondsPerCall(2000, [&](int) { w.screen.toggleMarkers(); }));

    std::printf("seven-segment digit 35 x 55 painted: %.1f us\n", microsecondsPerCall(20000, [](int i) {
                    sevenseg::render(35, 55, i % 10, 0xFFFFFF, 0x800000, 0x800000);
                }));

    st.DemoMode = true;
    w.dvmDisplayAction->trigger();
    const double dvm = microsecondsPerCall(2000, [&](int i) {
        st.SampleIndex = static_cast<uint16_t>(i % 1700);
        w.refreshDvmPanels();
    });
    std::printf("DVM refresh of four panels (16 digits): %.1f us\n", dvm);
    const double values = microsecondsPerCall(2000, [&](int i) {
        st.SampleIndex = static_cast<uint16_t>(i % 1700);
        w.refreshValueTexts();
    });
    std::printf("value texts refresh of four channels: %.1f us\n", values);

    w.dvmDisplayAction->trigger();
    std::printf("channel switched off or on (trace, texts, markers, panel): %.1f us\n",
                microsecondsPerCall(2000, [&](int) { w.channelSwitch[1]->click(); }));
    return 0;
}
