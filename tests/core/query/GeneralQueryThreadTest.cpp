#include "ScopedApp.h"
#include "db/Tables.h"
#include "query/GeneralQueryThread.h"
#include "query/QueryClause.h"
#include "query/QueryConnection.h"
#include "query/QueryExport.h"
#include "query/QueryListData.h"
#include "query/QueryResultSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace {
std::string upper(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

std::vector<std::string> titlesOf(const QueryListData& list)
{
    std::vector<std::string> titles;
    for (int column = 0; column < list.columnCount(); ++column)
        titles.push_back(upper(list.column(column).title));
    return titles;
}

int columnNamed(const QueryListData& list, const std::string& title)
{
    const auto titles = titlesOf(list);
    const auto found = std::find(titles.begin(), titles.end(), title);
    return found == titles.end() ? -1 : static_cast<int>(found - titles.begin());
}

// A sink that asks the worker to stop once the first batch has arrived.
class CancellingSink : public QueryListSink {
public:
    CancellingSink(QueryListData& list, GeneralQueryFlags& flags) : QueryListSink(list), m_flags(flags) {}
    void addRows(std::vector<std::vector<std::string>> rows) override
    {
        QueryListSink::addRows(std::move(rows));
        m_flags.cancelRequested = true;
    }

private:
    GeneralQueryFlags& m_flags;
};

class GeneralQuery : public BackendTablesTest {
protected:
    GeneralQuery() : BackendTablesTest("query") {}

    // count mount rows of one library, each its own volser, inserted many to a statement.
    void insertMounts(const std::string& address, int count)
    {
        for (int first = 0; first < count; first += 500) {
            std::string sql = "INSERT INTO " + base
                              + " (ipAddress, Date, Time, Volser, Frame, Drive, Logical_Library, Element_Address, "
                                "Mount_Host_Write) VALUES ";
            for (int i = first; i < std::min(count, first + 500); ++i) {
                const std::string volser = std::to_string(100000 + i).substr(1);
                sql += (i == first ? "" : ", ") + std::string("('") + address + "', '2026-12-07', '13:05:00', 'V"
                       + volser + "', " + std::to_string(i % 7) + ", " + std::to_string(i % 3) + ", 'LL1', "
                       + std::to_string(256 + i) + ", " + std::to_string(i) + ")";
            }
            ASSERT_TRUE(executeSql(GetParam(), sql));
        }
    }

    GeneralQueryOutcome run(const std::string& where, QueryListData& list, bool mountHistory = true)
    {
        QueryListSink sink(list);
        GeneralQueryFlags flags;
        const auto outcome = GeneralQueryThread(GeneralQueryRequest::fromSettings(mountHistory, where), sink, flags);
        EXPECT_EQ(sink.updateDepth(), 0) << "begin and end update stay balanced";
        restores = sink.buttonRestores();
        return outcome;
    }
    int restores = 0;
};
} // namespace

TEST_P(GeneralQuery, AsksBeforeReadingMoreThanTenThousandRows)
{
    insertMounts("10.0.0.1", 10000);
    insertMounts("10.0.0.2", 1);

    QueryListData exact;
    EXPECT_EQ(run("where ipaddress = '10.0.0.1' ", exact), GeneralQueryOutcome::Completed);
    EXPECT_TRUE(scoped.prompts.questions().empty()) << "10000 rows exactly do not ask";
    EXPECT_EQ(exact.rowCount(), 10000);
    EXPECT_EQ(restores, 1);

    QueryListData declined;
    scoped.prompts.yesNoReplies = {false};
    EXPECT_EQ(run("", declined), GeneralQueryOutcome::Declined);
    ASSERT_EQ(scoped.prompts.questions().size(), 1u);
    EXPECT_EQ(scoped.prompts.questions()[0],
              "Query has 10001 results and will take a large amount of memory and some time to process.\n\t\t\t"
              "Do you wish to continue?");
    EXPECT_EQ(scoped.prompts.questionCaptions(), std::vector<std::string>{"General SQL Query Warning"});
    EXPECT_EQ(declined.columnCount(), 0);
    EXPECT_EQ(restores, 1);

    QueryListData accepted;
    scoped.prompts.yesNoReplies = {true};
    EXPECT_EQ(run("", accepted), GeneralQueryOutcome::Completed);
    EXPECT_EQ(accepted.rowCount(), 10001);
    EXPECT_EQ(accepted.cell(10000, 0), "10001");
}

