// vaultlinectl monitor and import as processes, against a misbehaving library and a database
// that another writer holds locked.

#include "CliProcess.h"
#include "MonitorTestSupport.h"
#include "ScopedApp.h"
#include "db/OdbcHandles.h"

#include <gtest/gtest.h>

#include <sqlext.h>

#include <memory>

using namespace std::chrono_literals;

namespace {
class CommandProcess : public MonitorProcessTest {
protected:
    CommandProcess() : MonitorProcessTest("clim") {}
};

// A connection of its own that takes a lock and keeps it until released: on the embedded
// store its write lock, on a server a lock on a table (in a transaction of its own).
class WriteLockHolder {
public:
    WriteLockHolder(const TestBackend& backend, const std::string& lockStatement = "BEGIN IMMEDIATE",
                    bool inTransaction = false)
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_environment);
        SQLSetEnvAttr(m_environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, m_environment, &m_connection);
        const SQLRETURN connected = SQLConnect(m_connection, sqlText(backend.dsn), SQL_NTS, sqlText(backend.user),
                                               SQL_NTS, sqlText(backend.password), SQL_NTS);
        if (connected == SQL_SUCCESS || connected == SQL_SUCCESS_WITH_INFO) {
            if (inTransaction)
                SQLSetConnectAttr(m_connection, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF),
                                  SQL_IS_UINTEGER);
            SQLAllocHandle(SQL_HANDLE_STMT, m_connection, &m_statement);
            const SQLRETURN began = SQLExecDirect(m_statement, sqlText(lockStatement), SQL_NTS);
            m_holding = began == SQL_SUCCESS || began == SQL_SUCCESS_WITH_INFO;
        }
    }
    ~WriteLockHolder() { release(); }
    WriteLockHolder(const WriteLockHolder&) = delete;
    WriteLockHolder& operator=(const WriteLockHolder&) = delete;

    bool holding() const { return m_holding; }
    void release()
    {
        if (m_statement != SQL_NULL_HSTMT) {
            SQLExecDirect(m_statement, sqlText("ROLLBACK"), SQL_NTS);
            SQLEndTran(SQL_HANDLE_DBC, m_connection, SQL_ROLLBACK);
            SQLFreeHandle(SQL_HANDLE_STMT, m_statement);
            m_statement = SQL_NULL_HSTMT;
        }
        if (m_connection != SQL_NULL_HDBC) {
            SQLDisconnect(m_connection);
            SQLFreeHandle(SQL_HANDLE_DBC, m_connection);
            m_connection = SQL_NULL_HDBC;
        }
        if (m_environment != SQL_NULL_HENV) {
            SQLFreeHandle(SQL_HANDLE_ENV, m_environment);
            m_environment = SQL_NULL_HENV;
        }
    }

private:
    SQLHENV m_environment = SQL_NULL_HENV;
    SQLHDBC m_connection = SQL_NULL_HDBC;
    SQLHSTMT m_statement = SQL_NULL_HSTMT;
    bool m_holding = false;
};

std::string mountLine(int number)
{
    const int minute = number % 60;
    const int hour = (number / 60) % 24;
    const int day = 1 + number / (60 * 24);
    const auto twoDigits = [](int value) { return std::string(value < 10 ? "0" : "") + std::to_string(value); };
    std::string line = "2010__03__" + twoDigits(day) + "__" + twoDigits(hour) + "." + twoDigits(minute) + ",CP"
                       + std::to_string(10000 + number) + ",_1,_3,PRODBKUP,__260,0,0";
    for (int counter = 9; counter <= 36; ++counter)
        line += "," + std::to_string(counter);
    return line;
}

// The number in "... Inserted N new entries ..." of a command's output.
int insertedIn(const std::string& output)
{
    const std::size_t at = output.find("Inserted ");
    return at == std::string::npos ? -1 : std::stoi(output.substr(at + 9));
}
} // namespace

