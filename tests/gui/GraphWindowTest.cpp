#include "ScopedApp.h"
#include "app/CMainFrame.h"
#include "custom/BmpFile.h"
#include "custom/CGraphWindow.h"
#include "custom/GraphWindows.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

namespace {
std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

GraphData sampleData(std::size_t count)
{
    GraphData data;
    data.library = "10.0.0.7";
    data.title = "MOUNT_DRIVE_RATING";
    for (std::size_t i = 0; i < count; ++i) {
        data.values.push_back(static_cast<std::uint32_t>(10 + (i * 37) % 90));
        data.firstLabels.push_back("12-0" + std::to_string(i % 9 + 1) + "-2026");
        data.secondLabels.push_back("13:05:00");
    }
    return data;
}

int pixelsOfColour(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff) ? 1 : 0;
    return count;
}
} // namespace

class GraphWindowTest : public QObject {
    Q_OBJECT
private slots:
    // The drawing's font heights are character cells: a face painted taller would make the two
    // rows of point labels overlap and run off the bottom of the window. Every face the machine
    // has is sized to the largest pixel size that fits, whatever its leading and hinting make of
    // the size asked for.
    void fontsKeepTheDrawingsCellHeight()
    {
        for (int height = 8; height <= 64; height += 4) {
            const QFont font = graphFont(GraphFont{height, height / 2, 400});
            QVERIFY2(QFontMetrics(font).height() <= height, qPrintable(QString::number(height)));
            QVERIFY2(QFontMetrics(font).height() >= height - height / 4 - 1, qPrintable(QString::number(height)));
        }
        const QStringList families = QFontDatabase::families();
        QVERIFY(!families.isEmpty());
        for (const QString& family : families.mid(0, 12)) {
            for (int height : {7, 8, 9, 11, 13, 16, 24, 40}) {
                QFont face(family);
                const int size = fittedPixelSize(face, height);
                const QString where = family + QLatin1Char(' ') + QString::number(height);
                face.setPixelSize(size);
                QVERIFY2(QFontMetrics(face).height() <= height || size == 1, qPrintable(where));
                face.setPixelSize(size + 1);
                QVERIFY2(size == height || QFontMetrics(face).height() > height, qPrintable(where));
            }
        }
    }

    void captureWritesTheWindowAsATopDownBitmap()
    {
        ScopedApp scoped;
        TemporaryFolder folder;
        BarGraphView window;
        window.resize(640, 480);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.sink().SetReportData(sampleData(16));
        QTRY_VERIFY(window.state()->flags().dataReady);

        scoped.prompts.fileReplies = {folder.file("graph")};
        QVERIFY(window.save());
        const std::string path = folder.file("graph.bmp");
        const auto bytes = fileBytes(path);
        QCOMPARE(bytes.size(), std::size_t{54 + 1228800});
        BmpInfo info;
        QVERIFY(readBmpHeader(bytes, info));
        QCOMPARE(info.width, 640);
        QCOMPARE(info.height, -480);

        const QImage shown = window.capture();
        QCOMPARE(shown.size(), QSize(640, 480));
        QVERIFY2(pixelsOfColour(shown, qRgb(250, 14, 0)) > 100, "the bars are painted");
        // Pixels of the file against the window: corners, a bar's middle, the plot frame.
        const QPoint points[] = {{0, 0}, {639, 479}, {39 + 36 + 18, 420}, {39, 200}, {320, 72}, {600, 300}};
        for (const QPoint& p : points) {
            const std::size_t at = 54 + (static_cast<std::size_t>(p.y()) * 640 + static_cast<std::size_t>(p.x())) * 4;
            const QRgb expected = shown.pixel(p);
            QCOMPARE(int(bytes[at]), qBlue(expected));
            QCOMPARE(int(bytes[at + 1]), qGreen(expected));
            QCOMPARE(int(bytes[at + 2]), qRed(expected));
        }

        // PNG when the name says so.
        QVERIFY(window.writeCapture(folder.file("graph.png")));
        const QImage png(QString::fromStdString(folder.file("graph.png")));
        QCOMPARE(png.size(), QSize(640, 480));
        QCOMPARE(png.pixel(39 + 36 + 18, 420), shown.pixel(39 + 36 + 18, 420));

        // Cancelled dialog: nothing written.
        scoped.prompts.fileReplies = {std::nullopt};
        QVERIFY(!window.save());
    }

