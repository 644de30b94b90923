#pragma once

#include "FaultSwitches.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace libsim {

class Listener;
class LiveLibrary;

// Answers GET /FS/<name>: the library's file as it reads now, or the fault its switches
// ask for (an error status, the web page, an endless, dripping, wrongly announced, reset,
// stalled or cut-short body).
class FileResponder {
public:
    FileResponder(LiveLibrary& library, const FaultSwitches& faults, const Listener& listener,
                  std::chrono::seconds maxStall)
        : m_library(library), m_faults(faults), m_listener(listener), m_maxStall(maxStall)
    {
    }

    void serve(const std::string& name, const httplib::Request& request, httplib::Response& response) const;

private:
    void serveEndless(const std::shared_ptr<const std::string>& content, httplib::Response& response) const;
    void serveDrip(const std::shared_ptr<const std::string>& content, std::size_t rate,
                   httplib::Response& response) const;
    void serveHeld(const std::shared_ptr<const std::string>& content, const std::string& name,
                   std::optional<std::size_t> closeAfter, httplib::Response& response) const;
    bool holdWhileStalled(const std::string& name, std::size_t offset, std::uint64_t generation) const;

    LiveLibrary& m_library;
    const FaultSwitches& m_faults;
    const Listener& m_listener;
    std::chrono::seconds m_maxStall;
};

} // namespace libsim
