#include "ScopedApp.h"
#include "db/Dialect.h"
#include "db/InsertLP.h"
#include "db/InsertMR.h"
#include "db/InsertRow.h"
#include "db/Tables.h"
#include "db/qmxDB.h"
#include "library/LibraryFileText.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {
using Rows = std::vector<std::vector<std::optional<std::string>>>;

// Fields 1 to 36 of a mount history line as the library writes it.
std::vector<std::string> mountFields(const std::string& stamp = "2009  04  28  15.46",
                                     const std::string& volser = "ABC123")
{
    std::vector<std::string> fields{stamp, volser, "1", "2", "LIB1", "257", "0", "0"};
    for (int counter = 9; counter <= 36; ++counter)
        fields.push_back(std::to_string(counter % 2 == 0 ? counter : 1));
    return fields;
}

// The line as InsertMR receives it: the caller has appended the final comma.
std::string mountLine(const std::vector<std::string>& fields)
{
    std::string line;
    for (const std::string& field : fields)
        line += field + ",";
    return line;
}

const std::string PerformanceLine = "2009 04 28 15: 46,LIB1,120,60,42,30,12,3,20,9,7";

class Insert : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        if (IsSkipped())
            return;
        m_base = uniqueTableName("insert");
        scoped.useBackend(GetParam(), m_base);
        ASSERT_EQ(createTables(m_base, "DEFAULT", GetParam().dsn, GetParam().user, GetParam().password), 1);
        ASSERT_TRUE(db.connectDB(GetParam().dsn, GetParam().user, GetParam().password, handles, Diagnostics::ShowUser));
    }
    void TearDown() override
    {
        if (m_base.empty())
            return;
        db.disconnectDB(handles);
        dropTables(m_base, GetParam().dsn, GetParam().user, GetParam().password, nullptr);
    }

    std::string mountTable() const { return tableNameFor(TableKind::MountHistory, m_base); }
    std::string performanceTable() const { return tableNameFor(TableKind::LibraryPerformance, m_base); }
    int insertMount(const std::vector<std::string>& fields, const std::string& address = "10.0.0.1")
    {
        return InsertMR(mountLine(fields), mountTable(), address, handles.statement);
    }
    Rows mountRows(const std::string& columns)
    {
        return querySql(GetParam(), "select " + columns + " from " + mountTable() + " order by volser");
    }

    ScopedApp scoped;
    qmxDB db;
    OdbcHandles handles;
    std::string m_base;
};
} // namespace

TEST_P(Insert, MountHistoryDuplicatesKeyOnAddressVolserDateAndTime)
{
    EXPECT_EQ(insertMount(mountFields()), 1);
    EXPECT_EQ(insertMount(mountFields()), 2);
    // Only a counter differs: the same mount, nothing stored a second time.
    std::vector<std::string> counterChanged = mountFields();
    counterChanged[20] = "99";
    EXPECT_EQ(insertMount(counterChanged), 2);
    EXPECT_EQ(countRows(GetParam(), mountTable()), 1);

    // Any key column that differs makes a new row.
    EXPECT_EQ(insertMount(mountFields(), "10.0.0.2"), 1);
    EXPECT_EQ(insertMount(mountFields("2009  04  28  15.47")), 1);
    EXPECT_EQ(insertMount(mountFields("2009  04  29  15.46")), 1);
    EXPECT_EQ(insertMount(mountFields("2009  04  28  15.46", "ABC124")), 1);
    EXPECT_EQ(countRows(GetParam(), mountTable()), 5);

    // Stored as a real date and a time with seconds, so reports compare them as such.
    const Rows stored =
        querySql(GetParam(), "select date, time, mount_rating_drive from " + mountTable()
                                 + " where ipaddress = '10.0.0.1' and volser = 'ABC123' and time = '15:46:00'");
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0][1], "15:46:00");
    EXPECT_EQ(stored[0][2], "18");
    // The statement is always logged; a duplicate is not an error.
    const std::string log = scoped.logText();
    EXPECT_NE(log.find("INSERT INTO " + mountTable()
                       + " VALUES ('10.0.0.1', '2009-04-28', '15:46:00', 'ABC123', 1, 2, "
                         "'LIB1', 257, 0, 0, 1, 10, 1, 12"),
              std::string::npos);
    EXPECT_EQ(log.find("Error"), std::string::npos) << log;
    EXPECT_TRUE(scoped.prompts.messages().empty());
}

