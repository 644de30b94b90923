#include "FaultSwitches.h"

#include <algorithm>

namespace libsim {

namespace {

std::string parameter(const ControlParameters& parameters, const std::string& key)
{
    const auto found = parameters.find(key);
    return found == parameters.end() ? std::string() : found->second;
}

bool isLibraryFile(const std::string& name)
{
    const auto& names = libraryFileNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string fileParameter(const ControlParameters& parameters, bool required, std::string& file)
{
    file = parameter(parameters, "file");
    if (file.empty()) {
        return required ? "missing file=NAME" : "";
    }
    if (!isLibraryFile(file)) {
        return "unknown file " + file;
    }
    return {};
}

std::string flagParameter(const ControlParameters& parameters, const std::string& key, bool& value)
{
    const std::string text = parameter(parameters, key);
    if (text == "1") {
        value = true;
    } else if (text == "0") {
        value = false;
    } else {
        return "expected " + key + "=0 or " + key + "=1";
    }
    return {};
}

std::string byteLimit(const ControlParameters& parameters, std::optional<std::size_t>& limit, std::string& file)
{
    const std::string bytes = parameter(parameters, "bytes");
    if (bytes == "off") {
        limit.reset();
        file.clear();
        return {};
    }
    const auto count = parseCount(bytes);
    if (!count) {
        return "expected bytes=N or bytes=off";
    }
    std::string chosen;
    if (std::string error = fileParameter(parameters, false, chosen); !error.empty()) {
        return error;
    }
    limit = static_cast<std::size_t>(*count);
    file = chosen;
    return {};
}

bool appliesTo(const std::string& chosen, const std::string& file)
{
    return chosen.empty() || chosen == file;
}

// A switch that is on or off, for every file or one.
std::string fileFlag(const ControlParameters& parameters, bool& on, std::string& file)
{
    bool value = false;
    if (std::string error = flagParameter(parameters, "on", value); !error.empty()) {
        return error;
    }
    std::string chosen;
    if (std::string error = fileParameter(parameters, false, chosen); !error.empty()) {
        return error;
    }
    on = value;
    file = value ? chosen : std::string();
    return {};
}

std::string lengthSwitch(const ControlParameters& parameters, FaultState& state)
{
    if (parameter(parameters, "off") == "1") {
        state.lengthError.reset();
        state.lengthFile.clear();
        return {};
    }
    const auto fewer = parseCount(parameter(parameters, "short"));
    const auto more = parseCount(parameter(parameters, "long"));
    if (fewer.has_value() == more.has_value() || (fewer ? *fewer : *more) == 0) {
        return "expected short=N or long=N (above 0), or off=1";
    }
    std::string chosen;
    if (std::string error = fileParameter(parameters, false, chosen); !error.empty()) {
        return error;
    }
    state.lengthError = fewer ? -*fewer : *more;
    state.lengthFile = chosen;
    return {};
}

} // namespace

ConfigurationSwitches FaultState::configuration() const
{
    ConfigurationSwitches switches;
    switches.ovisEnabled = !ovisDisabled;
    switches.performanceModel = !noPerformanceModel;
    return switches;
}

int FaultState::statusFor(const std::string& file) const
{
    const auto found = statusByFile.find(file);
    return found == statusByFile.end() ? 0 : found->second;
}

std::optional<std::size_t> FaultState::stallFor(const std::string& file) const
{
    if (stallFile.empty() || stallFile == file) {
        return stallAfterBytes;
    }
    return std::nullopt;
}

std::optional<std::size_t> FaultState::closeFor(const std::string& file) const
{
    if (closeFile.empty() || closeFile == file) {
        return closeAfterBytes;
    }
    return std::nullopt;
}

std::optional<std::size_t> FaultState::abortFor(const std::string& file) const
{
    return appliesTo(abortFile, file) ? abortAfterBytes : std::nullopt;
}

std::optional<std::size_t> FaultState::dripFor(const std::string& file) const
{
    return appliesTo(dripFile, file) ? dripBytesPerSecond : std::nullopt;
}

std::optional<std::int64_t> FaultState::lengthErrorFor(const std::string& file) const
{
    return appliesTo(lengthFile, file) ? lengthError : std::nullopt;
}

bool FaultState::endlessFor(const std::string& file) const
{
    return endless && appliesTo(endlessFile, file);
}

bool FaultState::webPageFor(const std::string& file) const
{
    return webPage && appliesTo(webPageFile, file);
}

std::optional<std::int64_t> parseCount(std::string_view text)
{
    if (text.empty() || text.size() > 15) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string applyControl(FaultState& state, std::string_view name, const ControlParameters& parameters)
{
    std::string file;
    if (name == "status" || name == "http404" || name == "http500") {
        if (std::string error = fileParameter(parameters, true, file); !error.empty()) {
            return error;
        }
        int code = name == "http404" ? 404 : 500;
        if (name == "status") {
            const auto parsed = parseCount(parameter(parameters, "code"));
            if (!parsed || (*parsed != 0 && (*parsed < 100 || *parsed > 599))) {
                return "expected code=CODE (100 to 599, or 0)";
            }
            code = static_cast<int>(*parsed);
        }
        if (code == 0 || code == 200) {
            state.statusByFile.erase(file);
        } else {
            state.statusByFile[file] = code;
        }
        return {};
    }
    if (name == "stall") {
        return byteLimit(parameters, state.stallAfterBytes, state.stallFile);
    }
    if (name == "close") {
        return byteLimit(parameters, state.closeAfterBytes, state.closeFile);
    }
    if (name == "abort") {
        return byteLimit(parameters, state.abortAfterBytes, state.abortFile);
    }
    if (name == "drip") {
        if (parameter(parameters, "rate") == "off") {
            state.dripBytesPerSecond.reset();
            state.dripFile.clear();
            return {};
        }
        const auto rate = parseCount(parameter(parameters, "rate"));
        if (!rate || *rate == 0) {
            return "expected rate=N (above 0) or rate=off";
        }
        if (std::string error = fileParameter(parameters, false, file); !error.empty()) {
            return error;
        }
        state.dripBytesPerSecond = static_cast<std::size_t>(*rate);
        state.dripFile = file;
        return {};
    }
    if (name == "length") {
        return lengthSwitch(parameters, state);
    }
    if (name == "endless") {
        return fileFlag(parameters, state.endless, state.endlessFile);
    }
    if (name == "html") {
        return fileFlag(parameters, state.webPage, state.webPageFile);
    }
    if (name == "ovis") {
        bool enabled = true;
        std::string error = flagParameter(parameters, "enabled", enabled);
        if (error.empty()) {
            state.ovisDisabled = !enabled;
        }
        return error;
    }
    if (name == "performance") {
        bool available = true;
        std::string error = flagParameter(parameters, "available", available);
        if (error.empty()) {
            state.noPerformanceModel = !available;
        }
        return error;
    }
    if (name == "reset") {
        state = FaultState{};
        return {};
    }
    return "unknown switch " + std::string(name);
}

std::string describeFaults(const FaultState& state)
{
    std::string text;
    for (const auto& [file, code] : state.statusByFile) {
        text += "status " + file + " " + std::to_string(code) + "\n";
    }
    const auto limit = [&text](const char* name, const std::optional<std::size_t>& bytes, const std::string& file) {
        if (bytes) {
            text += std::string(name) + " " + std::to_string(*bytes) + " " + (file.empty() ? "all" : file) + "\n";
        }
    };
    limit("stall", state.stallAfterBytes, state.stallFile);
    limit("close", state.closeAfterBytes, state.closeFile);
    limit("abort", state.abortAfterBytes, state.abortFile);
    limit("drip", state.dripBytesPerSecond, state.dripFile);
    if (state.lengthError) {
        text += "length " + std::to_string(*state.lengthError) + " "
                + (state.lengthFile.empty() ? "all" : state.lengthFile) + "\n";
    }
    if (state.endless) {
        text += "endless " + (state.endlessFile.empty() ? std::string("all") : state.endlessFile) + "\n";
    }
    if (state.webPage) {
        text += "html " + (state.webPageFile.empty() ? std::string("all") : state.webPageFile) + "\n";
    }
    if (state.ovisDisabled) {
        text += "ovis disabled\n";
    }
    if (state.noPerformanceModel) {
        text += "performance unavailable\n";
    }
    return text.empty() ? "normal\n" : text;
}

FaultState FaultSwitches::snapshot() const
{
    std::lock_guard lock(m_mutex);
    return m_state;
}

std::string FaultSwitches::apply(std::string_view name, const ControlParameters& parameters)
{
    std::lock_guard lock(m_mutex);
    FaultState changed = m_state;
    std::string error = applyControl(changed, name, parameters);
    if (error.empty()) {
        m_state = changed;
        ++m_version;
    }
    return error;
}

void FaultSwitches::replace(const FaultState& state)
{
    std::lock_guard lock(m_mutex);
    m_state = state;
    ++m_version;
}

std::uint64_t FaultSwitches::version() const
{
    std::lock_guard lock(m_mutex);
    return m_version;
}

} // namespace libsim
