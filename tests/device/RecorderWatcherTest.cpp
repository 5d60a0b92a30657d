#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "DeviceFakes.h"
#include "device/RecorderWatcher.h"

namespace {

struct Watched {
    ScriptedTransport transport;
    DeviceLink link{transport};
    bool idle = true;
    RecorderWatcher watcher{link, [this] { return idle; }};
    int connected = 0, disconnected = 0;

    Watched()
    {
        QObject::connect(&watcher, &RecorderWatcher::recorderConnected, [this] { ++connected; });
        QObject::connect(&watcher, &RecorderWatcher::recorderDisconnected, [this] { ++disconnected; });
    }
    void plugIn() { transport.interfaces = {{"/dev/hidraw3", RecorderVendorId, RecorderProductId}}; }
    void pullOut() { transport.interfaces.clear(); }
};

}  // namespace

// Plugged in, pulled out and plugged in again while idle: each change is told once, and the link is
// open exactly while the recorder is there.
TEST(RecorderWatcher, FollowsTheRecorderWhileIdle)
{
    Watched w;
    w.transport.interfaces = {{"/dev/hidraw1", 0x046d, 0xc52b}};
    w.watcher.poll();
    EXPECT_EQ(w.connected, 0);
    EXPECT_FALSE(w.link.found());

    w.plugIn();
    w.watcher.poll();
    w.watcher.poll();
    EXPECT_EQ(w.connected, 1);
    EXPECT_TRUE(w.link.opened());
    EXPECT_EQ(w.transport.opened, (std::vector<std::string>{"/dev/hidraw3", "/dev/hidraw3"}));

    w.pullOut();
    w.watcher.poll();
    w.watcher.poll();
    EXPECT_EQ(w.disconnected, 1);
    EXPECT_FALSE(w.link.found());
    EXPECT_EQ(w.transport.closed.size(), 2u);

    w.plugIn();
    w.watcher.poll();
    EXPECT_EQ(w.connected, 2);
    EXPECT_TRUE(w.link.opened());
}

// During a recording the link belongs to the recording: the list is not even looked at.
TEST(RecorderWatcher, LeavesTheLinkAloneWhileBusy)
{
    Watched w;
    w.plugIn();
    w.watcher.poll();
    w.idle = false;
    w.pullOut();
    w.watcher.poll();
    EXPECT_EQ(w.disconnected, 0);
    EXPECT_TRUE(w.link.opened());
    w.idle = true;
    w.watcher.poll();
    EXPECT_EQ(w.disconnected, 1);
}

// A recording that lost its recorder lets the handles go; a recorder that was pulled out and put
// back between two looks is then opened afresh instead of being read through dead handles.
TEST(RecorderWatcher, ARecorderLostInARecordingIsOpenedAfresh)
{
    Watched w;
    w.plugIn();
    w.watcher.poll();
    ASSERT_EQ(w.connected, 1);
    w.watcher.recorderLost();
    EXPECT_EQ(w.disconnected, 1);
    EXPECT_FALSE(w.link.found());
    w.watcher.poll();
    EXPECT_EQ(w.connected, 2);
    EXPECT_TRUE(w.link.opened());
    EXPECT_EQ(w.transport.opened.size(), 4u);
}

TEST(RecorderWatcher, LooksAboutOnceASecondAndNamesTheTimeOfALoss)
{
    Watched w;
    w.plugIn();
    w.watcher.start();
    QElapsedTimer t;
    t.start();
    while (w.connected == 0 && t.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(w.connected, 1);
    EXPECT_GE(t.elapsed(), RecorderWatcher::PollMs - 100);
    w.watcher.stop();

    const QString text = RecorderWatcher::lossMessage(QDateTime(QDate(2026, 12, 9), QTime(14, 5, 7)));
    EXPECT_TRUE(text.contains(QLatin1String("14:05:07"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QLatin1String("unplugged")));
}
