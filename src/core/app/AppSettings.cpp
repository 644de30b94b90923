#include "AppSettings.h"

#include "SettingsStore.h"

#include <cctype>
#include <climits>

int decimalValue(const std::string& text)
{
    // Like the C library's conversion: leading blanks, an optional sign, then digits.
    std::size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long value = 0;
    for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

std::string dateOutputFormatFor(int dateFormatCode)
{
    switch (dateFormatCode) {
    case 1:
        return "%m-%d-%Y";
    case 2:
        return "%Y-%m-%d";
    case 3:
        return "%d-%m-%Y";
    default:
        return "";
    }
}

AppSettings readAppSettings(const SettingsStore& store)
{
    using namespace settings_names;
    AppSettings settings;
    settings.userName = store.read(Connection, Username);
    settings.databaseName = store.read(Setup, DatabaseName);
    settings.databaseIpAddress = store.read(Setup, DatabaseIpAddress);
    settings.databaseIpPort = store.read(Setup, DatabaseIpPort);
    settings.DatabaseType = decimalValue(store.read(Setup, DatabaseType));
    settings.mountHistoryTableName = store.read(Setup, MountHistoryTableName);
    settings.libraryPerformanceTableName = store.read(Setup, LibraryPerformanceTableName);
    settings.reportsTableName = store.read(Setup, ReportsTableName);
    settings.DateFormatCode = decimalValue(store.read(Setup, DateFormat));
    settings.dateOutputFormat = dateOutputFormatFor(settings.DateFormatCode);
    return settings;
}
