#include "ScopedApp.h"
#include "app/AppSettings.h"
#include "app/SettingsStore.h"
#include "app/Startup.h"

#include <gtest/gtest.h>

namespace {
AppSettings completeDerby()
{
    AppSettings s;
    s.userName = "operator";
    s.databaseName = "Vaultline";
    s.databaseIpAddress = "10.1.1.1";
    s.databaseIpPort = "1527";
    s.DatabaseType = 2;
    s.mountHistoryTableName = "MH";
    s.DateFormatCode = 2;
    s.dateOutputFormat = "%Y-%m-%d";
    return s;
}
} // namespace

TEST(Settings, DecimalValuesAndDateFormats)
{
    EXPECT_EQ(decimalValue("2"), 2);
    EXPECT_EQ(decimalValue("12abc"), 12);
    EXPECT_EQ(decimalValue("abc"), 0);
    EXPECT_EQ(decimalValue(""), 0);
    EXPECT_EQ(decimalValue("99999999999"), INT_MAX) << "no overflow into nonsense";

    MemorySettingsStore store;
    store.write("Setup", "Date Format", "7");
    EXPECT_EQ(readAppSettings(store).dateOutputFormat, "");
    store.write("Setup", "Date Format", "abc");
    EXPECT_EQ(readAppSettings(store).DateFormatCode, 0);
    EXPECT_EQ(readAppSettings(store).dateOutputFormat, "");
    store.write("Setup", "Date Format", "3");
    EXPECT_EQ(readAppSettings(store).dateOutputFormat, "%d-%m-%Y");
    store.write("Setup", "Date Format", "1");
    EXPECT_EQ(readAppSettings(store).dateOutputFormat, "%m-%d-%Y");
}

TEST(Settings, ReadsEveryEntryFromItsSection)
{
    MemorySettingsStore store;
    store.write("Connection", "Username", "op");
    store.write("Setup", "Database Name", "DSN");
    store.write("Setup", "Database IP Address", "1.2.3.4");
    store.write("Setup", "Database IP Port", "1527");
    store.write("Setup", "Database Type", "1");
    store.write("Setup", "Mount History Table Name", "MH");
    store.write("Setup", "Library Performance Table Name", "MH_LP");
    store.write("Setup", "Reports Table Name", "MH_REPORTS");
    store.write("Setup", "Date Format", "2");
    AppSettings s = readAppSettings(store);
    EXPECT_EQ(s.userName, "op");
    EXPECT_EQ(s.databaseName, "DSN");
    EXPECT_EQ(s.databaseIpAddress, "1.2.3.4");
    EXPECT_EQ(s.databaseIpPort, "1527");
    EXPECT_EQ(s.DatabaseType, 1);
    EXPECT_EQ(s.mountHistoryTableName, "MH");
    EXPECT_EQ(s.libraryPerformanceTableName, "MH_LP");
    EXPECT_EQ(s.reportsTableName, "MH_REPORTS");
    EXPECT_EQ(s.dateOutputFormat, "%Y-%m-%d");
    // A username stored under the wrong section is not the user name.
    MemorySettingsStore misplaced;
    misplaced.write("Setup", "Username", "op");
    EXPECT_EQ(readAppSettings(misplaced).userName, "");
}

TEST(Startup, DebugSwitchIsACaseSensitiveSubstring)
{
    EXPECT_TRUE(commandLineWantsDebug("vaultline lvr_debug"));
    EXPECT_TRUE(commandLineWantsDebug("vaultline /xlvr_debugging"));
    EXPECT_FALSE(commandLineWantsDebug("vaultline LVR_DEBUG"));
    EXPECT_FALSE(commandLineWantsDebug("vaultline lvr-debug"));
}

