// qvs-bench: what a technician waits on, timed. Every figure runs on the
// in-process simulator with the 250 kbit/s bus-time model ("sim+250k") and
// against drc-sim --bus-model 250k over a private virtual bus ("virtualcan"),
// in fast and in legacy link timing; a table compares each with the bus
// floor. The main window is real (offscreen): the commands run exactly as the
// menus run them.
#include "BenchSupport.h"
#include "BenchTable.h"

#include "controls/JoyMonitor.h"
#include "core/link/CANLink.h"
#include "core/link/IDData.h"
#include "core/state/CoreContext.h"
#include "core/state/PollingLoop.h"
#include "core/state/ProgramFolder.h"
#include "core/transport/BusSelection.h"
#include "gui/pages/FrmMonitor.h"
#include "gui/pages/frmDiagnostic.h"
#include "gui/shell/Dialogs.h"
#include "gui/shell/frmMain.h"
#include "sim/BusFactory.h"
#include "sim/BusTimeModel.h"
#include "sim/DrcController.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QThread>

#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>

using namespace bench;

namespace {

constexpr int MonitorTab = 1;
constexpr int DiagnosticTab = 2;

struct Options {
    QString MicroJson;
    bool FullLegacy = false;
    int LegacySample = 20;
    int Exchanges = 500;
    int Repeats = 3; // connect and write runs in fast timing (median)
    int Cycles = 50; // monitor and diagnostic cycles in fast timing
    int Startups = 3;
    bool Markdown = false;
};

void Progress(const QString& text)
{
    std::fprintf(stderr, "qvs-bench: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

double ElapsedMs(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

// Processor time of this process so far.
double CpuMs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// Answers every question with Yes and records the boxes, so nothing waits
// for a click.
class BenchDialogs : public Dialogs {
public:
    void Message(QWidget*, const QString& text, MessageIcon, const QString&) override { Boxes << text; }
    bool Ask(QWidget*, const QString& text, MessageIcon, const QString&) override
    {
        Boxes << text;
        return true;
    }
    std::optional<QString> OpenFile(QWidget*, const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> SaveFile(QWidget*, const QString&, const QString&, const QString&,
                                    const QString&) override
    {
        return std::nullopt;
    }
    QStringList Boxes;
};

// One bus with the main window over it.
class Session {
public:
    Session(QString label, const QString& busName, const QString& folder, bool busModel) : Label(std::move(label))
    {
        m_setup = MakeBusSetup(busName, folder, /*liveSimulation=*/false);
        if (m_setup.Simulator && busModel)
            m_setup.Simulator->SetBusModel(BusTimeModel(250000));
        Error = m_setup.Error;
        auto inner = m_setup.Factory;
        int* counter = &Requests;
        m_context = std::make_unique<CoreContext>(folder, [inner, counter]() -> std::unique_ptr<CanAdapter> {
            return std::make_unique<CountingAdapter>(inner(), CANLink::RequestId, counter);
        });
        m_context->BusName = busName;
        m_window = std::make_unique<frmMain>(*m_context, &m_dialogs);
        m_window->EndProgram = [] {};
        m_window->show();
        m_window->SelectTab(0);
        ShellState& st = m_context->Shell;
        st.SetParamsUnchanged(true);
        st.SetFileState(0);
        st.SetInfoChanged(false);
        st.SetParamsDiffer(false);
    }
    ~Session()
    {
        if (m_window)
            m_window->DisableActivePageTimer();
        m_window.reset();
        m_context.reset();
    }

    struct Run {
        double Ms = 0;
        double Cpu = 0;
        int Words = 0;
        QString Failure; // empty on success
    };

    void SetTiming(LinkTiming t) { m_context->Link().SetTiming(t); }
    ShellState& State() { return m_context->Shell; }
    bool IsConnected() const { return m_context->Shell.ConnectionState() != Disconnected; }

    // Disconnects if needed, then connects (reset check, version, every page).
    Run Connect()
    {
        if (IsConnected())
            m_window->ConnectCommand();
        return Timed([this] { m_window->ConnectCommand(); },
                     [this] { return m_context->Shell.ConnectionState() == Connected; });
    }

    // The Write command of the Configure page.
    Run WriteConfigure()
    {
        m_window->SelectTab(0);
        return Timed([this] { m_window->WriteCommand(); },
                     [this] { return m_context->Shell.ConnectionState() == Connected; });
    }

    // One RAM word read, the smallest thing the tool asks.
    std::vector<double> Exchanges(int n, QString* failure, double* cpuEach = nullptr)
    {
        std::vector<double> samples;
        Requests = 0;
        const double cpu = CpuMs();
        const CVarData* version = m_context->Table.Record(Key::QVS_PROG_VERS);
        const int64_t address = version ? version->DataS.Address : 0;
        for (int i = 0; i < n; ++i) {
            int32_t value = 0;
            QElapsedTimer t;
            t.start();
            const std::string error = m_context->Words().ReadRAMWord(address, value);
            samples.push_back(ElapsedMs(t));
            if (!error.empty()) {
                *failure = QString::fromStdString(error);
                break;
            }
        }
        if (cpuEach)
            *cpuEach = samples.empty() ? 0 : (CpuMs() - cpu) / static_cast<double>(samples.size());
        // Every sample must have been a request on the wire.
        if (failure->isEmpty() && Requests != static_cast<int>(samples.size()))
            *failure = QStringLiteral("%1 requests sent for %2 exchanges").arg(Requests).arg(samples.size());
        return samples;
    }

    // Cycles of the Monitor page with every monitor on, or of the
    // Diagnostic page, back to back (the page's timer is left out).
    // Processor time per cycle of the last Cycles run.
    double CycleCpu = 0;

    std::vector<double> MonitorCycles(int n, int* words, QString* failure)
    {
        FrmMonitor* monitor = m_window->MonitorPage();
        m_window->SelectTab(MonitorTab);
        for (JoyMonitor* m : {monitor->JoyMonitorVal[0], monitor->JoyMonitorVal[1], monitor->JoyMonitorVbb,
                              monitor->IMeasure[0], monitor->IMeasure[1], monitor->JoyMonitorRed[0],
                              monitor->JoyMonitorRed[1]})
            if (m && !m->isHidden())
                m->setMonitorEnable(true);
        return Cycles(monitor->Poller(), [monitor] { return monitor->ReadMonitorVar(); }, n, words, failure);
    }
    std::vector<double> DiagnosticCycles(int n, int* words, QString* failure)
    {
        auto* page = qobject_cast<frmDiagnostic*>(m_window->PageByTag(QStringLiteral("A3")));
        if (!page) {
            *failure = QStringLiteral("no Diagnostic page");
            return {};
        }
        m_window->SelectTab(DiagnosticTab);
        return Cycles(page->Poller(), [page] { return page->ReadDiagnosticVar(); }, n, words, failure);
    }

    QString Label;
    QString Error;
    int Requests = 0;

private:
    Run Timed(const std::function<void()>& command, const std::function<bool()>& succeeded)
    {
        Run r;
        m_dialogs.Boxes.clear();
        Requests = 0;
        QElapsedTimer t;
        const double cpu = CpuMs();
        t.start();
        command();
        r.Ms = ElapsedMs(t);
        r.Cpu = CpuMs() - cpu;
        r.Words = Requests;
        if (!succeeded() || r.Words == 0) {
            r.Failure = m_context->Shell.LastFailure();
            if (r.Failure.isEmpty())
                r.Failure = m_dialogs.Boxes.isEmpty() ? QStringLiteral("nothing was sent") : m_dialogs.Boxes.join(QStringLiteral(" / "));
        }
        return r;
    }

    std::vector<double> Cycles(PollingLoop& loop, const std::function<QString()>& cycle, int n, int* words,
                               QString* failure)
    {
        std::vector<double> samples;
        loop.Disable();
        loop.Enable();
        const double cpu = CpuMs();
        for (int i = 0; i < n; ++i) {
            Requests = 0;
            QElapsedTimer t;
            t.start();
            const QString error = cycle();
            samples.push_back(ElapsedMs(t));
            *words = Requests;
            if (!error.isEmpty()) {
                *failure = error;
                break;
            }
        }
        CycleCpu = samples.empty() ? 0 : (CpuMs() - cpu) / static_cast<double>(samples.size());
        loop.Disable();
        m_window->SelectTab(0);
        QElapsedTimer settle;
        settle.start();
        while (loop.CycleRunning() && settle.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (m_context->Shell.ConnectionState() != Disconnected)
            m_context->Shell.SetConnectionState(Connected);
        return samples;
    }

    BusSetup m_setup;
    BenchDialogs m_dialogs;
    std::unique_ptr<CoreContext> m_context;
    std::unique_ptr<frmMain> m_window;
};

Row Failed(const QString& figure, const QString& bus, const QString& why)
{
    Row r;
    r.Figure = figure;
    r.Bus = bus;
    r.Note = QStringLiteral("%1 on %2 failed: %3").arg(figure, bus, why);
    return r;
}

// All figures of one bus.
void RunBus(Session& s, const Options& o, std::vector<Row>& rows, bool fullLegacyConnect)
{
    const QString bus = s.Label;
    if (!s.Error.isEmpty()) {
        rows.push_back(Failed(QStringLiteral("all figures"), bus, s.Error));
        return;
    }

    // Connect + read all, fast (median of the repeats).
    s.SetTiming(LinkTiming::Fast);
    Progress(bus + QStringLiteral(": connect + read all, fast"));
    std::vector<double> connects, connectCpu;
    int connectWords = 0;
    for (int i = 0; i < o.Repeats; ++i) {
        const Session::Run r = s.Connect();
        if (!r.Failure.isEmpty()) {
            rows.push_back(Failed(QStringLiteral("connect + read all"), bus, r.Failure));
            return;
        }
        connects.push_back(r.Ms);
        connectCpu.push_back(r.Cpu);
        connectWords = r.Words;
    }

    // One exchange.
    Progress(bus + QStringLiteral(": exchanges"));
    QString failure;
    double exchangeCpu = 0;
    const std::vector<double> fast = s.Exchanges(o.Exchanges, &failure, &exchangeCpu);
    s.SetTiming(LinkTiming::Legacy);
    const std::vector<double> legacy = failure.isEmpty() ? s.Exchanges(o.LegacySample, &failure) : std::vector<double>{};
    s.SetTiming(LinkTiming::Fast);
    if (!failure.isEmpty()) {
        rows.push_back(Failed(QStringLiteral("one exchange"), bus, failure));
        return;
    }
    // Legacy cost of a word beyond the fast one, for the extrapolations.
    const double legacyExtra = Mean(legacy) - Mean(fast);
    {
        Row r;
        r.Figure = QStringLiteral("one exchange, median");
        r.Bus = bus;
        r.Words = 1;
        r.Fast = Timing{Median(fast), false, exchangeCpu};
        r.Legacy = Timing{Median(legacy), false};
        rows.push_back(r);
        r.Figure = QStringLiteral("one exchange, p99");
        r.Fast = Timing{Percentile(fast, 99), false};
        r.Legacy = Timing{Percentile(legacy, 99), false};
        r.Note = QStringLiteral("%1: %2 fast and %3 legacy exchanges (RAM word reads)")
                     .arg(bus)
                     .arg(fast.size())
                     .arg(legacy.size());
        rows.push_back(r);
    }

    Row connect;
    connect.Figure = QStringLiteral("connect + read all");
    connect.Bus = bus;
    connect.Words = connectWords;
    connect.Fast = Timing{Median(connects), false, Median(connectCpu)};
    if (fullLegacyConnect) {
        Progress(bus + QStringLiteral(": connect + read all, legacy (in full)"));
        s.SetTiming(LinkTiming::Legacy);
        const Session::Run r = s.Connect();
        s.SetTiming(LinkTiming::Fast);
        if (r.Failure.isEmpty())
            connect.Legacy = Timing{r.Ms, false};
        else
            connect.Note = QStringLiteral("legacy connect failed: ") + r.Failure;
        if (!s.IsConnected())
            s.Connect();
    } else {
        connect.Legacy = Timing{connect.Fast->Ms + connectWords * legacyExtra, true};
    }
    rows.push_back(connect);

    // Write of the Configure page.
    Progress(bus + QStringLiteral(": write of the Configure page"));
    std::vector<double> writes, writeCpu;
    int writeWords = 0;
    for (int i = 0; i < o.Repeats; ++i) {
        const Session::Run r = s.WriteConfigure();
        if (!r.Failure.isEmpty()) {
            rows.push_back(Failed(QStringLiteral("write Configure page"), bus, r.Failure));
            writes.clear();
            break;
        }
        writes.push_back(r.Ms);
        writeCpu.push_back(r.Cpu);
        writeWords = r.Words;
    }
    if (!writes.empty()) {
        Row w;
        w.Figure = QStringLiteral("write Configure page");
        w.Bus = bus;
        w.Words = writeWords;
        w.Fast = Timing{Median(writes), false, Median(writeCpu)};
        if (o.FullLegacy) {
            s.SetTiming(LinkTiming::Legacy);
            const Session::Run r = s.WriteConfigure();
            s.SetTiming(LinkTiming::Fast);
            if (r.Failure.isEmpty())
                w.Legacy = Timing{r.Ms, false};
        } else {
            w.Legacy = Timing{w.Fast->Ms + writeWords * legacyExtra, true};
        }
        rows.push_back(w);
    }
    if (!s.IsConnected())
        s.Connect();

    // Monitor and diagnostic cycles: legacy ones are short enough to run.
    const auto cycles = [&](const QString& figure, auto run) {
        Progress(bus + QStringLiteral(": ") + figure);
        QString why;
        int words = 0;
        s.SetTiming(LinkTiming::Fast);
        const std::vector<double> f = run(o.Cycles, &words, &why);
        const double cpu = s.CycleCpu;
        std::vector<double> l;
        if (why.isEmpty()) {
            s.SetTiming(LinkTiming::Legacy);
            l = run(2, &words, &why);
            s.SetTiming(LinkTiming::Fast);
        }
        if (!why.isEmpty()) {
            rows.push_back(Failed(figure, bus, why));
            if (!s.IsConnected())
                s.Connect();
            return;
        }
        Row r;
        r.Figure = figure;
        r.Bus = bus;
        r.Words = words;
        r.Fast = Timing{Median(f), false, cpu};
        r.Legacy = Timing{Median(l), false};
        rows.push_back(r);
    };
    cycles(QStringLiteral("monitor cycle"),
           [&](int n, int* w, QString* why) { return s.MonitorCycles(n, w, why); });
    cycles(QStringLiteral("diagnostic cycle"),
           [&](int n, int* w, QString* why) { return s.DiagnosticCycles(n, w, why); });
}

// QvsStudio from process start to its main window shown.
void RunStartup(const QString& label, const QStringList& args, const QString& busModel, const Options& o,
                std::vector<Row>& rows)
{
    Progress(label + QStringLiteral(": start-up"));
    const QRegularExpression shown(QStringLiteral("main window shown after (\\d+) ms"));
    Row r;
    r.Figure = QStringLiteral("start-up to main window");
    r.Bus = label;
    std::vector<double> inside;
    for (const char* timing : {"fast", "legacy"}) {
        std::vector<double> samples;
        for (int i = 0; i < o.Startups; ++i) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QVS_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            if (!busModel.isEmpty())
                env.insert(QStringLiteral("QVS_BUS_MODEL"), busModel);
            p.setProcessEnvironment(env);
            QElapsedTimer t;
            t.start();
            p.start(BinaryPath(QStringLiteral("QvsStudio")),
                    args + QStringList{QStringLiteral("--link-timing"), QString::fromLatin1(timing)});
            QByteArray out;
            std::optional<double> at;
            while (!at && t.elapsed() < 10000) {
                p.waitForReadyRead(20);
                out += p.readAllStandardOutput();
                if (const auto m = shown.match(QString::fromLocal8Bit(out)); m.hasMatch()) {
                    at = ElapsedMs(t);
                    inside.push_back(m.captured(1).toDouble());
                }
                if (p.state() == QProcess::NotRunning && !at) {
                    out += p.readAllStandardOutput();
                    if (!shown.match(QString::fromLocal8Bit(out)).hasMatch())
                        break;
                }
            }
            if (!p.waitForFinished(5000)) {
                p.kill();
                p.waitForFinished(2000);
            }
            if (!at) {
                rows.push_back(Failed(r.Figure, label,
                                      QStringLiteral("no \"main window shown\" line: ") +
                                          QString::fromLocal8Bit(out + p.readAllStandardError()).trimmed()));
                return;
            }
            samples.push_back(*at);
        }
        (timing[0] == 'f' ? r.Fast : r.Legacy) = Timing{Median(samples), false};
    }
    r.Note = QStringLiteral("%1: median of %2 starts each; from process start as the parent sees it; "
                            "%3 ms of it inside main() (median); the splash lasts at least 200 ms")
                 .arg(label)
                 .arg(o.Startups)
                 .arg(Median(inside), 0, 'f', 0);
    rows.push_back(r);
}

// One figure alone, for a profiler; the time of each run goes to stderr.
int Profile(const QString& figure, const QString& folder)
{
    Session s(QStringLiteral("sim+250k"), QStringLiteral("sim"), folder, true);
    if (!s.Error.isEmpty() || !s.Connect().Failure.isEmpty()) {
        Progress(QStringLiteral("cannot connect: ") + s.Error);
        return 1;
    }
    QString why;
    int words = 0;
    for (int i = 0; i < 3; ++i) {
        double ms = 0;
        if (figure == QLatin1String("connect"))
            ms = s.Connect().Ms;
        else if (figure == QLatin1String("write"))
            ms = s.WriteConfigure().Ms;
        else if (figure == QLatin1String("monitor"))
            ms = Mean(s.MonitorCycles(10, &words, &why));
        else if (figure == QLatin1String("diagnostic"))
            ms = Mean(s.DiagnosticCycles(10, &words, &why));
        else if (figure == QLatin1String("exchange"))
            ms = Mean(s.Exchanges(100, &why));
        else {
            Progress(QStringLiteral("no figure '%1'").arg(figure));
            return 2;
        }
        Progress(QStringLiteral("%1: %2 ms %3 (%4 words)").arg(figure).arg(ms, 0, 'f', 2).arg(why).arg(s.Requests));
    }
    return 0;
}

QString MachineText()
{
    QString cpu;
    QFile f(QStringLiteral("/proc/cpuinfo"));
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : f.readAll().split('\n'))
            if (line.startsWith("model name")) {
                cpu = QString::fromLatin1(line.mid(line.indexOf(':') + 1)).trimmed();
                break;
            }
    }
    // Other work on the machine shows in every waiting figure: say how much.
    QString load;
    QFile l(QStringLiteral("/proc/loadavg"));
    if (l.open(QIODevice::ReadOnly))
        load = QString::fromLatin1(l.readAll().split(' ').value(0));
    return QStringLiteral("%1, %2 logical CPUs, %3 %4, Qt %5, load average %6 at start")
        .arg(cpu.isEmpty() ? QStringLiteral("unknown CPU") : cpu)
        .arg(QThread::idealThreadCount())
        .arg(QSysInfo::kernelType(), QSysInfo::kernelVersion(), QString::fromLatin1(qVersion()),
             load.isEmpty() ? QStringLiteral("unknown") : load);
}

} // namespace

namespace {

// The offscreen platform says so every time a window is raised; nothing
// else of Qt's chatter is dropped.
QtMessageHandler PreviousHandler = nullptr;

void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (PreviousHandler)
        PreviousHandler(type, context, text);
}

} // namespace

int main(int argc, char* argv[])
{
    const QString machine = MachineText();
    PreviousHandler = qInstallMessageHandler(FilterMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qvs-bench"));
    QuietCanBusPluginLogging();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Times connect, read, write, monitor and diagnostic cycles and start-up, in-process and against drc-sim "
        "over a private virtual bus, each with and without the bus-time model, and prints one table."));
    parser.addHelpOption();
    const QCommandLineOption micro(QStringLiteral("micro"),
                                   QStringLiteral("Google Benchmark JSON report of qvs-microbench to add to the table."),
                                   QStringLiteral("FILE"));
    const QCommandLineOption fullLegacy(QStringLiteral("full-legacy"),
                                        QStringLiteral("Run every legacy figure in full instead of extrapolating."));
    const QCommandLineOption markdown(QStringLiteral("markdown"), QStringLiteral("Print the table as Markdown."));
    const QCommandLineOption quick(QStringLiteral("quick"),
                                   QStringLiteral("Fewer repeats and no virtual bus (a smoke run)."));
    const QCommandLineOption profile(QStringLiteral("profile"),
                                     QStringLiteral("Run only FIGURE (connect, write, monitor, diagnostic, exchange) "
                                                    "on sim+250k, for a profiler (valgrind --tool=callgrind)."),
                                     QStringLiteral("FIGURE"));
    parser.addOptions({micro, fullLegacy, markdown, quick, profile});
    parser.process(app);

