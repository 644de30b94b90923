#include "HealthTextFixture.h"
#include "ScopedApp.h"
#include "app/CMainFrame.h"
#include "app/WindowRegistry.h"
#include "custom/CGraphWindow.h"
#include "custom/GraphWindows.h"
#include "db/Tables.h"
#include "reports/HealthReport.h"
#include "reports/HealthReportLinks.h"
#include "reports/CDateForm.h"
#include "reports/CSplitterReport.h"
#include "reports/ReportRunner.h"

#include <QAction>
#include <QMdiArea>
#include <QPushButton>
#include <QSignalSpy>
#include <QMdiSubWindow>
#include <QTest>
#include <QTextEdit>

namespace {
// `count` mounts of drive (1, drive), one a day back from 2026-11-30, the drive rating rising.
bool insertMounts(const TestBackend& backend, const std::string& table, int drive, int count)
{
    std::string sql = "INSERT INTO " + table
                      + " (ipAddress, Date, Time, Volser, Frame, Drive, Logical_Library, Element_Address, "
                        "Mount_Rating_Drive) VALUES ";
    for (int i = 0; i < count; ++i) {
        const std::chrono::year_month_day day{std::chrono::sys_days{std::chrono::year{2026} / 11 / 30}
                                              - std::chrono::days{i}};
        char row[160];
        std::snprintf(row, sizeof row, "%s('10.0.0.1', '%04d-%02u-%02u', '10:00:00', 'V%d', 1, %d, 'LL1', 300, %d)",
                      i == 0 ? "" : ", ", static_cast<int>(day.year()), static_cast<unsigned>(day.month()),
                      static_cast<unsigned>(day.day()), drive, drive, 1000 * drive - i);
        sql += row;
    }
    return executeSql(backend, sql);
}

bool isLink(QTextEdit* view, int position)
{
    QTextCursor cursor(view->document());
    cursor.setPosition(position);
    return cursor.charFormat().isAnchor();
}

// The texts of the drawing, where the graph says what it shows.
QStringList drawnTexts(const GraphState& state)
{
    QStringList texts;
    for (const GraphItem& item : state.items(800, 500))
        if (item.kind == GraphItem::Kind::Text)
            texts << QString::fromStdString(item.text);
    return texts;
}
} // namespace

class HealthReportLinksTest : public QObject {
    Q_OBJECT
private slots:
    // A long text is marked in one edit of the document: one change, so one layout, however
    // many field names it holds, and every one of them a link to its own name.
    void aLongTextIsMarkedInOneEdit()
    {
        ScopedApp scoped;
        QTextEdit view;
        view.resize(800, 600);
        view.setPlainText(QString::fromStdString(cartridgeHealthFixture(2000)));
        QSignalSpy changes(view.document(), &QTextDocument::contentsChange);
        MarkFieldLinks(&view, HealthReportKind::Cartridge);
        QCOMPARE(changes.size(), 1);

        const QString text = view.toPlainText();
        for (const std::string& name : healthFieldNames(HealthReportKind::Cartridge)) {
            const QString field = QString::fromStdString(name);
            for (const int at : {text.indexOf(field), text.lastIndexOf(field)}) {
                QVERIFY(at > 0);
                QTextCursor cursor(view.document());
                cursor.setPosition(at + 1);
                QCOMPARE(cursor.charFormat().anchorHref(), field);
            }
        }
        QTextCursor context(view.document());
        context.setPosition(text.lastIndexOf(QStringLiteral("Volser: C01999")) + 2);
        QVERIFY(!context.charFormat().isAnchor());
    }

    void fieldNamesBecomeLinksAndAClickOpensTheGraphOfThatDrive()
    {
        ScopedApp scoped;
        const TestBackend backend = testBackends().front();
        const std::string base = uniqueTableName("links");
        scoped.useBackend(backend, base, 2);
        QVERIFY(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password) == 1);
        QVERIFY(insertMounts(backend, base, 1, 40));
        QVERIFY(insertMounts(backend, base, 2, 300));

        TextReportSink sink;
        ReportRequest run = ReportRequest::fromSettings("2020-01-01", "2026-12-07", {"10.0.0.1"});
        run.sink = &sink;
        QCOMPARE(ReportDrvThread(run), 1);

        CMainFrame frame;
        registerGraphWindows(frame);
        frame.resize(1000, 700);
        frame.show();
        QTextEdit view;
        view.setPlainText(QString::fromStdString(sink.text()));
        MarkFieldLinks(&view, HealthReportKind::Drive);

