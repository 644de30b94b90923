#include "ScopedApp.h"
#include "db/Dialect.h"
#include "db/DiagnosticsWindow.h"
#include "db/ListControl.h"
#include "db/Tables.h"
#include "db/qmxDB.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
// The column lists as the tables are documented, written out independently of the code.
const std::vector<std::string> MountHistoryDerby = {"ipAddress varchar(15)",
                                                    "Date date",
                                                    "Time time",
                                                    "Volser varchar(8)",
                                                    "Frame int",
                                                    "Drive int",
                                                    "Logical_Library varchar(30)",
                                                    "Element_Address int",
                                                    "Reserved1 int",
                                                    "Reserved2 int",
                                                    "Mount_Host_Write int",
                                                    "Mount_Host_Read int",
                                                    "Mount_Drive_Residency int",
                                                    "Mount_TapeAlert_Media int",
                                                    "Life_Mounts_Media int",
                                                    "Life_Write_Retries_Media int",
                                                    "Life_Write_Perms_Media int",
                                                    "Life_Read_Retries_Media int",
                                                    "Life_Read_Perms_Media int",
                                                    "Mount_Rating_Drive int",
                                                    "Mount_Rating_Media int",
                                                    "Mount_Rating_Ports int",
                                                    "Mount_Rating_Port0 int",
                                                    "Mount_Rating_Port1 int",
                                                    "Reserved3 int",
                                                    "Mount_Write_Perf_Util int",
                                                    "Mount_Write_ERPs_Impct int",
                                                    "Mount_Write_Burst_Util int",
                                                    "Mount_Write_Buffer_Util int",
                                                    "Mount_Read_Perf_Util int",
                                                    "Mount_Read_ERPs_Impct int",
                                                    "Mount_Read_Burst_Util int",
                                                    "Mount_Read_Buffer_Util int",
                                                    "Mount_Capacity_Total_Util int",
                                                    "Mount_Capacity_Writes_Util int",
                                                    "Mount_Capacity_Control_Util int",
                                                    "Mount_Crypto_Status smallint",
                                                    "Mount_Crypto_Rekey smallint"};
const std::vector<std::string> LibraryPerformanceDerby = {
    "ipAddress varchar(15)",       "Date date",           "Time time",
    "Logical_Library varchar(30)", "Residency_Max int",   "Residency_Avg int",
    "Mounts_Total smallint",       "Mounts_Max smallint", "Mounts_Avg smallint",
    "Ejects_Total smallint",       "Ejects_Max smallint", "Ejects_Avg smallint",
    "Inserts_Total smallint"};
const std::vector<std::string> ReportsDerby = {
    "Username varchar(25)", "Report_Name varchar(50)", "ipAddress varchar(15)",
    "Range smallint",       "Field_Type varchar(50)",  "Eff_Value varchar(50)",
    "Col_Type smallint",    "Value varchar(512)",      "Report_Type smallint"};

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The Oracle spelling of a documented column: Dates, varchar2, number.
std::string oracleColumn(const std::string& derby)
{
    const auto blank = derby.find(' ');
    std::string name = derby.substr(0, blank);
    std::string type = derby.substr(blank + 1);
    if (name == "Date")
        name = "Dates";
    if (type == "int" || type == "smallint")
        type = "number";
    else if (type == "time")
        type = "timestamp";
    else if (type.rfind("varchar(", 0) == 0)
        type = "varchar2" + type.substr(7);
    return name + " " + type;
}

std::string joined(const std::vector<std::string>& columns, bool oracle)
{
    std::string text;
    for (const std::string& column : columns)
        text += (text.empty() ? "" : ", ") + (oracle ? oracleColumn(column) : column);
    return "(" + text + (oracle ? ")" : "); ");
}

std::vector<std::string> upperNames(const std::vector<std::string>& columns)
{
    std::vector<std::string> names;
    for (const std::string& column : columns)
        names.push_back(upper(column.substr(0, column.find(' '))));
    return names;
}
} // namespace

