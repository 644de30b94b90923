#include "QueryClause.h"

#include "QueryTexts.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/UserPrompts.h"

#include <cstdio>
#include <ctime>
#include <strings.h>

namespace {
std::string twoDigits(int value)
{
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

bool equalIgnoringCase(const std::string& left, const char* right)
{
    return strcasecmp(left.c_str(), right) == 0;
}
} // namespace

const std::vector<QueryRowInfo>& queryFormRows()
{
    using namespace query_texts;
    static const std::vector<std::string> textOperators = {"like", "=", "<>", ">", "<", "between"};
    static const std::vector<std::string> numberOperators = {"=", "<>", ">", "<", "between"};
    static const std::vector<std::string> momentOperators = {"=", ">=", "<="};
    static const std::vector<QueryRowInfo> rows = {
        {QueryRowId::IpAddress, IpAddressLabel, textOperators, IpAddressHint, "ipaddress", QueryValueKind::Text, true,
         false},
        {QueryRowId::Date, DateLabel, momentOperators, "", "date", QueryValueKind::DatePicker, false, false},
        {QueryRowId::Time, TimeLabel, momentOperators, "", "time", QueryValueKind::TimePicker, false, false},
        {QueryRowId::Volser, VolserLabel, textOperators, VolserHint, "volser", QueryValueKind::UpperCaseText, true,
         true},
        {QueryRowId::Frame, FrameLabel, numberOperators, "", "frame", QueryValueKind::Text, false, true},
        {QueryRowId::Drive, DriveLabel, numberOperators, "", "drive", QueryValueKind::Text, false, true},
        {QueryRowId::LogicalLibrary, LogicalLibraryLabel, textOperators, LogicalLibraryHint, "logical_library",
         QueryValueKind::Text, true, false},
        {QueryRowId::ElementAddress, ElementAddressLabel, numberOperators, "", "element_address", QueryValueKind::Text,
         false, true},
    };
    return rows;
}

const QueryRowInfo& queryRowInfo(QueryRowId id)
{
    return queryFormRows()[static_cast<std::size_t>(id)];
}

QueryDateTime QueryDateTime::now()
{
    const std::time_t clock = std::time(nullptr);
    std::tm local{};
    localtime_r(&clock, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::string QueryDateTime::dateText() const
{
    std::string yearText = std::to_string(year);
    while (yearText.size() < 4)
        yearText = "0" + yearText;
    return yearText + "-" + twoDigits(month) + "-" + twoDigits(day);
}

std::string QueryDateTime::timeText() const
{
    return twoDigits(hour) + ":" + twoDigits(minute) + ":" + twoDigits(second);
}

std::string FormatQueryValue(const std::string& column, const std::string& comparison, const std::string& value,
                             bool isText)
{
    using namespace query_texts;
    WriteTraceLine(fillTemplate(FormatValueEntering, {column, comparison, isText ? "1" : "0"}));
    std::string condition = column + " " + comparison + " " + value + " ";
    WriteTraceLine(fillTemplate(FormatValueExiting, {condition}));
    return condition;
}

std::string FormatDateTimeCondition(const std::string& comparison, const std::string& column,
                                    const QueryDateTime& value, const Dialect& dialect)
{
    if (equalIgnoringCase(column, "time"))
        return dialect.timeCondition(comparison, value.timeText());
    return dialect.dateCondition(comparison, value.dateText());
}

bool isMountHistoryChoice(const std::string& table)
{
    return equalIgnoringCase(table, query_texts::MountHistory);
}

bool rowTakesPart(QueryRowId id, bool mountHistory)
{
    return mountHistory || !queryRowInfo(id).mountHistoryOnly;
}

GeneratedQuery BuildWhereClause(const QueryFormFields& fields, const Dialect& dialect)
{
    GeneratedQuery query;
    query.mountHistory = isMountHistoryChoice(fields.table);
    std::string conditions;
    for (const QueryRowInfo& info : queryFormRows()) {
        const QueryRowChoice& choice = fields.row(info.id);
        if (!choice.checked || !rowTakesPart(info.id, query.mountHistory))
            continue;
        if (!conditions.empty())
            conditions += "and ";
        switch (info.valueKind) {
        case QueryValueKind::DatePicker:
            conditions +=
                FormatDateTimeCondition(choice.comparison, dialect.isOracle() ? "dates" : "date", fields.date, dialect);
            break;
        case QueryValueKind::TimePicker:
            conditions += FormatDateTimeCondition(choice.comparison, "time", fields.time, dialect);
            break;
        case QueryValueKind::Text:
        case QueryValueKind::UpperCaseText:
            conditions += FormatQueryValue(info.column, choice.comparison, choice.value, info.isText);
            break;
        }
    }
    if (!conditions.empty())
        query.whereClause = "where " + conditions;
    WriteTraceLine(fillTemplate(query_texts::GeneratedQueryTrace, {query.whereClause}));
    return query;
}

std::optional<GeneratedQuery> GenerateQuery(const QueryFormFields& fields)
{
    if (!theApp().connected) {
        theApp().prompts().showMessage(query_texts::NotConnected, MessageIcon::Exclamation);
        return std::nullopt;
    }
    return BuildWhereClause(fields, Dialect::current());
}
