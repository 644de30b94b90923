#include "ScopedApp.h"
#include "db/ConnectCommand.h"
#include "db/DiagnosticsWindow.h"
#include "db/ListControl.h"
#include "db/qmxDB.h"

#include <gtest/gtest.h>

namespace {
struct RecordingList : ListControl {
    std::vector<std::string> titles;
    std::vector<bool> numeric;
    std::vector<std::vector<std::string>> rows;
    void setColumns(const std::vector<std::string>& t, const std::vector<bool>& n) override
    {
        titles = t;
        numeric = n;
    }
    void addRow(const std::vector<std::string>& cells) override { rows.push_back(cells); }
};

struct SetupPage : DiagnosticsWindow {
    int focused = 0;
    Kind windowKind() const override { return Kind::DatabaseSetupPage; }
    void focusDatabaseName() override { ++focused; }
};

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

class Database : public BackendTest {
protected:
    ScopedApp scoped;
    qmxDB db;
};
} // namespace

TEST(Connection, UnknownDataSourceMapsToTheInvalidNameMessages)
{
    testBackends();
    ScopedApp scoped;
    qmxDB db;
    OdbcHandles handles;
    EXPECT_FALSE(db.connectDB("NoSuchVaultlineDsn", "u", "p", handles, Diagnostics::ShowUser));
    EXPECT_TRUE(handles.connection == SQL_NULL_HDBC) << "handles released after a failed connect";
    EXPECT_EQ(scoped.prompts.messageTexts(),
              std::vector<std::string>{"Invalid database name.  Check database name in Setup."});
    EXPECT_NE(scoped.logText().find("Error connecting to Data Source Name NoSuchVaultlineDsn\n"), std::string::npos);
    EXPECT_NE(scoped.logText().find("SQLSTATE: IM002"), std::string::npos);

    SetupPage page;
    EXPECT_FALSE(db.connectDB("NoSuchVaultlineDsn", "u", "p", handles, Diagnostics::ConnectionRules, &page));
    EXPECT_EQ(scoped.prompts.messageTexts().back(), "Test Failed: Invalid database name. Please try again.");
    EXPECT_EQ(page.focused, 1);
    EXPECT_EQ(scoped.prompts.waitCursorDepth(), 0);

    // A monitor or a report worker: no box, the reason kept for a line of its own.
    const std::size_t boxes = scoped.prompts.messages().size();
    EXPECT_FALSE(db.connectDB("NoSuchVaultlineDsn", "u", "p", handles, Diagnostics::LogOnly));
    EXPECT_EQ(scoped.prompts.messages().size(), boxes);
    EXPECT_EQ(handles.failureReason, "Invalid database name.  Check database name in Setup.");
}

// The quiet probe of a service that asks every second: right both ways, and silent.
TEST_P(Database, QuietProbeSaysNothing)
{
    EXPECT_TRUE(dataSourceAnswers(GetParam().dsn, GetParam().user, GetParam().password));
    EXPECT_FALSE(dataSourceAnswers("NoSuchVaultlineDsn", "u", "p"));
    EXPECT_EQ(scoped.logText(), "");
    EXPECT_TRUE(scoped.prompts.messages().empty());
}

TEST_P(Database, OrdinaryWorkAnswersPlainSuccess)
{
    // The result test counts success-with-info as failure, so every supported driver must
    // answer plain success for an ordinary connect, prepare, execute and commit.
    OdbcHandles handles;
    ASSERT_TRUE(db.connectDB(GetParam().dsn, GetParam().user, GetParam().password, handles, Diagnostics::ShowUser));
    const std::string table = uniqueTableName("plain");
    EXPECT_EQ(prepareStatement(handles.statement, "create table " + table + " (a integer)"), SQL_SUCCESS);
    EXPECT_EQ(executeStatement(handles.statement), SQL_SUCCESS);
    closeCursor(handles.statement);
    EXPECT_EQ(prepareStatement(handles.statement, "insert into " + table + " values (1)"), SQL_SUCCESS);
    EXPECT_EQ(executeStatement(handles.statement), SQL_SUCCESS);
    closeCursor(handles.statement);
    EXPECT_EQ(SQLEndTran(SQL_HANDLE_DBC, handles.connection, SQL_COMMIT), SQL_SUCCESS);
    EXPECT_TRUE(db.disconnectDB(handles));
    EXPECT_TRUE(handles.environment == SQL_NULL_HENV);
    EXPECT_EQ(countRows(GetParam(), table), 1);
    EXPECT_TRUE(scoped.prompts.messages().empty());
}

TEST_P(Database, MissingTableLogsTheFourLineRecord)
{
    OdbcHandles handles;
    ASSERT_TRUE(db.connectDB(GetParam().dsn, GetParam().user, GetParam().password, handles, Diagnostics::ShowUser));
    SQLRETURN result = prepareStatement(handles.statement, "select * from no_such_vaultline_table");
    if (result == SQL_SUCCESS)
        result = executeStatement(handles.statement);
    EXPECT_FALSE(db.checkSQLResult(result, "select", handles.statement, Diagnostics::ShowUser));
    db.disconnectDB(handles);

    const std::string log = scoped.logText();
    EXPECT_NE(log.find("Error select statement \n"), std::string::npos);
    EXPECT_NE(log.find("Number of Diagnostic Records: "), std::string::npos);
    const auto record = log.find("1 of ");
    ASSERT_NE(record, std::string::npos);
    const std::string text = log.substr(record);
    EXPECT_NE(text.find(" diagnostic records\nSQLSTATE: "), std::string::npos);
    EXPECT_NE(text.find("\nNative Error Code: "), std::string::npos);
    EXPECT_NE(text.find("\nMessage Text:"), std::string::npos);
    EXPECT_NE(upper(text).find("NO_SUCH_VAULTLINE_TABLE"), std::string::npos) << text;
}

