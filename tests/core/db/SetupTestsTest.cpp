#include "ScopedApp.h"
#include "db/DiagnosticsWindow.h"
#include "db/SetupTests.h"
#include "db/Tables.h"

#include <gtest/gtest.h>

namespace {
struct TablePage : DiagnosticsWindow {
    int focused = 0;
    Kind windowKind() const override { return Kind::TableSetupPage; }
    void focusTableName() override { ++focused; }
};

struct DatabasePage : DiagnosticsWindow {
    int focused = 0;
    Kind windowKind() const override { return Kind::DatabaseSetupPage; }
    void focusDatabaseName() override { ++focused; }
};

class SetupTests : public BackendTest {
protected:
    ScopedApp scoped;
};
} // namespace

TEST(SetupTitles, OperationNumbersNameTheDialog)
{
    EXPECT_EQ(credentialsTitle(1), "Delete Table");
    EXPECT_EQ(credentialsTitle(2), "Test Database");
    EXPECT_EQ(credentialsTitle(3), "Database Connection");
    EXPECT_EQ(credentialsTitle(4), "Create Table");
    EXPECT_EQ(credentialsTitle(5), "Test Table");
    EXPECT_EQ(credentialsTitle(6), std::nullopt);
    EXPECT_EQ(credentialsTitle(0), std::nullopt);
}

TEST(SetupTableTest, WhereClauseFollowsTheChosenDialect)
{
    EXPECT_EQ(tableTestWhereClause(false, Dialect(2)),
              "where ((ipaddress in ('0.0.0.0')) AND (time in ('00:00:00')) AND (date in ('2007-01-01')))");
    EXPECT_EQ(tableTestWhereClause(false, Dialect(1)),
              "where ((ipaddress in ('0.0.0.0')) AND (time in (TO_DATE('00:00:00','hh24:mi:ss'))) AND (dates in "
              "(TO_DATE('2007-01-01','yyyy-mm-dd'))))");
    EXPECT_EQ(tableTestWhereClause(true, Dialect(1)), "where ((username in ('')))");
}

TEST_P(SetupTests, TableTestPassesOnceOnEmptyTablesAndNamesAMissingOne)
{
    const std::string table = uniqueTableName("setup");
    scoped.useBackend(GetParam(), table);
    TablePage page;

    // Cancel in the user name dialog touches nothing.
    EXPECT_FALSE(runTableTest(table, &page));
    EXPECT_TRUE(scoped.prompts.messages().empty());
    EXPECT_TRUE(scoped.store.writes().empty());

    // The tables do not exist yet: the failure is shown and the name box focused.
    scoped.prompts.credentialReplies = {{DialogResult::Ok, GetParam().user, ""}};
    EXPECT_FALSE(runTableTest(table, &page));
    ASSERT_EQ(scoped.prompts.messages().size(), 1u);
    EXPECT_NE(scoped.prompts.messageTexts()[0], "Test passed");

    ASSERT_EQ(createTables(table, "DEFAULT", GetParam().dsn, GetParam().user, ""), 1);
    scoped.prompts.credentialReplies = {{DialogResult::Ok, GetParam().user, ""}};
    EXPECT_TRUE(runTableTest(table, &page));
    EXPECT_EQ(scoped.prompts.messageTexts().back(), "Test passed");
    EXPECT_EQ(scoped.prompts.messages().size(), 2u);
    EXPECT_EQ(scoped.store.read("Connection", "Username"), GetParam().user);
    EXPECT_EQ(scoped.prompts.dialogTitles().back(), "Test Table");
    EXPECT_EQ(scoped.prompts.waitCursorDepth(), 0);
}

TEST_P(SetupTests, DatabaseTestConnectsAndStoresTheAddress)
{
    scoped.useBackend(GetParam(), "unused");
    DatabaseTestInput input{GetParam().dsn, "127.0.0.1", "5432", false};
    scoped.prompts.credentialReplies = {{DialogResult::Ok, GetParam().user, ""}};
    EXPECT_TRUE(runDatabaseTest(input, nullptr));
    EXPECT_EQ(scoped.prompts.messageTexts(), std::vector<std::string>{"Test passed"});
    EXPECT_EQ(scoped.store.read("Setup", "Database IP Address"), "127.0.0.1");
    EXPECT_EQ(scoped.store.read("Setup", "Database IP Port"), "5432");
    EXPECT_EQ(scoped.prompts.dialogTitles(), std::vector<std::string>{"Test Database"});

    // On the page, the connection rules name the bad data source and focus its box.
    DatabasePage page;
    input.databaseName = "NoSuchVaultlineDsn";
    scoped.prompts.credentialReplies = {{DialogResult::Ok, GetParam().user, ""}};
    EXPECT_FALSE(runDatabaseTest(input, &page));
    EXPECT_EQ(scoped.prompts.messageTexts().back(), "Test Failed: Invalid database name. Please try again.");
    EXPECT_EQ(page.focused, 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, SetupTests, ::testing::ValuesIn(testBackends()), BackendName());
