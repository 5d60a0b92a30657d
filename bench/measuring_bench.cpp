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
#include "ui/MeasuringTools.h"
#include "ui/ValueDisplays.h"
#include "ui/RecorderState.h"

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
    w.screen.redrawIfClearPending();
    w.screen.drawTraces();
    w.findChild<QAction*>(QStringLiteral("markersDeltaTimeAction"))->trigger();
    const int gl = st.GridLeft, gt = st.GridTop;

    w.measuring().mouseDown(Qt::LeftButton, gl + 528, gt + 128);
    const double timeStep =
        microsecondsPerCall(5000, [&](int i) { w.measuring().mouseMove(gl + 100 + i % 400, gt + 128); });
    w.measuring().mouseUp(Qt::LeftButton, 0, 0);
    w.measuring().mouseDown(Qt::LeftButton, gl + 272, gt + 240);
    const double voltStep = microsecondsPerCall(5000, [&](int i) { w.measuring().mouseMove(0, gt + 1 + i % 250); });
    w.measuring().mouseUp(Qt::LeftButton, 0, 0);
    std::printf("marker drag step (line moved, readout redrawn): time %.1f us, voltage %.1f us\n", timeStep, voltStep);
    std::printf("all marker lines drawn or removed: %.1f us\n",
                microsecondsPerCall(2000, [&](int) { w.screen.toggleMarkers(); }));

    std::printf("seven-segment digit 35 x 55 painted: %.1f us\n", microsecondsPerCall(20000, [](int i) {
                    sevenseg::render(35, 55, i % 10, 0xFFFFFF, 0x800000, 0x800000);
                }));

    st.DemoMode = true;
    w.findChild<QAction*>(QStringLiteral("dvmDisplayAction"))->trigger();
    const double dvm = microsecondsPerCall(2000, [&](int i) {
        st.SampleIndex = static_cast<uint16_t>(i % 1700);
        w.values().refreshDvmPanels();
    });
    std::printf("DVM refresh of four panels (16 digits): %.1f us\n", dvm);
    const double values = microsecondsPerCall(2000, [&](int i) {
        st.SampleIndex = static_cast<uint16_t>(i % 1700);
        w.values().refreshValueTexts();
    });
    std::printf("value texts refresh of four channels: %.1f us\n", values);

    w.findChild<QAction*>(QStringLiteral("dvmDisplayAction"))->trigger();
    QCheckBox* channel2Switch = w.findChild<QCheckBox*>(QStringLiteral("channel2Switch"));
    std::printf("channel switched off or on (trace, texts, markers, panel): %.1f us\n",
                microsecondsPerCall(2000, [&](int) { channel2Switch->click(); }));
    return 0;
}
