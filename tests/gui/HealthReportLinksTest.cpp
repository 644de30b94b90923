#include "ScopedApp.h"
#include "app/CMainFrame.h"
#include "custom/CGraphWindow.h"
#include "custom/GraphWindows.h"
#include "db/Tables.h"
#include "reports/HealthReport.h"
#include "reports/HealthReportLinks.h"
#include "reports/ReportRunner.h"

#include <QMdiArea>
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
};

QTEST_MAIN(HealthReportLinksTest)
#include "HealthReportLinksTest.moc"
