#include "InsertLP.h"

#include "InsertRow.h"
#include "FieldText.h"
#include "qmxDB.h"

namespace {
struct IntervalKey {
    std::string date;
    std::string time;
};

// The interval's end as the statements write it: a library performance time is stored with
// seconds in every dialect ("15:46" is written '15:46:00').
IntervalKey keyOf(const LibraryPerformanceLine& line)
{
    return {line.validDate.value_or(line.date), withSeconds(line.validTime.value_or(line.time))};
}
} // namespace

std::string libraryPerformanceDuplicateCheck(const LibraryPerformanceLine& line, const std::string& libraryAddress,
                                             const Dialect& dialect)
{
    const IntervalKey key = keyOf(line);
    return "where ((ipaddress in (" + quoteLiteral(libraryAddress) + ")) AND (Logical_Library in ("
           + quoteLiteral(line.field(LibraryPerformanceLine::LogicalLibraryField)) + ")) AND "
           + dialect.timeKeyCondition(key.time) + " AND (" + (dialect.isOracle() ? "dates" : "date") + " in ("
           + dialect.dateLiteral(key.date) + ")))";
}

std::string libraryPerformanceInsertStatement(const LibraryPerformanceLine& line, const std::string& table,
                                              const std::string& libraryAddress, const Dialect& dialect)
{
    const IntervalKey key = keyOf(line);
    std::string sql = "INSERT INTO " + table + " VALUES (" + quoteLiteral(libraryAddress) + ", "
                      + dialect.dateLiteral(key.date) + ", " + dialect.timeLiteral(key.time) + ", "
                      + quoteLiteral(line.field(LibraryPerformanceLine::LogicalLibraryField));
    for (std::size_t number = LibraryPerformanceLine::LogicalLibraryField + 1; number <= line.fieldCount; ++number)
        sql += ", " + line.field(number);
    return sql + ") ";
}

int qmxDB::InsertLP(const std::string& line, const std::string& table, const std::string& libraryAddress,
                    SQLHSTMT statement) const
{
    if (line.size() > MaxLibraryLineLength)
        return refuseTooLongLine(line);
    const LibraryPerformanceLine parsed = LibraryPerformanceLine::parse(line);
    // A line that cannot be stored, one without even a logical library among them, never
    // reaches the database.
    if (const std::string problem = parsed.problem(); !problem.empty())
        return refuseLine(problem, line);

    const Dialect dialect = Dialect::current();
    return insertUnlessStored(table, libraryPerformanceDuplicateCheck(parsed, libraryAddress, dialect),
                              libraryPerformanceInsertStatement(parsed, table, libraryAddress, dialect), statement,
                              false);
}
