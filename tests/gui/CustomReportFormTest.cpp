#include "ScopedApp.h"
#include "app/CMainFrame.h"
#include "app/TimeFormat.h"
#include "app/WindowRegistry.h"
#include "custom/CCustomReportFormView.h"
#include "custom/CCustomTableView.h"
#include "custom/CGraphWindow.h"
#include "custom/CTapeAlertWindow.h"
#include "custom/CustomFormTexts.h"
#include "db/Tables.h"
#include "query/CQueryData.h"
#include "query/QueryListData.h"
#include "query/QueryRun.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
void choose(QComboBox* combo, const QString& text)
{
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void selectItem(QListWidget* list, const QString& text)
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(text));
    list->setCurrentItem(found.front(), QItemSelectionModel::Select);
}

template <class Window>
Window* newestWindow(CMainFrame& frame)
{
    const auto windows = frame.mdiArea()->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (auto* window = qobject_cast<Window*>((*it)->widget()))
            return window;
    return nullptr;
}
} // namespace

class CustomReportFormTest : public QObject {
    Q_OBJECT
private slots:
    // From the menu through the form, one report into a table and one into a line graph, on
    // rows the test wrote; a table closed while its report runs goes quietly.
    void runsATableAndALineGraphFromTheForm()
    {
        const TestBackend backend = testBackends().front();
        ScopedApp scoped;
        const std::string base = uniqueTableName("customform");
        scoped.useBackend(backend, base, 2);
        theApp().connected = true;
        QCOMPARE(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
        const std::string today = formatLocalTime("%Y-%m-%d", std::time(nullptr));
        QVERIFY(executeSql(backend, "INSERT INTO " + base
                                        + " (ipAddress, Date, Time, Volser, Frame, Drive, Mount_Host_Write) VALUES "
                                          "('10.0.0.7', '"
                                        + today + "', '08:00:00', 'VOL001', 1, 2, 40), ('10.0.0.7', '" + today
                                        + "', '09:00:00', 'VOL001', 1, 2, 60), ('10.0.0.7', '" + today
                                        + "', '10:00:00', 'VOL002', 1, 3, 5)"));

        CMainFrame frame;
        registerWindowKinds(frame);
        frame.action(CommandId::CustomReport)->trigger();
        auto* form = newestWindow<CCustomReportFormView>(frame);
        QVERIFY(form != nullptr);
        QVERIFY(form->windowTitle().startsWith("Custom Reports "));
        QTRY_VERIFY(!form->loading());
        QVERIFY(!form->libraryCombo()->isEnabled());
        QVERIFY(form->rateCombo()->isHidden());

        choose(form->rangeCombo(), "Last Week");
        QVERIFY(form->libraryCombo()->isEnabled());
        choose(form->libraryCombo(), "10.0.0.7");
        QTRY_VERIFY(!form->loading());
        QCOMPARE(form->driveList()->count(), 4); // two drives, two volsers
        choose(form->dataTypeCombo(), "Mount History: HOST_WRITE (Drive / Volser)");
        QVERIFY(!form->rateCombo()->isHidden());
        QVERIFY(form->driveList()->isEnabled());
        selectItem(form->driveList(), "VOL001");

        // Without a report type the form says so and opens nothing.
        const int before = static_cast<int>(frame.mdiArea()->subWindowList().size());
        form->Generate();
        QCOMPARE(scoped.prompts.messageTexts().back(), std::string("Please select a type of report."));
        QCOMPARE(static_cast<int>(frame.mdiArea()->subWindowList().size()), before);

        form->radio(3)->click();
        form->Generate();
        auto* table = newestWindow<CCustomTableView>(frame);
        QVERIFY(table != nullptr);
        QVERIFY(table->windowTitle().startsWith("LVR Table 1 - 10.0.0.7 since "));
        const QueryListData& rows = table->list()->listData();
        QTRY_COMPARE(rows.rowCount(), 2);
        QCOMPARE(rows.cell(0, rows.columnCount() - 1), std::string("40"));
        QCOMPARE(rows.cell(1, rows.columnCount() - 1), std::string("60"));

        form->radio(1)->click();
        form->Generate();
        auto* graph = newestWindow<CGraphWindow>(frame);
        QVERIFY(graph != nullptr);
        QVERIFY(graph->windowTitle().startsWith("LVR Line Graph "));
        QTRY_VERIFY(graph->state()->flags().dataReady.load() && graph->state()->flags().finished.load());
        QVERIFY(!graph->state()->items(640, 480).empty());

        // Last instance and CSV export run on threads of their own and answer through the prompts.
        form->radio(0)->click();
        form->Generate();
        QTRY_VERIFY(scoped.prompts.messageTexts().back().rfind("The last instance of ", 0) == 0);
        QVERIFY(scoped.prompts.messageTexts().back().find("The value is 60.") != std::string::npos);
        TemporaryFolder folder;
        scoped.prompts.fileReplies = {folder.file("writes")};
        form->radio(4)->click();
        form->Generate();
        QTRY_VERIFY(readWholeFile(folder.file("writes.csv")).find(",60\n") != std::string::npos);

        // A second item makes a rollup: no last instance, also once a plain field is chosen again.
        selectItem(form->driveList(), "VOL002");
        QVERIFY(!form->radio(0)->isEnabled());
        choose(form->dataTypeCombo(), "Mount History: HOST_WRITE (Drive / Volser)");
        QVERIFY(!form->radio(0)->isEnabled());
        QVERIFY(!form->radio(0)->isChecked());

        // A second table closed at once: its rows are dropped, nothing waits or crashes.
        form->radio(3)->click();
        form->Generate();
        auto* closing = newestWindow<CCustomTableView>(frame);
        QVERIFY(closing != nullptr && closing != table);
        QPointer<QMdiSubWindow> sub(qobject_cast<QMdiSubWindow*>(closing->parentWidget()));
        sub->close();
        QTRY_VERIFY(sub.isNull());
        QTRY_COMPARE(QueryRun::unjoinedCount(), 0);

        // The form closed while its lists are being read.
        choose(form->rangeCombo(), "Last Month");
        QVERIFY(form->loading());
        QPointer<QMdiSubWindow> formWindow(qobject_cast<QMdiSubWindow*>(form->parentWidget()));
        formWindow->close();
        QTRY_VERIFY(formWindow.isNull());
        QTRY_COMPARE(QueryRun::unjoinedCount(), 0);
        dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
    }

    void tapeAlertSubmitNeedsASelection()
    {
        ScopedApp scoped;
        CTapeAlertWindow dialog;
        QCOMPARE(dialog.list()->count(), 42);
        dialog.submit();
        QCOMPARE(scoped.prompts.messageTexts(),
                 std::vector<std::string>{"Please selected one or more TapeAlert values"});
        QCOMPARE(dialog.result(), 0);
        dialog.list()->item(3)->setSelected(true);
        dialog.list()->item(0)->setSelected(true);
        dialog.submit();
        QCOMPARE(dialog.result(), custom_form_texts::TapeAlertSubmitted);
        QCOMPARE(dialog.selection(), (std::vector<std::string>{"1:Read Warning", "4:Media"}));
        QVERIFY(dialog.severalCodes());
    }
};

QTEST_MAIN(CustomReportFormTest)
#include "CustomReportFormTest.moc"
