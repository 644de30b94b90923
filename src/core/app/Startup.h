#pragma once

#include "AppSettings.h"

#include <functional>
#include <optional>
#include <string>

class CQmxApp;
class SettingsStore;

// "lvr_debug" anywhere in the command line, case-sensitive, turns debugging on.
bool commandLineWantsDebug(const std::string& commandLine);

enum class StartupAction { Connect, Setup };

// Connect when the settings are complete for their database type, otherwise open Setup.
StartupAction decideStartup(const AppSettings& settings);

// What the Setup sheet hands back when it is closed with OK.
enum class DatabaseTypeChoice { None, Oracle, DerbyNimbus };
enum class DateFormatChoice { None, UnitedStates, Iso, Europe };

struct SetupChoice {
    DatabaseTypeChoice databaseType = DatabaseTypeChoice::None;
    std::string databaseName;
    std::string databaseIpAddress;
    std::string databaseIpPort;
    std::string mountHistoryTableName;
    DateFormatChoice dateFormat = DateFormatChoice::None;
};

// The sheet's initial state from the settings: Oracle for type 1, else Derby / Nimbus; ISO for
// code 2, Europe for 3, else United States.
SetupChoice setupChoiceFromSettings(const AppSettings& settings);

// Validates and stores a Setup choice. Returns the message to show (the sheet then opens
// again) or nothing when the settings were written. Does not run the catalogue sequence.
std::optional<std::string> applySetupChoice(const SetupChoice& choice, AppSettings& settings, SettingsStore& store);

// The Setup command: shows the sheet (showSheet returns nothing on Cancel) until its choice
// is valid, stores it, and catalogues a Derby / Nimbus database. True when stored.
bool runSetupCommand(const std::function<std::optional<SetupChoice>(const SetupChoice&)>& showSheet);
