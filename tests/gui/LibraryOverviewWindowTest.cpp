// The Library Overview window over a month of a small library with one bad drive: it opens from
// the Reports menu and runs, shows the bad drive first and coloured, draws a drive's rating on
// double-click, and leaves no thread behind when cancelled or closed mid-run.

#include "ScopedApp.h"
#include "app/CMainFrame.h"
#include "app/WindowRegistry.h"
#include "custom/CGraphWindow.h"
#include "db/Tables.h"
#include "fleet/CLibraryOverview.h"
#include "query/CQueryData.h"
#include "query/QueryListModel.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>

namespace {
int threadCount()
{
    return static_cast<int>(
        std::distance(std::filesystem::directory_iterator("/proc/self/task"), std::filesystem::directory_iterator()));
}

// 30 days of 1,000 mounts: eight drives, 400 cartridges; drive 1:1 raises a TapeAlert at every
// fifth mount and its rating falls.
void insertMonth(const TestBackend& backend, const std::string& table)
{
    for (int day = 0; day < 30; ++day) {
        std::string sql = "INSERT INTO " + table
                          + " (ipAddress, Date, Time, Volser, Frame, Drive, Life_Write_Retries_Media, "
                            "Life_Write_Perms_Media, Life_Read_Retries_Media, Life_Read_Perms_Media, "
                            "Mount_TapeAlert_Media, Mount_Rating_Drive, Mount_Rating_Media) VALUES ";
        for (int m = 0; m < 1000; ++m) {
            const int i = day * 1000 + m;
            const int drive = i % 8 + 1;
            const bool alert = drive == 1 && i / 8 % 5 == 0;
            char row[200];
            std::snprintf(row, sizeof row,
                          "%s('10.0.0.1', '2026-03-%02d', '%02d:%02d:%02d', 'V%05d', 1, %d, 0, 0, 0, 0, %d, %d, 210)",
                          m == 0 ? "" : ", ", day + 1, m / 60 % 24, m % 60, m / 40 % 60, i * 7 % 400, drive,
                          alert ? 20 : 0, drive == 1 ? 220 - 4 * day : 222);
            sql += row;
        }
        QVERIFY(executeSql(backend, sql));
    }
}
} // namespace

class LibraryOverviewWindowTest : public QObject {
    Q_OBJECT
private slots:
    void findsTheBadDriveDrawsItsRatingAndStopsCleanly()
    {
        const TestBackend backend = testBackends().front();
        ScopedApp scoped;
        const std::string base = uniqueTableName("overviewwin");
        scoped.useBackend(backend, base, 2);
        theApp().connected = true;
        QCOMPARE(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
        insertMonth(backend, base);

        CMainFrame frame;
        registerWindowKinds(frame);
        const int threadsBefore = threadCount();

        // Opened from the menu, it runs on the only library over the last 30 days (no mounts).
        frame.action(CommandId::LibraryOverview)->trigger();
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 1);
        auto* window = qobject_cast<CLibraryOverview*>(frame.mdiArea()->subWindowList().front()->widget());
        QVERIFY(window != nullptr);
        QSignalSpy finished(window, &CLibraryOverview::runFinished);
        QCOMPARE(window->libraryBox()->currentText(), QStringLiteral("10.0.0.1"));
        QVERIFY(finished.wait(20000));
        QVERIFY(window->summaryLabel()->text().startsWith(QStringLiteral("No mounts of library 10.0.0.1")));

        // Cancel stops a run over the month: the worker is still connecting when it is pressed.
        window->beginEdit()->setDate(QDate(2026, 3, 1));
        window->endEdit()->setDate(QDate(2026, 3, 31));
        window->generateButton()->click();
        QVERIFY(window->isRunning());
        QCOMPARE(window->generateButton()->text(), QStringLiteral("Cancel"));
        window->generateButton()->click();
        QVERIFY(finished.wait(20000));
        QCOMPARE(window->summaryLabel()->text(), QStringLiteral("Canceled"));
        QCOMPARE(window->generateButton()->text(), QStringLiteral("Generate Report"));
        QTRY_VERIFY_WITH_TIMEOUT(threadCount() <= threadsBefore, 20000);

        // A whole run over March: the bad drive first, a suspect.
        window->generateButton()->click();
        QVERIFY(finished.wait(30000));
        QCOMPARE(window->summaryLabel()->text(), QStringLiteral("1 drive and 0 cartridges need attention"));
        const QueryListData& drives = window->drivesList()->listData();
        QCOMPARE(drives.rowCount(), 8);
        QCOMPARE(drives.cell(0, 0), std::string("1:1"));
        QCOMPARE(drives.cell(0, drives.columnCount() - 1), std::string("suspect"));
        QCOMPARE(drives.cellShade(0, drives.columnCount() - 1), CellShade::Red);
        QCOMPARE(drives.cell(1, drives.columnCount() - 1), std::string("ok"));

        // Double-click: the drive's rating, one point a day.
        const QModelIndex first = window->drivesList()->model()->index(0, 0);
        emit window->drivesList()->doubleClicked(first);
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 2);
        auto* graph = qobject_cast<CGraphWindow*>(frame.mdiArea()->subWindowList().back()->widget());
        QVERIFY(graph != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(graph->state()->flags().dataReady.load(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(graph->state()->flags().finished.load(), 20000);

        // Closed mid-run: the worker stops and no thread stays.
        window->generateButton()->click();
        QVERIFY(window->isRunning());
        frame.mdiArea()->closeAllSubWindows();
        QTRY_COMPARE_WITH_TIMEOUT(frame.mdiArea()->subWindowList().size(), 0, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(threadCount() <= threadsBefore, 20000);
        dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
    }
};

QTEST_MAIN(LibraryOverviewWindowTest)
#include "LibraryOverviewWindowTest.moc"
