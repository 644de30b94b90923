#include "ReportStatements.h"

#include <strings.h>

const std::vector<std::string>& ReportStatements::lifetimeCounters()
{
    static const std::vector<std::string> counters = {"LIFE_MOUNTS", "LIFE_WRITE_RETRIES", "LIFE_WRITE_PERMS",
                                                      "LIFE_READ_RETRIES", "LIFE_READ_PERMS"};
    return counters;
}

std::string ReportStatements::lifetimeColumn(const std::string& counter)
{
    static const std::vector<std::string> columns = {"Life_Mounts_Media", "Life_Write_Retries_Media",
                                                     "Life_Write_Perms_Media", "Life_Read_Retries_Media",
                                                     "Life_Read_Perms_Media"};
    const auto& counters = lifetimeCounters();
    for (std::size_t at = 0; at < counters.size(); ++at)
        if (strcasecmp(counters[at].c_str(), counter.c_str()) == 0)
            return columns[at];
    return counter;
}

std::string ReportStatements::dateColumn() const
{
    return m_dialect.isOracle() ? "dates" : "date";
}

std::string ReportStatements::dateText() const
{
    return m_dialect.isOracle() ? "TO_CHAR(dates,'yyyy-mm-dd')" : "date";
}

std::string ReportStatements::driveCountsByDate(const std::string& address, const std::string& begin,
                                                const std::string& end) const
{
    return "select frame, drive, " + dateText() + ", count(volser) from " + m_table + " where ipaddress = "
           + quoteLiteral(address) + " and " + rangeCondition(begin, end) + " group by frame, drive, " + dateText();
}

std::string ReportStatements::driveCountSums(const std::string& address, const std::string& begin,
                                             const std::string& end) const
{
    return "select frame, drive, sum(mounts), sum(mounts * mounts) from (select frame, drive, count(volser) as "
           "mounts from "
           + m_table + " where ipaddress = " + quoteLiteral(address) + " and " + rangeCondition(begin, end)
           + " group by frame, drive, " + dateColumn() + ") per_day group by frame, drive";
}

std::string ReportStatements::volserCountSums(const std::string& address, const std::string& begin,
                                              const std::string& end) const
{
    // A NULL volser is listed as an empty text, which the per-date count never matches.
    return "select volser, sum(mounts), sum(mounts * mounts) from (select volser, count(drive) as mounts from "
           + m_table + " where ipaddress = " + quoteLiteral(address) + " and " + rangeCondition(begin, end)
           + " and volser is not null group by volser, " + dateColumn() + ") per_day group by volser";
}

std::string ReportStatements::lifetimeMaxima(const std::string& address, const std::string& begin,
                                             const std::string& end) const
{
    std::string sql = "select volser";
    for (const std::string& counter : lifetimeCounters())
        sql += ", max(" + lifetimeColumn(counter) + ")";
    return sql + " from " + m_table + " where ipaddress = " + quoteLiteral(address) + " and "
           + rangeCondition(begin, end) + " and volser is not null group by volser";
}

std::string ReportStatements::lastMounts(const std::string& address, const std::string& begin,
                                         const std::string& end) const
{
    const std::string date = m_dialect.isOracle() ? "TO_CHAR(dates,'yyyy-mm-dd')" : "date";
    const std::string time = m_dialect.isOracle() ? "TO_CHAR(time,'hh24:mi:ss')" : "time";
    return "select volser, last_date, last_time, last_status, rekeys from (select volser, " + date + " as last_date, "
           + time
           + " as last_time, case when time is null then 0 else mount_crypto_status end as last_status, "
             "row_number() over (partition by volser order by "
           + dateColumn()
           + " desc, case when time is null then 1 else 0 end, time desc) as newest, count(case when "
             "mount_crypto_rekey = 1 then mount_crypto_rekey end) over (partition by volser) as rekeys from "
           + m_table + " where ipaddress = " + quoteLiteral(address) + " and " + rangeCondition(begin, end)
           + " and volser is not null) mounts where newest = 1";
}

std::string ReportStatements::hourCountsByDate(const std::string& address, const std::string& begin,
                                               const std::string& end) const
{
    const std::string hour = m_dialect.isOracle() ? "TO_CHAR(time,'hh24')" : "substr(cast(time as varchar(8)), 1, 2)";
    const std::string minutes =
        m_dialect.isOracle() ? "TO_CHAR(time,'mi:ss')" : "substr(cast(time as varchar(8)), 4, 5)";
    return "select " + dateText() + ", " + hour + ", count(time), sum(case when " + minutes
           + " = '00:00' then 1 else 0 end) from " + m_table + " where ipaddress = " + quoteLiteral(address) + " and "
           + rangeCondition(begin, end) + " group by " + dateText() + ", " + hour;
}

std::string ReportStatements::rangeCondition(const std::string& begin, const std::string& end) const
{
    return dateColumn() + " >= " + m_dialect.dateLiteral(begin) + " and " + dateColumn()
           + " <= " + m_dialect.dateLiteral(end);
}

std::string ReportStatements::addresses() const
{
    return "select distinct ipaddress from " + m_table + " order by ipaddress asc";
}

std::string ReportStatements::dates(const std::string& address, const std::string& begin, const std::string& end) const
{
    const std::string column = dateText();
    return "select distinct " + column + " from " + m_table + " where ipaddress = " + quoteLiteral(address) + " and "
           + rangeCondition(begin, end) + " order by " + column + " asc";
}

