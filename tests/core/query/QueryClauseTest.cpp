#include "ScopedApp.h"
#include "query/QueryClause.h"
#include "query/QueryStatements.h"

#include <gtest/gtest.h>

namespace {
QueryDateTime moment(int year, int month, int day, int hour, int minute, int second)
{
    QueryDateTime value;
    value.year = year;
    value.month = month;
    value.day = day;
    value.hour = hour;
    value.minute = minute;
    value.second = second;
    return value;
}

QueryFormFields check(QueryFormFields fields, QueryRowId id, const std::string& comparison,
                      const std::string& value = "")
{
    fields.row(id) = {true, comparison, value};
    return fields;
}
} // namespace

TEST(QueryClause, NoCheckedRowGivesAnEmptyClause)
{
    ScopedApp scoped;
    QueryFormFields fields;
    // Values typed into unchecked rows do not count.
    fields.row(QueryRowId::Volser).value = "'JA%'";
    const GeneratedQuery query = BuildWhereClause(fields, Dialect(2));
    EXPECT_TRUE(query.mountHistory);
    EXPECT_EQ(query.whereClause, "");
    fields.table = "Library Performance";
    EXPECT_EQ(BuildWhereClause(fields, Dialect(1)).whereClause, "");
}

TEST(QueryClause, TextRowsAreWrittenAsTypedInRowOrder)
{
    ScopedApp scoped;
    QueryFormFields fields;
    // Checked in the opposite order to the one the clause uses.
    fields = check(fields, QueryRowId::Volser, "like", "'JA%'");
    fields = check(fields, QueryRowId::IpAddress, "=", "'1.2.3.4'");
    EXPECT_EQ(BuildWhereClause(fields, Dialect(2)).whereClause, "where ipaddress = '1.2.3.4' and volser like 'JA%' ");

    // No quoting, no escaping: the values are SQL fragments, "between" takes both bounds.
    fields = check(fields, QueryRowId::Frame, "between", "1 and 3");
    fields = check(fields, QueryRowId::Drive, "<>", "2");
    fields = check(fields, QueryRowId::LogicalLibrary, "like", "LL1");
    fields = check(fields, QueryRowId::ElementAddress, ">", "257");
    EXPECT_EQ(BuildWhereClause(fields, Dialect(2)).whereClause,
              "where ipaddress = '1.2.3.4' and volser like 'JA%' and frame between 1 and 3 and drive <> 2 and "
              "logical_library like LL1 and element_address > 257 ");

    EXPECT_EQ(FormatQueryValue("volser", "=", "O'Brien", true), "volser = O'Brien ");
}

TEST(QueryClause, DateAndTimeConditionsFollowTheDialect)
{
    ScopedApp scoped;
    QueryFormFields fields;
    fields.date = moment(2026, 12, 7, 23, 59, 58);
    fields.time = moment(2001, 2, 3, 13, 5, 0);

    QueryFormFields timeOnly = check(fields, QueryRowId::Time, ">=");
    EXPECT_EQ(BuildWhereClause(timeOnly, Dialect(2)).whereClause, "where time >= '13:05:00' ");
    EXPECT_EQ(BuildWhereClause(timeOnly, Dialect(1)).whereClause, "where time >= TO_DATE('13:05:00','hh24:mi:ss') ");

    QueryFormFields dateOnly = check(fields, QueryRowId::Date, "<=");
    EXPECT_EQ(BuildWhereClause(dateOnly, Dialect(1)).whereClause, "where dates <= TO_DATE('2026-12-07','yyyy-mm-dd') ");
    // Type 0 (setup never completed) writes the Derby / Nimbus form.
    EXPECT_EQ(BuildWhereClause(dateOnly, Dialect(0)).whereClause, "where date <= '2026-12-07' ");

    // Only the date part of the date picker and the time part of the time picker are used.
    QueryFormFields both = check(dateOnly, QueryRowId::Time, "=");
    EXPECT_EQ(BuildWhereClause(both, Dialect(2)).whereClause, "where date <= '2026-12-07' and time = '13:05:00' ");

    // Column names are compared ignoring case; single digits are written with two.
    EXPECT_EQ(FormatDateTimeCondition("=", "TIME", moment(2026, 1, 2, 3, 4, 5), Dialect(1)),
              "time = TO_DATE('03:04:05','hh24:mi:ss') ");
    EXPECT_EQ(FormatDateTimeCondition("=", "Date", moment(2026, 1, 2, 3, 4, 5), Dialect(2)), "date = '2026-01-02' ");
}