TEST_F(CommandProcess, MonitorOfHostileLibrariesStaysSmallAndEndsAtOnceOnSigterm)
{
    // One process monitors five libraries that misbehave each in its own way.
    const std::string mountHistory = library_texts::MountHistoryFileName;
    auto endless = startLibrary();
    ASSERT_EQ(endless->control("endless", {{"on", "1"}, {"file", library_texts::ConfigurationFileName}}), "");
    auto drip = startLibrary();
    ASSERT_EQ(drip->control("drip", {{"rate", "2"}, {"file", mountHistory}}), "");
    auto wrongLength = startLibrary();
    ASSERT_EQ(wrongLength->control("length", {{"long", "100"}, {"file", mountHistory}}), "");
    auto reset = startLibrary();
    ASSERT_EQ(reset->control("abort", {{"bytes", "5000"}, {"file", mountHistory}}), "");
    auto webPage = startLibrary();
    ASSERT_EQ(webPage->control("html", {{"on", "1"}, {"file", mountHistory}}), "");

    CliProcess monitor(m_folder, {"monitor", "--retry-period=100", endless->address(), drip->address(),
                                  wrongLength->address(), reset->address(), webPage->address()});
    // The endless file is dropped at the size limit every time, and checked again.
    ASSERT_TRUE(monitor.waitForOutput(endless->address() + ": The IP address", 3, 60s)) << monitor.errors();
    EXPECT_NE(monitor.output().find(endless->address() + ":    o ERROR: LIBLG_01_MR.bin is longer than 33554432 bytes"),
              std::string::npos);
    // Cut, reset and web page downloads are reported and retried, again and again.
    for (const auto* server : {wrongLength.get(), reset.get(), webPage.get()}) {
        ASSERT_TRUE(monitor.waitForOutput(server->address() + ": Problem getting Mount History file", 2, 60s));
        EXPECT_NE(monitor.output().find(server->address() + ":    o ERROR: "), std::string::npos);
    }
    EXPECT_NE(monitor.output().find(webPage->address() + ":    o ERROR: The library sent a web page"),
              std::string::npos);
    ASSERT_TRUE(monitor.waitForOutput("Getting Mount History file from " + drip->address(), 1, 30s));
    // The size limit (32 MB) keeps the process far below what an endless file would take.
    const long peak = monitor.peakResidentKilobytes();
    RecordProperty("peak_resident_kB", static_cast<int>(peak));
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 200 * 1024) << "peak resident memory " << peak << " kB";

    // The drip is mid-file and the endless file mid-transfer: the stop ends them at once.
    const auto stopped = std::chrono::steady_clock::now();
    ASSERT_EQ(kill(monitor.pid(), SIGTERM), 0);
    EXPECT_EQ(monitor.waitForExit(2s), 0) << monitor.errors();
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 2s);
    const std::string output = monitor.output();
    EXPECT_EQ(output.back(), '\n');
    EXPECT_EQ(output.find("Inserted "), std::string::npos);
    EXPECT_EQ(countRows(m_backend, m_base), 0);
}

TEST_F(CommandProcess, MonitorEndsAtOnceOnSigtermWhileAnotherWriterHoldsTheDatabase)
{
    auto server = startLibrary();
    WriteLockHolder holder(m_backend);
    ASSERT_TRUE(holder.holding());
    CliProcess monitor(m_folder, {"monitor", server->address()});
    // The cycle has its file and waits on the lock at its first insert.
    ASSERT_TRUE(monitor.waitForOutput("Getting Mount History file from " + server->address(), 1, 30s))
        << monitor.errors();
    ASSERT_TRUE(CliProcess::waitForText(m_folder.file("lvr_debug.txt"), "INSERT INTO " + m_base, 1, 30s));

    const auto stopped = std::chrono::steady_clock::now();
    ASSERT_EQ(kill(monitor.pid(), SIGTERM), 0);
    const std::string log = m_folder.file("lvr_debug.txt");
    EXPECT_EQ(monitor.waitForExit(2s), 0) << monitor.errors() << readWholeFile(log).substr(0, 4000);
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 2s);
    holder.release();
    EXPECT_EQ(countRows(m_backend, m_base), 0);
    EXPECT_EQ(monitor.output().find("Inserted "), std::string::npos);
    EXPECT_EQ(monitor.output().back(), '\n');
}

