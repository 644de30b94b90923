#include "reports/LifetimeThresholds.h"
#include "reports/MountRates.h"
#include "reports/ReportRunner.h"
#include "reports/ReportStatements.h"
#include "reports/ReportTexts.h"
#include "reports/RetriesPermsReport.h"

#include "db/StoredInteger.h"

#include <gtest/gtest.h>

#include <limits>

#include <cstdio>

namespace {
std::string shown(const MountStatistic& statistic)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f", statistic.mean, statistic.deviation);
    return text;
}
} // namespace

TEST(MountRateStatistics, DeviationAroundTheTruncatedMeanWithATruncatedVariance)
{
    using Counts = std::vector<std::uint32_t>;
    EXPECT_EQ(shown(TruncatedDeviation(Counts{3, 0, 0}, false)), "1.00 1.41");
    EXPECT_EQ(shown(TruncatedDeviation(Counts{1, 2}, false)), "1.50 0.00");
    EXPECT_EQ(shown(TruncatedDeviation(Counts{0, 0, 0}, false)), "0.00 0.00");
    EXPECT_EQ(shown(TruncatedDeviation(Counts{3, 0}, true)), "1.50 1.41");
    // Counts whose squares overflow 32 bits still give the right deviation.
    EXPECT_EQ(shown(TruncatedDeviation(Counts{100000, 0}, false)), "50000.00 50000.00");

    // As a batch reads them: the server's sums over the days with mounts, the idle days counted
    // only among the dates. 3, 0, 0 and 1, 2 again; then 7, 5, 0, 0 (truncated mean 3, squares
    // 16 + 4 + 9 + 9, variance 38 / 4 = 9).
    EXPECT_EQ(shown(TruncatedDeviation(CountSummary{3, 3, 9}, false)), "1.00 1.41");
    EXPECT_EQ(shown(TruncatedDeviation(CountSummary{2, 3, 5}, false)), "1.50 0.00");
    EXPECT_EQ(shown(TruncatedDeviation(CountSummary{4, 12, 74}, true)), "3.00 3.00");
}

TEST(MountRateStatistics, DrivesOfTheStatisticsFile)
{
    EXPECT_EQ(WwnnDigitValue("A"), 10);
    EXPECT_EQ(WwnnDigitValue("c"), 12);
    EXPECT_EQ(WwnnDigitValue("7"), 7);
    EXPECT_EQ(WwnnDigitValue("F"), 0);

    const std::string file = "Drive Statistics,LIB\n"
                             "WWNN,Serial,Frame\n"
                             " 5005076300001A,10000001,02\n"
                             "500507630000105,10000002,01\n"
                             " 5005 0763 0000 0105,10000003,01\n"
                             "no comma 5005 here\n"
                             " 5005076300000C,10000004,01";
    const std::vector<StatisticsDrive> drives = statisticsDrives(file);
    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ(drives[0].wwnn, "5005076300001A");
    EXPECT_EQ(drives[0].frame, 2);
    EXPECT_EQ(drives[0].drive, 10);
    // A line that starts with "5005" is not a drive line; blanks inside the WWNN go.
    EXPECT_EQ(drives[1].wwnn, "5005076300000105");
    EXPECT_EQ(drives[1].frame, 1);
    EXPECT_EQ(drives[1].drive, 5);
    // The last line counts without a line end.
    EXPECT_EQ(drives[2].frame, 1);
    EXPECT_EQ(drives[2].drive, 12);
}

TEST(ReportForm, ChecksInOrderAndAcceptsEqualDates)
{
    using namespace report_texts;
    const std::string today = "2026-12-08";
    EXPECT_EQ(checkReportForm(0, "2026-12-09", "2026-12-01", today), std::optional<std::string>(NoIpChecked));
    EXPECT_EQ(checkReportForm(1, "2026-12-09", "2026-12-01", today), std::optional<std::string>(InvalidDateRange));
    EXPECT_EQ(checkReportForm(2, "2026-12-09", "2026-12-10", today), std::optional<std::string>(BeginPastToday));
    EXPECT_EQ(checkReportForm(1, "2026-12-01", "2026-12-09", today), std::optional<std::string>(EndPastToday));
    EXPECT_EQ(checkReportForm(1, today, today, today), std::nullopt);
}