        const QString text = view.toPlainText();
        const int drive2 = text.indexOf(QStringLiteral("Frame: 1 Drive: 2"));
        const int field = text.indexOf(QStringLiteral("MOUNT_DRIVE_RATING"), drive2);
        QVERIFY(drive2 > 0 && field > drive2);
        QTextCursor cursor(view.document());
        cursor.setPosition(field + 3);
        QVERIFY(cursor.charFormat().isAnchor());
        QCOMPARE(cursor.charFormat().anchorHref(), QStringLiteral("MOUNT_DRIVE_RATING"));
        // A field name in a not-enough line is a link as well; the section header is not.
        const int notEnough = text.indexOf(QStringLiteral("Not enough MOUNT_PORTS_RATING"));
        cursor.setPosition(notEnough + 15);
        QVERIFY(cursor.charFormat().isAnchor());
        cursor.setPosition(drive2 + 2);
        QVERIFY(!cursor.charFormat().isAnchor());

        QVERIFY2(!openDrillDown(&view, drive2 + 2, HealthReportKind::Drive, frame, run), "not a field name");
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 0);
        QVERIFY(openDrillDown(&view, field + 3, HealthReportKind::Drive, frame, run));
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 1);
        auto* graph = qobject_cast<CGraphWindow*>(frame.mdiArea()->subWindowList().front()->widget());
        QVERIFY(graph != nullptr);
        const std::shared_ptr<GraphState> state = graph->state();
        QTRY_VERIFY(state->flags().finished && state->flags().dataReady);
        const QStringList texts = drawnTexts(*state);
        QVERIFY2(texts.contains(QStringLiteral("IPAddress: 10.0.0.1 Frame: 1 Drive: 2  01-01-2020 to 12-07-2026")),
                 qPrintable(texts.join('|')));
        QVERIFY(texts.contains(QStringLiteral("MOUNT_DRIVE_RATING (last 10 mount moving average)")));
        // Drive 2's 101 newest points end at its newest rating, 2000: the scale tops out there.
        QVERIFY(texts.contains(QStringLiteral("2000")));
        QVERIFY(!texts.contains(QStringLiteral("2200")));

        dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
    }

    void theReportWindowMarksLinksAfterARunAndAClickOpensAGraph()
    {
        ScopedApp scoped;
        const TestBackend backend = testBackends().front();
        const std::string base = uniqueTableName("healthwin");
        scoped.useBackend(backend, base, 2);
        theApp().connected = true;
        QVERIFY(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password) == 1);
        for (int drive = 1; drive <= 12; ++drive)
            QVERIFY(insertMounts(backend, base, drive, 120));

        CMainFrame frame;
        registerWindowKinds(frame);
        frame.resize(1100, 800);
        frame.show();
        frame.action(CommandId::DriveHealth)->trigger();
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 1);
        auto* window = qobject_cast<CSplitterReport*>(frame.mdiArea()->subWindowList().front()->widget());
        QVERIFY(window != nullptr);
        QCOMPARE(window->windowKind(), ActiveWindowKind::FullReport);
        QSignalSpy filled(window->form(), &CDateForm::addressesFilled);
        QVERIFY(filled.wait(20000));
        window->form()->setChecked("10.0.0.1", true);
        window->form()->setDates("2020-01-01", "2026-12-07");

        // A run, then a click on drive 7's drive rating opens its graph.
        QTest::mouseClick(window->form()->generateButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window->workerRunning() && window->reportText().find("Done!") != std::string::npos,
                                 20000);
        QTextEdit* view = window->textView();
        const QString text = view->toPlainText();
        const int drive7 = text.indexOf(QStringLiteral("Frame: 1 Drive: 7 "));
        const int rating = text.indexOf(QStringLiteral("MOUNT_DRIVE_RATING"), drive7);
        QVERIFY(drive7 > 0 && rating > drive7);
        QTRY_VERIFY(isLink(view, rating + 4));
        QTextCursor at(view->document());
        at.setPosition(rating + 4);
        view->setTextCursor(at);
        view->ensureCursorVisible();
        const QPoint point = view->cursorRect(at).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
        QTRY_COMPARE(frame.mdiArea()->subWindowList().size(), 2);
        CGraphWindow* graph = nullptr;
        for (QMdiSubWindow* sub : frame.mdiArea()->subWindowList())
            if (auto* found = qobject_cast<CGraphWindow*>(sub->widget()))
                graph = found;
        QVERIFY(graph != nullptr);
        const std::shared_ptr<GraphState> state = graph->state();
        QTRY_VERIFY(state->flags().finished && state->flags().dataReady);
        QVERIFY(drawnTexts(*state).contains(
            QStringLiteral("IPAddress: 10.0.0.1 Frame: 1 Drive: 7  01-01-2020 to 12-07-2026")));

        frame.mdiArea()->closeAllSubWindows();
        QTRY_VERIFY(frame.mdiArea()->subWindowList().isEmpty());
        dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
    }
};

QTEST_MAIN(HealthReportLinksTest)
#include "HealthReportLinksTest.moc"
