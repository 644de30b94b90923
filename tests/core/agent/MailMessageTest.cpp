// The report mail's header and body as they go on the wire, on a fixed clock and time zone.

#include "agent/MailMessage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sstream>

namespace {
// Sets the process's time zone for one test and puts the old one back.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ScopedTimeZone()
    {
        if (m_old)
            ::setenv("TZ", m_old->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> m_old;
};

constexpr std::time_t Moment = 1796770721; // Tue, 08 Dec 2026 22:58:41 UTC

// The header fields in order, the local offset with its sign and minutes, English names.
TEST(MailMessage, HeaderFieldsThenAnEmptyLine)
{
    {
        ScopedTimeZone zone("IST-05:30");
        EXPECT_EQ(smtpMessageText("agent@example.net", {"ops@example.net", "b@example.net"},
                                  "QMX Auto Reports Agent for Mount Rates", "Starting\r\nDone!", Moment),
                  "Date: Wed, 09 Dec 2026 04:28:41 +0530\r\n"
                  "From: agent@example.net\r\n"
                  "To: ops@example.net, b@example.net\r\n"
                  "Subject: QMX Auto Reports Agent for Mount Rates\r\n"
                  "\r\n"
                  "Starting\r\nDone!");
    }
    ScopedTimeZone zone("XYZ+03:15");
    EXPECT_EQ(mailDateText(Moment), "Tue, 08 Dec 2026 19:43:41 -0315");
    EXPECT_EQ(mailDateText(Moment - 19 * 86400), "Thu, 19 Nov 2026 19:43:41 -0315");
}

// A long recipient list is folded after a comma into lines below 78 characters, each next
// line beginning with a blank; unfolded it is the list joined with ", ".
TEST(MailMessage, LongRecipientListIsFolded)
{
    std::vector<std::string> addresses;
    std::string joined;
    for (int i = 0; i < 12; ++i) {
        addresses.push_back("operator" + std::to_string(i) + "@tape-library.example.net");
        joined += (i ? ", " : "") + addresses.back();
    }
    addresses.push_back(std::string(90, 'l') + "@x");
    joined += ", " + addresses.back();
    const std::string field = foldedAddressField("To", addresses);
    ASSERT_TRUE(field.ends_with("\r\n"));
    std::istringstream lines(field.substr(0, field.size() - 2));
    std::string line;
    std::string unfolded;
    int count = 0;
    while (std::getline(lines, line, '\n')) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (count++ > 0) {
            ASSERT_EQ(line.front(), ' ') << line;
            EXPECT_EQ(unfolded.back(), ',');
        }
        // An address too long for any line stands alone on its own.
        if (line != " " + addresses.back()) {
            EXPECT_LT(line.size(), 78u) << line;
        }
        unfolded += count > 1 ? line : line.substr(4);
    }
    EXPECT_GT(count, 4);
    EXPECT_EQ(unfolded, joined);
    EXPECT_EQ(field.find("\r\n "), field.find("\n") - 1); // every fold is a CRLF and a blank
}

// Every line end leaves as CRLF, and a "." that begins any line, the first too, is doubled.
TEST(MailMessage, BodyLineEndsAndLeadingPeriods)
{
    EXPECT_EQ(mailBodyText(".\r\n..\r\nd\r.x\nb\n\r\nDone!"), "..\r\n...\r\nd\r\n..x\r\nb\r\n\r\nDone!");
    EXPECT_EQ(mailBodyText("a\r\r\nb\n\nc\r"), "a\r\n\r\nb\r\n\r\nc\r\n");
    EXPECT_EQ(mailBodyText(".first"), "..first");
    EXPECT_EQ(mailBodyText("a.b\r\n x."), "a.b\r\n x.");
    EXPECT_EQ(mailBodyText(""), "");
}
} // namespace
