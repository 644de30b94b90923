#pragma once

#include <QMainWindow>

class QAction;
class QMdiArea;

// The main window: an MDI area with the program's menus and status bar.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return m_mdiArea; }
    QAction* action(const QString& name) const;

public slots:
    void onSetup();
    void onConnect();
    void onDisconnect();
    void onAbout();
    // Enables each command by the connected flag.
    void updateCommands();

private:
    QAction* addCommand(QMenu* menu, const QString& name, const QString& text, const QString& statusTip,
                        void (CMainFrame::*slot)());

    QMdiArea* m_mdiArea;
};
