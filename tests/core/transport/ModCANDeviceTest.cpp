// The device layer: opening at the bit rate of an index, the connection
// flag, SStatus bits, frame fetch, and faults without a channel.
#include "TestSupport.h"

#include "core/transport/BitRates.h"
#include "core/transport/modCANDevice.h"

#include <gtest/gtest.h>

namespace {

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override { TestApp(); }

    ScriptedAdapter::Log log;
    ScriptedAdapter* last = nullptr;
    int initializeResult = CanOk;
    int writeResult = CanOk;
    // Each new channel gets a scripted adapter that shares the log.
    modCANDevice device{[this]() -> std::unique_ptr<CanAdapter> {
        auto a = std::make_unique<ScriptedAdapter>(log);
        a->InitializeResult = initializeResult;
        a->WriteResult = writeResult;
        last = a.get();
        return a;
    }};
};

TEST_F(DeviceTest, BitRateTableAndMenuTexts)
{
    const char* texts[] = {"1000", "800", "500", "250", "125", "50", "20", "10"};
    const int codes[] = {0x0014, 0x0016, 0x001C, 0x011C, 0x031C, 0x472F, 0x532F, 0x672F};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(modCANDevice::BitRateIndexFromText(texts[i]), i);
        EXPECT_EQ(BitTimingCodeFromIndex(i), codes[i]);
    }
    for (const char* other : {"None", "", "250 ", "1 000", "Set"})
        EXPECT_EQ(modCANDevice::BitRateIndexFromText(other), 3) << other;
}

TEST_F(DeviceTest, OpenUsesTheCodeOfTheIndex)
{
    EXPECT_EQ(device.UsbPortIndex, 1);
    EXPECT_EQ(device.BitRateIndex, 3);
    const std::pair<int16_t, const char*> cases[] = {
        {3, "Initialize 0x11C"}, {9, "Initialize 0x11C"}, {-1, "Initialize 0x11C"}, {4, "Initialize 0x31C"}};
    for (const auto& [index, call] : cases) {
        device.CloseCanDevice();
        log.Calls.clear();
        ASSERT_TRUE(device.OpenCanDevice(index));
        EXPECT_TRUE(device.CanConnected);
        ASSERT_NE(device.CanChannel, nullptr);
        // Reset first, then a fresh open at the chosen code.
        EXPECT_EQ(log.Calls, (std::vector<std::string>{"Reset", "Uninitialize", call})) << index;
    }
}

TEST_F(DeviceTest, FailedOpenKeepsTheChannelWithStatusZero)
{
    initializeResult = CanHardwareError;
    EXPECT_FALSE(device.OpenCanDevice(3));
    EXPECT_FALSE(device.CanConnected);
    ASSERT_NE(device.CanChannel, nullptr);
    EXPECT_EQ(device.CanChannel->SStatus, 0);

    // A factory without an adapter (no bus) fails the same way.
    modCANDevice none;
    EXPECT_FALSE(none.OpenCanDevice(3));
    EXPECT_FALSE(none.CanConnected);
    EXPECT_NE(none.CanChannel, nullptr);
}

TEST_F(DeviceTest, StatusBitsFollowReceptionAndSends)
{
    ASSERT_TRUE(device.OpenCanDevice(3));
    ClsCAN_PEAK& ch = *device.CanChannel;
    device.StartCanRx();
    EXPECT_EQ(ch.SStatus, 1);
    EXPECT_TRUE(device.tmrRxCAN()->isActive());
    EXPECT_EQ(device.tmrRxCAN()->interval(), 100);

    CanFrame f;
    f.ID = 220;
    f.LEN = 8;
    f.DATA = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_TRUE(device.SendCanMsg(f));
    EXPECT_EQ(ch.SStatus, 3);
    ASSERT_EQ(log.Written.size(), 1u);
    EXPECT_EQ(log.Written[0].ID, 220u);
    EXPECT_EQ(log.Written[0].DATA[7], 8);

    last->WriteResult = CanTransmitFailed;
    EXPECT_FALSE(device.SendCanMsg(f));
    EXPECT_EQ(ch.SStatus, 4); // exactly 4, bit 0 gone too

    device.StopCanRx();
    EXPECT_EQ(ch.SStatus, 4);
    EXPECT_FALSE(device.tmrRxCAN()->isActive());
    device.StartCanRx();
    EXPECT_EQ(ch.SStatus, 5);
    device.StopCanRx();
    EXPECT_EQ(ch.SStatus, 4);
}

TEST_F(DeviceTest, GetCanMsgFillsOnlyIdentifierAndData)
{
    ASSERT_TRUE(device.OpenCanDevice(3));
    CanFrame frame;
    frame.ID = 77;
    frame.MsgType = 5;
    frame.LEN = 3;
    EXPECT_FALSE(device.GetCanMsg(221, frame, 5000, false));
    EXPECT_EQ(frame.ID, 0);

    last->RxQueue.push_back(MakeMsg(221, {0x82, 0, 0x12, 0x34, 1, 2}));
    device.CanChannel->WaitRx(std::string());
    EXPECT_TRUE(device.GetCanMsg(221, frame, 5000, false));
    EXPECT_EQ(frame.ID, 221);
    EXPECT_EQ(frame.DATA[0], 0x82);
    EXPECT_EQ(frame.DATA[5], 2);
    EXPECT_EQ(frame.MsgType, 5);
    EXPECT_EQ(frame.LEN, 3);
}

TEST_F(DeviceTest, CloseReleasesChannelAndOperationsWithoutOneFault)
{
    ASSERT_TRUE(device.OpenCanDevice(3));
    device.StartCanRx();
    EXPECT_THROW(device.EnableCanTx(true), CanObjectError); // no TxTimer
    QTimer tx;
    device.CanChannel->SetTxTimer(&tx);
    device.CanChannel->SStatus = 3;
    device.EnableCanTx(true);
    EXPECT_TRUE(tx.isActive());
    device.EnableCanTx(false);
    EXPECT_FALSE(tx.isActive());
    EXPECT_EQ(device.CanChannel->SStatus, 1);

    tx.start();
    device.CloseCanDevice();
    EXPECT_EQ(device.CanChannel, nullptr);
    EXPECT_TRUE(device.CanConnected); // keeps its value
    EXPECT_FALSE(device.tmrRxCAN()->isActive());
    EXPECT_FALSE(tx.isActive());

    CanFrame f;
    EXPECT_THROW(device.StartCanRx(), CanObjectError);
    EXPECT_THROW(device.StopCanRx(), CanObjectError);
    EXPECT_THROW(device.SendCanMsg(f), CanObjectError);
    EXPECT_THROW(device.GetCanMsg(221, f, 0, false), CanObjectError);
    EXPECT_THROW(device.PollCanRx(), CanObjectError);
    device.CloseCanDevice(); // twice is harmless
}

TEST_F(DeviceTest, OpenClearsThePeriodicTable)
{
    ASSERT_TRUE(device.OpenCanDevice(3));
    AuxMsg e{};
    e[1] = 0x300;
    e[11] = 1;
    e[13] = 10;
    device.CanChannel->WriteTmrMsg(e);
    device.ClearTmrMsgList();
    EXPECT_EQ(device.CanChannel->ReadTmrMsg(10), AuxMsg{});
}

} // namespace
