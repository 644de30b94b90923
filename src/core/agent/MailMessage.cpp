#include "MailMessage.h"

#include <cstdio>
#include <cstdlib>

namespace {
constexpr std::size_t LineBelow = 78; // every header line stays shorter than this
}

std::string mailDateText(std::time_t when)
{
    static const char* const Days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    if (::localtime_r(&when, &local) == nullptr)
        ::gmtime_r(&when, &local);
    const long offset = local.tm_gmtoff / 60;
    const long minutes = std::labs(offset);
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", Days[local.tm_wday % 7],
                  local.tm_mday, Months[local.tm_mon % 12], local.tm_year + 1900, local.tm_hour, local.tm_min,
                  local.tm_sec, offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text;
}

std::string foldedAddressField(const std::string& name, const std::vector<std::string>& addresses)
{
    std::string field = name + ": ";
    std::size_t lineLength = field.size();
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const std::string& address = addresses[i];
        if (i > 0) {
            // Room is kept for the comma that may follow this address.
            if (lineLength + 2 + address.size() + 1 < LineBelow) {
                field += ", ";
                lineLength += 2;
            } else {
                field += ",\r\n ";
                lineLength = 1;
            }
        }
        field += address;
        lineLength += address.size();
    }
    return field + "\r\n";
}

std::string mailBodyText(const std::string& body)
{
    std::string text;
    text.reserve(body.size() + body.size() / 32 + 2);
    bool lineStart = true;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < body.size() && body[i + 1] == '\n')
                ++i;
            text += "\r\n";
            lineStart = true;
            continue;
        }
        // A line of a single "." would end the message at the server and lose the rest.
        if (lineStart && c == '.')
            text += '.';
        text += c;
        lineStart = false;
    }
    return text;
}

std::string smtpMessageText(const std::string& sender, const std::vector<std::string>& recipients,
                            const std::string& subject, const std::string& body, std::time_t date)
{
    return "Date: " + mailDateText(date) + "\r\nFrom: " + sender + "\r\n" + foldedAddressField("To", recipients)
           + "Subject: " + subject + "\r\n\r\n" + mailBodyText(body);
}
