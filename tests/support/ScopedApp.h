#pragma once

#include "RecordingPrompts.h"
#include "TestDatabases.h"
#include "app/CQmxApp.h"
#include "app/SettingsStore.h"

#include <string>

// Resets the application object for one test: recording prompts, in-memory settings and a
// debug log in a temporary folder; all put back when the test ends.
class ScopedApp {
public:
    ScopedApp();
    ~ScopedApp();
    ScopedApp(const ScopedApp&) = delete;
    ScopedApp& operator=(const ScopedApp&) = delete;

    CQmxApp& app() { return theApp(); }
    RecordingPrompts prompts;
    MemorySettingsStore store;

    std::string logPath() const { return m_folder.file("lvr_debug.txt"); }
    std::string logText() const;
    // Points the settings at a test backend with a given table base name.
    void useBackend(const TestBackend& backend, const std::string& tableName, int databaseType = 2);

private:
    TemporaryFolder m_folder;
};

std::string readWholeFile(const std::string& path);
