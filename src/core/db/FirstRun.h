#pragma once

#include <string>

class SettingsStore;

// A new user's first start on the embedded database: the settings that are absent are
// seeded so that only Connect is left to press, and the tables are created once.
struct FirstRunDefaults {
    std::string dataSourceName = "Vaultline";
    std::string userName;
    std::string tableBaseName = "VAULTLINE";
};

// Writes each setting only when it is absent; a value the user set is never touched.
// Returns how many entries were written.
int seedSettingsWhenAbsent(SettingsStore& store, const FirstRunDefaults& defaults);

enum class FirstRunTables { AlreadyThere, Created, Failed };

// Creates the three tables of the configured base name unless the mount history table
// already answers a select. Uses the settings held by the application object.
FirstRunTables createTablesOnce();
