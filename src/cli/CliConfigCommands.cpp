// The configuration commands of qvs-cli: info, read, write, check, diff and
// reset. They run the program's own Connect, Write and Reset sequences with
// the terminal host, so the controller sees exactly what the window sends.
#include "cli/CliCommands.h"
#include "cli/CliContext.h"
#include "cli/CliController.h"
#include "cli/CliHost.h"
#include "cli/CliSession.h"
#include "cli/CliText.h"
#include "core/link/ControllerText.h"
#include "core/link/E2Image.h"
#include "core/link/IDData.h"
#include "core/state/Commands.h"
#include "core/state/CoreContext.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTextStream>

#include <cmath>

using namespace cli;

namespace {

QString NoArguments(const char* command, const QStringList& args)
{
    if (!args.isEmpty())
        return QStringLiteral("%1 takes no arguments (got '%2')").arg(QLatin1String(command), args.first());
    return {};
}

QString OneFile(const char* command, const QStringList& args, QString& file)
{
    if (args.size() != 1)
        return QStringLiteral("%1 needs one argument: FILE").arg(QLatin1String(command));
    if (args[0].isEmpty())
        return QStringLiteral("%1: the file name is empty").arg(QLatin1String(command));
    file = args[0];
    return {};
}

QJsonArray JsonLines(const QStringList& lines)
{
    QJsonArray a;
    for (const QString& l : lines)
        a.append(l);
    return a;
}

// The software version as the status bar shows it.
QString VersionOf(const IDData& table)
{
    const CVarData* v = table.Record(Key::QVS_PROG_VERS);
    return VersionWordText(v ? v->DataS.QvsDisplayValueRAM : 0);
}

QString Str(const std::string& s) { return QString::fromStdString(s); }

// Reads the file, opens the bus, loads the catalogue and tries the file on a
// scratch table, so that a damaged file is told before the controller is
// asked anything. ExitOk, or the exit code of what failed (already printed).
int ReadAndTryFile(CliContext& c, const QString& path, ConfigFileBytes& file)
{
    if (!ReadConfigFile(c, path, file))
        return ExitFile;
    if (!c.OpenBus(false) || !c.LoadCatalogue())
        return ExitFailed;
    std::unique_ptr<IDData> trial = ScratchTable(c, nullptr);
    if (!trial)
        return ExitFailed;
    InfoBlock info;
    LoadReport report;
    return LoadConfigFile(c, file, *trial, info, report) ? ExitOk : ExitFile;
}

// ---------------------------------------------------------------------------

// info: connect and tell version, model and a pending restore.
class InfoCommand final : public CliCommand {
public:
    QString Parse(const QCommandLineParser&, const QStringList& args) override { return NoArguments("info", args); }
    int Run(CliContext& c) override
    {
        if (!c.OpenBus(false) || !c.LoadCatalogue())
            return ExitFailed;
        c.Host().ContinueWithPendingRestore = true; // nothing is changed: a pending restore is only reported
        if (const int r = ConnectController(c); r != ExitOk)
            return r;
        const IDData& t = c.Session.Context().Table;
        const bool pending = c.Host().RestorePendingSeen();
        const CVarData* sections = t.Record(Key::QVS_NUM_PROP_REG);
        const CVarData* type = t.Record(Key::QVS_SYSTEM_TYPE);
        const CVarData* version = t.Record(Key::QVS_PROG_VERS);
        if (c.Mode.Json) {
            PrintJson(c, QJsonObject{
                             {QStringLiteral("bus"), Str(c.Session.Bus().Name)},
                             {QStringLiteral("version"), VersionOf(t)},
                             {QStringLiteral("versionWord"),
                              version ? std::nearbyint(version->DataS.QvsDisplayValueRAM) : 0.0},
                             {QStringLiteral("model"), ControllerModelOf(t)},
                             {QStringLiteral("sections"), sections ? sections->DataS.QvsDisplayValueE2 : 0},
                             {QStringLiteral("systemType"), type ? type->DataS.QvsDisplayValueE2 : -1},
                             {QStringLiteral("restorePending"), pending},
                         });
            return ExitOk;
        }
        c.Out << "Bus: " << Str(c.Session.Bus().Name) << '\n'
              << "Software version: " << VersionOf(t) << '\n'
              << "Model: " << ControllerModelOf(t) << '\n'
              << "Restore pending: "
              << (pending ? QStringLiteral("yes (%1)").arg(QLatin1String(CommandText::SwitchPower))
                          : QStringLiteral("no"))
              << Qt::endl;
        return ExitOk;
    }
};

// ---------------------------------------------------------------------------

// read [--out FILE]: connect and list the parameters or save them.
class ReadCommand final : public CliCommand {
public:
    QString Parse(const QCommandLineParser& p, const QStringList& args) override
    {
        if (QString e = NoArguments("read", args); !e.isEmpty())
            return e;
        m_out = p.value(QStringLiteral("out"));
        if (p.isSet(QStringLiteral("out")) && m_out.isEmpty())
            return QStringLiteral("read: --out needs a file name");
        m_force = p.isSet(QStringLiteral("force"));
        m_info.Author = p.value(QStringLiteral("author"));
        m_info.Date = p.value(QStringLiteral("date"));
        m_info.Revision = p.value(QStringLiteral("revision"));
        m_info.Company = p.value(QStringLiteral("company"));
        // "\n" in the option (or a real line break) separates comment lines,
        // which the file writes as CR LF.
        QString comment = p.value(QStringLiteral("comment"));
        comment.replace(QLatin1String("\\n"), QLatin1String("\n"));
        comment.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        comment.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        m_info.Comments = comment;
        const bool infoGiven = p.isSet(QStringLiteral("author")) || p.isSet(QStringLiteral("date")) ||
                               p.isSet(QStringLiteral("revision")) || p.isSet(QStringLiteral("company")) ||
                               p.isSet(QStringLiteral("comment"));
        if (m_out.isEmpty() && (infoGiven || m_force))
            return QStringLiteral("read: --author, --date, --revision, --company, --comment and --force need --out");
        return {};
    }

