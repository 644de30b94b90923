#include "reports/HealthLinks.h"
#include "reports/HealthStatements.h"
#include "reports/MovingAverageTrend.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
const HealthSubject Drive{false, "10.0.0.7", 1, 3, ""};
const HealthSubject Cartridge{true, "10.0.0.7", 0, 0, "A0'001"};

// Feeds rows newest first, all dated inside the range unless a date is given per row.
MovingAverageTrend feed(const std::vector<std::int32_t>& newestFirst, std::size_t points = 100,
                        const std::string& begin = "2026-01-01")
{
    MovingAverageTrend trend(begin, points);
    for (std::int32_t value : newestFirst)
        if (!trend.addRow(value, "2026-06-01", "10:00:00"))
            break;
    return trend;
}

std::vector<std::int32_t> rising(std::size_t count)
{
    std::vector<std::int32_t> values;
    for (std::size_t i = 0; i < count; ++i)
        values.push_back(static_cast<std::int32_t>(500 - i)); // newest is largest
    return values;
}
} // namespace

TEST(MovingAverageTrend, NeedsAHundredPointsThatIsOneHundredAndNineRows)
{
    const auto enough = feed(std::vector<std::int32_t>(109, 5));
    EXPECT_EQ(enough.pointCount(), 100u);
    EXPECT_EQ(enough.reportText("MOUNT_DRIVE_RATING", Drive),
              "    MOUNT_DRIVE_RATING\r\n"
              "    Trend linear regration rate:    0.00\r\n"
              "    Last 10 trend linear regression rate:    0.00\r\n"
              "    Trend values:    (min,max,last) = (5.00,5.00,5.00)\r\n"
              "    Avg data value:    5.00\r\n"
              "    Trend line status(based off last 10 mounts): Straight on the avarage data line\r\n");

    const auto shortOne = feed(std::vector<std::int32_t>(108, 5));
    EXPECT_EQ(shortOne.pointCount(), 99u);
    EXPECT_EQ(shortOne.reportText("MOUNT_DRIVE_RATING", Drive),
              "    Not enough MOUNT_DRIVE_RATING data for IPAddress = 10.0.0.7 frame = 1 drive = 3 \r\n");
    EXPECT_EQ(shortOne.reportText("MOUNT_MEDIA_RATING", Cartridge),
              "    Not enough MOUNT_MEDIA_RATING data for IPAddress = 10.0.0.7 volser = A0'001 \r\n");

    // Reading stops at the hundredth point: the 110th row is not wanted.
    MovingAverageTrend trend("2026-01-01", 100);
    int taken = 0;
    while (trend.addRow(5, "2026-06-01", "10:00:00"))
        ++taken;
    EXPECT_EQ(taken + 1, 109);
    EXPECT_FALSE(trend.addRow(5, "2026-06-01", "10:00:00"));
}

TEST(MovingAverageTrend, RowsBeforeTheBeginDateFillAWindowButMakeNoPoint)
{
    MovingAverageTrend trend("2026-03-01", 100);
    // Three mounts in the range, then older ones.
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(trend.addRow(10, "2026-03-0" + std::to_string(3 - i), "10:00:00"));
    bool reading = true;
    int olderRows = 0;
    while (reading && olderRows < 50) {
        reading = trend.addRow(20, "2026-02-15", "10:00:00");
        ++olderRows;
    }
    EXPECT_FALSE(reading);
    // Points start at the tenth row and stop once the window's newest mount is before March.
    EXPECT_EQ(trend.pointCount(), 3u);
    EXPECT_EQ(olderRows, 10);
    // The first point averages 3 in-range tens and 7 older twenties.
    EXPECT_FLOAT_EQ(trend.trendPoints()[0], 17.0f);
    EXPECT_EQ(trend.dataValues(), (std::vector<std::int32_t>{10, 10, 10}));
    EXPECT_NE(trend.reportText("X", Drive).find("Not enough"), std::string::npos);
}

TEST(MovingAverageTrend, StatusFollowsTheShortSlopeAndTheDataAverage)
{
    const std::string risingText = feed(rising(109)).reportText("MOUNT_READ_PERF_UTIL", Cartridge);
    EXPECT_NE(risingText.find("    Trend linear regression rate:    1.00\r\n"), std::string::npos) << risingText;
    EXPECT_NE(risingText.find("): Increasing away from the avarage data line\r\n"), std::string::npos);

    std::vector<std::int32_t> falling = rising(109);
    std::reverse(falling.begin(), falling.end());
    const std::string fallingText = feed(falling).reportText("MOUNT_READ_PERF_UTIL", Cartridge);
    EXPECT_NE(fallingText.find("): Decreasing away from the avarage data line\r\n"), std::string::npos);

    EXPECT_EQ(TrendStatus(0.5f, 4.0, 4.0f, 5.0f), "Increasing away from the avarage data line");
    EXPECT_EQ(TrendStatus(0.5f, 6.0, 6.0f, 5.0f), "Increasing towards the avarage data line");
    EXPECT_EQ(TrendStatus(0.0f, 6.0, 6.0f, 5.0f), "Straight below the avarage data line");
    EXPECT_EQ(TrendStatus(0.0f, 4.0, 4.0f, 5.0f), "Straight above avarage data line");
    EXPECT_EQ(TrendStatus(-1.0f, 5.0, 5.0f, 5.0f), "Decreasing from the avarage data line");
    EXPECT_EQ(TrendStatus(std::nanf(""), 4.0, 4.0f, 5.0f), "Decreasing towards the avarage data line");
    // Greater-than reads the quotient before rounding: a hair above is above, although the
    // rounded average equals the last value.
    EXPECT_EQ(TrendStatus(0.0f, 5.0000001, 5.0f, 5.0f), "Straight below the avarage data line");
}

