#pragma once
// qvs-cli run in this process against the in-process simulated controller,
// with temporary configuration files.
#include "cli/CliApp.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class DrcController;

namespace clitest {

void EnsureApplication();

struct CliRun {
    int Code = -1;
    QString Out, Err;
    // The simulated controller of the run (--bus sim), alive after it.
    std::shared_ptr<DrcController> Sim;
};

// Runs qvs-cli --home <build>/ args; with --bus sim unless args name a bus.
// prepare sees the simulated controller before the first request.
CliRun Cli(const QStringList& args, const std::function<void(DrcController&)>& prepare = {},
        bool errIsTerminal = false);

// The E2 address of a catalogue key (-1 when unbound).
int AddressOf(const char* key);

// A folder for the files of one test.
class Files {
public:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray Read(const QString& name) const;
    void Write(const QString& name, const QByteArray& bytes) const;
    // Replaces the value of the parameter line with this address (CR-ended
    // lines of a configuration file); false when there is no such line.
    bool SetValue(const QString& name, int address, int value) const;

private:
    QTemporaryDir m_dir;
};

} // namespace clitest
