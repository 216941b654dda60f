#pragma once
// The controller commands of the main window, without any widget: connect and
// disconnect, read and write the active page, restore defaults. The GUI and
// the command-line tool run the same sequences; what differs (enabling the
// main window, selecting the Configure page, closing the wait window) goes
// through CommandHost.
#include "core/state/Host.h"

#include <QString>

#include <cstdint>
#include <functional>

class CoreContext;

class CommandHost : public Host {
public:
    // The main window is disabled while a controller command runs.
    virtual void SetMainWindowEnabled(bool) {}
    virtual void CloseWaitWindow() {}
    // After a successful connect: select tab 1 (the Configure page) and let it
    // refresh from the parameters.
    virtual void SelectConfigurePage() {}
    // Stop the polling timer of the active page (disconnect).
    virtual void DisableActivePageTimer() {}
    // Process pending events (the settling pause before the first request).
    virtual void ProcessEvents() {}
    // Panel 8 ("USB", "USB n", "NONE") and panel 9 ("250k") of the status bar.
    virtual void SetPortPanel(const QString&) {}
    virtual void SetBitRatePanel(const QString&) {}
};

namespace CommandText {
inline constexpr const char* OperationFailed = "Operation Failed :";
inline constexpr const char* UnableToInitialize = "Unable to initialize CAN USB inteface";
inline constexpr const char* SelectUsbPort = "Select a USB Port";
inline constexpr const char* NotSavedQuestion =
    "Configuration file Not Saved.\rNo saved settings will be lost.\r\rCONTINUE ANYWAY?";
inline constexpr const char* PowerResetQuestion =
    "Missing POWER RESET After A 'RESET' Command : Continue Anyway? ";
inline constexpr const char* SwitchPower = "Switch OFF and then switch ON power supply!";
inline constexpr const char* ContinueAnyway = "CONTINUE ANYWAY ?";
inline constexpr const char* ConfigurationError = "CONFIGURATION ERROR";
inline constexpr const char* ConfigurationWarning = "CONFIGURATION WARNING";
} // namespace CommandText

// The findings of the write checks: errors E and J block unless overridden,
// the warning W asks.
struct WriteFindings {
    QString Errors;        // the page's CheckDataToWrite
    QString Warnings;      // the page's CheckFloatPinToWrite
    QString JoystickErrors; // the input selection's JoyCheckData
};

enum class CommandOutcome {
    Done,      // the command ran and succeeded
    Failed,    // a controller or link failure; the message has been shown
    Cancelled, // the user answered No, or nothing was done
};

class Commands {
public:
    Commands(CoreContext& context, CommandHost& host) : m_ctx(context), m_host(host) {}

    // Connect when disconnected, otherwise disconnect.
    CommandOutcome ConnectOrDisconnect();
    CommandOutcome Connect();
    void Disconnect();
    // Read the parameters of a page mask (the active page's ReadKey).
    CommandOutcome Read(int16_t readKey);
    // Run the write checks (questions and refusals by the login), then write
    // a page mask (the active page's WriteKey).
    CommandOutcome Write(int16_t writeKey, const WriteFindings& findings);
    // Whether the checks allow a write; asks the questions through the host.
    bool ConfirmWrite(const WriteFindings& findings);
    CommandOutcome Reset();

    // Number of events processed in the settling pause before the first request.
    int SettlingEvents = 10001;
    // Attempts of the software-version read at connect.
    static constexpr int VersionAttempts = 6;

private:
    CommandOutcome Fail(const std::string& message);

    CoreContext& m_ctx;
    CommandHost& m_host;
};
