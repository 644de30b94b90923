#pragma once

#include "db/Dialect.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// The query form's eight rows, in the order their conditions are written.
enum class QueryRowId { IpAddress, Date, Time, Volser, Frame, Drive, LogicalLibrary, ElementAddress };
inline constexpr std::size_t QueryRowCount = 8;

enum class QueryValueKind { Text, UpperCaseText, DatePicker, TimePicker };

// What the form shows for one row and how its condition is written.
struct QueryRowInfo {
    QueryRowId id;
    const char* label;
    std::vector<std::string> operators;
    const char* hint;   // "" when the row has none
    const char* column; // the date row's column comes from the dialect
    QueryValueKind valueKind;
    bool isText;           // only traced: the user types the quotes
    bool mountHistoryOnly; // left out for the library performance table
};

const std::vector<QueryRowInfo>& queryFormRows();
const QueryRowInfo& queryRowInfo(QueryRowId id);

// A picker's value; the date row uses only its date, the time row only its time.
struct QueryDateTime {
    int year = 1970, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
    static QueryDateTime now();
    std::string dateText() const; // "%Y-%m-%d"
    std::string timeText() const; // "%H:%M:%S"
};

struct QueryRowChoice {
    bool checked = false;
    std::string comparison = "=";
    std::string value; // an SQL fragment, used as typed
};

// Everything the form's controls hold when Query is pressed.
struct QueryFormFields {
    std::string table = "Mount History";
    std::array<QueryRowChoice, QueryRowCount> rows;
    QueryDateTime date;
    QueryDateTime time;

    QueryRowChoice& row(QueryRowId id) { return rows[static_cast<std::size_t>(id)]; }
    const QueryRowChoice& row(QueryRowId id) const { return rows[static_cast<std::size_t>(id)]; }
};

struct GeneratedQuery {
    bool mountHistory = true;
    std::string whereClause; // "" or "where ..." with every condition followed by one blank
};

// column + " " + operator + " " + value + " ". The value goes in as typed: no quotes are added.
std::string FormatQueryValue(const std::string& column, const std::string& comparison, const std::string& value,
                             bool isText);

// A condition on the date column ("date" or "dates") or on "time", in the dialect's literal form.
std::string FormatDateTimeCondition(const std::string& comparison, const std::string& column,
                                    const QueryDateTime& value, const Dialect& dialect);

// "Mount History", compared ignoring case.
bool isMountHistoryChoice(const std::string& table);
// Whether the row's condition can be part of a query over that table.
bool rowTakesPart(QueryRowId id, bool mountHistory);

// The where clause of the checked rows in the fixed row order, joined by "and ".
GeneratedQuery BuildWhereClause(const QueryFormFields& fields, const Dialect& dialect);

// The Query button: when the application is not connected, the message and nothing else;
// otherwise the clause in the dialect of the settings.
std::optional<GeneratedQuery> GenerateQuery(const QueryFormFields& fields);
