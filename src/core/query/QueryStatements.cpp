#include "QueryStatements.h"

#include "QueryTexts.h"

#include <cctype>

namespace {
// Everything after the time column, in table order without the reserved fields.
constexpr const char* MountHistoryTail =
    "VOLSER , FRAME , DRIVE , LOGICAL_LIBRARY , ELEMENT_ADDRESS , MOUNT_HOST_WRITE , MOUNT_HOST_READ , "
    "MOUNT_DRIVE_RESIDENCY , MOUNT_TAPEALERT_MEDIA , LIFE_MOUNTS_MEDIA , LIFE_WRITE_RETRIES_MEDIA , "
    "LIFE_WRITE_PERMS_MEDIA , LIFE_READ_RETRIES_MEDIA , LIFE_READ_PERMS_MEDIA , MOUNT_RATING_DRIVE , "
    "MOUNT_RATING_MEDIA , MOUNT_RATING_PORTS , MOUNT_RATING_PORT0 , MOUNT_RATING_PORT1 , MOUNT_WRITE_PERF_UTIL , "
    "MOUNT_WRITE_ERPS_IMPCT , MOUNT_WRITE_BURST_UTIL , MOUNT_WRITE_BUFFER_UTIL , MOUNT_READ_PERF_UTIL , "
    "MOUNT_READ_ERPS_IMPCT , MOUNT_READ_BURST_UTIL , MOUNT_READ_BUFFER_UTIL , MOUNT_CAPACITY_TOTAL_UTIL , "
    "MOUNT_CAPACITY_WRITES_UTIL , MOUNT_CAPACITY_CONTROL_UTIL , MOUNT_CRYPTO_STATUS , MOUNT_CRYPTO_REKEY";

constexpr const char* LibraryPerformanceTail = "LOGICAL_LIBRARY, RESIDENCY_MAX, RESIDENCY_AVG, MOUNTS_TOTAL, "
                                               "MOUNTS_MAX, MOUNTS_AVG, EJECTS_TOTAL, EJECTS_MAX, EJECTS_AVG, "
                                               "INSERTS_TOTAL";
} // namespace

std::string mountHistoryQueryColumns(const Dialect& dialect)
{
    // The Oracle list has no blank between the date expression and its comma; the servers do
    // not care, and the text stays as it has always been logged.
    return "IPADDRESS , " + dialect.dateSelectExpression() + (dialect.isOracle() ? ", " : " , ")
           + dialect.timeSelectExpression() + " , " + MountHistoryTail;
}

std::string libraryPerformanceQueryColumns(const Dialect& dialect)
{
    if (!dialect.isOracle())
        return "*";
    return "IPADDRESS, " + dialect.dateSelectExpression() + ", " + dialect.timeSelectExpression() + ", "
           + LibraryPerformanceTail;
}

QueryStatements buildQueryStatements(bool mountHistory, const std::string& table, const std::string& whereClause,
                                     const Dialect& dialect)
{
    QueryStatements statements;
    statements.table = table;
    statements.columns = mountHistory ? mountHistoryQueryColumns(dialect) : libraryPerformanceQueryColumns(dialect);
    const std::string dateColumn = dialect.isOracle() ? "dates" : "date";
    const std::string order = mountHistory
                                  ? "order by " + dateColumn + " desc, time desc, frame asc, drive asc, volser asc"
                                  : "order by " + dateColumn + " desc, time desc, logical_library asc";
    statements.select = fillTemplate("SELECT %s FROM %s %s ", {statements.columns, table, whereClause}) + order;
    statements.count = fillTemplate(query_texts::CountStatement, {table, whereClause});
    return statements;
}

std::optional<std::string> refusedWhereClause(const std::string& whereClause)
{
    if (whereClause.find(';') != std::string::npos)
        return std::string(query_texts::RefusedSeveralStatements);
    // A name is searched as plain text, so a quoted or commented form cannot hide it; a string
    // literal that happens to hold one of these names is refused too, which costs nothing real.
    static constexpr const char* refusedFunctions[] = {"load_extension", "blob_import", "blob_export", "lo_import",
                                                       "lo_export"};
    std::string folded = whereClause;
    for (char& c : folded)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* name : refusedFunctions)
        if (folded.find(name) != std::string::npos)
            return fillTemplate(query_texts::RefusedFunction, {name});
    return std::nullopt;
}