TEST(MovingAverageTrend, FiguresKeepTheirSingleAndDoublePrecisionParts)
{
    // Values near a million: single-precision averages and sums print differently from an
    // all-double computation (which would give 1036823.30, 1062012.70, 1045556.40 and
    // 1049131.08). The figures were checked against an independent emulation of the rules.
    std::vector<std::int32_t> values;
    for (int i = 0; i < 109; ++i)
        values.push_back(1000003 + (i * 12345) % 99991);
    EXPECT_EQ(feed(values).reportText("MOUNT_WRITE_PERF_UTIL", Drive),
              "    MOUNT_WRITE_PERF_UTIL\r\n"
              "    Trend linear regration rate:    29.88\r\n"
              "    Last 10 trend linear regression rate:    -830.88\r\n"
              "    Trend values:    (min,max,last) = (1036823.31,1062012.75,1045556.44)\r\n"
              "    Avg data value:    1049130.88\r\n"
              "    Trend line status(based off last 10 mounts): Decreasing away from the avarage data line\r\n");
}

TEST(MovingAverageTrend, DrillDownSeriesAreOldestFirstAndAtMostOneHundredAndOnePoints)
{
    std::vector<std::int32_t> values = rising(300);
    values[0] = -4; // a negative value is shown as 0
    const auto trend = feed(values, MovingAverageTrend::DrillDownPoints);
    const DrillDownSeries series = drillDownSeries(trend);
    ASSERT_EQ(series.ratings.size(), 101u);
    ASSERT_EQ(series.trend.size(), 101u);
    EXPECT_EQ(series.ratings.back(), 0u);
    EXPECT_EQ(series.ratings.front(), 400u) << "the oldest point's newest mount";
    // Oldest window 400..391 averages 395.5, truncated.
    EXPECT_EQ(series.trend.front(), 395u);
    EXPECT_LT(series.trend.front(), series.trend[50]);
    EXPECT_EQ(drillDownSeries(feed({1, 2, 3})).ratings.size(), 0u);
}

