// The real program as a subprocess: no display, signals, exit codes, standard output.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <csignal>
#include <thread>

#include "RecordingReadBack.h"

namespace {

class RecordCommandTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    // No display of any kind and no platform choice: the console commands need none. The settings
    // folder is the test's own.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "KORVIX_SIMULATE"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        return env;
    }

    void start(QProcess& p, const QStringList& args) const
    {
        p.setProcessEnvironment(environment());
        p.start(QStringLiteral(KORVIX_BINARY), QStringList{QStringLiteral("record")} + args);
        ASSERT_TRUE(p.waitForStarted());
    }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

}  // namespace

TEST_F(RecordCommandTest, HelpNeedsNoDisplay)
{
    QProcess p;
    start(p, {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString help = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* option : {"--output", "--simulate", "--time-div", "--range", "--duration", "--samples", "--split",
                               "--comment", "--reconnect", "--quiet", "--help"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}

TEST_F(RecordCommandTest, ABadOptionGivesExit2AndOneLine)
{
    QProcess p;
    start(p, {QStringLiteral("--time-div"), QStringLiteral("3s"), QStringLiteral("--output"), path("x.txt")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 2);
    const QByteArray err = p.readAllStandardError();
    EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
    EXPECT_TRUE(err.contains("--time-div")) << err.toStdString();
    EXPECT_FALSE(QFile::exists(path("x.txt")));
}

// SIGINT, SIGTERM and SIGHUP each end the recording with a complete file and exit status 0.
TEST_F(RecordCommandTest, ASignalEndsWithACompleteFile)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const QString out = path("sig.txt");
        QProcess p;
        start(p, {QStringLiteral("--simulate=ch1=dc:5"), QStringLiteral("--time-div"), QStringLiteral("0.1s"),
                  QStringLiteral("--comment"), QStringLiteral("mid"), QStringLiteral("--output"), out});
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        ASSERT_EQ(::kill(static_cast<pid_t>(p.processId()), signal), 0);
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(p.exitCode(), 0) << signal;
        const QByteArray err = p.readAllStandardError();
        EXPECT_TRUE(err.contains("simulated recorder:")) << err.toStdString();
        const ReadBack r = readBack(out);
        EXPECT_GT(r.samples.size(), 200u) << signal;
        EXPECT_EQ(r.damaged, 0);
        for (const auto& s : r.samples)
            ASSERT_EQ(s[0], 640);
        EXPECT_TRUE(r.stopLine) << signal;
        EXPECT_EQ(r.note, QStringList{QStringLiteral("mid")});
    }
}

TEST_F(RecordCommandTest, DashWritesTheFileToStandardOutput)
{
    QProcess p;
    start(p, {QStringLiteral("--simulate=ch2=dc:-2.5"), QStringLiteral("--time-div"), QStringLiteral("0.1s"),
              QStringLiteral("--samples"), QStringLiteral("120"), QStringLiteral("--output"), QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString copy = path("piped.txt");
    QFile f(copy);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(p.readAllStandardOutput());
    f.close();
    const ReadBack r = readBack(copy);
    ASSERT_EQ(r.samples.size(), 120u);
    for (const auto& s : r.samples)
        ASSERT_EQ(s[1], 448);
    EXPECT_TRUE(r.stopLine);
}

TEST_F(RecordCommandTest, AMissingRecorderGivesExit4WithTheUdevHint)
{
    QProcess p;
    start(p, {QStringLiteral("--simulate=noaccess=1"), QStringLiteral("--output"), path("n.txt")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 4);
    EXPECT_TRUE(p.readAllStandardError().contains("udev"));
}

// korvix calibrate finds the offsets on the terminal and stores only the calibration keys, which
// korvix record then uses.
TEST_F(RecordCommandTest, CalibrateStoresTheOffsetsThatRecordUses)
{
    const QString folder = dir.filePath(QStringLiteral("data/Lumivale/KORVIX"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString settings = folder + QStringLiteral("/KORVIX.ini");
    {
        QFile f(settings);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Menu]\r\nSkin=3\r\n; hand edit\r\n");
    }
    QProcess calibrate;
    calibrate.setProcessEnvironment(environment());
    calibrate.start(QStringLiteral(KORVIX_BINARY),
                    {QStringLiteral("calibrate"), QStringLiteral("--simulate=ch1=dc:5,zero=7,zero4=-3")});
    ASSERT_TRUE(calibrate.waitForStarted());
    calibrate.write("\n");
    calibrate.closeWriteChannel();
    ASSERT_TRUE(calibrate.waitForFinished(30000));
    EXPECT_EQ(calibrate.exitCode(), 0) << calibrate.readAllStandardError().toStdString();
    EXPECT_TRUE(calibrate.readAllStandardOutput().contains("Disconnect all inputs"));
    QFile f(settings);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray stored = f.readAll();
    EXPECT_TRUE(stored.startsWith("[Menu]\r\nSkin=3\r\n; hand edit\r\n")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("[Hardware]\r\nOffset=519\r\nOffset4=3\r\nHWdialog=0\r\n")) << stored.toStdString();

    QProcess p;
    const QString out = path("cal.txt");
    start(p,
          {QStringLiteral("--simulate=ch1=dc:5,zero=7,zero4=-3"), QStringLiteral("--time-div"), QStringLiteral("0.1s"),
           QStringLiteral("--samples"), QStringLiteral("20"), QStringLiteral("--output"), out});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_FALSE(p.readAllStandardError().contains("no calibration"));
    const ReadBack r = readBack(out);
    ASSERT_EQ(r.samples.size(), 20u);
    EXPECT_EQ(r.samples[0][0], 640);

    // End of input instead of Enter: nothing is measured or stored.
    QProcess cancelled;
    cancelled.setProcessEnvironment(environment());
    cancelled.setStandardInputFile(QProcess::nullDevice());
    cancelled.start(QStringLiteral(KORVIX_BINARY), {QStringLiteral("calibrate"), QStringLiteral("--simulate=zero=20")});
    ASSERT_TRUE(cancelled.waitForFinished(20000));
    EXPECT_EQ(cancelled.exitCode(), 1);
    f.seek(0);
    EXPECT_TRUE(f.readAll().contains("Offset=519"));
}
