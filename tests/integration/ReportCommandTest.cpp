// vaultlinectl report run as its own process on the SQLite test database, as a cron job runs it.

#include "CliProcess.h"
#include "LibraryFileServer.h"
#include "ScopedApp.h"
#include "db/Tables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace {
namespace fs = std::filesystem;

class ReportCommandProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_backend = testBackends().front(); // SQLite, always there
        m_base = uniqueTableName("clireport");
        ASSERT_EQ(createTables(m_base, "DEFAULT", m_backend.dsn, m_backend.user, m_backend.password), 1);
        ASSERT_TRUE(fs::exists(cliProgramPath())) << cliProgramPath() << " is not built";
        writeCliSettings(m_folder, m_backend, m_base);
        ASSERT_TRUE(executeSql(m_backend, "insert into " + m_base
                                              + " (ipAddress, Date, Time, Volser, Frame, Drive, Life_Mounts_Media, "
                                                "Life_Write_Retries_Media, Mount_Crypto_Status, Mount_Crypto_Rekey) "
                                                "values ('10.0.0.1', '2026-01-05', '08:00:00', 'VOL001', 1, 1, 4, 1, "
                                                "1, 0), ('10.0.0.1', '2026-01-06', '09:00:00', 'VOL001', 1, 2, 5, 7, "
                                                "0, 1)"));
    }
    void TearDown() override
    {
        if (!m_base.empty())
            dropTables(m_base, m_backend.dsn, m_backend.user, m_backend.password, nullptr);
    }

    CliRun run(const std::string& arguments) { return runCli(m_folder, "report " + arguments); }

    TestBackend m_backend;
    std::string m_base;
    TemporaryFolder m_folder;
};
} // namespace

TEST_F(ReportCommandProcess, TextsOnStandardOutput)
{
    CliRun result = run("encryption-status --library 10.0.0.1 --from 2026-01-01 --to=2026-01-31");
    EXPECT_EQ(result.status, 0) << result.errors;
    ASSERT_EQ(result.output.rfind("Starting encryption status report on ", 0), 0u);
    EXPECT_EQ(result.output.substr(result.output.find('\n') + 1),
              "\nThe date range is between 01-01-2026 and 01-31-2026\n\n\n10.0.0.1:\n"
              "Volser: VOL001   Last Demount: 2026-01-06 09:00:00   Not Encrypted   ReKeys: 1\n\nDone!\n");

    // A threshold marks the line and needs no other switch.
    result = run("cartridge-statistics --library 10.0.0.1 --from 2026-01-01 --to 2026-01-31 "
                 "--threshold LIFE_WRITE_RETRIES=5:10");
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_NE(result.output.find("   MAX LIFE_WRITE_RETRIES: 7 (WARNING)\n"), std::string::npos);
    EXPECT_NE(result.output.find("   MAX LIFE_MOUNTS: 5\n"), std::string::npos);

    result = run("retries-perms --library 10.0.0.1 --from 2026-01-01 --to 2026-01-31");
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(result.output,
              "ROW,IPADDRESS,DATE,TIME,VOLSER,FRAME,DRIVE,LIFE_WRITE_RETRIES,LIFE_WRITE_PERMS,LIFE_READ_RETRIES,"
              "LIFE_READ_PERMS\n1,10.0.0.1,01-06-2026,09:00:00,VOL001,1,2,6,0,0,0\n");
}

