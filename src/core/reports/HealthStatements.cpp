#include "HealthStatements.h"

namespace {
const std::vector<HealthField>& driveFields()
{
    // The report's names of four ratings and two capacity fields differ from the columns.
    static const std::vector<HealthField> fields = {
        {"MOUNT_DRIVE_RATING", "Mount_Rating_Drive"},
        {"MOUNT_PORTS_RATING", "Mount_Rating_Ports"},
        {"MOUNT_PORT0_RATING", "Mount_Rating_Port0"},
        {"MOUNT_PORT1_RATING", "Mount_Rating_Port1"},
        {"MOUNT_WRITE_PERF_UTIL", "Mount_Write_Perf_Util"},
        {"MOUNT_WRITE_ERPS_IMPCT", "Mount_Write_ERPs_Impct"},
        {"MOUNT_WRITE_BURST_UTIL", "Mount_Write_Burst_Util"},
        {"MOUNT_WRITE_BUFFER_UTIL", "Mount_Write_Buffer_Util"},
        {"MOUNT_READ_PERF_UTIL", "Mount_Read_Perf_Util"},
        {"MOUNT_READ_ERPS_IMPCT", "Mount_Read_ERPs_Impct"},
        {"MOUNT_READ_BURST_UTIL", "Mount_Read_Burst_Util"},
        {"MOUNT_READ_BUFFER_UTIL", "Mount_Read_Buffer_Util"},
        {"MOUNT_WRITES_CAPACITY_UTIL", "Mount_Capacity_Writes_Util"},
        {"MOUNT_CONTROL_CAPACITY_UTIL", "Mount_Capacity_Control_Util"},
    };
    return fields;
}

const std::vector<HealthField>& cartridgeFields()
{
    static const std::vector<HealthField> fields = [] {
        std::vector<HealthField> list = {{"MOUNT_MEDIA_RATING", "Mount_Rating_Media"}};
        list.insert(list.end(), driveFields().begin() + 4, driveFields().end());
        return list;
    }();
    return fields;
}

std::string dateRange(const std::string& beginDate, const std::string& endDate, const Dialect& dialect)
{
    return dialect.dateCondition(">=", beginDate) + "and " + dialect.dateCondition("<=", endDate);
}

// Newest first; rows of the same date and time by their value, highest first, so that the
// rows a statement keeps are always the same ones (the trend reads nothing else of a row).
std::string newestFirst(const std::string& column, const Dialect& dialect)
{
    return std::string("order by ") + (dialect.isOracle() ? "dates" : "date") + " desc, time desc, " + column + " desc";
}
} // namespace

const std::vector<HealthField>& healthFields(HealthReportKind kind)
{
    return kind == HealthReportKind::Drive ? driveFields() : cartridgeFields();
}

std::vector<std::string> healthFieldNames(HealthReportKind kind)
{
    std::vector<std::string> names;
    for (const HealthField& field : healthFields(kind))
        names.emplace_back(field.name);
    return names;
}

const HealthField* findHealthField(HealthReportKind kind, const std::string& name)
{
    for (const HealthField& field : healthFields(kind))
        if (name == field.name)
            return &field;
    return nullptr;
}

std::string healthSubjectStatement(HealthReportKind kind, const std::string& table, const std::string& ipAddress,
                                   const std::string& beginDate, const std::string& endDate, const Dialect& dialect)
{
    const std::string where =
        " where ipaddress = " + quoteLiteral(ipAddress) + " and " + dateRange(beginDate, endDate, dialect);
    if (kind == HealthReportKind::Drive)
        return "select distinct frame, drive from " + table + where + "order by frame asc, drive asc";
    return "select distinct volser from " + table + where + "order by volser asc";
}

std::string healthFieldStatement(const HealthField& field, const std::string& table, const HealthSubject& subject,
                                 const std::string& endDate, const Dialect& dialect)
{
    const std::string column = field.column;
    std::string sql = "select " + column + ", " + dialect.dateSelectExpression() + ", " + dialect.timeSelectExpression()
                      + " from " + table + " where " + column
                      + " <> 0 and ipaddress = " + quoteLiteral(subject.ipAddress) + " and ";
    if (subject.cartridge)
        sql += "volser = " + quoteLiteral(subject.volser) + " and ";
    else
        sql += "frame = " + std::to_string(subject.frame) + " and drive = " + std::to_string(subject.drive) + " and ";
    sql += dialect.dateCondition("<=", endDate);
    const std::string limit = std::to_string(MovingAverageTrend::RowsNeeded);
    if (dialect.isOracle())
        return sql + newestFirst(column, dialect) + " FETCH FIRST " + limit + " ROWS ONLY";
    return sql + newestFirst(column, dialect) + " LIMIT " + limit;
}

std::string healthBatchStatement(HealthReportKind kind, const HealthField& field, const std::string& table,
                                 const std::string& ipAddress, const std::string& beginDate, const std::string& endDate,
                                 const Dialect& dialect)
{
    const std::string column = field.column;
    const std::string unit = kind == HealthReportKind::Drive ? "frame, drive" : "volser";
    const std::string address = quoteLiteral(ipAddress);
    // The rows of one subject are numbered exactly as its own statement orders them; only the
    // subjects the report lists (mounts in the range) are read.
    const std::string subjects = "(" + unit + ") in (select " + unit + " from " + table + " where ipaddress = "
                                 + address + " and " + dateRange(beginDate, endDate, dialect) + ")";
    return "select " + unit + ", " + column + ", " + (dialect.isOracle() ? "DATES" : "DATE") + ", TIME from (select "
           + unit + ", " + column + ", " + dialect.dateSelectExpression() + ", " + dialect.timeSelectExpression()
           + ", row_number() over (partition by " + unit + " " + newestFirst(column, dialect) + ") as newest from "
           + table + " where " + column + " <> 0 and ipaddress = " + address + " and "
           + dialect.dateCondition("<=", endDate) + "and " + subjects + ") ranked where newest <= "
           + std::to_string(MovingAverageTrend::RowsNeeded) + " order by " + unit + ", newest";
}
