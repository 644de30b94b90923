#include "ScopedApp.h"
#include "app/TimeFormat.h"
#include "library/Download.h"
#include "library/MonitorEngine.h"
#include "library/MonitorScheduler.h"
#include "library/MonitorSink.h"
#include "library/MonitorTimerThread.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace {
// A loopback port that nothing listens on: bound for a moment, then let go.
int closedLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// Timers that fire only when the test says so; every arming and killing is kept.
class ManualScheduler final : public MonitorScheduler {
public:
    struct Record {
        std::mutex mutex;
        std::vector<std::pair<int, long long>> armed; // id, period in ms
        std::vector<int> killed;
        bool stopped = false;
    };
    explicit ManualScheduler(Record& record) : m_record(record) {}
    void setHandler(Handler) override {}
    void arm(int timerId, std::chrono::milliseconds period) override
    {
        std::lock_guard lock(m_record.mutex);
        if (!m_record.stopped)
            m_record.armed.emplace_back(timerId, period.count());
    }
    void kill(int timerId) override
    {
        std::lock_guard lock(m_record.mutex);
        m_record.killed.push_back(timerId);
    }
    void stop() override
    {
        std::lock_guard lock(m_record.mutex);
        m_record.stopped = true;
    }

private:
    Record& m_record;
};

class LineBuffer final : public MonitorSink {
public:
    void writeMonitorLine(const std::string& text) override
    {
        std::lock_guard lock(m_mutex);
        m_lines.push_back(text);
    }
    std::vector<std::string> lines() const
    {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

bool waitUntilIdle(const MonitorEngine& engine)
{
    for (int step = 0; step < 200; ++step) {
        if (engine.busy() == 0)
            return true;
        std::this_thread::sleep_for(25ms);
    }
    return false;
}
} // namespace

TEST(MonitorEngine, UnreachableLibraryIsCheckedAgainEveryRetryPeriodAndCountsAsActive)
{
    ScopedApp scoped;
    ManualScheduler::Record record;
    LineBuffer sink;
    const std::string address = "127.0.0.1:" + std::to_string(closedLoopbackPort());
    MonitorOptions options;
    options.periods.retry = 250ms;
    options.clock = [] { return std::time_t{1240933560}; };
    const std::string stamp = formatLocalTime(StampFormat, 1240933560);
    {
        MonitorEngine engine(address, sink, options, std::make_unique<ManualScheduler>(record));
        engine.start();
        EXPECT_EQ(theApp().activeMonitors.load(), 1);
        ASSERT_TRUE(waitUntilIdle(engine));
        engine.onTimer(MonitorEngine::TIMER_RETRY_CHECK);
        ASSERT_TRUE(waitUntilIdle(engine));
        EXPECT_FALSE(engine.ovisEnabled());
    }
    EXPECT_EQ(theApp().activeMonitors.load(), 0);

    const std::string notResponding =
        "The IP address " + address + " is either invalid or not responding on " + stamp + "\n";
    EXPECT_EQ(sink.lines(), (std::vector<std::string>{"Starting Monitor on Tape Library " + address + "\r\n",
                                                      notResponding, notResponding}));
    // Only the retry timer: no cycle is armed for a library that never answered.
    EXPECT_EQ(record.armed, (std::vector<std::pair<int, long long>>{{2, 250}, {2, 250}}));
}

TEST(MonitorEngine, NothingIsWrittenOrStartedOnceAStopIsRequested)
{
    ScopedApp scoped;
    ManualScheduler::Record record;
    LineBuffer sink;
    MonitorEngine engine("127.0.0.1:" + std::to_string(closedLoopbackPort()), sink, {},
                         std::make_unique<ManualScheduler>(record));
    engine.requestStop();
    engine.start();
    engine.onTimer(MonitorEngine::TIMER_MOUNT_HISTORY);
    engine.onTimer(MonitorEngine::TIMER_RETRY_CHECK);
    engine.join();
    EXPECT_TRUE(sink.lines().empty());
    EXPECT_TRUE(record.stopped);
    EXPECT_EQ(engine.busy(), 0);
}

TEST(MonitorTimerThread, PeriodicTimersRearmAndStop)
{
    MonitorTimerThread timers;
    std::mutex mutex;
    std::vector<int> fired;
    timers.setHandler([&](int id) {
        std::lock_guard lock(mutex);
        fired.push_back(id);
        // Re-arming from the handler replaces the period, as a cycle does.
        if (id == 1)
            timers.arm(1, 1000ms);
    });
    timers.arm(0, 20ms);
    timers.arm(1, 30ms);
    std::this_thread::sleep_for(250ms);
    timers.kill(0);
    timers.stop();
    timers.arm(2, 1ms); // ignored after stop
    std::this_thread::sleep_for(20ms);
    std::lock_guard lock(mutex);
    const auto count = [&](int id) { return std::count(fired.begin(), fired.end(), id); };
    EXPECT_GE(count(0), 5); // fires again and again with its period
    EXPECT_EQ(count(1), 1); // re-armed for a second, so once only
    EXPECT_EQ(count(2), 0);
}

TEST(Download, FailuresAreReturnedWithTheInternetLibrarysCode)
{
    const std::string address = "127.0.0.1:" + std::to_string(closedLoopbackPort());
    DownloadLimits limits;
    limits.connectTimeout = 2000ms;
    const auto start = std::chrono::steady_clock::now();
    DownloadResult refused = downloadLibraryFile(address, "LIBLG_01_MR.bin", nullptr, limits);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_EQ(refused.status, DownloadResult::Status::InternetError);
    EXPECT_EQ(refused.internetError, 7); // could not connect
    EXPECT_FALSE(refused.complete());
    EXPECT_EQ(FormatWinInetError(7), std::string(curl_easy_strerror(CURLE_COULDNT_CONNECT)) + "\n");
    EXPECT_EQ(FormatWinInetError(28), std::string(curl_easy_strerror(CURLE_OPERATION_TIMEDOUT)) + "\n");
    EXPECT_EQ(FormatWinInetError(999999), "Unknown Error: 999999\n");

    std::atomic<bool> stop{true};
    EXPECT_EQ(downloadLibraryFile(address, "LIBLG_01_MR.bin", &stop, limits).status, DownloadResult::Status::Stopped);
}
