#include "BenchTable.h"

#include "sim/BusTimeModel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace bench {

namespace {

CanMsg EightByteFrame()
{
    CanMsg m;
    m.ID = 220;
    m.LEN = 8;
    return m;
}

QString Cell(const std::optional<Timing>& t)
{
    if (!t)
        return QStringLiteral("-");
    return (t->Estimated ? QStringLiteral("~") : QString()) + TimeText(t->Ms);
}

QString RowFigure(const Row& r, int note)
{
    return note > 0 ? QStringLiteral("%1 [%2]").arg(r.Figure).arg(note) : r.Figure;
}

} // namespace

double FrameMs()
{
    const BusTimeModel bus(250000);
    return std::chrono::duration<double, std::milli>(bus.FrameTime(EightByteFrame())).count();
}

double BusFloorMs(int words) { return words * 2 * FrameMs(); }

double Percentile(std::vector<double> samples, double percent)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    // Nearest rank: the smallest sample with at least percent of them at or below it.
    const double rank = std::ceil(percent / 100.0 * static_cast<double>(samples.size()));
    const size_t index = static_cast<size_t>(std::clamp(rank, 1.0, static_cast<double>(samples.size()))) - 1;
    return samples[index];
}

double Median(std::vector<double> samples) { return Percentile(std::move(samples), 50); }

double Mean(const std::vector<double>& samples)
{
    if (samples.empty())
        return 0;
    return std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
}

QString TimeText(double ms)
{
    if (ms >= 1000)
        return QStringLiteral("%1 s").arg(ms / 1000, 0, 'f', 2);
    if (ms >= 10)
        return QStringLiteral("%1 ms").arg(ms, 0, 'f', 1);
    if (ms >= 0.1)
        return QStringLiteral("%1 ms").arg(ms, 0, 'f', 2);
    if (ms >= 0.001)
        return QStringLiteral("%1 us").arg(ms * 1000, 0, 'f', 1);
    return QStringLiteral("%1 ns").arg(ms * 1e6, 0, 'f', 0);
}

QString RatioText(std::optional<double> ratio)
{
    if (!ratio)
        return QStringLiteral("-");
    return QStringLiteral("%1x").arg(*ratio, 0, 'f', *ratio >= 100 ? 0 : 2);
}

std::optional<double> FloorRatio(const Row& row, const std::optional<Timing>& t)
{
    if (!t || row.Words <= 0)
        return std::nullopt;
    return t->Ms / BusFloorMs(row.Words);
}

std::optional<double> LegacyRatio(const Row& row)
{
    if (!row.Fast || !row.Legacy || row.Fast->Ms <= 0)
        return std::nullopt;
    return row.Legacy->Ms / row.Fast->Ms;
}

