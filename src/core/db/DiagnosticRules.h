#pragma once

#include <string>
#include <vector>

// How one driver diagnostic record becomes a message for the user. The first rule one of
// whose codes occurs anywhere in the record text decides. Drivers that give one state for
// several causes (SQLite's HY000, PostgreSQL's 08001 at connect) are told apart by the
// server's own words: such a rule also needs one of its texts in the record.
struct DiagnosticRule {
    enum class Focus { None, DatabaseName, IpAddress, TableName };

    std::vector<const char*> codes;
    const char* message = nullptr; // nullptr: no message box
    Focus focus = Focus::None;     // a field to focus when the window is the page that owns it
    bool focusBeforeMessage = false;
    bool silentOnOtherWindows = false; // a window that is not the table page gets no message
    bool stopFurtherBoxes = false;     // no more boxes for the remaining records of the call
    bool logRecordTwice = false;
    std::vector<const char*> texts = {}; // when given, one of them must occur in the record too
    bool withDriverText = false;         // the message is followed by the driver's own message
};

// The rule for a record, or nullptr when none matched: under the connection rules the
// record text itself is then shown, under the statement rules nothing.
const DiagnosticRule* findDiagnosticRule(const std::string& recordText, bool connectionRules);

// The text a user is shown for a rule and the driver's message: the rule's sentence, and after
// it, when the rule says so, the driver's message on lines of its own. Empty when the rule shows
// nothing.
std::string diagnosticRuleMessage(const DiagnosticRule& rule, const std::string& driverMessage);
