#pragma once

#include "MovingAverageTrend.h"
#include "db/Dialect.h"

#include <string>
#include <vector>

// The fields the drive and cartridge health reports trend, and their statements.
enum class HealthReportKind { Drive, Cartridge };

// A field as the report names it and the mount history column it is read from.
struct HealthField {
    const char* name;
    const char* column;
};

const std::vector<HealthField>& healthFields(HealthReportKind kind);
std::vector<std::string> healthFieldNames(HealthReportKind kind);
// The column of a report field name (exact match), or nothing.
const HealthField* findHealthField(HealthReportKind kind, const std::string& name);

// The drives or cartridges with mounts in the range, in frame and drive or volser order.
std::string healthSubjectStatement(HealthReportKind kind, const std::string& table, const std::string& ipAddress,
                                   const std::string& beginDate, const std::string& endDate, const Dialect& dialect);

// One field's non-zero values of one drive or cartridge up to the end date, newest first, with
// their date and time as text. The row limit keeps drivers from reading a whole history: no
// computation needs more than MovingAverageTrend::RowsNeeded rows.
std::string healthFieldStatement(const HealthField& field, const std::string& table, const HealthSubject& subject,
                                 const std::string& endDate, const Dialect& dialect);

// The same rows for every drive or cartridge with mounts in the range at once: each subject's
// newest RowsNeeded non-zero values up to the end date, numbered as its own statement orders
// them: (frame, drive or volser, value, date, time), by subject and newest first.
std::string healthBatchStatement(HealthReportKind kind, const HealthField& field, const std::string& table,
                                 const std::string& ipAddress, const std::string& beginDate, const std::string& endDate,
                                 const Dialect& dialect);
