#include "CAgentScheduler.h"

#include "CReportsAgent.h"
#include "app/CMainFrame.h"
#include "app/CQmxApp.h"

#include <QTimer>

CAgentScheduler::CAgentScheduler(QObject* parent, AgentRunOptions options)
    : QObject(parent), m_timer(new QTimer(this)), m_runs(std::move(options)), m_clock([] { return std::time(nullptr); })
{
    m_state = agentSchedulerStart(m_clock());
    connect(m_timer, &QTimer::timeout, this, &CAgentScheduler::tick);
    if (theApp().agentSettings().enabled)
        m_timer->start(1000);
}

CAgentScheduler::~CAgentScheduler()
{
    m_timer->stop();
    m_runs.stopAndWait();
}

void CAgentScheduler::settingsConfirmed()
{
    m_timer->stop();
    if (theApp().agentSettings().enabled)
        m_timer->start(1000);
    agentConfirmed(m_state);
}

bool CAgentScheduler::timerActive() const
{
    return m_timer->isActive();
}

void CAgentScheduler::tick()
{
    const std::time_t now = m_clock();
    const AgentSettings& settings = theApp().agentSettings();
    if (!agentTick(now, settings, m_state, theApp().connected))
        return;
    emit runStarted(m_runs.start(settings, now));
}

void registerReportsAgent(CMainFrame& frame)
{
    auto* scheduler = new CAgentScheduler(&frame);
    scheduler->setObjectName(QStringLiteral("AgentScheduler"));
    frame.setCommandHandler(CommandId::ReportsAgent, [&frame, scheduler] {
        if (CReportsAgent::edit(&frame))
            scheduler->settingsConfirmed();
    });
}
