#pragma once

#include <optional>
#include <string>
#include <vector>

// Today as "YYYY-MM-DD" in local time.
std::string todaySqlDate();
// The day a stored date counts as: its first ten characters when they are a date "YYYY-MM-DD"
// ('2009-04-27', '2009-04-27T10:00:00' and '2009-04-27 10:00:00' are all 2009-04-27); nothing
// for a text that does not begin with one.
std::optional<std::string> reportDay(const std::string& stored);
// "YYYY-MM-DD" as "MM-DD-YYYY"; other texts stay as they are.
std::string displayDate(const std::string& sqlDate);

// Generate Report's checks on the form: the message to show, or nothing when the report may start.
// Dates are "YYYY-MM-DD".
std::optional<std::string> checkReportForm(int checkedAddresses, const std::string& beginDate,
                                           const std::string& endDate, const std::string& today);

// The agent's address setting cut at commas, blanks around each address removed; empty pieces
// are skipped and a last address without a trailing comma counts too.
std::vector<std::string> GetAgentIpList(const std::string& setting);
