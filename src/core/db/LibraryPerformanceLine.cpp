#include "LibraryPerformanceLine.h"

#include "FieldText.h"
#include "Tables.h"

namespace {
// The next word of the text, skipping the blanks before it; the text keeps what follows.
std::string takeWord(std::string& rest)
{
    const std::size_t begin = rest.find_first_not_of(' ');
    if (begin == std::string::npos) {
        rest.clear();
        return {};
    }
    const std::size_t end = rest.find(' ', begin);
    std::string word = rest.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    rest = end == std::string::npos ? std::string() : rest.substr(end);
    return word;
}
} // namespace

SplitTimestamp splitPerformanceTimestamp(std::string_view timestamp)
{
    std::string rest = trimmed(timestamp);
    const std::string year = takeWord(rest);
    // Each ": " becomes ":", again and again, so every blank after a colon goes: one pass.
    std::string joined;
    joined.reserve(rest.size());
    for (char c : rest)
        if (!(c == ' ' && !joined.empty() && joined.back() == ':'))
            joined.push_back(c);
    rest = std::move(joined);
    const std::string month = takeWord(rest);
    const std::string day = takeWord(rest);
    return {year + "-" + month + "-" + day, trimmed(rest)};
}

LibraryPerformanceLine LibraryPerformanceLine::parse(std::string_view line)
{
    LibraryPerformanceLine result;
    const std::vector<std::string_view> fields = splitFields(line);
    const SplitTimestamp stamp = splitPerformanceTimestamp(fields.front());
    result.date = stamp.date;
    result.time = stamp.time;
    result.validDate = validatedDate(result.date);
    result.validTime = validatedTime(result.time);
    for (std::size_t index = 1; index < fields.size(); ++index)
        result.values.push_back(removeBlanks(fields[index]));
    result.fieldCount = fields.size();
    return result;
}

const std::string& LibraryPerformanceLine::field(std::size_t number) const
{
    static const std::string none;
    return number >= 2 && number - 2 < values.size() ? values[number - 2] : none;
}

std::string LibraryPerformanceLine::problem() const
{
    if (std::string why = lineHeadProblem(fieldCount, FieldCount, date, validDate, time, validTime); !why.empty())
        return why;
    for (std::size_t number = LogicalLibraryField + 1; number <= fieldCount; ++number) {
        const auto range = fieldNumberRange(TableKind::LibraryPerformance, number);
        if (!range)
            continue;
        if (std::string why = numberFieldProblem(number, field(number), range->low, range->high); !why.empty())
            return why;
    }
    return {};
}