// Mount rates read the library's drive file as well: its drives are named by their WWNN.
TEST_F(ReportCommandProcess, MountRatesOfALibraryOnLoopback)
{
    libsim::LibraryOptions options;
    options.frames = 1;
    options.drives = 2;
    options.days = 1;
    libsim::LibraryFileServer library(options);
    ASSERT_TRUE(library.start());
    std::string wwnn;
    library.inspect([&](const libsim::LibrarySimulation& simulation) { wwnn = simulation.model().drives.at(1).wwnn; });
    const std::string address = library.address();
    ASSERT_TRUE(executeSql(m_backend, "insert into " + m_base
                                          + " (ipAddress, Date, Time, Volser, Frame, Drive) values ('" + address
                                          + "', '2026-01-05', '08:00:00', 'VOL001', 1, 2)"));
    const CliRun result = run("mount-rates --library " + address + " --from 2026-01-05 --to 2026-01-06");
    EXPECT_EQ(result.status, 0) << result.errors;
    ASSERT_EQ(result.output.rfind("Starting mount rates report on ", 0), 0u) << result.output;
    EXPECT_NE(result.output.find("\nIP ADDRESS: " + address + "\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("\nWWNN " + wwnn + ":   Average Mounts/Day = 1.00   Standard Deviation = 0.00\n"),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("\nVolser: VOL001   Average Mounts/Day = 1.00   Standard Deviation = 0.00\n"),
              std::string::npos);
    EXPECT_EQ(result.output.substr(result.output.size() - 7), "Done!\n\n");
}

TEST_F(ReportCommandProcess, HealthReportsPrintTheWindowsText)
{
    CliRun result = run("drive-health --library 10.0.0.1 --from 2026-01-01 --to 2026-01-31");
    EXPECT_EQ(result.status, 0) << result.errors;
    ASSERT_EQ(result.output.rfind("Starting Drive Last 10 Mount Moving Average report on ", 0), 0u) << result.output;
    const std::size_t drive2 = result.output.find("\nIPAddress: 10.0.0.1 Frame: 1 Drive: 2 \n\n");
    EXPECT_NE(result.output.find("\nIPAddress: 10.0.0.1 Frame: 1 Drive: 1 \n\n"), std::string::npos);
    ASSERT_NE(drive2, std::string::npos) << result.output;
    EXPECT_NE(result.output.find("    Not enough MOUNT_CONTROL_CAPACITY_UTIL data for IPAddress = 10.0.0.1 frame = 1 "
                                 "drive = 2 \n\n",
                                 drive2),
              std::string::npos);
    EXPECT_EQ(result.output.substr(result.output.size() - 6), "Done!\n");

    result = run("cartridge-health --library 10.0.0.1 --library 10.0.0.9 --from 2026-01-01 --to 2026-01-31");
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_NE(result.output.find("IPAddress = 10.0.0.1 volser = VOL001\n\nIPAddress: 10.0.0.1 Volser: VOL001 \n\n"
                                 "    Not enough MOUNT_MEDIA_RATING data for IPAddress = 10.0.0.1 volser = VOL001 \n"),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("No entries found for IP address 10.0.0.9 between dates 01-01-2026 and 01-31-2026"),
              std::string::npos);
}

TEST_F(ReportCommandProcess, BadArgumentsAndDatabaseErrors)
{
    for (const char* arguments : {"mount-rates --from 2026-01-01 --to 2026-01-31",
                                  "mount-rates --library 10.0.0.1 --from 2026-13-01 --to 2026-01-31",
                                  "mount-rates --library 10.0.0.1 --from 2026-02-01 --to 2026-01-31",
                                  "weekly --library 10.0.0.1 --from 2026-01-01 --to 2026-01-31",
                                  "retries-perms --library 10.0.0.1 --from 2026-01-01 --to 2026-01-31 "
                                  "--threshold VOLSER=1:2",
                                  "mount-rates --library 10.0.0.1 --from 2026-01-01 --to 2026-01-31 --verbose"}) {
        const CliRun result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_NE(result.errors.find("usage: vaultlinectl report KIND"), std::string::npos) << arguments;
        EXPECT_EQ(result.output, "") << arguments;
    }

    ASSERT_TRUE(executeSql(m_backend, "drop table " + m_base));
    const CliRun result = run("cartridge-statistics --library 10.0.0.1 --from 2026-01-01 --to 2026-01-31");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.errors.find("database error"), std::string::npos);
    EXPECT_NE(
        readWholeFile(m_folder.file("lvr_debug.txt")).find(" the select statement in report by drive statistics:"),
        std::string::npos);
}

// One day is a range: the report holds that day's mount and not the next day's.
TEST_F(ReportCommandProcess, OneDayRange)
{
    const CliRun result = run("encryption-status --library 10.0.0.1 --from 2026-01-05 --to 2026-01-05");
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(result.output.substr(result.output.find('\n') + 1),
              "\nThe date range is between 01-05-2026 and 01-05-2026\n\n\n10.0.0.1:\n"
              "Volser: VOL001   Last Demount: 2026-01-05 08:00:00       Encrypted   ReKeys: 0\n\nDone!\n");
}

