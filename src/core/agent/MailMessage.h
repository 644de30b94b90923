#pragma once

#include <ctime>
#include <string>
#include <vector>

// The report mail as it travels between the DATA reply and the end-of-data line: the header
// fields mail servers insist on, the empty line that ends them, then the body.

// "Tue, 08 Dec 2026 06:30:00 +0100": the time in local time with its offset from UTC, the
// day and month names in English whatever the locale.
std::string mailDateText(std::time_t when);

// "To: a@x, b@x" with a line end; a line that would reach 78 characters is folded after a
// comma, the next line beginning with a blank. An address longer than a line gets one alone.
std::string foldedAddressField(const std::string& name, const std::vector<std::string>& addresses);

// The body with every line end as CRLF (a lone CR or LF becomes one) and one more "." in
// front of every line that begins with "." (the first line included), so that no line of
// the text can end the message early.
std::string mailBodyText(const std::string& body);

// Date, From, To and Subject, the empty line, then the body as above.
std::string smtpMessageText(const std::string& sender, const std::vector<std::string>& recipients,
                            const std::string& subject, const std::string& body, std::time_t date);
