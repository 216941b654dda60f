#pragma once
// The process-wide state of the shell that every page and command reads and
// sets: connection and file state, the change flags, the login, progress.
// Every change emits changed(), so views redraw from one place.
#include <QObject>
#include <QString>

#include <cstdint>

enum ConnectionStates : int16_t {
    Disconnected = 0,
    Connected = 1,
    Busy = 2,
    MonitorPolling = 3,
    DiagnosticPolling = 4,
    DebuggerPolling = 5,
};

class ShellState : public QObject {
    Q_OBJECT
public:
    explicit ShellState(QObject* parent = nullptr) : QObject(parent) {}

    int16_t ConnectionState() const { return m_connectionState; }
    void SetConnectionState(int16_t v)
    {
        if (m_connectionState == v)
            return;
        m_connectionState = v;
        if (v == Disconnected)
            emit disconnected();
        emit changed();
    }

    int16_t FileState() const { return m_fileState; }
    void SetFileState(int16_t v) { set(m_fileState, v); }

    bool ParamsUnchanged() const { return m_paramsUnchanged; }
    void SetParamsUnchanged(bool v) { set(m_paramsUnchanged, v); }

    bool ParamsDiffer() const { return m_paramsDiffer; }
    void SetParamsDiffer(bool v) { set(m_paramsDiffer, v); }

    bool InfoChanged() const { return m_infoChanged; }
    void SetInfoChanged(bool v) { set(m_infoChanged, v); }

    bool AssistanceLoggedIn() const { return m_assistanceLoggedIn; }
    void SetAssistanceLoggedIn(bool v) { set(m_assistanceLoggedIn, v); }

    bool ExitRequested() const { return m_exitRequested; }
    void SetExitRequested(bool v) { set(m_exitRequested, v); }

    int16_t ExitAttempts() const { return m_exitAttempts; }
    void SetExitAttempts(int16_t v) { set(m_exitAttempts, v); }

    int16_t ProgressPercent() const { return m_progressPercent; }
    void SetProgressPercent(int16_t v) { set(m_progressPercent, v); }

    QString StatusMessage() const { return m_statusMessage; }
    void SetStatusMessage(const QString& v) { set(m_statusMessage, v); }

    // The text of the last link failure that dropped the connection; shown in
    // the wide status panel until the next command clears it.
    QString LastFailure() const { return m_lastFailure; }
    void SetLastFailure(const QString& v) { set(m_lastFailure, v); }

signals:
    void changed();
    // ConnectionState became 0 (the monitor page's redraw triggers follow it).
    void disconnected();

private:
    template <typename T> void set(T& field, const T& v)
    {
        if (field == v)
            return;
        field = v;
        emit changed();
    }

    int16_t m_connectionState = Disconnected;
    int16_t m_fileState = 0;
    bool m_paramsUnchanged = true;
    bool m_paramsDiffer = false;
    bool m_infoChanged = false;
    bool m_assistanceLoggedIn = false;
    bool m_exitRequested = false;
    int16_t m_exitAttempts = 0;
    int16_t m_progressPercent = 0;
    QString m_statusMessage;
    QString m_lastFailure;
};