TEST(QueryClause, LibraryPerformanceLeavesOutTheMountHistoryRows)
{
    ScopedApp scoped;
    QueryFormFields fields;
    fields.time = moment(2026, 1, 1, 8, 0, 0);
    for (QueryRowId id : {QueryRowId::IpAddress, QueryRowId::Volser, QueryRowId::Frame, QueryRowId::Drive,
                          QueryRowId::LogicalLibrary, QueryRowId::ElementAddress, QueryRowId::Time})
        fields = check(fields, id, "=", "'x'");
    fields.table = "LIBRARY PERFORMANCE";
    GeneratedQuery query = BuildWhereClause(fields, Dialect(2));
    EXPECT_FALSE(query.mountHistory);
    EXPECT_EQ(query.whereClause, "where ipaddress = 'x' and time = '08:00:00' and logical_library = 'x' ");

    // Only the four mount history rows checked: nothing takes part.
    QueryFormFields onlyMountRows;
    onlyMountRows.table = "Library Performance";
    onlyMountRows = check(onlyMountRows, QueryRowId::Volser, "like", "'JA%'");
    EXPECT_EQ(BuildWhereClause(onlyMountRows, Dialect(2)).whereClause, "");

    // The table choice is compared ignoring case.
    fields.table = "mount history";
    EXPECT_TRUE(BuildWhereClause(fields, Dialect(2)).mountHistory);
    EXPECT_FALSE(rowTakesPart(QueryRowId::ElementAddress, false));
    EXPECT_TRUE(rowTakesPart(QueryRowId::LogicalLibrary, false));
}

TEST(QueryClause, TracesOnlyAboveDebugLevelOne)
{
    ScopedApp scoped;
    const QueryFormFields fields = check(QueryFormFields{}, QueryRowId::Frame, "=", "3");
    BuildWhereClause(fields, Dialect(2));
    EXPECT_EQ(scoped.logText().find("General Query"), std::string::npos);

    scoped.app().DebugLevel = 2;
    BuildWhereClause(fields, Dialect(2));
    const std::string log = scoped.logText();
    EXPECT_NE(log.find("Entering QueryForm::FormatQueryValue, with the values field: frame, value: =, "
                       "isString(BOOL): 0\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Exiting QueryForm::FormatQueryValue returning queryValue: frame = 3 \n"), std::string::npos);
    EXPECT_NE(log.find("General Query generated query: |where frame = 3 |\n"), std::string::npos);
}

TEST(QueryClause, FormRowsCarryTheirOperatorsAndHints)
{
    const auto& rows = queryFormRows();
    ASSERT_EQ(rows.size(), QueryRowCount);
    EXPECT_EQ(rows[0].operators, (std::vector<std::string>{"like", "=", "<>", ">", "<", "between"}));
    EXPECT_EQ(queryRowInfo(QueryRowId::Date).operators, (std::vector<std::string>{"=", ">=", "<="}));
    EXPECT_EQ(queryRowInfo(QueryRowId::ElementAddress).operators,
              (std::vector<std::string>{"=", "<>", ">", "<", "between"}));
    EXPECT_STREQ(queryRowInfo(QueryRowId::LogicalLibrary).hint, "Ex. 'LL1-1'");
    EXPECT_EQ(queryRowInfo(QueryRowId::Volser).valueKind, QueryValueKind::UpperCaseText);
}

