#include "Dialect.h"

#include "app/CQmxApp.h"

#include <cctype>
#include <vector>

namespace {
constexpr int OracleDatabaseType = 1;

bool allDigits(const std::string& text)
{
    if (text.empty())
        return false;
    for (unsigned char c : text)
        if (std::isdigit(c) == 0)
            return false;
    return true;
}

std::vector<std::string> splitAt(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// One or two digits, written with two.
bool twoDigitGroup(const std::string& group, std::string& out)
{
    if (!allDigits(group) || group.size() > 2)
        return false;
    out = group.size() == 1 ? "0" + group : group;
    return true;
}
} // namespace

Dialect::Dialect(int databaseType) : m_oracle(databaseType == OracleDatabaseType)
{
}

Dialect Dialect::current()
{
    return Dialect(theApp().settings.DatabaseType);
}

std::string Dialect::dateColumn() const
{
    return m_oracle ? "Dates" : "Date";
}

std::string Dialect::timeColumn() const
{
    return "Time";
}

std::string Dialect::dateLiteral(const std::string& date) const
{
    if (m_oracle)
        return "TO_DATE(" + quoteLiteral(date) + ",'yyyy-mm-dd')";
    return quoteLiteral(normalisedDate(date));
}

std::string Dialect::timeLiteral(const std::string& time) const
{
    if (m_oracle)
        return "TO_DATE(" + quoteLiteral(time) + ",'hh24:mi:ss')";
    return quoteLiteral(normalisedTime(time));
}

std::string Dialect::timeKeyCondition(const std::string& time) const
{
    const std::string seconds = quoteLiteral(normalisedTime(time));
    if (m_oracle)
        return "(TO_CHAR(time,'hh24:mi:ss') in (" + seconds + "))";
    return "(time in (" + seconds + "))";
}

std::string Dialect::dateSelectExpression() const
{
    return m_oracle ? "TO_CHAR(DATES,'yyyy-mm-dd') AS DATES" : "DATE";
}

std::string Dialect::timeSelectExpression() const
{
    return m_oracle ? "TO_CHAR(TIME,'hh24:mi:ss') AS TIME" : "TIME";
}

std::string Dialect::dateTimeOrderClause() const
{
    return m_oracle ? "order by dates asc, time asc" : "order by date asc, time asc";
}

std::string Dialect::dateCondition(const std::string& comparison, const std::string& date) const
{
    return (m_oracle ? "dates " : "date ") + comparison + " " + dateLiteral(date) + " ";
}

std::string Dialect::timeCondition(const std::string& comparison, const std::string& time) const
{
    return "time " + comparison + " " + timeLiteral(time) + " ";
}

std::string Dialect::textType(int length) const
{
    return (m_oracle ? "varchar2(" : "varchar(") + std::to_string(length) + ")";
}

std::string Dialect::integerType() const
{
    return m_oracle ? "number" : "int";
}

std::string Dialect::smallIntegerType() const
{
    return m_oracle ? "number" : "smallint";
}

std::string Dialect::dateType() const
{
    return "date";
}

std::string Dialect::timeType() const
{
    return m_oracle ? "timestamp" : "time";
}

std::string escapeQuotes(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        escaped += c;
        if (c == '\'')
            escaped += '\'';
    }
    return escaped;
}

std::string quoteLiteral(const std::string& text)
{
    return "'" + escapeQuotes(text) + "'";
}

std::string normalisedTime(const std::string& time)
{
    const std::vector<std::string> groups = splitAt(time, ':');
    if (groups.size() != 2 && groups.size() != 3)
        return time;
    std::string normalised;
    for (const std::string& group : groups) {
        std::string twoDigits;
        if (!twoDigitGroup(group, twoDigits))
            return time;
        normalised += (normalised.empty() ? "" : ":") + twoDigits;
    }
    return groups.size() == 2 ? normalised + ":00" : normalised;
}

std::string normalisedDate(const std::string& date)
{
    const std::vector<std::string> groups = splitAt(date, '-');
    std::string month, day;
    if (groups.size() != 3 || groups[0].size() != 4 || !allDigits(groups[0]) || !twoDigitGroup(groups[1], month)
        || !twoDigitGroup(groups[2], day))
        return date;
    return groups[0] + "-" + month + "-" + day;
}