TEST(ReportForm, AgentAddresses)
{
    using List = std::vector<std::string>;
    EXPECT_EQ(GetAgentIpList("10.0.0.1,10.0.0.2"), (List{"10.0.0.1", "10.0.0.2"}));
    EXPECT_EQ(GetAgentIpList("10.0.0.1,10.0.0.2,"), (List{"10.0.0.1", "10.0.0.2"}));
    EXPECT_EQ(GetAgentIpList(" 10.0.0.1 ,,lib2.example.net"), (List{"10.0.0.1", "lib2.example.net"}));
    EXPECT_EQ(GetAgentIpList(""), List{});
}

TEST(LifetimeThresholdsTest, ClassificationInBothDirections)
{
    LifetimeThresholds thresholds;
    *thresholds.find("LIFE_WRITE_RETRIES") = {true, 5, 10};
    const auto classify = [&](int value) { return ClassifyLifetimeValue(thresholds, "LIFE_WRITE_RETRIES", value); };
    EXPECT_EQ(classify(4), 0);
    EXPECT_EQ(classify(5), 1);
    EXPECT_EQ(classify(9), 1);
    EXPECT_EQ(classify(10), 2);

    *thresholds.find("LIFE_WRITE_RETRIES") = {true, 10, 5};
    EXPECT_EQ(classify(5), 2);
    EXPECT_EQ(classify(6), 1);
    EXPECT_EQ(classify(10), 1);
    EXPECT_EQ(classify(11), 0);

    // A column of the table is classified under its counter; a disabled counter never is.
    EXPECT_EQ(ClassifyLifetimeValue(thresholds, "life_write_retries_media", 3), 2);
    thresholds.find("LIFE_WRITE_RETRIES")->enabled = false;
    EXPECT_EQ(classify(100), 0);
    EXPECT_EQ(ClassifyLifetimeValue(thresholds, "VOLSER", 100), 0);
    // Both thresholds at 0: everything from 0 up is an error.
    *thresholds.find("LIFE_MOUNTS") = {true, 0, 0};
    EXPECT_EQ(ClassifyLifetimeValue(thresholds, "LIFE_MOUNTS", 0), 2);
}

TEST(LifetimeThresholdsTest, ThresholdOption)
{
    LifetimeThresholds thresholds;
    EXPECT_TRUE(parseThresholdOption("LIFE_WRITE_RETRIES=5:10", thresholds));
    const LifetimeThreshold* set = thresholds.find("LIFE_WRITE_RETRIES");
    EXPECT_TRUE(set->enabled);
    EXPECT_EQ(set->yellow, 5);
    EXPECT_EQ(set->red, 10);
    EXPECT_TRUE(parseThresholdOption("life_read_perms=-1:-5", thresholds));
    for (const char* bad : {"LIFE_WRITE_RETRIES=5", "VOLSER=1:2", "LIFE_MOUNTS=a:2", "LIFE_MOUNTS=1:2x", "=1:2"})
        EXPECT_FALSE(parseThresholdOption(bad, thresholds)) << bad;
}

