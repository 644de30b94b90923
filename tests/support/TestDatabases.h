#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// A database the tests run against: SQLite always (a fresh file per test process), and
// PostgreSQL when the test script started a cluster (VAULTLINE_TEST_PG_PORT is set).
struct TestBackend {
    std::string name; // "SQLite" or "PostgreSQL": the test names say which backend ran
    std::string dsn;
    std::string user;
    std::string password;
    bool available = true; // PostgreSQL only when the test script started a cluster
};

// Tests print a backend by its name.
inline void PrintTo(const TestBackend& backend, std::ostream* out)
{
    *out << backend.name;
}

// SQLite and PostgreSQL. Writes this process's odbc.ini and points unixODBC at it (first call only).
std::vector<TestBackend> testBackends();

// The SQLite test database through a connection that refuses every statement calling sum() or
// reading Life_Read_Perms_Media or Mount_Crypto_Rekey (an authorizer the driver loads).
TestBackend refusingSqliteBackend();

// The database "vaultline_spare" on the test PostgreSQL server (available when it is), for
// tests that cut it off from everyone else; the test creates the database itself.
TestBackend spareTestBackend();

// The test PostgreSQL server reached wrongly: by a port nobody listens on, for a database it
// does not have, or as the one role that logs in with a password (scripts/pg-cluster.sh makes
// it: vaultline_password, password "vaultline-right"). Available when the server is.
enum class PostgresVariant { ClosedPort, MissingDatabase, PasswordRole };
TestBackend postgresVariant(PostgresVariant variant);

// A table base name no other test process uses.
std::string uniqueTableName(const std::string& stem);

// Direct access for arranging and checking data around the code under test.
bool executeSql(const TestBackend& backend, const std::string& sql);
std::vector<std::vector<std::optional<std::string>>> querySql(const TestBackend& backend, const std::string& sql);
long long countRows(const TestBackend& backend, const std::string& table);

// Base of the tests that run on each backend: skips a backend that is not available.
class BackendTest : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override
    {
        if (!GetParam().available)
            GTEST_SKIP() << GetParam().name << " is not running here: scripts/test.sh starts a cluster";
    }
};

// For INSTANTIATE_TEST_SUITE_P: names each instance after its backend.
struct BackendName {
    template <class ParamInfo>
    std::string operator()(const ParamInfo& info) const
    {
        return info.param.name;
    }
};

// A fresh temporary folder, removed when the object goes.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};