std::string ReportStatements::volsers(const std::string& address, const std::string& begin,
                                      const std::string& end) const
{
    return "select distinct volser from " + m_table + " where ipaddress = " + quoteLiteral(address) + " and "
           + rangeCondition(begin, end) + " order by volser asc";
}

std::string ReportStatements::driveCount(const std::string& address, int frame, int drive,
                                         const std::string& date) const
{
    return "select count(volser) from " + m_table + " where ipaddress = " + quoteLiteral(address)
           + " and frame = " + std::to_string(frame) + " and drive = " + std::to_string(drive) + " and " + dateColumn()
           + " = " + m_dialect.dateLiteral(date);
}

std::string ReportStatements::volserCount(const std::string& address, const std::string& volser,
                                          const std::string& date) const
{
    return "select count(drive) from " + m_table + " where ipaddress = " + quoteLiteral(address)
           + " and volser = " + quoteLiteral(volser) + " and " + dateColumn() + " = " + m_dialect.dateLiteral(date);
}

std::string ReportStatements::hourCount(const std::string& address, const std::string& date, const std::string& start,
                                        const std::string& end) const
{
    std::string sql = "select count(time) from " + m_table + " where ipaddress = " + quoteLiteral(address) + " and "
                      + dateColumn() + " = " + m_dialect.dateLiteral(date) + " and time ";
    if (end.empty())
        return sql + ">= " + m_dialect.timeLiteral(start);
    return sql + "between " + m_dialect.timeLiteral(start) + " and " + m_dialect.timeLiteral(end);
}

std::string ReportStatements::lifetimeMaximum(const std::string& counter, const std::string& address,
                                              const std::string& volser, const std::string& begin,
                                              const std::string& end) const
{
    const std::string column = lifetimeColumn(counter);
    return "select max(" + column + ") from " + m_table + " where ipaddress = " + quoteLiteral(address)
           + " and volser = " + quoteLiteral(volser) + " and " + column + " > 0 and " + rangeCondition(begin, end);
}

std::string ReportStatements::lifetimeValues(const std::string& counter, const std::string& address,
                                             const std::string& volser, const std::string& begin,
                                             const std::string& end) const
{
    const std::string column = lifetimeColumn(counter);
    return "select " + column + ", " + m_dialect.dateSelectExpression() + ", " + m_dialect.timeSelectExpression()
           + " from " + m_table + " where ipaddress = " + quoteLiteral(address)
           + " and volser = " + quoteLiteral(volser) + " and " + column + " > 0 and " + rangeCondition(begin, end);
}

std::string ReportStatements::addressVolserPairs(const std::string& address, const std::string& begin,
                                                 const std::string& end) const
{
    return "select distinct ipaddress, volser from " + m_table + " where ipaddress = " + quoteLiteral(address) + " and "
           + rangeCondition(begin, end) + " order by ipaddress asc, volser asc";
}

std::string ReportStatements::lastDate(const std::string& address, const std::string& volser, const std::string& begin,
                                       const std::string& end) const
{
    const std::string column = m_dialect.isOracle() ? "TO_CHAR(max(dates),'yyyy-mm-dd')" : "max(date)";
    return "select " + column + " from " + m_table + " where ipaddress = " + quoteLiteral(address)
           + " and volser = " + quoteLiteral(volser) + " and " + rangeCondition(begin, end);
}

std::string ReportStatements::lastTime(const std::string& address, const std::string& volser,
                                       const std::string& date) const
{
    const std::string column = m_dialect.isOracle() ? "TO_CHAR(max(time),'hh24:mi:ss')" : "max(time)";
    return "select " + column + " from " + m_table + " where ipaddress = " + quoteLiteral(address)
           + " and volser = " + quoteLiteral(volser) + " and " + dateColumn() + " = " + m_dialect.dateLiteral(date);
}

std::string ReportStatements::cryptoStatus(const std::string& address, const std::string& volser,
                                           const std::string& date, const std::string& time) const
{
    return "select mount_crypto_status from " + m_table + " where ipaddress = " + quoteLiteral(address)
           + " and volser = " + quoteLiteral(volser) + " and " + dateColumn() + " = " + m_dialect.dateLiteral(date)
           + " and time = " + m_dialect.timeLiteral(time);
}

std::string ReportStatements::rekeyCount(const std::string& address, const std::string& volser,
                                         const std::string& begin, const std::string& end) const
{
    return "select count(mount_crypto_rekey) from " + m_table + " where ipaddress = " + quoteLiteral(address)
           + " and volser = " + quoteLiteral(volser) + " and mount_crypto_rekey = 1 and " + rangeCondition(begin, end);
}

std::string ReportStatements::cartridgeMounts(const std::string& address, const std::string& volser,
                                              const std::string& begin, const std::string& end) const
{
    return "select Life_Write_Retries_Media, Life_Write_Perms_Media , Life_Read_Retries_Media, "
           "Life_Read_Perms_Media, "
           + m_dialect.dateSelectExpression() + ", " + m_dialect.timeSelectExpression()
           + ", frame, drive, Mount_Rating_Drive, Mount_Rating_Media from " + m_table
           + " where ipaddress = " + quoteLiteral(address) + " and volser = " + quoteLiteral(volser) + " and "
           + rangeCondition(begin, end) + " order by " + dateColumn() + " desc, time desc";
}