TEST(RetriesPerms, RowsForTheMountsAtWhichCountersGrew)
{
    LifetimeThresholds thresholds;
    const auto mount = [](std::array<std::optional<std::int64_t>, 4> counters, const char* date, const char* time) {
        CartridgeMount m;
        m.counters = counters;
        m.date = date;
        m.time = time;
        m.frame = 2;
        m.drive = 7;
        return m;
    };
    // Newest first: the read perms grew by 2, then nothing changed, then write retries grew by 1.
    const std::vector<CartridgeMount> mounts = {
        mount({1, 0, 4, 2}, "2026-01-06", "10:00:00"), mount({1, 0, 4, 0}, "2026-01-05", "09:00:00"),
        mount({1, 0, 4, 0}, "2026-01-04", "08:00:00"), mount({0, 0, 4, 0}, "2026-01-03", "07:00:00")};
    const auto rows = cartridgeGrowthRows("10.0.0.1", "VOL001", mounts, thresholds);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(retriesPermsCells(1, rows[0]), (std::vector<std::string>{"1", "10.0.0.1", "01-06-2026", "10:00:00",
                                                                       "VOL001", "2", "7", "0", "0", "0", "2"}));
    EXPECT_EQ(rows[1].date, "01-04-2026");
    EXPECT_EQ(rows[1].growth, (std::array<std::int64_t, 4>{1, 0, 0, 0}));
    EXPECT_FALSE(rows[0].warning || rows[0].error);

    EXPECT_TRUE(cartridgeGrowthRows("a", "v", {mounts[0]}, thresholds).empty());

    // Marks only while filters are enabled.
    *thresholds.find("LIFE_READ_PERMS") = {true, 1, 2};
    EXPECT_FALSE(cartridgeGrowthRows("a", "v", mounts, thresholds)[0].error);
    thresholds.filtersEnabled = true;
    const auto marked = cartridgeGrowthRows("a", "v", mounts, thresholds);
    EXPECT_TRUE(marked[0].error);
    EXPECT_FALSE(marked[0].warning);
    EXPECT_FALSE(marked[1].error || marked[1].warning);

    // A NULL between two equal values is no growth; a counter that went down is listed;
    // values 32 bits cannot hold grow exactly, and further apart than 64 bits saturate.
    constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
    const std::vector<CartridgeMount> stored = {
        mount({Max, 0, 1, 4294967301}, "2026-01-06", "06:00:00"),
        mount({std::numeric_limits<std::int64_t>::min(), 0, 1, 4294967301}, "2026-01-05", "05:00:00"),
        mount({-2147483648LL, 0, 1, 2147483647}, "2026-01-04", "04:00:00"),
        mount({1, 0, 1, 2147483647}, "2026-01-03", "03:00:00"),
        mount({1, 0, std::nullopt, 2147483647}, "2026-01-02", "02:00:00"),
        mount({std::nullopt, 0, 1, 2147483647}, "2026-01-01", "01:00:00"),
        mount({1, 0, 1, 2147483647}, "2025-12-31", "00:00:00")};
    const auto grown = cartridgeGrowthRows("a", "v", stored, LifetimeThresholds{});
    ASSERT_EQ(grown.size(), 3u);
    EXPECT_EQ(grown[0].growth, (std::array<std::int64_t, 4>{Max, 0, 0, 0}));
    EXPECT_EQ(grown[1].growth, (std::array<std::int64_t, 4>{std::numeric_limits<std::int64_t>::min() + 2147483648LL, 0,
                                                            0, 4294967301 - 2147483647}));
    EXPECT_EQ(grown[2].growth, (std::array<std::int64_t, 4>{-2147483649LL, 0, 0, 0}));
    EXPECT_EQ(retriesPermsCells(3, grown[2])[7], "-2147483649");
}

