// File > Import.. and the start-up import in the window: the lines are stored off the UI thread
// while a progress dialog shows how far the import has come, Cancel stops it after the chunk
// being stored, and the main window's exit never loses or doubles a row.

#include "ScopedApp.h"
#include "app/CMainFrame.h"
#include "db/Tables.h"
#include "library/ImportRun.h"
#include "library/ImportTexts.h"
#include "library/StartupImport.h"

#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <mutex>
#include <regex>

namespace {
// A saved mount history file of that many data lines, each of its own volser.
std::string writeMountHistory(const TemporaryFolder& folder, const std::string& name, int lines)
{
    std::string bytes = "Mount History,Library,SIM" + std::string(33, ',')
                        + "\nFrames,4\nRecord,Mount\nTime Stamp\n"
                          "Mount Time,Volser\n";
    for (int index = 0; index < lines; ++index) {
        bytes += "2009__04__28__" + std::to_string(10 + index / 60 % 10) + "." + std::to_string(10 + index % 50) + ",W"
                 + std::to_string(100000 + index) + ",_4,_2,ARCHIVE,__267,0,0";
        for (int counter = 9; counter <= 36; ++counter)
            bytes += "," + std::to_string(counter);
        bytes += "\n";
    }
    std::string path = folder.file(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string writePerformance(const TemporaryFolder& folder, const std::string& name)
{
    std::string bytes = "Library Statistics,Library,SIM" + std::string(8, ',')
                        + "\nInterval\nLogical Libraries\nTime Stamp\nUnits\nDate and Time,Logical Library\n";
    for (int hour = 0; hour < 5; ++hour)
        bytes += "2009_04_28_" + std::to_string(10 + hour) + ":00,LL1,__2693,__1502,___2,_25,_23,__0,__0,__0,__0\n";
    std::string path = folder.file(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// Holds the worker after its first chunk until the test lets it go (at the latest when the
// gate goes, so that a failed check never leaves a worker waiting).
class ChunkGate {
public:
    ~ChunkGate() { open(); }
    // For ImportOptions::progress: called on the worker thread after every chunk. It keeps
    // what it waits on, whenever the gate goes.
    std::function<void(const ImportProgress&)> hold()
    {
        return [opened = m_opened, chunks = std::make_shared<std::atomic<int>>(0)](const ImportProgress&) {
            if ((*chunks)++ == 0)
                opened.wait();
        };
    }
    void open()
    {
        std::call_once(m_once, [this] { m_release.set_value(); });
    }

private:
    std::promise<void> m_release;
    std::shared_future<void> m_opened = m_release.get_future().share();
    std::once_flag m_once;
};

QProgressDialog* importDialog(const CMainFrame& frame)
{
    return frame.findChild<QProgressDialog*>(QStringLiteral("ImportProgress"));
}

// The "N lines of the file are stored" of a cancelled import's message, -1 without one.
long long storedCount(const std::string& text)
{
    std::smatch match;
    if (std::regex_search(text, match, std::regex("Import cancelled: ([0-9]+) lines of the file are stored")))
        return std::stoll(match[1]);
    if (std::regex_search(text, match, std::regex("Inserted ([0-9]+) new entries")))
        return std::stoll(match[1]);
    return -1;
}
} // namespace

class ImportWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_scoped = std::make_unique<ScopedApp>();
        m_backend = testBackends().front();
        m_base = uniqueTableName("impwin");
        m_scoped->useBackend(m_backend, m_base);
        QCOMPARE(createTables(m_base, "DEFAULT", m_backend.dsn, m_backend.user, m_backend.password), 1);
    }
    void cleanup()
    {
        dropTables(m_base, m_backend.dsn, m_backend.user, m_backend.password, nullptr);
        m_scoped.reset();
    }

    void progressIsShownAndCancelStopsAfterTheChunk()
    {
        TemporaryFolder folder;
        const std::string path = writeMountHistory(folder, "year.csv", 200);
        CMainFrame frame;
        frame.show();
        ChunkGate gate;
        ImportOptions options;
        options.store.linesPerChunk = 20;
        options.progress = gate.hold();
        m_scoped->prompts.fileReplies.push_back(path);
        m_scoped->prompts.textReplies.push_back("10.0.0.9");
        runImportInWindow(frame, options);

        // The first chunk is stored and the dialog says so while the window goes on answering.
        QProgressDialog* dialog = importDialog(frame);
        QVERIFY(dialog != nullptr);
        QTRY_VERIFY(dialog->labelText().contains(QStringLiteral("20 stored")));
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Import Data"));
        QCOMPARE(dialog->labelText(), QStringLiteral("year.csv\nImporting: 25 lines read, 20 stored, %1% of the file")
                                          .arg(dialog->findChild<QProgressBar*>()->value()));
        QVERIFY(dialog->findChild<QProgressBar*>()->value() > 0);
        QCOMPARE(frame.cursor().shape(), Qt::ArrowCursor);
        if (const QByteArray hold = qgetenv("VAULTLINE_SCREENSHOT_HOLD_MS"); !hold.isEmpty()) {
            frame.resize(900, 600);
            QTest::qWait(hold.toInt());
        }

        // Cancel: the dialog stays, saying so, until the worker has ended.
        auto* cancel = dialog->findChild<QPushButton*>();
        QVERIFY(cancel != nullptr);
        cancel->click();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->labelText(), QString::fromLatin1(import_texts::Stopping));
        QVERIFY(!cancel->isEnabled());
        gate.open();
        QTRY_VERIFY(!m_scoped->prompts.messageTexts().empty());
        QCOMPARE(m_scoped->prompts.messageTexts(),
                 std::vector<std::string>{"Import cancelled: 20 lines of the file are stored (20 of them new "
                                          "entries).\nImporting the file again stores the rest."});
        QVERIFY(importDialog(frame) == nullptr);
        QCOMPARE(countRows(m_backend, m_scoped->app().settings.mountHistoryTableName), 20LL);

        // Imported again, to its end: the rest, nothing twice.
        m_scoped->prompts.fileReplies.push_back(path);
        m_scoped->prompts.textReplies.push_back("10.0.0.9");
        runImportInWindow(frame, ImportOptions{{.linesPerChunk = 20}, {}, {}});
        QTRY_COMPARE(m_scoped->prompts.messageTexts().size(), std::size_t{2});
        QCOMPARE(m_scoped->prompts.messageTexts().back(),
                 "Inserted 180 new entries from Mount History file into database");
        QCOMPARE(countRows(m_backend, m_scoped->app().settings.mountHistoryTableName), 200LL);
    }

    void theMainWindowsExitStopsTheImportAndKeepsEveryStoredRowOnce()
    {
        TemporaryFolder folder;
        const std::string path = writeMountHistory(folder, "long.csv", 2000);
        const std::string table = m_scoped->app().settings.mountHistoryTableName;
        {
            CMainFrame frame;
            frame.show();
            ChunkGate gate;
            ImportOptions options;
            options.store.linesPerChunk = 20;
            options.progress = gate.hold();
            m_scoped->prompts.fileReplies.push_back(path);
            m_scoped->prompts.textReplies.push_back("10.0.0.9");
            runImportInWindow(frame, options);
            QTRY_VERIFY(importDialog(frame) != nullptr
                        && importDialog(frame)->labelText().contains(QStringLiteral("20 stored")));

            // The worker goes on as the window closes: the exit stops it after its chunk.
            gate.open();
            m_scoped->prompts.yesNoReplies.push_back(true);
            QVERIFY(frame.close());
            QVERIFY(importDialog(frame) == nullptr);
        }
        // No message box at the exit; the debug log says what was stored, and so does the table.
        QVERIFY(m_scoped->prompts.messageTexts().empty());
        const std::string log = m_scoped->logText();
        const std::size_t said = log.find("Import stopped by the exit: ");
        QVERIFY2(said != std::string::npos, log.c_str());
        const long long stored = storedCount(log.substr(said));
        QVERIFY(stored >= 20);
        QCOMPARE(countRows(m_backend, table), stored);

        // The next import stores the rest, every line once.
        CMainFrame frame;
        m_scoped->prompts.fileReplies.push_back(path);
        m_scoped->prompts.textReplies.push_back("10.0.0.9");
        runImportInWindow(frame);
        QTRY_COMPARE(m_scoped->prompts.messageTexts().size(), std::size_t{1});
        QCOMPARE(storedCount(m_scoped->prompts.messageTexts().front()), 2000 - stored);
        QCOMPARE(countRows(m_backend, table), 2000LL);
        QCOMPARE(querySql(m_backend, "select count(distinct volser) from " + table).front().front(),
                 std::optional<std::string>("2000"));
    }

    void startupImportMarksOnlyAWholeYearAndThenConnects()
    {
        TemporaryFolder folder;
        const StartupImport request{
            {writeMountHistory(folder, "mount_history.csv", 100), writePerformance(folder, "library_statistics.csv")},
            "127.0.0.1:1",
            folder.file("imported")};
        const std::string performanceTable = m_scoped->app().settings.libraryPerformanceTableName;
        CMainFrame frame;
        frame.show();

        // Cancelled in the first file: the second is not imported, no mark, and the program goes on.
        {
            ChunkGate gate;
            ImportOptions options;
            options.store.linesPerChunk = 20;
            options.progress = gate.hold();
            int nexts = 0;
            runStartupImport(
                frame, request, [&nexts] { ++nexts; }, options);
            QTRY_VERIFY(importDialog(frame) != nullptr
                        && importDialog(frame)->labelText().startsWith(QStringLiteral("mount_history.csv\n")));
            QTRY_VERIFY(importDialog(frame)->labelText().contains(QStringLiteral("20 stored")));
            importDialog(frame)->findChild<QPushButton*>()->click();
            gate.open();
            QTRY_COMPARE(nexts, 1);
            QCOMPARE(m_scoped->prompts.messageTexts().size(), std::size_t{1});
            QVERIFY(m_scoped->prompts.messageTexts().front().starts_with("Import cancelled: 20 lines"));
            QCOMPARE(countRows(m_backend, performanceTable), 0LL);
            QVERIFY(!std::filesystem::exists(request.markPath));
        }

        // Both files stored: the mark is there before the messages are shown, then the program goes on.
        bool markedBeforeNext = false;
        int nexts = 0;
        runStartupImport(frame, request, [&] {
            markedBeforeNext = std::filesystem::exists(request.markPath);
            ++nexts;
        });
        QTRY_COMPARE(nexts, 1);
        QVERIFY(markedBeforeNext);
        QCOMPARE(m_scoped->prompts.messageTexts(),
                 (std::vector<std::string>{m_scoped->prompts.messageTexts().front(),
                                           "Inserted 80 new entries from Mount History file into database",
                                           "Inserted 5 new entries from Library Performance file into database"}));
        QCOMPARE(countRows(m_backend, performanceTable), 5LL);
    }

private:
    std::unique_ptr<ScopedApp> m_scoped;
    TestBackend m_backend;
    std::string m_base;
};

QTEST_MAIN(ImportWindowTest)
#include "ImportWindowTest.moc"
