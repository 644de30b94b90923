#include "ScopedApp.h"
#include "app/CMainFrame.h"
#include "app/WindowRegistry.h"
#include "db/Tables.h"
#include "query/CQueryData.h"
#include "query/CQueryDataSink.h"
#include "query/CQueryForm.h"
#include "query/CSortableHeaderCtrl.h"
#include "query/CSplitterFrame.h"
#include "query/QueryListModel.h"
#include "query/QueryRun.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>

namespace {
// Holds the worker at the large-result question until the test lets it go.
class GatedPrompts final : public UserPrompts {
public:
    explicit GatedPrompts(RecordingPrompts& recorder) : m_recorder(recorder) {}
    void showMessage(const std::string& text, MessageIcon icon) override { m_recorder.showMessage(text, icon); }
    bool askYesNo(const std::string&, MessageIcon) override
    {
        std::unique_lock lock(m_mutex);
        m_asked = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_released; });
        return true;
    }
    CredentialsReply askCredentials(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askOpenFileName(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askSaveFileName(const std::string&, const std::string&, const std::string&) override
    {
        return {};
    }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override
    {
        return {};
    }
    void setWaitCursor(bool) override {}

    bool asked()
    {
        std::lock_guard lock(m_mutex);
        return m_asked;
    }
    void release()
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

private:
    RecordingPrompts& m_recorder;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_asked = false;
    bool m_released = false;
};

void insertMounts(const TestBackend& backend, const std::string& table, int count)
{
    for (int first = 0; first < count; first += 500) {
        std::string sql = "INSERT INTO " + table
                          + " (ipAddress, Date, Time, Volser, Frame, Drive, Logical_Library, Mount_Host_Write) VALUES ";
        for (int i = first; i < std::min(count, first + 500); ++i)
            sql += (i == first ? "" : ", ") + std::string("('10.0.0.1', '2026-12-07', '13:05:00', 'V")
                   + std::to_string(100000 + i).substr(1) + "', " + std::to_string(i % 7) + ", " + std::to_string(i % 3)
                   + ", 'LL1', " + std::to_string(i) + ")";
        QVERIFY(executeSql(backend, sql));
    }
}

std::vector<std::string> columnTexts(const QueryListData& list, int column)
{
    std::vector<std::string> texts;
    for (int row = 0; row < list.rowCount(); ++row)
        texts.emplace_back(list.cell(row, column));
    return texts;
}

QPoint sectionCentre(const CSortableHeaderCtrl* header, int column)
{
    return QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
}

// Threads of this process.
int threadCount()
{
    return static_cast<int>(
        std::distance(std::filesystem::directory_iterator("/proc/self/task"), std::filesystem::directory_iterator()));
}

std::vector<TestBackend> availableBackends()
{
    std::vector<TestBackend> backends;
    for (const TestBackend& backend : testBackends())
        if (backend.available)
            backends.push_back(backend);
    return backends;
}
} // namespace

class QueryWindowTest : public QObject {
    Q_OBJECT
private slots:
    void formRowsAndTableChoice()
    {
        ScopedApp scoped;
        CSplitterFrame window;
        CQueryForm* form = window.form();
        QCOMPARE(window.windowTitle(), QStringLiteral("General SQL Query"));
        QCOMPARE(form->tableChoice()->currentText(), QStringLiteral("Mount History"));
        QCOMPARE(form->rowOperator(QueryRowId::IpAddress)->count(), 6);
        QCOMPARE(form->rowOperator(QueryRowId::Drive)->currentText(), QStringLiteral("="));
        QCOMPARE(form->rowValue(QueryRowId::IpAddress)->placeholderText(), QStringLiteral("Ex. '1.2.3.4'"));
        QVERIFY(form->rowValue(QueryRowId::Date) == nullptr);

        // Volser is typed in capitals.
        QTest::keyClicks(form->rowValue(QueryRowId::Volser), "ja%");
        QCOMPARE(form->rowValue(QueryRowId::Volser)->text(), QStringLiteral("JA%"));

        form->rowCheck(QueryRowId::Volser)->setChecked(true);
        form->rowCheck(QueryRowId::LogicalLibrary)->setChecked(true);
        form->tableChoice()->setCurrentIndex(1);
        for (QueryRowId id : {QueryRowId::Volser, QueryRowId::Frame, QueryRowId::Drive, QueryRowId::ElementAddress}) {
            QVERIFY(!form->rowCheck(id)->isChecked());
            QVERIFY(!form->rowCheck(id)->isEnabled());
            QVERIFY(!form->rowOperator(id)->isEnabled());
            QVERIFY(!form->rowValue(id)->isEnabled());
        }
        QVERIFY(form->rowCheck(QueryRowId::LogicalLibrary)->isChecked());
        QVERIFY(form->rowCheck(QueryRowId::Time)->isEnabled());
        form->tableChoice()->setCurrentIndex(0);
        QVERIFY(form->rowCheck(QueryRowId::Volser)->isEnabled());
        QVERIFY(!form->rowCheck(QueryRowId::Volser)->isChecked());

        // Not connected: the message, no run, the form as it was.
        QTest::mouseClick(form->queryButton(), Qt::LeftButton);
        QCOMPARE(scoped.prompts.messageTexts(), std::vector<std::string>{"ERROR: Not currently connected to database"});
        QVERIFY(form->lastRun() == nullptr);
        QVERIFY(!form->queryButton()->isHidden());
        QVERIFY(form->cancelButton()->isHidden());
        QCOMPARE(window.splitter()->orientation(), Qt::Vertical);
    }