TEST_P(GeneralQuery, MountHistoryRowsWithNullsDatesAndNumericColumns)
{
    insertMounts("10.0.0.1", 3);
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base
                                           + " (ipAddress, Date, Time, Volser, Frame) VALUES "
                                             "('10.0.0.1', '2026-12-08', '08:00:00', 'NULL01', 4)"));
    scoped.app().settings.DateFormatCode = 1; // United States
    QueryListData list;
    ASSERT_EQ(run("where frame >= 0 ", list), GeneralQueryOutcome::Completed);

    const auto titles = titlesOf(list);
    ASSERT_EQ(titles.size(), 36u);
    EXPECT_EQ(std::vector<std::string>(titles.begin(), titles.begin() + 5),
              (std::vector<std::string>{"ROW", "IPADDRESS", "DATE", "TIME", "VOLSER"}));
    EXPECT_EQ(titles.back(), "MOUNT_CRYPTO_REKEY");
    EXPECT_TRUE(list.column(0).numeric);
    EXPECT_TRUE(list.column(columnNamed(list, "FRAME")).numeric);
    EXPECT_TRUE(list.column(columnNamed(list, "MOUNT_CRYPTO_STATUS")).numeric) << "smallint";
    EXPECT_FALSE(list.column(columnNamed(list, "VOLSER")).numeric);
    EXPECT_EQ(list.column(2).kind, QueryColumnKind::Date);
    EXPECT_EQ(list.column(3).kind, QueryColumnKind::Time);

    // Newest first; the date in the user's format.
    ASSERT_EQ(list.rowCount(), 4);
    EXPECT_EQ(list.cell(0, 0), "1");
    EXPECT_EQ(list.cell(0, 2), "12-08-2026");
    EXPECT_EQ(list.cell(0, 3), "08:00:00");
    const int hostWrite = columnNamed(list, "MOUNT_HOST_WRITE");
    EXPECT_EQ(list.cell(0, hostWrite), "") << "a NULL shows empty";
    EXPECT_EQ(list.cell(0, columnNamed(list, "DRIVE")), "");
    // Same date and time: frame ascending.
    EXPECT_EQ(list.cell(1, columnNamed(list, "FRAME")), "0");
    EXPECT_EQ(list.cell(3, columnNamed(list, "FRAME")), "2");

    // Export: the NULL as an empty field, a hidden column left out of every line.
    TemporaryFolder folder;
    list.setColumnHidden(hostWrite, true);
    const std::string path = folder.file("rows.csv");
    ASSERT_EQ(writeQueryExport(path, list), 0);
    const std::string text = readWholeFile(path);
    const std::string header = text.substr(0, text.find("\r\n"));
    EXPECT_EQ(upper(header).find("MOUNT_HOST_WRITE"), std::string::npos) << header;
    EXPECT_EQ(upper(header).rfind("ROW,IPADDRESS,DATE,TIME,VOLSER,FRAME,DRIVE,LOGICAL_LIBRARY,ELEMENT_ADDRESS,"
                                  "MOUNT_HOST_READ,",
                                  0),
              0u)
        << header;
    EXPECT_EQ(text.substr(header.size() + 2, 44), "1,10.0.0.1,12-08-2026,08:00:00,NULL01,4,,,,,") << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
}

