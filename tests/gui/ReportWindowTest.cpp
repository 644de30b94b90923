#include "ScopedApp.h"
#include "app/CMainFrame.h"
#include "app/WindowRegistry.h"
#include "db/Tables.h"
#include "query/CQueryData.h"
#include "query/QueryListModel.h"
#include "reports/CDateForm.h"
#include "reports/CFiltersDlg.h"
#include "reports/CSplitterReport.h"
#include "reports/ReportTexts.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

namespace {
void insertCartridges(const TestBackend& backend, const std::string& table, int volsers, int first = 0)
{
    std::string sql = "INSERT INTO " + table
                      + " (ipAddress, Date, Time, Volser, Frame, Drive, Life_Mounts_Media, Life_Read_Perms_Media, "
                        "Mount_Crypto_Status, Mount_Crypto_Rekey) VALUES ";
    for (int i = first; i < first + volsers; ++i) {
        const std::string volser = "V" + std::to_string(100000 + i).substr(1);
        sql += (i == first ? "" : ", ") + std::string("('10.0.0.1', '2026-01-05', '13:05:00', '") + volser + "', 1, 2, "
               + std::to_string(i + 1) + ", 0, 1, 0)";
        sql += ", ('10.0.0.1', '2026-01-06', '09:00:00', '" + volser + "', 1, 3, " + std::to_string(i + 2) + ", "
               + std::to_string(i % 3) + ", 1, 0)";
    }
    QVERIFY(executeSql(backend, sql));
}
} // namespace

class ReportWindowTest : public QObject {
    Q_OBJECT
private slots:
    void checksBeforeStartingAndReturnsToIdle()
    {
        ScopedApp scoped;
        CSplitterReport window(ReportKind::MountRates);
        CDateForm* form = window.form();
        form->setAddresses({"10.0.0.1", "10.0.0.2"});
        form->setDates("2026-01-01", "2026-01-31");
        window.GenerateReport();
        QCOMPARE(scoped.prompts.messageTexts(), std::vector<std::string>{report_texts::NoIpChecked});
        QVERIFY(!form->running());
        QVERIFY(!form->generateButton()->isHidden());
        QVERIFY(form->cancelButton()->isHidden());
        QVERIFY(!window.workerRunning());

        form->setChecked("10.0.0.2", true);
        form->setDates("2026-02-01", "2026-01-31");
        window.GenerateReport();
        QCOMPARE(scoped.prompts.messageTexts().back(), std::string(report_texts::InvalidDateRange));
        QVERIFY(!form->running());
    }

