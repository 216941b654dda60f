#include "core/state/Commands.h"

#include "core/link/E2Image.h"
#include "core/link/WordLink.h"
#include "core/state/CoreContext.h"
#include "core/transport/modCANDevice.h"

CommandOutcome Commands::Fail(const std::string& message)
{
    m_host.CloseWaitWindow();
    m_ctx.NoteFailure(message);
    m_host.ShowMessage(QString::fromLatin1(CommandText::OperationFailed) + QString::fromStdString(message),
                       MessageIcon::None);
    m_ctx.Shell.SetConnectionState(Disconnected);
    m_host.SetMainWindowEnabled(true);
    return CommandOutcome::Failed;
}

CommandOutcome Commands::ConnectOrDisconnect()
{
    m_host.CloseWaitWindow();
    if (m_ctx.Shell.ConnectionState() != Disconnected) {
        Disconnect();
        return CommandOutcome::Done;
    }
    return Connect();
}

void Commands::Disconnect()
{
    m_host.DisableActivePageTimer();
    m_ctx.Device().CloseCanDevice();
    ShellState& s = m_ctx.Shell;
    s.SetFileState(0);
    s.SetInfoChanged(false);
    s.SetParamsUnchanged(true);
    s.SetParamsDiffer(false);
    s.SetConnectionState(Disconnected);
}

CommandOutcome Commands::Connect()
{
    ShellState& s = m_ctx.Shell;
    modCANDevice& device = m_ctx.Device();
    s.SetLastFailure(QString());
    device.CloseCanDevice();
    if (!device.OpenCanDevice(device.BitRateIndex)) {
        const char* text = device.UsbPortIndex != 0 ? CommandText::UnableToInitialize : CommandText::SelectUsbPort;
        m_ctx.NoteFailure(text);
        m_host.ShowMessage(QString::fromLatin1(text), MessageIcon::None);
        return CommandOutcome::Cancelled;
    }
    if (s.FileState() == 1 &&
        !m_host.Ask(QString::fromLatin1(CommandText::NotSavedQuestion), MessageIcon::Warning))
        return CommandOutcome::Cancelled;

    m_host.SetMainWindowEnabled(false);
    s.SetConnectionState(Busy);
    for (int i = 0; i < SettlingEvents; ++i)
        m_host.ProcessEvents();

    bool pending = false;
    std::string error = m_ctx.Image().CheckResetPending(pending);
    if (!error.empty())
        return Fail(error);
    if (pending && !m_host.Ask(QString::fromLatin1(CommandText::PowerResetQuestion), MessageIcon::Warning)) {
        m_host.SetMainWindowEnabled(true);
        device.CloseCanDevice();
        s.SetConnectionState(Disconnected);
        return CommandOutcome::Cancelled;
    }

    CVarData* version = m_ctx.Table.Record(Key::QVS_PROG_VERS);
    bool versionRead = false;
    for (int attempt = 0; attempt < VersionAttempts && !versionRead; ++attempt) {
        int32_t value = 0;
        // Without a version entry in the catalogue there is nothing to read;
        // the connection still proceeds to the parameter read.
        error = version ? m_ctx.Words().ReadRAMWord(version->DataS.Address, value) : std::string();
        if (!error.empty())
            continue;
        versionRead = true;
        if (version) {
            try {
                version->ReadRAMFromCED(value);
            } catch (const std::exception&) {
            }
        }
        m_host.SetPortPanel(QStringLiteral("USB"));
        m_host.SetBitRatePanel(QStringLiteral("250k"));
        error = m_ctx.Image().ReadParameters(m_ctx.Pages.AllPagesReadKey());
        if (!error.empty())
            return Fail(error);
    }
    if (!versionRead)
        return Fail(error);

    s.SetConnectionState(Connected);
    m_host.SetMainWindowEnabled(true);
    m_host.SelectConfigurePage();
    m_host.RefreshActivePage();
    s.SetFileState(0);
    s.SetParamsUnchanged(true);
    s.SetParamsDiffer(false);
    m_host.CloseWaitWindow();
    return CommandOutcome::Done;
}

