#pragma once

#include "Dialect.h"
#include "OdbcHandles.h"

#include <string>
#include <vector>

// The indexes the report statements need on the mount history table: address and date (the
// date and volser lists, the per-date counts), and address, frame, drive, date and time (the
// per-drive counts). On the Derby / Nimbus dialect they are made "if not exists", so tables of
// an earlier version get them in place, rows untouched; Oracle gets them with new tables only.
std::vector<std::string> reportIndexStatements(const std::string& table, const Dialect& dialect);

// Creates them on the connection's statement handle; failures are logged and leave the
// table as it is. True when every index is there.
bool addReportIndexes(SQLHSTMT statement, const std::string& table, const Dialect& dialect);

// On the embedded store (SQLite), the planner needs statistics to prefer these indexes over
// the unique key: gathers them for the table when there are none yet (or none for an index).
// On PostgreSQL, a table its vacuum has never analysed is analysed.
void keepStatisticsCurrent(SQLHDBC connection, SQLHSTMT statement, const std::string& table);
// Lets the embedded store refresh what has gone stale; at the end of a report run.
void refreshStatistics(SQLHDBC connection, SQLHSTMT statement);