TEST_P(Database, SelectIntoListFillsColumnsAndRows)
{
    const std::string table = uniqueTableName("list");
    ASSERT_TRUE(
        executeSql(GetParam(), "create table " + table + " (ipaddress varchar(32), date date, drives integer)"));
    OdbcHandles handles;
    ASSERT_TRUE(db.connectDB(GetParam().dsn, GetParam().user, GetParam().password, handles, Diagnostics::ShowUser));

    RecordingList empty;
    EXPECT_EQ(db.selectIntoList("*", table, "", handles.statement, &empty, Diagnostics::ShowUser), 0);
    ASSERT_EQ(empty.titles.size(), 4u);
    EXPECT_EQ(empty.titles[0], "ROW");
    EXPECT_EQ(upper(empty.titles[2]), "DATE");
    EXPECT_EQ(empty.numeric, (std::vector<bool>{true, false, false, true}));
    EXPECT_TRUE(empty.rows.empty());

    ASSERT_TRUE(executeSql(GetParam(), "insert into " + table + " values ('10.0.0.1', '2026-12-07', 12)"));
    ASSERT_TRUE(executeSql(GetParam(), "insert into " + table + " values (NULL, NULL, NULL)"));
    RecordingList list;
    // A where clause far past any fixed buffer still runs.
    std::string where = "where drives is null or drives = 12";
    for (int i = 0; i < 100; ++i)
        where += " or drives = " + std::to_string(1000 + i);
    EXPECT_EQ(db.selectIntoList("ipaddress, date, drives", table, where + " order by drives", handles.statement, &list,
                                Diagnostics::ShowUser),
              2);
    ASSERT_EQ(list.rows.size(), 2u);
    const auto& filled = list.rows[0][1].empty() ? list.rows[1] : list.rows[0];
    const auto& nulls = list.rows[0][1].empty() ? list.rows[0] : list.rows[1];
    EXPECT_EQ(filled, (std::vector<std::string>{filled[0], "10.0.0.1", "12-07-2026", "12"}));
    EXPECT_EQ(nulls, (std::vector<std::string>{nulls[0], "", "", ""}));
    EXPECT_EQ(list.rows[0][0], "1");
    EXPECT_EQ(list.rows[1][0], "2");

    EXPECT_EQ(db.selectIntoList("*", "no_such_vaultline_table", "", handles.statement, &list, Diagnostics::LogOnly),
              -1);
    db.disconnectDB(handles);
}

TEST_P(Database, ConnectCommandRetriesUntilTheTableAnswersThenSetsDefaults)
{
    const std::string table = uniqueTableName("connect");
    scoped.useBackend(GetParam(), table, 0);
    scoped.app().settings.DateFormatCode = 0;
    scoped.app().settings.dateOutputFormat.clear();
    // First the table is missing: the failure is reported and the dialog shows again.
    scoped.prompts.credentialReplies = {{DialogResult::Ok, GetParam().user, "secret"}};
    EXPECT_FALSE(runConnectCommand());
    EXPECT_FALSE(scoped.app().connected);
    EXPECT_EQ(scoped.prompts.dialogTitles(), (std::vector<std::string>{"Database Connection", "Database Connection"}));
    EXPECT_FALSE(scoped.prompts.messages().empty());
    EXPECT_NE(scoped.logText().find("Error "), std::string::npos);

    ASSERT_TRUE(executeSql(GetParam(), "create table " + table + " (ipaddress varchar(32))"));
    scoped.prompts.credentialReplies = {{DialogResult::Other, "", ""}, {DialogResult::Ok, GetParam().user, ""}};
    EXPECT_TRUE(runConnectCommand());
    EXPECT_TRUE(scoped.app().connected);
    EXPECT_TRUE(scoped.app().mountHistoryTableVerified);
    EXPECT_EQ(scoped.prompts.messageTexts().back(), "Connection successful");
    EXPECT_EQ(scoped.app().settings.dateOutputFormat, "%m-%d-%Y");
    EXPECT_EQ(scoped.app().settings.DatabaseType, 2);
    EXPECT_EQ(scoped.store.read("Connection", "Username"), GetParam().user);
    EXPECT_EQ(scoped.store.read("Setup", "Date Format"), "1");
    EXPECT_EQ(scoped.store.read("Setup", "Database Type"), "2");

    scoped.prompts.yesNoReplies = {false, true};
    EXPECT_FALSE(runDisconnectCommand());
    EXPECT_TRUE(scoped.app().connected);
    EXPECT_TRUE(runDisconnectCommand());
    EXPECT_FALSE(scoped.app().connected);
    EXPECT_EQ(scoped.prompts.questions().back(), "Are you sure you would like to disconnect from the database?");
}

INSTANTIATE_TEST_SUITE_P(Backends, Database, ::testing::ValuesIn(testBackends()), BackendName());
