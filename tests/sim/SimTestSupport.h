#pragma once
// Helpers of the simulator tests: a bus that records what the controller
// puts on it, request frames as the tool builds them, and a small catalogue.
#include "core/transport/SimulatedBus.h"
#include "sim/DrcController.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace simtest {

struct Delivered {
    CanMsg Frame;
    int DelayMs;
};

class RecordingBus : public SimulatedBus {
public:
    void Deliver(const CanMsg& frame, int delayMs) override { Frames.push_back({frame, delayMs}); }
    std::vector<Delivered> Frames;
};

inline CanMsg Request(uint8_t command, int address, int value = 0, uint32_t id = DrcController::RequestId)
{
    CanMsg m;
    m.ID = id;
    m.LEN = 8;
    m.DATA = {command, 0x00, static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address & 0xFF),
              static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value & 0xFF), 0xFF, 0xFF};
    return m;
}

inline int ReplyValue(const CanMsg& m) { return m.DATA[4] << 8 | m.DATA[5]; }
inline int ReplyAddress(const CanMsg& m) { return m.DATA[2] << 8 | m.DATA[3]; }

// A catalogue shaped like the shipped one: configuration words, the version
// and dither words read from RAM, and every live variable with its formula.
inline const char* TestCatalogue()
{
    return ";Name\tAddress\tKey\tDescription\tDefault\tDrcTypeID\tPageDomain\tMin\tMax\tUnit\tMonitorName\tToDisplay\tToRaw\r\n"
           "Sections\t1\tQVS_NUM_PROP_REG\t\t2\t0\t10\t1\t4\r\n"
           "Inversion 1\t18\tQVS_JOY_0_INV\t\t85\t0\t11\t85\t170\r\n"
           "Dead band 1\t22\tQVS_JOY0_DB\t\t41\t0\t11\t0\t511\r\n"
           "Neutral 1\t23\tQVS_JOY0_NEUTRAL\t\t511\t0\t11\t0\t1023\r\n"
           "Th min 1\t24\tQVS_JOY0_TH_MIN\t\t102\t0\t11\t0\t1023\r\n"
           "Th max 1\t25\tQVS_JOY0_TH_MAX\t\t920\t0\t11\t0\t1023\r\n"
           "I 1A Min\t64\tQVS_I0_MIN\t\t400\t0\t11\t100\t1500\tmA\r\n"
           "I 1A Max\t65\tQVS_I0_MAX\t\t1200\t0\t11\t200\t2000\tmA\r\n"
           "I 1B Min\t66\tQVS_I1_MIN\t\t300\t0\t11\t100\t1500\tmA\r\n"
           "I 1B Max\t67\tQVS_I1_MAX\t\t1000\t0\t11\t200\t2000\tmA\r\n"
           "Rise 1A\t96\tQVS_RAMP_TRISE_0\t\t500\t0\t11\t0\t5000\tms\r\n"
           "Offset\t200\t\t\t-2\t0\t11\t0\t65535\r\n"
           "Version\t1024\tQVS_PROG_VERS\t\t291\t0\t10\t0\t65535\r\n"
           "Dither Edit\t1025\tQVS_DITHER_EDIT\t\t170\t0\t10\t0\t65535\r\n"
           "Main Error\t1032\tQVS_MAIN_ERROR\t\t0\t0\t0\t0\t65535\r\n"
           "Error 0\t1033\tQVS_ERROR_CODE_0\t\t0\t0\t0\t0\t65535\r\n"
           "Error 1\t1034\tQVS_ERROR_CODE_1\t\t0\t0\t0\t0\t65535\r\n"
           "Outputs\t1040\tQVS_HSD_MONITOR\t\t0\t0\t0\t0\t65535\r\n"
           "Inputs\t1041\tQVS_DIGIT_MONITOR\t\t0\t0\t0\t0\t65535\r\n"
           "Supply\t1048\tQVS_VBB_400\t\t13500\t0\t0\t0\t65535\tV\tSupply\tX/1000\tX*1000\r\n"
           "Joy 1\t1049\tQVS_JOY0_VALUE\t\t511\t0\t0\t0\t1023\t%\tJoystick 1\tX*100/1023\tX*1023/100\r\n"
           "Joy 2\t1050\tQVS_JOY1_VALUE\t\t511\t1\t0\t0\t1023\t%\tJoystick 2\tX*100/1023\tX*1023/100\r\n"
           "Cmd 1A\t1056\tQVS_JOY0_RAT_A\t\t0\t0\t0\t0\t1000\t%\tCmd\tX/10\tX*10\r\n"
           "Cmd 1B\t1057\tQVS_JOY0_RAT_B\t\t0\t0\t0\t0\t1000\t%\tCmd\tX/10\tX*10\r\n"
           "Ramp 1A\t1064\tQVS_JOY1_RAMPE_A\t\t0\t0\t0\t0\t1000\t%\tRamp\tX/10\tX*10\r\n"
           "Setpoint 1A\t1072\tQVS_SETPOINT_1A\t\t0\t0\t0\t0\t1000\tmA\tSP\tX*10/4\tX*4/10\r\n"
           "Setpoint 1B\t1073\tQVS_SETPOINT_1B\t\t0\t0\t0\t0\t1000\tmA\tSP\tX*10/4\tX*4/10\r\n"
           "Setpoint 2A\t1074\tQVS_SETPOINT_2A\t\t0\t1\t0\t0\t1000\tmA\tSP\tX*10/4\tX*4/10\r\n"
           "Duty 1\t1080\tQVS_DUTY_1\t\t0\t0\t0\t0\t1000\t%\tDuty\tX/10\tX*10\r\n"
           "Current 1\t1088\tQVS_I0_MEASURE_400\t\t0\t0\t0\t0\t1000\tmA\tI\tX*10/4\tX*4/10\r\n"
           "Current 2\t1089\tQVS_I1_MEASURE_400\t\t0\t1\t0\t0\t1000\tmA\tI\tX*10/4\tX*4/10\r\n";
}

// Writes a catalogue into a temporary folder that lives as long as the object.
class CatalogueFile {
public:
    explicit CatalogueFile(const std::string& text = TestCatalogue())
    {
        m_path = m_dir.filePath(QStringLiteral("Ramlist.ini"));
        QFile f(m_path);
        if (f.open(QIODevice::WriteOnly))
            f.write(text.data(), static_cast<qint64>(text.size()));
    }
    const QString& Path() const { return m_path; }
    QString Folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// The application object the timer tests need (gtest_main creates none).
inline void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "sim_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

} // namespace simtest
