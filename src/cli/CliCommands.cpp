#include "cli/CliCommands.h"

#include "cli/CliContext.h"
#include "cli/CliController.h"
#include "cli/CliSession.h"
#include "core/link/WordLink.h"
#include "sim/NumberArgument.h"

#include <QCommandLineParser>
#include <QJsonObject>
#include <QTextStream>

#include <functional>

namespace {

enum class Memory { E2, Ram };

QString ParseMemory(const QString& text, Memory& memory)
{
    if (text.compare(QLatin1String("e2"), Qt::CaseInsensitive) == 0)
        memory = Memory::E2;
    else if (text.compare(QLatin1String("ram"), Qt::CaseInsensitive) == 0)
        memory = Memory::Ram;
    else
        return QStringLiteral("memory '%1' is neither e2 nor ram").arg(text);
    return {};
}

QString MemoryName(Memory m) { return m == Memory::E2 ? QStringLiteral("e2") : QStringLiteral("ram"); }

QString ParseWord(const QString& what, const QString& text, int& value)
{
    const auto v = ParseWordArgument(text);
    if (!v)
        return QStringLiteral("%1 '%2' is not a number in 0..65535 (decimal or 0x-hex)").arg(what, text);
    value = *v;
    return {};
}

// Opens the bus and runs one word exchange: ExitOk, or ExitFailed with the
// link's failure printed.
int RunWordExchange(CliContext& c, const std::function<std::string(WordLink&)>& exchange)
{
    if (!c.OpenBus())
        return ExitFailed;
    const std::string r = exchange(c.Session.Link());
    if (!r.empty()) {
        c.Err << OperationFailedText(r) << Qt::endl;
        return ExitFailed;
    }
    return ExitOk;
}

QJsonObject WordJson(Memory memory, int address, int value)
{
    return QJsonObject{{QStringLiteral("memory"), MemoryName(memory)},
                       {QStringLiteral("address"), address},
                       {QStringLiteral("value"), value}};
}

// peek e2|ram ADDR: prints the word in decimal.
class PeekCommand final : public CliCommand {
public:
    QString Parse(const QCommandLineParser&, const QStringList& args) override
    {
        if (args.size() != 2)
            return QStringLiteral("peek needs two arguments: e2|ram ADDR");
        if (QString e = ParseMemory(args[0], m_memory); !e.isEmpty())
            return e;
        return ParseWord(QStringLiteral("address"), args[1], m_address);
    }
    int Run(CliContext& c) override
    {
        int32_t value = 0;
        const int r = RunWordExchange(c, [&](WordLink& link) {
            return m_memory == Memory::E2 ? link.ReadE2Word(m_address, value) : link.ReadRAMWord(m_address, value);
        });
        if (r != ExitOk)
            return r;
        if (c.Mode.Json)
            cli::PrintJson(c, WordJson(m_memory, m_address, value));
        else
            c.Out << value << Qt::endl;
        return ExitOk;
    }

private:
    Memory m_memory = Memory::E2;
    int m_address = 0;
};

// poke e2|ram ADDR VALUE: writes the word.
class PokeCommand final : public CliCommand {
public:
    QString Parse(const QCommandLineParser&, const QStringList& args) override
    {
        if (args.size() != 3)
            return QStringLiteral("poke needs three arguments: e2|ram ADDR VALUE");
        if (QString e = ParseMemory(args[0], m_memory); !e.isEmpty())
            return e;
        if (QString e = ParseWord(QStringLiteral("address"), args[1], m_address); !e.isEmpty())
            return e;
        return ParseWord(QStringLiteral("value"), args[2], m_value);
    }
    int Run(CliContext& c) override
    {
        const int r = RunWordExchange(c, [&](WordLink& link) {
            return m_memory == Memory::E2 ? link.WriteE2Word(m_address, m_value)
                                          : link.WriteRAMWord(m_address, m_value);
        });
        if (r != ExitOk)
            return r;
        if (c.Mode.Json) {
            QJsonObject o = WordJson(m_memory, m_address, m_value);
            o.insert(QStringLiteral("written"), true);
            cli::PrintJson(c, o);
        }
        return ExitOk;
    }

private:
    Memory m_memory = Memory::E2;
    int m_address = 0;
    int m_value = 0;
};

template <typename T> std::unique_ptr<CliCommand> Make() { return std::make_unique<T>(); }

} // namespace

const std::vector<CliOptionInfo>& CliCommandOptions()
{
    static const std::vector<CliOptionInfo> options{
        {"out", "FILE", "read: save the parameters to FILE in the configuration-file format instead of listing them"},
        {"force", nullptr,
         "read: overwrite an existing --out file. write: write despite configuration errors or a restore that "
         "awaits a power cycle"},
        {"author", "TEXT", "read --out: the Author of the file's information block"},
        {"date", "TEXT", "read --out: the Date of the information block"},
        {"revision", "TEXT", "read --out: the Revision of the information block"},
        {"company", "TEXT", "read --out: the Company of the information block"},
        {"comment", "TEXT", "read --out: the Additional Comments (\\n separates lines)"},
        {"count", "N", "monitor: stop after N cycles (default 0: until interrupted)"},
        {"interval", "MS", "monitor: start a cycle every MS milliseconds (default 500)"},
    };
    return options;
}

const std::vector<CliCommandInfo>& CliCommandTable()
{
    static const std::vector<CliCommandInfo> table{
        {"info", "", "connect; print the software version (v012.34), the model (DRC 200 F) and whether a restore "
                     "awaits a power cycle",
         {}, &MakeInfoCommand},
        {"read", "[--out FILE [--force] [--author T] [--date T] [--revision T] [--company T] [--comment T]]",
         "connect and read; list name, address, raw value, display value and unit of every parameter a "
         "configuration file holds, or save them to FILE",
         {"out", "force", "author", "date", "revision", "company", "comment"}, &MakeReadCommand},
        {"write", "FILE [--force]",
         "load FILE over the controller's values, run the write checks (errors block, warnings are shown) and "
         "write the Configure page",
         {"force"}, &MakeWriteCommand},
        {"check", "FILE", "print the write-check findings of FILE without a controller (over factory defaults)", {},
         &MakeCheckCommand},
        {"diff", "FILE", "connect, read and list every parameter whose controller value differs from FILE", {},
         &MakeDiffCommand},
        {"reset", "", "restore the default setting (applied by the controller at its next power-up)", {},
         &MakeResetCommand},
        {"monitor", "[--count N] [--interval MS]",
         "poll the error, output and input words, joysticks, currents and supply; one line per cycle",
         {"count", "interval"}, &MakeMonitorCommand},
        {"peek", "e2|ram ADDR", "print one word of the controller's E2 or RAM in decimal", {}, &Make<PeekCommand>},
        {"poke", "e2|ram ADDR VALUE", "write one word of the controller's E2 or RAM", {}, &Make<PokeCommand>},
    };
    return table;
}

const CliCommandInfo* FindCliCommand(const QString& name)
{
    for (const CliCommandInfo& c : CliCommandTable())
        if (name == QLatin1String(c.Name))
            return &c;
    return nullptr;
}
