#include "CMainFrame.h"

#include "QtUserPrompts.h"
#include "app/CQmxApp.h"
#include "app/Startup.h"
#include "db/ConnectCommand.h"
#include "setup/CSetupDlg.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent), m_mdiArea(new QMdiArea(this))
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(QString::fromLatin1(ApplicationTitle));
    setCentralWidget(m_mdiArea);

    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* exit = file->addAction(tr("E&xit"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("Exit"));
    exit->setStatusTip(tr("Quit the application; prompts to save documents\nExit"));

    QMenu* database = menuBar()->addMenu(tr("&Database"));
    addCommand(database, QStringLiteral("Setup"), tr("&Setup..."), tr("Set up the database connection\nSetup"),
               &CMainFrame::onSetup);
    QAction* connectCommand = addCommand(database, QStringLiteral("Connect"), tr("&Connect..."),
                                         tr("Connect to the database\nConnect"), &CMainFrame::onConnect);
    connectCommand->setCheckable(true);
    addCommand(database, QStringLiteral("Disconnect"), tr("&Disconnect..."),
               tr("Disconnect from the database\nDisconnect"), &CMainFrame::onDisconnect);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    addCommand(help, QStringLiteral("About"), tr("&About Vaultline..."),
               tr("Display program information, version number and copyright\nAbout"), &CMainFrame::onAbout);

    statusBar()->showMessage(tr("Ready"));
    resize(1024, 700);
    updateCommands();
}

QAction* CMainFrame::addCommand(QMenu* menu, const QString& name, const QString& text, const QString& statusTip,
                                void (CMainFrame::*slot)())
{
    QAction* action = menu->addAction(text, this, slot);
    action->setObjectName(name);
    // The text before the line break is the status bar's, after it the tooltip's.
    action->setStatusTip(statusTip.section(QLatin1Char('\n'), 0, 0));
    action->setToolTip(statusTip.section(QLatin1Char('\n'), 1));
    return action;
}

QAction* CMainFrame::action(const QString& name) const
{
    return findChild<QAction*>(name);
}

void CMainFrame::updateCommands()
{
    const bool connected = theApp().connected.load();
    action(QStringLiteral("Setup"))->setEnabled(!connected);
    action(QStringLiteral("Connect"))->setEnabled(!connected);
    action(QStringLiteral("Connect"))->setChecked(connected);
    action(QStringLiteral("Disconnect"))->setEnabled(connected);
}

void CMainFrame::onSetup()
{
    runSetupCommand([this](const SetupChoice& initial) { return CSetupDlg::ask(initial, this); });
    updateCommands();
}

void CMainFrame::onConnect()
{
    runConnectCommand();
    updateCommands();
}

void CMainFrame::onDisconnect()
{
    runDisconnectCommand();
    updateCommands();
}

void CMainFrame::onAbout()
{
    QMessageBox::about(this, tr("About Vaultline"),
                       tr("Vaultline Version %1\nTape library statistics and reports")
                           .arg(QString::fromStdString(theApp().versionText)));
}
