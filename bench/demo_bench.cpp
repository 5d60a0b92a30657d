// Figures of the demo recording and the screen redraw. Prints numbers; never fails.
//   demo_bench [seconds]   (default 10)
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>

#include "ui/RecorderWindow.h"
#include "ui/RecorderState.h"

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    RecorderState st;
    st.DemoMode = true;
    deriveColours(st);
    st.ActiveColors = st.SettingsColors;
    RecorderWindow w(st);
    w.show();
    st.ClearPending = true;
    w.screen.redrawIfClearPending();
    w.demoSetup();

    // ---- A demo recording at "0.1s" (1 ms per sample), paced by the millisecond timer.
    w.findChild<QToolButton*>(QStringLiteral("timeBase01sButton"))->click();
    int64_t samples = 0;
    QObject::connect(w.session, &RecordingSession::samplesAppended, &app,
                     [&](int first, int last) { samples += last - first + 1; });
    w.findChild<QToolButton*>(QStringLiteral("runButton"))->click();
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, &app, [&] { app.quit(); });
    QApplication::exec();
    const double elapsed = wall.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    w.findChild<QToolButton*>(QStringLiteral("runButton"))->click();
    std::printf("demo recording at 0.1s/Div.: %lld samples in %.3f s = %.1f samples/s (target 1000, %.2f %% off)\n",
                static_cast<long long>(samples), elapsed, samples / elapsed, 100.0 * (samples / elapsed - 1000) / 1000);
    std::printf("demo recording CPU: %.2f s of %.2f s = %.1f %% of one core (target under 10 %%)\n", cpu, elapsed,
                100.0 * cpu / elapsed);

    // ---- A full redraw with four traces: a fresh grid with texts, then the traces.
    for (int c = 0; c < ChannelCount; ++c)
        for (int p = 0; p < ScreenPositions; ++p)
            st.trace(c, p) = (p * (c + 3)) % 256;
    st.ScreenSamples = ScreenPositions;
    const int rounds = 2000;
    QElapsedTimer redraw;
    redraw.start();
    for (int i = 0; i < rounds; ++i) {
        st.ClearPending = true;
        w.screen.redrawIfClearPending();
        w.screen.drawTraces();
    }
    std::printf("full redraw (clear, grid, texts, four traces): %.3f ms (target under 2 ms)\n",
                redraw.nsecsElapsed() / 1e6 / rounds);

    QElapsedTimer toggle;
    toggle.start();
    for (int i = 0; i < rounds; ++i)
        w.screen.toggleTrace(i % 4);
    std::printf("one trace drawn or removed: %.1f us\n", toggle.nsecsElapsed() / 1e3 / rounds);
    return 0;
}
