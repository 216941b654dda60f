// The channel over a scripted adapter: frame arrays, the receive table and
// its slot rules, reception bracketing, the periodic table, trace lines and
// the list refresh.
#include "TestSupport.h"

#include "core/transport/ClsCAN_PEAK.h"
#include "core/transport/EventWait.h"
#include "core/transport/modCANDevice.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ChannelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestApp();
        auto a = std::make_unique<ScriptedAdapter>(log);
        adapter = a.get();
        channel = std::make_unique<ClsCAN_PEAK>(std::move(a));
        channel->SetClock([this] { return now; });
    }

    // Queues frames in the adapter and drains them into the table.
    void Receive(std::initializer_list<CanMsg> frames)
    {
        for (const CanMsg& f : frames)
            adapter->RxQueue.push_back(f);
        channel->WaitRx(std::string());
    }

    ScriptedAdapter::Log log;
    ScriptedAdapter* adapter = nullptr;
    std::unique_ptr<ClsCAN_PEAK> channel;
    int64_t now = 1000;
};

AuxMsg Frame(int32_t kind, int32_t id, std::vector<int32_t> data)
{
    AuxMsg a{};
    a[0] = kind;
    a[1] = id;
    a[2] = static_cast<int32_t>(data.size());
    for (size_t i = 0; i < data.size(); ++i)
        a[3 + i] = data[i];
    return a;
}

TEST_F(ChannelTest, SendMapsFrameKindAndCopiesAllEightBytes)
{
    AuxMsg a = Frame(1, 0x1ABCDEF, {1, 2});
    a[9] = 0x77; // beyond the length: still copied
    EXPECT_TRUE(channel->SendOneMsg(a));
    EXPECT_TRUE(channel->SendOneMsg(Frame(0, 0x123, {})));
    EXPECT_TRUE(channel->SendOneMsg(Frame(2, 0x123, {})));
    EXPECT_TRUE(channel->SendOneMsg(Frame(-1, 0x123, {})));
    ASSERT_EQ(log.Written.size(), 4u);
    EXPECT_EQ(log.Written[0].MSGTYPE, 2);
    EXPECT_EQ(log.Written[0].ID, 0x1ABCDEFu);
    EXPECT_EQ(log.Written[0].LEN, 2);
    EXPECT_EQ(log.Written[0].DATA[6], 0x77);
    EXPECT_EQ(log.Written[1].MSGTYPE, 0);
    EXPECT_EQ(log.Written[2].MSGTYPE, 0);
    EXPECT_EQ(log.Written[3].MSGTYPE, 0);

    adapter->WriteResult = CanTransmitFailed;
    EXPECT_FALSE(channel->SendOneMsg(Frame(0, 0x123, {})));
}

TEST_F(ChannelTest, TableKeepsLatestFramePerIdentifierInTwentySlots)
{
    Receive({MakeMsg(221, {1}), MakeMsg(221, {2})});
    EXPECT_EQ(channel->Slot(0).Msg.DATA[0], 2); // only the later one remains
    EXPECT_EQ(channel->Slot(1).Msg.ID, 0u);

    for (uint32_t id = 1; id <= 19; ++id)
        Receive({MakeMsg(1000 + id, {static_cast<uint8_t>(id)})});
    for (int s = 1; s < 20; ++s)
        EXPECT_EQ(channel->Slot(s).Msg.ID, 1000u + static_cast<uint32_t>(s));
    // A 21st identifier replaces slot 0; slot 20 is never written.
    Receive({MakeMsg(5000, {9})});
    EXPECT_EQ(channel->Slot(0).Msg.ID, 5000u);
    EXPECT_EQ(channel->Slot(20).Msg.ID, 0u);
    EXPECT_FALSE(channel->Slot(20).New);
    // An identifier already held goes back to its own slot.
    Receive({MakeMsg(1007, {42})});
    EXPECT_EQ(channel->Slot(7).Msg.DATA[0], 42);
    EXPECT_EQ(channel->Slot(0).Msg.ID, 5000u);
}

TEST_F(ChannelTest, LookupReturnsZerosForUnknownOrTooOldFrames)
{
    AuxMsg none = channel->RxReadMsg(221, 5000, false);
    EXPECT_EQ(none, AuxMsg{});

    Receive({MakeMsg(221, {0x82, 0, 0x12, 0x34, 1, 2, 3, 4}, 2)});
    AuxMsg got = channel->RxReadMsg(221, 5000, false);
    EXPECT_EQ(got[0], 0); // the kind is not returned
    EXPECT_EQ(got[1], 221);
    EXPECT_EQ(got[2], 8);
    EXPECT_EQ(got[3], 0x82);
    EXPECT_EQ(got[10], 4);

    now += 100;
    EXPECT_EQ(channel->RxReadMsg(221, 100, true)[1], 221);
    now += 1;
    EXPECT_EQ(channel->RxReadMsg(221, 100, true), AuxMsg{});
    now += 10 * 60 * 1000; // minutes later, without the check
    EXPECT_EQ(channel->RxReadMsg(221, 5000, false)[1], 221);
    EXPECT_EQ(channel->RxReadMsg29(221, 5000, false)[1], 221);
}

