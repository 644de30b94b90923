#include "ScopedApp.h"
#include "app/CChildWindow.h"
#include "app/CHelpViewer.h"
#include "app/CMainFrame.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTextBrowser>

namespace {
class TestWindow : public CChildWindow {
public:
    explicit TestWindow(ActiveWindowKind kind) : m_kind(kind) {}
    ActiveWindowKind windowKind() const override { return m_kind; }
    HelpContext helpContext() const override { return HelpContext::QueryForm; }
    bool save() override
    {
        ++saves;
        return true;
    }
    void stopForExit() override { ++stops; }
    int saves = 0;
    int stops = 0;

private:
    ActiveWindowKind m_kind;
};

QStringList enabledCommands(const CMainFrame& frame)
{
    QStringList names;
    for (const CommandInfo& info : allCommands())
        if (info.id != CommandId::Separator && frame.action(info.id)->isEnabled())
            names << QString::fromLatin1(info.objectName);
    return names;
}

QStringList menuTitles(CMainFrame& frame)
{
    QStringList titles;
    for (QAction* menu : frame.menuBar()->actions())
        titles << menu->text();
    return titles;
}
// The Window menu's list of open windows: the entries after its commands, the checked one
// marked with "*".
QStringList windowEntries(const CMainFrame& frame)
{
    QStringList entries;
    bool listed = false;
    for (QAction* item : frame.windowMenu()->actions()) {
        if (item->isSeparator())
            listed = true;
        else if (listed)
            entries << (item->isChecked() ? QStringLiteral("*") : QString()) + item->text();
    }
    return entries;
}
} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void enablingFollowsTheConnectedFlag()
    {
        ScopedApp scoped;
        CMainFrame frame;
        frame.updateCommands();
        QStringList before = enabledCommands(frame);
        // Connect needs its settings first.
        QVERIFY(!before.contains(QStringLiteral("Connect")));
        scoped.app().settings.databaseName = "Vaultline";
        scoped.app().settings.mountHistoryTableName = "MH";
        scoped.app().settings.dateOutputFormat = "%Y-%m-%d";
        frame.updateCommands();
        before = enabledCommands(frame);
        const QStringList framework = {
            "SaveAs",   "PrintSetup", "Close",     "Undo",        "Cut",           "Copy",    "Paste", "Find",
            "FindNext", "Replace",    "SelectAll", "ViewToolbar", "ViewStatusBar", "Cascade", "Tile",  "ArrangeIcons"};
        QStringList expected = {"ExportData", "Exit", "Setup", "Connect", "Thresholds", "HelpTopics", "About"};
        expected += framework;
        expected.sort();
        before.sort();
        QCOMPARE(before, expected);

        scoped.app().connected = true;
        frame.updateCommands();
        QVERIFY(!frame.action(CommandId::Setup)->isEnabled());
        QVERIFY(!frame.action(CommandId::Connect)->isEnabled());
        QVERIFY(frame.action(CommandId::Connect)->isChecked());
        for (CommandId id :
             {CommandId::StartMonitoring, CommandId::Import, CommandId::GeneralSqlQuery, CommandId::CustomReport,
              CommandId::DeleteData, CommandId::Disconnect, CommandId::ReportsAgent, CommandId::MountRates})
            QVERIFY(frame.action(id)->isEnabled());
        QVERIFY2(!frame.action(CommandId::Print)->isEnabled(), "only a monitor prints");
    }

    void saveItemAndMenuBarFollowTheActiveWindow()
    {
        ScopedApp scoped;
        CMainFrame frame;
        frame.show();
        QCOMPARE(frame.currentMenuBar(), MenuBarKind::Main);
        QVERIFY(menuTitles(frame).contains(QStringLiteral("&Settings")));
        QVERIFY(!frame.action(CommandId::Save)->isEnabled());

        auto* query = new TestWindow(ActiveWindowKind::Query);
        frame.addChildWindow(query, QStringLiteral("General SQL Query"));
        frame.mdiArea()->setActiveSubWindow(frame.mdiArea()->subWindowList().first());
        frame.updateCommands();
        QCOMPARE(frame.action(CommandId::Save)->text(), QStringLiteral("&Export Query..."));
        QCOMPARE(frame.action(CommandId::Save)->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QVERIFY(frame.action(CommandId::Save)->isEnabled());
        frame.action(CommandId::Save)->trigger();
        QCOMPARE(query->saves, 1);

        auto* report = new TestWindow(ActiveWindowKind::FullReport);
        frame.addChildWindow(report, QStringLiteral("Report By Mount Rates 1"));
        frame.mdiArea()->setActiveSubWindow(frame.mdiArea()->subWindowList().last());
        QCOMPARE(frame.currentMenuBar(), MenuBarKind::FullReport);
        QCOMPARE(frame.action(CommandId::StartMonitoring)->text(), QStringLiteral("&New Thread"));
        QVERIFY(!frame.action(CommandId::Save)->isEnabled());
        report->setWindowTitle(QStringLiteral("LVR Line Graph 2"));
        frame.updateCommands();
        QCOMPARE(frame.action(CommandId::Save)->text(), QStringLiteral("Capture and &Save..."));

        // An unregistered template opens nothing; a registered one gets its running number.
        QVERIFY(frame.openTemplate("Report By Encryption Status ") == nullptr);
        frame.registerTemplate("Report By Encryption Status ",
                               [](CMainFrame&) { return new TestWindow(ActiveWindowKind::FullReport); });
        QCOMPARE(frame.openTemplate("Report By Encryption Status ")->windowTitle(),
                 QStringLiteral("Report By Encryption Status 1"));
        QCOMPARE(frame.openTemplate("Report By Encryption Status ")->windowTitle(),
                 QStringLiteral("Report By Encryption Status 2"));

        scoped.app().activeMonitors = 3;
        frame.updateCommands();
        QCOMPARE(frame.monitorPane()->text(), QStringLiteral("Monitor 3"));
    }

    void windowMenuListsTheOpenWindowsAndCascadeKeepsThemUsable()
    {
        ScopedApp scoped;
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(windowEntries(frame).isEmpty());
        QMdiSubWindow* line =
            frame.addChildWindow(new TestWindow(ActiveWindowKind::Graph), QStringLiteral("LVR Line Graph 1"));
        QMdiSubWindow* bar =
            frame.addChildWindow(new TestWindow(ActiveWindowKind::Graph), QStringLiteral("LVR Bar Graph 1"));
        frame.addChildWindow(new TestWindow(ActiveWindowKind::Graph), QStringLiteral("R&D"));
        QCOMPARE(windowEntries(frame), (QStringList{"&1 LVR Line Graph 1", "&2 LVR Bar Graph 1", "*&3 R&&D"}));

        // A window that closes leaves the list, even when it was not the active one.
        bar->close();
        QTRY_COMPARE(windowEntries(frame), (QStringList{"&1 LVR Line Graph 1", "*&2 R&&D"}));
        // Choosing an entry activates its window, and the check follows.
        frame.windowMenu()->actions()[frame.windowMenu()->actions().size() - 2]->trigger();
        QCOMPARE(frame.mdiArea()->activeSubWindow(), line);
        QCOMPARE(windowEntries(frame), (QStringList{"*&1 LVR Line Graph 1", "&2 R&&D"}));

        // Cascade: windows without a size of their own (as graphs are) keep a usable one, a step apart.
        frame.action(CommandId::Cascade)->trigger();
        const QList<QMdiSubWindow*> windows = frame.mdiArea()->subWindowList(QMdiArea::StackingOrder);
        QCOMPARE(windows.size(), 2);
        const QSize area = frame.mdiArea()->viewport()->size();
        for (QMdiSubWindow* window : windows) {
            QVERIFY2(window->width() >= std::min(640, area.width()) && window->height() >= std::min(480, area.height()),
                     qPrintable(QStringLiteral("%1x%2").arg(window->width()).arg(window->height())));
            QVERIFY(window->geometry().right() < area.width() && window->geometry().bottom() < area.height());
        }
        QCOMPARE(windows[1]->pos() - windows[0]->pos(), QPoint(28, 28));
        QCOMPARE(frame.mdiArea()->activeSubWindow(), line);
        QCOMPARE(windows.back(), line);
    }

    void exitAsksAndNoKeepsEverythingRunning()
    {
        ScopedApp scoped;
        CMainFrame frame;
        frame.show();
        auto* window = new TestWindow(ActiveWindowKind::Monitor);
        frame.addChildWindow(window, QStringLiteral("Qmx1"));
        scoped.prompts.yesNoReplies = {false};
        frame.action(CommandId::Exit)->trigger();
        QVERIFY(frame.isVisible());
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 1);
        QCOMPARE(window->stops, 0);
        QCOMPARE(scoped.prompts.questions(), std::vector<std::string>{"Are you sure you would like to exit from LVR?"});

        scoped.prompts.yesNoReplies = {true};
        QVERIFY(frame.close());
        QCOMPARE(window->stops, 1);
        QCOMPARE(scoped.prompts.waitCursorDepth(), 0);
    }

    void helpOpensThePageOfTheActiveWindow()
    {
        ScopedApp scoped;
        CMainFrame frame;
        frame.show();
        frame.action(CommandId::HelpTopics)->trigger();
        QCOMPARE(CHelpViewer::instance().currentPage(), QStringLiteral("lvr1_overviewhelp_3tz904.html"));
        QVERIFY(!CHelpViewer::instance().browser()->toPlainText().contains(QStringLiteral("not found")));
        frame.onContextHelp();
        QCOMPARE(CHelpViewer::instance().currentPage(), QStringLiteral("lvr1_helpsystem_3vdt52.html"));
        frame.addChildWindow(new TestWindow(ActiveWindowKind::Query), QStringLiteral("General SQL Query"));
        frame.mdiArea()->setActiveSubWindow(frame.mdiArea()->subWindowList().first());
        frame.onContextHelp();
        QCOMPARE(CHelpViewer::instance().currentPage(), QStringLiteral("lvr1_genqueryhelp_3tzg67.html"));

        // Closed, or minimised, the help comes back on the next F1 or Help Topics, on the page asked.
        CHelpViewer::instance().close();
        QVERIFY(!CHelpViewer::instance().isVisible());
        frame.action(CommandId::HelpTopics)->trigger();
        QVERIFY(CHelpViewer::instance().isVisible());
        QCOMPARE(CHelpViewer::instance().currentPage(), QStringLiteral("lvr1_overviewhelp_3tz904.html"));
        CHelpViewer::instance().showMinimized();
        frame.onContextHelp();
        QVERIFY(CHelpViewer::instance().isVisible() && !CHelpViewer::instance().isMinimized());
        QCOMPARE(CHelpViewer::instance().currentPage(), QStringLiteral("lvr1_genqueryhelp_3tzg67.html"));
        CHelpViewer::instance().close();
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
