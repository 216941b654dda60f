#include "CliTestSupport.h"

#include "core/link/IDData.h"
#include "sim/DrcController.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace clitest {

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "cli_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

CliRun Cli(const QStringList& args, const std::function<void(DrcController&)>& prepare, bool errIsTerminal)
{
    EnsureApplication();
    CliRun r;
    QTextStream o(&r.Out), e(&r.Err);
    CliRunOptions options;
    options.ErrIsTerminal = errIsTerminal;
    options.SimulatorReady = [&](const std::shared_ptr<DrcController>& sim) {
        r.Sim = sim;
        sim->StopLiveTimer(); // live values stand still: outputs are repeatable
        if (prepare)
            prepare(*sim);
    };
    QStringList all{QStringLiteral("qvs-cli"), QStringLiteral("--home"), QStringLiteral(QVS_BIN_DIR)};
    if (!args.contains(QStringLiteral("--bus")))
        all << QStringLiteral("--bus") << QStringLiteral("sim");
    r.Code = RunCli(all + args, o, e, options);
    return r;
}

int AddressOf(const char* key)
{
    static IDData table;
    if (table.VarTableEnd == 0)
        table.LoadCatalogue(QStringLiteral(QVS_BIN_DIR "/res/ini/Ramlist.ini"));
    const auto k = KeyFromText(key);
    const CVarData* r = k ? table.Record(*k) : nullptr;
    return r ? r->DataS.Address : -1;
}

QByteArray Files::Read(const QString& name) const
{
    QFile f(Path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Files::Write(const QString& name, const QByteArray& bytes) const
{
    QFile f(Path(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

bool Files::SetValue(const QString& name, int address, int value) const
{
    QString text = QString::fromLatin1(Read(name));
    const QRegularExpression line(QStringLiteral("\\t%1\\t-?\\d+\\r").arg(address));
    if (!text.contains(line))
        return false;
    text.replace(line, QStringLiteral("\t%1\t%2\r").arg(address).arg(value, 5, 10, QLatin1Char('0')));
    Write(name, text.toLatin1());
    return true;
}

} // namespace clitest