TEST_F(ChannelTest, SequenceTellsFramesAfterAGivenPointFromOlderOnes)
{
    Receive({MakeMsg(221, {1})});
    const uint64_t mark = channel->RxSequence();
    CanMsg msg;
    uint64_t seq = 0;
    EXPECT_FALSE(channel->RxReadFresh(221, mark, msg, seq));
    Receive({MakeMsg(300, {7})});
    EXPECT_FALSE(channel->RxReadFresh(221, mark, msg, seq)); // other identifier
    Receive({MakeMsg(221, {2})});
    ASSERT_TRUE(channel->RxReadFresh(221, mark, msg, seq));
    EXPECT_EQ(msg.DATA[0], 2);
    EXPECT_GT(seq, mark);
    EXPECT_FALSE(channel->RxReadFresh(221, seq, msg, seq));
}

TEST_F(ChannelTest, StartRxEmptiesAdapterQueueButKeepsTable)
{
    QTimer rx;
    rx.setInterval(100);
    Receive({MakeMsg(221, {1})});
    adapter->RxQueue.push_back(MakeMsg(222, {2}));

    // Without a receive timer the fault reaches the caller, after the reset.
    EXPECT_THROW(channel->StartRx(nullptr), CanObjectError);
    EXPECT_TRUE(adapter->RxQueue.empty());
    EXPECT_THROW(channel->StopRx(nullptr), CanObjectError);

    channel->SetRxTimer(&rx);
    CanListModel list;
    list.ListItems.resize(3);
    channel->StartRx(nullptr);
    EXPECT_TRUE(rx.isActive());
    EXPECT_EQ(channel->RxReadMsg(221, 0, false)[1], 221);
    channel->StopRx(&list); // with a list: list and table cleared
    EXPECT_FALSE(rx.isActive());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(channel->RxReadMsg(221, 0, false)[1], 0);
}

TEST_F(ChannelTest, ReceiveTimerTicksDrainTheAdapter)
{
    QTimer rx;
    rx.setInterval(5);
    channel->SetRxTimer(&rx);
    channel->StartRx();
    adapter->RxQueue.push_back(MakeMsg(221, {5}));
    EXPECT_TRUE(WaitUntil([&] { return channel->RxReadMsg(221, 0, false)[1] == 221; }, 500));
    channel.reset(); // the timer outlives the channel without harm
    DispatchEventsFor(20);
}

TEST_F(ChannelTest, InitReopensAtBaudRateAndTestUsesItsOwnRate)
{
    channel->BaudRate = 0x001C;
    channel->SStatus = 3;
    EXPECT_TRUE(channel->Init());
    EXPECT_TRUE(channel->IsInitialised());
    EXPECT_EQ(log.Calls, (std::vector<std::string>{"Uninitialize", "Initialize 0x1C"}));
    EXPECT_EQ(channel->SStatus, 3);

    adapter->InitializeResult = CanHardwareError;
    EXPECT_FALSE(channel->Init());
    EXPECT_FALSE(channel->IsInitialised());
    EXPECT_EQ(channel->SStatus, 0);

    log.Calls.clear();
    adapter->InitializeResult = CanOk;
    EXPECT_TRUE(channel->Test());
    EXPECT_EQ(log.Calls, (std::vector<std::string>{"Initialize 0x31C", "Reset", "Uninitialize"}));
    log.Calls.clear();
    channel->CloseCan();
    EXPECT_EQ(log.Calls, (std::vector<std::string>{"Reset"}));
    adapter->StatusResult = CanBusOff;
    EXPECT_EQ(channel->GetStatus(), CanBusOff);
}

TEST_F(ChannelTest, ChannelWithoutAdapterFailsQuietly)
{
    ClsCAN_PEAK none(nullptr);
    EXPECT_FALSE(none.Init());
    EXPECT_FALSE(none.Test());
    EXPECT_FALSE(none.SendOneMsg(Frame(0, 220, {1})));
    EXPECT_NE(none.GetStatus(), CanOk);
    EXPECT_TRUE(none.WaitRx(std::string()));
}

