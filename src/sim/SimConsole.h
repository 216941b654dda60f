#pragma once
// Operator commands for a running simulated controller, one line each:
// power-cycle, raising and clearing error bits, changing the faults, reading
// and setting words. drc-sim feeds it from standard input.
#include <QObject>
#include <QString>

class DrcController;
class QSocketNotifier;

class SimConsole : public QObject {
    Q_OBJECT
public:
    explicit SimConsole(DrcController& controller, QObject* parent = nullptr);

    // Runs one command line and returns the answer (one or more lines, no
    // trailing newline; "error: ..." for a command it cannot run).
    QString Execute(const QString& line);

    // Reads commands from standard input and prints the answers on stdout.
    void AttachStdin();

signals:
    void quitRequested();

private:
    void OnStdinReadable();
    QString Status() const;

    DrcController& m_controller;
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_pending;
};
