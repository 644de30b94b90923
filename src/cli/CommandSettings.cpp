#include "CommandSettings.h"

#include "app/CQmxApp.h"

#include <pthread.h>

#include <cstdlib>
#include <iostream>

bool readCommandSettings(bool needsLibraryPerformanceTable)
{
    QtSettingsStore store;
    theApp().setSettingsStore(&store);
    theApp().settings = readAppSettings(store);
    theApp().setSettingsStore(nullptr);
    readServerPassword();
    const AppSettings& settings = theApp().settings;
    if (settings.databaseName.empty() || settings.mountHistoryTableName.empty()
        || (needsLibraryPerformanceTable && settings.libraryPerformanceTableName.empty())) {
        std::cerr << "vaultlinectl: no database or table names in " << store.fileName().toStdString()
                  << ": set them in Database > Setup... or run prepare-embedded-db\n";
        return false;
    }
    return true;
}

void readServerPassword()
{
    if (const char* password = std::getenv("VAULTLINE_DB_PASSWORD"); password != nullptr)
        theApp().password = password;
}

RunningCommandSettings::RunningCommandSettings() : m_prompts(std::cerr, std::cerr)
{
    theApp().setSettingsStore(&m_store);
    theApp().setPrompts(&m_prompts);
    theApp().settings = readAppSettings(m_store);
    readServerPassword();
}

RunningCommandSettings::~RunningCommandSettings()
{
    theApp().setPrompts(nullptr);
    theApp().setSettingsStore(nullptr);
}

InstalledPrompts::InstalledPrompts(UserPrompts* prompts)
{
    theApp().setPrompts(prompts);
}

InstalledPrompts::~InstalledPrompts()
{
    theApp().setPrompts(nullptr);
}

sigset_t blockStopSignals()
{
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    return stopSignals;
}
