#include "ScopedApp.h"
#include "db/Dialect.h"

#include <gtest/gtest.h>

TEST(Dialect, DatabaseTypeOneIsOracleEveryOtherIsDerbyNimbus)
{
    EXPECT_TRUE(Dialect(1).isOracle());
    for (int type : {0, 2, 3, -1})
        EXPECT_FALSE(Dialect(type).isOracle()) << type;

    ScopedApp scoped;
    scoped.app().settings.DatabaseType = 1;
    EXPECT_EQ(Dialect::current().dateColumn(), "Dates");
    scoped.app().settings.DatabaseType = 0;
    EXPECT_EQ(Dialect::current().dateColumn(), "Date");
}

TEST(Dialect, OracleTexts)
{
    const Dialect oracle(1);
    EXPECT_EQ(oracle.timeColumn(), "Time");
    EXPECT_EQ(oracle.dateLiteral("2026-12-07"), "TO_DATE('2026-12-07','yyyy-mm-dd')");
    // Oracle reads "15:46" through the seconds pattern: the text goes in as given.
    EXPECT_EQ(oracle.timeLiteral("15:46"), "TO_DATE('15:46','hh24:mi:ss')");
    EXPECT_EQ(oracle.timeLiteral("15:46:00"), "TO_DATE('15:46:00','hh24:mi:ss')");
    EXPECT_EQ(oracle.dateSelectExpression(), "TO_CHAR(DATES,'yyyy-mm-dd') AS DATES");
    EXPECT_EQ(oracle.timeSelectExpression(), "TO_CHAR(TIME,'hh24:mi:ss') AS TIME");
    EXPECT_EQ(oracle.dateTimeOrderClause(), "order by dates asc, time asc");
    EXPECT_EQ(oracle.dateCondition("<=", "2026-12-07"), "dates <= TO_DATE('2026-12-07','yyyy-mm-dd') ");
    EXPECT_EQ(oracle.timeCondition(">=", "13:05:00"), "time >= TO_DATE('13:05:00','hh24:mi:ss') ");
    EXPECT_EQ(oracle.textType(15), "varchar2(15)");
    EXPECT_EQ(oracle.timeType(), "timestamp");
}

TEST(Dialect, DerbyNimbusTextsCarrySeconds)
{
    const Dialect derby(2);
    EXPECT_EQ(derby.dateLiteral("2026-12-07"), "'2026-12-07'");
    EXPECT_EQ(derby.timeLiteral("15:46"), "'15:46:00'");
    EXPECT_EQ(derby.timeLiteral("15:46:07"), "'15:46:07'");
    EXPECT_EQ(derby.dateSelectExpression(), "DATE");
    EXPECT_EQ(derby.timeSelectExpression(), "TIME");
    EXPECT_EQ(derby.dateTimeOrderClause(), "order by date asc, time asc");
    EXPECT_EQ(derby.dateCondition("=", "2026-12-07"), "date = '2026-12-07' ");
    EXPECT_EQ(derby.timeCondition(">=", "13:05"), "time >= '13:05:00' ");
    EXPECT_EQ(derby.textType(512), "varchar(512)");
    EXPECT_EQ(derby.smallIntegerType(), "smallint");
}

TEST(Dialect, QuotesAreDoubledInEveryLiteral)
{
    EXPECT_EQ(escapeQuotes("O'Brien's"), "O''Brien''s");
    EXPECT_EQ(escapeQuotes("''"), "''''");
    EXPECT_EQ(escapeQuotes(""), "");
    EXPECT_EQ(quoteLiteral("LL1'; drop table x; --"), "'LL1''; drop table x; --'");
    EXPECT_EQ(quoteLiteral(""), "''");
    // A broken value must not open the statement to whatever follows it.
    EXPECT_EQ(Dialect(2).dateLiteral("2026'-1"), "'2026''-1'");
    EXPECT_EQ(Dialect(1).timeLiteral("1'2"), "TO_DATE('1''2','hh24:mi:ss')");
}

TEST(Dialect, NormalisingTouchesOnlyWellShapedTexts)
{
    EXPECT_EQ(normalisedTime("15:46"), "15:46:00");
    EXPECT_EQ(normalisedTime("9:5"), "09:05:00");
    EXPECT_EQ(normalisedTime("09:05:07"), "09:05:07");
    EXPECT_EQ(normalisedTime("9:05:7"), "09:05:07");
    for (const char* odd : {"", "15", "15:", ":46", "15:46:00:00", "15:466", "1a:00", "15:46:00.5", " 15:46"})
        EXPECT_EQ(normalisedTime(odd), odd) << odd;

    EXPECT_EQ(normalisedDate("2026-1-5"), "2026-01-05");
    EXPECT_EQ(normalisedDate("2026-12-07"), "2026-12-07");
    for (const char* odd : {"", "26-1-5", "2026-12", "2026-123-01", "2026/12/07", "2026-12-07 10:00"})
        EXPECT_EQ(normalisedDate(odd), odd) << odd;
}

namespace {
class DialectOnDatabase : public BackendTest {
protected:
    ScopedApp scoped;
};
} // namespace

TEST_P(DialectOnDatabase, LiteralsConditionsAndOrderWorkOnTheServer)
{
    // Times written without seconds must still sort and compare against bounds with seconds,
    // and the select-list expressions must read back on a server that keeps real types.
    const Dialect derby(2);
    const std::string table = uniqueTableName("dialect");
    ASSERT_TRUE(executeSql(GetParam(), "CREATE TABLE " + table + " (ipAddress varchar(15), Date date, Time time)"));
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"2026-12-07", "9:05"}, {"2026-12-07", "13:05"}, {"2026-12-07", "13:04:59"}, {"2026-1-5", "23:00"}};
    for (const auto& [date, time] : rows)
        ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + table + " VALUES (" + quoteLiteral("10.0.0.1") + ", "
                                               + derby.dateLiteral(date) + ", " + derby.timeLiteral(time) + ")"));

    const auto selected =
        querySql(GetParam(), "SELECT " + derby.dateSelectExpression() + ", " + derby.timeSelectExpression() + " FROM "
                                 + table + " where " + derby.timeCondition(">=", "09:05:00") + "and "
                                 + derby.dateCondition(">=", "2026-01-05") + derby.dateTimeOrderClause());
    ASSERT_EQ(selected.size(), 4u);
    std::vector<std::string> seen;
    for (const auto& row : selected)
        seen.push_back(row.at(0).value_or("?") + " " + row.at(1).value_or("?"));
    EXPECT_EQ(seen, (std::vector<std::string>{"2026-01-05 23:00:00", "2026-12-07 09:05:00", "2026-12-07 13:04:59",
                                              "2026-12-07 13:05:00"}));

    const auto later =
        querySql(GetParam(), "SELECT ipAddress FROM " + table + " where " + derby.timeCondition(">", "13:04:59")
                                 + "and ipAddress = " + quoteLiteral("10.0.0.1"));
    EXPECT_EQ(later.size(), 2u) << "13:05 and 23:00 lie after 13:04:59";

    // A quoted value with a quote in it is stored as typed.
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + table + " VALUES (" + quoteLiteral("it's") + ", NULL, NULL)"));
    EXPECT_EQ(countRows(GetParam(), table + " where ipAddress = " + quoteLiteral("it's")), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, DialectOnDatabase, ::testing::ValuesIn(testBackends()), BackendName());
