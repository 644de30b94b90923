#pragma once

#include "CustomReportRequest.h"
#include "CustomTemplates.h"

#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Where the custom report form's lists come from: setupCombo's statements, the field filter of
// the data type combo, and the loading of everything a form handler needs from the database.

// The database and tables the form reads, taken from the settings on the UI thread.
struct CustomFormDatabase {
    std::string dataSourceName;
    std::string userName;
    std::string password;
    std::string mountHistoryTable;
    std::string libraryPerformanceTable;
    std::string reportsTable;
    int databaseType = 0;

    static CustomFormDatabase fromSettings();
};

// setupCombo's statement for a kind ("Volser", "Drive", "Logical Library", "Fields", "Load",
// anything else the library list) over the mount history (1) or library performance (2) table.
// Addresses and user names have their quotes doubled.
std::string setupComboStatement(const CustomFormDatabase& database, const std::string& kind, int tableKind,
                                const std::string& ipAddress, std::time_t rangeStart);

// The date condition of the lists: rows on or after the range start's day.
std::string customDateCondition(int databaseType, std::time_t rangeStart);

// The data type combo's items for the column names of one table: skipped columns left out,
// "MOUNT_" and "LIFE_" taken off, host counters marked per drive / volser, and on the mount
// history table the library's host counters added when it has several logical libraries.
// Names are compared without regard to case and shown in upper case, so that both databases
// offer (and templates keep) the same items.
std::vector<std::string> fieldComboItems(const std::vector<std::string>& columnNames, CustomTableKind table,
                                         std::size_t logicalLibraryCount);

// "Frame: 1  Drive: 2"
std::string driveItemText(const std::string& frame, const std::string& drive);

// What a form handler asks the database for. Every part is optional.
struct FormListsRequest {
    bool libraries = false;     // the library combo
    bool templateNames = false; // the template combo
    bool itemLists = false;     // volsers, logical libraries and drives of the library
    bool fields = false;        // the column names of both tables
    std::string ipAddress;
    std::time_t rangeStart = 0;
    // Load template: the template to read; its library's lists are read as well unless it is
    // the library given here (the form's previous library), over the template's own range. The
    // library list comes along, so that the template is checked against the libraries stored now.
    std::string templateName;
    // The template's owner; empty for the user the database is reached as.
    std::string templateUser;
    std::string previousLibrary;
    std::time_t now = 0;
    // The drive/volser list with the item lists; the command line checks a template without it.
    bool driveVolserLists = true;
};

// The raw answers; a part that failed (or was not asked for) is empty, and the form then keeps
// that control as it was.
struct FormLists {
    std::optional<std::vector<std::string>> libraries;
    std::optional<std::vector<std::string>> templateNames;
    std::optional<std::vector<std::string>> volsers;
    std::optional<std::vector<std::string>> logicalLibraries;
    std::optional<std::vector<std::pair<std::string, std::string>>> drives;
    std::optional<std::vector<std::string>> mountHistoryColumns;
    std::optional<std::vector<std::string>> libraryPerformanceColumns;
    // Load template: the template, and whether reading it failed.
    std::optional<CustomTemplate> loadedTemplate;
    bool templateFailed = false;
    // The range start the template's lists were read with.
    std::time_t templateRangeStart = 0;
};

// The seconds a range item reaches back (0 for anything else).
std::time_t rangeSeconds(const std::string& rangeText);
// The range item of a template's range code 1 to 5 ("" for any other).
std::string rangeItemForCode(int code);
// The template range code of a range item (0 for the prompt or anything else).
int rangeCodeForItem(const std::string& rangeText);

// Runs what the request asks for over one connection of its own. On a failed connection
// nothing is answered.
FormLists loadFormLists(const FormListsRequest& request, const CustomFormDatabase& database);

// What Save and Delete write.
struct TemplateWrite {
    enum class Kind { Save, Delete } kind = Kind::Save;
    CustomTemplate tmpl;
};
// Runs it over a connection of its own; false on a failed connection or statement.
bool writeTemplate(const TemplateWrite& write, const CustomFormDatabase& database);
