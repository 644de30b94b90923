#pragma once

#include "CustomReportRequest.h"
#include "CustomStatements.h"

#include <cstdint>
#include <string>
#include <vector>

// The values of a custom report as its statements' rows give them, and the ways they are put
// out: the graph's data, the table's cells, the CSV file and the last instance message.

struct CustomReportData {
    std::vector<std::uint32_t> values;
    // Trend: time and date of the row; rollup: the item's short name; several TapeAlert codes:
    // the entry cut in two parts of 8 characters.
    std::vector<std::string> firstLabels;
    std::vector<std::string> secondLabels;
    // What the table and the CSV file name a value by: the item's short name or the code entry.
    std::vector<std::string> items;
    // A lifetime trend that found only the one row that sets its base.
    bool lifetimeBaseOnly = false;
};

// A plain decimal conversion (leading blanks, a sign, digits) that never overflows.
long long customValueOf(const std::string& text);
// A value as the lists keep it: below 0 gives 0, above the 32-bit range its largest value.
std::uint32_t customValue(long long value);
// The value per second of mounted time: the value over (minutes x 60), rounded up; minutes of 0
// (or less) leave the value as it is.
long long perSecondValue(long long value, long long minutes);
// "yyyy-mm-dd" as the date format setting shows it in two-digit parts: 1 month-day-year,
// 2 year-month-day, 3 day-month-year; other settings (and other texts) keep the text.
std::string customRowDate(const std::string& sqlDate, int dateFormatCode);

// Collects the values of one report, statement by statement, row by row.
class CustomReportValues {
public:
    CustomReportValues(const CustomReportPlan& plan, int dateFormatCode) : m_plan(plan), m_dateFormat(dateFormatCode) {}
    // A statement begins; its rows follow, then its end.
    void beginStatement(const CustomStatement& statement);
    // One row: the value column, the divisor or count column (or "") and the row's date and time.
    void addRow(const std::string& value, const std::string& divisor, const std::string& date, const std::string& time);
    void endStatement();
    const CustomReportData& data() const { return m_data; }

private:
    const CustomReportPlan& m_plan;
    const int m_dateFormat;
    CustomReportData m_data;
    const CustomStatement* m_statement = nullptr;
    long long m_rows = 0;
    long long m_total = 0;
    long long m_divisorTotal = 0;
    bool m_haveBase = false;
    long long m_previous = 0;
};

// The graph's title: the value label and the subtitle, after "AVG " for a starred rollup.
std::string customGraphTitle(const CustomReportPlan& plan, const CustomReportRequest& request);

// The table: its column titles and rows ("ROW", then the date and time or the item, then the
// value as "%d"). Several TapeAlert codes are laid out by code entry, also on one item.
bool customTableByItem(const CustomReportPlan& plan);
std::vector<std::string> customTableColumns(const CustomReportPlan& plan);
std::vector<std::vector<std::string>> customTableRows(const CustomReportPlan& plan, const CustomReportData& data);

// The table as plain text: each column padded to its widest cell, two blanks between columns,
// the titles first, "\n" after each line.
std::string customTableText(const std::vector<std::string>& titles, const std::vector<std::vector<std::string>>& rows);

// The CSV file's text: the header, then one line per value; a field with a comma, quote or line
// break is quoted.
std::string customCsvText(const CustomReportPlan& plan, const CustomReportData& data);
// Writes it; 0 or the system's error number.
int writeCustomCsv(const std::string& path, const std::string& text);

// The last instance message of a trend, or what to say when there is no value to tell.
std::string customLastInstanceText(const CustomReportPlan& plan, const CustomReportRequest& request,
                                   const CustomReportData& data);