TEST_F(CommandProcess, MonitorEndsAtOnceOnSigtermWhileAnotherSessionLocksTheServerTable)
{
    // On PostgreSQL a statement waits for a table lock without a time limit: the stop cancels it.
    const TestBackend server = testBackends().back();
    if (!server.available)
        GTEST_SKIP() << "PostgreSQL is not running here: scripts/test.sh starts a cluster";
    const std::string base = uniqueTableName("climpg");
    ASSERT_EQ(createTables(base, "DEFAULT", server.dsn, server.user, server.password), 1);
    TemporaryFolder folder;
    writeCliSettings(folder, server, base);
    auto library = startLibrary();
    WriteLockHolder holder(server, "LOCK TABLE " + base + " IN ACCESS EXCLUSIVE MODE", true);
    ASSERT_TRUE(holder.holding());

    CliProcess monitor(folder, {"monitor", library->address()});
    ASSERT_TRUE(monitor.waitForOutput("Getting Mount History file from " + library->address(), 1, 30s))
        << monitor.errors();
    // Waits until the monitor's session is waiting for the lock.
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (querySql(server, "select 1 from pg_stat_activity where wait_event_type = 'Lock'").empty()) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the monitor never waited for the lock";
        std::this_thread::sleep_for(20ms);
    }

    const auto stopped = std::chrono::steady_clock::now();
    ASSERT_EQ(kill(monitor.pid(), SIGTERM), 0);
    EXPECT_EQ(monitor.waitForExit(2s), 0) << monitor.errors();
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 2s);
    holder.release();
    EXPECT_EQ(countRows(server, base), 0);
    EXPECT_EQ(monitor.output().find("Inserted "), std::string::npos);
    dropTables(base, server.dsn, server.user, server.password, nullptr);
}

TEST_F(CommandProcess, TwoImportsOfOneFileAtOnceBothFinishSoon)
{
    const int lines = 3000;
    std::string text = "Mount History" + std::string(35, ',') + "\nh2\nh3\nh4\nh5\n";
    for (int number = 0; number < lines; ++number)
        text += mountLine(number) + "\n";
    const std::string path = m_folder.file("mounts.csv");
    std::ofstream(path, std::ios::binary) << text;

    // A lone import sets the scale.
    auto began = std::chrono::steady_clock::now();
    {
        CliProcess lone(m_folder, {"import", path, "--library", "10.0.0.1"}, "lone");
        ASSERT_EQ(lone.waitForExit(300s), 0) << lone.errors();
        ASSERT_EQ(insertedIn(lone.output()), lines);
    }
    const auto loneTime = std::chrono::steady_clock::now() - began;

    // The same file twice at once, for another library: the second writer waits its turn
    // batch by batch instead of the busy timeout, and every line is stored once.
    began = std::chrono::steady_clock::now();
    // Each runs in a folder of its own: a debug log is one program's at a time.
    TemporaryFolder second;
    writeCliSettings(second, m_backend, m_base);
    CliProcess one(m_folder, {"import", path, "--library", "10.0.0.2"}, "one");
    CliProcess two(second, {"import", path, "--library", "10.0.0.2"}, "two");
    const auto bound = 4 * loneTime + std::chrono::seconds(10);
    const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(bound);
    EXPECT_EQ(one.waitForExit(limit), 0) << one.errors();
    EXPECT_EQ(two.waitForExit(limit), 0) << two.errors();
    const auto bothTime = std::chrono::steady_clock::now() - began;
    RecordProperty("lone_ms",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(loneTime).count()));
    RecordProperty("both_ms",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(bothTime).count()));
    EXPECT_LT(bothTime, bound) << "lone " << std::chrono::duration_cast<std::chrono::milliseconds>(loneTime).count()
                               << " ms";
    EXPECT_EQ(insertedIn(one.output()) + insertedIn(two.output()), lines);
    EXPECT_EQ(countRows(m_backend, m_base), 2LL * lines);
}
