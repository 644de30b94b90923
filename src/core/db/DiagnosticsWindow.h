#pragma once

// The window a database operation runs for, as the diagnostics see it: some rules move the
// focus to a setup page's field, and some say nothing on a window other than the table page.
class DiagnosticsWindow {
public:
    enum class Kind { Other, DatabaseSetupPage, TableSetupPage };

    virtual ~DiagnosticsWindow() = default;
    virtual Kind windowKind() const = 0;
    // Focus the field, select its text and scroll to the caret.
    virtual void focusDatabaseName() {}
    virtual void focusIpAddress() {}
    virtual void focusTableName() {}
};
