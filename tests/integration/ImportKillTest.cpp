// vaultlinectl import killed with SIGKILL at moments chosen at random, ten times on each
// database: every line it had stored is stored once, and a run after the kills stores the rest.

#include "CliProcess.h"
#include "ScopedApp.h"
#include "db/TableTexts.h"
#include "db/Tables.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {
std::string twoDigits(int value)
{
    return (value < 10 ? "0" : "") + std::to_string(value);
}

std::string mountLine(int index)
{
    std::string line = "2009__05__" + twoDigits(1 + index / 1440) + "__" + twoDigits(index % 1440 / 60) + "."
                       + twoDigits(index % 60) + ",K" + std::to_string(100000 + index) + ",_1,_3,PRODBKUP,__260,0,0";
    for (int counter = 9; counter <= 36; ++counter)
        line += "," + std::to_string(counter + index % 11);
    return line;
}

class ImportKill : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(std::filesystem::exists(cliProgramPath())) << cliProgramPath() << " is not built";
        m_base = uniqueTableName("importkill");
        ASSERT_EQ(createTables(m_base, "DEFAULT", GetParam().dsn, GetParam().user, GetParam().password), 1);
        // Without the unique key only the duplicate check keeps a line from being stored twice.
        ASSERT_TRUE(executeSql(GetParam(), "drop index " + m_base + table_texts::UniqueKeyIndexSuffix));
        writeCliSettings(m_folder, GetParam(), m_base);
    }
    void TearDown() override
    {
        if (!m_base.empty())
            dropTables(m_base, GetParam().dsn, GetParam().user, GetParam().password, nullptr);
    }

    long long storedTwice()
    {
        const auto rows =
            querySql(GetParam(), "select count(*) from (select ipaddress, volser, date, time from " + m_base
                                     + " group by ipaddress, volser, date, time having count(*) > 1) twice");
        return rows.empty() || !rows[0][0] ? -1 : std::stoll(*rows[0][0]);
    }

    std::string m_base;
    TemporaryFolder m_folder;
};
} // namespace

TEST_P(ImportKill, KilledAtAnyMomentStoresEachLineOnceAndARerunCompletes)
{
    constexpr int lines = 5000;
    const std::string path = m_folder.file("mounts.csv");
    {
        std::ofstream file(path, std::ios::binary);
        file << "Mount History" << std::string(35, ',') << "\nh2\nh3\nh4\nh5\n";
        for (int index = 0; index < lines; ++index)
            file << mountLine(index) << "\n";
    }
    std::mt19937 random(std::random_device{}());
    for (int kill = 0; kill < 10; ++kill) {
        const long long before = countRows(GetParam(), m_base);
        // Killed once the run has logged a number of new rows chosen at random among those left,
        // wherever it is then: between chunks, in a transaction, in a commit.
        std::uniform_int_distribution<long long> logged(1, std::max(1LL, lines - before));
        CliProcess import(m_folder, {"import", path, "--library", "10.0.0.1"});
        CliProcess::waitForText(m_folder.file("lvr_debug.txt"), "INSERT INTO", static_cast<std::size_t>(logged(random)),
                                std::chrono::seconds(60));
        ::kill(import.pid(), SIGKILL);
        import.waitForExit(std::chrono::seconds(30));
        EXPECT_EQ(storedTwice(), 0) << "after kill " << kill;
        EXPECT_GE(countRows(GetParam(), m_base), before);
    }
    const long long before = countRows(GetParam(), m_base);
    const CliRun rest = runCli(m_folder, "import '" + path + "' --library 10.0.0.1");
    EXPECT_EQ(rest.status, 0) << rest.errors;
    EXPECT_EQ(rest.output,
              "Inserted " + std::to_string(lines - before) + " new entries from Mount History file into database\n");
    EXPECT_EQ(countRows(GetParam(), m_base), lines);
    EXPECT_EQ(storedTwice(), 0);
}
INSTANTIATE_TEST_SUITE_P(Backends, ImportKill, ::testing::ValuesIn(testBackends()), BackendName());