TEST(Startup, ConnectsOnlyWhenTheSettingsAreCompleteForTheirType)
{
    AppSettings s = completeDerby();
    EXPECT_EQ(decideStartup(s), StartupAction::Connect);

    for (std::string AppSettings::*field :
         {&AppSettings::userName, &AppSettings::databaseName, &AppSettings::databaseIpAddress,
          &AppSettings::databaseIpPort, &AppSettings::mountHistoryTableName, &AppSettings::dateOutputFormat}) {
        AppSettings missing = completeDerby();
        missing.*field = "";
        EXPECT_EQ(decideStartup(missing), StartupAction::Setup);
    }
    AppSettings oracle = completeDerby();
    oracle.DatabaseType = 1;
    oracle.databaseIpAddress.clear();
    oracle.databaseIpPort.clear();
    EXPECT_EQ(decideStartup(oracle), StartupAction::Connect) << "Oracle needs no address or port";
    oracle.dateOutputFormat.clear();
    EXPECT_EQ(decideStartup(oracle), StartupAction::Setup);

    AppSettings unset = completeDerby();
    unset.DatabaseType = 0;
    EXPECT_EQ(decideStartup(unset), StartupAction::Setup);
    unset.DatabaseType = 3;
    EXPECT_EQ(decideStartup(unset), StartupAction::Setup);

    MemorySettingsStore store;
    store.write("Connection", "Username", "op");
    for (auto [entry, value] : {std::pair{"Database Name", "D"},
                                {"Database IP Address", "a"},
                                {"Database IP Port", "1"},
                                {"Database Type", "2"},
                                {"Mount History Table Name", "MH"},
                                {"Date Format", "abc"}})
        store.write("Setup", entry, value);
    EXPECT_EQ(decideStartup(readAppSettings(store)), StartupAction::Setup) << "date format abc";
}

TEST(SetupCommand, ValidatesThenWritesTheSettingsInOrder)
{
    ScopedApp scoped;
    SetupChoice choice;
    choice.databaseName = "Vaultline";
    choice.databaseIpAddress = "127.0.0.1";
    choice.databaseIpPort = "1527";
    choice.mountHistoryTableName = "MH";
    choice.dateFormat = DateFormatChoice::Europe;

    // No type: the message, and the sheet opens again; no date format likewise.
    std::vector<SetupChoice> replies;
    SetupChoice noDate = choice;
    noDate.databaseType = DatabaseTypeChoice::DerbyNimbus;
    noDate.dateFormat = DateFormatChoice::None;
    SetupChoice good = choice;
    good.databaseType = DatabaseTypeChoice::DerbyNimbus;
    replies = {choice, noDate, good};
    std::size_t shown = 0;
    EXPECT_TRUE(runSetupCommand([&](const SetupChoice&) -> std::optional<SetupChoice> { return replies.at(shown++); }));
    EXPECT_EQ(shown, 3u);
    EXPECT_EQ(scoped.prompts.messageTexts(),
              (std::vector<std::string>{"Please Select a Database type", "Please select a date format"}));
    EXPECT_EQ(
        scoped.store.writes(),
        (std::vector<std::string>{"Setup/Database Name=Vaultline", "Setup/Database IP Address=127.0.0.1",
                                  "Setup/Database IP Port=1527", "Setup/Database Type=2",
                                  "Setup/Mount History Table Name=MH", "Setup/Library Performance Table Name=MH_LP",
                                  "Setup/Reports Table Name=MH_REPORTS", "Setup/Date Format=3"}));
    const AppSettings& s = scoped.app().settings;
    EXPECT_EQ(s.DatabaseType, 2);
    EXPECT_EQ(s.reportsTableName, "MH_REPORTS");
    EXPECT_EQ(s.dateOutputFormat, "%d-%m-%Y");
    // Without the catalogue tool the sequence is one line in the log, and Setup goes on.
    EXPECT_NE(scoped.logText().find("nimbuscmd is not installed"), std::string::npos);
    EXPECT_EQ(scoped.prompts.waitCursorDepth(), 0);
}

TEST(SetupCommand, CancelChangesNothingAndTheSheetStartsFromTheSettings)
{
    ScopedApp scoped;
    scoped.app().settings.DatabaseType = 1;
    scoped.app().settings.DateFormatCode = 7;
    SetupChoice seen;
    EXPECT_FALSE(runSetupCommand([&](const SetupChoice& initial) -> std::optional<SetupChoice> {
        seen = initial;
        return std::nullopt;
    }));
    EXPECT_EQ(seen.databaseType, DatabaseTypeChoice::Oracle);
    EXPECT_EQ(seen.dateFormat, DateFormatChoice::UnitedStates);
    EXPECT_TRUE(scoped.store.writes().empty());
    EXPECT_EQ(scoped.app().settings.DatabaseType, 1);

    AppSettings iso;
    iso.DateFormatCode = 2;
    EXPECT_EQ(setupChoiceFromSettings(iso).dateFormat, DateFormatChoice::Iso);
    EXPECT_EQ(setupChoiceFromSettings(iso).databaseType, DatabaseTypeChoice::DerbyNimbus);
}
