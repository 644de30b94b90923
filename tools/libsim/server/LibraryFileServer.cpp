#include "LibraryFileServer.h"

#include "FileResponder.h"
#include "Listener.h"
#include "LiveLibrary.h"

#include <httplib.h>

#include <optional>

namespace libsim {

// The routes: the library's files, and the control switches that steer the faults, the
// listener and the clock.
struct LibraryFileServer::Impl {
    Impl(const LibraryOptions& libraryOptions, ServerOptions serverOptions)
        : options(std::move(serverOptions)), library(libraryOptions, options.speed),
          listener([this] { return makeServer(); }), files(library, faults, listener, options.maxStall)
    {
        faults.replace(options.faults);
    }

    ServerOptions options;
    LiveLibrary library;
    FaultSwitches faults;
    Listener listener;
    FileResponder files;

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
            files.serve(request.matches[1].str(), request, response);
        });
        server->Get("/control/state", [this](const httplib::Request&, httplib::Response& response) {
            std::string text = library.stateText();
            text += describeFaults(faults.snapshot());
            response.set_content(text, "text/plain");
        });
        server->Post(R"(/control/([A-Za-z0-9]+))",
                     [this](const httplib::Request& request, httplib::Response& response) {
                         handleControl(request.matches[1].str(), request, response);
                     });
        return server;
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
                listener.requestRefusal(std::chrono::milliseconds(*milliseconds));
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
            library.advance(*minutes);
            return {};
        }
        return faults.apply(name, parameters);
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
    if (!m_impl->listener.start(m_impl->options.port, error)) {
        return false;
    }
    if (m_impl->options.refuseAtStart.count() > 0) {
        refuseFor(m_impl->options.refuseAtStart);
    }
    return true;
}

void LibraryFileServer::stop()
{
    m_impl->listener.stop();
}

int LibraryFileServer::port() const
{
    return m_impl->listener.port();
}

std::string LibraryFileServer::address() const
{
    return std::string(Listener::Address) + ":" + std::to_string(port());
}

std::string LibraryFileServer::url(std::string_view file) const
{
    return "http://" + address() + "/FS/" + std::string(file);
}

void LibraryFileServer::setRefusing(bool refusing)
{
    m_impl->listener.setRefusing(refusing);
}

void LibraryFileServer::refuseFor(std::chrono::milliseconds duration)
{
    m_impl->listener.refuseFor(duration);
}

bool LibraryFileServer::refusing() const
{
    return m_impl->listener.refusing();
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
    return m_impl->library.now();
}

void LibraryFileServer::advanceClock(LibraryMinute minutes)
{
    m_impl->library.advance(minutes);
}

std::string LibraryFileServer::currentFile(std::string_view name)
{
    const auto content = m_impl->library.render(std::string(name), m_impl->faults.snapshot().configuration());
    return content ? *content : std::string();
}

void LibraryFileServer::inspect(const std::function<void(const LibrarySimulation&)>& visit)
{
    m_impl->library.inspect(visit);
}

} // namespace libsim