    Options o;
    o.MicroJson = parser.value(micro);
    o.FullLegacy = parser.isSet(fullLegacy);
    o.Markdown = parser.isSet(markdown);
    const bool smoke = parser.isSet(quick);
    if (smoke) {
        o.Exchanges = 50;
        o.LegacySample = 3;
        o.Repeats = 1;
        o.Cycles = 5;
        o.Startups = 1;
    }

    const QString folder = FindProgramFolder(QString(), QCoreApplication::applicationDirPath());
    if (parser.isSet(profile))
        return Profile(parser.value(profile), folder);
    std::vector<Row> rows;
    {
        Session sim(QStringLiteral("sim+250k"), QStringLiteral("sim"), folder, true);
        RunBus(sim, o, rows, /*fullLegacyConnect=*/!smoke);
    }
    {
        // Without the bus-time model: what the software alone costs.
        Session raw(QStringLiteral("sim"), QStringLiteral("sim"), folder, false);
        RunBus(raw, o, rows, /*fullLegacyConnect=*/false);
    }
    if (!smoke) {
        DrcSimProcess modelled, plain;
        const QString modelledBus = PrivateBus(FreePort());
        if (!modelled.Start(modelledBus, {QStringLiteral("--bus-model"), QStringLiteral("250k")})) {
            rows.push_back(Failed(QStringLiteral("all figures"), QStringLiteral("virtualcan"),
                                  QStringLiteral("drc-sim did not start: ") + modelled.Output().trimmed()));
        } else {
            Session vc(QStringLiteral("virtualcan+250k"), modelledBus, folder, false);
            RunBus(vc, o, rows, o.FullLegacy);
        }
        modelled.Stop();
        const QString plainBus = PrivateBus(FreePort());
        if (plain.Start(plainBus, {})) {
            Session vc(QStringLiteral("virtualcan"), plainBus, folder, false);
            RunBus(vc, o, rows, o.FullLegacy);
        } else {
            rows.push_back(Failed(QStringLiteral("all figures"), QStringLiteral("virtualcan"),
                                  QStringLiteral("drc-sim did not start: ") + plain.Output().trimmed()));
        }
        RunStartup(QStringLiteral("sim+250k"), {QStringLiteral("--simulate")}, QStringLiteral("250k"), o, rows);
        if (plain.Start(plainBus, {QStringLiteral("--bus-model"), QStringLiteral("250k")}))
            RunStartup(QStringLiteral("virtualcan+250k"), {QStringLiteral("--bus"), plainBus}, QString(), o, rows);
    } else {
        RunStartup(QStringLiteral("sim+250k"), {QStringLiteral("--simulate")}, QStringLiteral("250k"), o, rows);
    }

    if (!o.MicroJson.isEmpty()) {
        QFile f(o.MicroJson);
        QString error;
        std::vector<Row> m;
        if (f.open(QIODevice::ReadOnly))
            m = RowsFromBenchmarkJson(f.readAll(), &error);
        else
            error = f.errorString();
        if (m.empty())
            rows.push_back(Failed(QStringLiteral("inner pieces"), QStringLiteral("-"), o.MicroJson + QStringLiteral(": ") + error));
        rows.insert(rows.end(), m.begin(), m.end());
    }

    std::printf("Machine: %s\n\n%s", machine.toLocal8Bit().constData(),
                FormatTable(rows, o.Markdown).toLocal8Bit().constData());
    std::fflush(stdout);
    return 0;
}
