#include "CQmxApp.h"

#include "SettingsStore.h"
#include "UserPrompts.h"
#include "agent/AgentSettings.h"
#include "reports/LifetimeThresholds.h"

CQmxApp::CQmxApp()
    : m_thresholds(std::make_unique<LifetimeThresholds>()), m_agentSettings(std::make_unique<AgentSettings>()),
      m_defaultPrompts(std::make_unique<SilentPrompts>()), m_defaultStore(std::make_unique<MemorySettingsStore>()),
      m_prompts(m_defaultPrompts.get()), m_store(m_defaultStore.get())
{
}

CQmxApp::~CQmxApp() = default;

void CQmxApp::setPrompts(UserPrompts* prompts)
{
    m_prompts = prompts != nullptr ? prompts : m_defaultPrompts.get();
}

void CQmxApp::setSettingsStore(SettingsStore* store)
{
    m_store = store != nullptr ? store : m_defaultStore.get();
}

void CQmxApp::reset()
{
    settings = AppSettings{};
    password.clear();
    nimbusNodeName = "DERBYNET";
    connected = false;
    mountHistoryTableVerified = false;
    DebugLevel = 1;
    versionText.clear();
    startupComplete = false;
    activeMonitors = 0;
    *m_agentSettings = AgentSettings{};
    setLifetimeThresholds(LifetimeThresholds{});
    setPrompts(nullptr);
    setSettingsStore(nullptr);
}

LifetimeThresholds CQmxApp::lifetimeThresholds() const
{
    std::lock_guard lock(m_thresholdsMutex);
    return *m_thresholds;
}

void CQmxApp::setLifetimeThresholds(const LifetimeThresholds& thresholds)
{
    std::lock_guard lock(m_thresholdsMutex);
    *m_thresholds = thresholds;
}

CQmxApp& theApp()
{
    static CQmxApp app;
    return app;
}