TEST_P(GeneralQuery, LibraryPerformanceFindsItsDateColumnByName)
{
    const std::string lp = base + "_lp";
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + lp
                                           + " VALUES ('10.0.0.1', '2026-12-07', '15:00:00', 'LL2', "
                                             "86400, 600, 32767, 9, 4, 1, 1, 0, 2)"));
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + lp
                                           + " VALUES ('10.0.0.1', '2026-12-07', '15:00:00', 'LL1', "
                                             "1, 2, 3, 4, 5, 6, 7, 8, 9)"));
    scoped.app().settings.DateFormatCode = 3; // Europe
    QueryListData list;
    ASSERT_EQ(run("where logical_library like 'LL%' ", list, false), GeneralQueryOutcome::Completed);
    ASSERT_EQ(list.columnCount(), 14);
    EXPECT_EQ(titlesOf(list)[2], "DATE");
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.cell(0, 2), "07-12-2026");
    EXPECT_EQ(list.cell(0, 4), "LL1") << "logical library ascending within one date and time";
    EXPECT_EQ(list.cell(1, 7), "32767");
    EXPECT_TRUE(list.column(13).numeric);
}

TEST_P(GeneralQuery, ALongWhereClauseRunsWhole)
{
    insertMounts("10.0.0.1", 5);
    std::string where = "where volser in (";
    for (int i = 0; i < 300; ++i)
        where += (i == 0 ? "'" : ", '") + std::string("X") + std::to_string(i) + "'";
    where += ", 'V00003') and ipaddress = '10.0.0.1' ";
    ASSERT_GT(where.size(), 2048u);
    QueryListData list;
    ASSERT_EQ(run(where, list), GeneralQueryOutcome::Completed);
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.cell(0, 4), "V00003");
}

TEST_P(GeneralQuery, FailuresAreLoggedAndRestoreTheButtons)
{
    // The database rejects the typed value: the count statement fails.
    QueryListData list;
    EXPECT_EQ(run("where frame = = 3 ", list), GeneralQueryOutcome::Failed);
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(list.columnCount(), 0);
    const std::string log = scoped.logText();
    EXPECT_NE(
        log.find("Error executing select statement:\nSELECT COUNT(IPADDRESS) FROM " + base + " where frame = = 3 "),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("Number of Diagnostic Records: "), std::string::npos);
    // The syntax error is explained, with the database's own words after it: never an empty list alone.
    ASSERT_EQ(scoped.prompts.messages().size(), 1u);
    EXPECT_EQ(scoped.prompts.messages()[0].text.rfind("The database could not read the statement", 0), 0u)
        << scoped.prompts.messages()[0].text;
    EXPECT_NE(scoped.prompts.messages()[0].text.find("syntax error"), std::string::npos) << "with the driver's message";
    EXPECT_EQ(scoped.prompts.messages()[0].icon, MessageIcon::Stop);

    // A value with its closing quote missing: the same.
    EXPECT_EQ(run("where volser = 'V00001 ", list), GeneralQueryOutcome::Failed);
    EXPECT_EQ(scoped.prompts.messages().size(), 2u);

    // A data source that does not exist: nothing is read, the buttons come back.
    scoped.app().settings.databaseName = "VaultlineNoSuchSource";
    EXPECT_EQ(run("", list), GeneralQueryOutcome::Failed);
    EXPECT_EQ(restores, 1);
    EXPECT_NE(scoped.logText().find("Error connecting to Data Source Name VaultlineNoSuchSource"), std::string::npos);
}

TEST_P(GeneralQuery, CancelStopsBetweenRowsWithoutTouchingTheButtons)
{
    insertMounts("10.0.0.1", 2500);
    QueryListData list;
    GeneralQueryFlags flags;
    CancellingSink sink(list, flags);
    EXPECT_EQ(GeneralQueryThread(GeneralQueryRequest::fromSettings(true, ""), sink, flags),
              GeneralQueryOutcome::Cancelled);
    EXPECT_EQ(list.rowCount(), static_cast<int>(QueryRowBatch)) << "no row after the one the flag was seen at";
    EXPECT_EQ(sink.buttonRestores(), 0) << "Cancel restores the buttons itself";
    EXPECT_EQ(sink.updateDepth(), 0);

    // Already cancelled, or the window already closing: nothing is done at all.
    QueryListData untouched;
    QueryListSink quiet(untouched);
    GeneralQueryFlags closing;
    closing.windowClosing = true;
    EXPECT_EQ(GeneralQueryThread(GeneralQueryRequest::fromSettings(true, ""), quiet, closing),
              GeneralQueryOutcome::Cancelled);
    EXPECT_EQ(untouched.columnCount(), 0);
    EXPECT_EQ(quiet.buttonRestores(), 0);
}