    void runsFromTheMenuSavesWhatItShowsAndCloses()
    {
        for (const TestBackend& backend : testBackends()) {
            if (!backend.available)
                continue;
            ScopedApp scoped;
            const std::string base = uniqueTableName("reportwin");
            scoped.useBackend(backend, base, 2);
            theApp().connected = true;
            QCOMPARE(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
            insertCartridges(backend, base, 3);

            CMainFrame frame;
            registerWindowKinds(frame);
            frame.action(CommandId::CartridgeStatistics)->trigger();
            QCOMPARE(frame.mdiArea()->subWindowList().size(), 1);
            auto* window = qobject_cast<CSplitterReport*>(frame.mdiArea()->subWindowList().front()->widget());
            QVERIFY(window != nullptr);
            QCOMPARE(window->windowKind(), ActiveWindowKind::ShortReport);
            QSignalSpy filled(window->form(), &CDateForm::addressesFilled);
            QVERIFY(filled.wait(20000));
            QCOMPARE(window->form()->addresses(), std::vector<std::string>{"10.0.0.1"});

            window->form()->setChecked("10.0.0.1", true);
            window->form()->setDates("2026-01-05", "2026-01-06");
            QTest::mouseClick(window->form()->generateButton(), Qt::LeftButton);
            QVERIFY(window->form()->running());
            QTRY_VERIFY_WITH_TIMEOUT(!window->form()->running(), 20000);
            const std::string text = window->reportText();
            QVERIFY(text.find("IP Address: 10.0.0.1   Volser: V00001\r\n   MAX LIFE_MOUNTS: 3\r\n")
                    != std::string::npos);
            QVERIFY(text.size() > 7 && text.substr(text.size() - 7) == "Done!\r\n");
            QString shown = QString::fromStdString(text);
            shown.remove(QLatin1Char('\r'));
            QCOMPARE(window->textView()->toPlainText(), shown);

            TemporaryFolder folder;
            scoped.prompts.fileReplies.push_back(folder.file("saved.txt"));
            QVERIFY(window->save());
            QCOMPARE(readWholeFile(folder.file("saved.txt")), text);

            // Closing mid-run: the worker is stopped and the window goes without a crash.
            insertCartridges(backend, base, 400, 10);
            QTest::mouseClick(window->form()->generateButton(), Qt::LeftButton);
            frame.mdiArea()->closeAllSubWindows();
            QTRY_VERIFY_WITH_TIMEOUT(frame.mdiArea()->subWindowList().isEmpty(), 20000);
            dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
        }
    }

    // Each report command of the menu opens a window of its own report: its title, and what a
    // run writes first (a list's columns for Cartridge Retries and Perms). Mount rates would ask
    // the library for its drive file, so its window is only opened.
    void eachMenuCommandOpensItsOwnReport()
    {
        const TestBackend backend = testBackends().front(); // SQLite, always there
        ScopedApp scoped;
        const std::string base = uniqueTableName("reportmenu");
        scoped.useBackend(backend, base, 2);
        theApp().connected = true;
        QCOMPARE(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
        insertCartridges(backend, base, 2);
        CMainFrame frame;
        registerWindowKinds(frame);
        const std::vector<std::tuple<CommandId, QString, std::string>> reports = {
            {CommandId::MountRates, "Report By Mount Rates 1", ""},
            {CommandId::EncryptionStatus, "Report By Encryption Status 1", "Starting encryption status report on "},
            {CommandId::CartridgeHealth, "Report By Cartridge Health Statistics 1",
             "Starting Cartridge Last 10 Mount Moving Average report on "},
            {CommandId::CartridgeRetriesPerms, "Cartridge Retries and Perms 1", "ROW"}};
        for (const auto& [command, title, opening] : reports) {
            frame.action(command)->trigger();
            QCOMPARE(frame.mdiArea()->subWindowList().size(), 1);
            auto* window = qobject_cast<CSplitterReport*>(frame.mdiArea()->subWindowList().front()->widget());
            QVERIFY(window != nullptr);
            QCOMPARE(window->windowTitle(), title);
            QSignalSpy filled(window->form(), &CDateForm::addressesFilled);
            QVERIFY(filled.wait(20000));
            if (!opening.empty()) {
                window->form()->setChecked("10.0.0.1", true);
                window->form()->setDates("2026-01-05", "2026-01-06");
                QTest::mouseClick(window->form()->generateButton(), Qt::LeftButton);
                QTRY_VERIFY_WITH_TIMEOUT(!window->form()->running(), 20000);
                if (window->list() != nullptr) {
                    const QueryListData& list = window->list()->listData();
                    QCOMPARE(list.column(0).title, opening);
                    QCOMPARE(list.rowCount(), 1); // V00001's read perms grew by 1
                } else {
                    QVERIFY2(window->reportText().starts_with(opening), window->reportText().c_str());
                }
            }
            frame.mdiArea()->closeAllSubWindows();
            QTRY_VERIFY_WITH_TIMEOUT(frame.mdiArea()->subWindowList().isEmpty(), 20000);
        }
        dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
    }

    void thresholdSheetCopiesOnOkOnly()
    {
        ScopedApp scoped;
        LifetimeThresholds start;
        *start.find("LIFE_WRITE_RETRIES") = {true, 5, 10};
        CFiltersDlg dialog(start);
        QCOMPARE(dialog.windowTitle(), QString("Settings"));
        QCOMPARE(dialog.pages()->count(), 2);
        const LifetimeThresholds read = dialog.thresholds();
        QVERIFY(!read.filtersEnabled);
        QVERIFY(read.find("LIFE_WRITE_RETRIES")->enabled);
        QCOMPARE(read.find("LIFE_WRITE_RETRIES")->red, 10);
        QVERIFY(!read.find("LIFE_MOUNTS")->enabled);
    }

    void retriesPermsListIsColouredOnlyWithFilters()
    {
        ScopedApp scoped;
        CSplitterReport window(ReportKind::RetriesPerms);
        CQueryData* list = window.list();
        list->addColumn("ROW");
        list->addColumn("LIFE_WRITE_RETRIES");
        list->addRows({{"1", "4"}, {"2", "7"}, {"3", "12"}});
        LifetimeThresholds thresholds;
        *thresholds.find("LIFE_WRITE_RETRIES") = {true, 5, 10};
        theApp().setLifetimeThresholds(thresholds);
        const auto& data = list->listData();
        for (int row = 0; row < 3; ++row)
            QCOMPARE(data.cellShade(row, 1), CellShade::Default);
        thresholds.filtersEnabled = true;
        theApp().setLifetimeThresholds(thresholds);
        QCOMPARE(data.cellShade(0, 1), CellShade::Default);
        QCOMPARE(data.cellShade(1, 1), CellShade::Yellow);
        QCOMPARE(data.cellShade(2, 1), CellShade::Red);
        QCOMPARE(data.cellShade(2, 0), CellShade::Default);
    }
};

QTEST_MAIN(ReportWindowTest)
#include "ReportWindowTest.moc"
