#include "TestDatabases.h"

#include "db/OdbcHandles.h"
#include "db/qmxDB.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <unistd.h>

namespace {
std::string environment(const char* name, const std::string& fallback = "")
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

std::string processFolder()
{
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "vaultline-test-XXXXXX").string();
        char* made = mkdtemp(pattern.data());
        return std::string(made != nullptr ? made : "/tmp");
    }();
    return folder;
}

struct FolderCleanup {
    ~FolderCleanup()
    {
        std::error_code ignored;
        std::filesystem::remove_all(processFolder(), ignored);
    }
};
} // namespace

std::vector<TestBackend> testBackends()
{
    static std::once_flag once;
    static std::vector<TestBackend> backends;
    std::call_once(once, [] {
        // The folder's name is made first, so it outlives the cleanup that removes it.
        const std::string folder = processFolder();
        static FolderCleanup cleanup;
        const std::string ini = folder + "/odbc.ini";
        std::ofstream out(ini);
        out << "[VaultlineTestSQLite]\nDriver=SQLite3\nDatabase=" << folder
            << "/test.sqlite\nJournalMode=WAL\nTimeout=100000\nStepAPI=1\n\n";
        backends.push_back({"SQLite", "VaultlineTestSQLite", "tester", ""});
        // The same file through a connection whose authorizer refuses sum() and two columns.
        out << "[VaultlineTestSQLiteRefusing]\nDriver=SQLite3\nDatabase=" << folder
            << "/test.sqlite\nJournalMode=WAL\nTimeout=100000\nStepAPI=1\nLoadExt=" << VAULTLINE_SQLITE_REFUSING_EXT
            << "\n\n";
        const std::string port = environment("VAULTLINE_TEST_PG_PORT");
        out << "[VaultlineTestPG]\nDriver=PostgreSQL ANSI\nServername=127.0.0.1\nPort=" << port
            << "\nDatabase=" << environment("VAULTLINE_TEST_PG_DATABASE", "vaultline")
            << "\nUsername=" << environment("VAULTLINE_TEST_PG_USER", "postgres") << "\nUseServerSidePrepare=0\n\n";
        backends.push_back(
            {"PostgreSQL", "VaultlineTestPG", environment("VAULTLINE_TEST_PG_USER", "postgres"), "", !port.empty()});
        // A second database on the same server, for a test that takes it away from the monitor.
        out << "[VaultlineTestPGSpare]\nDriver=PostgreSQL ANSI\nServername=127.0.0.1\nPort=" << port
            << "\nDatabase=vaultline_spare\nUsername=" << environment("VAULTLINE_TEST_PG_USER", "postgres")
            << "\nUseServerSidePrepare=0\n\n";
        // The same server by a port nobody listens on, and a database it does not have.
        out << "[VaultlineTestPGClosed]\nDriver=PostgreSQL ANSI\nServername=127.0.0.1\nPort=1\nDatabase=vaultline\n\n";
        out << "[VaultlineTestPGMissing]\nDriver=PostgreSQL ANSI\nServername=127.0.0.1\nPort=" << port
            << "\nDatabase=vaultline_missing\n\n";
        out.close();
        setenv("ODBCINI", ini.c_str(), 1);
    });
    return backends;
}

TestBackend refusingSqliteBackend()
{
    TestBackend refusing = testBackends().front();
    refusing.name = "SQLiteRefusing";
    refusing.dsn = "VaultlineTestSQLiteRefusing";
    return refusing;
}

TestBackend spareTestBackend()
{
    const std::vector<TestBackend> all = testBackends();
    TestBackend spare = all.back();
    spare.name = "PostgreSQLSpare";
    spare.dsn = "VaultlineTestPGSpare";
    return spare;
}

TestBackend postgresVariant(PostgresVariant variant)
{
    TestBackend backend = testBackends().back();
    switch (variant) {
    case PostgresVariant::ClosedPort:
        backend.name = "PostgreSQLClosedPort";
        backend.dsn = "VaultlineTestPGClosed";
        break;
    case PostgresVariant::MissingDatabase:
        backend.name = "PostgreSQLMissingDatabase";
        backend.dsn = "VaultlineTestPGMissing";
        break;
    case PostgresVariant::PasswordRole:
        backend.name = "PostgreSQLPasswordRole";
        backend.user = "vaultline_password";
        backend.password = "vaultline-right";
        break;
    }
    return backend;
}

std::string uniqueTableName(const std::string& stem)
{
    static std::atomic<int> counter{0};
    return "t" + stem + "_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
}

std::vector<std::vector<std::optional<std::string>>> querySql(const TestBackend& backend, const std::string& sql)
{
    std::vector<std::vector<std::optional<std::string>>> rows;
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(backend.dsn, backend.user, backend.password, handles, Diagnostics::ShowUser))
        return rows;
    if (SQLExecDirect(handles.statement, sqlText(sql), SQL_NTS) == SQL_SUCCESS) {
        SQLSMALLINT columns = 0;
        SQLNumResultCols(handles.statement, &columns);
        while (fetchSucceeded(SQLFetch(handles.statement))) {
            std::vector<std::optional<std::string>> row;
            for (SQLUSMALLINT column = 1; column <= static_cast<SQLUSMALLINT>(columns); ++column)
                row.push_back(getColumnText(handles.statement, column, 4096));
            rows.push_back(std::move(row));
        }
    }
    db.disconnectDB(handles);
    return rows;
}

bool executeSql(const TestBackend& backend, const std::string& sql)
{
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(backend.dsn, backend.user, backend.password, handles, Diagnostics::ShowUser))
        return false;
    SQLRETURN result = SQLExecDirect(handles.statement, sqlText(sql), SQL_NTS);
    db.disconnectDB(handles);
    return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO || result == SQL_NO_DATA;
}

long long countRows(const TestBackend& backend, const std::string& table)
{
    auto rows = querySql(backend, "select count(*) from " + table);
    if (rows.empty() || rows[0].empty() || !rows[0][0])
        return -1;
    return std::stoll(*rows[0][0]);
}

TemporaryFolder::TemporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vaultline-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    m_path = made != nullptr ? made : "";
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ignored);
}
