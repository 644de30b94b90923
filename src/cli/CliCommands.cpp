#include "CliCommands.h"

#include "ImportCommand.h"
#include "MonitorCommand.h"

#include "QtSettingsStore.h"
#include "app/AppTexts.h"
#include "app/CQmxApp.h"
#include "app/SystemError.h"
#include "db/FirstRun.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <functional>

namespace {
// Every subcommand opens the debug log in the working directory first, as the desktop
// program does.
bool openDebugLog()
{
    int error = theApp().debugLog().open(app_texts::DebugLogName);
    if (error == 0)
        return true;
    std::cerr << app_texts::DebugFileFailed << FormatSystemError(error);
    return false;
}

int prepareEmbeddedDatabase(const std::vector<std::string>& args)
{
    FirstRunDefaults defaults;
    if (args.size() > 1)
        defaults.dataSourceName = args[1];
    const char* user = std::getenv("USER");
    defaults.userName = user != nullptr && *user != '\0' ? user : "vaultline";

    QtSettingsStore store;
    const int seeded = seedSettingsWhenAbsent(store, defaults);
    theApp().setSettingsStore(&store);
    theApp().settings = readAppSettings(store);
    if (seeded > 0)
        std::cout << "Seeded " << seeded << " settings in " << store.fileName().toStdString() << "\n";

    switch (createTablesOnce()) {
    case FirstRunTables::AlreadyThere:
        std::cout << "Tables of \"" << theApp().settings.mountHistoryTableName << "\" are in place\n";
        return 0;
    case FirstRunTables::Created:
        std::cout << "Created the tables of \"" << theApp().settings.mountHistoryTableName << "\" in \""
                  << theApp().settings.databaseName << "\"\n";
        return 0;
    case FirstRunTables::Failed: break;
    }
    std::cerr << "Could not prepare the tables of \"" << theApp().settings.mountHistoryTableName << "\" in \""
              << theApp().settings.databaseName << "\": see " << app_texts::DebugLogName << "\n";
    return 1;
}
} // namespace

std::string cliUsage()
{
    return "usage: vaultlinectl COMMAND [ARGS]\n"
           "  prepare-embedded-db [DSN]   seed absent settings for the embedded database and create its tables once\n"
           + std::string(ImportCommandUsage) + MonitorCommandUsage;
}

int runCliCommand(const std::vector<std::string>& args)
{
    static const std::map<std::string, std::function<int(const std::vector<std::string>&)>> commands = {
        {"prepare-embedded-db", prepareEmbeddedDatabase},
        {"import", importCommand},
        {"monitor", monitorCommand},
    };
    auto found = commands.find(args.at(0));
    if (found == commands.end()) {
        std::cerr << "vaultlinectl: unknown command \"" << args[0] << "\"\n" << cliUsage();
        return 2;
    }
    if (!openDebugLog())
        return -1;
    return found->second(args);
}
