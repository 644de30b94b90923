// vaultlinectl custom run as its own process, as a cron job runs a template saved in the window.

#include "CliProcess.h"
#include "HostileTemplates.h"
#include "ScopedApp.h"
#include "custom/CustomTemplateCheck.h"
#include "custom/CustomTemplates.h"
#include "db/qmxDB.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

namespace {
class CustomCommand : public BackendTablesTest {
protected:
    CustomCommand() : BackendTablesTest("clicustom") {}
    TemporaryFolder folder;
    std::string today;

    void SetUp() override
    {
        BackendTablesTest::SetUp();
        if (IsSkipped())
            return;
        scoped.app().settings.reportsTableName = tableNameFor(TableKind::Reports, base);
        writeCliSettings(folder, GetParam(), base);
        char date[16] = {};
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        std::strftime(date, sizeof date, "%Y-%m-%d", &local);
        today = date;
        ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base
                                               + " (ipAddress, Date, Time, Volser, Frame, Drive, Mount_Host_Write, "
                                                 "Mount_TapeAlert_Media) VALUES ('10.0.0.7', '"
                                               + today + "', '00:00:01', 'A00001', 1, 1, 600, 3), ('10.0.0.7', '"
                                               + today + "', '00:00:02', 'A00002', 1, 1, 70, 20)"));
        save("Drive table", "Mount History: HOST_WRITE (Drive / Volser)", "Frame: 1  Drive: 1", 3);
        save("Drive last", "Mount History: HOST_WRITE (Drive / Volser)", "Frame: 1  Drive: 1", 0);
        save("Alerts", "Mount History: TAPEALERT_MEDIA", "A00001,A00002", 1);
        save("Pair last", "Mount History: HOST_WRITE (Drive / Volser)", "A00001,A00002", 0);
    }

    void TearDown() override
    {
        if (!IsSkipped())
            dropCanary(GetParam());
        BackendTablesTest::TearDown();
    }

    void save(const std::string& name, const std::string& field, const std::string& value, int reportType)
    {
        CustomTemplate tmpl;
        tmpl.userName = GetParam().user;
        tmpl.name = name;
        tmpl.ipAddress = "10.0.0.7";
        tmpl.range = 1;
        tmpl.fieldType = field;
        tmpl.rateText = "Optionally Select a Rate...";
        tmpl.value = value;
        tmpl.reportType = reportType;
        qmxDB db;
        ASSERT_TRUE(saveCustomTemplate(db, scoped.app().settings.reportsTableName, tmpl));
    }

    CliRun run(const std::string& arguments) { return runCli(folder, "custom " + arguments); }
};
} // namespace

TEST_P(CustomCommand, PrintsTheTableWritesTheCsvAndTellsTheLastInstance)
{
    // Dates are shown as the settings' format 2 has them: year, month and day of two digits.
    const std::string shown = today.substr(2);
    CliRun ended = run("--template 'Drive table'");
    ASSERT_EQ(ended.status, 0) << ended.errors;
    EXPECT_EQ(ended.output, "10.0.0.7: HOST_WRITE(MBs) on Frame:1 Drive:1\n"
                            "ROW  DATE      TIME      HOST_WRITE(MBs)\n"
                            "1    "
                                + shown
                                + "  00:00:01  600\n"
                                  "2    "
                                + shown + "  00:00:02  70\n");

    ended = run("'--template=Drive table' --csv out.csv");
    ASSERT_EQ(ended.status, 0) << ended.errors;
    EXPECT_EQ(readWholeFile(folder.file("out.csv")),
              "Date,Time,HOST_WRITE(MBs) on Frame:1 Drive:1\n" + shown + ",00:00:01,600\n" + shown + ",00:00:02,70\n");

    ended = run("--template 'Drive last' --user " + GetParam().user);
    ASSERT_EQ(ended.status, 0) << ended.errors;
    EXPECT_EQ(ended.output, "The last instance of HOST_WRITE(MBs) on Frame:1 Drive:1\nwas recorded on " + shown
                                + " at 00:00:02.  The value is 70.\n");

    ended = run("--template Alerts --tapealert 20,3");
    ASSERT_EQ(ended.status, 0) << ended.errors;
    EXPECT_NE(ended.output.find("3:Hard error  1"), std::string::npos) << ended.output;
    EXPECT_NE(ended.output.find("20:Clean now  1"), std::string::npos) << ended.output;
}

