#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

// How long the mail client waits; the defaults are the real values, tests shorten them.
struct SmtpLimits {
    std::chrono::milliseconds receive{10000}; // for each whole reply
    std::chrono::milliseconds linePause{500}; // after a last line that lacks its line end
    std::chrono::milliseconds connect{30000};
    std::chrono::milliseconds send{30000};   // for each wait for room to send
    const std::atomic<bool>* stop = nullptr; // set: every wait ends at once (the program is ending)
};

// One blocking SMTP dialogue (HELO, MAIL FROM, one RCPT TO per address, DATA, the message of
// MailMessage.h, QUIT) with the mail server "host" or "host:port" (port 25 without one). True only when the
// server accepted the message; every failure is written to the debug log.
bool SendMail(const std::string& server, const std::string& sender, const std::string& recipients,
              const std::string& subject, const std::string& body, const SmtpLimits& limits = {});

struct SmtpServerAddress {
    std::string host;
    std::string port;
};
// "host", "host:port" or "[v6 address]:port"; nothing when a port is given but is not 1..65535.
std::optional<SmtpServerAddress> parseSmtpServer(const std::string& server);

// The addresses of a comma-separated list, blanks at both ends removed, empty pieces skipped.
std::vector<std::string> splitMailRecipients(const std::string& recipients);
