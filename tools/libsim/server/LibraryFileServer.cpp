#include "LibraryFileServer.h"

#include "LiveClock.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace libsim {

namespace {

constexpr const char* LoopbackAddress = "127.0.0.1";
constexpr std::size_t ChunkSize = 8192;

const char* reasonText(int status)
{
    switch (status) {
    case 404:
        return "Not Found\n";
    case 500:
        return "Internal Server Error\n";
    case 503:
        return "Service Unavailable\n";
    default:
        return "Error\n";
    }
}

const char* const WebPage =
    "<!DOCTYPE html>\n<html><head><title>Login</title></head>\n"
    "<body><form method=\"post\" action=\"/login\">User <input name=\"user\"></form></body></html>\n";

// Finds this process's socket of the connection between the two loopback ports and resets
// it: no more bytes, and the reader sees the connection reset rather than an orderly end.
void resetConnection(int localPort, int remotePort)
{
    for (int descriptor = 3; descriptor < 4096; ++descriptor) {
        sockaddr_in local{};
        sockaddr_in remote{};
        socklen_t localLength = sizeof local;
        socklen_t remoteLength = sizeof remote;
        if (getsockname(descriptor, reinterpret_cast<sockaddr*>(&local), &localLength) != 0
            || getpeername(descriptor, reinterpret_cast<sockaddr*>(&remote), &remoteLength) != 0
            || local.sin_family != AF_INET || ntohs(local.sin_port) != localPort
            || ntohs(remote.sin_port) != remotePort) {
            continue;
        }
        linger abortive{1, 0};
        setsockopt(descriptor, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        // Disconnecting an established socket sends the reset at once.
        sockaddr unspecified{};
        unspecified.sa_family = AF_UNSPEC;
        // Its result says nothing useful: the socket is reset or already gone either way.
        static_cast<void>(connect(descriptor, &unspecified, sizeof unspecified));
        return;
    }
}

} // namespace

struct LibraryFileServer::Impl {
    Impl(const LibraryOptions& library, ServerOptions serverOptions)
        : options(std::move(serverOptions)), clock(library.end, options.speed), simulation(library)
    {
        faults.replace(options.faults);
    }

    ServerOptions options;
    LiveClock clock;

    std::mutex simulationMutex;
    LibrarySimulation simulation;
    std::map<std::string, std::shared_ptr<const std::string>> cache;
    std::uint64_t cacheVersion = ~std::uint64_t{0};
    LibraryMinute cacheTime = 0;
    ConfigurationSwitches cacheSwitches;

    FaultSwitches faults;

    // The listener: one httplib server per listening period, so that refusing can close the
    // socket and listening again opens a fresh one on the same port.
    mutable std::mutex listenMutex;
    std::unique_ptr<httplib::Server> http;
    std::thread listenThread;
    int port = 0;
    bool started = false;
    std::atomic<bool> stopping{false};
    std::atomic<std::uint64_t> listenerGeneration{0};

    // Timed refusals are carried out by this thread, never by a request handler (stopping a
    // listener waits for its handlers).
    std::mutex supervisorMutex;
    std::condition_variable supervisorWake;
    std::optional<std::chrono::steady_clock::time_point> listenAgainAt;
    bool refuseRequested = false;
    bool supervisorQuit = false;
    std::thread supervisor;

    std::shared_ptr<const std::string> render(const std::string& name, const ConfigurationSwitches& switches)
    {
        std::lock_guard lock(simulationMutex);
        simulation.advanceTo(clock.now());
        if (cacheVersion != simulation.version() || cacheTime != simulation.now()
            || cacheSwitches.ovisEnabled != switches.ovisEnabled
            || cacheSwitches.performanceModel != switches.performanceModel) {
            cache.clear();
            cacheVersion = simulation.version();
            cacheTime = simulation.now();
            cacheSwitches = switches;
        }
        if (const auto found = cache.find(name); found != cache.end()) {
            return found->second;
        }
        std::optional<std::string> content = renderLibraryFile(name, simulation, switches);
        if (!content) {
            return nullptr;
        }
        auto shared = std::make_shared<const std::string>(std::move(*content));
        cache[name] = shared;
        return shared;
    }