TEST_P(Insert, MountHistoryFieldValuesAsStored)
{
    std::vector<std::string> fields = mountFields();
    fields[5] = " "; // no element address
    fields[1] = "AB_123";
    fields[4] = "LIB_ONE";
    EXPECT_EQ(InsertMR(libraryFileText(mountLine(fields)), mountTable(), "10.0.0.1", handles.statement), 1);

    // A quote in a volser, a logical library or the address is data, not SQL.
    fields = mountFields("2009  04  28  15.46", "O'B1");
    fields[4] = "L'1";
    EXPECT_EQ(insertMount(fields, "lib'x"), 1);
    EXPECT_EQ(insertMount(fields, "lib'x"), 2);

    const Rows rows = mountRows("ipaddress, volser, logical_library, element_address, reserved1");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::optional<std::string>>{"10.0.0.1", "AB123", "LIBONE", std::nullopt, "0"}));
    EXPECT_EQ(rows[1], (std::vector<std::optional<std::string>>{"lib'x", "O'B1", "L'1", "257", "0"}));

    // A line without a volser still finds itself.
    fields = mountFields("2009  04  28  16.00", " ");
    EXPECT_EQ(insertMount(fields), 1);
    EXPECT_EQ(insertMount(fields), 2);
    EXPECT_EQ(countRows(GetParam(), mountTable()), 3);
}

