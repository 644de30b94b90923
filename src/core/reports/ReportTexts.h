#pragma once

// The predefined reports' fixed texts, byte for byte.
namespace report_texts {
// The date form.
inline constexpr const char* BeginningDate = "Beginning Date";
inline constexpr const char* EndingDate = "Ending Date";
inline constexpr const char* GenerateReport = "Generate Report";
inline constexpr const char* Cancel = "Cancel";
inline constexpr const char* IpAddressColumn = "IP Address";

// Generate Report's checks.
inline constexpr const char* NoIpChecked =
    "No IP address was checked. Please check one or more of the available IP addresses.";
inline constexpr const char* InvalidDateRange =
    "Invalid date range.   Begin date must be less than or equal to end date.";
inline constexpr const char* BeginPastToday = "The begin date is past the current date.  Please enter a valid date.";
inline constexpr const char* EndPastToday = "The end date is past the current date.  Please enter a valid date.";

// Lines every text report shares.
inline constexpr const char* DateRange = "The date range is between %s and %s";
inline constexpr const char* NoEntries = "No entries found for IP address %s between dates %s and %s";
inline constexpr const char* DisplayDateFormat = "%m-%d-%Y";
inline constexpr const char* SqlDateFormat = "%Y-%m-%d";

// The address list of the date form.
inline constexpr const char* AddressListQuery = "select distinct ipaddress from %s order by ipaddress asc";

// Mount rates.
inline constexpr const char* MountRatesHeader = "Starting mount rates report on %s";
inline constexpr const char* IpAddressLine = "IP ADDRESS: %s";
inline constexpr const char* DriveStatisticsFailed = "Failed to get Drive Statistics file";
inline constexpr const char* DriveStatisticsErrorLine = "   o ERROR: %s";
inline constexpr const char* DriveStatisticsFailure = "Failed to get Drive Statistics file\r\n   o ERROR: %s";
inline constexpr const char* DriveStatisticsFailureMark = "o ERROR";
inline constexpr const char* DriveLine = "WWNN %s:   Average Mounts/Day = %.2f   Standard Deviation = %.2f";
inline constexpr const char* VolserLine = "Volser: %s   Average Mounts/Day = %.2f   Standard Deviation = %.2f";
inline constexpr const char* HourLine = "Hour: %s   Average Mounts = %.2f   Standard Deviation = %.2f";
inline constexpr const char* TotalLine = "TOTAL for %s:   Average Mounts/Day = %.2f   Standard Deviation = %.2f\r\n";
inline constexpr const char* MountRatesDone = "Done!\r\n";
inline constexpr const char* MountRatesCanceled = "\nCanceled\r\n";
inline constexpr const char* MountRatesPreparing = "Error preparing the select statement in report by mount rates:";
inline constexpr const char* MountRatesExecuting = "Error executing the select statement in report by mount rates:";
inline constexpr const char* MountRatesFetching =
    "Error fetching date from the select statement in report by mount rates:";

// Cartridge statistics.
inline constexpr const char* CartridgeStatisticsHeader = "Starting cartridge statistics report on %s";
inline constexpr const char* CartridgeHeader = "IP Address: %s   Volser: %s";
inline constexpr const char* MaximumLine = "   MAX %s: %d";
inline constexpr const char* WarningMark = " (WARNING)";
inline constexpr const char* ErrorMark = " (ERROR)";
inline constexpr const char* DriveStatisticsPreparing =
    "Error preparing the select statement in report by drive statistics:";
inline constexpr const char* DriveStatisticsExecuting =
    "Error executing the select statement in report by drive statistics:";
inline constexpr const char* DriveStatisticsFetching =
    "Error fetching date from the select statement in report by drive statistics:";

// Encryption status.
inline constexpr const char* EncryptionStatusHeader = "Starting encryption status report on %s";
inline constexpr const char* EncryptedLine = "Volser: %s   Last Demount: %s %s       Encrypted   ReKeys: %d";
inline constexpr const char* NotEncryptedLine = "Volser: %s   Last Demount: %s %s   Not Encrypted   ReKeys: %d";
inline constexpr const char* EncryptionDone = "\r\nDone!";
inline constexpr const char* EncryptionCanceled = "\r\nCanceled";
inline constexpr const char* EncryptionPreparing =
    "Error preparing the select statement in report by encryption status:";
inline constexpr const char* EncryptionExecuting =
    "Error executing the select statement in report by encryption status:";
inline constexpr const char* EncryptionFetching =
    "Error fetching date from the select statement in report by encryption status:";

// The end lines of the other reports.
inline constexpr const char* Done = "Done!";
inline constexpr const char* Canceled = "Canceled";

// Cartridge Retries and Perms.
inline constexpr const char* ThresholdPreparing =
    "Error preparing the select statement in report by drive health statistics:";
inline constexpr const char* ThresholdExecuting =
    "Error executing the select statement in report for by drive health statistics:";

// Mail mode: subjects and the debug log's lines after the send.
inline constexpr const char* MailSubject = "QMX Auto Reports Agent for %s";
inline constexpr const char* MailSucceeded = "QMX Auto Reports Successful for %s";
inline constexpr const char* MailFailed = "QMX Auto Reports Failed for %s";
inline constexpr const char* MountRatesMailName = "Mount Rates";
inline constexpr const char* CartridgeStatisticsMailName = "Drive Statistics";
inline constexpr const char* EncryptionStatusMailName = "Encryption Status";

// The threshold settings sheet.
inline constexpr const char* SettingsTitle = "Settings";
inline constexpr const char* FilterSettingsPage = "Filter Settings";
inline constexpr const char* EnableFilters = "Enable filters";
inline constexpr const char* LifetimeFiltersPage = "Lifetime Filters";
inline constexpr const char* YellowCaption = "YELLOW";
inline constexpr const char* RedCaption = "RED";
// The counters' check boxes, in the order of the lifetime counters.
inline constexpr const char* CounterCaptions[] = {"Life Mounts", "Life Write Retries", "Life Write Perms",
                                                  "Life Read Retries", "Life Read Perms"};

// Saving a report's text.
// Our own: a stored value that another program wrote and that is no whole number is left out,
// and named: "<address> <volser> <date> <time>, <column>: '<value>'".
inline constexpr const char* SkippedValue = "Skipped a stored value that is not a whole number: ";
inline constexpr const char* SkippedDate = "Skipped a stored date that is not a day: ";
inline constexpr const char* SkippedTime = "Skipped stored times that are not a time of day: ";
inline constexpr const char* SkippedVolser = "Skipped a stored volser that no report can look up: ";
inline constexpr const char* SaveReportTitle = "Save Report";
inline constexpr const char* SaveReportFilter = "Text Files (*.txt);;All Files (*)";
inline constexpr const char* SaveReportFailed = "The report could not be saved:\n";
} // namespace report_texts