    void drillDownDrawsRatingsAndTrendInTheirColours()
    {
        CCGraphExampleView window;
        window.resize(700, 450);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.capture().isNull() || pixelsOfColour(window.capture(), qRgb(255, 0, 0)) == 0);
        std::vector<std::uint32_t> ratings, trend;
        for (std::uint32_t i = 0; i < 101; ++i) {
            ratings.push_back(40 + (i * 13) % 30);
            trend.push_back(50 + i / 10);
        }
        window.SetRatingsAndTrend("IPAddress: 10.0.0.7 Frame: 1 Drive: 2", "MOUNT_DRIVE_RATING", ratings, trend);
        QTRY_VERIFY(pixelsOfColour(window.capture(), qRgb(0, 0, 255)) > 50);
        QVERIFY(pixelsOfColour(window.capture(), qRgb(255, 0, 0)) > 50);
        QVERIFY2(window.state()->flags().finished, "no thread belongs to a drill-down graph");
    }

    // At the program's end a report thread may be waiting for the UI thread (a message box):
    // the window answers it before it joins the thread, so the exit never hangs.
    void exitAnswersAReportThreadThatWaitsForTheUiThread()
    {
        auto* window = new BarGraphView;
        std::atomic<bool> asking{false};
        bool answered = false;
        window->startReport([&](GraphState&) {
            asking = true;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [&] { answered = true; }, Qt::BlockingQueuedConnection);
        });
        while (!asking)
            std::this_thread::yield();
        window->stopForExit();
        QVERIFY(answered);
        delete window;
    }

    void closeWaitsForTheReportThreadAndDrawsNothingAfterwards()
    {
        ScopedApp scoped;
        CMainFrame frame;
        frame.resize(900, 700);
        frame.show();
        registerGraphWindows(frame);
        auto* window = static_cast<CGraphWindow*>(frame.openTemplate(LineGraphTemplate));
        QVERIFY(window != nullptr);
        QCOMPARE(window->windowKind(), ActiveWindowKind::Graph);
        QPointer<QMdiSubWindow> subWindow = qobject_cast<QMdiSubWindow*>(window->parentWidget());
        QVERIFY(subWindow);

        std::shared_ptr<GraphState> state = window->state();
        state->reportStarted();
        std::atomic<bool> sawClose{false};
        std::atomic<bool> mayFinish{false};
        std::thread report([state, &sawClose, &mayFinish] {
            // The report thread's check before its next statement.
            while (!state->closeRequested())
                std::this_thread::yield();
            sawClose = true;
            while (!mayFinish)
                std::this_thread::yield();
            state->SetReportData(sampleData(5)); // too late: the window is closing
            state->reportFinished();
        });

        subWindow->close();
        // The close waits, the window stays until the thread has ended...
        QTRY_VERIFY(sawClose.load());
        QCoreApplication::processEvents();
        QVERIFY2(subWindow && subWindow->isVisible(), "still open while the thread works");
        mayFinish = true;
        report.join();
        // ...and then goes without having taken the late data.
        QTRY_VERIFY(subWindow.isNull());
        QVERIFY(!state->flags().dataReady);
        QVERIFY(state->items(640, 480).empty());
        // The thread's state outlives the window: calls after it went touch no widget.
        state->reportFinished();
        QCoreApplication::processEvents();
    }
};

QTEST_MAIN(GraphWindowTest)
#include "GraphWindowTest.moc"
