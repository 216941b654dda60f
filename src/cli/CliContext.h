#pragma once
// What a running command works with: the output streams, the output mode,
// and the session, which the command opens itself with the helpers here (so
// that usage and file errors are found before any bus is touched).
#include <QString>

#include <memory>

class CliHost;
class CliSession;
class QTextStream;

struct CliOutputMode {
    bool Json = false;         // --json: stdout carries JSON only
    bool ProgressLine = false; // stderr is a terminal: show a progress line
};

class CliContext {
public:
    CliContext(CliSession& session, QTextStream& out, QTextStream& err, CliOutputMode mode);
    ~CliContext();
    CliContext(const CliContext&) = delete;
    CliContext& operator=(const CliContext&) = delete;

    CliSession& Session;
    QTextStream& Out;
    QTextStream& Err;
    const CliOutputMode Mode;

    // Opens the bus (and, when openDevice, the CAN channel); on failure prints
    // "qvs-cli: " + why on stderr and returns false.
    bool OpenBus(bool openDevice = true);
    // A session without a bus, for the commands that only read files.
    bool OpenOffline();
    // Registers the page keys and loads the catalogue; prints the failure.
    bool LoadCatalogue();
    // The terminal host of the core commands, bound to the open session.
    CliHost& Host();

    // "qvs-cli: " + text on stderr (after the progress line is cleared).
    void Error(const QString& text);
    // "qvs-cli: warning: " + text on stderr.
    void Warning(const QString& text);

private:
    std::unique_ptr<CliHost> m_host;
};
