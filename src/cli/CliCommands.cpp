#include "cli/CliCommands.h"

#include "cli/CliSession.h"
#include "core/link/WordLink.h"
#include "sim/NumberArgument.h"

#include <QTextStream>

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

QString ParseWord(const QString& what, const QString& text, int& value)
{
    const auto v = ParseWordArgument(text);
    if (!v)
        return QStringLiteral("%1 '%2' is not a number in 0..65535 (decimal or 0x-hex)").arg(what, text);
    value = *v;
    return {};
}

// peek e2|ram ADDR: prints the word in decimal.
class PeekCommand final : public CliCommand {
public:
    QString Parse(const QStringList& args) override
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
        WordLink& link = c.Session.Link();
        const std::string r = m_memory == Memory::E2 ? link.ReadE2Word(m_address, value)
                                                     : link.ReadRAMWord(m_address, value);
        if (!r.empty()) {
            c.Err << OperationFailedText(r) << Qt::endl;
            return ExitFailed;
        }
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
    QString Parse(const QStringList& args) override
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
        WordLink& link = c.Session.Link();
        const std::string r = m_memory == Memory::E2 ? link.WriteE2Word(m_address, m_value)
                                                     : link.WriteRAMWord(m_address, m_value);
        if (!r.empty()) {
            c.Err << OperationFailedText(r) << Qt::endl;
            return ExitFailed;
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

const std::vector<CliCommandInfo>& CliCommandTable()
{
    static const std::vector<CliCommandInfo> table{
        {"peek", "e2|ram ADDR", "print one word of the controller's E2 or RAM in decimal", &Make<PeekCommand>},
        {"poke", "e2|ram ADDR VALUE", "write one word of the controller's E2 or RAM", &Make<PokeCommand>},
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
