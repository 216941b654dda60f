#pragma once
// The figures of the benchmark run and the one table they are printed as:
// figure, bus, words on the wire, time in fast timing with the processor
// time the tool spent in it, time in legacy timing, each time against the bus
// floor (every word is a request and a reply at 250 kbit/s, worst-case
// frames), and legacy against fast.
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace bench {

// Milliseconds of the bus floor for a number of word exchanges: request and
// reply of 8 data bytes each, worst-case bit stuffing, at 250 kbit/s.
double BusFloorMs(int words);
// One worst-case 8-byte standard frame at 250 kbit/s, in milliseconds.
double FrameMs();

// Order statistics of a set of samples (nearest-rank; 0 for an empty set).
double Median(std::vector<double> samples);
double Percentile(std::vector<double> samples, double percent);
double Mean(const std::vector<double>& samples);

// One timing of a figure. Estimated: extrapolated from a sample, not run in full.
struct Timing {
    double Ms = 0;
    bool Estimated = false;
    // The tool's own processor time within Ms (negative: not measured); the
    // rest is waiting: for the bus, the peer, the scheduler.
    double CpuMs = -1;
};

struct Row {
    QString Figure;
    QString Bus;     // "sim+250k", "virtualcan", "-" for pieces without a bus
    int Words = -1;  // request/reply exchanges; -1 when it has none
    std::optional<Timing> Fast;
    std::optional<Timing> Legacy;
    QString Note;    // failures and remarks, printed after the table
};

// Time of a figure in the table's units: "0.61 ms", "1.23 s", "850 ns".
QString TimeText(double ms);
// "1.23x", or "-" when there is nothing to compare.
QString RatioText(std::optional<double> ratio);
std::optional<double> FloorRatio(const Row& row, const std::optional<Timing>& t);
std::optional<double> LegacyRatio(const Row& row);

// The table: plain text columns, or a Markdown table. Notes follow, numbered,
// and a legend of the columns.
QString FormatTable(const std::vector<Row>& rows, bool markdown);

// Rows from the JSON report of a Google Benchmark run (--benchmark_format=json
// or --benchmark_out): name and real time per iteration. Empty with *error set
// when the text is not such a report.
std::vector<Row> RowsFromBenchmarkJson(const QByteArray& json, QString* error);

} // namespace bench
