#include "MonitorWindowText.h"

#include "MonitorFormat.h"
#include "MonitorTexts.h"
#include "app/TimeFormat.h"

#include <algorithm>
#include <ctime>

bool MonitorWindowText::append(const std::string& text)
{
    bool dropped = false;
    if (lineCount() > MaxLines) {
        std::size_t end = std::string::npos;
        std::size_t from = 0;
        for (std::size_t line = 0; line < DroppedLines; ++line) {
            end = m_text.find('\n', from);
            from = end + 1;
        }
        // The break that ends line 512 is "\r\n" (or a lone "\n") and stays.
        if (end > 0 && m_text[end - 1] == '\r')
            --end;
        m_text.erase(0, end);
        m_lineEnds -= DroppedLines - 1;
        dropped = true;
    }
    const std::string line = text + "\r\n";
    m_text += line;
    m_lineEnds += static_cast<std::size_t>(std::count(line.begin(), line.end(), '\n'));
    return dropped;
}

std::string widestMonitorLine(const std::string& address)
{
    // Every stamp has the same length; this one has the widest names.
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 4;
    when.tm_mday = 20;
    when.tm_wday = 3;
    when.tm_hour = 22;
    when.tm_min = 58;
    when.tm_sec = 48;
    std::string widest = formatMonitorText(monitor_texts::GettingLibraryPerformance, address.c_str(),
                                           formatTime(StampFormat, when).c_str());
    // With a short address a fixed line can be wider than the stamped one.
    for (std::string line :
         {std::string(monitor_texts::SkippingLibraryPerformance), std::string(monitor_texts::LibraryPerformanceRetry),
          formatMonitorText(monitor_texts::InsertedLibraryPerformance, 2147483647)}) {
        line.erase(line.find_last_not_of("\r\n") + 1);
        if (line.size() > widest.size())
            widest = line;
    }
    return widest;
}