// The dates are checked before the database is asked: with the table gone a statement would
// end with status 1, and each of these ends with 2 and says why.
TEST_F(ReportCommandProcess, DatesAreRealDaysGivenOnceBeforeAnyStatement)
{
    ASSERT_TRUE(executeSql(m_backend, "drop table " + m_base));
    const std::string library = "mount-rates --library 10.0.0.1 ";
    const std::string dates = "--from and --to take dates as YYYY-MM-DD";
    for (const auto& [arguments, why] : std::vector<std::pair<std::string, std::string>>{
             {"--from 2026-11-01 --to 2026-11-31", dates},
             {"--from 2026-02-30 --to 2026-03-01", dates},
             {"--from 2026-01-01 --from 2026-01-02 --to 2026-01-31", "--from given twice"},
             {"--from 2026-01-01 --to 2026-01-31 --to=2026-01-30", "--to given twice"},
             {"--from 2026-01-01", "--to is missing"},
             {"--to 2026-01-31", "--from is missing"}}) {
        const CliRun result = run(library + arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_EQ(result.errors.rfind("vaultlinectl report: " + why + "\nusage: vaultlinectl report KIND", 0), 0u)
            << arguments << "\n"
            << result.errors;
    }
    EXPECT_EQ(run(library + "--from 2026-11-01 --to 2026-11-30").status, 1);
}

// A report that could not be written is no success: status 1 and a message on standard error,
// whether the text was written as it came (encryption status) or at the end (the CSV).
TEST_F(ReportCommandProcess, AFullStandardOutputFailsTheRun)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "this system has no /dev/full";
    for (const char* kind : {"encryption-status", "retries-perms"}) {
        const CliRun result = runCli(m_folder,
                                     std::string("report ") + kind
                                         + " --library 10.0.0.1 --from 2026-01-01 "
                                           "--to 2026-01-31",
                                     "", "", "/dev/full");
        EXPECT_EQ(result.status, 1) << kind;
        EXPECT_EQ(result.errors, "vaultlinectl report: standard output could not be written\n") << kind;
    }
}

// The library overview's two commands: the CSV's header and rows, the text, their bad
// arguments, and a database error. The second mount of VOL001 grew its write retries by 6.
TEST_F(ReportCommandProcess, SuspectsAndOverview)
{
    CliRun result = run("suspects --library 10.0.0.1 --from 2026-01-01 --to 2026-01-31 --retries 5");
    EXPECT_EQ(result.status, 0) << result.errors;
    ASSERT_EQ(result.output.rfind("Kind,Unit,Verdict,", 0), 0u) << result.output;
    const std::string rows = result.output.substr(result.output.find('\n') + 1);
    EXPECT_EQ(rows.rfind("drive,1:2,ok,1,", 0), 0u) << rows;
    EXPECT_NE(rows.find("\ncartridge,VOL001,ok,2,"), std::string::npos) << rows;
    // With the default threshold 6 retries are no trouble: the header alone.
    result = run("suspects --library 10.0.0.1 --from 2026-01-01 --to 2026-01-31");
    EXPECT_EQ(result.output.find('\n'), result.output.size() - 1) << result.output;

    result = run("overview --library 10.0.0.1 --from 2026-01-01 --to 2026-01-31");
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_NE(result.output.find("\nLibrary 10.0.0.1, 01-01-2026 to 01-31-2026: 2 mounts, 0 troubled\n"
                                 "0 drives and 0 cartridges need attention\n"),
              std::string::npos)
        << result.output;

    for (const char* arguments : {"suspects --library 10.0.0.1 --library 10.0.0.2 --from 2026-01-01 --to 2026-01-31",
                                  "suspects --library 10.0.0.1 --from 2026-01-01 --to 2026-01-31 --retries many",
                                  "mount-rates --library 10.0.0.1 --from 2026-01-01 --to 2026-01-31 --retries 3"}) {
        result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_EQ(result.output, "") << arguments;
    }
    ASSERT_TRUE(executeSql(m_backend, "drop table " + m_base));
    result = run("suspects --library 10.0.0.1 --from 2026-01-01 --to 2026-01-31");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "");
    EXPECT_NE(readWholeFile(m_folder.file("lvr_debug.txt")).find("the select statement in the library overview:"),
              std::string::npos);
}
