#pragma once

#include "RecordingPrompts.h"
#include "TestDatabases.h"
#include "app/CQmxApp.h"
#include "app/SettingsStore.h"

#include <ctime>
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

// One test body on each backend over tables of its own (named from a prefix), with the
// application's settings pointing at them; the tables are dropped when the test ends.
class BackendTablesTest : public BackendTest {
protected:
    explicit BackendTablesTest(std::string prefix) : m_prefix(std::move(prefix)) {}
    void SetUp() override;
    void TearDown() override;

    ScopedApp scoped;
    std::string base;

private:
    std::string m_prefix;
};

// A local calendar time, as the user's clock shows it.
std::time_t localTime(int year, int month, int day, int hour, int minute, int second);
