#pragma once

#include <ctime>
#include <functional>
#include <string>

// Asks whether the database answers while a run waits for it (every second), and keeps what
// an outage says bounded: the full account of a failed connection (the user's message and
// the diagnostics in the debug log) when the outage starts and then at most once a minute,
// a quiet try in between, and one line when the database answers again.
class AgentDatabaseWatch {
public:
    struct Probes {
        std::function<bool()> full;                   // connects the usual way, saying why it failed
        std::function<bool()> quiet;                  // connects and says nothing
        std::function<void(const std::string&)> tell; // the service's own lines
    };
    explicit AgentDatabaseWatch(Probes probes, int repeatSeconds = 60);

    bool answers(std::time_t now);
    bool inOutage() const { return m_down; }

private:
    Probes m_probes;
    int m_repeatSeconds;
    bool m_down = false;
    std::time_t m_lastFull = 0;
};
