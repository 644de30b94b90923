#include "ScopedApp.h"

#include "db/Tables.h"

#include <fstream>
#include <sstream>

std::string readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ScopedApp::ScopedApp()
{
    theApp().reset();
    theApp().setPrompts(&prompts);
    theApp().setSettingsStore(&store);
    theApp().debugLog().open(logPath());
}

ScopedApp::~ScopedApp()
{
    theApp().debugLog().close();
    theApp().reset();
}

std::string ScopedApp::logText() const
{
    return readWholeFile(logPath());
}

void ScopedApp::useBackend(const TestBackend& backend, const std::string& tableName, int databaseType)
{
    AppSettings& settings = theApp().settings;
    settings.databaseName = backend.dsn;
    settings.userName = backend.user;
    settings.DatabaseType = databaseType;
    settings.mountHistoryTableName = tableName;
    settings.libraryPerformanceTableName = tableName + "_LP";
    settings.reportsTableName = tableName + "_REPORTS";
    settings.DateFormatCode = 2;
    settings.dateOutputFormat = "%Y-%m-%d";
    theApp().password = backend.password;
}

void BackendTablesTest::SetUp()
{
    BackendTest::SetUp();
    if (IsSkipped())
        return;
    base = uniqueTableName(m_prefix);
    scoped.useBackend(GetParam(), base, 2);
    ASSERT_EQ(createTables(base, "DEFAULT", GetParam().dsn, GetParam().user, GetParam().password), 1);
}

void BackendTablesTest::TearDown()
{
    if (!base.empty())
        dropTables(base, GetParam().dsn, GetParam().user, GetParam().password, nullptr);
}

std::time_t localTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm when{};
    when.tm_year = year - 1900;
    when.tm_mon = month - 1;
    when.tm_mday = day;
    when.tm_hour = hour;
    when.tm_min = minute;
    when.tm_sec = second;
    when.tm_isdst = -1;
    return std::mktime(&when);
}
