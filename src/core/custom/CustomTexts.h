#pragma once

#include <cstddef>

// The custom reports' fixed texts, byte for byte: the request, the templates, the statements
// and the worker's messages and log lines.
namespace custom_texts {

// The request.
inline constexpr const char* ConditionPrefix = "where ipaddress = '%s' and %s and ";
inline constexpr const char* OracleDateCondition = "dates >= TO_DATE('%s','yyyy-mm-dd')";
inline constexpr const char* DateCondition = "date >= '%s'";
inline constexpr const char* SinceText = " since %s";
inline constexpr const char* FirstDriveCondition = "(frame = %s and drive = %s)";
inline constexpr const char* NextDriveCondition = "%s or (frame = %s and drive = %s)";
inline constexpr const char* FirstVolserCondition = "volser in('%s'";
inline constexpr const char* NextVolserListCondition = "%s or volser in ('%s'";
inline constexpr const char* NextVolser = "%s,'%s'";
inline constexpr const char* CloseVolserList = "%s)";
inline constexpr const char* StarPrefix = "* ";
inline constexpr const char* MountHistoryMark = "Mount History:";
inline constexpr const char* DriveMark = "Frame:";
inline constexpr const char* OptionallyMark = "Optionally";

// The templates.
inline constexpr std::size_t TemplatePieceLength = 512;
inline constexpr std::size_t TemplateNameLength = 50;
inline constexpr std::size_t TemplateUserNameLength = 25;
inline constexpr const char* TemplateInsert = "INSERT INTO %s VALUES ('%s', '%s', '%s', %d, '%s', '%s', %d, '%s', %d) ";
inline constexpr const char* TemplateSelect =
    "select report_name, ipaddress, range, field_type, eff_value, col_type, value, report_type  from %s where "
    "report_name = '%s' and username = '%s'";
inline constexpr const char* TemplateDelete = "delete from %s where report_name = '%s' and username = '%s'";
inline constexpr const char* TemplateNames = "select distinct report_name from %s where username = '%s'";
inline constexpr const char* InsertFailed = "Error preparing the insert statement ";
inline constexpr const char* SelectPrepareFailed = "Error preparing the select statement for volser";
inline constexpr const char* SelectExecuteFailed = "Error executing the select statement for volser";
inline constexpr const char* LoadedName = "Report Name = %s\n";
inline constexpr const char* LoadedAddress = "IP Address  = %s\n";
inline constexpr const char* LoadedRange = "Time Range   = %d\n";
inline constexpr const char* LoadedFieldType = "Field Type  = %s\n";
inline constexpr const char* LoadedColumnType = "Column Type  = %d\n";
inline constexpr const char* LoadedValue = "Value        = %s\n";
inline constexpr const char* LoadedReportType = "Report Type = %d\n";
// Refused before any statement: the reports table keeps 50 characters of a name and 25 of a
// user name, and one database would cut a longer text while another refuses it.
inline constexpr const char* TemplateNameTooLong =
    "The template name is longer than 50 characters.\nPlease enter a shorter name.";
inline constexpr const char* TemplateUserTooLong =
    "Templates are kept under a user name of at most 25 characters.\nPlease connect with a shorter user name.";
// A template read back with a value the form could not have saved: the template and the column.
inline constexpr const char* TemplateRefused =
    "The template \"%s\" was refused: its %s column holds a value the form cannot produce.";

// The statements.
inline constexpr const char* OracleDateExpression = "TO_CHAR(DATES,'yyyy-mm-dd') AS DATES";
inline constexpr const char* OracleTimeExpression = "TO_CHAR(TIME,'hh24:mi:ss') AS TIME";
inline constexpr const char* DateExpression = "DATE";
inline constexpr const char* TimeExpression = "TIME";
inline constexpr const char* OracleOrder = "order by dates asc, time asc";
inline constexpr const char* Order = "order by date asc, time asc";
inline constexpr const char* MountColumn = "MOUNT_%s";
inline constexpr const char* LifeColumn = "LIFE_%s";
inline constexpr const char* ResidencyColumn = "MOUNT_DRIVE_RESIDENCY";
inline constexpr const char* MountsColumn = "LIFE_MOUNTS_MEDIA";
inline constexpr const char* TapeAlertColumn = "MOUNT_TAPEALERT_MEDIA";
inline constexpr const char* PerSecondMark = "Per Second";
inline constexpr const char* PerMountMark = "Per Mount";
inline constexpr const char* AllLogicalLibraries = "**ALL**";
inline constexpr const char* DriveItemCondition = "frame = %s and drive = %s";
inline constexpr const char* LogicalLibraryCondition = "logical_library = '%s'";
inline constexpr const char* AllTrendCondition = "logical_library <> '_'";
inline constexpr const char* AllRollupCondition = "logical_library <> ''";

inline constexpr const char* TrendDrive = "SELECT %s, %s, %s FROM %s %sframe = %s and drive = %s %s";
inline constexpr const char* TrendDriveRateCount = "SELECT %s, %s, %s, %s FROM %s %sframe = %s and drive = %s %s";
inline constexpr const char* TrendDriveRate = "SELECT %s, %s,%s, %s FROM %s %sframe = %s and drive = %s %s";
inline constexpr const char* TrendVolserCount = "SELECT %s, %s, %s FROM %s %svolser ='%s' %s";
inline constexpr const char* TrendVolser = "SELECT %s, %s, %s FROM %s %svolser = '%s' %s";
inline constexpr const char* TrendVolserRate = "SELECT %s, %s, %s, %s FROM %s %svolser = '%s' %s";
inline constexpr const char* TrendLibrary = "SELECT %s, %s, %s FROM %s %s%s %s";
inline constexpr const char* TrendLibraryRateCount = "SELECT %s, %s,%s, %s FROM %s %s%s %s";
inline constexpr const char* TrendLibraryRate = "SELECT %s, %s, %s, %s FROM %s %s%s %s";

inline constexpr const char* RollupDriveCountRate = "SELECT %s, %s FROM %s %sframe = %s and drive = %s %s";
inline constexpr const char* RollupDriveCount = "SELECT %s FROM %s %sframe = %s and drive = %s %s";
inline constexpr const char* RollupDriveRate = "SELECT SUM(%s), SUM(%s) FROM %s %sframe = %s and drive = %s";
inline constexpr const char* RollupDrive = "SELECT SUM(%s) FROM %s %sframe = %s and drive = %s";
inline constexpr const char* RollupVolserCountRate = "SELECT %s, %s FROM %s %svolser = '%s' %s";
// The raw rows of a volser: the column with the dialect's date and time expressions, so that
// the same statement reads on both dialects.
inline constexpr const char* RollupVolserCount = "SELECT %s, %s, %s FROM %s %svolser ='%s' %s";
inline constexpr const char* RollupVolserRate = "SELECT SUM(%s), SUM(%s) FROM %s %svolser = '%s'";
inline constexpr const char* RollupVolser = "SELECT SUM(%s) FROM %s %svolser = '%s'";
inline constexpr const char* RollupLibraryCountRate = "SELECT %s, %s FROM %s %s%s %s";
inline constexpr const char* RollupLibraryRate = "SELECT SUM(%s), SUM(%s) FROM %s %s%s";
inline constexpr const char* RollupLibrary = "SELECT SUM(%s) FROM %s %s%s";

inline constexpr const char* TapeAlertDrive =
    "SELECT %s FROM %s %sMOUNT_TAPEALERT_MEDIA = %s and frame = %s and drive = %s %s";
inline constexpr const char* TapeAlertVolser = "SELECT %s FROM %s %sMOUNT_TAPEALERT_MEDIA = %s and volser = '%s' %s";
inline constexpr const char* TapeAlertCodes = "SELECT %s FROM %s %s (%s) and MOUNT_TAPEALERT_MEDIA = %s %s";

// The value labels.
inline constexpr const char* RateLabel = "%s(MBs) %s";
inline constexpr const char* UnitLabel = "%s%s";
inline constexpr const char* MountsLabel = "Mounts";
inline constexpr const char* StarredUnit = "(1-255)";
inline constexpr const char* OneCodeLabel = "TAPEALERT %s(count)";
inline constexpr const char* CodesLabel = "TAPEALERT(count)";

// The worker.
inline constexpr const char* ConnectFailed = "ERROR: Failed to connect to the database";
inline constexpr const char* ConnectFailedLog = "Failed to connect to database in GeneralReportThread";
inline constexpr const char* PrepareFailed = "Error preparing: %s";
inline constexpr const char* ExecuteFailed = "Error executing select statement:\n%s";
inline constexpr const char* ExecuteFailedTrace = "Failure in the SQL Execute returning false from GeneralReportThread";
inline constexpr const char* FetchFailedRollup = "Failure in the SQL Execute returning false from GeneralLineGraph";
inline constexpr const char* FetchFailedTrend = "Failure in the SQL Execute returning false from GeneralBarGraph";
inline constexpr const char* DriveShortName = "Fr%s:Drv%s";
inline constexpr const char* DriveSubtitle = " on Frame:%s Drive:%s";
inline constexpr const char* VolserSubtitle = " on %s";
inline constexpr const char* LibrarySubtitle = " on logical library %s";
inline constexpr const char* CodesDriveSubtitle = "on Frame:%s Drive:%s";
inline constexpr const char* CodesVolserSubtitle = "on %s";
inline constexpr const char* AverageTitle = "AVG ";
inline constexpr const char* ShownDate = "%s-%s-%s";

inline constexpr const char* RowColumn = "ROW";
inline constexpr const char* DateColumn = "DATE";
inline constexpr const char* TimeColumn = "TIME";
inline constexpr const char* ItemColumn = "DRIVE/VOLSER";
inline constexpr const char* TapeAlertItemColumn = "TapeAlert";
inline constexpr const char* LibraryItemColumn = "LOGICAL_LIBRARY";

inline constexpr const char* CsvTrendHeader = "Date,Time,%s%s\n";
inline constexpr const char* CsvCodesHeader = "TapeAlert,%s%s\n";
inline constexpr const char* CsvRollupHeader = "Drive/Volser/Logical Library,%s%s\n";
inline constexpr const char* ExportOpenFailed = "ERROR: Failed to open export file!\n";

inline constexpr const char* LastInstance = "The last instance of %s%s\nwas recorded on %s at %s.  The value is %d.";
// No row in the range, or a lifetime field with one row (which gives no increase): a value
// made up of nothing would mislead, so the message says what there is.
inline constexpr const char* NothingRecorded = "Nothing was recorded for %s%s%s.";
inline constexpr const char* NoIncrease = "Only one mount was recorded for %s%s%s,\nso there is no increase to show.";

} // namespace custom_texts