// A last instance over several items is a rollup: the command prints its table.
TEST_P(CustomCommand, LastInstanceTemplateOverTwoItemsPrintsTheRollupTable)
{
    const CliRun ended = run("--template 'Pair last'");
    ASSERT_EQ(ended.status, 0) << ended.errors;
    EXPECT_EQ(ended.output.rfind("10.0.0.7: HOST_WRITE(MBs) since ", 0), 0u) << ended.output;
    EXPECT_EQ(ended.output.find("The last instance"), std::string::npos) << ended.output;
    EXPECT_NE(ended.output.find("DRIVE/VOLSER"), std::string::npos) << ended.output;
    EXPECT_NE(ended.output.find("1    A00001        600\n"), std::string::npos) << ended.output;
    EXPECT_NE(ended.output.find("2    A00002        70\n"), std::string::npos) << ended.output;
}

// Templates written into the reports table by hand with SQL in one column each: refused before
// any statement of the report, the canary table untouched.
TEST_P(CustomCommand, RefusesATemplateWithAValueTheFormCouldNotHaveSaved)
{
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base
                                           + " (ipAddress, Date, Time, Volser, Frame, Drive, Mount_Host_Write) "
                                             "VALUES ('10.0.0.1', '"
                                           + today + "', '00:00:03', 'VOL001', 1, 1, 5)"));
    const std::vector<HostileTemplate> hostile =
        insertHostileTemplates(GetParam(), scoped.app().settings.reportsTableName, GetParam().user);
    ASSERT_EQ(hostile.size(), 8u);
    for (const HostileTemplate& tmpl : hostile) {
        const CliRun ended = run("--template '" + tmpl.name + "'");
        EXPECT_EQ(ended.status, 1) << tmpl.name;
        EXPECT_EQ(ended.errors, "vaultlinectl custom: " + templateRefusedMessage(tmpl.name, tmpl.column) + "\n");
        EXPECT_EQ(ended.output, "") << tmpl.name;
    }
    EXPECT_TRUE(canaryIntact(GetParam()));
    const CliRun good = run("--template 'well formed'");
    ASSERT_EQ(good.status, 0) << good.errors;
    EXPECT_NE(good.output.find("  00:00:03  5\n"), std::string::npos) << good.output;
}

TEST_P(CustomCommand, ExitStatusesOfBadArgumentsUnknownTemplatesAndDatabaseErrors)
{
    EXPECT_EQ(run("").status, 2);
    EXPECT_EQ(run("--template 'Drive table' extra").status, 2);
    EXPECT_EQ(run("--template 'Drive table' --template Alerts").status, 2);
    CliRun ended = run("--template Alerts");
    EXPECT_EQ(ended.status, 2);
    EXPECT_NE(ended.errors.find("--tapealert"), std::string::npos);
    ended = run("--template Alerts --tapealert 3,13");
    EXPECT_EQ(ended.status, 2);
    EXPECT_NE(ended.errors.find("\"13\" is not one of the 42 TapeAlert codes"), std::string::npos);
    EXPECT_EQ(run("--template " + std::string(51, 'n')).status, 2);

    ended = run("--template \"Nobody's\"");
    EXPECT_EQ(ended.status, 1);
    EXPECT_NE(ended.errors.find("there is no template \"Nobody's\""), std::string::npos);
    EXPECT_EQ(run("--template 'Drive table' --user 'someone else'").status, 1);

    // The table that cannot be written is no success.
    if (std::filesystem::exists("/dev/full")) {
        ended = runCli(folder, "custom --template 'Drive table'", "", "", "/dev/full");
        EXPECT_EQ(ended.status, 1);
        EXPECT_EQ(ended.errors, "vaultlinectl custom: standard output could not be written\n");
    }

    ASSERT_TRUE(executeSql(GetParam(), "DROP TABLE " + base));
    EXPECT_EQ(run("--template 'Drive table'").status, 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, CustomCommand, ::testing::ValuesIn(testBackends()), BackendName());
