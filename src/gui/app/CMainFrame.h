#pragma once

#include "app/Commands.h"
#include "app/Help.h"

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

class CChildWindow;
class QAction;
class QLabel;
class QMenu;
class QMdiArea;
class QMdiSubWindow;
class QPrinter;
class QTimer;

// The main window: the MDI area, the menu bar of the active window's kind, the toolbar and
// the five-pane status bar. Commands are enabled from the connected flag and the active window.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    using WindowFactory = std::function<CChildWindow*(CMainFrame&)>;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    QMdiArea* mdiArea() const { return m_mdiArea; }
    QAction* action(CommandId id) const;
    MenuBarKind currentMenuBar() const { return m_currentBar; }
    QLabel* monitorPane() const { return m_monitorPane; }

    // Later windows plug in here: a window kind by template name, a command's handler.
    void registerTemplate(const std::string& name, WindowFactory factory);
    void setCommandHandler(CommandId id, std::function<void()> handler);
    // Opens a window of the named kind; a name that is not registered does nothing.
    CChildWindow* openTemplate(const std::string& name);
    // Adds a window that has no template (the general SQL query window).
    QMdiSubWindow* addChildWindow(CChildWindow* child, const QString& title);
    CChildWindow* activeChild() const;
    // The menu bar's Window menu, which lists the open windows after its commands.
    QMenu* windowMenu() const { return m_windowMenu; }

    // Runs after every successful Connect (the desktop program opens the overview there).
    void setAfterConnect(std::function<void()> hook) { m_afterConnect = std::move(hook); }

    void showHelp(HelpContext context);
    QPrinter& printer();

public slots:
    void onSetup();
    void onConnect();
    void onDisconnect();
    void onAbout();
    void onHelpTopics();
    void onContextHelp();
    // Recomputes every command's enabling, Save's text and the monitor pane.
    void updateCommands();
    // Lists the open windows in the Window menu, numbered, the active one checked.
    void refreshWindowMenu();
    // Window > Cascade: the windows a step apart, none below a usable size.
    void cascadeChildWindows();

signals:
    // The user has agreed to exit: work that runs beside the windows stops now, before any
    // window goes (the monitors are stopped already).
    void exiting();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createToolBar();
    void createStatusBar();
    void rebuildMenuBar();
    // The active child's status text, or the usual one.
    void showActiveStatus();
    void runCommand(CommandId id);
    CommandState commandState() const;
    void forwardToFocus(const char* slot);

    QMdiArea* m_mdiArea;
    std::map<CommandId, QAction*> m_actions;
    std::map<CommandId, std::function<void()>> m_handlers;
    std::map<std::string, WindowFactory> m_templates;
    std::map<std::string, int> m_windowNumbers;
    MenuBarKind m_currentBar = MenuBarKind::Main;
    QList<QMenu*> m_menus;
    QMenu* m_windowMenu = nullptr;
    QList<QAction*> m_windowListActions;
    QLabel* m_monitorPane = nullptr;
    QTimer* m_updateTimer = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    std::function<void()> m_afterConnect;
};
