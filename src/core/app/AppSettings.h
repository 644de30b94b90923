#pragma once

#include <string>

class SettingsStore;

// The persistent settings: how to reach the database, the three table names and the date
// output format. Read once at start-up; afterwards the in-memory copy is the truth.
struct AppSettings {
    std::string userName;
    std::string databaseName;
    std::string databaseIpAddress;
    std::string databaseIpPort;
    int DatabaseType = 0; // 0 not set, 1 Oracle, 2 Derby / Nimbus
    std::string mountHistoryTableName;
    std::string libraryPerformanceTableName;
    std::string reportsTableName;
    int DateFormatCode = 0;       // 1 United States, 2 ISO, 3 Europe
    std::string dateOutputFormat; // derived from DateFormatCode
};

namespace settings_names {
inline constexpr const char* Connection = "Connection";
inline constexpr const char* Setup = "Setup";
inline constexpr const char* Username = "Username";
inline constexpr const char* DatabaseName = "Database Name";
inline constexpr const char* DatabaseIpAddress = "Database IP Address";
inline constexpr const char* DatabaseIpPort = "Database IP Port";
inline constexpr const char* DatabaseType = "Database Type";
inline constexpr const char* MountHistoryTableName = "Mount History Table Name";
inline constexpr const char* LibraryPerformanceTableName = "Library Performance Table Name";
inline constexpr const char* ReportsTableName = "Reports Table Name";
inline constexpr const char* DateFormat = "Date Format";
} // namespace settings_names

// Plain decimal conversion of a stored value: the leading digits, anything else gives 0.
int decimalValue(const std::string& text);

// "%m-%d-%Y" for 1, "%Y-%m-%d" for 2, "%d-%m-%Y" for 3, "" for any other code.
std::string dateOutputFormatFor(int dateFormatCode);

// Reads every setting in start-up order and derives the date output format.
AppSettings readAppSettings(const SettingsStore& store);
