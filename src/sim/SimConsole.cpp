#include "sim/SimConsole.h"

#include "sim/DrcController.h"
#include "sim/NumberArgument.h"

#include <QSocketNotifier>
#include <QStringList>

#include <cstdio>
#include <unistd.h>

namespace {

std::optional<Key> ErrorWordFromText(const QString& text)
{
    if (text == QLatin1String("main"))
        return Key::QVS_MAIN_ERROR;
    static constexpr Key Codes[] = {Key::QVS_ERROR_CODE_0, Key::QVS_ERROR_CODE_1, Key::QVS_ERROR_CODE_2,
                                    Key::QVS_ERROR_CODE_3};
    if (text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('3'))
        return Codes[text[0].unicode() - '0'];
    const auto k = KeyFromText(text.toStdString());
    if (k && DrcLiveModel::IsErrorWord(*k))
        return k;
    return std::nullopt;
}

const char* const HelpText =
    "power-cycle | raise WORD BIT | clear WORD BIT | clear-errors | demo-errors on|off |\n"
    "latency MS | drop-every N | corrupt-every N [command|address] | silent-after N (-1 = never) |\n"
    "adapter present|absent | bus ok|warning|passive|off | e2 ADDR [VALUE] | ram ADDR [VALUE] |\n"
    "status | quit\n"
    "WORD: main, 0..3 (QVS_ERROR_CODE_n) or QVS_MAIN_ERROR / QVS_ERROR_CODE_n";

} // namespace

SimConsole::SimConsole(DrcController& controller, QObject* parent) : QObject(parent), m_controller(controller) {}

QString SimConsole::Status() const
{
    const DrcFaults& f = m_controller.Faults();
    const int bus = m_controller.BusStatus();
    const QString busText = bus == CanOk           ? QStringLiteral("ok")
                            : bus == CanBusOff     ? QStringLiteral("off")
                            : bus == CanBusPassive ? QStringLiteral("passive")
                                                   : QStringLiteral("warning");
    return QStringList{
        QStringLiteral("uptime %1 ms").arg(m_controller.UptimeMs()),
        QStringLiteral("requests %1").arg(m_controller.RequestCount()),
        QStringLiteral("replies %1").arg(m_controller.ReplyCount()),
        QStringLiteral("restore %1").arg(m_controller.RestorePending() ? QStringLiteral("pending")
                                                                       : QStringLiteral("none")),
        QStringLiteral("latency %1 ms").arg(f.LatencyMs),
        QStringLiteral("drop-every %1").arg(f.DropEvery),
        QStringLiteral("corrupt-every %1 (%2)")
            .arg(f.CorruptEvery)
            .arg(f.CorruptAs == CorruptKind::Command ? QStringLiteral("command") : QStringLiteral("address")),
        QStringLiteral("silent-after %1").arg(f.SilentAfter),
        QStringLiteral("adapter %1").arg(m_controller.AdapterPresent() ? QStringLiteral("present")
                                                                       : QStringLiteral("absent")),
        QStringLiteral("bus %1").arg(busText),
    }
        .join(QStringLiteral(", "));
}