CommandOutcome Commands::Read(int16_t readKey)
{
    ShellState& s = m_ctx.Shell;
    s.SetLastFailure(QString());
    m_host.SetMainWindowEnabled(false);
    const std::string error = m_ctx.Image().ReadParameters(readKey);
    if (!error.empty())
        return Fail(error);
    s.SetConnectionState(Connected);
    s.SetParamsUnchanged(true);
    s.SetParamsDiffer(false);
    s.SetFileState(0);
    m_host.SetMainWindowEnabled(true);
    m_host.CloseWaitWindow();
    return CommandOutcome::Done;
}

bool Commands::ConfirmWrite(const WriteFindings& f)
{
    const QString cont = QStringLiteral("\r") + CommandText::ContinueAnyway;
    const QString errorTitle = QString::fromLatin1(CommandText::ConfigurationError);
    const QString warningTitle = QString::fromLatin1(CommandText::ConfigurationWarning);
    if (m_ctx.Shell.AssistanceLoggedIn()) {
        if (!f.Errors.isEmpty() && !m_host.Ask(f.Errors + cont, MessageIcon::Warning, errorTitle))
            return false;
        if (!f.Warnings.isEmpty() && !m_host.Ask(f.Warnings + cont, MessageIcon::Warning, warningTitle))
            return false;
        if (!f.JoystickErrors.isEmpty() && !m_host.Ask(f.JoystickErrors + cont, MessageIcon::Warning, errorTitle))
            return false;
        return true;
    }
    if (!f.Errors.isEmpty()) {
        m_host.ShowMessage(f.Errors, MessageIcon::Critical, errorTitle);
        return false;
    }
    if (!f.JoystickErrors.isEmpty()) {
        m_host.ShowMessage(f.JoystickErrors, MessageIcon::Critical, errorTitle);
        return false;
    }
    if (!f.Warnings.isEmpty() && !m_host.Ask(f.Warnings + cont, MessageIcon::Warning, warningTitle))
        return false;
    return true;
}

CommandOutcome Commands::Write(int16_t writeKey, const WriteFindings& pageFindings)
{
    // Values outside their catalogue limits (loaded from a file, or typed
    // and left) are errors of every write, whichever page asks for it.
    WriteFindings findings = pageFindings;
    findings.Errors += QString::fromStdString(m_ctx.Image().CheckLimitsToWrite(writeKey));
    if (!ConfirmWrite(findings))
        return CommandOutcome::Cancelled;
    ShellState& s = m_ctx.Shell;
    s.SetLastFailure(QString());
    m_host.SetMainWindowEnabled(false);
    const std::string error = m_ctx.Image().WriteParameters(writeKey);
    if (!error.empty())
        return Fail(error);
    s.SetParamsUnchanged(true);
    s.SetParamsDiffer(false);
    s.SetConnectionState(Connected);
    m_host.SetMainWindowEnabled(true);
    return CommandOutcome::Done;
}

CommandOutcome Commands::Reset()
{
    ShellState& s = m_ctx.Shell;
    s.SetLastFailure(QString());
    m_host.SetMainWindowEnabled(false);
    const std::string error = m_ctx.Image().RestoreDefaultSetting();
    if (!error.empty())
        return Fail(error); // unsaved edits stay marked as such
    s.SetFileState(0);
    s.SetInfoChanged(false);
    s.SetParamsUnchanged(true);
    s.SetParamsDiffer(false);
    m_host.ShowMessage(QString::fromLatin1(CommandText::SwitchPower), MessageIcon::Warning);
    m_ctx.Device().CloseCanDevice();
    s.SetConnectionState(Disconnected);
    m_host.SetMainWindowEnabled(true);
    return CommandOutcome::Done;
}
