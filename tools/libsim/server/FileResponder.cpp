#include "FileResponder.h"

#include "Listener.h"
#include "LiveLibrary.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <thread>

namespace libsim {

namespace {

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
void serveAborted(const std::shared_ptr<const std::string>& content, std::size_t after, int localPort, int remotePort,
                  httplib::Response& response)
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

} // namespace

void FileResponder::serve(const std::string& name, const httplib::Request& request, httplib::Response& response) const
{
    const FaultState state = m_faults.snapshot();
    if (const int status = state.statusFor(name); status != 0) {
        response.status = status;
        response.set_content(reasonText(status), "text/plain");
        return;
    }
    if (state.webPageFor(name)) {
        response.set_content(WebPage, "text/html");
        return;
    }
    std::shared_ptr<const std::string> content = m_library.render(name, state.configuration());
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
    serveHeld(content, name, closeAfter, response);
}

// The file, then the same run of lines over and over, without a length, until the
// reader gives up or the listener closes.
void FileResponder::serveEndless(const std::shared_ptr<const std::string>& content, httplib::Response& response) const
{
    const std::uint64_t generation = m_listener.generation();
    auto lines = std::make_shared<std::string>();
    for (std::size_t line = 0; line < 64; ++line) {
        *lines += std::string(ChunkSize / 64 - 1, 'x') + "\n";
    }
    response.set_chunked_content_provider(
        "application/octet-stream", [this, content, lines, generation](std::size_t offset, httplib::DataSink& sink) {
            if (m_listener.gone(generation)) {
                return false;
            }
            if (offset < content->size()) {
                return sink.write(content->data() + offset, std::min(ChunkSize, content->size() - offset));
            }
            return sink.write(lines->data(), lines->size());
        });
}

// The file at a few bytes a second, with its true length.
void FileResponder::serveDrip(const std::shared_ptr<const std::string>& content, std::size_t rate,
                              httplib::Response& response) const
{
    const std::uint64_t generation = m_listener.generation();
    response.set_content_provider(
        content->size(), "application/octet-stream",
        [this, content, rate, generation](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            for (int step = 0; step < 20; ++step) {
                if (m_listener.gone(generation)) {
                    return false;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            return sink.write(content->data() + offset, std::min(length, rate));
        });
}

// The file up to the stall point, held there while the stall switch is on, and cut short
// where the close switch says.
void FileResponder::serveHeld(const std::shared_ptr<const std::string>& content, const std::string& name,
                              std::optional<std::size_t> closeAfter, httplib::Response& response) const
{
    const std::uint64_t generation = m_listener.generation();
    response.set_content_provider(
        content->size(), "application/octet-stream",
        [this, content, name, closeAfter, generation](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
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
            const std::optional<std::size_t> stall = m_faults.snapshot().stallFor(name);
            if (stall && offset < *stall) {
                end = std::min(end, *stall);
            }
            return sink.write(content->data() + offset, end - offset);
        });
}

// Holds a transfer that has reached the stall point until the switch is released (then
// the rest follows), or drops it when the server stops or the hold grows too long.
bool FileResponder::holdWhileStalled(const std::string& name, std::size_t offset, std::uint64_t generation) const
{
    const auto heldSince = std::chrono::steady_clock::now();
    for (;;) {
        const std::optional<std::size_t> stall = m_faults.snapshot().stallFor(name);
        if (!stall || *stall > offset) {
            return true;
        }
        if (m_listener.gone(generation) || std::chrono::steady_clock::now() - heldSince > m_maxStall) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace libsim
