// The six adapter calls behave the same over the in-process bus and over
// Qt's virtual CAN bus: 0 for success, one frame per successful read, reset
// empties the queues, nothing works before Initialize or after Uninitialize.
#include "QtCanBusPeerBridge.h"
#include "TestSupport.h"

#include "core/transport/EventWait.h"
#include "core/transport/QtCanBusAdapter.h"
#include "core/transport/SimulatedAdapter.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

// One transport under test: the tool's adapter plus the peer behind it.
class Rig {
public:
    virtual ~Rig() = default;
    virtual std::unique_ptr<CanAdapter> MakeAdapter() = 0;
    // Puts the peer on the bus (the virtual bus needs it there first).
    virtual void StartPeer() {}
    // Time for frames in transit to reach the adapter's queue.
    virtual void Settle() {}
    Responder Peer;
};

class SimulatedRig : public Rig {
public:
    std::unique_ptr<CanAdapter> MakeAdapter() override
    {
        return std::make_unique<SimulatedAdapter>(Peer);
    }
};

class VirtualCanRig : public Rig {
public:
    std::unique_ptr<CanAdapter> MakeAdapter() override
    {
        return std::make_unique<QtCanBusAdapter>(VirtualBusName());
    }
    void StartPeer() override
    {
        m_bridge = std::make_unique<QtCanBusPeerBridge>(Peer, VirtualBusName());
        ASSERT_EQ(m_bridge->Open(), CanOk) << m_bridge->LastError();
    }
    void Settle() override { DispatchEventsFor(30); }

private:
    std::unique_ptr<QtCanBusPeerBridge> m_bridge;
};

using RigFactory = std::unique_ptr<Rig> (*)();

class AdapterContract : public ::testing::TestWithParam<RigFactory> {
protected:
    void SetUp() override
    {
        TestApp();
        rig = GetParam()();
        rig->StartPeer();
        adapter = rig->MakeAdapter();
    }
    void TearDown() override
    {
        adapter.reset();
        rig.reset();
    }

    // Reads until a frame comes or the deadline passes.
    int ReadWithin(CanMsg& msg, int timeoutMs = 1000)
    {
        int r = CanQueueEmpty;
        WaitUntil([&] { return (r = adapter->Read(msg)) != CanQueueEmpty; }, timeoutMs);
        return r;
    }

    std::unique_ptr<Rig> rig;
    std::unique_ptr<CanAdapter> adapter;
};

const CanMsg ReadE2Request = MakeMsg(220, {0x02, 0x00, 0x12, 0x34, 0x00, 0x00, 0xFF, 0xFF});

TEST_P(AdapterContract, NothingWorksBeforeInitialize)
{
    CanMsg msg;
    EXPECT_NE(adapter->Read(msg), CanOk);
    EXPECT_NE(adapter->Write(ReadE2Request), CanOk);
    EXPECT_NE(adapter->Reset(), CanOk);
    EXPECT_NE(adapter->GetStatus(), CanOk);
    EXPECT_NE(adapter->Uninitialize(), CanOk);
    EXPECT_TRUE(rig->Peer.Received.empty());
}

TEST_P(AdapterContract, WriteReachesPeerAndEachReadDeliversOneFrame)
{
    ASSERT_EQ(adapter->Initialize(0x011C), CanOk);
    EXPECT_EQ(adapter->GetStatus(), CanOk);
    rig->Peer.E2[0x1234] = 0x0102;
    rig->Peer.E2[0x0010] = 0xBEEF;
    ASSERT_EQ(adapter->Write(ReadE2Request), CanOk);
    ASSERT_EQ(adapter->Write(MakeMsg(220, {0x02, 0x00, 0x00, 0x10, 0x00, 0x00, 0xFF, 0xFF})), CanOk);

    CanMsg first, second, none;
    ASSERT_EQ(ReadWithin(first), CanOk);
    ASSERT_EQ(ReadWithin(second), CanOk);
    rig->Settle();
    EXPECT_EQ(adapter->Read(none), CanQueueEmpty);

    ASSERT_EQ(rig->Peer.Received.size(), 2u);
    const CanMsg& seen = rig->Peer.Received[0];
    EXPECT_EQ(seen.ID, 220u);
    EXPECT_EQ(seen.MSGTYPE, 0);
    EXPECT_EQ(seen.LEN, 8);
    EXPECT_EQ(seen.DATA, ReadE2Request.DATA);

    EXPECT_EQ(first.ID, 221u);
    EXPECT_EQ(first.LEN, 8);
    EXPECT_EQ(first.DATA[0], 0x82);
    EXPECT_EQ(first.DATA[3], 0x34);
    EXPECT_EQ(first.DATA[4], 0x01);
    EXPECT_EQ(first.DATA[5], 0x02);
    EXPECT_EQ(second.DATA[3], 0x10);
    EXPECT_EQ(second.DATA[4], 0xBE);
}