TEST_P(Insert, MountHistoryLinesThatCannotBeStored)
{
    // Single blanks between year, month and day give no date.
    EXPECT_EQ(insertMount(mountFields("2009 04 28 15.46")), 0);
    // Two blanks are an empty value, not a missing one.
    std::vector<std::string> fields = mountFields();
    fields[10] = "  ";
    EXPECT_EQ(insertMount(fields), 0);
    fields = mountFields();
    fields.pop_back();
    EXPECT_EQ(insertMount(fields), 0);
    EXPECT_EQ(countRows(GetParam(), mountTable()), 0);
    const std::string log = scoped.logText();
    EXPECT_NE(
        log.find("Line not inserted, its time stamp gives no valid date (2009042815.46--): 2009 04 28 15.46,ABC123"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("Line not inserted, field 11 is not a number ()"), std::string::npos);
    EXPECT_NE(log.find("Line not inserted, it has 35 fields, not 36"), std::string::npos);

    // A table that is not there: the duplicate check fails and says so.
    EXPECT_EQ(InsertMR(mountLine(mountFields()), "no_such_vaultline_table", "10.0.0.1", handles.statement), 0);
    const std::string failed = scoped.logText();
    EXPECT_TRUE(failed.find("Error preparing: SELECT * FROM no_such_vaultline_table where") != std::string::npos
                || failed.find("Error executing select statement:\nSELECT * FROM no_such_vaultline_table where")
                       != std::string::npos)
        << failed;
}

TEST_P(Insert, UniqueKeyRefusalCountsAsDuplicate)
{
    // Another monitor stored the line between our check and our insert: the unique key refuses it.
    std::string text = mountLine(mountFields());
    text.pop_back();
    const MountHistoryLine line = MountHistoryLine::parse(text);
    const std::string insert = mountHistoryInsertStatement(line, mountTable(), "10.0.0.1", Dialect(2));
    EXPECT_EQ(runInsertStatement(insert, handles.statement), 1);
    EXPECT_EQ(runInsertStatement(insert, handles.statement), 2) << scoped.logText();
    EXPECT_EQ(countRows(GetParam(), mountTable()), 1);
    EXPECT_EQ(scoped.logText().find("Error executing insert statment"), std::string::npos);

    // A statement that fails for any other reason is a failure, logged without message boxes.
    std::string tooMany = insert;
    tooMany.insert(tooMany.rfind(')'), ", 37");
    EXPECT_EQ(runInsertStatement(tooMany, handles.statement), 0);
    EXPECT_EQ(runInsertStatement("INSERT INTO no_such_vaultline_table VALUES (1) ", handles.statement), 0);
    const std::string log = scoped.logText();
    EXPECT_TRUE(log.find("Error preparing the insert statement ") != std::string::npos
                || log.find("Error executing insert statment: INSERT INTO no_such_vaultline_table")
                       != std::string::npos)
        << log;
    EXPECT_TRUE(scoped.prompts.messages().empty());
}

TEST_P(Insert, RacingMonitorsStoreEachLineOnce)
{
    constexpr int Lines = 20;
    std::vector<std::string> lines;
    for (int minute = 0; minute < Lines; ++minute)
        lines.push_back(mountLine(mountFields("2009  04  28  10." + std::to_string(10 + minute))));
    std::vector<int> results[2];
    auto monitor = [&](int which) {
        qmxDB own;
        OdbcHandles ownHandles;
        if (!own.connectDB(GetParam().dsn, GetParam().user, GetParam().password, ownHandles, Diagnostics::ShowUser))
            return;
        for (const std::string& line : lines)
            results[which].push_back(InsertMR(line, mountTable(), "10.0.0.9", ownHandles.statement));
        own.disconnectDB(ownHandles);
    };
    std::thread first(monitor, 0), second(monitor, 1);
    first.join();
    second.join();
    ASSERT_EQ(results[0].size(), static_cast<std::size_t>(Lines));
    ASSERT_EQ(results[1].size(), static_cast<std::size_t>(Lines));
    for (int i = 0; i < Lines; ++i) {
        const int a = results[0][i], b = results[1][i];
        EXPECT_TRUE((a == 1 && b == 2) || (a == 2 && b == 1)) << "line " << i << ": " << a << " and " << b;
    }
    EXPECT_EQ(countRows(GetParam(), mountTable()), Lines);
}

TEST_P(Insert, LibraryPerformanceLines)
{
    EXPECT_EQ(db.InsertLP(PerformanceLine, performanceTable(), "10.0.0.1", handles.statement), 1);
    EXPECT_EQ(db.InsertLP(PerformanceLine, performanceTable(), "10.0.0.1", handles.statement), 2);
    EXPECT_EQ(db.InsertLP("2009 04 28 15:46,LIB1,999,60,42,30,12,3,20,9,7", performanceTable(), "10.0.0.1",
                          handles.statement),
              2);
    EXPECT_EQ(db.InsertLP("2009 04 28 15:46,L'2,1,2,3,4,5,6,7,8,9", performanceTable(), "10.0.0.1", handles.statement),
              1);
    const Rows rows = querySql(GetParam(), "select time, logical_library, inserts_total from " + performanceTable()
                                               + " order by logical_library");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::optional<std::string>>{"15:46:00", "L'2", "9"}));
    EXPECT_EQ(rows[1], (std::vector<std::optional<std::string>>{"15:46:00", "LIB1", "7"}));

    // An empty counter fails; a line with fewer than two fields never reaches the database.
    EXPECT_EQ(
        db.InsertLP("2009 04 28 16:46,LIB1,120,,42,30,12,3,20,9,7", performanceTable(), "10.0.0.1", handles.statement),
        0);
    EXPECT_EQ(db.InsertLP("2009 04 28 16:46", "no_such_vaultline_table", "10.0.0.1", handles.statement), 0);
    EXPECT_EQ(countRows(GetParam(), performanceTable()), 2);
    const std::string log = scoped.logText();
    EXPECT_EQ(log.find("no_such_vaultline_table where"), std::string::npos) << log;
    EXPECT_NE(log.find("Line not inserted, it has 1 fields, not 11: 2009 04 28 16:46"), std::string::npos);
    // Library performance statements are not logged.
    EXPECT_EQ(log.find("INSERT INTO"), std::string::npos);
    EXPECT_TRUE(scoped.prompts.messages().empty());
}

