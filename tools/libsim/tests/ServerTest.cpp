// The library's web server over real loopback HTTP, its fault switches and its live clock.
#include "LibraryFileServer.h"
#include "LibraryFiles.h"
#include "ReaderRules.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

using namespace libsim;
using namespace std::chrono_literals;

namespace {

LibraryOptions testLibrary()
{
    LibraryOptions options;
    options.seed = 3;
    options.drives = 6;
    options.cartridges = 80;
    options.logicalLibraries = 2;
    options.days = 2;
    options.mountsPerDay = 600;
    return options;
}

httplib::Client clientFor(const LibraryFileServer& server, std::chrono::seconds readTimeout = 5s)
{
    httplib::Client client("127.0.0.1", server.port());
    client.set_connection_timeout(2, 0);
    client.set_read_timeout(readTimeout.count(), 0);
    return client;
}

int status(httplib::Client& client, const std::string& path)
{
    const httplib::Result result = client.Get(path.c_str());
    return result ? result->status : -1;
}

std::string post(httplib::Client& client, const std::string& path)
{
    const httplib::Result result = client.Post(path.c_str(), "", "application/x-www-form-urlencoded");
    return result ? std::to_string(result->status) + " " + result->body : "no answer";
}

// Fetches a file through a content receiver, so that a transfer cut short still shows what
// arrived before it ended.
struct Transfer {
    bool complete = false;
    httplib::Error error = httplib::Error::Success;
    std::string body;
};

Transfer fetch(httplib::Client& client, const std::string& file)
{
    Transfer transfer;
    const std::string path = "/FS/" + file;
    const httplib::Result result = client.Get(path.c_str(), [&transfer](const char* data, std::size_t length) {
        transfer.body.append(data, length);
        return true;
    });
    transfer.error = result.error();
    transfer.complete = result && result->status == 200;
    return transfer;
}

int lineCount(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST(LibraryFileServer, ServesTheLibraryFilesOnLoopback)
{
    LibraryFileServer server(testLibrary());
    ASSERT_TRUE(server.start());
    ASSERT_GT(server.port(), 0);
    EXPECT_EQ(server.address(), "127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(server.url("LIBLG_01_CS.bin"), "http://" + server.address() + "/FS/LIBLG_01_CS.bin");

    httplib::Client client = clientFor(server);
    for (const std::string& name : libraryFileNames()) {
        const httplib::Result result = client.Get(("/FS/" + name).c_str());
        ASSERT_TRUE(result) << name;
        EXPECT_EQ(result->status, 200) << name;
        EXPECT_EQ(result->body, server.currentFile(name)) << name;
    }
    const httplib::Result history = client.Get("/FS/LIBLG_01_CS.bin");
    ASSERT_TRUE(history);
    EXPECT_EQ(history->body.size(), MountHistoryFileSize);
    EXPECT_EQ(history->body.back(), '\0');

    EXPECT_EQ(status(client, "/FS/LIBLG_02_CS.bin"), 404);
    EXPECT_EQ(status(client, "/other"), 404);
    const httplib::Result state = client.Get("/control/state");
    ASSERT_TRUE(state);
    EXPECT_NE(state->body.find("normal"), std::string::npos);
}

TEST(LibraryFileServer, ChosenFilesAnswer404Or500UntilReset)
{
    LibraryFileServer server(testLibrary());
    ASSERT_TRUE(server.start());
    httplib::Client client = clientFor(server);
    EXPECT_EQ(post(client, "/control/http404?file=LIBLG_01_CS.bin"), "200 ok\n");
    EXPECT_EQ(post(client, "/control/status?file=LIBLG_01_LP.bin&code=500"), "200 ok\n");
    EXPECT_EQ(status(client, "/FS/LIBLG_01_CS.bin"), 404);
    EXPECT_EQ(status(client, "/FS/LIBLG_01_LP.bin"), 500);
    EXPECT_EQ(status(client, "/FS/LIBLG_01_MR.bin"), 200);
    EXPECT_EQ(server.faults().statusFor("LIBLG_01_CS.bin"), 404);

    EXPECT_EQ(post(client, "/control/http404?file=nothing.bin").substr(0, 3), "400");
    EXPECT_EQ(post(client, "/control/unknown").substr(0, 3), "400");

    EXPECT_EQ(post(client, "/control/reset"), "200 ok\n");
    EXPECT_EQ(status(client, "/FS/LIBLG_01_CS.bin"), 200);
    EXPECT_EQ(status(client, "/FS/LIBLG_01_LP.bin"), 200);
}

TEST(LibraryFileServer, CloseAfterBytesHangsUpMidFile)
{
    LibraryFileServer server(testLibrary());
    ASSERT_TRUE(server.start());
    httplib::Client client = clientFor(server);
    const std::string whole = server.currentFile(file_names::MountHistory);

    EXPECT_EQ(post(client, "/control/close?bytes=1000&file=LIBLG_01_CS.bin"), "200 ok\n");
    const Transfer cut = fetch(client, file_names::MountHistory);
    EXPECT_FALSE(cut.complete);
    EXPECT_NE(cut.error, httplib::Error::Success);
    EXPECT_EQ(cut.body, whole.substr(0, 1000));
    EXPECT_TRUE(fetch(client, file_names::Configuration).complete); // only the chosen file

    EXPECT_EQ(post(client, "/control/close?bytes=0"), "200 ok\n");
    const Transfer nothing = fetch(client, file_names::Configuration);
    EXPECT_FALSE(nothing.complete);
    EXPECT_TRUE(nothing.body.empty());

    EXPECT_EQ(post(client, "/control/close?bytes=off"), "200 ok\n");
    const Transfer again = fetch(client, file_names::MountHistory);
    EXPECT_TRUE(again.complete);
    EXPECT_EQ(again.body, whole);
}

TEST(LibraryFileServer, StallHoldsTheConnectionUntilReleased)
{
    LibraryFileServer server(testLibrary());
    ASSERT_TRUE(server.start());
    const std::string whole = server.currentFile(file_names::LibraryPerformance);
    ASSERT_GT(whole.size(), 600u);
    ASSERT_EQ(server.control("stall", {{"bytes", "500"}, {"file", file_names::LibraryPerformance}}), "");

    // A reader that gives up after a second gets the first 500 bytes and a time-out.
    httplib::Client impatient = clientFor(server, 1s);
    const auto started = std::chrono::steady_clock::now();
    const Transfer held = fetch(impatient, file_names::LibraryPerformance);
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_FALSE(held.complete);
    EXPECT_EQ(held.error, httplib::Error::Read);
    EXPECT_EQ(held.body, whole.substr(0, 500));
    EXPECT_GE(waited, 900ms);
    EXPECT_LT(waited, 5s);

    // A patient reader gets the rest once the switch is released.
    auto patient = std::async(std::launch::async, [&server] {
        httplib::Client client = clientFor(server, 10s);
        return fetch(client, file_names::LibraryPerformance);
    });
    EXPECT_EQ(patient.wait_for(400ms), std::future_status::timeout);
    ASSERT_EQ(server.control("stall", {{"bytes", "off"}}), "");
    ASSERT_EQ(patient.wait_for(5s), std::future_status::ready);
    const Transfer released = patient.get();
    EXPECT_TRUE(released.complete);
    EXPECT_EQ(released.body, whole);
}

TEST(LibraryFileServer, StoppingLetsGoOfHeldTransfers)
{
    auto server = std::make_unique<LibraryFileServer>(testLibrary());
    ASSERT_TRUE(server->start());
    ASSERT_EQ(server->control("stall", {{"bytes", "10"}}), "");
    auto held = std::async(std::launch::async, [port = server->port()] {
        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(20, 0);
        return fetch(client, file_names::DriveStatus);
    });
    EXPECT_EQ(held.wait_for(300ms), std::future_status::timeout);
    const auto started = std::chrono::steady_clock::now();
    server.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    ASSERT_EQ(held.wait_for(5s), std::future_status::ready);
    const Transfer transfer = held.get();
    EXPECT_FALSE(transfer.complete);
    EXPECT_EQ(transfer.body.size(), 10u);
}

TEST(LibraryFileServer, RefusedConnectionsComeBackOnTheSamePort)
{
    LibraryFileServer server(testLibrary());
    ASSERT_TRUE(server.start());
    const int port = server.port();
    httplib::Client client = clientFor(server);

    server.setRefusing(true);
    EXPECT_TRUE(server.refusing());
    const httplib::Result refused = client.Get("/FS/LIBLG_01_MR.bin");
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.error(), httplib::Error::Connection);
    server.setRefusing(false);
    EXPECT_FALSE(server.refusing());
    EXPECT_EQ(server.port(), port);
    EXPECT_EQ(status(client, "/FS/LIBLG_01_MR.bin"), 200);

    // Over HTTP the refusal is timed, since nobody could reach the server to end it.
    EXPECT_EQ(post(client, "/control/refuse?ms=600"), "200 ok\n");
    bool sawRefusal = false;
    bool back = false;
    for (int attempt = 0; attempt < 60 && !back; ++attempt) {
        const int answer = status(client, "/FS/LIBLG_01_MR.bin");
        sawRefusal = sawRefusal || answer == -1;
        back = sawRefusal && answer == 200;
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_TRUE(sawRefusal);
    EXPECT_TRUE(back);
    EXPECT_EQ(post(client, "/control/refuse?seconds=0").substr(0, 3), "400");
}

TEST(LibraryFileServer, ConfigurationSwitchesReachTheFile)
{
    LibraryFileServer server(testLibrary());
    ASSERT_TRUE(server.start());
    httplib::Client client = clientFor(server);
    const auto configuration = [&client] {
        const httplib::Result result = client.Get("/FS/LIBLG_01_MR.bin");
        return result ? reader_rules::asRead(result->body) : std::string();
    };
    EXPECT_TRUE(reader_rules::ovisEnabled(configuration()));
    EXPECT_TRUE(reader_rules::performanceAvailable(configuration()));
    EXPECT_EQ(post(client, "/control/ovis?enabled=0"), "200 ok\n");
    EXPECT_EQ(post(client, "/control/performance?available=0"), "200 ok\n");
    EXPECT_FALSE(reader_rules::ovisEnabled(configuration()));
    EXPECT_FALSE(reader_rules::performanceAvailable(configuration()));
    EXPECT_EQ(post(client, "/control/ovis?enabled=1"), "200 ok\n");
    EXPECT_TRUE(reader_rules::ovisEnabled(configuration()));
    EXPECT_FALSE(reader_rules::performanceAvailable(configuration()));
}

TEST(LibraryFileServer, AdvancingTheClockAddsMountsAndIntervals)
{
    LibraryFileServer server(testLibrary()); // standing clock
    ASSERT_TRUE(server.start());
    httplib::Client client = clientFor(server);
    const LibraryMinute before = server.libraryTime();
    const std::string historyBefore = server.currentFile(file_names::MountHistory);
    const int intervalsBefore = lineCount(server.currentFile(file_names::LibraryPerformance));
    std::size_t mountsBefore = 0;
    server.inspect([&](const LibrarySimulation& simulation) { mountsBefore = simulation.mounts().size(); });

    EXPECT_EQ(post(client, "/control/advance?minutes=180"), "200 ok\n");
    EXPECT_EQ(server.libraryTime(), before + 180);
    const httplib::Result performance = client.Get("/FS/LIBLG_01_LP.bin");
    ASSERT_TRUE(performance);
    EXPECT_EQ(lineCount(performance->body), intervalsBefore + 3 * 2); // three hours, two logical libraries
    std::size_t mountsAfter = 0;
    server.inspect([&](const LibrarySimulation& simulation) { mountsAfter = simulation.mounts().size(); });
    EXPECT_GT(mountsAfter, mountsBefore + 30);
    const httplib::Result history = client.Get("/FS/LIBLG_01_CS.bin");
    ASSERT_TRUE(history);
    EXPECT_EQ(history->body.size(), MountHistoryFileSize);
    EXPECT_NE(history->body, historyBefore);
}

TEST(LibraryFileServer, LiveClockKeepsMounting)
{
    ServerOptions options;
    options.speed = 7200; // two library hours a second
    LibraryFileServer server(testLibrary(), options);
    ASSERT_TRUE(server.start());
    httplib::Client client = clientFor(server);
    const LibraryMinute started = server.libraryTime();
    const httplib::Result first = client.Get("/FS/LIBLG_01_LP.bin");
    ASSERT_TRUE(first);

    for (int wait = 0; wait < 100 && server.libraryTime() < started + 150; ++wait) {
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_GE(server.libraryTime(), started + 150);
    const httplib::Result later = client.Get("/FS/LIBLG_01_LP.bin");
    ASSERT_TRUE(later);
    EXPECT_GE(lineCount(later->body), lineCount(first->body) + 2 * 2);

    // The newest record of the mount history file was mounted after the run started.
    const httplib::Result history = client.Get("/FS/LIBLG_01_CS.bin");
    ASSERT_TRUE(history);
    const std::vector<std::string> lines = reader_rules::terminatedLines(reader_rules::asRead(history->body));
    ASSERT_GT(lines.size(), 6u);
    const reader_rules::DateTime newest = reader_rules::mountDateTime(reader_rules::fields(lines.back())[0]);
    EXPECT_GT(newest.date + " " + newest.time, formatLibraryTime(started));
}