    int Run(CliContext& c) override
    {
        // The target is checked before the controller is asked anything.
        if (!m_out.isEmpty()) {
            const QFileInfo target(m_out);
            if (target.exists() && !target.isFile()) {
                SaveFailed(c, QStringLiteral("%1 is not a regular file").arg(m_out));
                return ExitFile;
            }
            if (target.exists() && !m_force) {
                SaveFailed(c, QStringLiteral("%1: %2 (--force overwrites it)")
                                  .arg(m_out, QLatin1String(ConfigFile::OverwriteQuestion)));
                return ExitFile;
            }
        }
        if (!c.OpenBus(false) || !c.LoadCatalogue())
            return ExitFailed;
        c.Host().ContinueWithPendingRestore = true; // reading changes nothing; the warning is printed
        if (const int r = ConnectController(c); r != ExitOk)
            return r;
        CoreContext& ctx = c.Session.Context();
        const IDData& t = ctx.Table;
        const int16_t k = ctx.Pages.AllPagesReadKey();

        if (!m_out.isEmpty()) {
            int saved = 0;
            for (int i = 1; i < t.VarTableEnd; ++i)
                saved += ConfigFile::IsSaved(t, k, i) ? 1 : 0;
            try {
                ConfigFile::SaveConfiguration(m_out, t, ctx.Pages, m_info);
            } catch (const FileError& e) {
                SaveFailed(c, Str(e.what()));
                return ExitFile;
            }
            if (c.Mode.Json) {
                PrintJson(c, QJsonObject{{QStringLiteral("file"), m_out},
                                         {QStringLiteral("parameters"), saved},
                                         {QStringLiteral("version"), VersionOf(t)},
                                         {QStringLiteral("model"), ControllerModelOf(t)},
                                         {QStringLiteral("restorePending"), c.Host().RestorePendingSeen()}});
            } else {
                c.Out << QString::fromLatin1(ConfigFile::SaveSucceededText).trimmed() << ": " << m_out << " ("
                      << saved << " parameters)" << Qt::endl;
            }
            return ExitOk;
        }

        QJsonArray parameters;
        std::vector<QStringList> rows;
        for (int i = 1; i < t.VarTableEnd; ++i) {
            if (!ConfigFile::IsSaved(t, k, i))
                continue;
            const CVarDataS& d = t.At(i)->DataS;
            const bool version = t.IsKey(i, Key::QVS_PROG_VERS);
            const int64_t raw = ConfigFile::FileValueOf(t, i);
            const QString display = version ? VersionWordText(d.QvsDisplayValueRAM)
                                            : QString::number(d.QvsDisplayValueE2);
            rows.push_back({Str(d.Name), QString::number(d.Address), QString::number(raw), display, Str(d.Unit)});
            QJsonObject p{{QStringLiteral("name"), Str(d.Name)},
                          {QStringLiteral("description"), Str(d.TooltipDecription)},
                          {QStringLiteral("address"), d.Address},
                          {QStringLiteral("raw"), static_cast<qint64>(raw)},
                          {QStringLiteral("unit"), Str(d.Unit)},
                          {QStringLiteral("writable"), (d.QVSPageDomain & 1) != 0}};
            p.insert(QStringLiteral("display"), version ? QJsonValue(display) : QJsonValue(d.QvsDisplayValueE2));
            for (size_t key = 0; key < KeyCount; ++key)
                if (t.IsKey(i, static_cast<Key>(key)))
                    p.insert(QStringLiteral("key"), QString::fromLatin1(KeyTexts[key].data(),
                                                                       static_cast<qsizetype>(KeyTexts[key].size())));
            parameters.append(p);
        }
        if (c.Mode.Json) {
            PrintJson(c, QJsonObject{{QStringLiteral("version"), VersionOf(t)},
                                     {QStringLiteral("model"), ControllerModelOf(t)},
                                     {QStringLiteral("restorePending"), c.Host().RestorePendingSeen()},
                                     {QStringLiteral("parameters"), parameters}});
            return ExitOk;
        }
        c.Out << clitext::Table({QStringLiteral("Name"), QStringLiteral("Address"), QStringLiteral("Raw"),
                                 QStringLiteral("Display"), QStringLiteral("Unit")},
                                rows);
        c.Out.flush();
        return ExitOk;
    }

private:
    QString m_out;
    bool m_force = false;
    InfoBlock m_info;
};

// ---------------------------------------------------------------------------

// Prints the findings of a loaded file: errors, warnings, file warnings.
void PrintFindings(QTextStream& s, const Findings& f)
{
    for (const QString& l : FindingLines(f.Errors + f.LimitErrors))
        s << CommandText::ConfigurationError << ": " << l << '\n';
    for (const QString& l : FindingLines(f.Warnings))
        s << CommandText::ConfigurationWarning << ": " << l << '\n';
    for (const QString& l : f.FileWarnings)
        s << "warning: " << l << '\n';
    s.flush();
}

QJsonObject FindingsJson(const Findings& f)
{
    return QJsonObject{{QStringLiteral("errors"), JsonLines(FindingLines(f.Errors + f.LimitErrors))},
                       {QStringLiteral("warnings"), JsonLines(FindingLines(f.Warnings))},
                       {QStringLiteral("unknownAddresses"), f.UnknownAddresses},
                       {QStringLiteral("outOfRange"), f.OutOfRange}};
}

// check FILE: the findings of a file over a controller with factory defaults.
class CheckCommand final : public CliCommand {
public:
    QString Parse(const QCommandLineParser&, const QStringList& args) override
    {
        return OneFile("check", args, m_file);
    }
    int Run(CliContext& c) override
    {
        ConfigFileBytes file;
        if (!ReadConfigFile(c, m_file, file))
            return ExitFile;
        c.OpenOffline();
        if (!c.LoadCatalogue())
            return ExitFailed;
        IDData& t = c.Session.Context().Table;
        // Parameters the file leaves out keep what a fresh controller holds:
        // the freshly loaded catalogue holds the factory defaults.
        InfoBlock info;
        LoadReport report;
        if (!LoadConfigFile(c, file, t, info, report))
            return ExitFile;
        const Findings f = FindingsOf(t, report);
        const int errors = static_cast<int>(FindingLines(f.Errors + f.LimitErrors).size());
        const int warnings = static_cast<int>(FindingLines(f.Warnings).size() + f.FileWarnings.size());
        if (c.Mode.Json) {
            QJsonObject o = FindingsJson(f);
            o.insert(QStringLiteral("file"), m_file);
            o.insert(QStringLiteral("model"), ControllerModelOf(t));
            o.insert(QStringLiteral("parameters"), report.Applied);
            o.insert(QStringLiteral("ok"), errors == 0);
            PrintJson(c, o);
        } else {
            c.Out << m_file << ": " << ControllerModelOf(t) << ", " << report.Applied << " parameters\n";
            PrintFindings(c.Out, f);
            c.Out << errors << (errors == 1 ? " error, " : " errors, ") << warnings
                  << (warnings == 1 ? " warning" : " warnings") << Qt::endl;
        }
        return errors > 0 ? ExitBlocked : ExitOk;
    }

private:
    QString m_file;
};

// ---------------------------------------------------------------------------

// write FILE [--force]: load the file over the controller's values, run the
// write checks, write the Configure page.
class WriteCommand final : public CliCommand {
public:
    QString Parse(const QCommandLineParser& p, const QStringList& args) override
    {
        m_force = p.isSet(QStringLiteral("force"));
        return OneFile("write", args, m_file);
    }
    int Run(CliContext& c) override
    {
        ConfigFileBytes file;
        if (const int r = ReadAndTryFile(c, m_file, file); r != ExitOk)
            return r;
        CliHost& host = c.Host();
        host.ContinueWithPendingRestore = m_force;
        host.PendingRestoreRefusal = QStringLiteral("(nothing written: the restore would replace it at the next "
                                                    "power-up; --force writes anyway)");
        if (const int r = ConnectController(c); r != ExitOk)
            return r;

        CoreContext& ctx = c.Session.Context();
        const QString controllerModel = ControllerModelOf(ctx.Table);
        LoadReport report;
        if (!LoadConfigFile(c, file, ctx.Table, ctx.Info, report))
            return ExitFile;
        const Findings f = FindingsOf(ctx.Table, report);
        for (const QString& w : f.FileWarnings)
            c.Warning(w);
        if (const QString fileModel = ControllerModelOf(ctx.Table); fileModel != controllerModel)
            c.Warning(QStringLiteral("the file is for a %1, the controller is a %2").arg(fileModel, controllerModel));

        const int16_t writeKey = c.Session.Page(CliSession::ConfigurePage).WriteKey;
        const int count = WriteCount(ctx, writeKey);
        // --force is the assisting user's override: every finding is asked
        // and answered yes.
        ctx.Shell.SetAssistanceLoggedIn(m_force);
        host.OverrideErrors = m_force;
        Commands commands(ctx, host);
        WriteFindings findings;
        findings.Errors = f.Errors;
        findings.Warnings = f.Warnings;
        const CommandOutcome outcome = commands.Write(writeKey, findings);
        host.EndProgress();
        int code = ExitOk;
        if (outcome == CommandOutcome::Failed)
            return ExitFailed;
        if (outcome == CommandOutcome::Cancelled) {
            c.Error(QStringLiteral("the write checks found errors: nothing written (--force writes anyway)"));
            code = ExitBlocked;
        }
        if (c.Mode.Json) {
            QJsonObject o = FindingsJson(f);
            o.insert(QStringLiteral("file"), m_file);
            o.insert(QStringLiteral("written"), code == ExitOk ? count : 0);
            o.insert(QStringLiteral("blocked"), code == ExitBlocked);
            o.insert(QStringLiteral("restorePending"), host.RestorePendingSeen());
            PrintJson(c, o);
        } else if (code == ExitOk) {
            c.Out << "Configuration written: " << count << " parameters from " << m_file << Qt::endl;
        }
        return code;
    }

private:
    QString m_file;
    bool m_force = false;
};

// ---------------------------------------------------------------------------

// diff FILE: the parameters whose controller value differs from the file.
class DiffCommand final : public CliCommand {
public:
    QString Parse(const QCommandLineParser&, const QStringList& args) override
    {
        return OneFile("diff", args, m_file);
    }
    int Run(CliContext& c) override
    {
        ConfigFileBytes file;
        if (const int r = ReadAndTryFile(c, m_file, file); r != ExitOk)
            return r;
        c.Host().ContinueWithPendingRestore = true; // comparing changes nothing
        if (const int r = ConnectController(c); r != ExitOk)
            return r;

        CoreContext& ctx = c.Session.Context();
        const IDData& controller = ctx.Table;
        // The file over the controller's values: what a write of it would
        // leave; parameters it does not name compare equal.
        std::unique_ptr<IDData> fromFile = ScratchTable(c, &controller);
        if (!fromFile)
            return ExitFailed;
        InfoBlock info;
        LoadReport report;
        if (!LoadConfigFile(c, file, *fromFile, info, report))
            return ExitFile;
        for (const QString& w : FindingsOf(*fromFile, report).FileWarnings)
            c.Warning(w);

        const int16_t k = ctx.Pages.AllPagesReadKey();
        const CVarData* sections = controller.Record(Key::QVS_NUM_PROP_REG);
        std::vector<QStringList> rows;
        QJsonArray differences;
        int compared = 0;
        for (int i = 1; i < fromFile->VarTableEnd; ++i) {
            if (!ConfigFile::IsSaved(*fromFile, k, i))
                continue;
            ++compared;
            const CVarDataS& d = fromFile->At(i)->DataS;
            const int64_t fileValue = d.QvsDownloadValueE2;
            // A section the controller does not have was not read: it has no value.
            const bool present = !sections || d.DrcTypeID < sections->DataS.CedValueE2;
            const int64_t controllerValue = present ? ConfigFile::FileValueOf(controller, i) : 0;
            if (present && fileValue == controllerValue)
                continue;
            const QString controllerText = present ? QString::number(controllerValue) : QStringLiteral("-");
            rows.push_back({Str(d.Name), QString::number(d.Address), QString::number(fileValue), controllerText});
            differences.append(QJsonObject{
                {QStringLiteral("name"), Str(d.Name)},
                {QStringLiteral("address"), d.Address},
                {QStringLiteral("file"), static_cast<qint64>(fileValue)},
                {QStringLiteral("controller"),
                 present ? QJsonValue(static_cast<qint64>(controllerValue)) : QJsonValue(QJsonValue::Null)}});
        }
        const int code = rows.empty() ? ExitOk : ExitDiffers;
        if (c.Mode.Json) {
            PrintJson(c, QJsonObject{{QStringLiteral("file"), m_file},
                                     {QStringLiteral("compared"), compared},
                                     {QStringLiteral("equal"), rows.empty()},
                                     {QStringLiteral("differences"), differences},
                                     {QStringLiteral("restorePending"), c.Host().RestorePendingSeen()}});
        } else if (rows.empty()) {
            c.Out << "No differences: " << compared << " parameters compared" << Qt::endl;
        } else {
            c.Out << clitext::Table({QStringLiteral("Name"), QStringLiteral("Address"), QStringLiteral("File"),
                                     QStringLiteral("Controller")},
                                    rows);
            c.Out << rows.size() << " of " << compared << " parameters differ" << Qt::endl;
        }
        return code;
    }

private:
    QString m_file;
};

// ---------------------------------------------------------------------------

// reset: the restore signature; the controller applies it at its next power-up.
class ResetCommand final : public CliCommand {
public:
    QString Parse(const QCommandLineParser&, const QStringList& args) override { return NoArguments("reset", args); }
    int Run(CliContext& c) override
    {
        if (!c.OpenBus(true))
            return ExitFailed;
        CliHost& host = c.Host();
        const QString switchPower = QString::fromLatin1(CommandText::SwitchPower);
        host.Suppressed << switchPower;
        Commands commands(c.Session.Context(), host);
        const CommandOutcome outcome = commands.Reset();
        host.EndProgress();
        if (outcome != CommandOutcome::Done)
            return ExitFailed;
        if (c.Mode.Json)
            PrintJson(c, QJsonObject{{QStringLiteral("reset"), true}, {QStringLiteral("message"), switchPower}});
        else
            c.Out << switchPower << Qt::endl;
        return ExitOk;
    }
};

} // namespace

std::unique_ptr<CliCommand> MakeInfoCommand() { return std::make_unique<InfoCommand>(); }
std::unique_ptr<CliCommand> MakeReadCommand() { return std::make_unique<ReadCommand>(); }
std::unique_ptr<CliCommand> MakeWriteCommand() { return std::make_unique<WriteCommand>(); }
std::unique_ptr<CliCommand> MakeCheckCommand() { return std::make_unique<CheckCommand>(); }
std::unique_ptr<CliCommand> MakeDiffCommand() { return std::make_unique<DiffCommand>(); }
std::unique_ptr<CliCommand> MakeResetCommand() { return std::make_unique<ResetCommand>(); }
