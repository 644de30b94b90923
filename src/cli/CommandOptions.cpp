#include "CommandOptions.h"

CommandOptions::CommandOptions(std::set<std::string> valueOptions, std::set<std::string> switches)
    : m_valueOptions(std::move(valueOptions)), m_switches(std::move(switches))
{
}

bool CommandOptions::parse(const std::vector<std::string>& words)
{
    for (std::size_t at = 0; at < words.size(); ++at) {
        const std::string& word = words[at];
        if (!word.starts_with("--") || word == "--") {
            m_positionals.push_back(word);
            continue;
        }
        const auto equals = word.find('=');
        const std::string name = word.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        if (m_switches.count(name) > 0 && equals == std::string::npos) {
            m_given.insert(name);
            continue;
        }
        if (m_valueOptions.count(name) == 0) {
            m_error = "unknown option " + word;
            return false;
        }
        if (equals != std::string::npos) {
            m_values[name].push_back(word.substr(equals + 1));
        } else if (at + 1 < words.size()) {
            m_values[name].push_back(words[++at]);
        } else {
            m_error = "option " + word + " needs a value";
            return false;
        }
        m_given.insert(name);
    }
    return true;
}

const std::vector<std::string>& CommandOptions::values(const std::string& name) const
{
    static const std::vector<std::string> none;
    const auto found = m_values.find(name);
    return found == m_values.end() ? none : found->second;
}

std::optional<std::string> CommandOptions::value(const std::string& name) const
{
    const auto& given = values(name);
    if (given.empty())
        return std::nullopt;
    return given.back();
}

bool CommandOptions::has(const std::string& name) const
{
    return m_given.count(name) > 0;
}

bool CommandOptions::givenAtMostOnce(const std::set<std::string>& names)
{
    for (const std::string& name : names)
        if (values(name).size() > 1) {
            m_error = "--" + name + " given twice";
            return false;
        }
    return true;
}