// A stored value's kind: digits that fit in 64 bits are a number, anything else is not.
TEST(RetriesPerms, StoredValuesAreReadWithTheirKind)
{
    using Kind = StoredInteger::Kind;
    for (const auto& [text, value] : std::vector<std::pair<std::string, std::int64_t>>{
             {"4294967301", 4294967301},
             {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
             {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
             {"+7", 7},
             {"12.000", 12}}) {
        const StoredInteger stored = storedIntegerFromText(text);
        EXPECT_EQ(stored.kind, Kind::Integer) << text;
        EXPECT_EQ(stored.value, value) << text;
    }
    for (const char* text : {"9223372036854775808", "1e+40", "1.5e10", "abc", "12x", "-", "1.5", " 1", "0x10"})
        EXPECT_EQ(storedIntegerFromText(text).kind, Kind::NotANumber) << text;
    EXPECT_EQ(storedIntegerFromText("").kind, Kind::Null);
}

TEST(ReportStatementsTest, RealColumnsQuotesAndTheOracleDialect)
{
    const ReportStatements derby("MH", Dialect(2));
    EXPECT_EQ(derby.volserCount("10.0.0.1", "AB'C", "2026-01-05"),
              "select count(drive) from MH where ipaddress = '10.0.0.1' and volser = 'AB''C' and date = "
              "'2026-01-05'");
    EXPECT_EQ(derby.lifetimeMaximum("LIFE_READ_PERMS", "a", "v", "2026-01-01", "2026-01-31"),
              "select max(Life_Read_Perms_Media) from MH where ipaddress = 'a' and volser = 'v' and "
              "Life_Read_Perms_Media > 0 and date >= '2026-01-01' and date <= '2026-01-31'");

    const ReportStatements oracle("MH", Dialect(1));
    EXPECT_EQ(oracle.dates("a", "2026-01-01", "2026-01-31"),
              "select distinct TO_CHAR(dates,'yyyy-mm-dd') from MH where ipaddress = 'a' and dates >= "
              "TO_DATE('2026-01-01','yyyy-mm-dd') and dates <= TO_DATE('2026-01-31','yyyy-mm-dd') order by "
              "TO_CHAR(dates,'yyyy-mm-dd') asc");
    EXPECT_EQ(oracle.hourCount("a", "2026-01-05", "04:00:00", "05:00:00"),
              "select count(time) from MH where ipaddress = 'a' and dates = TO_DATE('2026-01-05','yyyy-mm-dd') and "
              "time between TO_DATE('04:00:00','hh24:mi:ss') and TO_DATE('05:00:00','hh24:mi:ss')");
    EXPECT_EQ(oracle.hourCount("a", "2026-01-05", "23:00:00", ""),
              "select count(time) from MH where ipaddress = 'a' and dates = TO_DATE('2026-01-05','yyyy-mm-dd') and "
              "time >= TO_DATE('23:00:00','hh24:mi:ss')");
    EXPECT_EQ(oracle.hourCountsByDate("a", "2026-01-01", "2026-01-31"),
              "select TO_CHAR(dates,'yyyy-mm-dd'), TO_CHAR(time,'hh24'), count(time), sum(case when "
              "TO_CHAR(time,'mi:ss') = '00:00' then 1 else 0 end) from MH where ipaddress = 'a' and dates >= "
              "TO_DATE('2026-01-01','yyyy-mm-dd') and dates <= TO_DATE('2026-01-31','yyyy-mm-dd') group by "
              "TO_CHAR(dates,'yyyy-mm-dd'), TO_CHAR(time,'hh24')");
    EXPECT_EQ(oracle.lastTime("a", "v", "2026-01-05"),
              "select TO_CHAR(max(time),'hh24:mi:ss') from MH where ipaddress = 'a' and volser = 'v' and dates = "
              "TO_DATE('2026-01-05','yyyy-mm-dd')");
    EXPECT_EQ(oracle.cryptoStatus("a", "v", "2026-01-05", "10:00:00"),
              "select mount_crypto_status from MH where ipaddress = 'a' and volser = 'v' and dates = "
              "TO_DATE('2026-01-05','yyyy-mm-dd') and time = TO_DATE('10:00:00','hh24:mi:ss')");
    // The statements that read a whole range at once.
    EXPECT_EQ(oracle.volserCountSums("a", "2026-01-01", "2026-01-31"),
              "select volser, sum(mounts), sum(mounts * mounts) from (select volser, count(drive) as mounts from MH "
              "where ipaddress = 'a' and dates >= TO_DATE('2026-01-01','yyyy-mm-dd') and dates <= "
              "TO_DATE('2026-01-31','yyyy-mm-dd') and volser is not null group by volser, dates) per_day group by "
              "volser");
    EXPECT_EQ(oracle.lastMounts("a", "2026-01-01", "2026-01-31"),
              "select volser, last_date, last_time, last_status, rekeys from (select volser, "
              "TO_CHAR(dates,'yyyy-mm-dd') as last_date, TO_CHAR(time,'hh24:mi:ss') as last_time, case when time is "
              "null then 0 else mount_crypto_status end as last_status, row_number() over (partition by volser "
              "order by dates desc, case when time is null then 1 else 0 end, time desc) as newest, count(case when "
              "mount_crypto_rekey = 1 then mount_crypto_rekey end) over (partition by volser) as rekeys from MH "
              "where ipaddress = 'a' and dates >= TO_DATE('2026-01-01','yyyy-mm-dd') and dates <= "
              "TO_DATE('2026-01-31','yyyy-mm-dd') and volser is not null) mounts where newest = 1");
    EXPECT_EQ(oracle.cartridgeMounts("a", "v", "2026-01-01", "2026-01-31"),
              "select Life_Write_Retries_Media, Life_Write_Perms_Media , Life_Read_Retries_Media, "
              "Life_Read_Perms_Media, TO_CHAR(DATES,'yyyy-mm-dd') AS DATES, TO_CHAR(TIME,'hh24:mi:ss') AS TIME, "
              "frame, drive, Mount_Rating_Drive, Mount_Rating_Media from MH where ipaddress = 'a' and volser = 'v' "
              "and dates >= TO_DATE('2026-01-01','yyyy-mm-dd') and dates <= TO_DATE('2026-01-31','yyyy-mm-dd') "
              "order by dates desc, time desc");
}
