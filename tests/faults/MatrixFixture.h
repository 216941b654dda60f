#pragma once
// The fixture of the fault matrix rows: a core context with the Configure
// and Info pages on some bus, the controller commands with a scripted host,
// and the bookkeeping of which records a failed transfer changed. The
// controller behind the bus is reached through the hooks (in-process
// simulator or a drc-sim process).
#include "FaultSupport.h"

#include "core/link/CANLink.h"
#include "core/link/E2Image.h"
#include "core/state/CoreContext.h"
#include "core/transport/modCANDevice.h"
#include "sim/BusFactory.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace faults {

inline const QString TimeOut = QStringLiteral("Operation Failed :Communication TIME OUT ");
inline const QString CommError = QStringLiteral("Operation Failed :Comunication Error");
inline constexpr int16_t ConfigureRead = 10, ConfigureWrite = 11;

struct Timed {
    CommandOutcome Outcome = CommandOutcome::Cancelled;
    qint64 Ms = 0;
    bool Ticking = false;
    int Ticks = 0;
};

class MatrixFixture : public ::testing::Test {
protected:
    // The controller's memories.
    virtual void SetControllerWord(int address, uint16_t value) = 0; // E2 and RAM
    virtual int ControllerE2(int address) = 0;
    // Takes every fault away again.
    virtual void ClearFaults() = 0;

    void Open(const QString& busName)
    {
        EnsureApplication();
        bus = MakeBusSetup(busName, QStringLiteral(QVS_BIN_DIR), false);
        ASSERT_TRUE(bus.Error.isEmpty()) << bus.Error.toStdString();
        ctx = std::make_unique<CoreContext>(QStringLiteral(QVS_BIN_DIR), bus.Factory);
        ctx->Pages.Add(&configure);
        ctx->Pages.Add(&info);
        ASSERT_EQ(ctx->LoadCatalogue(), "");
        ctx->Image().CountPageParameters();
        ctx->SetHost(&host);
        commands = std::make_unique<Commands>(*ctx, host);
        commands->SettlingEvents = 10;
    }

    IDData& Table() { return ctx->Table; }

    template <typename F> Timed Run(F&& command)
    {
        host.messages.clear();
        TickCounter ticks;
        QElapsedTimer clock;
        clock.start();
        Timed t;
        t.Outcome = command();
        t.Ms = clock.elapsed();
        t.Ticking = ticks.KeptTicking(t.Ms);
        t.Ticks = ticks.Ticks();
        return t;
    }

    void ConnectCleanly()
    {
        const Timed t = Run([&] { return commands->Connect(); });
        ASSERT_EQ(t.Outcome, CommandOutcome::Done) << host.messages.join(" / ").toStdString();
        ASSERT_EQ(ctx->Shell.ConnectionState(), Connected);
        host.messages.clear();
    }

    // The checks of a command that a fault must end: it failed, with the
    // message first, in less than maxMs, while the event loop kept running.
    void ExpectFailed(const Timed& t, const QString& message, qint64 maxMs)
    {
        EXPECT_EQ(t.Outcome, CommandOutcome::Failed);
        EXPECT_EQ(host.messages.value(0), message) << host.messages.join(" / ").toStdString();
        EXPECT_LT(t.Ms, maxMs);
        EXPECT_TRUE(t.Ticking) << t.Ticks << " ticks in " << t.Ms << " ms";
    }
    // The records whose values changed since the snapshot.
    std::vector<int> ChangedSince(const std::vector<RecordValues>& before)
    {
        return Changed(before, Snapshot(Table()));
    }
    // Prints the measured row, with the command's first message.
    void ReportRow(const char* scenario, const Timed& t, const std::string& records)
    {
        Report(scenario, host.messages.value(0), t.Ms, records, t.Ticks);
    }

    // The faults are gone; Connect works again in the same process.
    void ExpectConnectWorksAgain()
    {
        ClearFaults();
        host.messages.clear();
        EXPECT_EQ(commands->Connect(), CommandOutcome::Done) << host.messages.join(" / ").toStdString();
        EXPECT_EQ(ctx->Shell.ConnectionState(), Connected);
        EXPECT_TRUE(host.enabled);
    }