TEST_F(ChannelTest, PeriodicTableRoundTripAndSending)
{
    QTimer tx;
    channel->SetTxTimer(&tx);
    AuxMsg entry = Frame(1, 0x18FF00, {9, 8, 7});
    entry[11] = 1;
    entry[12] = 50;
    entry[13] = 3;
    channel->WriteTmrMsg(entry);
    EXPECT_EQ(channel->ReadTmrMsg(3), entry);
    AuxMsg zero = entry;
    zero[13] = 0;
    channel->WriteTmrMsg(zero); // entry 0 is stored but never sent
    EXPECT_THROW(channel->ReadTmrMsg(11), CanObjectError);
    EXPECT_THROW(channel->RemoveTmrMsg(-1), CanObjectError);

    channel->SendTmrMsg();
    ASSERT_EQ(log.Written.size(), 1u);
    EXPECT_EQ(log.Written[0].ID, 0x18FF00u);
    EXPECT_EQ(log.Written[0].MSGTYPE, 2);
    now += 49;
    channel->SendTmrMsg();
    EXPECT_EQ(log.Written.size(), 1u);
    now += 1;
    channel->SendTmrMsg();
    EXPECT_EQ(log.Written.size(), 2u);

    // A refused send stops periodic transmission.
    tx.start(1000);
    channel->SStatus = 3;
    adapter->WriteResult = CanTransmitFailed;
    now += 50;
    channel->SendTmrMsg();
    EXPECT_FALSE(tx.isActive());
    EXPECT_EQ(channel->SStatus, 1);

    channel->RemoveTmrMsg(3);
    EXPECT_EQ(channel->ReadTmrMsg(3), AuxMsg{});
}

TEST_F(ChannelTest, TraceLinesAreAppendedPerFrame)
{
    const CanMsg m = MakeMsg(0x1AB, {0x0A, 0xFF, 0x00});
    const int t = ((13 * 60 + 5) * 60 + 7) * 1000 + 42;
    EXPECT_EQ(ClsCAN_PEAK::TraceLine(m, t), "13:05:07.042\t1AB\t3\tA\tFF\t0");
    EXPECT_EQ(ClsCAN_PEAK::TraceLine(MakeMsg(0x7, {}), 0), "00:00:00.000\t7\t0");

    QTemporaryDir dir;
    const std::string path = (dir.path() + "/trace.txt").toStdString();
    adapter->RxQueue = {m, MakeMsg(0x220, {1})};
    channel->WaitRx(path);
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3); // two lines and the empty rest
    EXPECT_TRUE(lines[0].endsWith("\t1AB\t3\tA\tFF\t0\r"));
    EXPECT_TRUE(lines[1].endsWith("\t220\t1\t1\r"));
    EXPECT_EQ(lines[0].indexOf('.'), 8);
    // The frames were stored as well.
    EXPECT_EQ(channel->RxReadMsg(0x1AB, 0, false)[1], 0x1AB);

    // A trace file that cannot be written does not cost the frame.
    adapter->RxQueue = {MakeMsg(0x300, {1})};
    channel->WaitRx(dir.path().toStdString() + "/no/such/folder/trace.txt");
    EXPECT_EQ(channel->RxReadMsg(0x300, 0, false)[1], 0x300);
}

TEST_F(ChannelTest, ListRefreshAddsCountsAndUpdatesItems)
{
    CanListModel list;
    Receive({MakeMsg(0x1AB, {0x0A, 0xFF})});
    channel->CANListRefresh(list);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.ListItems[0].Text, "0");
    EXPECT_EQ(list.ListItems[0].SubItems[0], "1AB");
    EXPECT_EQ(list.ListItems[0].SubItems[1], "2");
    EXPECT_EQ(list.ListItems[0].SubItems[2], "A");
    EXPECT_EQ(list.ListItems[0].SubItems[3], "FF");
    EXPECT_EQ(list.ListItems[0].SubItems[9], "0");

    channel->CANListRefresh(list); // nothing new: unchanged
    EXPECT_EQ(list.ListItems[0].Text, "0");

    Receive({MakeMsg(0x1AB, {0x0B, 0xFF})});
    channel->CANListRefresh(list);
    EXPECT_EQ(list.ListItems[0].Text, "1");
    EXPECT_EQ(list.ListItems[0].SubItems[2], "B");

    list.ListItems[0].Text = "998";
    Receive({MakeMsg(0x1AB, {1})});
    channel->CANListRefresh(list);
    EXPECT_EQ(list.ListItems[0].Text, "999");
    Receive({MakeMsg(0x1AB, {1})});
    channel->CANListRefresh(list);
    EXPECT_EQ(list.ListItems[0].Text, "0");
}

TEST_F(ChannelTest, ListRefreshStopsAtAFlaggedEmptySlot)
{
    CanListModel list;
    // A frame with identifier 0 lands in the first "free" slot, flagged;
    // the refresh stops there and leaves it flagged.
    Receive({MakeMsg(0x10, {1}), MakeMsg(0x20, {2}), MakeMsg(0, {3})});
    EXPECT_TRUE(channel->Slot(2).New);
    channel->CANListRefresh(list);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_FALSE(channel->Slot(1).New);
    EXPECT_TRUE(channel->Slot(2).New);
}

} // namespace
