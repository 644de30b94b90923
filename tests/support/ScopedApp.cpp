#include "ScopedApp.h"

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
