#pragma once

#include "db/FieldText.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Reads a library file's text one line at a time from any source of bytes, holding one block
// and at most one line in memory however long the file is. "\n", "\r\n" and a lone "\r" each
// end a line, so a file saved on any system reads alike; byte 0 and "_" read as blanks.
class LineReader {
public:
    // Far longer than any line a library writes. A longer line is reported as too long as soon
    // as it passes the limit and its remaining bytes are passed over, never held.
    static constexpr std::size_t MaxLineLength = MaxLibraryLineLength;
    static constexpr std::size_t Unlimited = static_cast<std::size_t>(-1);

    // Copies up to size bytes into buffer and returns how many; 0 at the end of the bytes.
    using Source = std::function<std::size_t(char* buffer, std::size_t size)>;

    explicit LineReader(Source source, std::size_t maxLineLength = MaxLineLength);
    // The lines of a text already in memory (its length bounds the lines, so no limit applies
    // unless one is given).
    static LineReader fromText(std::string_view text, std::size_t maxLineLength = Unlimited);

    struct Line {
        std::string text;     // without its line end; empty when the line is too long
        bool tooLong = false; // longer than the limit
        bool ended = false;   // a line end closed it (a file's last line may have none); a
                              // too-long line is reported before its end is seen
    };

    // The next line into line; false at the end of the bytes. A too-long line is returned
    // once, without its text.
    bool next(Line& line);

    // Every line of the text, none too long.
    static std::vector<std::string> allLines(std::string_view text);

private:
    bool fill();
    // Consumes up to and including the next line end; false when the bytes end first.
    bool skipRestOfLine();

    Source m_source;
    std::size_t m_maxLineLength;
    std::vector<char> m_block;
    std::size_t m_at = 0;
    std::size_t m_end = 0;
    bool m_exhausted = false;
    bool m_afterCarriageReturn = false; // a "\n" right after a "\r" belongs to the same line end
    bool m_inLongLine = false;          // the rest of a too-long line is still to be passed over
};
