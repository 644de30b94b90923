#include "LiveLibrary.h"

#include <optional>

namespace libsim {

LiveLibrary::LiveLibrary(const LibraryOptions& library, double speed)
    : m_clock(library.end, speed), m_simulation(library)
{
}

std::shared_ptr<const std::string> LiveLibrary::render(const std::string& name, const ConfigurationSwitches& switches)
{
    std::lock_guard lock(m_mutex);
    m_simulation.advanceTo(m_clock.now());
    if (m_cacheVersion != m_simulation.version() || m_cacheTime != m_simulation.now()
        || m_cacheSwitches.ovisEnabled != switches.ovisEnabled
        || m_cacheSwitches.performanceModel != switches.performanceModel) {
        m_cache.clear();
        m_cacheVersion = m_simulation.version();
        m_cacheTime = m_simulation.now();
        m_cacheSwitches = switches;
    }
    if (const auto found = m_cache.find(name); found != m_cache.end()) {
        return found->second;
    }
    std::optional<std::string> content = renderLibraryFile(name, m_simulation, switches);
    if (!content) {
        return nullptr;
    }
    auto shared = std::make_shared<const std::string>(std::move(*content));
    m_cache[name] = shared;
    return shared;
}

std::string LiveLibrary::stateText()
{
    std::lock_guard lock(m_mutex);
    m_simulation.advanceTo(m_clock.now());
    std::string text = "time " + formatLibraryTime(m_simulation.now()) + "\n";
    text += "mounts " + std::to_string(m_simulation.mounts().size()) + "\n";
    text += "intervals " + std::to_string(m_simulation.intervals().size()) + "\n";
    return text;
}

void LiveLibrary::inspect(const std::function<void(const LibrarySimulation&)>& visit)
{
    std::lock_guard lock(m_mutex);
    m_simulation.advanceTo(m_clock.now());
    visit(m_simulation);
}

} // namespace libsim
