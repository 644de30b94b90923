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
    int range = 0;         // 1 "Last Day" ... 5 "Last 6 Months"
    std::string fieldType; // the data type combo's text, "* " included
    std::string rateText;  // the rate combo's text, also its prompt
    int columnType = 2;    // 2 drive/volser items, 3 logical library names
    std::string value;     // the whole comma-separated selection
    int reportType = 5;    // 0 to 4 as CustomReportType, 5 none
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

// The qmxDB forms above connect through the application's settings (data source, user and
// password) for the one operation. These run on a connection the caller holds open.
struct OdbcHandles;
bool saveCustomTemplate(OdbcHandles& handles, const std::string& reportsTable, const CustomTemplate& tmpl);
std::optional<CustomTemplate> loadCustomTemplate(OdbcHandles& handles, const std::string& reportsTable,
                                                 const std::string& name, const std::string& userName, bool& failed);
bool deleteCustomTemplate(OdbcHandles& handles, const std::string& reportsTable, const std::string& name,
                          const std::string& userName);
bool customTemplateNames(OdbcHandles& handles, const std::string& reportsTable, const std::string& userName,
                         std::vector<std::string>& names);

// Why a template of that name cannot be kept for that user (a name over 50 characters, a user
// name over 25: the reports table's columns), or nothing. Save, load and delete refuse such
// names before any statement; the form shows the text.
std::optional<std::string> templateNameProblem(const std::string& name, const std::string& userName);

// The order in which a template's rows come back as they were saved, on the server the driver
// names (its SQL_DBMS_NAME): the reports table has no column for it, so the server's own row
// identity is used (SQLite's rowid; PostgreSQL's command number within the saving transaction,
// which saves every row of a template in one transaction). Empty for other servers.
std::string templateRowOrder(const std::string& databaseProductName);
