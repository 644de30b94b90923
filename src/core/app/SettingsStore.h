#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

// Where the persistent settings live: sections of named text values. A missing value reads
// as the empty text. The desktop program backs it with QSettings; tests keep it in memory.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string read(const std::string& section, const std::string& entry) const = 0;
    virtual void write(const std::string& section, const std::string& entry, const std::string& value) = 0;
};

class MemorySettingsStore final : public SettingsStore {
public:
    std::string read(const std::string& section, const std::string& entry) const override;
    void write(const std::string& section, const std::string& entry, const std::string& value) override;

    // Every write in the order it was made, as "Section/Entry=value".
    const std::vector<std::string>& writes() const { return m_writes; }

private:
    std::map<std::pair<std::string, std::string>, std::string> m_values;
    std::vector<std::string> m_writes;
};
