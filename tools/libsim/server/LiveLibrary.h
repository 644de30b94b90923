#pragma once

#include "LibraryFiles.h"
#include "LibraryOptions.h"
#include "LibrarySimulation.h"
#include "LiveClock.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace libsim {

// The library as the server sees it: the simulation run up to the live clock, and its files
// as rendered for the current state and configuration, kept until either changes.
class LiveLibrary {
public:
    LiveLibrary(const LibraryOptions& library, double speed);

    // The file as it reads now; null for an unknown name.
    std::shared_ptr<const std::string> render(const std::string& name, const ConfigurationSwitches& switches);
    // The library's time, mount count and interval count, one "key value" line each.
    std::string stateText();
    // Looks at the library as it is now, under its lock.
    void inspect(const std::function<void(const LibrarySimulation&)>& visit);

    LibraryMinute now() const { return m_clock.now(); }
    void advance(LibraryMinute minutes) { m_clock.advance(minutes); }

private:
    LiveClock m_clock;
    std::mutex m_mutex;
    LibrarySimulation m_simulation;
    std::map<std::string, std::shared_ptr<const std::string>> m_cache;
    std::uint64_t m_cacheVersion = ~std::uint64_t{0};
    LibraryMinute m_cacheTime = 0;
    ConfigurationSwitches m_cacheSwitches;
};

} // namespace libsim