TEST(QueryStatements, ColumnListsAndStatementsOfBothTables)
{
    const std::string where = "where volser like 'JA%' ";
    const QueryStatements derby = buildQueryStatements(true, "MH", where, Dialect(2));
    EXPECT_EQ(derby.columns.rfind("IPADDRESS , DATE , TIME , VOLSER , FRAME , DRIVE , LOGICAL_LIBRARY , ", 0), 0u);
    EXPECT_TRUE(derby.columns.ends_with("MOUNT_CAPACITY_CONTROL_UTIL , MOUNT_CRYPTO_STATUS , MOUNT_CRYPTO_REKEY"))
        << derby.columns;
    EXPECT_EQ(derby.select, "SELECT " + derby.columns + " FROM MH " + where
                                + " order by date desc, time desc, frame asc, drive asc, volser asc");
    EXPECT_EQ(derby.count, "SELECT COUNT(IPADDRESS) FROM MH where volser like 'JA%' ");

    // 35 columns, without the reserved fields.
    int items = 1;
    for (std::size_t at = derby.columns.find(" , "); at != std::string::npos; at = derby.columns.find(" , ", at + 1))
        ++items;
    EXPECT_EQ(items, 35);
    EXPECT_EQ(derby.columns.find("RESERVED"), std::string::npos);

    const QueryStatements oracle = buildQueryStatements(true, "MH", "", Dialect(1));
    EXPECT_EQ(oracle.columns.rfind("IPADDRESS , TO_CHAR(DATES,'yyyy-mm-dd') AS DATES, TO_CHAR(TIME,'hh24:mi:ss') AS "
                                   "TIME , VOLSER , FRAME , ",
                                   0),
              0u);
    EXPECT_EQ(oracle.select, "SELECT " + oracle.columns
                                 + " FROM MH  order by dates desc, time desc, frame asc, drive asc, volser asc");
    EXPECT_EQ(oracle.count, "SELECT COUNT(IPADDRESS) FROM MH ");

    EXPECT_EQ(buildQueryStatements(false, "MH_LP", "", Dialect(2)).select,
              "SELECT * FROM MH_LP  order by date desc, time desc, logical_library asc");
    EXPECT_EQ(buildQueryStatements(false, "MH_LP", where, Dialect(1)).select,
              "SELECT IPADDRESS, TO_CHAR(DATES,'yyyy-mm-dd') AS DATES, TO_CHAR(TIME,'hh24:mi:ss') AS TIME, "
              "LOGICAL_LIBRARY, RESIDENCY_MAX, RESIDENCY_AVG, MOUNTS_TOTAL, MOUNTS_MAX, MOUNTS_AVG, EJECTS_TOTAL, "
              "EJECTS_MAX, EJECTS_AVG, INSERTS_TOTAL FROM MH_LP where volser like 'JA%'  order by dates desc, "
              "time desc, logical_library asc");

    // No fixed buffer: a clause far past a kilobyte comes through whole.
    std::string longWhere = "where ipaddress in (";
    for (int i = 0; i < 400; ++i)
        longWhere += (i == 0 ? "'" : ", '") + std::to_string(i) + "'";
    longWhere += ") ";
    const QueryStatements longOne = buildQueryStatements(true, "MH", longWhere, Dialect(1));
    EXPECT_GT(longOne.select.size(), 3000u);
    EXPECT_NE(longOne.select.find(longWhere + " order by dates desc"), std::string::npos);
}

TEST(QueryClause, QueryButtonNeedsAConnectionAndUsesTheSettingsDialect)
{
    ScopedApp scoped;
    const QueryFormFields fields = check(QueryFormFields{}, QueryRowId::Date, "=");
    EXPECT_FALSE(GenerateQuery(fields).has_value());
    ASSERT_EQ(scoped.prompts.messages().size(), 1u);
    EXPECT_EQ(scoped.prompts.messages()[0].text, "ERROR: Not currently connected to database");
    EXPECT_EQ(scoped.prompts.messages()[0].icon, MessageIcon::Exclamation);

    scoped.app().connected = true;
    scoped.app().settings.DatabaseType = 1;
    const auto query = GenerateQuery(fields);
    ASSERT_TRUE(query.has_value());
    EXPECT_EQ(query->whereClause.rfind("where dates = TO_DATE('", 0), 0u) << query->whereClause;
    EXPECT_EQ(scoped.prompts.messages().size(), 1u);
}
