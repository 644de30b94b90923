#pragma once

#include "FaultSwitches.h"
#include "LibraryOptions.h"
#include "LibrarySimulation.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace libsim {

struct ServerOptions {
    int port = 0;      // on 127.0.0.1; 0 picks a free port
    double speed = 0;  // library seconds per real second; 0 keeps the library's clock standing
    FaultState faults; // switches in force from the start
    std::chrono::milliseconds refuseAtStart{0};
    std::chrono::seconds maxStall{300}; // a stalled transfer is dropped after this long
};

// The simulated library's web server: serves the library's files at /FS/<name> on the
// loopback address only, with switchable faults. Tests start it in-process on a free port
// and give the program address() as the library's address; the same switches are reachable
// over HTTP:
//   POST /control/<switch>?...  a FaultState switch (see applyControl), or
//        refuse?seconds=N (or ms=N)  stop listening for that long
//        advance?minutes=N           move the library's clock forward
//   GET  /control/state              the library's time, its mount count and the switches
class LibraryFileServer {
public:
    explicit LibraryFileServer(const LibraryOptions& library, ServerOptions options = {});
    ~LibraryFileServer();
    LibraryFileServer(const LibraryFileServer&) = delete;
    LibraryFileServer& operator=(const LibraryFileServer&) = delete;

    // Starts listening; false (and why, when asked) when the port cannot be had.
    bool start(std::string* error = nullptr);
    // Stops listening, lets go of held transfers and waits for every connection to end.
    void stop();

    int port() const;
    std::string address() const;                  // "127.0.0.1:PORT"
    std::string url(std::string_view file) const; // "http://127.0.0.1:PORT/FS/<file>"

    // Closes the listening socket (connections are refused) or opens it again on the same
    // port. Not to be called from a request handler.
    void setRefusing(bool refusing);
    // Refuses now and listens again by itself after the given time.
    void refuseFor(std::chrono::milliseconds duration);
    bool refusing() const;

    // The switches of POST /control/<name>, including "refuse" and "advance"; returns an
    // empty text or what is wrong.
    std::string control(std::string_view name, const ControlParameters& parameters);
    FaultState faults() const;
    void setFaults(const FaultState& faults);

    LibraryMinute libraryTime() const;
    void advanceClock(LibraryMinute minutes);
    // A file as a request would get it now, leaving out the status, stall and close switches;
    // empty for an unknown name.
    std::string currentFile(std::string_view name);
    // Looks at the library as it is now, under its lock.
    void inspect(const std::function<void(const LibrarySimulation&)>& visit);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace libsim
