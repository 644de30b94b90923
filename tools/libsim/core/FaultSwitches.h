#pragma once

#include "LibraryFiles.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace libsim {

// How the simulated library misbehaves. Refusing connections is the server's own business
// (it has to stop listening); everything else is here.
struct FaultState {
    std::map<std::string, int> statusByFile;       // answer with this HTTP status instead of the file
    std::optional<std::size_t> stallAfterBytes;    // send this much of a file, then hold the line
    std::string stallFile;                         // empty: every file
    std::optional<std::size_t> closeAfterBytes;    // send this much of a file, then hang up
    std::string closeFile;                         // empty: every file
    std::optional<std::size_t> abortAfterBytes;    // send this much of a file, then reset the connection
    std::string abortFile;                         // empty: every file
    std::optional<std::size_t> dripBytesPerSecond; // send a file this many bytes a second
    std::string dripFile;                          // empty: every file
    std::optional<std::int64_t> lengthError;       // announce this many bytes more (or, below 0, fewer) than the file
    std::string lengthFile;                        // empty: every file
    bool endless = false;                          // after the file, send lines without end
    std::string endlessFile;                       // empty: every file
    bool webPage = false;                          // answer with a web page instead of the file
    std::string webPageFile;                       // empty: every file
    bool ovisDisabled = false;
    bool noPerformanceModel = false;

    ConfigurationSwitches configuration() const;
    int statusFor(const std::string& file) const; // 0 when the file is served normally
    std::optional<std::size_t> stallFor(const std::string& file) const;
    std::optional<std::size_t> closeFor(const std::string& file) const;
    std::optional<std::size_t> abortFor(const std::string& file) const;
    std::optional<std::size_t> dripFor(const std::string& file) const;
    std::optional<std::int64_t> lengthErrorFor(const std::string& file) const;
    bool endlessFor(const std::string& file) const;
    bool webPageFor(const std::string& file) const;
};

using ControlParameters = std::map<std::string, std::string>;

// Applies one named switch with its parameters; returns an empty text, or what is wrong.
//   status  file=NAME code=CODE    answer CODE for the file (code 0 or 200: serve it again)
//   http404 file=NAME, http500 file=NAME
//   stall   bytes=N|off [file=NAME]
//   close   bytes=N|off [file=NAME]
//   abort   bytes=N|off [file=NAME]  send N bytes, then reset the connection
//   drip    rate=N|off [file=NAME]   send N bytes a second
//   length  short=N|long=N|off=1 [file=NAME]  announce N bytes fewer (the client reads a file
//                                  cut N bytes before its end) or N more (the body ends short
//                                  of its announced length and the connection closes)
//   endless on=0|1 [file=NAME]     after the file, lines without end
//   html    on=0|1 [file=NAME]     a web page (200, text/html) instead of the file
//   ovis    enabled=0|1
//   performance available=0|1
//   reset                          every switch back to normal
std::string applyControl(FaultState& state, std::string_view name, const ControlParameters& parameters);

// One "name value" line per switch that is not normal; "normal\n" when none is set.
std::string describeFaults(const FaultState& state);

// The switches shared by the server's threads.
class FaultSwitches {
public:
    FaultState snapshot() const;
    std::string apply(std::string_view name, const ControlParameters& parameters);
    void replace(const FaultState& state);
    // Grows with every change, so that cached files can tell they are stale.
    std::uint64_t version() const;

private:
    mutable std::mutex m_mutex;
    FaultState m_state;
    std::uint64_t m_version = 0;
};

// A non-negative decimal number, or nothing.
std::optional<std::int64_t> parseCount(std::string_view text);

} // namespace libsim
