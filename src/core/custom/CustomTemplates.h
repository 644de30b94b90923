#pragma once

#include "CustomReportRequest.h"

#include <optional>
#include <string>
#include <vector>

class qmxDB;

// A template of the custom report form as the reports table keeps it: one or more rows with the
// same user and name, the selection split into pieces of at most 512 characters.
struct CustomTemplate {
    std::string userName;
    std::string name;
    std::string ipAddress;
    int range = 0;           // 1 "Last Day" ... 5 "Last 6 Months"
    std::string fieldType;   // the data type combo's text, "* " included
    std::string rateText;    // the rate combo's text, also its prompt
    int columnType = 2;      // 2 drive/volser items, 3 logical library names
    std::string value;       // the whole comma-separated selection
    int reportType = 5;      // 0 to 4 as CustomReportType, 5 none
};

// The pieces a selection is stored in: each up to and including the last ',' within its first
// 512 characters (a piece without a comma is cut at 512), until the selection is used up.
std::vector<std::string> splitTemplateValue(const std::string& value);

// Storage in the reports table over an open connection. Values typed into the form have their
// single quotes doubled. Each returns false on a database failure, logged with its statement.
bool saveCustomTemplate(qmxDB& db, const std::string& reportsTable, const CustomTemplate& tmpl);
// The template of that name and user, its pieces joined again; nothing when there is none.
std::optional<CustomTemplate> loadCustomTemplate(qmxDB& db, const std::string& reportsTable, const std::string& name,
                                                 const std::string& userName, bool& failed);
// Removes the user's template of that name (only that user's).
bool deleteCustomTemplate(qmxDB& db, const std::string& reportsTable, const std::string& name,
                          const std::string& userName);
// The user's template names.
bool customTemplateNames(qmxDB& db, const std::string& reportsTable, const std::string& userName,
                         std::vector<std::string>& names);
