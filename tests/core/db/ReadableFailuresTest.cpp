// What the SQLite and PostgreSQL drivers report, as the user reads it: the cause in a sentence,
// then the database's own words. Every case runs on a real driver.

#include "ScopedApp.h"
#include "db/ConnectCommand.h"
#include "db/DiagnosticsWindow.h"
#include "db/SetupTests.h"
#include "db/Tables.h"
#include "db/qmxDB.h"
#include "query/GeneralQueryThread.h"
#include "query/QueryListData.h"
#include "query/QueryResultSink.h"

#include <gtest/gtest.h>

namespace {
constexpr const char* Refused = "The database refused the user name or password. Please check them and try again.";
constexpr const char* NoDatabase =
    "The database named in the data source does not exist on the server. Please check the data source's database name.";
constexpr const char* Unreachable = "The database server could not be reached. Please check the server address and "
                                    "port of the data source, and that the server is running.";
constexpr const char* TableExists =
    "The table already exists in the database. Please choose another table name, or delete the table first.";
constexpr const char* NoTable = "The table does not exist in the database. Please check the table name in Setup.";
constexpr const char* Syntax = "The database could not read the statement: it has a syntax error or a character the "
                               "database does not accept. Please check what was typed.";

struct SetupPage : DiagnosticsWindow {
    explicit SetupPage(Kind pageKind) : kind(pageKind) {}
    Kind kind;
    std::vector<std::string> focused;
    Kind windowKind() const override { return kind; }
    void focusDatabaseName() override { focused.emplace_back("database name"); }
    void focusIpAddress() override { focused.emplace_back("address"); }
    void focusTableName() override { focused.emplace_back("table name"); }
};

// The sentence first, then a blank line and the driver's own words.
::testing::AssertionResult namesCause(const std::string& shown, const std::string& sentence,
                                      const std::string& driverWords)
{
    if (shown.rfind(sentence + "\n\n", 0) != 0)
        return ::testing::AssertionFailure() << "does not start with the sentence: " << shown;
    if (shown.find(driverWords, sentence.size()) == std::string::npos)
        return ::testing::AssertionFailure() << "lacks the database's words \"" << driverWords << "\": " << shown;
    return ::testing::AssertionSuccess();
}

class PostgresConnect : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!testBackends().back().available)
            GTEST_SKIP() << "PostgreSQL is not running here: scripts/test.sh starts a cluster";
    }
    ScopedApp scoped;

    // The Connect command with one OK in the given role: the message it shows before the
    // dialog comes back.
    std::vector<std::string> connectAs(const TestBackend& backend, const std::string& password)
    {
        scoped.useBackend(backend, "vaultline_unused", 2);
        scoped.prompts.credentialReplies = {{DialogResult::Ok, backend.user, password}};
        const std::size_t dialogs = scoped.prompts.dialogTitles().size();
        EXPECT_FALSE(runConnectCommand());
        EXPECT_EQ(scoped.prompts.dialogTitles().size(), dialogs + 2) << "the user dialog comes back after the message";
        return scoped.prompts.messageTexts();
    }
};
} // namespace

TEST_F(PostgresConnect, RefusedPasswordMissingDatabaseAndClosedPortEachNameTheirCause)
{
    const TestBackend passwordRole = postgresVariant(PostgresVariant::PasswordRole);
    {
        qmxDB db;
        OdbcHandles handles;
        ASSERT_TRUE(
            db.connectDB(passwordRole.dsn, passwordRole.user, passwordRole.password, handles, Diagnostics::ShowUser))
            << "scripts/pg-cluster.sh makes the role " << passwordRole.user << " with its password";
        db.disconnectDB(handles);
    }

    auto shown = connectAs(passwordRole, "vaultline-wrong");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(namesCause(shown[0], Refused, "password authentication failed"));
    EXPECT_NE(scoped.logText().find("SQLSTATE: 08001"), std::string::npos) << "the record itself is logged";

    shown = connectAs(postgresVariant(PostgresVariant::MissingDatabase), "");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(namesCause(shown[1], NoDatabase, "\"vaultline_missing\" does not exist"));

    shown = connectAs(postgresVariant(PostgresVariant::ClosedPort), "");
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_TRUE(namesCause(shown[2], Unreachable, "Connection refused"));
}

TEST_F(PostgresConnect, DatabasePageTestFocusesTheFieldOfTheCause)
{
    // The Database page's Test: the missing database points at the name, the closed port at the address.
    SetupPage page(DiagnosticsWindow::Kind::DatabaseSetupPage);
    const TestBackend missing = postgresVariant(PostgresVariant::MissingDatabase);
    scoped.prompts.credentialReplies = {{DialogResult::Ok, missing.user, ""}, {DialogResult::Ok, missing.user, ""}};
    EXPECT_FALSE(runDatabaseTest({missing.dsn, "127.0.0.1", "1", true}, &page));
    EXPECT_FALSE(runDatabaseTest({"VaultlineTestPGClosed", "127.0.0.1", "1", true}, &page));
    const auto shown = scoped.prompts.messageTexts();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(namesCause(shown[0], NoDatabase, "does not exist"));
    EXPECT_TRUE(namesCause(shown[1], Unreachable, "Connection refused"));
    EXPECT_EQ(page.focused, (std::vector<std::string>{"database name", "address"}));
}