TEST(TableDefinitions, OracleStatementsAreTheDocumentedColumnLists)
{
    const Dialect oracle(1);
    EXPECT_EQ(createTableStatement(TableKind::MountHistory, "LIB", oracle),
              "CREATE TABLE LIB " + joined(MountHistoryDerby, true));
    EXPECT_EQ(createTableStatement(TableKind::LibraryPerformance, "LIB_lp", oracle),
              "CREATE TABLE LIB_lp " + joined(LibraryPerformanceDerby, true));
    EXPECT_EQ(createTableStatement(TableKind::Reports, "LIB_reports", oracle),
              "CREATE TABLE LIB_reports " + joined(ReportsDerby, true));
    // Spot checks of the expectation itself, so a slip in the test helper cannot hide one in the code.
    EXPECT_EQ(createTableStatement(TableKind::Reports, "R", oracle),
              "CREATE TABLE R (Username varchar2(25), Report_Name varchar2(50), ipAddress varchar2(15), "
              "Range number, Field_Type varchar2(50), Eff_Value varchar2(50), Col_Type number, "
              "Value varchar2(512), Report_Type number)");
    const auto names = tableColumnNames(TableKind::MountHistory, oracle);
    ASSERT_EQ(names.size(), 38u);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 3),
              (std::vector<std::string>{"ipAddress", "Dates", "Time"}));

    EXPECT_EQ(uniqueKeyStatement(TableKind::MountHistory, "LIB", oracle),
              "CREATE UNIQUE INDEX LIB_key ON LIB (ipAddress, Volser, Dates, Time)");
    EXPECT_EQ(uniqueKeyStatement(TableKind::LibraryPerformance, "LIB_lp", oracle),
              "CREATE UNIQUE INDEX LIB_lp_key ON LIB_lp (ipAddress, Logical_Library, Dates, Time)");
    EXPECT_EQ(uniqueKeyStatement(TableKind::Reports, "LIB_reports", oracle), "");
}

TEST(TableDefinitions, DerbyNimbusListsEndWithASemicolonAndBlank)
{
    for (int type : {0, 2}) {
        const Dialect derby(type);
        EXPECT_EQ(tableColumnList(TableKind::MountHistory, derby), joined(MountHistoryDerby, false));
        EXPECT_EQ(tableColumnList(TableKind::LibraryPerformance, derby), joined(LibraryPerformanceDerby, false));
        EXPECT_EQ(tableColumnList(TableKind::Reports, derby), joined(ReportsDerby, false));
        EXPECT_EQ(uniqueKeyStatement(TableKind::MountHistory, "LIB", derby),
                  "CREATE UNIQUE INDEX LIB_key ON LIB (ipAddress, Volser, Date, Time)");
    }
    EXPECT_EQ(tableNameFor(TableKind::LibraryPerformance, "Lib"), "Lib_lp");
    EXPECT_EQ(tableNameFor(TableKind::Reports, "Lib"), "Lib_reports");
}

namespace {
struct ColumnTitles : ListControl {
    std::vector<std::string> titles;
    void setColumns(const std::vector<std::string>& t, const std::vector<bool>&) override
    {
        for (std::size_t i = 1; i < t.size(); ++i) // the first is the list's own row number
            titles.push_back(upper(t[i]));
    }
    void addRow(const std::vector<std::string>&) override {}
};

struct TablePage : DiagnosticsWindow {
    int focused = 0;
    Kind windowKind() const override { return Kind::TableSetupPage; }
    void focusTableName() override { ++focused; }
};

class Tables : public BackendTest {
protected:
    ScopedApp scoped;

    void SetUp() override
    {
        BackendTest::SetUp();
        scoped.useBackend(GetParam(), "unused", 2);
    }

    int create(const std::string& base)
    {
        return createTables(base, "DEFAULT", GetParam().dsn, GetParam().user, GetParam().password);
    }

    std::vector<std::string> columnsOf(const std::string& table)
    {
        qmxDB db;
        OdbcHandles handles;
        ColumnTitles list;
        if (!db.connectDB(GetParam().dsn, GetParam().user, GetParam().password, handles, Diagnostics::ShowUser))
            return {};
        db.selectIntoList("*", table, "", handles.statement, &list, Diagnostics::LogOnly);
        db.disconnectDB(handles);
        return list.titles;
    }

    bool exists(const std::string& table) { return countRows(GetParam(), table) >= 0; }

