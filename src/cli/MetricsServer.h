#pragma once

#include <functional>
#include <memory>
#include <string>

// The metrics endpoint of a headless command: GET /metrics answers the exposition text the
// command's counters give; every other path is 404, every other method on it 405. Idle and
// silent connections are closed after a second or two, and a few threads serve all of them.
class MetricsServer {
public:
    using Exposition = std::function<std::string()>;

    explicit MetricsServer(Exposition exposition);
    ~MetricsServer();
    MetricsServer(const MetricsServer&) = delete;
    MetricsServer& operator=(const MetricsServer&) = delete;

    // Listens on "ADDRESS:PORT" ("[ADDRESS]:PORT" for IPv6; port 0 picks a free one). False,
    // with why, when the text is not an address and port or the port cannot be had.
    bool start(const std::string& listen, std::string& why);
    // Stops listening and waits for the connections being served.
    void stop();
    // "http://ADDRESS:PORT/metrics", with the port chosen.
    std::string url() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
