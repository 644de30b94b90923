#include "SendMail.h"

#include "AgentTexts.h"
#include "CSocketX.h"
#include "MailMessage.h"
#include "app/DebugLog.h"

#include <cstdlib>
#include <ctime>

namespace {
namespace texts = agent_texts;

bool holdsLineBreak(const std::string& text)
{
    return text.find_first_of("\r\n") != std::string::npos;
}

// One dialogue on one socket; the socket is closed when the object goes, on every path.
class MailDialogue {
public:
    explicit MailDialogue(const SmtpLimits& limits) : m_limits(limits) { m_socket.setStopFlag(limits.stop); }

    bool connect(const SmtpServerAddress& address)
    {
        const int result = m_socket.Connect(address.host, address.port, m_limits.connect);
        if (result == 0)
            return true;
        return transportFailure(result == -2 ? texts::SocketCreationFailed : texts::ConnectFailed);
    }

    void send(const std::string& text) { m_socket.TimedSend(text, m_limits.send); }
    bool sendChecked(const std::string& text, const char* failure)
    {
        return m_socket.TimedSend(text, m_limits.send) >= 0 || transportFailure(failure);
    }

    // Receives one whole reply and accepts it when it begins with the code's three digits.
    bool expect(const char* code, const char* receiveFailure, const char* rejected)
    {
        std::string reply;
        const long received = m_socket.TimedReceive(reply, m_limits.receive, m_limits.linePause);
        if (m_socket.lastReplyCut())
            WriteDebugLine(texts::LongReplyCut);
        if (received < 0)
            return transportFailure(receiveFailure);
        if (reply.size() >= 3 && reply.compare(0, 3, code) == 0)
            return true;
        // The server answered, but not with the code: say what it said, and leave politely.
        WriteDebugLine(std::string(texts::MailErrorPrefix) + rejected + reply);
        send(texts::Quit);
        return false;
    }

    // A local or transport failure: the step's message, then the system's text. No QUIT.
    bool transportFailure(const char* message)
    {
        WriteDebugLine(message);
        WriteDebugLine(m_socket.lastErrorText());
        return false;
    }

private:
    const SmtpLimits& m_limits;
    CSocketX m_socket;
};
} // namespace

std::optional<SmtpServerAddress> parseSmtpServer(const std::string& server)
{
    SmtpServerAddress address{server, "25"};
    std::string port;
    if (!server.empty() && server.front() == '[') {
        const std::size_t close = server.find(']');
        if (close == std::string::npos)
            return address;
        address.host = server.substr(1, close - 1);
        if (close + 1 < server.size()) {
            if (server[close + 1] != ':')
                return std::nullopt;
            port = server.substr(close + 2);
        } else {
            return address;
        }
    } else if (const std::size_t colon = server.find(':');
               colon != std::string::npos && server.find(':', colon + 1) == std::string::npos) {
        address.host = server.substr(0, colon);
        port = server.substr(colon + 1);
    } else {
        return address; // no port, or a bare IPv6 address
    }
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const long number = std::strtol(port.c_str(), nullptr, 10);
    if (number < 1 || number > 65535)
        return std::nullopt;
    address.port = std::to_string(number);
    return address;
}

std::vector<std::string> splitMailRecipients(const std::string& recipients)
{
    std::vector<std::string> addresses;
    std::size_t start = 0;
    while (start <= recipients.size()) {
        std::size_t comma = recipients.find(',', start);
        if (comma == std::string::npos)
            comma = recipients.size();
        const std::string piece = recipients.substr(start, comma - start);
        const std::size_t first = piece.find_first_not_of(" \t");
        if (first != std::string::npos)
            addresses.push_back(piece.substr(first, piece.find_last_not_of(" \t") - first + 1));
        start = comma + 1;
    }
    return addresses;
}

bool SendMail(const std::string& server, const std::string& sender, const std::string& recipients,
              const std::string& subject, const std::string& body, const SmtpLimits& limits)
{
    const std::vector<std::string> addresses = splitMailRecipients(recipients);
    if (addresses.empty()) {
        WriteDebugLine(texts::NoRecipients);
        return false;
    }
    if (holdsLineBreak(server) || holdsLineBreak(sender) || holdsLineBreak(recipients) || holdsLineBreak(subject)) {
        WriteDebugLine(texts::LineBreakInAddress);
        return false;
    }
    const auto address = parseSmtpServer(server);
    if (!address) {
        WriteDebugLine(texts::BadServerPort);
        return false;
    }

    MailDialogue dialogue(limits);
    if (!dialogue.connect(*address))
        return false;
    if (!dialogue.expect("220", texts::GreetingReceiveFailed, texts::GreetingRejected))
        return false;
    dialogue.send(texts::Helo);
    if (!dialogue.expect("250", texts::HeloReceiveFailed, texts::HeloRejected))
        return false;
    dialogue.send("MAIL FROM: <" + sender + ">\r\n");
    if (!dialogue.expect("250", texts::FromReceiveFailed, texts::SenderRejected))
        return false;
    for (const std::string& recipient : addresses) {
        dialogue.send("RCPT TO: <" + recipient + ">\r\n");
        if (!dialogue.expect("250", texts::RcptReceiveFailed, texts::RecipientRejected))
            return false;
    }
    dialogue.send(texts::Data);
    if (!dialogue.expect("354", texts::DataReceiveFailed, texts::DataRejected))
        return false;
    if (!dialogue.sendChecked(smtpMessageText(sender, addresses, subject, body, std::time(nullptr)),
                              texts::BodySendFailed))
        return false;
    dialogue.send(texts::EndOfData);
    if (!dialogue.expect("250", texts::EndReceiveFailed, texts::BodyRejected))
        return false;
    dialogue.send(texts::Quit);
    return true;
}