    std::string mountRow(const std::string& table, const std::string& volser, const std::string& time)
    {
        const Dialect derby(2);
        std::string sql = "INSERT INTO " + table + " VALUES (" + quoteLiteral("10.1.2.3") + ", "
                          + derby.dateLiteral("2026-12-07") + ", " + derby.timeLiteral(time) + ", "
                          + quoteLiteral(volser) + ", 1, 2, " + quoteLiteral("LL1") + ", 257";
        for (int column = 9; column <= 36; ++column)
            sql += ", " + std::to_string(2000000000 + column);
        return sql + ", 32767, -1)";
    }
};
} // namespace

TEST_P(Tables, CreateMakesTheThreeTablesWithTheirColumnsInOrder)
{
    const std::string base = uniqueTableName("create");
    scoped.app().settings.DatabaseType = 0; // setup never completed: the Derby / Nimbus lists
    EXPECT_EQ(create(base), 1);
    EXPECT_EQ(columnsOf(base), upperNames(MountHistoryDerby));
    EXPECT_EQ(columnsOf(base + "_lp"), upperNames(LibraryPerformanceDerby));
    EXPECT_EQ(columnsOf(base + "_reports"), upperNames(ReportsDerby));
    EXPECT_TRUE(scoped.prompts.messages().empty());

    // Every column takes the values the insertion writes: full ints, smallints, text at its length.
    ASSERT_TRUE(executeSql(GetParam(), mountRow(base, "VOL001", "15:46")));
    const auto stored = querySql(GetParam(), "SELECT DATE, TIME, VOLSER, MOUNT_CAPACITY_CONTROL_UTIL, "
                                             "MOUNT_CRYPTO_STATUS FROM "
                                                 + base);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0],
              (std::vector<std::optional<std::string>>{"2026-12-07", "15:46:00", "VOL001", "2000000036", "32767"}));
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base
                                           + "_lp VALUES ('10.1.2.3', '2026-12-07', '15:00:00', "
                                             "'**ALL**', 86400, 600, 32767, 9, 4, 1, 1, 0, 2)"));
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base
                                           + "_reports VALUES ('operator', 'Weekly', "
                                             "'10.1.2.3', 7, 'Mount History: HOST_WRITE (Drive / Volser)', 'x', 1, "
                                           + quoteLiteral(std::string(512, 'v')) + ", 2)"));
}

TEST_P(Tables, UniqueKeyRefusesASecondRowWithTheSameKey)
{
    const std::string base = uniqueTableName("unique");
    ASSERT_EQ(create(base), 1);
    ASSERT_TRUE(executeSql(GetParam(), mountRow(base, "VOL001", "15:46")));
    // Same address, volser, date and time, another counter: refused. Seconds written out or
    // not, it is the same time.
    EXPECT_FALSE(executeSql(GetParam(), mountRow(base, "VOL001", "15:46:00")));
    EXPECT_TRUE(executeSql(GetParam(), mountRow(base, "VOL002", "15:46")));
    EXPECT_TRUE(executeSql(GetParam(), mountRow(base, "VOL001", "15:47")));
    EXPECT_EQ(countRows(GetParam(), base), 3);

    const std::string lp = base + "_lp";
    const std::string row = "INSERT INTO " + lp
                            + " VALUES ('10.1.2.3', '2026-12-07', '15:00:00', 'LL1', 1, 1, 1, "
                              "1, 1, 1, 1, 1, 1)";
    ASSERT_TRUE(executeSql(GetParam(), row));
    EXPECT_FALSE(executeSql(GetParam(), row));
    EXPECT_TRUE(executeSql(GetParam(), "INSERT INTO " + lp
                                           + " VALUES ('10.1.2.3', '2026-12-07', '15:00:00', 'LL2', "
                                             "1, 1, 1, 1, 1, 1, 1, 1, 1)"));
    EXPECT_EQ(countRows(GetParam(), lp), 2);
}

