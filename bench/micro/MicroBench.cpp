// The inner pieces a technician waits on, one Google Benchmark each: the
// conversion formulas (every value shown or written goes through one), the
// catalogue load of a full 250-line catalogue (start-up), and saving and
// loading a configuration file of 250 parameters.
#include "controls/EvaluateWholeFormula.h"
#include "core/files/File.h"
#include "core/link/IDData.h"
#include "core/link/StringEval.h"
#include "core/state/PageRegistry.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* const Header = ";Name\tAddress\tKey\tDescription\tDefault\tDrcTypeID\tPageDomain\tMin\tMax\tUnit\t"
                           "MonitorName\tToDisplay\tToRaw\r\n";

// 250 lines, the most a catalogue may have: the shipped catalogue (when
// withShipped and it is there) topped up with writable current words that
// carry a conversion each.
QByteArray FullCatalogue(bool withShipped)
{
    QByteArray bytes;
    QFile shipped(QCoreApplication::applicationDirPath() + QStringLiteral("/res/ini/Ramlist.ini"));
    int lines = 0;
    if (withShipped && shipped.open(QIODevice::ReadOnly)) {
        bytes = shipped.readAll();
        if (!bytes.endsWith('\n'))
            bytes += "\r\n";
        lines = static_cast<int>(bytes.count('\n')) - 1;
    } else {
        bytes = Header;
    }
    for (int n = lines + 1; n <= IDData::MaxRecords; ++n)
        bytes += QStringLiteral("Current %1\t%2\t\tCoil current word %1\t%3\t0\t11\t0\t20000\tmA\t\tX*10/4\tX*4/10\r\n")
                     .arg(n)
                     .arg(1000 + n)
                     .arg(400 + n)
                     .toLatin1();
    return bytes;
}

class Folder {
public:
    Folder()
    {
        QDir(dir.path()).mkpath(QStringLiteral("res/ini"));
        QFile f(CataloguePath());
        if (f.open(QIODevice::WriteOnly))
            f.write(FullCatalogue(true));
        QFile w(WritableCataloguePath());
        if (w.open(QIODevice::WriteOnly))
            w.write(FullCatalogue(false));
    }
    QString CataloguePath() const { return dir.filePath(QStringLiteral("res/ini/Ramlist.ini")); }
    // Every line a writable configuration word: all 250 go into a file.
    QString WritableCataloguePath() const { return dir.filePath(QStringLiteral("writable.ini")); }
    QString File(const QString& name) const { return dir.filePath(name); }

private:
    QTemporaryDir dir;
};

Folder& TheFolder()
{
    static Folder folder;
    return folder;
}

void Formula(benchmark::State& state)
{
    // The current conversion of the catalogue, raw to display and back.
    const std::string toDisplay = "X*10/4", toRaw = "X*4/10";
    int32_t x = 0;
    for (auto _ : state) {
        const double shown = EvaluateFormula(toDisplay, x);
        benchmark::DoNotOptimize(EvaluateFormula(toRaw, static_cast<int32_t>(shown)));
        x = (x + 7) & 0x3FF;
    }
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(Formula)->Name("formula: X*10/4 and back (program)");

void WholeFormula(benchmark::State& state)
{
    const std::string formula = "(X-511)*100/511";
    int32_t x = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(EvaluateWholeFormula(formula, x));
        x = (x + 7) & 0x3FF;
    }
}
BENCHMARK(WholeFormula)->Name("formula: (X-511)*100/511 (controls)");

void CatalogueLoad(benchmark::State& state)
{
    const QString path = TheFolder().CataloguePath();
    IDData table;
    for (auto _ : state) {
        const std::string error = table.LoadCatalogue(path);
        if (!error.empty()) {
            state.SkipWithError((error + ": " + table.LastLoadDetail()).c_str());
            break;
        }
        benchmark::DoNotOptimize(table.VarTableEnd);
    }
    state.counters["lines"] = table.Count();
}
BENCHMARK(CatalogueLoad)->Name("catalogue load, 250 lines")->Unit(benchmark::kMicrosecond);

// A table of 250 records on a loaded page, for the file benchmarks.
struct SavedTable {
    SavedTable()
    {
        error = table.LoadCatalogue(TheFolder().WritableCataloguePath());
        page.ReadKey = 10;
        page.WriteKey = 11;
        pages.Add(&page);
        info.Author = QStringLiteral("Bench");
        info.Comments = QStringLiteral("250 parameters");
    }
    IDData table;
    PageKeys page;
    PageRegistry pages;
    InfoBlock info;
    std::string error;
};

void ConfigSave(benchmark::State& state)
{
    SavedTable t;
    if (!t.error.empty()) {
        state.SkipWithError(t.error.c_str());
        return;
    }
    const QString path = TheFolder().File(QStringLiteral("save.txt"));
    for (auto _ : state)
        ConfigFile::SaveConfiguration(path, t.table, t.pages, t.info);
    state.counters["parameters"] = t.table.Count();
}
BENCHMARK(ConfigSave)->Name("configuration file save, 250 parameters")->Unit(benchmark::kMicrosecond);

void ConfigLoad(benchmark::State& state)
{
    SavedTable t;
    if (!t.error.empty()) {
        state.SkipWithError(t.error.c_str());
        return;
    }
    const QString path = TheFolder().File(QStringLiteral("load.txt"));
    ConfigFile::SaveConfiguration(path, t.table, t.pages, t.info);
    int applied = 0;
    for (auto _ : state) {
        const LoadReport report = ConfigFile::LoadConfiguration(path, QStringLiteral("load.txt"), t.table, t.info);
        applied = report.Applied;
    }
    state.counters["parameters"] = applied;
}
BENCHMARK(ConfigLoad)->Name("configuration file load, 250 parameters")->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
