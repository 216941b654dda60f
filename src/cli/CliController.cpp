#include "cli/CliController.h"

#include "cli/CliContext.h"
#include "cli/CliCommands.h"
#include "cli/CliHost.h"
#include "cli/CliSession.h"
#include "core/config/ConfigModel.h"
#include "core/link/E2Image.h"
#include "core/link/IDData.h"
#include "core/state/Commands.h"
#include "core/state/CoreContext.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

namespace cli {

int ConnectController(CliContext& c)
{
    CliHost& host = c.Host();
    // The open failure is told below with the adapter's reason.
    host.Suppressed << QString::fromLatin1(CommandText::UnableToInitialize)
                    << QString::fromLatin1(CommandText::SelectUsbPort);
    Commands commands(c.Session.Context(), host);
    // The settling pause is for a window that must draw before the first
    // request; a terminal has nothing to draw.
    commands.SettlingEvents = 10;
    const CommandOutcome outcome = commands.Connect();
    host.EndProgress();
    switch (outcome) {
    case CommandOutcome::Done:
        return ExitOk;
    case CommandOutcome::Failed:
        return ExitFailed;
    case CommandOutcome::Cancelled:
        break;
    }
    if (host.RestorePendingSeen() && !host.ContinueWithPendingRestore)
        return ExitBlocked;
    c.Error(c.Session.OpenFailureText());
    return ExitFailed;
}

namespace {

void LoadFailed(CliContext& c, const QString& reason)
{
    if (c.Session.IsOpen())
        c.Host().EndProgress();
    c.Err << ConfigFile::LoadFailedText << Qt::endl << reason << Qt::endl;
}

} // namespace

bool ReadConfigFile(CliContext& c, const QString& path, ConfigFileBytes& file)
{
    file.Path = path;
    file.BareName = QFileInfo(path).fileName();
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        LoadFailed(c, QStringLiteral("%1 is not a regular file").arg(path));
        return false;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        LoadFailed(c, QStringLiteral("cannot open %1: %2").arg(path, f.errorString()));
        return false;
    }
    // A configuration file is a few kilobytes; a huge one is not one.
    constexpr qint64 MaxBytes = 4 * 1024 * 1024;
    file.Bytes = f.read(MaxBytes + 1);
    if (f.error() != QFileDevice::NoError) {
        LoadFailed(c, QStringLiteral("cannot read %1: %2").arg(path, f.errorString()));
        return false;
    }
    if (file.Bytes.size() > MaxBytes) {
        LoadFailed(c, QStringLiteral("%1 is larger than 4 MiB: not a configuration file").arg(path));
        return false;
    }
    return true;
}

bool LoadConfigFile(CliContext& c, const ConfigFileBytes& file, IDData& table, InfoBlock& info, LoadReport& report)
{
    try {
        report = ConfigFile::LoadConfigurationBytes(file.Bytes, file.BareName, table, info);
        return true;
    } catch (const FileError& e) {
        LoadFailed(c, QStringLiteral("%1: %2").arg(file.Path, QString::fromStdString(e.what())));
        return false;
    }
}

void SaveFailed(CliContext& c, const QString& reason)
{
    if (c.Session.IsOpen())
        c.Host().EndProgress();
    c.Err << ConfigFile::SaveFailedText << Qt::endl << reason << Qt::endl;
}

std::unique_ptr<IDData> ScratchTable(CliContext& c, const IDData* seed)
{
    auto table = std::make_unique<IDData>();
    if (const std::string e = table->LoadCatalogue(c.Session.Context().CataloguePath()); !e.empty()) {
        c.Error(QString::fromStdString(e));
        return nullptr;
    }
    if (!seed)
        return table; // a freshly loaded catalogue holds the factory defaults
    for (int i = 1; i < table->VarTableEnd; ++i)
        if (const CVarData* from = seed->At(i))
            table->At(i)->DataS = from->DataS;
    return table;
}

QStringList FindingLines(const QString& text)
{
    QStringList lines = CliHost::Lines(text).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

Findings FindingsOf(const IDData& table, const LoadReport& report)
{
    Findings f;
    const config::PinConfiguration pins = config::PinConfigurationOf(table);
    f.Errors = QString::fromStdString(config::CheckDataToWrite(pins));
    f.Warnings = QString::fromStdString(config::CheckFloatPinToWrite(pins));
    for (int32_t address : report.UnknownAddresses) {
        f.FileWarnings << QStringLiteral("address %1: %2")
                              .arg(address)
                              .arg(QLatin1String(ConfigFile::VariableNotFoundText));
        f.UnknownAddresses.append(address);
    }
    for (int index : report.OutOfRange) {
        const CVarData* r = table.At(index);
        if (!r)
            continue;
        const CVarDataS& d = r->DataS;
        f.LimitErrors += QString::fromStdString(E2Image::OutsideLimitsLine(d)) + QLatin1Char('\r');
        f.OutOfRange.append(QJsonObject{{QStringLiteral("name"), QString::fromStdString(d.Name)},
                                        {QStringLiteral("address"), d.Address},
                                        {QStringLiteral("value"), d.QvsDownloadValueE2},
                                        {QStringLiteral("min"), d.CedValE2Min},
                                        {QStringLiteral("max"), d.CedValE2Max}});
    }
    return f;
}

int WriteCount(CoreContext& context, int16_t mask)
{
    int count = 0;
    for (int i = 1; i < context.Table.VarTableEnd; ++i)
        count += context.Image().WillWrite(i, mask) ? 1 : 0;
    return count;
}

void PrintJson(CliContext& c, const QJsonObject& object, bool compact)
{
    const auto format = compact ? QJsonDocument::Compact : QJsonDocument::Indented;
    c.Out << QString::fromUtf8(QJsonDocument(object).toJson(format));
    if (compact)
        c.Out << '\n';
    c.Out.flush();
}

} // namespace cli