TEST(HealthStatements, ReadTheRealColumnsWithARowLimitInEitherDialect)
{
    const HealthField* ports = findHealthField(HealthReportKind::Drive, "MOUNT_PORTS_RATING");
    ASSERT_NE(ports, nullptr);
    EXPECT_EQ(healthFieldStatement(*ports, "VL", Drive, "2026-12-07", Dialect(2)),
              "select Mount_Rating_Ports, DATE, TIME from VL where Mount_Rating_Ports <> 0 and ipaddress = "
              "'10.0.0.7' and frame = 1 and drive = 3 and date <= '2026-12-07' order by date desc, time desc, "
              "Mount_Rating_Ports desc LIMIT 110");
    const HealthField* control = findHealthField(HealthReportKind::Cartridge, "MOUNT_CONTROL_CAPACITY_UTIL");
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(healthFieldStatement(*control, "VL", Cartridge, "2026-12-07", Dialect(1)),
              "select Mount_Capacity_Control_Util, TO_CHAR(DATES,'yyyy-mm-dd') AS DATES, "
              "TO_CHAR(TIME,'hh24:mi:ss') AS TIME from VL where Mount_Capacity_Control_Util <> 0 and ipaddress = "
              "'10.0.0.7' and volser = 'A0''001' and dates <= TO_DATE('2026-12-07','yyyy-mm-dd') "
              "order by dates desc, time desc, Mount_Capacity_Control_Util desc FETCH FIRST 110 ROWS ONLY");
    // The batch numbers each drive's rows in the same order, for the drives with mounts in the range.
    EXPECT_EQ(
        healthBatchStatement(HealthReportKind::Drive, *ports, "VL", "10.0.0.7", "2026-01-01", "2026-12-07", Dialect(1)),
        "select frame, drive, Mount_Rating_Ports, DATES, TIME from (select frame, drive, Mount_Rating_Ports, "
        "TO_CHAR(DATES,'yyyy-mm-dd') AS DATES, TO_CHAR(TIME,'hh24:mi:ss') AS TIME, row_number() over "
        "(partition by frame, drive order by dates desc, time desc, Mount_Rating_Ports desc) as newest from VL "
        "where Mount_Rating_Ports <> 0 and ipaddress = '10.0.0.7' and dates <= "
        "TO_DATE('2026-12-07','yyyy-mm-dd') and (frame, drive) in (select frame, drive from VL where ipaddress "
        "= '10.0.0.7' and dates >= TO_DATE('2026-01-01','yyyy-mm-dd') and dates <= "
        "TO_DATE('2026-12-07','yyyy-mm-dd') )) ranked where newest <= 110 order by frame, drive, newest");
    EXPECT_EQ(healthSubjectStatement(HealthReportKind::Drive, "VL", "1.2.3.4'", "2026-01-01", "2026-12-07", Dialect(1)),
              "select distinct frame, drive from VL where ipaddress = '1.2.3.4''' and dates >= "
              "TO_DATE('2026-01-01','yyyy-mm-dd') and dates <= TO_DATE('2026-12-07','yyyy-mm-dd') "
              "order by frame asc, drive asc");
    EXPECT_EQ(
        healthSubjectStatement(HealthReportKind::Cartridge, "VL", "1.2.3.4", "2026-01-01", "2026-12-07", Dialect(2)),
        "select distinct volser from VL where ipaddress = '1.2.3.4' and date >= '2026-01-01' and "
        "date <= '2026-12-07' order by volser asc");
    EXPECT_EQ(healthFieldNames(HealthReportKind::Drive).size(), 14u);
    EXPECT_EQ(healthFieldNames(HealthReportKind::Cartridge).front(), "MOUNT_MEDIA_RATING");
    EXPECT_EQ(healthFieldNames(HealthReportKind::Cartridge).size(), 11u);
    EXPECT_EQ(findHealthField(HealthReportKind::Cartridge, "MOUNT_DRIVE_RATING"), nullptr);
}

TEST(HealthLinks, EveryFieldNameIsALinkAndAClickFindsItsSection)
{
    const std::vector<std::string> names = healthFieldNames(HealthReportKind::Drive);
    const std::string text = "Starting Drive ...\r\n\r\n"
                             "IPAddress: 10.0.0.7 Frame: 1 Drive: 3 \r\n\r\n"
                             "    MOUNT_DRIVE_RATING\r\n    Trend linear regration rate:    0.00\r\n"
                             "    Not enough MOUNT_PORTS_RATING data for IPAddress = 10.0.0.7 frame = 1 drive = 3 \r\n"
                             "IPAddress: 10.0.0.7 Frame: 2 Drive: 12 \r\n\r\n"
                             "    MOUNT_DRIVE_RATING\r\n";
    const auto ranges = fieldLinkRanges(text, names);
    ASSERT_EQ(ranges.size(), 3u);
    EXPECT_EQ(text.substr(ranges[0].start, ranges[0].length), "MOUNT_DRIVE_RATING");
    EXPECT_EQ(text.substr(ranges[2].start, ranges[2].length), "MOUNT_PORTS_RATING");

    const std::size_t second = ranges[1].start + 3;
    EXPECT_EQ(fieldAt(text, second, names), "MOUNT_DRIVE_RATING");
    EXPECT_EQ(fieldAt(text, 2, names), std::nullopt);
    const auto subject = contextAbove(text, second);
    ASSERT_TRUE(subject.has_value());
    EXPECT_EQ(subject->frame, 2);
    EXPECT_EQ(subject->drive, 12);
    const auto first = contextAbove(text, ranges[2].start);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->ipAddress, "10.0.0.7");
    EXPECT_EQ(first->drive, 3);
    EXPECT_FALSE(contextAbove(text, 5).has_value()) << "nothing above the first section";

    // The cartridge list block ("IPAddress = ...") is no section header.
    const std::string cartridges = "IPAddress = 1.2.3.4 volser = AAA001\r\nIPAddress = 1.2.3.4 volser = AAA002\r\n\r\n"
                                   "IPAddress: 1.2.3.4 Volser: AAA002 \r\n\r\n    MOUNT_MEDIA_RATING\r\n";
    const auto cartridge = contextAbove(cartridges, cartridges.size() - 4);
    ASSERT_TRUE(cartridge.has_value());
    EXPECT_TRUE(cartridge->cartridge);
    EXPECT_EQ(cartridge->volser, "AAA002");
    EXPECT_EQ(healthContextLine(*cartridge), "IPAddress: 1.2.3.4 Volser: AAA002 \r\n");
    EXPECT_FALSE(contextAbove(cartridges, 10).has_value());
    EXPECT_FALSE(contextAbove("IPAddress: 1.2.3.4 Frame: x Drive: 1 \r\n  F", 40).has_value());
}
