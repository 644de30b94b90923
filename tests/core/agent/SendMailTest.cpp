// The mail client against a scripted SMTP peer on loopback: the peer answers with the pieces
// of its script, reads the client's lines in between, and keeps every byte the client sent.

#include "ScopedApp.h"
#include "agent/AgentTexts.h"
#include "agent/SendMail.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <regex>
#include <thread>

namespace {
using namespace std::chrono_literals;

struct PeerStep {
    enum Kind { Reply, ReadLine, HangUp } kind;
    std::vector<std::string> pieces; // Reply: each piece is one send
};
// A reply sent in pieces, one send each.
PeerStep replyInPieces(std::vector<std::string> pieces)
{
    return {PeerStep::Reply, std::move(pieces)};
}
PeerStep reply(std::string text)
{
    return {PeerStep::Reply, {std::move(text)}};
}
PeerStep readLine()
{
    return {PeerStep::ReadLine, {}};
}
PeerStep hangUp()
{
    return {PeerStep::HangUp, {}};
}
// Reads the client's line, then answers.
std::vector<PeerStep> exchange(std::string answer)
{
    return {readLine(), reply(std::move(answer))};
}

class ScriptedSmtpPeer {
public:
    explicit ScriptedSmtpPeer(std::vector<PeerStep> script) : m_script(std::move(script))
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(m_listener, 1) != 0
            || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            ADD_FAILURE() << "the peer cannot listen";
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { run(); });
    }
    ~ScriptedSmtpPeer()
    {
        finish();
        ::close(m_listener);
    }

    std::string server() const { return "127.0.0.1:" + std::to_string(m_port); }
    // Waits until the client has closed its side; then every byte it sent is in received().
    void finish()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    const std::string& received() const { return m_received; }

private:
    // One byte at a time, so that nothing after the line is taken from the client early.
    bool readOneLine(int connection)
    {
        char c = 0;
        while (waitReadable(connection) && ::recv(connection, &c, 1, 0) == 1) {
            m_received += c;
            if (c == '\n')
                return true;
        }
        return false;
    }
    // Generous bound so that a broken client fails the test instead of hanging it.
    static bool waitReadable(int connection)
    {
        pollfd entry{connection, POLLIN, 0};
        return ::poll(&entry, 1, 60000) == 1;
    }

    void run()
    {
        if (!waitReadable(m_listener))
            return;
        const int connection = ::accept(m_listener, nullptr, nullptr);
        if (connection < 0)
            return;
        const int on = 1;
        ::setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        for (const PeerStep& step : m_script) {
            if (step.kind == PeerStep::HangUp)
                break;
            if (step.kind == PeerStep::ReadLine) {
                if (!readOneLine(connection))
                    break;
                continue;
            }
            for (const std::string& piece : step.pieces)
                ::send(connection, piece.data(), piece.size(), MSG_NOSIGNAL);
        }
        // The rest, up to the client's close: whatever it sends after the script.
        char buffer[512];
        ssize_t count = 0;
        const bool hangUp = !m_script.empty() && m_script.back().kind == PeerStep::HangUp;
        while (!hangUp && waitReadable(connection) && (count = ::recv(connection, buffer, sizeof buffer, 0)) > 0)
            m_received.append(buffer, static_cast<std::size_t>(count));
        ::close(connection);
    }

    std::vector<PeerStep> m_script;
    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
    std::string m_received;
};