TEST_P(AdapterContract, ExtendedIdentifiersAndShortFramesSurvive)
{
    rig->Peer.Script = [](const CanMsg& f, SimulatedBus& bus) {
        CanMsg echo = f;
        echo.ID = f.ID + 1;
        bus.Deliver(echo);
    };
    ASSERT_EQ(adapter->Initialize(0x011C), CanOk);
    ASSERT_EQ(adapter->Write(MakeMsg(0x1ABCDEF, {0xAA, 0x55, 0x01}, 2)), CanOk);
    CanMsg echo;
    ASSERT_EQ(ReadWithin(echo), CanOk);
    EXPECT_EQ(echo.ID, 0x1ABCDF0u);
    EXPECT_EQ(echo.MSGTYPE, 2);
    EXPECT_EQ(echo.LEN, 3);
    EXPECT_EQ(echo.DATA[0], 0xAA);
    EXPECT_EQ(echo.DATA[2], 0x01);
}

TEST_P(AdapterContract, ResetEmptiesTheReceiveQueue)
{
    rig->Peer.Script = [](const CanMsg& f, SimulatedBus& bus) {
        for (uint8_t i = 0; i < 3; ++i)
            bus.Deliver(MakeMsg(f.ID + 1, {i}));
    };
    ASSERT_EQ(adapter->Initialize(0x011C), CanOk);
    ASSERT_EQ(adapter->Write(MakeMsg(0x100, {1})), CanOk);
    CanMsg msg;
    ASSERT_EQ(ReadWithin(msg), CanOk); // the burst has arrived
    rig->Settle();
    EXPECT_EQ(adapter->Reset(), CanOk);
    EXPECT_EQ(adapter->Read(msg), CanQueueEmpty);
    // The adapter still works after the reset.
    ASSERT_EQ(adapter->Write(MakeMsg(0x100, {2})), CanOk);
    EXPECT_EQ(ReadWithin(msg), CanOk);
}

TEST_P(AdapterContract, UninitializeClosesAndInitializeReopens)
{
    ASSERT_EQ(adapter->Initialize(0x011C), CanOk);
    ASSERT_EQ(adapter->Uninitialize(), CanOk);
    CanMsg msg;
    EXPECT_NE(adapter->Write(ReadE2Request), CanOk);
    EXPECT_NE(adapter->Read(msg), CanOk);
    EXPECT_NE(adapter->GetStatus(), CanOk);

    ASSERT_EQ(adapter->Initialize(0x001C), CanOk);
    ASSERT_EQ(adapter->Write(ReadE2Request), CanOk);
    EXPECT_EQ(ReadWithin(msg), CanOk);
}

INSTANTIATE_TEST_SUITE_P(
    Transports, AdapterContract,
    ::testing::Values(+[]() -> std::unique_ptr<Rig> { return std::make_unique<SimulatedRig>(); },
                      +[]() -> std::unique_ptr<Rig> { return std::make_unique<VirtualCanRig>(); }),
    [](const ::testing::TestParamInfo<RigFactory>& info) {
        return info.index == 0 ? std::string("InProcess") : std::string("VirtualCan");
    });

// What only the in-process bus does: the peer's presence and bus state,
// delayed answers, and the controller joining the bus at Initialize.
class SimulatedAdapterTest : public ::testing::Test {
protected:
    void SetUp() override { TestApp(); }
    Responder peer;
    SimulatedAdapter adapter{peer};
};

TEST_F(SimulatedAdapterTest, UnpluggedAdapterFailsEveryCall)
{
    ASSERT_EQ(adapter.Initialize(0x011C), CanOk);
    EXPECT_EQ(peer.Opened, 1);
    peer.Present = false;
    CanMsg msg;
    EXPECT_NE(adapter.Write(MakeMsg(220, {0})), CanOk);
    EXPECT_NE(adapter.Read(msg), CanOk);
    EXPECT_NE(adapter.Reset(), CanOk);
    EXPECT_NE(adapter.GetStatus(), CanOk);
    EXPECT_NE(adapter.Uninitialize(), CanOk);
    EXPECT_NE(adapter.Initialize(0x011C), CanOk);
    EXPECT_TRUE(peer.Received.empty());
    peer.Present = true;
    EXPECT_EQ(adapter.Initialize(0x011C), CanOk);
    EXPECT_EQ(peer.Opened, 2);
}

TEST_F(SimulatedAdapterTest, BusOffRefusesWritesAndShowsInStatus)
{
    ASSERT_EQ(adapter.Initialize(0x011C), CanOk);
    peer.Status = CanBusOff;
    EXPECT_EQ(adapter.GetStatus(), CanBusOff);
    EXPECT_EQ(adapter.Write(MakeMsg(220, {0})), CanBusOff);
    EXPECT_TRUE(peer.Received.empty());
}

TEST_F(SimulatedAdapterTest, DelayedAnswerIsReadableOnlyAfterItsDelay)
{
    peer.DelayMs = 40;
    ASSERT_EQ(adapter.Initialize(0x011C), CanOk);
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(adapter.Write(ReadE2Request), CanOk);
    CanMsg msg;
    EXPECT_EQ(adapter.Read(msg), CanQueueEmpty);
    // A frame still on its way is not in the queue: Reset leaves it.
    EXPECT_EQ(adapter.Reset(), CanOk);
    ASSERT_TRUE(WaitUntil([&] { return adapter.Read(msg) == CanOk; }, 1000));
    EXPECT_GE(clock.elapsed(), 40);
    EXPECT_LT(clock.elapsed(), 200);
    EXPECT_EQ(msg.ID, 221u);
}

} // namespace
