#include "ScopedApp.h"
#include "app/AppSettings.h"
#include "app/Startup.h"
#include "db/FirstRun.h"

#include <gtest/gtest.h>

TEST(FirstRun, SeedsOnlyWhatIsAbsentAndLeadsStraightToConnect)
{
    MemorySettingsStore store;
    FirstRunDefaults defaults;
    defaults.userName = "operator";
    EXPECT_EQ(seedSettingsWhenAbsent(store, defaults), 9);
    AppSettings seeded = readAppSettings(store);
    EXPECT_EQ(seeded.databaseName, "Vaultline");
    EXPECT_EQ(seeded.DatabaseType, 2);
    EXPECT_EQ(seeded.libraryPerformanceTableName, "VAULTLINE_LP");
    EXPECT_EQ(decideStartup(seeded), StartupAction::Connect);

    // A later run leaves what the user chose.
    MemorySettingsStore chosen;
    chosen.write("Setup", "Database Name", "SitePG");
    chosen.write("Setup", "Date Format", "3");
    chosen.write("Connection", "Username", "alice");
    EXPECT_EQ(seedSettingsWhenAbsent(chosen, defaults), 6);
    EXPECT_EQ(seedSettingsWhenAbsent(chosen, defaults), 0);
    AppSettings kept = readAppSettings(chosen);
    EXPECT_EQ(kept.databaseName, "SitePG");
    EXPECT_EQ(kept.DateFormatCode, 3);
    EXPECT_EQ(kept.userName, "alice");
}

class FirstRunDatabase : public BackendTest {
protected:
    ScopedApp scoped;
};

TEST_P(FirstRunDatabase, CreatesTheTablesOnceAndKeepsTheirRows)
{
    const std::string table = uniqueTableName("first");
    scoped.useBackend(GetParam(), table);
    EXPECT_EQ(createTablesOnce(), FirstRunTables::Created);
    ASSERT_EQ(countRows(GetParam(), table), 0);
    ASSERT_TRUE(executeSql(GetParam(), "insert into " + table + " (ipaddress, volser) values ('10.0.0.1', 'JA0001')"));
    EXPECT_EQ(createTablesOnce(), FirstRunTables::AlreadyThere);
    EXPECT_EQ(countRows(GetParam(), table), 1);
    EXPECT_EQ(countRows(GetParam(), table + "_lp"), 0);
    EXPECT_TRUE(scoped.prompts.messages().empty());

    scoped.app().settings.databaseName = "NoSuchVaultlineDsn";
    EXPECT_EQ(createTablesOnce(), FirstRunTables::Failed);
}

INSTANTIATE_TEST_SUITE_P(Backends, FirstRunDatabase, ::testing::ValuesIn(testBackends()), BackendName());
