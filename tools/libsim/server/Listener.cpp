#include "Listener.h"

#include <httplib.h>

namespace libsim {

Listener::Listener(ServerFactory makeServer) : m_makeServer(std::move(makeServer))
{
}

Listener::~Listener()
{
    stop();
}

bool Listener::start(int port, std::string* error)
{
    {
        std::lock_guard lock(m_listenMutex);
        if (m_started) {
            return true;
        }
        m_port = port;
        if (!openListener(error)) {
            return false;
        }
        m_started = true;
    }
    m_supervisor = std::thread([this] { superviseRefusals(); });
    return true;
}

void Listener::stop()
{
    {
        std::lock_guard lock(m_supervisorMutex);
        m_supervisorQuit = true;
        m_supervisorWake.notify_all();
    }
    if (m_supervisor.joinable()) {
        m_supervisor.join();
    }
    std::lock_guard lock(m_listenMutex);
    m_stopping = true;
    closeListener();
}

int Listener::port() const
{
    std::lock_guard lock(m_listenMutex);
    return m_port;
}

bool Listener::refusing() const
{
    std::lock_guard lock(m_listenMutex);
    return m_started && !m_http;
}

void Listener::setRefusing(bool refusing)
{
    {
        std::lock_guard lock(m_supervisorMutex);
        m_listenAgainAt.reset();
        m_refuseRequested = false;
    }
    setListening(!refusing);
}

void Listener::refuseFor(std::chrono::milliseconds duration)
{
    setListening(false);
    std::lock_guard lock(m_supervisorMutex);
    m_listenAgainAt = std::chrono::steady_clock::now() + duration;
    m_supervisorWake.notify_all();
}

void Listener::requestRefusal(std::chrono::milliseconds duration)
{
    std::lock_guard lock(m_supervisorMutex);
    m_refuseRequested = true;
    m_listenAgainAt = std::chrono::steady_clock::now() + duration;
    m_supervisorWake.notify_all();
}

bool Listener::openListener(std::string* error)
{
    auto server = m_makeServer();
    int bound = m_port;
    if (m_port == 0) {
        bound = server->bind_to_any_port(Address);
    } else if (!server->bind_to_port(Address, m_port)) {
        bound = -1;
    }
    if (bound <= 0) {
        if (error) {
            *error = "cannot listen on " + std::string(Address) + ":" + std::to_string(m_port);
        }
        return false;
    }
    m_port = bound;
    m_http = std::move(server);
    httplib::Server* raw = m_http.get();
    m_listenThread = std::thread([raw] { raw->listen_after_bind(); });
    // stop() only works on a running server; wait until it is.
    for (int i = 0; i < 500 && !raw->is_running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void Listener::closeListener()
{
    if (!m_http) {
        return;
    }
    ++m_generation;
    for (int i = 0; i < 500 && !m_http->is_running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    m_http->stop();
    if (m_listenThread.joinable()) {
        m_listenThread.join();
    }
    m_http.reset();
}

void Listener::setListening(bool listening)
{
    std::lock_guard lock(m_listenMutex);
    if (!m_started || m_stopping) {
        return;
    }
    if (!listening) {
        closeListener();
    } else if (!m_http) {
        // The port may still be lingering for a moment; try for about two seconds.
        for (int attempt = 0; attempt < 40 && !openListener(nullptr); ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
}

void Listener::superviseRefusals()
{
    std::unique_lock lock(m_supervisorMutex);
    while (!m_supervisorQuit) {
        if (m_refuseRequested) {
            m_refuseRequested = false;
            lock.unlock();
            setListening(false);
            lock.lock();
            continue;
        }
        if (m_listenAgainAt) {
            if (std::chrono::steady_clock::now() >= *m_listenAgainAt) {
                m_listenAgainAt.reset();
                lock.unlock();
                setListening(true);
                lock.lock();
                continue;
            }
            m_supervisorWake.wait_until(lock, *m_listenAgainAt);
        } else {
            m_supervisorWake.wait(lock);
        }
    }
}

} // namespace libsim
