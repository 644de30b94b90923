#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// The general SQL query's fixed texts, byte for byte.
namespace query_texts {
inline constexpr const char* WindowTitle = "General SQL Query";

// The form.
inline constexpr const char* TableLabel = "File:";
inline constexpr const char* MountHistory = "Mount History";
inline constexpr const char* LibraryPerformance = "Library Performance";
inline constexpr const char* GeneratedQuery = "Generated Query";
inline constexpr const char* QueryButton = "Query";
inline constexpr const char* CancelButton = "Cancel";
inline constexpr const char* IpAddressLabel = "IP Address";
inline constexpr const char* DateLabel = "Date";
inline constexpr const char* TimeLabel = "Time";
inline constexpr const char* VolserLabel = "Volser";
inline constexpr const char* FrameLabel = "Frame";
inline constexpr const char* DriveLabel = "Drive";
inline constexpr const char* LogicalLibraryLabel = "Logical Library";
inline constexpr const char* ElementAddressLabel = "Element Address";
inline constexpr const char* IpAddressHint = "Ex. '1.2.3.4'";
inline constexpr const char* VolserHint = "Ex. 'ABC123'";
inline constexpr const char* LogicalLibraryHint = "Ex. 'LL1-1'";
inline constexpr const char* NotConnected = "ERROR: Not currently connected to database";
inline constexpr const char* GeneratedQueryTrace = "General Query generated query: |%s|";
inline constexpr const char* FormatValueEntering =
    "Entering QueryForm::FormatQueryValue, with the values field: %s, value: %s, isString(BOOL): %d";
inline constexpr const char* FormatValueExiting = "Exiting QueryForm::FormatQueryValue returning queryValue: %s";

// The worker.
inline constexpr const char* CountStatement = "SELECT COUNT(IPADDRESS) FROM %s %s";
inline constexpr const char* ErrorExecuting = "Error executing select statement:\n%s";
inline constexpr const char* ErrorPreparing = "Error preparing: %s";
inline constexpr const char* LargeResultQuestion =
    "Query has %d results and will take a large amount of memory and some time to process.\n\t\t\tDo you wish to "
    "continue?";
inline constexpr const char* LargeResultCaption = "General SQL Query Warning";
inline constexpr const char* FetchFailed = "Failure in the SQL Execute returning false from GeneralQueryThread";
inline constexpr const char* RowColumn = "ROW";
// What the query refuses before anything reaches the database, and what it says when the
// database rejects a statement that no diagnostic rule explains.
inline constexpr const char* RefusedSeveralStatements =
    "ERROR: A query runs one SELECT statement only.\nPlease remove the \";\" from the fields.";
inline constexpr const char* RefusedFunction =
    "ERROR: %s cannot be used in a query.\nPlease remove it from the fields.";
inline constexpr const char* RejectedByDatabase = "ERROR: The database rejected the query:\n%s";
inline constexpr const char* ReadOnlyFailed = "Error making the query connection read-only";
inline constexpr const char* CancelledTrace = "General query cancelled at the database";
// The status bar under a result list.
inline constexpr const char* RowCountOne = "1 row";
inline constexpr const char* RowCountMany = "%d rows";

// The result list.
inline constexpr const char* SortTrace = "Starting QueryData::SortColumn with iSubItem: %d";

// Export.
inline constexpr const char* ExportOnlyForQueryWindows = "ERROR: Function is only for query windows";
inline constexpr const char* ExportDialogTitle = "LVR Export Data";
inline constexpr const char* ExportDefaultExtension = ".csv";
inline constexpr const char* ExportFilter = "Comma-seperated values (*.csv)|*.csv|All Files (*.*)|*.*||";
inline constexpr const char* ExportOpenFailed = "ERROR: Failed to open export file!\n";
inline constexpr const char* ExportReplaceQuestion = "%s already exists.\nAre you sure you would like to replace it?";
} // namespace query_texts

// A template with its "%s" and "%d" markers replaced by the arguments in order (the numbers
// already written as text). No fixed buffer: a long statement fits as well as a short one.
std::string fillTemplate(std::string_view pattern, std::initializer_list<std::string_view> arguments);

// "1 row", "2 rows": the row count the status bar shows for a result list.
std::string rowCountText(int rows);

// "Comma-seperated values (*.csv)|*.csv|..." as the file dialogs take it:
// "1 row", "2 rows": the row count the status bar shows for a result list.
std::string rowCountText(int rows);

// "Comma-seperated values (*.csv);;All Files (*.*)".
std::string dialogFilter(std::string_view pairs);