TEST_P(Insert, WholeFilesLineByLine)
{
    // What an import or a monitor cycle does with a file's text.
    // The file's lines have no appended comma; the last has no line end either.
    std::string firstLine = mountLine(mountFields());
    firstLine.pop_back();
    std::string lastLine = mountLine(mountFields("2009  04  28  17.00", "XY_999"));
    lastLine.pop_back();
    const std::string mountFile = "h1\nh2\nh3\nh4\nh5\n" + firstLine + "\n\n" + lastLine;
    int inserted = 0;
    for (const std::string& line : mountHistoryDataLines(libraryFileText(mountFile)))
        inserted += InsertMR(line + ",", mountTable(), "10.0.0.1", handles.statement) == 1 ? 1 : 0;
    EXPECT_EQ(inserted, 2) << scoped.logText();
    EXPECT_EQ(mountRows("volser").back(), (std::vector<std::optional<std::string>>{"XY999"}));

    const std::string performanceHeader = "h1\nh2\nh3\nh4\nh5\nh6\n";
    EXPECT_TRUE(libraryPerformanceDataLines(performanceHeader).empty());
    int performance = 0;
    for (const std::string& line : libraryPerformanceDataLines(performanceHeader + " \n" + PerformanceLine + "\r\n"))
        performance += db.InsertLP(line, performanceTable(), "10.0.0.1", handles.statement);
    EXPECT_EQ(performance, 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, Insert, ::testing::ValuesIn(testBackends()), BackendName());

TEST(InsertStatements, OracleTextsExactly)
{
    const Dialect oracle(1);
    std::vector<std::string> fields = mountFields();
    fields[5] = "\t";
    std::string withMissing = mountLine(fields);
    withMissing.pop_back();

    const MountHistoryLine mount = MountHistoryLine::parse(withMissing);
    // The time column holds a full time stamp whose date part TO_DATE took from the month of the
    // insert: compared as TO_DATE text, every line would be new again after a month change.
    // Only the time of day is compared, as text with seconds on both sides.
    EXPECT_EQ(mountHistoryDuplicateCheck(mount, "10.0.0.1", oracle),
              "where ((ipaddress in ('10.0.0.1')) AND (volser in ('ABC123')) AND (TO_CHAR(time,'hh24:mi:ss') in "
              "('15:46:00')) AND (dates in (TO_DATE('2009-04-28','yyyy-mm-dd'))))");
    EXPECT_EQ(
        mountHistoryInsertStatement(mount, "MH", "10.0.0.1", oracle),
        "INSERT INTO MH VALUES ('10.0.0.1', TO_DATE('2009-04-28','yyyy-mm-dd'), TO_DATE('15:46','hh24:mi:ss'), "
        "'ABC123', 1, 2, 'LIB1', null, 0, 0, 1, 10, 1, 12, 1, 14, 1, 16, 1, 18, 1, 20, 1, 22, 1, 24, 1, 26, 1, 28, "
        "1, 30, 1, 32, 1, 34, 1, 36) ");

    const LibraryPerformanceLine performance = LibraryPerformanceLine::parse(PerformanceLine);
    EXPECT_EQ(libraryPerformanceDuplicateCheck(performance, "10.0.0.1", oracle),
              "where ((ipaddress in ('10.0.0.1')) AND (Logical_Library in ('LIB1')) AND (TO_CHAR(time,'hh24:mi:ss') "
              "in ('15:46:00')) AND (dates in (TO_DATE('2009-04-28','yyyy-mm-dd'))))");
    const LibraryPerformanceLine early = LibraryPerformanceLine::parse("2009 04 28 9: 05,LIB1,1,2,3,4,5,6,7,8,9");
    EXPECT_NE(libraryPerformanceDuplicateCheck(early, "10.0.0.1", oracle)
                  .find("(TO_CHAR(time,'hh24:mi:ss') in ('09:05:00'))"),
              std::string::npos);
    EXPECT_EQ(libraryPerformanceInsertStatement(performance, "LP", "10.0.0.1", oracle),
              "INSERT INTO LP VALUES ('10.0.0.1', TO_DATE('2009-04-28','yyyy-mm-dd'), "
              "TO_DATE('15:46:00','hh24:mi:ss'), 'LIB1', 120, 60, 42, 30, 12, 3, 20, 9, 7) ");
}

TEST(InsertStatements, DerbyTextsCarrySecondsAndDoubledQuotes)
{
    const Dialect derby(2);
    const MountHistoryLine mount = MountHistoryLine::parse("2009  4  28  9.05,O'B1,1,2,L'1,257,0,0");
    EXPECT_EQ(mountHistoryDuplicateCheck(mount, "lib'x", derby),
              "where ((ipaddress in ('lib''x')) AND (volser in ('O''B1')) AND (time in ('09:05:00')) "
              "AND (date in ('2009-04-28')))");
    EXPECT_EQ(mountHistoryInsertStatement(mount, "MH", "lib'x", derby),
              "INSERT INTO MH VALUES ('lib''x', '2009-04-28', '09:05:00', 'O''B1', 1, 2, 'L''1', 257, 0, 0) ");
    const LibraryPerformanceLine performance = LibraryPerformanceLine::parse(PerformanceLine);
    EXPECT_EQ(libraryPerformanceDuplicateCheck(performance, "10.0.0.1", derby),
              "where ((ipaddress in ('10.0.0.1')) AND (Logical_Library in ('LIB1')) AND (time in ('15:46:00')) "
              "AND (date in ('2009-04-28')))");
    EXPECT_EQ(
        libraryPerformanceInsertStatement(performance, "LP", "10.0.0.1", derby),
        "INSERT INTO LP VALUES ('10.0.0.1', '2009-04-28', '15:46:00', 'LIB1', 120, 60, 42, 30, 12, 3, 20, 9, 7) ");
}

TEST(InsertRefusal, LinesThatCannotFitNeverReachTheDatabase)
{
    // No statement handle at all: a line that got as far as a statement would fail with a
    // driver error instead of the refusal's reason.
    ScopedApp scoped;
    std::string longLine = "2009 04 28 15:" + std::string(2 << 20, ' ') + "46,LIB1,1,2,3,4,5,6,7,8,9";
    EXPECT_EQ(qmxDB().InsertLP(longLine, "LP", "10.0.0.1", SQL_NULL_HSTMT), InsertFailed);
    EXPECT_EQ(InsertMR(std::string(70000, '7') + ",", "MH", "10.0.0.1", SQL_NULL_HSTMT), InsertFailed);
    std::vector<std::string> fields = mountFields();
    fields[20] = "0.5";
    EXPECT_EQ(InsertMR(mountLine(fields), "MH", "10.0.0.1", SQL_NULL_HSTMT), InsertFailed);

    const std::string log = scoped.logText();
    EXPECT_NE(log.find("Line not inserted, it is longer than 65536 characters: 2009 04 28 15:"), std::string::npos);
    EXPECT_NE(log.find("Line not inserted, it is longer than 65536 characters: 7777"), std::string::npos);
    EXPECT_NE(log.find("Line not inserted, field 21 is not a whole number"), std::string::npos);
    // Only the start of a long line is logged.
    EXPECT_LT(log.size(), 2000u);
    EXPECT_EQ(log.find("rror"), std::string::npos) << log;
}
