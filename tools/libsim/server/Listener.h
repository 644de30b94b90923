#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace libsim {

// The listening socket on the loopback address: one httplib server per listening period, so
// that refusing can close the socket and listening again opens a fresh one on the same port.
// Timed refusals are carried out by a thread of its own, never by a request handler
// (closing a listener waits for its handlers).
class Listener {
public:
    using ServerFactory = std::function<std::unique_ptr<httplib::Server>()>;

    static constexpr const char* Address = "127.0.0.1";

    explicit Listener(ServerFactory makeServer);
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // Listens on the port (0 picks a free one); false (and why, when asked) when it cannot be had.
    bool start(int port, std::string* error);
    // Closes the listener and waits for every connection to end.
    void stop();

    int port() const;
    bool refusing() const;

    // Closes or opens the listening socket at once, cancelling a timed refusal.
    void setRefusing(bool refusing);
    // Refuses now and listens again by itself after the given time.
    void refuseFor(std::chrono::milliseconds duration);
    // The same from a request handler: the refusal thread closes the listener.
    void requestRefusal(std::chrono::milliseconds duration);

    // Counts the listening periods; a transfer started in one ends with it.
    std::uint64_t generation() const { return m_generation.load(); }
    bool gone(std::uint64_t generation) const { return m_stopping || m_generation.load() != generation; }

private:
    bool openListener(std::string* error); // must hold m_listenMutex
    void closeListener();                  // must hold m_listenMutex
    void setListening(bool listening);
    void superviseRefusals();

    ServerFactory m_makeServer;

    mutable std::mutex m_listenMutex;
    std::unique_ptr<httplib::Server> m_http;
    std::thread m_listenThread;
    int m_port = 0;
    bool m_started = false;
    std::atomic<bool> m_stopping{false};
    std::atomic<std::uint64_t> m_generation{0};

    std::mutex m_supervisorMutex;
    std::condition_variable m_supervisorWake;
    std::optional<std::chrono::steady_clock::time_point> m_listenAgainAt;
    bool m_refuseRequested = false;
    bool m_supervisorQuit = false;
    std::thread m_supervisor;
};

} // namespace libsim
