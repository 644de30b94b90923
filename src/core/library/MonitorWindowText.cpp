#include "MonitorWindowText.h"

#include <algorithm>

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
