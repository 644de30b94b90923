#include "ScopedApp.h"
#include "app/CChildWindow.h"
#include "app/CHelpViewer.h"
#include "app/CMainFrame.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
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
        const QStringList framework = {"SaveAs", "PrintSetup", "Close", "Undo", "Cut", "Copy", "Paste", "Find",
                                       "FindNext", "Replace", "SelectAll", "ViewToolbar", "ViewStatusBar",
                                       "Cascade", "Tile", "ArrangeIcons"};
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
        for (CommandId id : {CommandId::StartMonitoring, CommandId::Import, CommandId::GeneralSqlQuery,
                             CommandId::CustomReport, CommandId::DeleteData, CommandId::Disconnect,
                             CommandId::ReportsAgent, CommandId::MountRates})
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
