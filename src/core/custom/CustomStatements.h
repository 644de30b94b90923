#pragma once

#include "CustomReportRequest.h"

#include <string>
#include <vector>

// How a custom report request becomes statements: the column it reads, the divisor of a rate,
// the conditions of the selected items, the statement of each item or code, and the label of
// the values. Pure text in, text out.

enum class CustomReportMode { Trend, Rollup, TapeAlert };

// What a statement's rows are: totals (one row of sums) or the item's raw rows in time order.
enum class CustomRowsKind { Totals, RawRows };

struct CustomStatement {
    std::string sql;
    // The selected item the statement reads, or the TapeAlert entry of a code.
    std::string item;
    // The labels its value gets in a rollup or over several codes.
    std::string firstLabel;
    std::string secondLabel;
    CustomRowsKind rows = CustomRowsKind::Totals;
    // Totals of a starred field come with their row count, so the value is their average.
    bool averaged = false;
};

struct CustomReportPlan {
    CustomReportMode mode = CustomReportMode::Trend;
    std::string field;
    std::string column;
    std::string divisorColumn; // empty without a rate
    std::string labelBase;
    std::string table;
    bool countField = false;
    bool lifetimeField = false;
    bool rate = false;
    bool perSecond = false; // the rate divides by the residency minutes
    bool starred = false;
    bool logicalLibraryRows = false;
    // TapeAlert over several codes: one statement and one value per code entry.
    bool byCode = false;
    std::string dateExpression;
    std::string timeExpression;
    std::string orderClause;
    // The y-axis title, the value column's title of a table and a CSV file.
    std::string valueLabel;
    // " on Frame:1 Drive:2", " since 03-15-2008", ...
    std::string subtitle;
    std::vector<CustomStatement> statements;
};

// The field of a data type text: what follows its first ':' and the blank behind it, with the
// column name's part in upper case (servers return column names in either case).
std::string customFieldOf(const std::string& dataType);
// The text before the blank that precedes its first "(" (the text itself without one).
std::string withoutParenthesis(const std::string& text);
// "(MBs)", "(min)", "(sec)", "(count)" or "" by the first name the text contains.
std::string customUnitOf(const std::string& text);

CustomReportPlan planCustomReport(const CustomReportRequest& request);
