#pragma once

#include <string>
#include <string_view>

class QueryListData;

// A value as the export file holds it: as shown, unless it contains a comma, a double quote or
// a line break; then it is put in double quotes with its inner quotes doubled, so that a
// spreadsheet reads it back as one field.
std::string csvField(std::string_view value);

// Writes the visible columns (in the order they were added) and every row in the list's
// current order, one line each, ending in carriage return and line feed. Returns 0, or the
// system's error number when the file cannot be created.
int writeQueryExport(const std::string& path, const QueryListData& list);

enum class ExportSource { QueryWindow, TableWindow, None };

// Which list windows export: the query window by its exact title (ignoring case), a table
// window by "Table" anywhere after the title's first character.
ExportSource exportSourceFor(const std::string& activeTitle);

// A chosen file name without an extension gets ".csv".
std::string withDefaultExtension(const std::string& path);

// The Export Data command for the active window: checks the window, asks for the file, writes
// it and says what went wrong. True when a file was written.
bool ExportData(const std::string& activeTitle, const QueryListData* list);