TEST_P(Tables, AKeyThatCannotBeMadeIsLoggedAndLeavesTheResult)
{
    const std::string base = uniqueTableName("nokey");
    // A table already holds the key's name.
    ASSERT_TRUE(executeSql(GetParam(), "CREATE TABLE " + base + "_key (a int)"));
    EXPECT_EQ(create(base), 1);
    EXPECT_TRUE(scoped.prompts.messages().empty());
    const std::string log = scoped.logText();
    EXPECT_NE(log.find("Error executed CreateUniqueKey (" + base + "_key) statement "), std::string::npos) << log;
    EXPECT_NE(log.find("The unique key " + base + "_key was not created"), std::string::npos);
    // The other table still got its key.
    const std::string lpRow = "INSERT INTO " + base
                              + "_lp VALUES ('a', '2026-12-07', '15:00:00', 'LL1', 1, 1, 1, 1, "
                                "1, 1, 1, 1, 1)";
    ASSERT_TRUE(executeSql(GetParam(), lpRow));
    EXPECT_FALSE(executeSql(GetParam(), lpRow));
}

TEST_P(Tables, CreateButtonOverAnExistingMountHistoryTable)
{
    // "37000" in the name makes the driver's "already exists" text match a mapped code, so the
    // message boxes of each step can be told apart.
    const std::string base = uniqueTableName("37000");
    ASSERT_TRUE(executeSql(GetParam(), "CREATE TABLE " + base + " (ipAddress varchar(15))"));
    scoped.store.write("Connection", "Username", "stored-user");
    scoped.prompts.credentialReplies = {{DialogResult::Other, "", ""},
                                        {DialogResult::Ok, GetParam().user, GetParam().password}};
    EXPECT_EQ(runCreateTableCommand(base), TableCommandResult::Failed);

    EXPECT_EQ(scoped.prompts.dialogTitles(), (std::vector<std::string>{"Create Table", "Create Table"}));
    EXPECT_EQ(scoped.store.read("Connection", "Username"), GetParam().user);
    EXPECT_EQ(scoped.prompts.messageTexts(),
              (std::vector<std::string>{"Invalid character used. Check table name in Setup.", "Table create failed"}));
    EXPECT_EQ(scoped.prompts.messages().back().icon, MessageIcon::Stop);
    const std::string log = scoped.logText();
    EXPECT_TRUE(log.find("Error prepared Mount CreateTable (" + base + ") statement ") != std::string::npos
                || log.find("Error executed Mount CreateTable (" + base + ") statement ") != std::string::npos)
        << log;
    EXPECT_EQ(columnsOf(base + "_lp"), upperNames(LibraryPerformanceDerby));
    EXPECT_EQ(columnsOf(base + "_reports"), upperNames(ReportsDerby));
    EXPECT_EQ(columnsOf(base), std::vector<std::string>{"IPADDRESS"}) << "the old table is left as it was";
}

TEST_P(Tables, LaterCreateFailuresAreShownOnlyAfterEarlierSuccess)
{
    // Mount history and library performance both exist: only the first failure is shown.
    std::string base = uniqueTableName("37000");
    ASSERT_TRUE(executeSql(GetParam(), "CREATE TABLE " + base + " (a int)"));
    ASSERT_TRUE(executeSql(GetParam(), "CREATE TABLE " + base + "_lp (a int)"));
    EXPECT_EQ(create(base), 0);
    EXPECT_EQ(scoped.prompts.messageTexts().size(), 1u);
    EXPECT_TRUE(exists(base + "_reports"));

    // Library performance and reports exist: the first shows, the reports failure stays quiet.
    base = uniqueTableName("37000");
    ASSERT_TRUE(executeSql(GetParam(), "CREATE TABLE " + base + "_lp (a int)"));
    ASSERT_TRUE(executeSql(GetParam(), "CREATE TABLE " + base + "_reports (a int)"));
    EXPECT_EQ(create(base), 0);
    EXPECT_EQ(scoped.prompts.messageTexts().size(), 2u);
    EXPECT_EQ(columnsOf(base).size(), 38u);

    // Only the reports table exists: its failure is shown.
    base = uniqueTableName("37000");
    ASSERT_TRUE(executeSql(GetParam(), "CREATE TABLE " + base + "_reports (a int)"));
    EXPECT_EQ(create(base), 0);
    EXPECT_EQ(scoped.prompts.messageTexts().size(), 3u);
    const std::string log = scoped.logText();
    EXPECT_TRUE(log.find("Error prepared Report CreateTable (" + base + "_reports) statement ") != std::string::npos
                || log.find("Error executed Report CreateTable (" + base + "_reports) statement ")
                       != std::string::npos);
}

