// Monitor and drive status windows against the simulated library program on loopback.

#include "ScopedApp.h"
#include "app/CMainFrame.h"
#include "db/Tables.h"
#include "library/CDriveInfoFetch.h"
#include "library/CDriveStatus.h"
#include "library/CQmxView.h"
#include "library/DriveStatusDownload.h"
#include "library/MonitorFormat.h"
#include "library/MonitorTexts.h"
#include "app/TimeFormat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <fstream>
#include <memory>

using namespace std::chrono_literals;

namespace {
// The simulator program from this build tree, started with the given switches; it ends with
// the test program, when its standard input closes, even if the test dies first.
class SimulatedLibrary {
public:
    explicit SimulatedLibrary(const QStringList& switches)
    {
        const QString program = QCoreApplication::applicationDirPath() + "/../tools/libsim/vaultline-libsim";
        m_process.start(program, QStringList{"--port", "0", "--days", "2", "--end", "2024-06-03 08:00", "--stop-at-eof"}
                                     + switches);
        if (m_process.waitForStarted(5000) && m_process.waitForReadyRead(5000)) {
            const QString first = QString::fromLatin1(m_process.readLine()).trimmed();
            if (first.startsWith(QLatin1String("listening ")))
                m_address = first.mid(10).toStdString();
        }
    }
    ~SimulatedLibrary()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }
    const std::string& address() const { return m_address; }

private:
    QProcess m_process;
    std::string m_address;
};

MonitorOptions quickOptions()
{
    MonitorOptions options;
    options.periods.firstMountHistory = 20ms;
    options.periods.mountHistory = 700ms;
    options.periods.mountHistoryGuard = 700ms;
    options.periods.firstLibraryPerformance = 3600s;
    options.periods.retry = 300ms;
    return options;
}

int count(const QString& text, const QString& part)
{
    return text.count(part);
}
} // namespace