class ReadableTableFailures : public BackendTablesTest {
protected:
    ReadableTableFailures() : BackendTablesTest("readable") {}
};

TEST_P(ReadableTableFailures, ExistingAndMissingTablesAreNamed)
{
    scoped.prompts.credentialReplies = {{DialogResult::Ok, GetParam().user, GetParam().password}};
    EXPECT_EQ(runCreateTableCommand(base), TableCommandResult::Failed);
    auto shown = scoped.prompts.messageTexts();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(namesCause(shown[0], TableExists, "already exists"));
    EXPECT_NE(shown[0].find(base), std::string::npos) << "the database's text names the table";
    EXPECT_EQ(shown[1], "Table create failed");

    // The Table page's Test on a name that has no tables: the page's name box gets the focus.
    SetupPage page(DiagnosticsWindow::Kind::TableSetupPage);
    scoped.prompts.credentialReplies = {{DialogResult::Ok, GetParam().user, GetParam().password}};
    EXPECT_FALSE(runTableTest(base + "_none", &page));
    shown = scoped.prompts.messageTexts();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_TRUE(namesCause(shown[2], NoTable, base + "_none"));
    EXPECT_EQ(page.focused, std::vector<std::string>{"table name"});
}

TEST_P(ReadableTableFailures, SyntaxErrorInTheGeneralQueryIsShown)
{
    QueryListData list;
    QueryListSink sink(list);
    GeneralQueryFlags flags;
    EXPECT_EQ(GeneralQueryThread(GeneralQueryRequest::fromSettings(true, "where frame = = 3 "), sink, flags),
              GeneralQueryOutcome::Failed);
    const auto shown = scoped.prompts.messageTexts();
    ASSERT_EQ(shown.size(), 1u) << "one message, not an empty list alone";
    EXPECT_TRUE(namesCause(shown[0], Syntax, "syntax error"));
    EXPECT_EQ(scoped.prompts.messages()[0].icon, MessageIcon::Stop);
}

TEST_P(ReadableTableFailures, FailedCommitIsLoggedWithTheConnectionsDiagnostics)
{
    // A check the database makes only at commit: PostgreSQL's deferred unique key, SQLite's
    // deferred foreign key. Rows go in without autocommit, so the disconnect's commit fails.
    const bool sqlite = GetParam().name == "SQLite";
    const std::string parent = base + "_parent";
    const std::string child = base + "_child";
    if (sqlite) {
        ASSERT_TRUE(executeSql(GetParam(), "CREATE TABLE " + parent + " (id int primary key)"));
        ASSERT_TRUE(executeSql(GetParam(), "CREATE TABLE " + child + " (id int references " + parent
                                               + "(id) deferrable initially deferred)"));
    } else {
        ASSERT_TRUE(executeSql(GetParam(), "CREATE TABLE " + child + " (id int unique deferrable initially deferred)"));
    }
    qmxDB db;
    OdbcHandles handles;
    ASSERT_TRUE(db.connectDB(GetParam().dsn, GetParam().user, GetParam().password, handles, Diagnostics::ShowUser));
    if (sqlite) {
        ASSERT_EQ(SQLExecDirect(handles.statement, sqlText("PRAGMA foreign_keys = ON"), SQL_NTS), SQL_SUCCESS);
    }
    SQLSetConnectAttr(handles.connection, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    const std::string insert = "INSERT INTO " + child + " VALUES (7)";
    ASSERT_EQ(SQLExecDirect(handles.statement, sqlText(insert), SQL_NTS), SQL_SUCCESS);
    ASSERT_EQ(SQLExecDirect(handles.statement, sqlText(insert), SQL_NTS), SQL_SUCCESS);
    db.disconnectDB(handles);

    const std::string log = scoped.logText();
    const auto failed = log.find("Error SQL End Transaction statement");
    ASSERT_NE(failed, std::string::npos) << log;
    EXPECT_NE(log.find(sqlite ? "FOREIGN KEY constraint failed" : "SQLSTATE: 23505", failed), std::string::npos)
        << "the cause of the failed commit is logged: " << log;
    EXPECT_EQ(countRows(GetParam(), child), 0) << "nothing of the failed transaction stays";
    executeSql(GetParam(), "DROP TABLE " + child);
    if (sqlite)
        executeSql(GetParam(), "DROP TABLE " + parent);
}

INSTANTIATE_TEST_SUITE_P(Backends, ReadableTableFailures, ::testing::ValuesIn(testBackends()), BackendName());