TEST_P(Tables, DeleteButtonDropsAllThree)
{
    const std::string base = uniqueTableName("drop");
    ASSERT_EQ(create(base), 1);
    TablePage page;

    // No at the question, or Cancel at the dialog: nothing is touched.
    scoped.prompts.yesNoReplies = {false, true};
    EXPECT_EQ(runDeleteTableCommand(base, &page), TableCommandResult::Cancelled);
    EXPECT_EQ(runDeleteTableCommand(base, &page), TableCommandResult::Cancelled);
    EXPECT_TRUE(exists(base) && exists(base + "_lp") && exists(base + "_reports"));
    EXPECT_EQ(scoped.store.read("Connection", "Username"), "");

    scoped.prompts.yesNoReplies = {true};
    scoped.prompts.credentialReplies = {{DialogResult::Ok, GetParam().user, GetParam().password}};
    EXPECT_EQ(runDeleteTableCommand(base, &page), TableCommandResult::Succeeded);
    EXPECT_EQ(scoped.prompts.questions(),
              (std::vector<std::string>{"Are you sure you would like to delete '" + base + "'?",
                                        "Are you sure you would like to delete '" + base + "'?",
                                        "Are you sure you would like to delete '" + base + "'?"}));
    EXPECT_EQ(scoped.prompts.dialogTitles(), (std::vector<std::string>{"Delete Table", "Delete Table"}));
    EXPECT_EQ(scoped.store.read("Connection", "Username"), GetParam().user);
    EXPECT_EQ(scoped.prompts.messageTexts(), std::vector<std::string>{"Table dropped successfully"});
    EXPECT_FALSE(exists(base));
    EXPECT_FALSE(exists(base + "_lp"));
    EXPECT_FALSE(exists(base + "_reports"));
}

TEST_P(Tables, DropGoesOnPastAMissingTableAndShowsOneFailure)
{
    const std::string base = uniqueTableName("37000");
    ASSERT_TRUE(executeSql(GetParam(), "CREATE TABLE " + base + " (a int)"));
    ASSERT_TRUE(executeSql(GetParam(), "CREATE TABLE " + base + "_reports (a int)"));
    TablePage page;
    EXPECT_EQ(dropTables(base, GetParam().dsn, GetParam().user, GetParam().password, &page), 0);
    EXPECT_FALSE(exists(base));
    EXPECT_FALSE(exists(base + "_reports"));
    EXPECT_EQ(scoped.prompts.messageTexts(),
              std::vector<std::string>{"Invalid character used. Check table name in Setup."});

    // Nothing left: the mount history failure shows, the other two stay quiet.
    EXPECT_EQ(dropTables(base, GetParam().dsn, GetParam().user, GetParam().password, &page), 0);
    EXPECT_EQ(scoped.prompts.messageTexts().size(), 2u);
    const std::string log = scoped.logText();
    const std::vector<std::pair<std::string, std::string>> steps = {
        {"Mount", base}, {"LP", base + "_lp"}, {"Report", base + "_reports"}};
    for (const auto& [kind, table] : steps) {
        const std::string tail = " " + kind + " DropTable (" + table + ") statement ";
        EXPECT_TRUE(log.find("Error prepared" + tail) != std::string::npos
                    || log.find("Error executed" + tail) != std::string::npos)
            << table;
    }
}

TEST_P(Tables, CancelledOrUnreachableCreateTouchesNothing)
{
    const std::string base = uniqueTableName("cancel");
    EXPECT_EQ(runCreateTableCommand(base), TableCommandResult::Cancelled);
    EXPECT_FALSE(exists(base));
    EXPECT_TRUE(scoped.prompts.messages().empty());

    EXPECT_EQ(createTables(base, "DEFAULT", "NoSuchVaultlineDsn", "u", "p"), 0);
    EXPECT_FALSE(exists(base));
}

INSTANTIATE_TEST_SUITE_P(Backends, Tables, ::testing::ValuesIn(testBackends()), BackendName());
