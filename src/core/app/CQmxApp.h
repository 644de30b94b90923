#pragma once

#include "AppSettings.h"
#include "DebugLog.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

class UserPrompts;
class SettingsStore;
struct AgentSettings;
struct LifetimeThresholds;

// The one application object: settings, run-time flags and the debug log. Reached through
// theApp() from every thread; flags that workers read are atomics.
class CQmxApp {
public:
    CQmxApp();
    ~CQmxApp();
    CQmxApp(const CQmxApp&) = delete;
    CQmxApp& operator=(const CQmxApp&) = delete;

    AppSettings settings;
    std::string password; // held in memory only, never stored
    std::string nimbusNodeName = "DERBYNET";
    std::atomic<bool> connected{false};
    std::atomic<bool> mountHistoryTableVerified{false};
    std::atomic<int> DebugLevel{1};
    std::string versionText;
    std::atomic<bool> startupComplete{false};
    std::atomic<int> activeMonitors{0};
    // The reports agent's settings, in memory only; the window's thread alone touches them.
    AgentSettings& agentSettings() { return *m_agentSettings; }

    DebugLog& debugLog() { return m_debugLog; }

    // The lifetime thresholds: written by the settings sheet, read by workers and list drawing.
    LifetimeThresholds lifetimeThresholds() const;
    void setLifetimeThresholds(const LifetimeThresholds& thresholds);

    // The prompts and settings store the commands use; the desktop program installs its
    // dialogs and QSettings, tests their recorders. Defaults show nothing and store in memory.
    UserPrompts& prompts() const { return *m_prompts; }
    void setPrompts(UserPrompts* prompts);
    SettingsStore& settingsStore() const { return *m_store; }
    void setSettingsStore(SettingsStore* store);

    // Back to the state of a fresh process (tests run many "starts" in one process).
    void reset();

private:
    DebugLog m_debugLog;
    mutable std::mutex m_thresholdsMutex;
    std::unique_ptr<LifetimeThresholds> m_thresholds;
    std::unique_ptr<AgentSettings> m_agentSettings;
    std::unique_ptr<UserPrompts> m_defaultPrompts;
    std::unique_ptr<SettingsStore> m_defaultStore;
    UserPrompts* m_prompts;
    SettingsStore* m_store;
};

CQmxApp& theApp();

inline constexpr const char* VersionText = "1.1 20090428";
