#include "CustomTestChoices.h"
#include "ScopedApp.h"
#include "custom/CustomReportData.h"
#include "custom/CustomStatements.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {
const char* const Derby = "where ipaddress = '10.0.0.7' and date >= '2008-03-15' and ";
const char* const Oracle = "where ipaddress = '10.0.0.7' and dates >= TO_DATE('2008-03-15','yyyy-mm-dd') and ";
const char* const OracleDates = "TO_CHAR(DATES,'yyyy-mm-dd') AS DATES, TO_CHAR(TIME,'hh24:mi:ss') AS TIME";

CustomReportPlan plan(const std::string& dataType, std::vector<std::string> items, int databaseType = 2,
                      const std::string& rate = "", std::vector<std::string> codes = {})
{
    const CustomReportChoices choices =
        customTestChoices(dataType, std::move(items), localTime(2008, 3, 15, 12, 0, 0), rate, std::move(codes));
    return planCustomReport(buildCustomReportRequest(choices, "dsn", "user", "", "VAULTLINE", databaseType, 1));
}

std::vector<std::string> sqlOf(const CustomReportPlan& plan)
{
    std::vector<std::string> texts;
    for (const auto& statement : plan.statements)
        texts.push_back(statement.sql);
    return texts;
}
} // namespace

TEST(CustomStatementsTest, HostFieldsReadTheirMountColumnOnDrivesVolsersAndLogicalLibraries)
{
    // Column names come back lower case from PostgreSQL: the field is the same field.
    const CustomReportPlan trend = plan("Mount History: host_write (Drive / Volser)", {"Frame: 1  Drive: 2"});
    EXPECT_EQ(trend.column, "MOUNT_HOST_WRITE");
    EXPECT_EQ(sqlOf(trend), std::vector<std::string>{std::string("SELECT MOUNT_HOST_WRITE, DATE, TIME FROM VAULTLINE ")
                                                     + Derby + "frame = 1 and drive = 2 order by date asc, time asc"});
    EXPECT_EQ(trend.valueLabel, "HOST_WRITE(MBs)");
    EXPECT_EQ(trend.subtitle, " on Frame:1 Drive:2");

    const CustomReportPlan oracle =
        plan("Mount History: HOST_WRITE (Drive / Volser)", {"Frame: 1  Drive: 2"}, 1, "Per Second (while Mounted)");
    EXPECT_EQ(sqlOf(oracle), std::vector<std::string>{std::string("SELECT MOUNT_HOST_WRITE, MOUNT_DRIVE_RESIDENCY,")
                                                      + OracleDates + " FROM VAULTLINE " + Oracle
                                                      + "frame = 1 and drive = 2 order by dates asc, time asc"});
    EXPECT_EQ(oracle.valueLabel, "HOST_WRITE(MBs) Per Second");

    const CustomReportPlan perMount =
        plan("Mount History: HOST_WRITE (Drive / Volser)", {"Frame: 1  Drive: 2", "O'B"}, 2, "Per Mount");
    EXPECT_EQ(sqlOf(perMount),
              (std::vector<std::string>{std::string("SELECT MOUNT_HOST_WRITE, LIFE_MOUNTS_MEDIA FROM VAULTLINE ")
                                            + Derby + "frame = 1 and drive = 2 order by date asc, time asc",
                                        std::string("SELECT MOUNT_HOST_WRITE, LIFE_MOUNTS_MEDIA FROM VAULTLINE ")
                                            + Derby + "volser = 'O''B' order by date asc, time asc"}));
    EXPECT_EQ(perMount.valueLabel, "HOST_WRITE(MBs) Per Mount");
    EXPECT_EQ(perMount.statements[0].firstLabel, "Fr1:Drv2");

    const CustomReportPlan library = plan("Mount History: HOST_READ (Library)", {"LL1", "**ALL**"});
    EXPECT_EQ(library.table, "VAULTLINE");
    EXPECT_EQ(sqlOf(library),
              (std::vector<std::string>{
                  std::string("SELECT SUM(MOUNT_HOST_READ) FROM VAULTLINE ") + Derby + "logical_library = 'LL1'",
                  std::string("SELECT SUM(MOUNT_HOST_READ) FROM VAULTLINE ") + Derby + "logical_library <> ''"}));
    EXPECT_EQ(library.subtitle, " since 03-15-2008");
    EXPECT_EQ(sqlOf(plan("Mount History: HOST_READ (Library)", {"**ALL**"}, 1)),
              std::vector<std::string>{std::string("SELECT MOUNT_HOST_READ, ") + OracleDates + " FROM VAULTLINE "
                                       + Oracle + "logical_library <> '_' order by dates asc, time asc"});
}

