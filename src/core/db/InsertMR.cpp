#include "InsertMR.h"

#include "InsertRow.h"
#include "FieldText.h"

namespace {
// The date and time as the statements write them: the line's, normalised.
struct MountKey {
    std::string date;
    std::string time;
};

MountKey keyOf(const MountHistoryLine& line)
{
    return {line.validDate.value_or(line.date), line.validTime.value_or(line.time)};
}

// Appends the field as the statement writes it.
void appendFieldValue(std::string& sql, const MountHistoryLine& line, std::size_t number)
{
    const auto& value = line.field(number);
    if (!value)
        sql += "null";
    else if (MountHistoryLine::isTextField(number))
        sql += quoteLiteral(*value);
    else
        sql += *value;
}
} // namespace

std::string mountHistoryDuplicateCheck(const MountHistoryLine& line, const std::string& libraryAddress,
                                       const Dialect& dialect)
{
    const MountKey key = keyOf(line);
    const auto& volser = line.field(MountHistoryLine::VolserField);
    // A line without a volser must still find itself: "in (null)" never matches.
    const std::string volserCondition =
        volser ? "(volser in (" + quoteLiteral(*volser) + "))" : std::string("(volser is null)");
    return "where ((ipaddress in (" + quoteLiteral(libraryAddress) + ")) AND " + volserCondition + " AND "
           + dialect.timeKeyCondition(key.time) + " AND (" + (dialect.isOracle() ? "dates" : "date") + " in ("
           + dialect.dateLiteral(key.date) + ")))";
}

std::string mountHistoryInsertStatement(const MountHistoryLine& line, const std::string& table,
                                        const std::string& libraryAddress, const Dialect& dialect)
{
    const MountKey key = keyOf(line);
    std::string sql = "INSERT INTO " + table + " VALUES (" + quoteLiteral(libraryAddress) + ", "
                      + dialect.dateLiteral(key.date) + ", " + dialect.timeLiteral(key.time);
    sql.reserve(sql.size() + 8 * line.fieldCount);
    for (std::size_t number = 2; number <= line.fieldCount; ++number) {
        sql += ", ";
        appendFieldValue(sql, line, number);
    }
    sql += ") ";
    return sql;
}

int InsertMR(const std::string& line, const std::string& table, const std::string& libraryAddress, SQLHSTMT statement)
{
    // The comma the caller appended closes the last field; it is not a field of its own.
    std::string_view text = line;
    if (!text.empty() && text.back() == ',')
        text.remove_suffix(1);
    if (text.size() > MaxLibraryLineLength)
        return refuseTooLongLine(text);
    const MountHistoryLine parsed = MountHistoryLine::parse(text);
    if (const std::string problem = parsed.problem(); !problem.empty())
        return refuseLine(problem, std::string(text));

    const Dialect dialect = Dialect::current();
    return insertUnlessStored(table, mountHistoryDuplicateCheck(parsed, libraryAddress, dialect),
                              mountHistoryInsertStatement(parsed, table, libraryAddress, dialect), statement, true);
}