TEST_P(GeneralQuery, FieldsCannotChangeDataOrLoadCode)
{
    insertMounts("10.0.0.1", 3);
    const std::string lp = base + "_lp";
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + lp
                                           + " VALUES ('10.0.0.1', '2026-12-07', '15:00:00', 'LL2', "
                                             "1, 2, 3, 4, 5, 6, 7, 8, 9)"));
    const Dialect dialect(2);
    QueryFormFields fields;
    fields.row(QueryRowId::Volser).checked = true;
    for (const std::string& typed :
         std::vector<std::string>{"'x'; DELETE FROM " + lp + "; --", "'x'; UPDATE " + base + " SET frame = 99; --",
                                  "'x' or load_extension('/tmp/vaultline-no-such-library') is null",
                                  "'x' or \"LOAD_EXTENSION\"('/tmp/vaultline-no-such-library') is null"}) {
        fields.row(QueryRowId::Volser).value = typed;
        QueryListData list;
        EXPECT_EQ(run(BuildWhereClause(fields, dialect).whereClause, list), GeneralQueryOutcome::Refused) << typed;
        EXPECT_EQ(restores, 1);
        EXPECT_EQ(list.columnCount(), 0);
    }
    const auto messages = scoped.prompts.messageTexts();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0], "ERROR: A query runs one SELECT statement only.\nPlease remove the \";\" from the fields.");
    EXPECT_EQ(messages[2], "ERROR: load_extension cannot be used in a query.\nPlease remove it from the fields.");
    EXPECT_EQ(messages[3], messages[2]);
    // Nothing reached the database: no statement failed there, and the tables are as they were.
    EXPECT_EQ(scoped.logText().find("Error executing"), std::string::npos);
    EXPECT_EQ(countRows(GetParam(), lp), 1);
    EXPECT_EQ(querySql(GetParam(), "SELECT COUNT(*) FROM " + base + " WHERE frame = 99")[0][0], "0");

    // A fragment is still a fragment: a subquery and an "or" run.
    QueryListData list;
    EXPECT_EQ(run("where volser in (select volser from " + base + " where frame > 0) or volser = 'V00000' ", list),
              GeneralQueryOutcome::Completed);
    EXPECT_EQ(list.rowCount(), 3);
}

TEST_P(GeneralQuery, TheQueryConnectionIsReadOnly)
{
    insertMounts("10.0.0.1", 2);
    GeneralQueryFlags flags;
    {
        QueryConnection connection(GeneralQueryRequest::fromSettings(true, ""), flags);
        ASSERT_TRUE(connection.isOpen());
        const auto run = [&](const std::string& sql) {
            const bool done = SQLExecDirect(connection.statement(), sqlText(sql), SQL_NTS) == SQL_SUCCESS;
            closeCursor(connection.statement());
            return done;
        };
        // A function in a where clause cannot make the transaction writable again either.
        if (GetParam().name == "PostgreSQL")
            run("SELECT set_config('default_transaction_read_only', 'off', false)");
        EXPECT_FALSE(run("DELETE FROM " + base));
        EXPECT_FALSE(run("UPDATE " + base + " SET frame = 99"));
        EXPECT_FALSE(run("CREATE TABLE " + base + "_extra (a INTEGER)"));
    }
    EXPECT_EQ(countRows(GetParam(), base), 2);
}

TEST(QueryDates, RewrittenByTheDateFormat)
{
    EXPECT_EQ(queryDateText("2026-12-07", 1), "12-07-2026");
    EXPECT_EQ(queryDateText("2026-12-07", 2), "2026-12-07");
    EXPECT_EQ(queryDateText("2026-12-07", 3), "07-12-2026");
    EXPECT_EQ(queryDateText("2026-12-07", 0), "2026-12-07");
    EXPECT_EQ(queryDateText("", 1), "");
    EXPECT_EQ(queryDateText("12/07/2026", 1), "12/07/2026");
}

INSTANTIATE_TEST_SUITE_P(Backends, GeneralQuery, ::testing::ValuesIn(testBackends()), BackendName());