TEST(CustomStatementsTest, LifetimeAndCountFieldsAndTheirLabels)
{
    const CustomReportPlan trend = plan("Mount History: WRITE_RETRIES_MEDIA", {"A00001"});
    EXPECT_EQ(sqlOf(trend),
              std::vector<std::string>{std::string("SELECT LIFE_WRITE_RETRIES_MEDIA, DATE, TIME FROM VAULTLINE ")
                                       + Derby + "volser ='A00001' order by date asc, time asc"});
    EXPECT_EQ(trend.valueLabel, "WRITE_RETRIES_MEDIA(count)");
    EXPECT_EQ(trend.subtitle, " on A00001");

    const CustomReportPlan rollup = plan("Mount History: WRITE_RETRIES_MEDIA", {"A00001", "A00002"}, 1);
    EXPECT_EQ(rollup.valueLabel, "WRITE_RETRIES(count)");
    ASSERT_EQ(rollup.statements.size(), 2U);
    EXPECT_EQ(rollup.statements[1].sql, std::string("SELECT LIFE_WRITE_RETRIES_MEDIA, ") + OracleDates
                                            + " FROM VAULTLINE " + Oracle
                                            + "volser ='A00002' order by dates asc, time asc");
    EXPECT_EQ(rollup.statements[1].rows, CustomRowsKind::RawRows);

    const CustomReportPlan mounts =
        plan("Mount History: LIFE_MOUNTS_MEDIA", {"Frame: 1  Drive: 2", "Frame: 1  Drive: 3"});
    EXPECT_EQ(mounts.valueLabel, "Mounts");
    EXPECT_EQ(mounts.statements[1].sql, std::string("SELECT LIFE_MOUNTS_MEDIA FROM VAULTLINE ") + Derby
                                            + "frame = 1 and drive = 3 order by date asc, time asc");
    EXPECT_EQ(plan("Mount History: LIFE_MOUNTS_MEDIA", {"A00001"}).valueLabel, "LIFE_MOUNTS_MEDIA(count)");

    // "MAX" is looked for before "MOUNTS".
    const CustomReportPlan performance = plan("Library Performance: MOUNTS_MAX", {"LL1"});
    EXPECT_EQ(performance.valueLabel, "MOUNTS_MAX(sec)");
    EXPECT_EQ(sqlOf(performance),
              std::vector<std::string>{std::string("SELECT MOUNTS_MAX, DATE, TIME FROM VAULTLINE_LP ") + Derby
                                       + "logical_library = 'LL1' order by date asc, time asc"});
    EXPECT_EQ(performance.subtitle, " on logical library LL1");
    EXPECT_EQ(plan("Library Performance: MOUNTS_TOTAL", {"**ALL**", "LL1"}).statements[0].sql,
              std::string("SELECT SUM(MOUNTS_TOTAL) FROM VAULTLINE_LP ") + Derby + "logical_library = '**ALL**'");
}

TEST(CustomStatementsTest, StarredRollupIsAnAverage)
{
    const CustomReportPlan rollup = plan("* Mount History: RATING_DRIVE", {"Frame: 1  Drive: 2", "B'1"});
    EXPECT_EQ(rollup.valueLabel, "RATING_DRIVE(1-255)");
    EXPECT_EQ(sqlOf(rollup),
              (std::vector<std::string>{
                  std::string("SELECT SUM(MOUNT_RATING_DRIVE), COUNT(MOUNT_RATING_DRIVE) FROM VAULTLINE ") + Derby
                      + "frame = 1 and drive = 2",
                  std::string("SELECT SUM(MOUNT_RATING_DRIVE), COUNT(MOUNT_RATING_DRIVE) FROM VAULTLINE ") + Derby
                      + "volser = 'B''1'"}));
    EXPECT_TRUE(rollup.statements[0].averaged);
}

