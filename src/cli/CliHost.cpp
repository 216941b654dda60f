#include "cli/CliHost.h"

#include "core/state/ShellState.h"

#include <QCoreApplication>
#include <QTextStream>

CliHost::CliHost(ShellState& shell, QTextStream& err, bool progressLine)
    : m_shell(shell), m_err(err), m_progressLine(progressLine)
{
}

CliHost::~CliHost() { EndProgress(); }

QString CliHost::Lines(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (t.endsWith(QLatin1Char('\n')))
        t.chop(1);
    return t;
}

void CliHost::ShowProgress()
{
    if (!m_progressLine)
        return;
    const QString line = QStringLiteral("%1 %2%").arg(m_shell.StatusMessage()).arg(m_shell.ProgressPercent(), 3);
    if (line == m_lastProgress)
        return;
    // Overwrite the previous line; pad so that a shorter text leaves nothing behind.
    m_err << '\r' << line.leftJustified(m_lastProgress.size());
    m_err.flush();
    m_lastProgress = line;
    m_progressShown = true;
}

void CliHost::EndProgress()
{
    if (!m_progressShown)
        return;
    m_err << '\r' << QString(m_lastProgress.size(), QLatin1Char(' ')) << '\r';
    m_err.flush();
    m_progressShown = false;
    m_lastProgress.clear();
}

void CliHost::Print(const QString& text)
{
    EndProgress();
    m_err << Lines(text) << Qt::endl;
}

void CliHost::ShowMessage(const QString& text, MessageIcon, const QString& title)
{
    m_shown << text;
    if (Suppressed.contains(text))
        return;
    Print(title.isEmpty() ? text : title + QStringLiteral(":\n") + text);
}

bool CliHost::Ask(const QString& text, MessageIcon, const QString& title)
{
    m_shown << text;
    bool yes = false;
    QString why;
    if (text == QLatin1String(CommandText::PowerResetQuestion)) {
        m_restorePending = true;
        yes = ContinueWithPendingRestore;
        why = yes ? QStringLiteral("(a restore of the default setting awaits a power cycle)") : PendingRestoreRefusal;
    } else if (title == QLatin1String(CommandText::ConfigurationWarning)) {
        yes = true; // a warning never blocks
    } else if (title == QLatin1String(CommandText::ConfigurationError)) {
        yes = OverrideErrors;
        why = yes ? QStringLiteral("(--force)") : QString();
    } else if (text == QLatin1String(CommandText::NotSavedQuestion)) {
        yes = true; // nothing of this run is ever unsaved
    }
    // Any other question is answered No: nothing is done that nobody agreed to.
    QStringList lines = Lines(text).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    QString transcript = (title.isEmpty() ? QString() : title + QStringLiteral(":\n")) + lines.join(QLatin1Char('\n'));
    if (!transcript.endsWith(QLatin1Char(' ')))
        transcript += QLatin1Char(' ');
    transcript += yes ? QStringLiteral("yes") : QStringLiteral("no");
    if (!why.isEmpty())
        transcript += QLatin1Char(' ') + why;
    Print(transcript);
    return yes;
}

void CliHost::ProcessEvents() { QCoreApplication::processEvents(); }
