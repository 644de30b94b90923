#pragma once

// The drive and cartridge health trend reports' fixed texts, byte for byte.
namespace health_texts {
inline constexpr const char* DriveHeader = "Starting Drive Last %d Mount Moving Average report on %s ";
inline constexpr const char* CartridgeHeader = "Starting Cartridge Last %d Mount Moving Average report on %s ";

inline constexpr const char* DriveContextLine = "IPAddress: %s Frame: %d Drive: %d \r\n";
inline constexpr const char* CartridgeContextLine = "IPAddress: %s Volser: %s \r\n";
inline constexpr const char* SkippedDrive = "Skipped stored rows whose frame and drive name no drive: ";
inline constexpr const char* CartridgeListEntry = "IPAddress = %s volser = %s\r\n";

inline constexpr const char* DriveNotEnough = "    Not enough %s data for IPAddress = %s frame = %d drive = %d \r\n";
inline constexpr const char* CartridgeNotEnough = "    Not enough %s data for IPAddress = %s volser = %s \r\n";

inline constexpr const char* DriveTrendRate = "\r\n    Trend linear regration rate:    %.2f\r\n";
inline constexpr const char* CartridgeTrendRate = "\r\n    Trend linear regression rate:    %.2f\r\n";
inline constexpr const char* ShortTrendRate = "    Last %d trend linear regression rate:    %.2f\r\n";
inline constexpr const char* TrendValues = "    Trend values:    (min,max,last) = (%.2f,%.2f,%.2f)\r\n";
inline constexpr const char* AverageDataValue = "    Avg data value:    %.2f\r\n";
inline constexpr const char* StatusLine = "    Trend line status(based off last 10 mounts): ";

inline constexpr const char* Increasing = "Increasing";
inline constexpr const char* Straight = "Straight";
inline constexpr const char* Decreasing = "Decreasing";
inline constexpr const char* TowardsAverage = " towards the avarage data line";
inline constexpr const char* AwayFromAverage = " away from the avarage data line";
inline constexpr const char* FromAverage = " from the avarage data line";
inline constexpr const char* BelowAverage = " below the avarage data line";
inline constexpr const char* AboveAverage = " above avarage data line";
inline constexpr const char* OnAverage = " on the avarage data line";

// The end lines are the runner's "Done!" and "Canceled".

inline constexpr const char* DrivePrepareError =
    "Error preparing the select statement in report by drive health statistics:";
inline constexpr const char* DriveExecuteError =
    "Error executing the select statement in report by drive health statistics:";
inline constexpr const char* CartridgePrepareError =
    "Error preparing the select statement in report by cartridge health statistics:";
inline constexpr const char* CartridgeListExecuteError =
    "Error executing the select statement in report for by catridge health statistics:";
inline constexpr const char* CartridgeFieldExecuteError =
    "Error executing the select statement in report by catridge health statistics:";

// The reports' names in the agent's mail subject and log lines.
inline constexpr const char* DriveReportName = "Drive Health Statistics";
inline constexpr const char* CartridgeReportName = "Cartridge Health Statistics";
// The drill-down graph's texts: the field, then where the values come from.
inline constexpr const char* DrillDownTitle = "%s (last %s mount moving average)";
inline constexpr const char* DrillDownDriveSubject = "IPAddress: %s Frame: %d Drive: %d  %s to %s";
inline constexpr const char* DrillDownCartridgeSubject = "IPAddress: %s Volser: %s  %s to %s";
} // namespace health_texts
