#include "DiagnosticRules.h"

namespace {
using Focus = DiagnosticRule::Focus;

// The states and words of the SQLite and PostgreSQL drivers. SQLite answers HY000 (S1000 from
// an older driver manager) for nearly everything; PostgreSQL answers 08001 for every failed
// connect. Each message names the cause and is followed by the database's own text. These
// rows come after the servers' own codes, so a record that matched before still does.
std::vector<DiagnosticRule> supportedDatabaseRules()
{
    // One cause, as PostgreSQL names it by its state and SQLite by its words.
    auto both = [](const char* message, std::vector<const char*> postgresStates, std::vector<const char*> sqliteWords,
                   Focus focus = Focus::None, bool focusFirst = false) {
        return std::vector<DiagnosticRule>{
            {.codes = std::move(postgresStates),
             .message = message,
             .focus = focus,
             .focusBeforeMessage = focusFirst,
             .withDriverText = true},
            {.codes = {"HY000", "S1000"},
             .message = message,
             .focus = focus,
             .focusBeforeMessage = focusFirst,
             .texts = std::move(sqliteWords),
             .withDriverText = true},
        };
    };
    std::vector<DiagnosticRule> rules = {
        {.codes = {"08001", "28P01", "28000"},
         .message = "The database refused the user name or password. Please check them and try again.",
         .stopFurtherBoxes = true,
         .texts = {"password authentication failed", "no password supplied", "role \""},
         .withDriverText = true},
        {.codes = {"08001", "3D000"},
         .message = "The database named in the data source does not exist on the server. Please check the "
                    "data source's database name.",
         .focus = Focus::DatabaseName,
         .stopFurtherBoxes = true,
         .texts = {"does not exist"},
         .withDriverText = true},
        {.codes = {"08001"},
         .message = "The database server could not be reached. Please check the server address and port of the "
                    "data source, and that the server is running.",
         .focus = Focus::IpAddress,
         .stopFurtherBoxes = true,
         .texts = {"Connection refused", "could not connect", "timeout expired", "could not translate host name",
                   "No route to host", "Network is unreachable"},
         .withDriverText = true},
        {.codes = {"08001"},
         .message = "Could not connect to the database.",
         .stopFurtherBoxes = true,
         .withDriverText = true},
        {.codes = {"HY000", "S1000"},
         .message = "The database file could not be opened. Please check the database file of the data source "
                    "and the rights on its folder.",
         .stopFurtherBoxes = true,
         .texts = {"connect failed", "unable to open database"},
         .withDriverText = true},
        {.codes = {"08S01", "08003", "08006", "57P01"},
         .message = "The connection to the database server was lost. Please check that the server is running.",
         .stopFurtherBoxes = true,
         .withDriverText = true},
    };
    const std::vector<DiagnosticRule> causes[] = {
        both("The table already exists in the database. Please choose another table name, or delete the table "
             "first.",
             {"42P07"}, {"already exists"}, Focus::TableName),
        both("The table does not exist in the database. Please check the table name in Setup.", {"42P01"},
             {"no such table"}, Focus::TableName),
        both("The database could not read the statement: it has a syntax error or a character the database does "
             "not accept. Please check what was typed.",
             {"42601"}, {"syntax error", "unrecognized token", "incomplete input"}, Focus::TableName, true),
        both("The statement names a column the table does not have. Please check the column names.", {"42703"},
             {"no such column"}),
        both("The database is busy: another program holds a lock on it. Please try again later.", {"55P03", "40P01"},
             {"database is locked", "database table is locked"}),
        both("The database user may not do this. Please check the user's rights on the database.", {"42501", "25006"},
             {"readonly database"}),
    };
    for (const std::vector<DiagnosticRule>& pair : causes)
        rules.insert(rules.end(), pair.begin(), pair.end());
    return rules;
}

const std::vector<DiagnosticRule>& connectionRules()
{
    static const std::vector<DiagnosticRule> rules = {
        {{"NMB04101E"}, "Username and/or Password invalid.  Please try again."},
        {{"NMB04102E", "IM002"}, "Test Failed: Invalid database name. Please try again.", Focus::DatabaseName},
        {{"NMB04103E", "NMB04104E", "NMB04105E"},
         "Test Failed: Invalid IP port and/or IP address and/or Database name.\nPlease check the IP address, IP port, "
         "Database name, and that your server is up and running.",
         Focus::IpAddress},
        {{"42X01", "42X02", "37000", "07001"},
         "Invalid character used or syntax error. Please try again.",
         Focus::TableName,
         true},
        {{"42X05"}, "Table name does not exist. Please try again.", Focus::TableName, true, true},
        {{"42Y07"}, "Invalid table name. Please try again.", Focus::TableName},
        {{"42Y55"}, "ERROR: Invalid table name.  Please try again.", Focus::TableName},
        {{"X0Y32"}, "ERROR: Table name already exists.  Please try again.", Focus::TableName},
        {{"22003"}, nullptr, Focus::None, false, false, false, true},
        {{"ORA-00942"}, "Table does not exist in database\nPlease check table name in database setup"},
    };
    static const std::vector<DiagnosticRule> all = [] {
        std::vector<DiagnosticRule> joined = rules;
        for (DiagnosticRule& rule : supportedDatabaseRules())
            joined.push_back(std::move(rule));
        return joined;
    }();
    return all;
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
        {{"ORA-12569"},
         "ERROR: Could not connect to the specified database.\nPlease check network connection to the "
         "database server"},
        {{"ORA-00955"}, "ERROR: Table name already exists.  Please try again."},
        {{"ORA-01017"}, "Username and/or Password invalid.  Please try again."},
        {{"IM002"}, "Invalid database name.  Check database name in Setup."},
        {{"37000"}, "Invalid character used. Check table name in Setup."},
        {{"NMB04102E"}, "Invalid Database Name\nPlease check the Database Name.", Focus::None, false, false, true},
        {{"NMB04103E", "NMB04104E", "NMB04105E"},
         "Network Error: Invalid database IP port and/or database IP address and/or network disconnected.\nPlease "
         "check the IP address, IP port, network connection, and that your server is up and running.",
         Focus::None,
         false,
         false,
         true},
        {{"NMB04101E"}, "Username and/or Password invalid.  Please try again."},
    };
    static const std::vector<DiagnosticRule> all = [] {
        std::vector<DiagnosticRule> joined = rules;
        for (DiagnosticRule& rule : supportedDatabaseRules())
            joined.push_back(std::move(rule));
        return joined;
    }();
    return all;
}

bool occursIn(const std::string& text, const std::vector<const char*>& parts)
{
    for (const char* part : parts)
        if (text.find(part) != std::string::npos)
            return true;
    return false;
}

// The driver's message without the blank lines and tabs some drivers end or indent it with.
std::string tidied(const std::string& message)
{
    std::string text;
    for (char c : message)
        if (c != '\t' && c != '\r')
            text += c;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}
} // namespace

const DiagnosticRule* findDiagnosticRule(const std::string& recordText, bool useConnectionRules)
{
    for (const DiagnosticRule& rule : useConnectionRules ? connectionRules() : statementRules())
        if (occursIn(recordText, rule.codes) && (rule.texts.empty() || occursIn(recordText, rule.texts)))
            return &rule;
    return nullptr;
}

std::string diagnosticRuleMessage(const DiagnosticRule& rule, const std::string& driverMessage)
{
    if (rule.message == nullptr)
        return "";
    std::string text = rule.message;
    const std::string own = tidied(driverMessage);
    if (rule.withDriverText && !own.empty())
        text += "\n\n" + own;
    return text;
}