TEST(CustomStatementsTest, TapeAlertCodesGiveOneStatementEachLowestFirst)
{
    const CustomReportPlan several = plan("Mount History: TAPEALERT_MEDIA", {"Frame: 1  Drive: 2", "A00001"}, 2, "",
                                          {"20:Clean now", "3:Hard error", "18:Directory corrupted in CM"});
    const std::string condition = "((frame = 1 and drive = 2) or volser in ('A00001'))";
    EXPECT_EQ(sqlOf(several), (std::vector<std::string>{
                                  std::string("SELECT MOUNT_TAPEALERT_MEDIA FROM VAULTLINE ") + Derby + " " + condition
                                      + " and MOUNT_TAPEALERT_MEDIA = 3 order by date asc, time asc",
                                  std::string("SELECT MOUNT_TAPEALERT_MEDIA FROM VAULTLINE ") + Derby + " " + condition
                                      + " and MOUNT_TAPEALERT_MEDIA = 18 order by date asc, time asc",
                                  std::string("SELECT MOUNT_TAPEALERT_MEDIA FROM VAULTLINE ") + Derby + " " + condition
                                      + " and MOUNT_TAPEALERT_MEDIA = 20 order by date asc, time asc"}));
    EXPECT_EQ(several.valueLabel, "TAPEALERT(count)");
    EXPECT_EQ(several.statements[1].firstLabel, "18:Direc");
    EXPECT_EQ(several.statements[1].secondLabel, "tory cor");
    EXPECT_EQ(several.statements[0].secondLabel, "rror");
    EXPECT_EQ(plan("Mount History: TAPEALERT_MEDIA", {"A1", "A2"}, 2, "", {"4:Media", "1:Read Warning"})
                  .statements[1]
                  .secondLabel,
              "");
    EXPECT_EQ(several.subtitle, " since 03-15-2008");

    EXPECT_EQ(plan("Mount History: TAPEALERT_MEDIA", {"A00001"}, 2, "", {"5:Read failure", "4:Media"}).subtitle,
              "on A00001");

    const CustomReportPlan one =
        plan("Mount History: TAPEALERT_MEDIA", {"Frame: 1  Drive: 2", "A'1"}, 1, "", {"5:Read failure"});
    EXPECT_EQ(one.valueLabel, "TAPEALERT 5:Read failure(count)");
    EXPECT_EQ(sqlOf(one),
              (std::vector<std::string>{
                  std::string("SELECT MOUNT_TAPEALERT_MEDIA FROM VAULTLINE ") + Oracle
                      + "MOUNT_TAPEALERT_MEDIA = 5 and frame = 1 and drive = 2 order by dates asc, time asc",
                  std::string("SELECT MOUNT_TAPEALERT_MEDIA FROM VAULTLINE ") + Oracle
                      + "MOUNT_TAPEALERT_MEDIA = 5 and volser = 'A''1' order by dates asc, time asc"}));

    EXPECT_TRUE(plan("Mount History: TAPEALERT_MEDIA", {"A00001"}, 2, "", {}).statements.empty())
        << "no code chosen: nothing runs";
}

TEST(CustomStatementsTest, UnitsAndParentheses)
{
    EXPECT_EQ(withoutParenthesis("Per Second (while Mounted)"), "Per Second");
    EXPECT_EQ(withoutParenthesis("RATING_DRIVE"), "RATING_DRIVE");
    EXPECT_EQ(customUnitOf("DRIVE_RESIDENCY"), "(min)");
    EXPECT_EQ(customUnitOf("RESIDENCY_AVG"), "(sec)");
    EXPECT_EQ(customUnitOf("INSERTS_TOTAL"), "(count)");
    EXPECT_EQ(customUnitOf("CRYPTO_STATUS"), "");
    EXPECT_EQ(customFieldOf("Library Performance: ejects_total"), "EJECTS_TOTAL");
}

TEST(CustomReportValuesTest, ResetCountersGiveNoIncreaseAndValuesStayInRange)
{
    // A lifetime counter that went down was reset (another cartridge under the volser): that
    // step adds nothing, rather than a wrapped-around four billion.
    const CustomReportPlan trendPlan = plan("Mount History: READ_PERMS_MEDIA", {"A00001"});
    CustomReportValues trend(trendPlan, 2);
    trend.beginStatement(trendPlan.statements.front());
    for (const char* value : {"10", "12", "3", "5"})
        trend.addRow(value, "", "2008-03-16", "10:00:00");
    trend.endStatement();
    EXPECT_EQ(trend.data().values, (std::vector<std::uint32_t>{2, 0, 2}));
    EXPECT_EQ(trend.data().secondLabels.front(), "08-03-16");

    const CustomReportPlan rollupPlan = plan("Mount History: READ_PERMS_MEDIA", {"A00001", "A00002"});
    CustomReportValues rollup(rollupPlan, 2);
    rollup.beginStatement(rollupPlan.statements.front());
    for (const char* value : {"10", "12", "3", "5"})
        rollup.addRow(value, "", "", "");
    rollup.endStatement();
    EXPECT_EQ(rollup.data().values, std::vector<std::uint32_t>{4});

    EXPECT_EQ(customValue(-5), 0U);
    EXPECT_EQ(customValue(customValueOf("99999999999999999999")), 4294967295U);
    EXPECT_EQ(customValueOf(" 42abc"), 42);
    EXPECT_EQ(customRowDate("2008-03-15", 1), "03-15-08");
    EXPECT_EQ(customRowDate("2008-03-15", 0), "2008-03-15");
}