    void serveFile(const std::string& name, const httplib::Request& request, httplib::Response& response)
    {
        const FaultState state = faults.snapshot();
        if (const int status = state.statusFor(name); status != 0) {
            response.status = status;
            response.set_content(reasonText(status), "text/plain");
            return;
        }
        if (state.webPageFor(name)) {
            response.set_content(WebPage, "text/html");
            return;
        }
        std::shared_ptr<const std::string> content = render(name, state.configuration());
        if (!content) {
            response.status = 404;
            response.set_content(reasonText(404), "text/plain");
            return;
        }
        if (state.endlessFor(name)) {
            serveEndless(content, response);
            return;
        }
        if (const auto rate = state.dripFor(name)) {
            serveDrip(content, *rate, response);
            return;
        }
        if (const auto error = state.lengthErrorFor(name)) {
            serveWrongLength(content, *error, response);
            return;
        }
        if (const auto abortAfter = state.abortFor(name)) {
            serveAborted(content, *abortAfter, request.local_port, request.remote_port, response);
            return;
        }
        const std::optional<std::size_t> closeAfter = state.closeFor(name);
        if (!state.stallFor(name) && !closeAfter) {
            response.set_content(*content, "application/octet-stream");
            return;
        }
        const std::uint64_t generation = listenerGeneration.load();
        response.set_content_provider(content->size(), "application/octet-stream",
                                      [this, content, name, closeAfter,
                                       generation](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                          if (closeAfter && offset >= *closeAfter) {
                                              return false; // hang up: the client sees a short body
                                          }
                                          if (!holdWhileStalled(name, offset, generation)) {
                                              return false;
                                          }
                                          std::size_t end = offset + std::min(length, ChunkSize);
                                          if (closeAfter) {
                                              end = std::min(end, *closeAfter);
                                          }
                                          const std::optional<std::size_t> stall = faults.snapshot().stallFor(name);
                                          if (stall && offset < *stall) {
                                              end = std::min(end, *stall);
                                          }
                                          return sink.write(content->data() + offset, end - offset);
                                      });
    }

    bool listenerGone(std::uint64_t generation) const { return stopping || listenerGeneration.load() != generation; }

    // The file, then the same run of lines over and over, without a length, until the
    // reader gives up or the listener closes.
    void serveEndless(const std::shared_ptr<const std::string>& content, httplib::Response& response)
    {
        const std::uint64_t generation = listenerGeneration.load();
        auto lines = std::make_shared<std::string>();
        for (std::size_t line = 0; line < 64; ++line) {
            *lines += std::string(ChunkSize / 64 - 1, 'x') + "\n";
        }
        response.set_chunked_content_provider(
            "application/octet-stream",
            [this, content, lines, generation](std::size_t offset, httplib::DataSink& sink) {
                if (listenerGone(generation)) {
                    return false;
                }
                if (offset < content->size()) {
                    return sink.write(content->data() + offset, std::min(ChunkSize, content->size() - offset));
                }
                return sink.write(lines->data(), lines->size());
            });
    }

