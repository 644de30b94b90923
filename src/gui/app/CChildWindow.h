#pragma once

#include "app/Commands.h"
#include "app/Help.h"

#include <QWidget>

class QPrinter;

// The widget inside every MDI child: says what kind of window it is (which menu bar it
// shows), which help page belongs to it, and handles the commands that act on a window.
class CChildWindow : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    virtual ActiveWindowKind windowKind() const = 0;
    virtual HelpContext helpContext() const { return HelpContext::Other; }
    // File > Save on this window; false when it has nothing to save.
    virtual bool save() { return false; }
    // Asked before the window closes; false keeps it open.
    virtual bool confirmClose() { return true; }
    // Closing the main window: stop the work and wait for it.
    virtual void stopForExit() {}
    // File > Save As..., Print... and Print Preview on this window (a monitor prints its log).
    virtual void saveAs() {}
    virtual void print(QPrinter& /*printer*/) {}
    // Edit > Find..., Find Next and Replace... on this window's text.
    virtual void find() {}
    virtual void findNext() {}
    virtual void replace() {}
    // What the main window's status bar shows while this window is active; empty for its
    // usual text.
    virtual QString statusText() const { return {}; }

signals:
    void statusTextChanged();
};
