// korvix record --simulate --time-div 0.1s for a while (60 s unless argv[1] says otherwise), the
// real program as a subprocess without a display: reports dropped, samples against wall time, the
// CPU of the program's own threads (the simulated recorder's thread excluded) and the growth of its
// resident memory.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace {

// CPU seconds of the process's threads, without the simulator's ("korvix-sim").
double ownCpuSeconds(qint64 pid, const QByteArray& only = {})
{
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    double total = 0;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks + QLatin1Char('/') + tid + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const int open = line.indexOf('('), close = line.lastIndexOf(')');
        const QByteArray name = line.mid(open + 1, close - open - 1);
        if (name == "korvix-sim" || (!only.isEmpty() && name != only))
            continue;
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
        total += (fields.value(11).toDouble() + fields.value(12).toDouble()) / tick;
    }
    return total;
}

// Times the program's own threads (the simulator's excluded) gave up the processor to wait: one
// per wake-up of a thread that sleeps between its pieces of work.
long long ownWaits(qint64 pid)
{
    long long total = 0;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks + QLatin1Char('/') + tid + QStringLiteral("/comm"));
        QFile status(tasks + QLatin1Char('/') + tid + QStringLiteral("/status"));
        if (!comm.open(QIODevice::ReadOnly) || !status.open(QIODevice::ReadOnly) ||
            comm.readAll().trimmed() == "korvix-sim")
            continue;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:"))
                total += line.mid(24).trimmed().toLongLong();
    }
    return total;
}

long rssKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const QString program = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                     : QCoreApplication::applicationDirPath() + QStringLiteral("/../korvix");
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("bench.txt"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "KORVIX_SIMULATE"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));

    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, {QStringLiteral("record"), QStringLiteral("--simulate=ch1=sine:5:1,ch2=dc:-2.5"),
                      QStringLiteral("--time-div"), QStringLiteral("0.1s"), QStringLiteral("--duration"),
                      QStringLiteral("%1s").arg(seconds), QStringLiteral("--quiet"), QStringLiteral("--output"), out});
    if (!p.waitForStarted()) {
        std::fprintf(stderr, "record_bench: cannot start %s\n", qPrintable(program));
        return 1;
    }
    const qint64 pid = p.processId();
    QElapsedTimer wall;
    wall.start();
    // The first seconds hold the start-up (libraries, the recorder's discovery); the figures count
    // from a settled program.
    QThread::msleep(2000);
    const double cpuAtStart = ownCpuSeconds(pid);
    const double readerAtStart = ownCpuSeconds(pid, "korvix-reader");
    double readerAtEnd = readerAtStart;
    const long rssAtStart = rssKb(pid);
    const long long waitsAtStart = ownWaits(pid);
    long long waitsAtEnd = waitsAtStart;
    const qint64 measuredFrom = wall.elapsed();
    double cpuAtEnd = cpuAtStart;
    long rssAtEnd = rssAtStart;
    qint64 measuredTo = measuredFrom;
    while (!p.waitForFinished(1000)) {
        cpuAtEnd = ownCpuSeconds(pid);
        readerAtEnd = ownCpuSeconds(pid, "korvix-reader");
        rssAtEnd = rssKb(pid);
        waitsAtEnd = ownWaits(pid);
        measuredTo = wall.elapsed();
    }
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("(\\d+) reports sent, (\\d+) dropped")).match(err);

    QFile file(out);
    long long lines = 0;
    if (file.open(QIODevice::ReadOnly))
        while (!file.atEnd()) {
            const QByteArray line = file.readLine();
            if (!line.isEmpty() && line.at(0) >= '0' && line.at(0) <= '9' && line.contains('\t'))
                ++lines;
        }
    const long long expected = static_cast<long long>(seconds) * 1000;
    const double span = (measuredTo - measuredFrom) / 1000.0;
    std::printf("korvix record --simulate --time-div 0.1s for %d s (exit %d)\n", seconds, p.exitCode());
    std::printf("  reports sent %s, dropped %s\n", qPrintable(m.captured(1)), qPrintable(m.captured(2)));
    std::printf("  samples %lld, expected %lld (%+.3f %%), wall time of the run %.1f s\n", lines, expected,
                expected > 0 ? 100.0 * static_cast<double>(lines - expected) / static_cast<double>(expected) : 0.0,
                wall.elapsed() / 1000.0);
    std::printf("  CPU of the program's own threads over %.0f s: %.2f %% of one core\n", span,
                span > 0 ? 100.0 * (cpuAtEnd - cpuAtStart) / span : 0.0);
    std::printf("    of which the reader thread of the transport: %.2f %%\n",
                span > 0 ? 100.0 * (readerAtEnd - readerAtStart) / span : 0.0);
    std::printf("  wake-ups of the program's own threads: %.0f a second\n",
                span > 0 ? static_cast<double>(waitsAtEnd - waitsAtStart) / span : 0.0);
    std::printf("  resident memory %ld kB after start-up, %ld kB at the end (%+ld kB)\n", rssAtStart, rssAtEnd,
                rssAtEnd - rssAtStart);
    return 0;
}
