#include "CliCommands.h"

#include "AgentCommand.h"
#include "CliOptions.h"
#include "CommandOptions.h"
#include "CustomCommand.h"
#include "DeleteCommand.h"
#include "ImportCommand.h"
#include "MonitorCommand.h"
#include "ReportCommand.h"

#include "QtSettingsStore.h"
#include "app/AppTexts.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/SystemError.h"
#include "db/FirstRun.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <iostream>
#include <map>
#include <functional>
#include <optional>

namespace {
// Every subcommand opens its debug log first, as the desktop program does. Two commands run
// from one folder would share lvr_debug.txt; the second is told how to keep them apart.
bool openDebugLog(const std::string& path)
{
    int error = theApp().debugLog().open(path);
    if (error == 0)
        return true;
    std::cerr << debugLogOpenFailure(path, error);
    if (error == EWOULDBLOCK) {
        std::error_code ignored;
        const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
        std::string text = app_texts::DebugLogHeld;
        text.replace(text.find("%s"), 2, absolute.empty() ? path : absolute.string());
        std::cerr << text;
    }
    return false;
}

// The status of a command that has ended: a write to standard output that failed (a full disk,
// a device without room) turns success into 1, said on standard error, so that a script never
// takes an empty or cut output for the whole. A closed pipe has ended the process by SIGPIPE
// before this.
int withOutputChecked(const std::string& command, int status)
{
    // The stream's error flag stays once a write failed; the reason is gone with the lost bytes.
    std::cout.flush();
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0 && !std::cout.bad())
        return status;
    std::cerr << command << ": standard output could not be written\n";
    return status == 0 ? 1 : status;
}

int prepareEmbeddedDatabase(const std::vector<std::string>& args)
{
    CommandOptions options({});
    if (!options.parse({args.begin() + 1, args.end()})) {
        std::cerr << "vaultlinectl prepare-embedded-db: " << options.error() << "\n" << cliUsage();
        return 2;
    }
    const std::vector<std::string>& words = options.positionals();
    if (words.size() > 1 || (words.size() == 1 && words.front().empty())) {
        std::cerr << "vaultlinectl prepare-embedded-db: unexpected \"" << words.back() << "\"\n" << cliUsage();
        return 2;
    }
    FirstRunDefaults defaults;
    if (!words.empty())
        defaults.dataSourceName = words.front();
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
    case FirstRunTables::Failed:
        break;
    }
    std::cerr << "Could not prepare the tables of \"" << theApp().settings.mountHistoryTableName << "\" in \""
              << theApp().settings.databaseName << "\": see " << theApp().debugLog().path() << "\n";
    return 1;
}
} // namespace

std::string cliUsage()
{
    return "usage: vaultlinectl COMMAND [ARGS]\n"
           "  prepare-embedded-db [DSN]   seed absent settings for the embedded database and create its tables once\n"
           + std::string(ImportCommandUsage) + MonitorCommandUsage + ReportCommandUsage + CustomCommandUsage
           + AgentCommandUsage + DeleteCommandUsage + CommonOptionsUsage;
}

int runCliCommand(std::vector<std::string> args)
{
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fputs(cliUsage().c_str(), args.empty() ? stderr : stdout);
        return args.empty() ? 2 : withOutputChecked("vaultlinectl", 0);
    }
    struct Command {
        std::function<int(const std::vector<std::string>&)> run;
        // A command that runs until it is stopped writes a log of its work on standard output
        // and goes on when a line of it cannot be written.
        bool service = false;
    };
    static const std::map<std::string, Command> commands = {
        {"prepare-embedded-db", {prepareEmbeddedDatabase}},
        {"import", {importCommand}},
        {"monitor", {monitorCommand, true}},
        {"agent", {agentCommand, true}},
        {"report", {reportCommand}},
        {"custom", {customCommand}},
        {"delete", {deleteCommand}},
    };
    std::string error;
    const std::optional<CommonOptions> options = takeCommonOptions(args, error);
    if (!options) {
        std::cerr << "vaultlinectl: " << error << "\n" << cliUsage();
        return 2;
    }
    auto found = args.empty() ? commands.end() : commands.find(args.front());
    if (found == commands.end()) {
        std::cerr << "vaultlinectl: unknown command \"" << (args.empty() ? "" : args.front()) << "\"\n" << cliUsage();
        return 2;
    }
    // Help is asked for before anything is opened, read or written: an option word is never
    // taken for a file, an address or a data source name.
    if (CommandOptions::asksForHelp({args.begin() + 1, args.end()})) {
        std::cout << cliUsage();
        return withOutputChecked("vaultlinectl", 0);
    }
    if (!openDebugLog(options->logPath))
        return -1;
    const int status = found->second.run(args);
    return found->second.service ? status : withOutputChecked("vaultlinectl " + found->first, status);
}