    // The records a bulk read or write of the mask visits, in order.
    std::vector<int> ReadOrder(int16_t mask)
    {
        std::vector<int> order;
        for (int i = 1; i < Table().VarTableEnd; ++i)
            if (E2Image::TakesPartInRead(mask, Table().At(i)->DataS.QVSPageDomain) &&
                ctx->Image().PassesSectionGate(*Table().At(i)))
                order.push_back(i);
        return order;
    }
    std::vector<int> WriteOrder(int16_t mask)
    {
        const CVarData* dither = Table().Record(Key::QVS_DITHER_EDIT);
        const bool ditherAllowed = dither && dither->DataS.CedValueE2 == 170;
        std::vector<int> order;
        for (int i = 1; i < Table().VarTableEnd; ++i)
            if (E2Image::TakesPartInWrite(mask, Table().At(i)->DataS.QVSPageDomain) &&
                ctx->Image().PassesSectionGate(*Table().At(i)) &&
                !(Table().IsKey(i, Key::QVS_DITHER_FREQ) && !ditherAllowed))
                order.push_back(i);
        return order;
    }

    // Another valid value than the record holds.
    static int32_t OtherValue(const CVarDataS& d)
    {
        const int32_t lo = d.CedValE2Min, hi = std::min(d.CedValE2Max, 65535);
        return d.CedValueE2 != lo ? lo : (lo + 1 <= hi ? lo + 1 : lo);
    }

    // The controller holds new values in every word a read visits, so each
    // record a read takes shows as changed. The section count stays: it
    // decides which records exist.
    void GiveControllerNewValues(int16_t mask)
    {
        for (int i : ReadOrder(mask)) {
            if (Table().IsKey(i, Key::QVS_NUM_PROP_REG))
                continue;
            const CVarDataS& d = Table().At(i)->DataS;
            SetControllerWord(d.Address, static_cast<uint16_t>(OtherValue(d)));
        }
    }

    // Edits every record a write sends; the edited values by index.
    std::map<int, int32_t> EditForWrite(int16_t mask)
    {
        std::map<int, int32_t> edited;
        for (int i : WriteOrder(mask)) {
            if (Table().IsKey(i, Key::QVS_NUM_PROP_REG))
                continue;
            CVarDataS& d = Table().At(i)->DataS;
            d.QvsDownloadValueE2 = OtherValue(d);
            if (d.QvsDownloadValueE2 != d.CedValueE2)
                edited[i] = d.QvsDownloadValueE2;
        }
        return edited;
    }

    // The records among the first n words of a read (the section count is
    // read too, but keeps its value).
    std::vector<int> First(const std::vector<int>& order, size_t n)
    {
        std::vector<int> out;
        for (size_t k = 0; k < n && k < order.size(); ++k)
            if (!Table().IsKey(order[k], Key::QVS_NUM_PROP_REG))
                out.push_back(order[k]);
        return out;
    }

    // Whether changed is what a read that stopped after some word leaves:
    // every record before that word taken, none after it. Sets words.
    bool IsReadPrefix(const std::vector<int>& changed, const std::vector<int>& order, size_t& words)
    {
        for (words = 0; words <= order.size(); ++words)
            if (First(order, words) == changed)
                return true;
        return false;
    }

    // The edited records among the first n words of a write.
    std::vector<int> FirstEdited(const std::map<int, int32_t>& edited, int16_t mask, size_t n)
    {
        const std::vector<int> order = WriteOrder(mask);
        std::vector<int> out;
        for (size_t k = 0; k < n && k < order.size(); ++k)
            if (edited.count(order[k]))
                out.push_back(order[k]);
        return out;
    }

    // The edited records a write marked as written (the value in the
    // controller is taken to be the one sent).
    std::vector<int> MarkedWritten(const std::map<int, int32_t>& edited)
    {
        std::vector<int> out;
        for (const auto& [i, v] : edited)
            if (Table().At(i)->DataS.CedValueE2 == v)
                out.push_back(i);
        return out;
    }
    // The edited records whose value the controller holds.
    std::vector<int> TakenByController(const std::map<int, int32_t>& edited)
    {
        std::vector<int> out;
        for (const auto& [i, v] : edited)
            if (ControllerE2(Table().At(i)->DataS.Address) == v)
                out.push_back(i);
        return out;
    }

    BusSetup bus;
    std::unique_ptr<CoreContext> ctx;
    PageKeys configure{ConfigureRead, ConfigureWrite, 0}, info{10000, 10001, 0};
    ScriptedHost host;
    std::unique_ptr<Commands> commands;
};

} // namespace faults
