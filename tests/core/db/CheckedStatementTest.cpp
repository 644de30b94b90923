#include "ScopedApp.h"
#include "db/CheckedStatement.h"
#include "db/LockWait.h"
#include "db/qmxDB.h"

#include <gtest/gtest.h>

namespace {
class CheckedStatementTest : public BackendTablesTest {
protected:
    CheckedStatementTest() : BackendTablesTest("stmt") {}

    void SetUp() override
    {
        BackendTablesTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        for (const char* volser : {"A00001", "A00002", "A00003"})
            ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base + " (ipAddress, Date, Time, Volser) VALUES "
                                                   + "('10.0.0.1', '2026-12-07', '10:00:00', '" + volser + "')"));
        ASSERT_TRUE(db.connectDB(GetParam().dsn, GetParam().user, GetParam().password, handles, Diagnostics::LogOnly));
    }
    void TearDown() override
    {
        db.disconnectDB(handles);
        BackendTablesTest::TearDown();
    }

    qmxDB db;
    OdbcHandles handles;
};
} // namespace

// A statement left with rows unread has its cursor closed when it goes, so the next statement on
// the handle runs; the end of the rows is told from a failure, which a fetch loop must not take
// for the end.
TEST_P(CheckedStatementTest, CursorClosedOnLeavingAndEndToldFromFailure)
{
    const std::string select = "select volser from " + base + " order by volser";
    {
        CheckedStatement statement(handles.statement);
        ASSERT_TRUE(statement.prepare(select));
        ASSERT_TRUE(statement.execute());
        ASSERT_EQ(statement.fetch(), Fetched::Row);
        EXPECT_EQ(statement.text(1), "A00001");
    }
    {
        CheckedStatement statement(handles.statement);
        ASSERT_TRUE(statement.prepare(select)) << "the cursor of the statement before was left open";
        ASSERT_TRUE(statement.execute());
        std::vector<std::string> volsers;
        Fetched fetched = Fetched::Row;
        while ((fetched = statement.fetch()) == Fetched::Row)
            volsers.push_back(statement.text(1).value_or("NULL"));
        EXPECT_EQ(fetched, Fetched::End);
        EXPECT_EQ(volsers, (std::vector<std::string>{"A00001", "A00002", "A00003"}));
    }
    {
        // A statement that did not run has no rows to end: its fetch is a failure.
        CheckedStatement statement(handles.statement);
        const bool ran = statement.prepare("select volser from " + base + "_none") && statement.execute();
        EXPECT_FALSE(ran);
        EXPECT_EQ(statement.fetch(), Fetched::Failed);
    }
    // A delete that finds nothing is no failure to a caller that takes no data.
    CheckedStatement statement(handles.statement);
    EXPECT_TRUE(statement.executeDirect("delete from " + base + " where volser = 'none'", Success::WithInfoOrNoData));
    EXPECT_FALSE(CheckedStatement(SQL_NULL_HSTMT).prepare(select));
    // The product name the driver gives tells the embedded store from a server.
    EXPECT_EQ(isEmbeddedStore(handles.connection), GetParam().name == "SQLite");
}

INSTANTIATE_TEST_SUITE_P(Backends, CheckedStatementTest, ::testing::ValuesIn(testBackends()), BackendName());