    // The file at a few bytes a second, with its true length.
    void serveDrip(const std::shared_ptr<const std::string>& content, std::size_t rate, httplib::Response& response)
    {
        const std::uint64_t generation = listenerGeneration.load();
        response.set_content_provider(
            content->size(), "application/octet-stream",
            [this, content, rate, generation](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                for (int step = 0; step < 20; ++step) {
                    if (listenerGone(generation)) {
                        return false;
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
                return sink.write(content->data() + offset, std::min(length, rate));
            });
    }

    // An announced length that is not the file's: fewer bytes (the reader gets the file cut
    // short) or more (the body ends early and the connection closes).
    void serveWrongLength(const std::shared_ptr<const std::string>& content, std::int64_t error,
                          httplib::Response& response)
    {
        if (error < 0) {
            const auto cut = static_cast<std::size_t>(-error);
            response.set_content(content->substr(0, content->size() > cut ? content->size() - cut : 0),
                                 "application/octet-stream");
            return;
        }
        response.set_content_provider(
            content->size() + static_cast<std::size_t>(error), "application/octet-stream",
            [content](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                if (offset >= content->size()) {
                    return false; // hang up with the announced bytes still owed
                }
                return sink.write(content->data() + offset, std::min({length, ChunkSize, content->size() - offset}));
            });
    }

    // Part of the file, then a reset (RST) instead of an orderly close.
    void serveAborted(const std::shared_ptr<const std::string>& content, std::size_t after, int localPort,
                      int remotePort, httplib::Response& response)
    {
        response.set_content_provider(
            content->size(), "application/octet-stream",
            [content, after, remotePort, localPort](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                if (offset >= after) {
                    resetConnection(localPort, remotePort);
                    return false;
                }
                return sink.write(content->data() + offset, std::min({length, ChunkSize, after - offset}));
            });
    }

    // Holds a transfer that has reached the stall point until the switch is released (then
    // the rest follows), or drops it when the server stops or the hold grows too long.
    bool holdWhileStalled(const std::string& name, std::size_t offset, std::uint64_t generation)
    {
        const auto heldSince = std::chrono::steady_clock::now();
        for (;;) {
            const std::optional<std::size_t> stall = faults.snapshot().stallFor(name);
            if (!stall || *stall > offset) {
                return true;
            }
            if (stopping || listenerGeneration.load() != generation
                || std::chrono::steady_clock::now() - heldSince > options.maxStall) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    std::string stateText()
    {
        std::string text;
        {
            std::lock_guard lock(simulationMutex);
            simulation.advanceTo(clock.now());
            text += "time " + formatLibraryTime(simulation.now()) + "\n";
            text += "mounts " + std::to_string(simulation.mounts().size()) + "\n";
            text += "intervals " + std::to_string(simulation.intervals().size()) + "\n";
        }
        text += describeFaults(faults.snapshot());
        return text;
    }

    void handleControl(const std::string& name, const httplib::Request& request, httplib::Response& response)
    {
        ControlParameters parameters;
        for (const auto& [key, value] : request.params) {
            parameters[key] = value;
        }
        std::string error;
        if (name == "refuse") {
            std::optional<std::int64_t> milliseconds;
            if (const auto seconds = parseCount(parameters["seconds"])) {
                milliseconds = *seconds * 1000;
            } else {
                milliseconds = parseCount(parameters["ms"]);
            }
            if (!milliseconds || *milliseconds == 0) {
                error = "expected seconds=N or ms=N (above 0): the server must listen again by itself";
            } else {
                std::lock_guard lock(supervisorMutex);
                refuseRequested = true;
                listenAgainAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(*milliseconds);
                supervisorWake.notify_all();
            }
        } else {
            error = controlSwitch(name, parameters);
        }
        if (error.empty()) {
            response.set_content("ok\n", "text/plain");
        } else {
            response.status = 400;
            response.set_content(error + "\n", "text/plain");
        }
    }

    std::string controlSwitch(std::string_view name, const ControlParameters& parameters)
    {
        if (name == "advance") {
            const auto found = parameters.find("minutes");
            const auto minutes = parseCount(found == parameters.end() ? "" : found->second);
            if (!minutes) {
                return "expected minutes=N";
            }
            clock.advance(*minutes);
            return {};
        }
        return faults.apply(name, parameters);
    }

    std::unique_ptr<httplib::Server> makeServer()
    {
        auto server = std::make_unique<httplib::Server>();
        // Each held (stalled) transfer keeps a thread until the switch is released, the
        // listener closes or the longest hold has passed.
        server->new_task_queue = [] { return new httplib::ThreadPool(32); };
        // One request per connection, as the library's readers use it; it also keeps a stop
        // from waiting on idle connections.
        server->set_keep_alive_max_count(1);
        server->set_read_timeout(5, 0);
        server->Get(R"(/FS/([^/]+))", [this](const httplib::Request& request, httplib::Response& response) {
            serveFile(request.matches[1].str(), request, response);
        });
        server->Get("/control/state", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(stateText(), "text/plain");
        });
        server->Post(R"(/control/([A-Za-z0-9]+))",
                     [this](const httplib::Request& request, httplib::Response& response) {
                         handleControl(request.matches[1].str(), request, response);
                     });
        return server;
    }

    // Must hold listenMutex.
    bool openListener(std::string* error)
    {
        auto server = makeServer();
        int bound = port;
        if (port == 0) {
            bound = server->bind_to_any_port(LoopbackAddress);
        } else if (!server->bind_to_port(LoopbackAddress, port)) {
            bound = -1;
        }
        if (bound <= 0) {
            if (error) {
                *error = "cannot listen on " + std::string(LoopbackAddress) + ":" + std::to_string(port);
            }
            return false;
        }
        port = bound;
        http = std::move(server);
        httplib::Server* raw = http.get();
        listenThread = std::thread([raw] { raw->listen_after_bind(); });
        // stop() only works on a running server; wait until it is.
        for (int i = 0; i < 500 && !raw->is_running(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // Must hold listenMutex.
    void closeListener()
    {
        if (!http) {
            return;
        }
        ++listenerGeneration;
        for (int i = 0; i < 500 && !http->is_running(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        http->stop();
        if (listenThread.joinable()) {
            listenThread.join();
        }
        http.reset();
    }

    void setListening(bool listening)
    {
        std::lock_guard lock(listenMutex);
        if (!started || stopping) {
            return;
        }
        if (!listening) {
            closeListener();
        } else if (!http) {
            // The port may still be lingering for a moment; try for about two seconds.
            for (int attempt = 0; attempt < 40 && !openListener(nullptr); ++attempt) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
    }

    void superviseRefusals()
    {
        std::unique_lock lock(supervisorMutex);
        while (!supervisorQuit) {
            if (refuseRequested) {
                refuseRequested = false;
                lock.unlock();
                setListening(false);
                lock.lock();
                continue;
            }
            if (listenAgainAt) {
                if (std::chrono::steady_clock::now() >= *listenAgainAt) {
                    listenAgainAt.reset();
                    lock.unlock();
                    setListening(true);
                    lock.lock();
                    continue;
                }
                supervisorWake.wait_until(lock, *listenAgainAt);
            } else {
                supervisorWake.wait(lock);
            }
        }
    }
};

LibraryFileServer::LibraryFileServer(const LibraryOptions& library, ServerOptions options)
    : m_impl(std::make_unique<Impl>(library, std::move(options)))
{
}

LibraryFileServer::~LibraryFileServer()
{
    stop();
}

bool LibraryFileServer::start(std::string* error)
{
    {
        std::lock_guard lock(m_impl->listenMutex);
        if (m_impl->started) {
            return true;
        }
        m_impl->port = m_impl->options.port;
        if (!m_impl->openListener(error)) {
            return false;
        }
        m_impl->started = true;
    }
    m_impl->supervisor = std::thread([impl = m_impl.get()] { impl->superviseRefusals(); });
    if (m_impl->options.refuseAtStart.count() > 0) {
        refuseFor(m_impl->options.refuseAtStart);
    }
    return true;
}

void LibraryFileServer::stop()
{
    {
        std::lock_guard lock(m_impl->supervisorMutex);
        m_impl->supervisorQuit = true;
        m_impl->supervisorWake.notify_all();
    }
    if (m_impl->supervisor.joinable()) {
        m_impl->supervisor.join();
    }
    std::lock_guard lock(m_impl->listenMutex);
    m_impl->stopping = true;
    m_impl->closeListener();
}

int LibraryFileServer::port() const
{
    std::lock_guard lock(m_impl->listenMutex);
    return m_impl->port;
}

std::string LibraryFileServer::address() const
{
    return std::string(LoopbackAddress) + ":" + std::to_string(port());
}

std::string LibraryFileServer::url(std::string_view file) const
{
    return "http://" + address() + "/FS/" + std::string(file);
}

void LibraryFileServer::setRefusing(bool refusing)
{
    {
        std::lock_guard lock(m_impl->supervisorMutex);
        m_impl->listenAgainAt.reset();
        m_impl->refuseRequested = false;
    }
    m_impl->setListening(!refusing);
}

void LibraryFileServer::refuseFor(std::chrono::milliseconds duration)
{
    m_impl->setListening(false);
    std::lock_guard lock(m_impl->supervisorMutex);
    m_impl->listenAgainAt = std::chrono::steady_clock::now() + duration;
    m_impl->supervisorWake.notify_all();
}

bool LibraryFileServer::refusing() const
{
    std::lock_guard lock(m_impl->listenMutex);
    return m_impl->started && !m_impl->http;
}

std::string LibraryFileServer::control(std::string_view name, const ControlParameters& parameters)
{
    if (name == "refuse") {
        const auto found = parameters.find("seconds");
        const auto seconds = parseCount(found == parameters.end() ? "" : found->second);
        if (!seconds || *seconds == 0) {
            return "expected seconds=N (above 0)";
        }
        refuseFor(std::chrono::seconds(*seconds));
        return {};
    }
    return m_impl->controlSwitch(name, parameters);
}

FaultState LibraryFileServer::faults() const
{
    return m_impl->faults.snapshot();
}

void LibraryFileServer::setFaults(const FaultState& faults)
{
    m_impl->faults.replace(faults);
}

LibraryMinute LibraryFileServer::libraryTime() const
{
    return m_impl->clock.now();
}

void LibraryFileServer::advanceClock(LibraryMinute minutes)
{
    m_impl->clock.advance(minutes);
}

std::string LibraryFileServer::currentFile(std::string_view name)
{
    const auto content = m_impl->render(std::string(name), m_impl->faults.snapshot().configuration());
    return content ? *content : std::string();
}

void LibraryFileServer::inspect(const std::function<void(const LibrarySimulation&)>& visit)
{
    std::lock_guard lock(m_impl->simulationMutex);
    m_impl->simulation.advanceTo(m_impl->clock.now());
    visit(m_impl->simulation);
}

} // namespace libsim
