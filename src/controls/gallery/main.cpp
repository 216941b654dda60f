// controls-gallery: shows one of each control of the control library bound to
// sample records. With --screenshot FILE the window is grabbed into FILE (PNG)
// once it has been laid out, and the program ends.
#include "controls/CSection.h"
#include "controls/CVarDataS.h"
#include "controls/DiagnosticError.h"
#include "controls/JoyMonitor.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cmath>
#include <cstdio>

namespace {

CVarDataS CurrentRecord(int16_t id, int32_t value, const char* tip)
{
    CVarDataS r;
    r.VarID = id;
    r.Name = tip;
    r.TooltipDecription = tip;
    r.Unit = "mA";
    r.CedValE2Min = 100;
    r.CedValE2Max = 2000;
    r.QvsDisplayValueE2 = value;
    r.QvsDownloadValueE2 = value;
    r.CedValueE2 = value;
    return r;
}

CVarDataS MonitorRecord(int16_t id, const char* name, const char* unit, double value,
                        const char* toDisplay = "")
{
    CVarDataS r;
    r.VarID = id;
    r.MonitorName = name;
    r.TooltipDecription = name;
    r.Unit = unit;
    r.QvsDisplayValueRAM = value;
    r.F_DownloadToDisplay = toDisplay;
    r.MonitorEnable = true;
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("controls-gallery"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows the section controls with sample records."));
    parser.addHelpOption();
    QCommandLineOption shot(QStringLiteral("screenshot"),
                            QStringLiteral("Grab the window into <file> (PNG) and quit."),
                            QStringLiteral("file"));
    parser.addOption(shot);
    parser.process(app);

    // Records owned here, as the program owns them; the controls keep references.
    std::array<CVarDataS, 4> currents = {
        CurrentRecord(1, 400, "Minimum current coil A"),
        CurrentRecord(2, 1200, "Maximum current coil A"),
        CurrentRecord(3, 350, "Minimum current coil B"),
        CurrentRecord(4, 1100, "Maximum current coil B"),
    };
    std::array<CVarDataS, 4> monitors = {
        MonitorRecord(10, "Joystick 1 X", "%", 62.5),
        MonitorRecord(11, "Current coil 1A", "mA", 812),
        MonitorRecord(12, "Float input", "", 1, "X&1"),
        MonitorRecord(13, "Supply voltage", "V", 24.3),
    };
    CVarDataS errorWord;
    errorWord.VarID = 20;
    errorWord.MonitorName = "Coil errors";

    QWidget window;
    window.setWindowTitle(QStringLiteral("controls-gallery"));
    auto* grid = new QGridLayout(&window);

    const std::array<int32_t, 2> back = {0xC0FFFF, 0xFFE0C0}; // light yellow, light blue
    const std::array<int32_t, 2> text = {0x000080, 0x800000}; // dark red, dark blue
    for (int i = 0; i < 2; ++i) {
        auto* section = new CSection(&window);
        section->setSectionName(i == 0 ? QStringLiteral("1A") : QStringLiteral("1B"));
        section->setBackColor(back[size_t(i)]);
        section->setFontColor(text[size_t(i)]);
        section->setCaricaMin(currents[size_t(2 * i)]);
        section->setCaricaMax(currents[size_t(2 * i + 1)]);
        section->setFixedSize(section->size());
        grid->addWidget(section, i, 0);
    }

    const std::array<const char*, 4> formats = {"####0.0", "###0", "####0", "##,##0.0"};
    const std::array<int16_t, 4> maxima = {100, 1500, 1, 32};
    for (int i = 0; i < 4; ++i) {
        auto* monitor = new JoyMonitor(&window);
        monitor->setMin(0);
        monitor->setMax(maxima[size_t(i)]);
        monitor->setDataFormat(QLatin1String(formats[size_t(i)]));
        monitor->setThMin(i == 1 ? 50 : 0);
        monitor->setThMax(i == 1 ? 50 : 0);
        monitor->setActiveProgressBar(i != 2);
        monitor->setCarica(monitors[size_t(i)]);
        if (i == 3)
            monitor->setMonitorEnable(false);
        monitor->setFixedSize(monitor->size());
        grid->addWidget(monitor, 2 + i, 0);
    }

    auto* diagnostic = new DiagnosticError(&window);
    diagnostic->setCarica(errorWord);
    const std::array<const char*, 8> bits = {"Open 1A", "Short 1A", "Open 1B", "Short 1B",
                                             "Supply low", "Supply high", "E2 fault", "Watchdog"};
    for (int b = 0; b < 8; ++b)
        diagnostic->SetDecripion(int16_t(b), QLatin1String(bits[size_t(b)]));
    diagnostic->UpdateDisplay(0x0015);
    diagnostic->setFixedSize(diagnostic->size());
    grid->addWidget(diagnostic, 0, 1, 6, 1, Qt::AlignTop);

    window.show();

    if (parser.isSet(shot)) {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        const QString file = parser.value(shot);
        if (!window.grab().save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        return 0;
    }

    // Interactive: let the joystick value move so the bar can be watched.
    QTimer tick;
    double phase = 0;
    QObject::connect(&tick, &QTimer::timeout, &window, [&] {
        phase += 0.1;
        monitors[0].QvsDisplayValueRAM = 50 + 50 * std::sin(phase);
        if (auto* m = window.findChildren<JoyMonitor*>().value(0))
            m->UpdateDisplay(monitors[0].QvsDisplayValueRAM);
    });
    tick.start(100);
    return app.exec();
}
