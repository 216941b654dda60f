// monitor: polls the controller's live RAM words (error and output words,
// joysticks, currents, supply) and prints one line per cycle.
#include "cli/CliCommands.h"
#include "cli/CliContext.h"
#include "cli/CliController.h"
#include "cli/CliSession.h"
#include "cli/CliText.h"
#include "core/link/IDData.h"
#include "core/link/WordLink.h"
#include "core/state/CoreContext.h"
#include "core/transport/EventWait.h"
#include "sim/NumberArgument.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

struct Polled {
    Key Which;
    bool Bits; // a word of flags: shown in hexadecimal
};

// In the order of a line.
constexpr Polled PolledWords[] = {
    {Key::QVS_MAIN_ERROR, true},      {Key::QVS_HSD_MONITOR, true},      {Key::QVS_DIGIT_MONITOR, true},
    {Key::QVS_JOY0_VALUE, false},     {Key::QVS_JOY1_VALUE, false},      {Key::QVS_I0_MEASURE_400, false},
    {Key::QVS_I1_MEASURE_400, false}, {Key::QVS_VBB_400, false},
};

class MonitorCommand final : public CliCommand {
public:
    static constexpr int DefaultIntervalMs = 500;

    QString Parse(const QCommandLineParser& p, const QStringList& args) override
    {
        if (!args.isEmpty())
            return QStringLiteral("monitor takes no arguments (got '%1')").arg(args.first());
        if (p.isSet(QStringLiteral("count"))) {
            const auto n = ParseNumberArgument(p.value(QStringLiteral("count")), 0, 1000000000);
            if (!n)
                return QStringLiteral("monitor: --count '%1' is not a number in 0..1000000000")
                    .arg(p.value(QStringLiteral("count")));
            m_count = *n;
        }
        if (p.isSet(QStringLiteral("interval"))) {
            const auto ms = ParseNumberArgument(p.value(QStringLiteral("interval")), 0, 3600000);
            if (!ms)
                return QStringLiteral("monitor: --interval '%1' is not a number of milliseconds in 0..3600000")
                    .arg(p.value(QStringLiteral("interval")));
            m_intervalMs = *ms;
        }
        return {};
    }

    int Run(CliContext& c) override
    {
        if (!c.OpenBus(true) || !c.LoadCatalogue())
            return ExitFailed;
        CoreContext& ctx = c.Session.Context();
        WordLink& link = c.Session.Link();

        // The section count decides which variables exist and which variant
        // of their display formulas applies.
        int sections = 4;
        if (const CVarData* s = ctx.Table.Record(Key::QVS_NUM_PROP_REG)) {
            int32_t value = 0;
            if (const std::string e = link.ReadE2Word(s->DataS.Address, value); !e.empty()) {
                c.Err << OperationFailedText(e) << Qt::endl;
                return ExitFailed;
            }
            sections = value;
        }
        std::vector<std::pair<CVarData*, bool>> items;
        for (const Polled& p : PolledWords) {
            CVarData* r = ctx.Table.Record(p.Which);
            if (!r || r->DataS.DrcTypeID >= sections)
                continue;
            r->DataS.CurrentDRCSystem = static_cast<int16_t>(std::clamp(sections, 0, 4));
            items.emplace_back(r, p.Bits);
        }
        if (items.empty()) {
            c.Error(QStringLiteral("the catalogue names none of the monitored variables"));
            return ExitFailed;
        }

        QElapsedTimer clock;
        clock.start();
        for (long long cycle = 0; m_count == 0 || cycle < m_count; ++cycle) {
            const qint64 start = clock.elapsed();
            QStringList cells;
            QJsonArray values;
            for (auto& [r, bits] : items) {
                int32_t word = 0;
                if (const std::string e = link.ReadRAMWord(r->DataS.Address, word); !e.empty()) {
                    c.Err << OperationFailedText(e) << Qt::endl;
                    return ExitFailed;
                }
                try {
                    r->ReadRAMFromCED(word);
                } catch (const std::exception&) {
                    // A display formula that fails on this word shows the word.
                    r->DataS.CedValueRAM = word;
                    r->DataS.QvsDisplayValueRAM = word;
                }
                const CVarDataS& d = r->DataS;
                const QString name = QString::fromStdString(d.MonitorName.empty() ? d.Name : d.MonitorName);
                const QString unit = QString::fromStdString(d.Unit);
                const QString hex = QString::number(word & 0xFFFF, 16).toUpper().rightJustified(4, QLatin1Char('0'));
                const QString value = bits ? QStringLiteral("0x") + hex : clitext::DisplayNumber(d.QvsDisplayValueRAM);
                cells << (unit.isEmpty() ? name + QLatin1Char(' ') + value
                                         : name + QLatin1Char(' ') + value + QLatin1Char(' ') + unit);
                QJsonObject v{{QStringLiteral("name"), name},
                              {QStringLiteral("address"), d.Address},
                              {QStringLiteral("raw"), word},
                              {QStringLiteral("display"), d.QvsDisplayValueRAM},
                              {QStringLiteral("unit"), unit}};
                values.append(v);
            }
            if (c.Mode.Json) {
                cli::PrintJson(c,
                               QJsonObject{{QStringLiteral("cycle"), cycle + 1},
                                           {QStringLiteral("ms"), start},
                                           {QStringLiteral("values"), values}},
                               true);
            } else {
                c.Out << QStringLiteral("%1 s  ").arg(start / 1000.0, 8, 'f', 3) << cells.join(QStringLiteral("  "))
                      << Qt::endl;
            }
            if (m_count != 0 && cycle + 1 >= m_count)
                break;
            const qint64 left = m_intervalMs - (clock.elapsed() - start);
            DispatchEventsFor(std::max<qint64>(left, 0));
        }
        return ExitOk;
    }

private:
    long long m_count = 0; // 0: until interrupted
    long long m_intervalMs = DefaultIntervalMs;
};

} // namespace

std::unique_ptr<CliCommand> MakeMonitorCommand() { return std::make_unique<MonitorCommand>(); }
