#pragma once

#include <ctime>
#include <string>
#include <vector>

// The five ways a custom report is delivered; the numbers are the radio order of the form and
// the Report_Type stored in a template (5 in a template: none chosen).
enum class CustomReportType { LastInstance = 0, LineGraph = 1, BarGraph = 2, Table = 3, CsvExport = 4 };

enum class CustomTableKind { MountHistory = 1, LibraryPerformance = 2 };

// What Generate gathers from the form (or `vaultlinectl custom` from a template) before the
// request is built. Texts are the controls' texts as shown.
struct CustomReportChoices {
    std::string ipAddress;
    // The data type combo's item, with its leading "* " when it has one.
    std::string dataTypeItem;
    // The rate combo's text, and whether the combo is enabled.
    std::string rateText;
    bool rateEnabled = false;
    // The selected items of the visible list (drive/volser items or logical library names),
    // from the first to the last in list order.
    std::vector<std::string> selectedItems;
    bool tapeAlert = false;
    // TapeAlert entries "number:name" as the selection dialog returned them.
    std::vector<std::string> tapeAlertCodes;
    // The range start: now less the chosen range, in whole seconds.
    std::time_t rangeStart = 0;
    CustomReportType type = CustomReportType::LastInstance;
    // CSV export only.
    std::string exportPath;
};

// One custom report as the worker reads it: copied at the worker's start, so the form may build
// the next one meanwhile.
struct CustomReportRequest {
    std::string ipAddress;
    // The data type text as shown, without a leading "* ".
    std::string dataType;
    // "where ipaddress = '<address>' and <date condition> and "
    std::string conditionPrefix;
    CustomTableKind tableKind = CustomTableKind::MountHistory;
    // " since <range start in the settings' date format>"
    std::string sinceText;
    // The comma list of the selected items; with the TapeAlert flag and several items, the
    // condition built from them ("(frame = 1 and drive = 2) or volser in('A','B')").
    std::string selection;
    // The comma list of the selected items, kept beside a TapeAlert condition.
    std::string commaList;
    std::string rateText;
    bool rate = false;
    bool tapeAlert = false;
    // "number:name" entries, ascending by number.
    std::vector<std::string> tapeAlertCodes;
    bool severalCodes = false;
    bool starred = false;
    // Two or more items selected.
    bool rollup = false;
    CustomReportType type = CustomReportType::LastInstance;
    std::string exportPath;

    // The settings the worker connects and formats with, read on the UI thread.
    std::string dataSourceName;
    std::string userName;
    std::string password;
    std::string mountHistoryTable;
    std::string libraryPerformanceTable;
    int databaseType = 0;
    int dateFormatCode = 0;
};

// The request for a set of choices over the given settings (Generate's gathering of the
// selection, the condition prefix, the since-text and the flags). The TapeAlert codes come out
// sorted by number; with one code the selection is the plain comma list.
CustomReportRequest buildCustomReportRequest(const CustomReportChoices& choices, const std::string& dataSourceName,
                                             const std::string& userName, const std::string& password,
                                             const std::string& mountHistoryTable, int databaseType,
                                             int dateFormatCode);

// The same over the application's settings (connection, table names, date format).
CustomReportRequest buildCustomReportRequestFromSettings(const CustomReportChoices& choices);
