#include "Startup.h"

#include "AppTexts.h"
#include "CQmxApp.h"
#include "SettingsStore.h"
#include "UserPrompts.h"
#include "db/CommandLine.h"

bool commandLineWantsDebug(const std::string& commandLine)
{
    return commandLine.find(app_texts::DebugSwitch) != std::string::npos;
}

StartupAction decideStartup(const AppSettings& s)
{
    bool common = !s.dateOutputFormat.empty() && !s.userName.empty() && !s.databaseName.empty()
                  && !s.mountHistoryTableName.empty();
    if (s.DatabaseType == 2 && common && !s.databaseIpAddress.empty() && !s.databaseIpPort.empty())
        return StartupAction::Connect;
    if (s.DatabaseType == 1 && common)
        return StartupAction::Connect;
    return StartupAction::Setup;
}

SetupChoice setupChoiceFromSettings(const AppSettings& s)
{
    SetupChoice choice;
    choice.databaseType = s.DatabaseType == 1 ? DatabaseTypeChoice::Oracle : DatabaseTypeChoice::DerbyNimbus;
    choice.databaseName = s.databaseName;
    choice.databaseIpAddress = s.databaseIpAddress;
    choice.databaseIpPort = s.databaseIpPort;
    choice.mountHistoryTableName = s.mountHistoryTableName;
    choice.dateFormat = s.DateFormatCode == 2   ? DateFormatChoice::Iso
                        : s.DateFormatCode == 3 ? DateFormatChoice::Europe
                                                : DateFormatChoice::UnitedStates;
    return choice;
}

std::optional<std::string> applySetupChoice(const SetupChoice& choice, AppSettings& settings, SettingsStore& store)
{
    if (choice.databaseType == DatabaseTypeChoice::None)
        return std::string(app_texts::SelectDatabaseType);
    if (choice.dateFormat == DateFormatChoice::None)
        return std::string(app_texts::SelectDateFormat);

    settings.DatabaseType = choice.databaseType == DatabaseTypeChoice::Oracle ? 1 : 2;
    settings.databaseName = choice.databaseName;
    settings.databaseIpAddress = choice.databaseIpAddress;
    settings.databaseIpPort = choice.databaseIpPort;
    settings.mountHistoryTableName = choice.mountHistoryTableName;
    settings.libraryPerformanceTableName = choice.mountHistoryTableName + "_LP";
    settings.reportsTableName = choice.mountHistoryTableName + "_REPORTS";
    settings.DateFormatCode = choice.dateFormat == DateFormatChoice::UnitedStates ? 1
                              : choice.dateFormat == DateFormatChoice::Iso        ? 2
                                                                                  : 3;
    settings.dateOutputFormat = dateOutputFormatFor(settings.DateFormatCode);

    using namespace settings_names;
    store.write(Setup, DatabaseName, settings.databaseName);
    store.write(Setup, DatabaseIpAddress, settings.databaseIpAddress);
    store.write(Setup, DatabaseIpPort, settings.databaseIpPort);
    store.write(Setup, DatabaseType, std::to_string(settings.DatabaseType));
    store.write(Setup, MountHistoryTableName, settings.mountHistoryTableName);
    store.write(Setup, LibraryPerformanceTableName, settings.libraryPerformanceTableName);
    store.write(Setup, ReportsTableName, settings.reportsTableName);
    store.write(Setup, DateFormat, std::to_string(settings.DateFormatCode));
    return std::nullopt;
}

bool runSetupCommand(const std::function<std::optional<SetupChoice>(const SetupChoice&)>& showSheet)
{
    CQmxApp& app = theApp();
    for (;;) {
        std::optional<SetupChoice> choice = showSheet(setupChoiceFromSettings(app.settings));
        if (!choice)
            return false;
        if (auto message = applySetupChoice(*choice, app.settings, app.settingsStore())) {
            app.prompts().showMessage(*message, MessageIcon::Exclamation);
            continue;
        }
        if (app.settings.DatabaseType == 2) {
            WaitCursor wait(app.prompts());
            runNimbusCatalogSequence(app.settings.databaseName, app.nimbusNodeName, app.settings.databaseIpAddress,
                                     app.settings.databaseIpPort);
        }
        return true;
    }
}
