#include "ReportForm.h"

#include "ReportTexts.h"
#include "app/TimeFormat.h"

#include <cctype>
#include <chrono>
#include <ctime>

std::string todaySqlDate()
{
    return formatLocalTime(report_texts::SqlDateFormat, std::time(nullptr));
}

std::optional<std::string> reportDay(const std::string& stored)
{
    if (stored.size() < 10 || stored[4] != '-' || stored[7] != '-')
        return std::nullopt;
    for (const std::size_t at : {0, 1, 2, 3, 5, 6, 8, 9})
        if (std::isdigit(static_cast<unsigned char>(stored[at])) == 0)
            return std::nullopt;
    const std::chrono::year_month_day day{std::chrono::year{std::stoi(stored.substr(0, 4))},
                                          std::chrono::month{static_cast<unsigned>(std::stoi(stored.substr(5, 2)))},
                                          std::chrono::day{static_cast<unsigned>(std::stoi(stored.substr(8, 2)))}};
    if (!day.ok())
        return std::nullopt;
    return stored.substr(0, 10);
}

std::string displayDate(const std::string& sqlDate)
{
    if (sqlDate.size() != 10 || sqlDate[4] != '-' || sqlDate[7] != '-')
        return sqlDate;
    return sqlDate.substr(5, 2) + "-" + sqlDate.substr(8, 2) + "-" + sqlDate.substr(0, 4);
}

std::optional<std::string> checkReportForm(int checkedAddresses, const std::string& beginDate,
                                           const std::string& endDate, const std::string& today)
{
    // The dates are all "YYYY-MM-DD", so their texts compare as the dates do.
    if (checkedAddresses <= 0)
        return report_texts::NoIpChecked;
    if (beginDate > endDate)
        return report_texts::InvalidDateRange;
    if (beginDate > today)
        return report_texts::BeginPastToday;
    if (endDate > today)
        return report_texts::EndPastToday;
    return std::nullopt;
}

std::vector<std::string> GetAgentIpList(const std::string& setting)
{
    std::vector<std::string> addresses;
    std::size_t start = 0;
    while (start <= setting.size()) {
        std::size_t comma = setting.find(',', start);
        if (comma == std::string::npos)
            comma = setting.size();
        std::string piece = setting.substr(start, comma - start);
        const auto first = piece.find_first_not_of(" \t");
        if (first != std::string::npos)
            addresses.push_back(piece.substr(first, piece.find_last_not_of(" \t") - first + 1));
        start = comma + 1;
    }
    return addresses;
}
