#pragma once

// The window a database operation runs for, as the diagnostics see it: some rules move the
// focus to a setup page's field, and a library monitor's failures are never shown in a box.
class DiagnosticsWindow {
public:
    enum class Kind { Other, MonitorView, DatabaseSetupPage, TableSetupPage };

    virtual ~DiagnosticsWindow() = default;
    virtual Kind windowKind() const = 0;
    // Focus the field, select its text and scroll to the caret.
    virtual void focusDatabaseName() {}
    virtual void focusIpAddress() {}
    virtual void focusTableName() {}
};
