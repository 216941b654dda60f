// The benchmark table: the bus floor, the statistics, the ratios, and the
// rows taken from a Google Benchmark report.
#include "BenchTable.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace bench;

TEST(BenchTable, FloorIsTwoWorstCaseFramesPerWordAt250k)
{
    EXPECT_DOUBLE_EQ(FrameMs(), 0.54);
    EXPECT_DOUBLE_EQ(BusFloorMs(1), 1.08);
    EXPECT_DOUBLE_EQ(BusFloorMs(100), 108.0);
    EXPECT_DOUBLE_EQ(BusFloorMs(0), 0.0);
}

TEST(BenchTable, OrderStatistics)
{
    std::vector<double> v(100);
    std::iota(v.begin(), v.end(), 1.0); // 1..100
    std::reverse(v.begin(), v.end());
    EXPECT_DOUBLE_EQ(Median(v), 50);
    EXPECT_DOUBLE_EQ(Percentile(v, 99), 99);
    EXPECT_DOUBLE_EQ(Percentile(v, 100), 100);
    EXPECT_DOUBLE_EQ(Percentile(v, 0), 1);
    EXPECT_DOUBLE_EQ(Mean(v), 50.5);
    EXPECT_DOUBLE_EQ(Median({}), 0);
    EXPECT_DOUBLE_EQ(Percentile({7}, 99), 7);
    // A single slow outlier in 20 samples is the p99, not the median.
    std::vector<double> w(19, 1.0);
    w.push_back(200);
    EXPECT_DOUBLE_EQ(Median(w), 1);
    EXPECT_DOUBLE_EQ(Percentile(w, 99), 200);
}

TEST(BenchTable, RatiosAndCells)
{
    Row r;
    r.Figure = QStringLiteral("connect + read all");
    r.Bus = QStringLiteral("sim+250k");
    r.Words = 100;
    r.Fast = Timing{162.0, false, 40.0};
    r.Legacy = Timing{20162.0, true};
    ASSERT_TRUE(FloorRatio(r, r.Fast));
    EXPECT_NEAR(*FloorRatio(r, r.Fast), 1.5, 1e-9);
    EXPECT_NEAR(*LegacyRatio(r), 20162.0 / 162.0, 1e-9);
    Row none;
    none.Fast = Timing{1, false};
    EXPECT_FALSE(FloorRatio(none, none.Fast)); // no words, no floor
    EXPECT_FALSE(LegacyRatio(none));

    EXPECT_EQ(TimeText(0.612), QStringLiteral("0.61 ms"));
    EXPECT_EQ(TimeText(20162), QStringLiteral("20.16 s"));
    EXPECT_EQ(TimeText(0.00085), QStringLiteral("850 ns"));
    EXPECT_EQ(TimeText(0.0123), QStringLiteral("12.3 us"));
    EXPECT_EQ(RatioText(std::nullopt), QStringLiteral("-"));

    Row failed;
    failed.Figure = QStringLiteral("monitor cycle");
    failed.Bus = QStringLiteral("virtualcan");
    failed.Note = QStringLiteral("timed out");
    const QString text = FormatTable({r, failed}, false);
    EXPECT_TRUE(text.contains(QStringLiteral("1.50x"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("~20.16 s"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("124x"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("monitor cycle [1]"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("[1] timed out"))) << text.toStdString();
    const QString md = FormatTable({r}, true);
    EXPECT_TRUE(md.startsWith(QStringLiteral("| figure | bus | words |"))) << md.toStdString();
    EXPECT_TRUE(md.contains(QStringLiteral("| connect + read all | sim+250k | 100 | 162.0 ms | 40.0 ms | 1.50x |")))
        << md.toStdString();
}

TEST(BenchTable, RowsFromGoogleBenchmarkReport)
{
    const QByteArray json = R"({
      "context": {"date": "today"},
      "benchmarks": [
        {"name": "formula", "run_name": "formula", "run_type": "iteration", "real_time": 250.0, "cpu_time": 200.0,
         "time_unit": "ns"},
        {"name": "load", "run_name": "load", "run_type": "iteration", "real_time": 80.0, "time_unit": "us"},
        {"name": "load_mean", "run_name": "load", "run_type": "aggregate", "aggregate_name": "mean",
         "real_time": 81.0, "time_unit": "us"},
        {"name": "load_median", "run_name": "load", "run_type": "aggregate", "aggregate_name": "median",
         "real_time": 79.0, "time_unit": "us"},
        {"name": "broken", "run_name": "broken", "run_type": "iteration", "error_occurred": true,
         "real_time": 0, "time_unit": "ns"}
      ]})";
    QString error;
    const std::vector<Row> rows = RowsFromBenchmarkJson(json, &error);
    ASSERT_EQ(rows.size(), 3u) << error.toStdString();
    EXPECT_EQ(rows[0].Figure, QStringLiteral("formula"));
    EXPECT_DOUBLE_EQ(rows[0].Fast->Ms, 250e-6);
    EXPECT_DOUBLE_EQ(rows[0].Fast->CpuMs, 200e-6);
    EXPECT_LT(rows[1].Fast->CpuMs, 0); // not in the report
    EXPECT_DOUBLE_EQ(rows[1].Fast->Ms, 0.08);
    EXPECT_DOUBLE_EQ(rows[2].Fast->Ms, 0.079); // the median of repeated runs
    EXPECT_EQ(rows[0].Words, -1);

    EXPECT_TRUE(RowsFromBenchmarkJson("not json", &error).empty());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(RowsFromBenchmarkJson(R"({"context": {}})", &error).empty());
}
