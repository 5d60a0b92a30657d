// Figures of a device recording against the simulated recorder at "0.1s" (1 ms per sample), with
// the window shown: samples against wall time, reports dropped, CPU use; then the same with the
// GUI thread made busy for 2 s once. Prints numbers; never fails.
//   device_bench [seconds] [seconds of the busy run]   (default 20 and 10)
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "device/SimulatedRecorder.h"
#include "device/DeviceLink.h"
#include "ui/Application.h"
#include "ui/RecorderWindow.h"
#include "ui/RecorderState.h"

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds per thread name, from /proc (Linux): the GUI thread (the program's name), the
// transport's reader thread and the simulated recorder's thread.
double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::map<std::string, double> threadCpu()
{
    std::map<std::string, double> result;
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    for (const QString& tid : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(tid));
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(tid));
        if (!comm.open(QIODevice::ReadOnly) || !stat.open(QIODevice::ReadOnly))
            continue;
        const std::string name = comm.readAll().trimmed().toStdString();
        const QByteArray text = stat.readAll();
        // The fields after the ")" that closes the name start with the state (field 3); utime and
        // stime are fields 14 and 15.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12)
            result[name] += (fields[11].toDouble() + fields[12].toDouble()) / tick;
    }
    return result;
}

void recording(QApplication& app, int seconds, bool busy)
{
    SimulatorConfig config;
    std::string error;
    parseSimulatorSetup("ch1=sine:5:1,ch2=square:1:10,ch3=dc:2.5,noise=1", config, error);
    SimulatedRecorder* sim = nullptr;
    std::unique_ptr<HidTransport> transport = makeSimulatedTransport(config, &sim);
    RecorderState st;
    DeviceLink link(*transport);
    link.FindDevice();
    deriveColours(st);
    st.ActiveColors = st.SettingsColors;
    RecorderWindow w(st);
    windows().device = &link;
    windows().recorder = &w;
    w.show();
    st.ClearPending = true;
    w.screen.redrawIfClearPending();
    st.DemoMode = false;
    w.findChild<QToolButton*>(QStringLiteral("timeBase01sButton"))->click();

    // At one report per sample every report read is one sample (the simulator sends no repeats).
    // The samples are counted as the session reports them; the stop takes the reports still
    // queued, so the count at the stop covers every report sent until then.
    const uint64_t readsBefore = link.goodReads();
    int64_t samples = 0;
    QObject::connect(w.session, &RecordingSession::samplesAppended, &app,
                     [&](int first, int last) { samples += last - first + 1; });
    QElapsedTimer wall;
    double elapsed = 0;
    QTimer::singleShot(seconds * 1000, &app, [&] {
        elapsed = wall.nsecsElapsed() / 1e9;
        w.findChild<QToolButton*>(QStringLiteral("runButton"))
            ->click();  // released: the recording stops with the reports queued so far
        app.quit();
    });
    double busyFor = 0, busyCpu = 0;
    if (busy)
        QTimer::singleShot(3000, &app, [&] {
            QElapsedTimer spin;
            const double cpuAtStart = threadCpuSeconds();
            spin.start();
            while (spin.elapsed() < 2000) {
            }
            busyFor = spin.nsecsElapsed() / 1e9;
            busyCpu = threadCpuSeconds() - cpuAtStart;
        });

    const double cpu0 = cpuSeconds();
    const std::map<std::string, double> threads0 = threadCpu();
    wall.start();
    w.findChild<QToolButton*>(QStringLiteral("runButton"))
        ->click();  // the start command goes out here; the loop begins a second later
    QApplication::exec();
    const double cpu = cpuSeconds() - cpu0 - busyCpu;  // the busy spin is CPU by design
    std::map<std::string, double> threads = threadCpu();
    for (auto& [name, used] : threads)
        used -= threads0.count(name) != 0 ? threads0.at(name) : 0.0;

    const auto* buffered = dynamic_cast<const BufferedTransport*>(transport.get());
    const uint64_t transportDropped = buffered != nullptr ? buffered->dropped() : 0;
    const double ms = elapsed * 1000.0;
    const double quiet = elapsed - busyFor;
    QFile comm(QStringLiteral("/proc/self/comm"));
    const std::string mainThread = comm.open(QIODevice::ReadOnly) ? comm.readAll().trimmed().toStdString() : "";
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
    std::printf("  reports read: %llu; failed reads: %llu\n",
                static_cast<unsigned long long>(link.goodReads() - readsBefore),
                static_cast<unsigned long long>(link.failedReads()));
    std::printf("  CPU%s: process %.2f s = %.1f %% of one core (target under 5 %%)\n",
                busy ? " outside the busy spin" : "", cpu, 100.0 * cpu / quiet);
    double application = 0;
    for (const auto& [name, used] : threads) {
        const double own = name == mainThread ? used - busyCpu : used;
        if (name != "korvix-sim")
            application += own;
        if (used > 0.005)
            std::printf("    thread %-14s %5.1f %%\n", name.c_str(), 100.0 * own / quiet);
    }
    std::printf(
        "  application's own threads (GUI + reader, not the simulator): %.1f %% of one core"
        " (target at most 2 %%)\n",
        100.0 * application / quiet);
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
