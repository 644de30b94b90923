// vaultlinectl import run as its own process on the SQLite test database, as a user runs it.

#include "CliProcess.h"
#include "ScopedApp.h"
#include "app/DebugLog.h"
#include "db/Tables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {
namespace fs = std::filesystem;

std::string mountLine(int minute, const std::string& volser)
{
    std::string line = "2009__04__28__11." + std::to_string(10 + minute) + "," + volser + ",_1,_3,PRODBKUP,__260,0,0";
    for (int counter = 9; counter <= 36; ++counter)
        line += "," + std::to_string(counter);
    return line;
}

std::string mountHistoryFile(const std::string& data)
{
    return "Mount History" + std::string(35, ',') + "\nh2\nh3\nh4\nh5\n" + data;
}

class ImportCommandProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_backend = testBackends().front(); // SQLite, always there
        m_base = uniqueTableName("cli");
        ASSERT_EQ(createTables(m_base, "DEFAULT", m_backend.dsn, m_backend.user, m_backend.password), 1);
        ASSERT_TRUE(fs::exists(cliProgramPath())) << cliProgramPath() << " is not built";
        writeCliSettings(m_folder, m_backend, m_base);
    }
    void TearDown() override
    {
        if (!m_base.empty())
            dropTables(m_base, m_backend.dsn, m_backend.user, m_backend.password, nullptr);
    }

    std::string writeFile(const std::string& name, const std::string& bytes)
    {
        const std::string path = m_folder.file(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Runs the program in the temporary folder (its debug log goes there) on our settings.
    CliRun run(const std::string& arguments) { return runCli(m_folder, arguments); }

    TestBackend m_backend;
    std::string m_base;
    TemporaryFolder m_folder;
};
} // namespace

TEST_F(ImportCommandProcess, ImportsOnceAndSaysSo)
{
    const std::string path =
        writeFile("mounts.csv", mountHistoryFile(mountLine(1, "CL0001") + "\n" + mountLine(2, "CL0002") + "\n\n"
                                                 + mountLine(3, "CL0003")));
    CliRun first = run("import '" + path + "' --library 10.0.0.1");
    EXPECT_EQ(first.status, 0) << first.errors;
    EXPECT_EQ(first.output, "Inserted 3 new entries from Mount History file into database\n");
    EXPECT_EQ(first.errors, "");
    EXPECT_EQ(countRows(m_backend, m_base), 3);

    CliRun second = run("import '" + path + "' --library=10.0.0.1");
    EXPECT_EQ(second.status, 0) << second.errors;
    EXPECT_EQ(second.output, "Inserted 0 new entries from Mount History file into database\n");
    EXPECT_EQ(countRows(m_backend, m_base), 3);
    EXPECT_EQ(querySql(m_backend, "select distinct ipaddress from " + m_base),
              (std::vector<std::vector<std::optional<std::string>>>{{"10.0.0.1"}}));
}

TEST_F(ImportCommandProcess, FailuresGiveStatusAndMessages)
{
    // A line the database cannot take: the others are stored, the status says not all were.
    const std::string partly =
        writeFile("partly.csv", mountHistoryFile(mountLine(1, "CL0001") + "\n2009 04 28 11.20,CL0002\n"));
    CliRun result = run("import '" + partly + "' --library 10.0.0.1");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "Inserted 1 new entries from Mount History file into database\n");
    EXPECT_EQ(result.errors, "Error(s) inserting data into the database.\nSee debug file for more information.\n");
    EXPECT_NE(readWholeFile(m_folder.file("lvr_debug.txt")).find("Line not inserted"), std::string::npos);

    const std::string wrong = writeFile("wrong.csv", "Mount History" + std::string(34, ',') + "\n");
    result = run("import '" + wrong + "' --library 10.0.0.1");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(result.errors, "Invalid file format!\n");

    result = run("import '" + m_folder.file("missing.csv") + "' --library 10.0.0.1");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.errors, "ERROR: Failed to open import file!\nNo such file or directory\n");

    result = run("import '" + partly + "'");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.errors.find("usage: vaultlinectl import FILE --library ADDR"), std::string::npos);
    EXPECT_EQ(countRows(m_backend, m_base), 1);
}

TEST_F(ImportCommandProcess, LogHeldByAnotherProcessAndLogOption)
{
    const std::string path = writeFile("mounts.csv", mountHistoryFile(mountLine(1, "CL0001") + "\n"));
    {
        // Another process (this test) writes lvr_debug.txt in the folder.
        DebugLog other;
        ASSERT_EQ(other.open(m_folder.file("lvr_debug.txt")), 0);
        CliRun held = run("import '" + path + "' --library 10.0.0.1");
        EXPECT_EQ(held.status, 255);
        EXPECT_EQ(held.errors, "ERROR: Failed to open debug file!\nResource temporarily unavailable\n"
                                   + m_folder.file("lvr_debug.txt")
                                   + " is in use by another Vaultline process: pass --log FILE to write another file, "
                                     "or run from another folder\n");
        EXPECT_EQ(countRows(m_backend, m_base), 0);

        // Its own log, named before or after the command's arguments.
        CliRun own = run("--log own.txt import '" + path + "' --library 10.0.0.1");
        EXPECT_EQ(own.status, 0) << own.errors;
        own = run("import '" + path + "' --log=own.txt --library 10.0.0.1");
        EXPECT_EQ(own.status, 0) << own.errors;
        EXPECT_EQ(own.output, "Inserted 0 new entries from Mount History file into database\n");
    }
    struct stat info {};
    ASSERT_EQ(::stat(m_folder.file("own.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(countRows(m_backend, m_base), 1);

    CliRun missing = run("import '" + path + "' --library 10.0.0.1 --log");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.errors.find("--log needs a file name"), std::string::npos);
}

TEST_F(ImportCommandProcess, AddressTooLongForTheTablesIsRefusedUpFront)
{
    const std::string path = writeFile("mounts.csv", mountHistoryFile(mountLine(1, "CL0001") + "\n"));
    CliRun import = run("import '" + path + "' --library tapelib2.example.net");
    EXPECT_EQ(import.status, 1);
    EXPECT_EQ(import.output, "");
    EXPECT_EQ(import.errors.rfind("The library name or address \"tapelib2.example.net\" is longer than 15", 0), 0u)
        << import.errors;

    // The monitor refuses before it starts anything: no library is contacted, no signal needed.
    CliRun monitor = run("monitor 10.0.0.1 tapelib2.example.net");
    EXPECT_EQ(monitor.status, 2);
    EXPECT_NE(monitor.errors.find("vaultlinectl monitor: The library name or address \"tapelib2.example.net\""),
              std::string::npos)
        << monitor.errors;
    EXPECT_EQ(countRows(m_backend, m_base), 0);
}
