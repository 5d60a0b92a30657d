// Figures of a device recording against the simulated recorder at "0.1s" (1 ms per sample), with
// the window shown: samples against wall time, reports dropped, CPU use; then the same with the
// GUI thread made busy for 2 s once. Prints numbers; never fails.
//   device_bench [seconds] [seconds of the busy run]   (default 20 and 10)
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "device/SimulatedRecorder.h"
#include "device/findpath.h"
#include "shell/Application.h"
#include "shell/Winrecx.h"

namespace {

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void recording(QApplication& app, int seconds, bool busy)
{
    SimulatorConfig config;
    std::string error;
    parseSimulatorSetup("ch1=sine:5:1,ch2=square:1:10,ch3=dc:2.5,noise=1", config, error);
    SimulatedRecorder* sim = nullptr;
    std::unique_ptr<HidTransport> transport = makeSimulatedTransport(config, &sim);
    RecorderState st;
    DeviceLink link(st, *transport);
    link.FindDevice();
    deriveColours(st);
    st.ActiveColors = st.SettingsColors;
    TForm1_rec w(st);
    windows().device = &link;
    windows().Form1_rec = &w;
    w.show();
    st.ClearPending = true;
    w.putsataanko();
    st.DemoMode = false;
    w.SpeedButton01sClick();

    // Samples taken: SampleIndex counts up by one per sample and falls back by 1700 at a wrap;
    // looked at every 100 ms (at most 100 samples apart, so a wrap is never missed).
    int64_t samples = 0;
    int last = 0;
    auto count = [&] {
        const int now = st.SampleIndex;
        samples += now >= last ? now - last : now - last + LastRecordedPosition;
        last = now;
    };
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, count);
    poll.start(100);

    QElapsedTimer wall;
    double elapsed = 0;
    QTimer::singleShot(seconds * 1000, &app, [&] {
        elapsed = wall.nsecsElapsed() / 1e9;
        count();
        w.SpeedButtonRun->click();  // released: the loop ends after this pass
        app.quit();
    });
    double busyFor = 0;
    if (busy)
        QTimer::singleShot(3000, &app, [&] {
            QElapsedTimer spin;
            spin.start();
            while (spin.elapsed() < 2000) {
            }
            busyFor = spin.nsecsElapsed() / 1e9;
        });

    const double cpu0 = cpuSeconds(RUSAGE_SELF);
    const double gui0 = cpuSeconds(RUSAGE_THREAD);
    wall.start();
    w.SpeedButtonRun->click();  // the start command goes out here; the loop begins a second later
    QApplication::exec();
    const double cpu = cpuSeconds(RUSAGE_SELF) - cpu0;
    const double gui = cpuSeconds(RUSAGE_THREAD) - gui0;

    const auto* buffered = dynamic_cast<const BufferedTransport*>(transport.get());
    const uint64_t transportDropped = buffered != nullptr ? buffered->dropped() : 0;
    const double ms = elapsed * 1000.0;
    std::printf("%s: %.3f s of wall time%s\n", busy ? "busy-GUI run" : "plain run", elapsed,
                busy ? "" : " (target 60 s; shorter runs print the rate)");
    if (busy)
        std::printf("  GUI thread busy for %.3f s once, 3 s after the start\n", busyFor);
    std::printf(
        "  samples %lld against %.0f ms of wall time since the start command: %+.3f %% (target within 0.5 %%),"
        " %.1f samples/s\n",
        static_cast<long long>(samples), ms, 100.0 * (samples - ms) / ms, samples / elapsed);
    std::printf(
        "  reports dropped: %llu by the recorder's 64-report queue, %llu by the transport's queue"
        " (target 0)\n",
        static_cast<unsigned long long>(sim->dropped()), static_cast<unsigned long long>(transportDropped));
    std::printf("  failed reads: %llu of %llu\n", static_cast<unsigned long long>(link.failedReads()),
                static_cast<unsigned long long>(link.goodReads() + link.failedReads()));
    std::printf("  CPU: process %.2f s = %.1f %% of one core (target under 5 %%), of it the GUI thread %.1f %%\n", cpu,
                100.0 * cpu / elapsed, 100.0 * gui / elapsed);
    std::printf("  %s\n", sim->summary().c_str());
    windows() = Windows{};
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 20;
    const int busySeconds = argc > 2 ? std::max(6, std::atoi(argv[2])) : 10;
    recording(app, seconds, false);
    recording(app, busySeconds, true);
    return 0;
}