    void queryFillsTheListAndSaveExports()
    {
        for (const TestBackend& backend : availableBackends()) {
            ScopedApp scoped;
            const std::string base = uniqueTableName("qwin");
            scoped.useBackend(backend, base, 2);
            QCOMPARE(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
            insertMounts(backend, base, 200);
            scoped.app().connected = true;

            CMainFrame frame;
            registerWindowKinds(frame);
            frame.show();
            frame.action(CommandId::GeneralSqlQuery)->trigger();
            auto* window = qobject_cast<CSplitterFrame*>(frame.activeChild());
            QVERIFY(window != nullptr);
            frame.updateCommands();
            QCOMPARE(frame.action(CommandId::Save)->text(), QStringLiteral("&Export Query..."));
            QCOMPARE(frame.action(CommandId::Save)->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));

            CQueryForm* form = window->form();
            form->rowCheck(QueryRowId::Frame)->setChecked(true);
            form->rowOperator(QueryRowId::Frame)->setCurrentText(QStringLiteral("<"));
            // Enter in a field is Query.
            QLineEdit* frameField = form->rowValue(QueryRowId::Frame);
            frameField->setFocus();
            QTest::keyClicks(frameField, "3");
            QTest::keyClick(frameField, Qt::Key_Return);
            QCOMPARE(form->generatedQuery()->toPlainText(), QStringLiteral("where frame < 3 "));
            QVERIFY(form->lastRun() != nullptr);
            QTRY_VERIFY_WITH_TIMEOUT(form->lastRun()->finished.load(), 20000);
            QTRY_VERIFY(!form->queryButton()->isHidden());
            QVERIFY(form->cancelButton()->isHidden());
            QCOMPARE(form->lastRun()->outcome.load(), GeneralQueryOutcome::Completed);

            CQueryData* list = window->list();
            // Frames 0, 1 and 2 of every seven mounts.
            QCOMPARE(list->listModel().rowCount(), 87);
            QTRY_COMPARE(frame.statusBar()->currentMessage(), QStringLiteral("87 rows"));
            QCOMPARE(list->listModel().columnCount(), 36);
            QVERIFY(list->updatesEnabled());
            QVERIFY(list->columnWidth(4) > 10);

            // Hide a column from the menu; the row number column cannot be hidden.
            auto menu = list->columnMenu();
            const QList<QAction*> items = menu->actions();
            QCOMPARE(items.size(), 36);
            QVERIFY(!items[0]->isEnabled());
            QVERIFY(items[0]->isChecked());
            const int hostWrite = 9;
            QCOMPARE(items[hostWrite]->text().toUpper(), QStringLiteral("MOUNT_HOST_WRITE"));
            items[hostWrite]->trigger();
            QVERIFY(list->isColumnHidden(hostWrite));
            QVERIFY(!list->columnMenu()->actions()[hostWrite]->isChecked());
            // The menu is a child of the list: it goes before the list does.
            menu.reset();

            // File > Save exports what is shown.
            TemporaryFolder folder;
            scoped.prompts.fileReplies = {folder.file("rows")};
            frame.action(CommandId::Save)->trigger();
            const std::string text = readWholeFile(folder.file("rows.csv"));
            QCOMPARE(std::count(text.begin(), text.end(), '\n'), 88L);
            const std::string header = text.substr(0, text.find("\r\n"));
            QVERIFY2(QString::fromStdString(header).toUpper().indexOf("MOUNT_HOST_WRITE") < 0, header.c_str());
            QVERIFY(QString::fromStdString(header).toUpper().startsWith("ROW,IPADDRESS,DATE,TIME,VOLSER,FRAME"));
            // File > Export Data does the same for this window.
            scoped.prompts.fileReplies = {folder.file("again.csv")};
            frame.action(CommandId::ExportData)->trigger();
            QCOMPARE(readWholeFile(folder.file("again.csv")), text);

            // Help follows the pane that has the focus.
            list->setFocus();
            QTRY_COMPARE(window->helpContext(), HelpContext::QueryList);
            form->rowValue(QueryRowId::Frame)->setFocus();
            QTRY_COMPARE(window->helpContext(), HelpContext::QueryForm);

            // A second window opens a step down and right of the first, with its own count.
            frame.action(CommandId::GeneralSqlQuery)->trigger();
            auto* second = qobject_cast<CSplitterFrame*>(frame.activeChild());
            QVERIFY(second != nullptr && second != window);
            const QPoint firstCorner = frame.mdiArea()->subWindowList()[0]->pos();
            const QPoint secondCorner = frame.mdiArea()->subWindowList()[1]->pos();
            QVERIFY(secondCorner.x() > firstCorner.x() && secondCorner.y() > firstCorner.y());
            QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("0 rows"));
            frame.mdiArea()->setActiveSubWindow(frame.mdiArea()->subWindowList()[0]);
            QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("87 rows"));