QString SimConsole::Execute(const QString& line)
{
    const QStringList w = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (w.isEmpty())
        return {};
    const QString& cmd = w[0];
    const auto bad = [](const QString& why) { return QStringLiteral("error: ") + why; };
    const auto count = [&](int n) { return w.size() == n; };
    const auto intArg = [&](int i, long long min, long long max) { return ParseNumberArgument(w[i], min, max); };

    if (cmd == QLatin1String("help"))
        return QString::fromLatin1(HelpText);
    if (cmd == QLatin1String("quit") || cmd == QLatin1String("exit")) {
        emit quitRequested();
        return QStringLiteral("bye");
    }
    if (cmd == QLatin1String("status"))
        return Status();
    if (cmd == QLatin1String("power-cycle") && count(1)) {
        const bool restore = m_controller.RestorePending();
        m_controller.PowerCycle();
        return restore ? QStringLiteral("power cycled: factory defaults restored") : QStringLiteral("power cycled");
    }
    if ((cmd == QLatin1String("raise") || cmd == QLatin1String("clear")) && count(3)) {
        const auto word = ErrorWordFromText(w[1]);
        const auto bit = intArg(2, 0, 15);
        if (!word || !bit)
            return bad(QStringLiteral("usage: %1 main|0..3 BIT(0..15)").arg(cmd));
        const bool ok = cmd == QLatin1String("raise") ? m_controller.RaiseError(*word, static_cast<int>(*bit))
                                                      : m_controller.ClearError(*word, static_cast<int>(*bit));
        if (!ok)
            return bad(QStringLiteral("the catalogue has no such error word"));
        const int a = m_controller.AddressOf(*word);
        return a < 0 ? QStringLiteral("ok (word not in the catalogue)")
                     : QStringLiteral("ok: RAM %1 = %2").arg(a).arg(m_controller.Ram(a));
    }
    if (cmd == QLatin1String("clear-errors") && count(1)) {
        m_controller.ClearAllErrors();
        return QStringLiteral("ok");
    }
    if (cmd == QLatin1String("demo-errors") && count(2) &&
        (w[1] == QLatin1String("on") || w[1] == QLatin1String("off"))) {
        m_controller.SetDemoErrors(w[1] == QLatin1String("on"));
        return QStringLiteral("ok");
    }
    if (cmd == QLatin1String("adapter") && count(2) &&
        (w[1] == QLatin1String("present") || w[1] == QLatin1String("absent"))) {
        m_controller.SetAdapterPresent(w[1] == QLatin1String("present"));
        return QStringLiteral("ok");
    }
    if (cmd == QLatin1String("bus") && count(2)) {
        static const QStringList states{QStringLiteral("ok"), QStringLiteral("warning"), QStringLiteral("passive"),
                                        QStringLiteral("off")};
        static constexpr int codes[] = {CanOk, CanBusWarning, CanBusPassive, CanBusOff};
        const qsizetype i = states.indexOf(w[1]);
        if (i < 0)
            return bad(QStringLiteral("usage: bus ok|warning|passive|off"));
        m_controller.SetBusStatus(codes[i]);
        return QStringLiteral("ok");
    }
    if (cmd == QLatin1String("latency") && count(2)) {
        const auto v = intArg(1, 0, 60000);
        if (!v)
            return bad(QStringLiteral("usage: latency MS(0..60000)"));
        m_controller.SetLatencyMs(static_cast<int>(*v));
        return QStringLiteral("ok");
    }
    if (cmd == QLatin1String("drop-every") && count(2)) {
        const auto v = intArg(1, 0, 1000000);
        if (!v)
            return bad(QStringLiteral("usage: drop-every N (0 = never)"));
        m_controller.SetDropEvery(static_cast<int>(*v));
        return QStringLiteral("ok");
    }
    if (cmd == QLatin1String("corrupt-every") && (count(2) || count(3))) {
        const auto v = intArg(1, 0, 1000000);
        const auto kind = count(3) ? CorruptKindFromText(w[2].toStdString()) : m_controller.Faults().CorruptAs;
        if (!v || !kind)
            return bad(QStringLiteral("usage: corrupt-every N [command|address]"));
        m_controller.SetCorruptEvery(static_cast<int>(*v), *kind);
        return QStringLiteral("ok");
    }
    if (cmd == QLatin1String("silent-after") && count(2)) {
        const auto v = intArg(1, -1, 1000000000);
        if (!v)
            return bad(QStringLiteral("usage: silent-after N (-1 = never)"));
        m_controller.SetSilentAfter(static_cast<int>(*v));
        return QStringLiteral("ok");
    }
    if ((cmd == QLatin1String("e2") || cmd == QLatin1String("ram")) && (count(2) || count(3))) {
        const auto address = ParseWordArgument(w[1]);
        const auto value = count(3) ? ParseWordArgument(w[2]) : std::optional<int>(0);
        if (!address || !value)
            return bad(QStringLiteral("usage: %1 ADDR [VALUE], both 0..65535").arg(cmd));
        const bool e2 = cmd == QLatin1String("e2");
        if (count(3)) {
            if (e2)
                m_controller.SetE2(*address, static_cast<uint16_t>(*value));
            else
                m_controller.SetRam(*address, static_cast<uint16_t>(*value));
        }
        return QString::number(e2 ? m_controller.E2(*address) : m_controller.Ram(*address));
    }
    return bad(QStringLiteral("unknown command '%1' (type 'help')").arg(line.simplified()));
}

void SimConsole::AttachStdin()
{
    if (m_notifier)
        return;
    m_notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SimConsole::OnStdinReadable);
}

void SimConsole::OnStdinReadable()
{
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        // End of input (or a closed terminal): keep serving the bus.
        m_notifier->setEnabled(false);
        return;
    }
    m_pending.append(buffer, static_cast<qsizetype>(n));
    qsizetype nl;
    while ((nl = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(nl));
        m_pending.remove(0, nl + 1);
        const QString answer = Execute(line);
        if (!answer.isEmpty()) {
            std::fputs(answer.toUtf8().constData(), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
        }
    }
}