class MonitorWindowTest : public QObject {
    Q_OBJECT
private slots:
    void twoCyclesAppearInTheWindowAndSaveWritesTheLog()
    {
        ScopedApp scoped;
        const TestBackend backend = testBackends().front();
        const std::string base = uniqueTableName("monwin");
        scoped.useBackend(backend, base);
        QCOMPARE(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
        SimulatedLibrary library({});
        QVERIFY(!library.address().empty());

        CMainFrame frame;
        frame.show();
        auto* view = new CQmxView(library.address(), quickOptions());
        frame.addChildWindow(view, QString());
        view->startMonitoring();
        QCOMPARE(view->windowTitle(), QString::fromStdString(library.address()));
        frame.updateCommands();
        QCOMPARE(frame.monitorPane()->text(), QStringLiteral("Monitor 1"));
        QTRY_VERIFY_WITH_TIMEOUT(count(view->textView()->toPlainText(), "from Mount History file into database") >= 2,
                                 20000);
        const QString shown = view->textView()->toPlainText();
        QVERIFY(shown.startsWith("Starting Monitor on Tape Library " + QString::fromStdString(library.address())));
        QVERIFY(shown.contains("Inserted 0 new entries from Mount History file into database"));
        QVERIFY(!shown.contains('\r'));
        if (const QByteArray hold = qgetenv("VAULTLINE_SCREENSHOT_HOLD_MS"); !hold.isEmpty())
            QTest::qWait(hold.toInt());

        // Save writes the log as the window holds it, with its "\r\n" line ends.
        TemporaryFolder folder;
        scoped.prompts.fileReplies.push_back(folder.file("log.txt"));
        QVERIFY(view->save());
        QCOMPARE(scoped.prompts.dialogTitles().back(), "Save monitor log of " + library.address());
        std::ifstream saved(folder.file("log.txt"), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
        QCOMPARE(text.substr(0, text.find("\r\n\r\n") + 4),
                 "Starting Monitor on Tape Library " + library.address() + "\r\n\r\n");

        // Closing the main window stops the monitor without asking about it.
        scoped.prompts.yesNoReplies.push_back(true);
        QVERIFY(frame.close());
        QCOMPARE(scoped.prompts.questions().size(), std::size_t{1});
        // The window goes with the next turn of the event loop, and its count with it.
        QTRY_COMPARE(scoped.app().activeMonitors.load(), 0);
        dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
    }

    void theStampedLinesFitAndTheNewestStayInView()
    {
        ScopedApp scoped;
        const std::string address = "192.168.100.200:18080";
        CMainFrame frame;
        auto* view = new CQmxView(address, MonitorOptions{});
        // Room for the window as it asks to be, whatever this machine's fixed-pitch font.
        frame.resize(view->sizeHint().width() + 200, 720);
        frame.show();
        frame.addChildWindow(view, QString());
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        for (int cycle = 0; cycle < 40; ++cycle) {
            view->writeLine(formatMonitorText(monitor_texts::GettingLibraryPerformance, address.c_str(),
                                              formatLocalTime(StampFormat, std::time(nullptr)).c_str()));
            view->writeLine(formatMonitorText(monitor_texts::InsertedLibraryPerformance, cycle));
        }
        QTextEdit* log = view->textView();
        // No line is cut at the default size: nothing to scroll sideways.
        QTRY_VERIFY(log->verticalScrollBar()->maximum() > 0);
        QCOMPARE(log->horizontalScrollBar()->maximum(), 0);
        // The last lines are the ones in view.
        QCOMPARE(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
        const QTextCursor bottom = log->cursorForPosition(QPoint(60, log->viewport()->height() - 60));
        QVERIFY2(bottom.blockNumber() >= log->document()->blockCount() - 4, qPrintable(bottom.block().text()));
    }

    void closingDuringASlowDownloadReturnsWithinTwoSeconds()
    {
        ScopedApp scoped;
        SimulatedLibrary library({"--stall-after", "2000", "--stall-file", "LIBLG_01_CS.bin"});
        QVERIFY(!library.address().empty());
        auto view = std::make_unique<CQmxView>(library.address(), quickOptions());
        view->show();
        view->startMonitoring();
        QTRY_VERIFY_WITH_TIMEOUT(view->textView()->toPlainText().contains("Getting Mount History file from"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(view->engine().mountHistoryInProgress(), 5000);

        // No keeps the monitor running.
        scoped.prompts.yesNoReplies.push_back(false);
        QVERIFY(!view->close());
        QVERIFY(!view->engine().stopRequested());
        QCOMPARE(scoped.prompts.questions().back(),
                 "Are you sure you would like to stop monitoring on tape library " + library.address() + "?");

        scoped.prompts.yesNoReplies.push_back(true);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(view->close());
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(view->engine().busy(), 0);
        const QString atClose = view->textView()->toPlainText();
        QTest::qWait(300); // lines posted before the stop must not land afterwards either
        QCOMPARE(view->textView()->toPlainText(), atClose);
        view.reset();
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(scoped.app().activeMonitors.load(), 0);
    }

    void driveStatusWindowShowsEveryDriveInEightColumns()
    {
        ScopedApp scoped;
        SimulatedLibrary library({"--drives", "7"});
        QVERIFY(!library.address().empty());
        const auto drives = fetchDriveStatus(library.address());
        QVERIFY(drives.has_value());
        CDriveStatus window(library.address(), *drives);
        QCOMPARE(window.windowTitle(), "Drive Status for Tape Library " + QString::fromStdString(library.address()));
        QTableWidget* list = window.list();
        QCOMPARE(list->columnCount(), 8);
        QCOMPARE(list->horizontalHeaderItem(0)->text(), QStringLiteral("Frame"));
        QCOMPARE(list->horizontalHeaderItem(7)->text(), QStringLiteral("Scratch Encryption Policy"));
        QCOMPARE(list->rowCount(), 7);
        for (int row = 0; row < list->rowCount(); ++row)
            for (int column = 0; column < 8; ++column)
                QVERIFY(list->item(row, column) != nullptr && !list->item(row, column)->text().isEmpty());
        if (const QByteArray hold = qgetenv("VAULTLINE_SCREENSHOT_HOLD_MS"); !hold.isEmpty()) {
            window.resize(900, 300);
            window.show();
            QTest::qWait(hold.toInt());
        }

        // A library that is not there, and one without the file.
        const std::string gone = library.address().substr(0, library.address().find(':')) + ":1";
        QVERIFY(!fetchDriveStatus(gone).has_value());
        QCOMPARE(scoped.prompts.messageTexts().back(), std::string("No IP address entered."));
        SimulatedLibrary noFile({"--http-status", "LIBLG_00_MR.bin=404"});
        QVERIFY(!fetchDriveStatus(noFile.address()).has_value());
        QCOMPARE(scoped.prompts.messageTexts().back(), std::string("Problem getting the MRPD file"));
    }

    void driveInfoDownloadsOffTheUiThreadAndCancels()
    {
        ScopedApp scoped;
        CMainFrame frame;
        // A library that sends its drive status two bytes a second.
        SimulatedLibrary slow({"--fault", "drip?rate=2&file=LIBLG_00_MR.bin"});
        QVERIFY(!slow.address().empty());
        auto* fetch = new CDriveInfoFetch(frame, slow.address());
        QSignalSpy finished(fetch, &CDriveInfoFetch::finished);
        fetch->start();
        QVERIFY(fetch->progress()->isVisible());
        QCOMPARE(frame.cursor().shape(), Qt::WaitCursor);
        if (const QByteArray hold = qgetenv("VAULTLINE_SCREENSHOT_HOLD_MS"); !hold.isEmpty()) {
            frame.resize(900, 600);
            frame.show();
            QTest::qWait(hold.toInt());
        }
        // The UI thread goes on with its events meanwhile.
        bool answered = false;
        QTimer::singleShot(0, &frame, [&answered] { answered = true; });
        QTRY_VERIFY(answered);
        QVERIFY(finished.isEmpty());

        QElapsedTimer timer;
        timer.start();
        auto* cancel = fetch->progress()->findChild<QPushButton*>();
        QVERIFY(cancel != nullptr);
        QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
        cancel->click();
        QCOMPARE(frame.cursor().shape(), Qt::ArrowCursor);
        QVERIFY(finished.wait(5000));
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(finished.first().first().value<QWidget*>(), nullptr);
        QVERIFY(scoped.prompts.messageTexts().empty());
        QVERIFY(frame.mdiArea()->subWindowList().isEmpty());

        // The demonstration library answers: the window opens with all its 32 drives, the last
        // in frame 5.
        SimulatedLibrary quick({"--demo"});
        fetch = new CDriveInfoFetch(frame, quick.address());
        QSignalSpy opened(fetch, &CDriveInfoFetch::finished);
        fetch->start();
        QVERIFY(opened.wait(20000));
        auto* window = qobject_cast<CDriveStatus*>(opened.first().first().value<QWidget*>());
        QVERIFY(window != nullptr);
        QCOMPARE(window->list()->rowCount(), 32);
        QCOMPARE(window->list()->item(31, 0)->text(), QStringLiteral("5"));
        QVERIFY(!window->list()->item(31, 7)->text().isEmpty());
        QCOMPARE(frame.cursor().shape(), Qt::ArrowCursor);

        // The main window going while a download drips: it is cancelled, not waited out.
        fetch = new CDriveInfoFetch(frame, slow.address());
        fetch->start();
        timer.restart();
        delete fetch;
        QVERIFY(timer.elapsed() < 2000);
    }
};

QTEST_MAIN(MonitorWindowTest)
#include "MonitorWindowTest.moc"