            frame.mdiArea()->closeAllSubWindows();
            QTRY_COMPARE(QueryRun::unjoinedCount(), 0);
            dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
        }
    }

    void cancelReturnsTheFormToIdle()
    {
        for (const TestBackend& backend : availableBackends()) {
            ScopedApp scoped;
            GatedPrompts gate(scoped.prompts);
            scoped.app().setPrompts(&gate);
            const std::string base = uniqueTableName("qcancel");
            scoped.useBackend(backend, base, 2);
            QCOMPARE(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
            insertMounts(backend, base, 10001);
            scoped.app().connected = true;
            {
                CSplitterFrame window;
                CQueryForm* form = window.form();
                QTest::mouseClick(form->queryButton(), Qt::LeftButton);
                QVERIFY(form->queryButton()->isHidden());
                QVERIFY(!form->cancelButton()->isHidden());
                // The worker has counted past 10000 rows and waits for the answer.
                QTRY_VERIFY_WITH_TIMEOUT(gate.asked(), 20000);
                QTest::mouseClick(form->cancelButton(), Qt::LeftButton);
                QVERIFY(!form->queryButton()->isHidden());
                QVERIFY(form->queryButton()->isEnabled());
                QVERIFY(form->cancelButton()->isHidden());
                gate.release();
                QTRY_VERIFY_WITH_TIMEOUT(form->lastRun()->finished.load(), 20000);
                QCOMPARE(form->lastRun()->outcome.load(), GeneralQueryOutcome::Cancelled);
                // Nothing the stopped run posted reaches the list: its thread is joined only
                // after everything it posted has been handled.
                QTRY_COMPARE(QueryRun::unjoinedCount(), 0);
                QCOMPARE(window.list()->listModel().rowCount(), 0);
                QCOMPARE(window.list()->listModel().columnCount(), 0);
                QVERIFY(window.list()->updatesEnabled());

                // A second run in the same window reads everything.
                scoped.app().setPrompts(&scoped.prompts);
                scoped.prompts.yesNoReplies = {true};
                QTest::mouseClick(form->queryButton(), Qt::LeftButton);
                QTRY_VERIFY_WITH_TIMEOUT(form->lastRun()->finished.load(), 30000);
                QTRY_VERIFY(!form->queryButton()->isHidden());
                QCOMPARE(window.list()->listModel().rowCount(), 10001);

                // Closing while a run is under way stops it without waiting for it.
                scoped.prompts.yesNoReplies = {true};
                QTest::mouseClick(form->queryButton(), Qt::LeftButton);
            }
            QTRY_COMPARE_WITH_TIMEOUT(QueryRun::unjoinedCount(), 0, 30000);
            dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
        }
    }

    void closingDuringAQueryNeverCrashesNorLeavesAThread()
    {
        for (const TestBackend& backend : availableBackends()) {
            ScopedApp scoped;
            const std::string base = uniqueTableName("qclose");
            scoped.useBackend(backend, base, 2);
            QCOMPARE(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
            insertMounts(backend, base, 3000);
            scoped.app().connected = true;

            CMainFrame frame;
            registerWindowKinds(frame);
            frame.show();
            // One run to the end first: threads the platform starts once (for fonts, for
            // example) are then counted in the number to come back to.
            frame.action(CommandId::GeneralSqlQuery)->trigger();
            QTest::mouseClick(qobject_cast<CSplitterFrame*>(frame.activeChild())->form()->queryButton(),
                              Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<CSplitterFrame*>(frame.activeChild())->form()->lastRun()->finished,
                                     20000);
            frame.mdiArea()->activeSubWindow()->close();
            QTRY_COMPARE(QueryRun::unjoinedCount(), 0);
            const int threadsBefore = threadCount();
            // Close points spread over connecting, counting, reading and posting rows: a
            // random number of event rounds with a random pause, then the window goes.
            std::mt19937 random(20261208);
            int closedWhileRunning = 0;
            for (int attempt = 0; attempt < 200; ++attempt) {
                frame.action(CommandId::GeneralSqlQuery)->trigger();
                auto* window = qobject_cast<CSplitterFrame*>(frame.activeChild());
                QVERIFY(window != nullptr);
                QTest::mouseClick(window->form()->queryButton(), Qt::LeftButton);
                const std::shared_ptr<QueryRun> run = window->form()->lastRunShared();
                QVERIFY(run != nullptr);
                const int rounds = static_cast<int>(random() % 40);
                for (int round = 0; round < rounds; ++round) {
                    QCoreApplication::processEvents();
                    std::this_thread::sleep_for(std::chrono::microseconds(random() % 2000));
                }
                if (!run->finished)
                    ++closedWhileRunning;
                // Closed as the user closes it: the sub-window and the window both delete
                // themselves.
                frame.mdiArea()->activeSubWindow()->close();
            }
            QTRY_COMPARE_WITH_TIMEOUT(QueryRun::unjoinedCount(), 0, 60000);
            QVERIFY(frame.mdiArea()->subWindowList().isEmpty());
            QVERIFY2(closedWhileRunning > 20, std::to_string(closedWhileRunning).c_str());
            QTRY_VERIFY2(
                threadCount() <= threadsBefore,
                (std::to_string(threadCount()) + " threads, " + std::to_string(threadsBefore) + " before").c_str());
            dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
        }
    }

    void cancelCancelsTheStatementAtTheDatabase()
    {
        const TestBackend backend = testBackends().back();
        if (backend.name != "PostgreSQL" || !backend.available)
            QSKIP("needs the PostgreSQL server of the test script");
        ScopedApp scoped;
        const std::string base = uniqueTableName("qsleep");
        scoped.useBackend(backend, base, 2);
        QCOMPARE(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
        insertMounts(backend, base, 5);
        scoped.app().connected = true;
        const std::string sleeping = "SELECT COUNT(*) FROM pg_stat_activity WHERE state = 'active' AND query LIKE "
                                     "'%pg_sleep(30.5)%' AND query NOT LIKE '%pg_stat_activity%'";
        {
            CSplitterFrame window;
            CQueryForm* form = window.form();
            form->rowCheck(QueryRowId::Frame)->setChecked(true);
            form->rowOperator(QueryRowId::Frame)->setCurrentText(QStringLiteral(">"));
            form->rowValue(QueryRowId::Frame)->setText(QStringLiteral("0 and pg_sleep(30.5) is not null"));
            QTest::mouseClick(form->queryButton(), Qt::LeftButton);
            const std::shared_ptr<QueryRun> sleeper = form->lastRunShared();
            // The server is running the statement.
            QTRY_VERIFY_WITH_TIMEOUT(querySql(backend, sleeping)[0][0].value_or("") == "1", 20000);

            const auto pressed = std::chrono::steady_clock::now();
            QTest::mouseClick(form->cancelButton(), Qt::LeftButton);
            const auto idleAfter = std::chrono::steady_clock::now() - pressed;
            QVERIFY(!form->queryButton()->isHidden() && form->queryButton()->isEnabled());
            QVERIFY(form->cancelButton()->isHidden());
            QVERIFY2(idleAfter < std::chrono::milliseconds(500),
                     std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(idleAfter).count()).c_str());

            // Query again at once: a new run starts without waiting for the cancelled one.
            form->rowCheck(QueryRowId::Frame)->setChecked(false);
            QTest::mouseClick(form->queryButton(), Qt::LeftButton);
            QVERIFY(form->lastRun() != sleeper.get());
            QVERIFY(!form->cancelButton()->isHidden());
            QTRY_VERIFY_WITH_TIMEOUT(form->lastRun()->finished.load(), 20000);
            QTRY_COMPARE(window.list()->listModel().rowCount(), 5);

            // The server ended the statement long before its 30 seconds: it was cancelled.
            QTRY_VERIFY_WITH_TIMEOUT(sleeper->finished.load(), 10000);
            QCOMPARE(sleeper->outcome.load(), GeneralQueryOutcome::Cancelled);
            QVERIFY(querySql(backend, sleeping)[0][0].value_or("") == "0");
            QVERIFY(scoped.logText().find("SQLSTATE: 57014") != std::string::npos);
            QVERIFY(scoped.prompts.messages().empty());
        }
        QTRY_COMPARE(QueryRun::unjoinedCount(), 0);
        dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
    }

    void headerClicksSort()
    {
        ScopedApp scoped;
        CQueryData list;
        list.resize(600, 300);
        list.show();
        list.addColumn("ROW");
        list.addColumn("FRAME");
        list.addColumn("VOLSER");
        list.addNumericColumn(0);
        list.addNumericColumn(1);
        list.addRows({{"1", "10", "b"}, {"2", "9", "A"}, {"3", "", "a"}});
        list.sizeColumns();
        CSortableHeaderCtrl* header = list.sortableHeader();
        const int plainWidth = list.columnWidth(1);

        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sectionCentre(header, 1));
        QCOMPARE(columnTexts(list.listData(), 1), (std::vector<std::string>{"", "9", "10"}));
        QCOMPARE(header->markedColumn(), 1);
        QCOMPARE(list.columnWidth(1), plainWidth + CSortableHeaderCtrl::SortMarkWidth);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sectionCentre(header, 1));
        QCOMPARE(columnTexts(list.listData(), 1), (std::vector<std::string>{"10", "9", ""}));
        QVERIFY(!list.listData().sortMark().ascending);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sectionCentre(header, 1));
        QCOMPARE(columnTexts(list.listData(), 1), (std::vector<std::string>{"", "9", "10"}));

        // Ctrl adds VOLSER as a minor key.
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::ControlModifier, sectionCentre(header, 2));
        QCOMPARE(list.listData().sortKeys(), (std::vector<int>{1, 2}));
        QCOMPARE(header->markedColumn(), 2);
        // The mark moved on, and its room with it.
        QCOMPARE(list.columnWidth(1), plainWidth);

        // Dividers cannot be dragged.
        QCOMPARE(header->sectionResizeMode(1), QHeaderView::Fixed);
    }

    void cellColouringShowsAsBackground()
    {
        struct RedTens : QueryCellColouring {
            CellShade shadeFor(const std::string& title, std::string_view text) const override
            {
                return title == "LIFE_READ_PERMS" && text == "10" ? CellShade::Red : CellShade::Default;
            }
        };
        CQueryData list;
        list.addColumn("ROW");
        list.addColumn("LIFE_READ_PERMS");
        list.addRows({{"1", "10"}, {"2", "3"}});
        list.setCellColouring(std::make_shared<RedTens>());
        const QAbstractItemModel& model = list.listModel();
        QCOMPARE(model.data(model.index(0, 1), Qt::BackgroundRole).value<QColor>(), QColor(255, 0, 0));
        QVERIFY(!model.data(model.index(1, 1), Qt::BackgroundRole).isValid());
    }
};

QTEST_MAIN(QueryWindowTest)
#include "QueryWindowTest.moc"