std::vector<PeerStep> operator+(std::vector<PeerStep> first, const std::vector<PeerStep>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// A server that accepts everything after the given greeting: the message has so many lines,
// the end-of-data line included.
std::vector<PeerStep> acceptingServer(PeerStep greeting, int recipients, int messageLines)
{
    std::vector<PeerStep> script{std::move(greeting)};
    script = script + exchange("250 mail.example.net\r\n") + exchange("250 2.1.0 Ok\r\n");
    for (int i = 0; i < recipients; ++i)
        script = script + exchange("250 2.1.5 Ok\r\n");
    script = script + exchange("354 End data with <CR><LF>.<CR><LF>\r\n");
    for (int i = 0; i < messageLines; ++i)
        script.push_back(readLine());
    script.push_back(reply("250 2.0.0 Ok: queued\r\n"));
    return script;
}

int occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The message reaches the wire byte for byte: the commands, one RCPT TO per address in order,
// the header fields and the empty line, the body with CRLF line ends and every leading "."
// doubled, then the end-of-data line and QUIT.
TEST(SendMail, ExactDialogueAndMessageOnTheWire)
{
    ScopedApp app;
    ScriptedSmtpPeer peer(acceptingServer(reply("220 mail.example.net ESMTP\r\n"), 3, 13));

    const std::string body = ".\r\n..\r\nd\r.x\nb\n\r\nDone!";
    EXPECT_TRUE(SendMail(peer.server(), "agent@example.net", "a@example.net, b@example.net,c@example.net,",
                         "QMX Auto Reports Agent for Mount Rates", body));
    peer.finish();
    const std::string received = peer.received();
    const std::string commands = "HELO localhost\r\n"
                                 "MAIL FROM: <agent@example.net>\r\n"
                                 "RCPT TO: <a@example.net>\r\n"
                                 "RCPT TO: <b@example.net>\r\n"
                                 "RCPT TO: <c@example.net>\r\n"
                                 "DATA\r\n";
    ASSERT_TRUE(received.starts_with(commands)) << received;
    const std::string message = received.substr(commands.size());
    const std::regex date("Date: (Mon|Tue|Wed|Thu|Fri|Sat|Sun), [0-9]{2} [A-Z][a-z]{2} [0-9]{4} "
                          "[0-9]{2}:[0-9]{2}:[0-9]{2} [+-][0-9]{4}\r\n");
    std::smatch found;
    ASSERT_TRUE(std::regex_search(message, found, date, std::regex_constants::match_continuous)) << message;
    EXPECT_EQ(message.substr(found.length()), "From: agent@example.net\r\n"
                                              "To: a@example.net, b@example.net, c@example.net\r\n"
                                              "Subject: QMX Auto Reports Agent for Mount Rates\r\n"
                                              "\r\n"
                                              "..\r\n"
                                              "...\r\n"
                                              "d\r\n"
                                              "..x\r\n"
                                              "b\r\n"
                                              "\r\n"
                                              "Done!\r\n"
                                              ".\r\n"
                                              "QUIT\r\n");
    EXPECT_EQ(app.logText(), "");
}

// A reply past the client's limit is cut, and its rest (up to the end of its last line, a
// multi-line reply's too) is dropped instead of being read as the reply to HELO.
TEST(SendMail, OverlongReplyIsDroppedUpToItsEnd)
{
    const std::vector<std::string> greetings{
        "220 " + std::string(100000, 'x') + "\r\n",
        "220-" + std::string(5000, 'y') + "\r\n220-" + std::string(3000, 'z') + "\r\n220 ready\r\n",
    };
    for (const std::string& greeting : greetings) {
        ScopedApp app;
        ScriptedSmtpPeer peer(acceptingServer(reply(greeting), 1, 7));
        EXPECT_TRUE(SendMail(peer.server(), "agent@x", "ops@x", "S", "body")) << app.logText();
        peer.finish();
        EXPECT_TRUE(peer.received().starts_with("HELO localhost\r\nMAIL FROM: <agent@x>\r\n"));
        EXPECT_EQ(occurrences(app.logText(), agent_texts::LongReplyCut), 1) << app.logText();
    }
}

// Replies are read as whole lines, however they arrive: a multi-line greeting sent line by
// line, a greeting in two pieces, and a last line without its line end.
TEST(SendMail, RepliesAreReadWhole)
{
    SmtpLimits patient;
    patient.linePause = 60s; // only a line end may complete these replies
    const std::vector<PeerStep> greetings{
        replyInPieces({"220-mail.example.net ESMTP\r\n", "220-no unsolicited mail\r\n", "220 ready\r\n"}),
        replyInPieces({"220 mail.exa", "mple.net ESMTP\r\n"}),
    };
    for (const PeerStep& greeting : greetings) {
        ScopedApp app;
        ScriptedSmtpPeer peer(acceptingServer(greeting, 1, 8));
        EXPECT_TRUE(SendMail(peer.server(), "agent@x", "ops@x", "S", "line one\r\nline two", patient)) << app.logText();
        peer.finish();
        EXPECT_EQ(occurrences(peer.received(), "RCPT TO:"), 1);
        EXPECT_TRUE(peer.received().ends_with(".\r\nQUIT\r\n"));
    }

    // A server that leaves out the line end of every reply is still understood.
    ScopedApp app;
    SmtpLimits quick;
    quick.linePause = 50ms;
    std::vector<PeerStep> bare{reply("220 mail"), readLine(),      reply("250-mail\r\n250 Ok"),
                               readLine(),        reply("250 Ok"), readLine(),
                               reply("250 Ok"),   readLine(),      reply("354 go")};
    for (int line = 0; line < 7; ++line) // the four header lines, the empty line, "body", "."
        bare.push_back(readLine());
    bare.push_back(reply("250 queued"));
    ScriptedSmtpPeer peer(bare);
    EXPECT_TRUE(SendMail(peer.server(), "agent@x", "ops@x", "S", "body", quick)) << app.logText();
    peer.finish();
    EXPECT_TRUE(peer.received().ends_with("QUIT\r\n"));
}

// A rejected second recipient: one log entry with the server's reply, QUIT, the third
// address never offered, and no success.
TEST(SendMail, RejectedRecipientStopsTheDialogue)
{
    ScopedApp app;
    std::vector<PeerStep> script{reply("220 mail.example.net\r\n")};
    script = script + exchange("250 hello\r\n") + exchange("250 Ok\r\n") + exchange("250 Ok\r\n")
             + exchange("550 5.1.1 <b@x>: Recipient address rejected\r\n");
    ScriptedSmtpPeer peer(script);
    EXPECT_FALSE(SendMail(peer.server(), "agent@x", "a@x,b@x,c@x", "S", "body"));
    peer.finish();
    EXPECT_EQ(occurrences(peer.received(), "RCPT TO:"), 2);
    EXPECT_EQ(peer.received().find("c@x"), std::string::npos);
    EXPECT_TRUE(peer.received().ends_with("RCPT TO: <b@x>\r\nQUIT\r\n"));
    const std::string log = app.logText();
    EXPECT_EQ(occurrences(log, "QMX Auto Reports"), 1) << log;
    EXPECT_NE(log.find("ERROR: QMX Auto Reports: ERROR: Recipient rejected\r\n"
                       "550 5.1.1 <b@x>: Recipient address rejected\r\n"),
              std::string::npos)
        << log;
}

// Transport failures: the step's message and the system's text, and never a QUIT.
TEST(SendMail, TransportFailuresAreLoggedWithTheSystemText)
{
    {
        // Silent after HELO, with the receive limit shortened.
        ScopedApp app;
        SmtpLimits limits;
        limits.receive = 200ms;
        ScriptedSmtpPeer peer({reply("220 mail\r\n"), readLine()});
        EXPECT_FALSE(SendMail(peer.server(), "agent@x", "a@x", "S", "body", limits));
        peer.finish();
        EXPECT_EQ(peer.received(), "HELO localhost\r\n");
        const std::string log = app.logText();
        EXPECT_NE(log.find(": ERROR: QMX Auto Reports: Failed to read HELO response from server\n"), std::string::npos);
        EXPECT_NE(log.find(": Connection timed out\n"), std::string::npos) << log;
    }
    {
        // Nobody listens on the port.
        ScopedApp app;
        const int unused = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(unused, reinterpret_cast<sockaddr*>(&address), length);
        ::getsockname(unused, reinterpret_cast<sockaddr*>(&address), &length);
        const int port = ntohs(address.sin_port);
        EXPECT_FALSE(SendMail("127.0.0.1:" + std::to_string(port), "agent@x", "a@x", "S", "body"));
        EXPECT_NE(app.logText().find("ERROR: QMX Auto Reports: Could not connect to server\n"), std::string::npos);
        EXPECT_NE(app.logText().find(": Connection refused\n"), std::string::npos) << app.logText();
        ::close(unused);
    }
    {
        // The program is ending: a silent server does not hold it for the receive limit.
        ScopedApp app;
        std::atomic<bool> stop{true};
        SmtpLimits limits;
        limits.stop = &stop;
        ScriptedSmtpPeer peer({reply("220 mail\r\n"), readLine()});
        EXPECT_FALSE(SendMail(peer.server(), "agent@x", "a@x", "S", "body", limits));
        peer.finish();
        EXPECT_NE(app.logText().find(": Operation canceled\n"), std::string::npos) << app.logText();
    }
    {
        // The server hangs up in the middle of the dialogue.
        ScopedApp app;
        ScriptedSmtpPeer peer({reply("220 mail\r\n"), readLine(), reply("250 hello\r\n"), hangUp()});
        EXPECT_FALSE(SendMail(peer.server(), "agent@x", "a@x", "S", "body"));
        peer.finish();
        EXPECT_EQ(peer.received(), "HELO localhost\r\n");
        const std::string log = app.logText();
        EXPECT_NE(log.find("ERROR: QMX Auto Reports: Failed the FROM response\n"), std::string::npos) << log;
    }
}

// Nothing goes out for a list without an address or with a line break, and the log says why.
TEST(SendMail, RefusedBeforeConnecting)
{
    ScopedApp app;
    EXPECT_FALSE(SendMail("127.0.0.1:1", "agent@x", " , ,", "S", "body"));
    EXPECT_FALSE(SendMail("127.0.0.1:1", "agent@x", "a@x\r\nDATA", "S", "body"));
    EXPECT_FALSE(SendMail("mail.example.net:smtp", "agent@x", "a@x", "S", "body"));
    const std::string log = app.logText();
    EXPECT_NE(log.find(agent_texts::NoRecipients), std::string::npos);
    EXPECT_NE(log.find(agent_texts::LineBreakInAddress), std::string::npos);
    EXPECT_NE(log.find(agent_texts::BadServerPort), std::string::npos);
    EXPECT_EQ(log.find("Could not connect"), std::string::npos);
}

TEST(SendMail, ServerAndRecipientTexts)
{
    EXPECT_EQ(parseSmtpServer("mail.example.net")->port, "25");
    EXPECT_EQ(parseSmtpServer("mail.example.net:2525")->port, "2525");
    EXPECT_EQ(parseSmtpServer("mail.example.net:2525")->host, "mail.example.net");
    EXPECT_EQ(parseSmtpServer("[::1]:26")->host, "::1");
    EXPECT_EQ(parseSmtpServer("fe80::1")->port, "25");
    EXPECT_FALSE(parseSmtpServer("mail:0"));
    EXPECT_FALSE(parseSmtpServer("mail:65536"));
    EXPECT_FALSE(parseSmtpServer("mail:"));
    EXPECT_EQ(splitMailRecipients("a@x,, b@x ,c@x,"), (std::vector<std::string>{"a@x", "b@x", "c@x"}));
}
} // namespace
