#include "MetricsServer.h"

#include <httplib.h>

#include <charconv>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {
constexpr const char* MetricsPath = "/metrics";
constexpr const char* ExpositionType = "text/plain; version=0.0.4; charset=utf-8";
constexpr std::size_t ServingThreads = 2;
constexpr std::size_t MostWaiting = 16;

// A fixed number of threads with a short queue: past it, the accepting thread serves the
// connection itself, so that a flood of connections waits in the kernel's backlog instead of
// growing the queue.
class BoundedTaskQueue final : public httplib::TaskQueue {
public:
    BoundedTaskQueue()
    {
        for (std::size_t count = 0; count < ServingThreads; ++count)
            m_threads.emplace_back([this] { work(); });
    }
    ~BoundedTaskQueue() override { shutdown(); }
    BoundedTaskQueue(const BoundedTaskQueue&) = delete;
    BoundedTaskQueue& operator=(const BoundedTaskQueue&) = delete;

    void enqueue(std::function<void()> task) override
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_tasks.size() < MostWaiting) {
                m_tasks.push_back(std::move(task));
                m_wake.notify_one();
                return;
            }
        }
        task();
    }
    void shutdown() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        for (std::thread& thread : m_threads)
            if (thread.joinable())
                thread.join();
    }

private:
    void work()
    {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_quit || !m_tasks.empty(); });
                if (m_tasks.empty())
                    return;
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
            }
            task();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    bool m_quit = false;
    std::vector<std::thread> m_threads;
};

bool splitListenAddress(const std::string& listen, std::string& host, int& port)
{
    const std::size_t colon = listen.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == listen.size())
        return false;
    host = listen.substr(0, colon);
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']')
            return false;
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string::npos) {
        return false; // an IPv6 address needs its brackets
    }
    const char* first = listen.data() + colon + 1;
    const char* last = listen.data() + listen.size();
    const auto [end, error] = std::from_chars(first, last, port);
    return error == std::errc() && end == last && port >= 0 && port <= 65535;
}
} // namespace

struct MetricsServer::Impl {
    Exposition exposition;
    httplib::Server http;
    std::thread listener;
    std::string host;
    int port = 0;
};

MetricsServer::MetricsServer(Exposition exposition) : m_impl(std::make_unique<Impl>())
{
    m_impl->exposition = std::move(exposition);
    httplib::Server& http = m_impl->http;
    http.new_task_queue = [] { return new BoundedTaskQueue; };
    // A scraper asks once every few seconds; a connection that says nothing is let go soon,
    // and a stop waits for no more than that.
    http.set_keep_alive_timeout(1);
    http.set_keep_alive_max_count(100);
    http.set_read_timeout(2, 0);
    http.set_write_timeout(2, 0);
    http.set_payload_max_length(4096);
    http.set_pre_routing_handler([](const httplib::Request& request, httplib::Response& response) {
        if (request.path != MetricsPath) {
            response.status = 404;
            response.set_content("Not Found: only /metrics is served\n", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        if (request.method != "GET" && request.method != "HEAD") {
            response.status = 405;
            response.set_header("Allow", "GET, HEAD");
            response.set_content("Method Not Allowed\n", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    http.Get(MetricsPath, [this](const httplib::Request&, httplib::Response& response) {
        response.set_content(m_impl->exposition(), ExpositionType);
    });
}

MetricsServer::~MetricsServer()
{
    stop();
}

bool MetricsServer::start(const std::string& listen, std::string& why)
{
    if (!splitListenAddress(listen, m_impl->host, m_impl->port)) {
        why = "\"" + listen + "\" is not ADDRESS:PORT";
        return false;
    }
    httplib::Server& http = m_impl->http;
    if (m_impl->port == 0) {
        m_impl->port = http.bind_to_any_port(m_impl->host);
        if (m_impl->port <= 0) {
            why = "cannot listen on " + listen;
            return false;
        }
    } else if (!http.bind_to_port(m_impl->host, m_impl->port)) {
        why = "cannot listen on " + listen;
        return false;
    }
    m_impl->listener = std::thread([&http] { http.listen_after_bind(); });
    // A stop only reaches a server that is running; it runs as soon as its thread does.
    for (int wait = 0; wait < 5000 && !http.is_running(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void MetricsServer::stop()
{
    if (!m_impl->listener.joinable())
        return;
    m_impl->http.stop();
    m_impl->listener.join();
}

std::string MetricsServer::url() const
{
    const std::string host = m_impl->host.find(':') != std::string::npos ? "[" + m_impl->host + "]" : m_impl->host;
    return "http://" + host + ":" + std::to_string(m_impl->port) + MetricsPath;
}
