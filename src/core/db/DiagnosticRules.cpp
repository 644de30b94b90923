#include "DiagnosticRules.h"

namespace {
using Focus = DiagnosticRule::Focus;

const std::vector<DiagnosticRule>& connectionRules()
{
    static const std::vector<DiagnosticRule> rules = {
        {{"NMB04101E"}, "Username and/or Password invalid.  Please try again."},
        {{"NMB04102E", "IM002"}, "Test Failed: Invalid database name. Please try again.", Focus::DatabaseName},
        {{"NMB04103E", "NMB04104E", "NMB04105E"},
         "Test Failed: Invalid IP port and/or IP address and/or Database name.\nPlease check the IP address, IP port, "
         "Database name, and that your server is up and running.",
         Focus::IpAddress},
        {{"42X01", "42X02", "37000", "07001"}, "Invalid character used or syntax error. Please try again.",
         Focus::TableName, true},
        {{"42X05"}, "Table name does not exist. Please try again.", Focus::TableName, true, true},
        {{"42Y07"}, "Invalid table name. Please try again.", Focus::TableName},
        {{"42Y55"}, "ERROR: Invalid table name.  Please try again.", Focus::TableName},
        {{"X0Y32"}, "ERROR: Table name already exists.  Please try again.", Focus::TableName},
        {{"22003"}, nullptr, Focus::None, false, false, false, true},
        {{"ORA-00942"}, "Table does not exist in database\nPlease check table name in database setup"},
    };
    return rules;
}

const std::vector<DiagnosticRule>& statementRules()
{
    static const std::vector<DiagnosticRule> rules = {
        {{"ORA-00942"}, "ERROR: Table does not exist in database"},
        {{"ORA-01033"},
         "ERROR: Could not connect to the specified database name. The database is initializing.\nPlease check if "
         "the database machine is running"},
        {{"ORA-12535", "ORA-12170"},
         "ERROR: Could not connect to the specified database name.The operation timed out\nPlease check if the "
         "database machine is running"},
        {{"ORA-12154", "ORA-12541"},
         "ERROR: Could not connect to the specified database name.\nPlease check database name and/or database "
         "address and/or network connectivity"},
        {{"ORA-12569"}, "ERROR: Could not connect to the specified database.\nPlease check network connection to the "
                        "database server"},
        {{"ORA-00955"}, "ERROR: Table name already exists.  Please try again."},
        {{"ORA-01017"}, "Username and/or Password invalid.  Please try again."},
        {{"IM002"}, "Invalid database name.  Check database name in Setup."},
        {{"37000"}, "Invalid character used. Check table name in Setup."},
        {{"NMB04102E"}, "Invalid Database Name\nPlease check the Database Name.", Focus::None, false, false, true},
        {{"NMB04103E", "NMB04104E", "NMB04105E"},
         "Network Error: Invalid database IP port and/or database IP address and/or network disconnected.\nPlease "
         "check the IP address, IP port, network connection, and that your server is up and running.",
         Focus::None, false, false, true},
        {{"NMB04101E"}, "Username and/or Password invalid.  Please try again."},
    };
    return rules;
}
} // namespace

const DiagnosticRule* findDiagnosticRule(const std::string& recordText, bool useConnectionRules)
{
    for (const DiagnosticRule& rule : useConnectionRules ? connectionRules() : statementRules())
        for (const char* code : rule.codes)
            if (recordText.find(code) != std::string::npos)
                return &rule;
    return nullptr;
}