QString FormatTable(const std::vector<Row>& rows, bool markdown)
{
    const QStringList header{QStringLiteral("figure"),      QStringLiteral("bus"),
                             QStringLiteral("words"),       QStringLiteral("fast"),
                             QStringLiteral("cpu"),         QStringLiteral("fast/floor"),
                             QStringLiteral("legacy"),      QStringLiteral("legacy/floor"),
                             QStringLiteral("legacy/fast")};
    std::vector<QStringList> cells;
    QStringList notes;
    for (const Row& r : rows) {
        int note = 0;
        if (!r.Note.isEmpty()) {
            notes << r.Note;
            note = static_cast<int>(notes.size());
        }
        cells.push_back({RowFigure(r, note), r.Bus, r.Words >= 0 ? QString::number(r.Words) : QStringLiteral("-"),
                         Cell(r.Fast),
                         r.Fast && r.Fast->CpuMs >= 0 ? TimeText(r.Fast->CpuMs) : QStringLiteral("-"),
                         RatioText(FloorRatio(r, r.Fast)), Cell(r.Legacy),
                         RatioText(FloorRatio(r, r.Legacy)), RatioText(LegacyRatio(r))});
    }

    QString out;
    if (markdown) {
        out += QStringLiteral("| ") + header.join(QStringLiteral(" | ")) + QStringLiteral(" |\n|");
        for (qsizetype i = 0; i < header.size(); ++i)
            out += i < 2 ? QStringLiteral("---|") : QStringLiteral("---:|");
        out += QLatin1Char('\n');
        for (const QStringList& c : cells)
            out += QStringLiteral("| ") + c.join(QStringLiteral(" | ")) + QStringLiteral(" |\n");
    } else {
        std::vector<qsizetype> width(static_cast<size_t>(header.size()));
        for (qsizetype i = 0; i < header.size(); ++i)
            width[static_cast<size_t>(i)] = header[i].size();
        for (const QStringList& c : cells)
            for (qsizetype i = 0; i < c.size(); ++i)
                width[static_cast<size_t>(i)] = std::max(width[static_cast<size_t>(i)], c[i].size());
        const auto line = [&](const QStringList& c) {
            QString l;
            for (qsizetype i = 0; i < c.size(); ++i) {
                const int w = static_cast<int>(width[static_cast<size_t>(i)]);
                l += i < 2 ? c[i].leftJustified(w) : c[i].rightJustified(w);
                l += i + 1 < c.size() ? QStringLiteral("  ") : QString();
            }
            return l.trimmed() + QLatin1Char('\n');
        };
        out += line(header);
        qsizetype total = 2 * (header.size() - 1);
        for (qsizetype w : width)
            total += w;
        out += QString(total, QLatin1Char('-')) + QLatin1Char('\n');
        for (const QStringList& c : cells)
            out += line(c);
    }
    out += QStringLiteral("\nfloor = words x 2 frames x %1 ms (8-byte standard frame, %2 bits with worst-case "
                          "stuffing, 250 kbit/s); cpu = the tool's processor time within the fast time; "
                          "~ = extrapolated from a sample, not run in full.\n")
               .arg(FrameMs(), 0, 'f', 3)
               .arg(BusTimeModel::WorstCaseBits(EightByteFrame()));
    for (qsizetype i = 0; i < notes.size(); ++i)
        out += QStringLiteral("[%1] %2\n").arg(i + 1).arg(notes[i]);
    return out;
}

std::vector<Row> RowsFromBenchmarkJson(const QByteArray& json, QString* error)
{
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject() || !doc.object().value(QLatin1String("benchmarks")).isArray()) {
        if (error)
            *error = QStringLiteral("not a benchmark report: %1").arg(parse.errorString());
        return {};
    }
    std::vector<Row> rows;
    for (const QJsonValue& v : doc.object().value(QLatin1String("benchmarks")).toArray()) {
        const QJsonObject b = v.toObject();
        // Repeated runs: only their median; single runs: the run.
        const QString type = b.value(QLatin1String("run_type")).toString();
        if (type == QLatin1String("aggregate") && b.value(QLatin1String("aggregate_name")).toString() != QLatin1String("median"))
            continue;
        if (b.contains(QLatin1String("error_occurred")) && b.value(QLatin1String("error_occurred")).toBool())
            continue;
        const QString unit = b.value(QLatin1String("time_unit")).toString(QStringLiteral("ns"));
        const double scale = unit == QLatin1String("s")    ? 1000.0
                             : unit == QLatin1String("ms") ? 1.0
                             : unit == QLatin1String("us") ? 1e-3
                                                           : 1e-6;
        Row r;
        r.Figure = b.value(QLatin1String("run_name")).toString(b.value(QLatin1String("name")).toString());
        r.Bus = QStringLiteral("-");
        const QJsonValue cpu = b.value(QLatin1String("cpu_time"));
        r.Fast = Timing{b.value(QLatin1String("real_time")).toDouble() * scale, false,
                        cpu.isDouble() ? cpu.toDouble() * scale : -1};
        rows.push_back(r);
    }
    return rows;
}

} // namespace bench
