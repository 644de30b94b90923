#pragma once

#include "agent/AgentRuns.h"
#include "agent/AgentScheduler.h"

#include <QObject>
#include <ctime>
#include <functional>

class QTimer;

// The main window's agent timer: once a second while the agent is enabled it feeds the
// clock, the agent's settings and the connected flag to the scheduler, and starts a run
// when the scheduler says so. Going away stops the timer and waits for running reports.
class CAgentScheduler : public QObject {
    Q_OBJECT
public:
    explicit CAgentScheduler(QObject* parent, AgentRunOptions options = {});
    ~CAgentScheduler() override;

    // After OK in the agent's dialog: the timer follows "enabled", and a run may follow
    // the same day.
    void settingsConfirmed();
    bool timerActive() const;
    // Tests drive the tick with their own clock.
    void setClock(std::function<std::time_t()> clock) { m_clock = std::move(clock); }
    void tick();
    AgentRuns& runs() { return m_runs; }

signals:
    void runStarted(int reports);

private:
    QTimer* m_timer;
    AgentSchedulerState m_state;
    AgentRuns m_runs;
    std::function<std::time_t()> m_clock;
};

class CMainFrame;
// The Reports Agent command and the agent's timer on the main window.
void registerReportsAgent(CMainFrame& frame);
