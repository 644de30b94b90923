#include "AgentConfig.h"

#include "AgentReports.h"
#include "SendMail.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <strings.h>

namespace {
std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> listOf(const std::string& value)
{
    std::vector<std::string> items;
    std::stringstream in(value);
    std::string item;
    while (std::getline(in, item, ','))
        if (std::string piece = trimmed(item); !piece.empty())
            items.push_back(piece);
    return items;
}

// Two digits, nothing else: no sign, no blank.
int twoDigits(const std::string& text, std::size_t at)
{
    if (at + 2 > text.size() || text[at] < '0' || text[at] > '9' || text[at + 1] < '0' || text[at + 1] > '9')
        return -1;
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

// "HH:MM" or "HH:MM:SS", two digits each.
bool parseClock(const std::string& text, AgentSettings& settings)
{
    if ((text.size() != 5 && text.size() != 8) || text[2] != ':' || (text.size() == 8 && text[5] != ':'))
        return false;
    const int hour = twoDigits(text, 0);
    const int minute = twoDigits(text, 3);
    const int second = text.size() == 8 ? twoDigits(text, 6) : 0;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    settings.startHour = hour;
    settings.startMinute = minute;
    settings.startSecond = second;
    return true;
}

bool holdsControlCharacter(const std::string& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f; });
}

const char* const ShortDays[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
const char* const LongDays[] = {"monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"};

std::string refused(const std::string& key, const std::string& why)
{
    return "[Agent] " + key + ": " + why;
}
} // namespace

std::variant<AgentConfig, std::string> parseAgentConfig(const std::string& text)
{
    std::map<std::string, std::string> values;
    std::string group;
    // A byte-order mark that an editor put in front of the first group is no part of it.
    const bool marked = text.starts_with("\xEF\xBB\xBF");
    std::stringstream in(marked ? text.substr(3) : text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = trimmed(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[') {
            if (line.back() != ']')
                return "line " + std::to_string(number) + ": a group name without its \"]\"";
            group = trimmed(line.substr(1, line.size() - 2));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            return "line " + std::to_string(number) + ": not \"Key=Value\"";
        if (group != "Agent")
            continue;
        const std::string key = trimmed(line.substr(0, equals));
        static const std::vector<std::string> known = {"Reports",   "Weekdays",   "StartTime",  "Range",
                                                       "Libraries", "SmtpServer", "Recipients", "Sender"};
        if (std::find(known.begin(), known.end(), key) == known.end())
            return refused(key, "unknown key");
        if (values.contains(key))
            return refused(key, "given twice");
        values[key] = trimmed(line.substr(equals + 1));
        // A carriage return inside an address would smuggle a command into the mail dialogue.
        if (holdsControlCharacter(values[key]))
            return refused(key, "holds a control character (a carriage return?)");
    }
    for (const char* key : {"Reports", "Weekdays", "StartTime", "Range", "Libraries", "SmtpServer", "Recipients"})
        if (!values.contains(key) || values[key].empty())
            return refused(key, "missing");

    AgentConfig config;
    AgentSettings& settings = config.settings;
    settings.enabled = true;
    for (const std::string& name : listOf(values["Reports"])) {
        const auto report = agentReportByCommandName(name);
        if (!report)
            return refused("Reports", "unknown report \"" + name
                                          + "\" (mount-rates, drive-health, cartridge-statistics, encryption-status, "
                                            "cartridge-health)");
        setAgentReportChosen(settings, *report, true);
    }
    if (listOf(values["Reports"]).empty())
        return refused("Reports", "missing");
    for (const std::string& day : listOf(values["Weekdays"])) {
        bool found = false;
        for (std::size_t index = 0; index < 7 && !found; ++index)
            if (strcasecmp(day.c_str(), ShortDays[index]) == 0 || strcasecmp(day.c_str(), LongDays[index]) == 0) {
                settings.weekdays[index] = true;
                found = true;
            }
        if (!found)
            return refused("Weekdays", "unknown day \"" + day + "\" (mon, tue, wed, thu, fri, sat, sun)");
    }
    if (settings.weekdays == std::array<bool, 7>{})
        return refused("Weekdays", "missing");
    if (!parseClock(values["StartTime"], settings))
        return refused("StartTime", "not a time of day HH:MM:SS");
    const auto range = parseAgentRange(values["Range"]);
    if (!range)
        return refused("Range", "not \"1 Day\", \"1 Week\" or \"1 Month\"");
    config.range = *range;
    const std::vector<std::string> libraries = listOf(values["Libraries"]);
    if (libraries.empty())
        return refused("Libraries", "missing");
    settings.ipList = agentIpListText(libraries);
    settings.smtpServer = values["SmtpServer"];
    if (!parseSmtpServer(settings.smtpServer))
        return refused("SmtpServer", "the port is not a number from 1 to 65535");
    if (splitMailRecipients(values["Recipients"]).empty())
        return refused("Recipients", "missing");
    settings.recipients = values["Recipients"];
    settings.sender = values["Sender"];
    return config;
}
