// vaultlinectl import run as its own process on the SQLite test database, as a user runs it.

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

// The program next to this test program in the build tree, or where VAULTLINE_CLI says.
std::string cliProgram()
{
    if (const char* given = std::getenv("VAULTLINE_CLI"); given != nullptr && *given != '\0')
        return given;
    return (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "src/cli/vaultlinectl").string();
}

struct ProcessRun {
    int status = -1;
    std::string output;
    std::string errors;
};

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
        ASSERT_TRUE(fs::exists(cliProgram())) << cliProgram() << " is not built";
        // The settings file the desktop program would have written for this database.
        fs::create_directories(m_folder.file("config/Kestrix"));
        std::ofstream(m_folder.file("config/Kestrix/Kestrix Vaultline.ini"))
            << "[Connection]\nUsername=" << m_backend.user << "\n\n[Setup]\nDatabase%20Name=" << m_backend.dsn
            << "\nDatabase%20Type=2\nMount%20History%20Table%20Name=" << m_base
            << "\nLibrary%20Performance%20Table%20Name=" << tableNameFor(TableKind::LibraryPerformance, m_base)
            << "\nReports%20Table%20Name=" << tableNameFor(TableKind::Reports, m_base) << "\nDate%20Format=2\n";
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
    ProcessRun run(const std::string& arguments)
    {
        const std::string command = "cd '" + m_folder.path() + "' && XDG_CONFIG_HOME='" + m_folder.file("config")
                                    + "' '" + cliProgram() + "' " + arguments + " >out.txt 2>err.txt";
        ProcessRun result;
        const int status = std::system(command.c_str());
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.output = readWholeFile(m_folder.file("out.txt"));
        result.errors = readWholeFile(m_folder.file("err.txt"));
        return result;
    }

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
    ProcessRun first = run("import '" + path + "' --library 10.0.0.1");
    EXPECT_EQ(first.status, 0) << first.errors;
    EXPECT_EQ(first.output, "Inserted 3 new entries from Mount History file into database\n");
    EXPECT_EQ(first.errors, "");
    EXPECT_EQ(countRows(m_backend, m_base), 3);

    ProcessRun second = run("import '" + path + "' --library=10.0.0.1");
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
    ProcessRun result = run("import '" + partly + "' --library 10.0.0.1");
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
        ProcessRun held = run("import '" + path + "' --library 10.0.0.1");
        EXPECT_EQ(held.status, 255);
        EXPECT_EQ(held.errors, "ERROR: Failed to open debug file!\nResource temporarily unavailable\n"
                                   + m_folder.file("lvr_debug.txt")
                                   + " is in use by another Vaultline process: pass --log FILE to write another file, "
                                     "or run from another folder\n");
        EXPECT_EQ(countRows(m_backend, m_base), 0);

        // Its own log, named before or after the command's arguments.
        ProcessRun own = run("--log own.txt import '" + path + "' --library 10.0.0.1");
        EXPECT_EQ(own.status, 0) << own.errors;
        own = run("import '" + path + "' --log=own.txt --library 10.0.0.1");
        EXPECT_EQ(own.status, 0) << own.errors;
        EXPECT_EQ(own.output, "Inserted 0 new entries from Mount History file into database\n");
    }
    struct stat info {};
    ASSERT_EQ(::stat(m_folder.file("own.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(countRows(m_backend, m_base), 1);

    ProcessRun missing = run("import '" + path + "' --library 10.0.0.1 --log");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.errors.find("--log needs a file name"), std::string::npos);
}

TEST_F(ImportCommandProcess, AddressTooLongForTheTablesIsRefusedUpFront)
{
    const std::string path = writeFile("mounts.csv", mountHistoryFile(mountLine(1, "CL0001") + "\n"));
    ProcessRun import = run("import '" + path + "' --library tapelib2.example.net");
    EXPECT_EQ(import.status, 1);
    EXPECT_EQ(import.output, "");
    EXPECT_EQ(import.errors.rfind("The library name or address \"tapelib2.example.net\" is longer than 15", 0), 0u)
        << import.errors;

    // The monitor refuses before it starts anything: no library is contacted, no signal needed.
    ProcessRun monitor = run("monitor 10.0.0.1 tapelib2.example.net");
    EXPECT_EQ(monitor.status, 2);
    EXPECT_NE(monitor.errors.find("vaultlinectl monitor: The library name or address \"tapelib2.example.net\""),
              std::string::npos)
        << monitor.errors;
    EXPECT_EQ(countRows(m_backend, m_base), 0);
}
