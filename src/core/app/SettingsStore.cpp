#include "SettingsStore.h"

std::string MemorySettingsStore::read(const std::string& section, const std::string& entry) const
{
    auto found = m_values.find({section, entry});
    return found == m_values.end() ? std::string() : found->second;
}

void MemorySettingsStore::write(const std::string& section, const std::string& entry, const std::string& value)
{
    m_values[{section, entry}] = value;
    m_writes.push_back(section + "/" + entry + "=" + value);
}
