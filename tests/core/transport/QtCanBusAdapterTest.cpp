// What the Qt adapter must hide: names the plugin would misread, devices
// that never connect, a bus that goes away, plugins that are not there.
#include "QtCanBusPeerBridge.h"
#include "TestSupport.h"

#include "core/transport/BitRates.h"
#include "core/transport/QtCanBusAdapter.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

namespace {

class QtCanBusAdapterTest : public ::testing::Test {
protected:
    void SetUp() override { TestApp(); }
};

TEST_F(QtCanBusAdapterTest, BusNamesAreCheckedBeforeQtSeesThem)
{
    std::string plugin, iface, why;
    ASSERT_TRUE(QtCanBusAdapter::ParseBusName("virtualcan:tcp://127.0.0.1:40123/can1", plugin, iface));
    EXPECT_EQ(plugin, "virtualcan");
    EXPECT_EQ(iface, "tcp://127.0.0.1:40123/can1");
    ASSERT_TRUE(QtCanBusAdapter::ParseBusName("socketcan:can0", plugin, iface));
    EXPECT_EQ(plugin, "socketcan");
    EXPECT_EQ(iface, "can0");
    EXPECT_TRUE(QtCanBusAdapter::ParseBusName("peakcan:usb0", plugin, iface));
    EXPECT_TRUE(QtCanBusAdapter::ParseBusName("virtualcan:can0", plugin, iface));

    // Names Qt's virtual bus would quietly turn into can0, and malformed ones.
    for (const char* bad : {"virtualcan:vcan0", "virtualcan:can2", "virtualcan:foo",
                            "virtualcan:tcp://127.0.0.1/can0", "virtualcan:tcp://127.0.0.1:x/can0",
                            "virtualcan:tcp://127.0.0.1:40123/can5", "virtualcan:tcp://:40123/can0",
                            "can0", ":can0", "socketcan:", ""}) {
        why.clear();
        EXPECT_FALSE(QtCanBusAdapter::ParseBusName(bad, plugin, iface, &why)) << bad;
        EXPECT_FALSE(why.empty()) << bad;
    }
}

TEST_F(QtCanBusAdapterTest, UnusableNamesFailInitializeWithAReason)
{
    for (const char* bad : {"virtualcan:vcan0", "nosuchplugin:can0", "socketcan:qvsnone0"}) {
        QtCanBusAdapter adapter(bad, 300);
        QElapsedTimer clock;
        clock.start();
        EXPECT_NE(adapter.Initialize(0x011C), CanOk) << bad;
        EXPECT_LT(clock.elapsed(), 1000) << bad;
        EXPECT_FALSE(adapter.LastError().empty()) << bad;
        CanMsg msg;
        EXPECT_NE(adapter.Read(msg), CanOk);
        EXPECT_NE(adapter.Write(msg), CanOk);
    }
}

TEST_F(QtCanBusAdapterTest, BitTimingCodesMapToRatesForPluginsThatTakeOne)
{
    EXPECT_EQ(BitsPerSecondFromTimingCode(0x0014), 1000000);
    EXPECT_EQ(BitsPerSecondFromTimingCode(0x011C), 250000);
    EXPECT_EQ(BitsPerSecondFromTimingCode(0x672F), 10000);
    EXPECT_EQ(BitsPerSecondFromTimingCode(0x1234), 0);
    EXPECT_TRUE(QtCanBusAdapter::PluginTakesBitRate("peakcan"));
    EXPECT_FALSE(QtCanBusAdapter::PluginTakesBitRate("socketcan"));
    EXPECT_FALSE(QtCanBusAdapter::PluginTakesBitRate("virtualcan"));
    // A code without a rate cannot be given to a rate-configured plugin.
    QtCanBusAdapter adapter("peakcan:usb0");
    EXPECT_EQ(adapter.Initialize(0x1234), CanIllegalParameter);
}

TEST_F(QtCanBusAdapterTest, NoServerMeansFailureAtTheDeadlineNotAHang)
{
    // This process's virtual-bus server listens on its own port; nobody
    // listens on the other one, so the device stays "connecting" forever.
    Responder peer;
    QtCanBusPeerBridge bridge(peer, VirtualBusName());
    ASSERT_EQ(bridge.Open(), CanOk) << bridge.LastError();
    QtCanBusAdapter adapter("virtualcan:tcp://127.0.0.1:" + std::to_string(FreeTcpPort()) + "/can0", 150);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(adapter.Initialize(0x011C), CanHardwareError);
    EXPECT_GE(clock.elapsed(), 140);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_NE(adapter.LastError().find("did not connect"), std::string::npos);
    EXPECT_NE(adapter.GetStatus(), CanOk);
}

TEST_F(QtCanBusAdapterTest, BusThatGoesAwayGivesFailuresNotCrashes)
{
    // Make sure this process's virtual-bus server is on its own port, so
    // the test's plain TCP server below is the one the adapter meets.
    Responder peer;
    QtCanBusPeerBridge bridge(peer, VirtualBusName());
    ASSERT_EQ(bridge.Open(), CanOk) << bridge.LastError();

    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QtCanBusAdapter adapter("virtualcan:tcp://127.0.0.1:" + std::to_string(server.serverPort()) + "/can0");
    ASSERT_EQ(adapter.Initialize(0x011C), CanOk) << adapter.LastError();
    ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }));
    QTcpSocket* remote = server.nextPendingConnection();
    ASSERT_NE(remote, nullptr);
    EXPECT_EQ(adapter.Write(MakeMsg(220, {1, 2, 3})), CanOk);
    ASSERT_TRUE(WaitUntil([&] { return remote->bytesAvailable() > 0; }));

    remote->abort();
    CanMsg msg;
    ASSERT_TRUE(WaitUntil([&] { return adapter.GetStatus() != CanOk; }));
    EXPECT_NE(adapter.Write(MakeMsg(220, {1})), CanOk);
    EXPECT_NE(adapter.Read(msg), CanOk);
    EXPECT_NE(adapter.Reset(), CanOk);
    EXPECT_EQ(adapter.Uninitialize(), CanOk);
    EXPECT_NE(adapter.Uninitialize(), CanOk);
}

} // namespace
