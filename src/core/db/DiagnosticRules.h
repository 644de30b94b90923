#pragma once

#include <string>
#include <vector>

// How one driver diagnostic record becomes a message for the user. The first rule one of
// whose codes occurs anywhere in the record text decides.
struct DiagnosticRule {
    enum class Focus { None, DatabaseName, IpAddress, TableName };

    std::vector<const char*> codes;
    const char* message = nullptr;     // nullptr: no message box
    Focus focus = Focus::None;         // a field to focus when the window is the page that owns it
    bool focusBeforeMessage = false;
    bool silentOnOtherWindows = false; // a window that is not the table page gets no message
    bool stopFurtherBoxes = false;     // no more boxes for the remaining records of the call
    bool logRecordTwice = false;
};

// The rule for a record, or nullptr when none matched: under the connection rules the
// record text itself is then shown, under the statement rules nothing.
const DiagnosticRule* findDiagnosticRule(const std::string& recordText, bool connectionRules);
