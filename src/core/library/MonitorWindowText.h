#pragma once

#include <cstddef>
#include <string>

// The text of a monitor window. Every line gets "\r\n"; the window keeps at most 1024 lines:
// before a line goes into a full window, the oldest 512 go, up to the line break that ends
// line 512, so that an empty line is left at the top.
class MonitorWindowText {
public:
    static constexpr std::size_t MaxLines = 1024;
    static constexpr std::size_t DroppedLines = 512;

    // Returns true when old lines were dropped to make room.
    bool append(const std::string& text);
    const std::string& text() const { return m_text; }
    // Lines as the window counts them: one more than its line ends.
    std::size_t lineCount() const { return m_lineEnds + 1; }

private:
    std::string m_text;
    std::size_t m_lineEnds = 0;
};

// The widest line of a normal run for a library: the library performance download's line with
// its time stamp, or a wider fixed line when the address is short. A monitor window opens wide
// enough for it.
std::string widestMonitorLine(const std::string& address);
