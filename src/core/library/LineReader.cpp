#include "LineReader.h"

#include "LibraryFileText.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {
constexpr std::size_t BlockSize = std::size_t{64} * 1024;

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}
} // namespace

LineReader::LineReader(Source source, std::size_t maxLineLength)
    : m_source(std::move(source)), m_maxLineLength(maxLineLength), m_block(BlockSize)
{
}

LineReader LineReader::fromText(std::string_view text, std::size_t maxLineLength)
{
    auto rest = std::make_shared<std::string_view>(text);
    return LineReader(
        [rest](char* buffer, std::size_t size) {
            const std::size_t count = std::min(size, rest->size());
            std::memcpy(buffer, rest->data(), count);
            rest->remove_prefix(count);
            return count;
        },
        maxLineLength);
}

bool LineReader::fill()
{
    if (m_at < m_end)
        return true;
    if (m_exhausted)
        return false;
    m_at = 0;
    m_end = m_source(m_block.data(), m_block.size());
    if (m_end == 0)
        m_exhausted = true;
    return m_end > 0;
}

bool LineReader::skipRestOfLine()
{
    while (fill()) {
        const char* begin = m_block.data() + m_at;
        const char* end = m_block.data() + m_end;
        const char* stop = std::find_if(begin, end, isLineEnd);
        m_at += static_cast<std::size_t>(stop - begin);
        if (stop != end) {
            m_afterCarriageReturn = *stop == '\r';
            ++m_at;
            return true;
        }
    }
    return false;
}

bool LineReader::next(Line& line)
{
    line.text.clear();
    line.tooLong = false;
    line.ended = false;
    if (m_inLongLine) {
        m_inLongLine = false;
        if (!skipRestOfLine())
            return false;
    }
    bool started = false;
    while (fill()) {
        if (m_afterCarriageReturn) {
            m_afterCarriageReturn = false;
            if (m_block[m_at] == '\n') {
                ++m_at;
                continue;
            }
        }
        started = true;
        const char* begin = m_block.data() + m_at;
        const char* end = m_block.data() + m_end;
        const char* stop = std::find_if(begin, end, isLineEnd);
        const auto count = static_cast<std::size_t>(stop - begin);
        if (line.text.size() + count > m_maxLineLength) {
            // Past the limit: report it now, and pass over the rest on the next call, so that a
            // file without any line end costs no more than the limit.
            line.text.clear();
            line.tooLong = true;
            m_at += count;
            m_inLongLine = true;
            return true;
        }
        for (const char* at = begin; at != stop; ++at)
            line.text.push_back(libraryByte(*at));
        m_at += count;
        if (stop != end) {
            m_afterCarriageReturn = *stop == '\r';
            ++m_at;
            line.ended = true;
            return true;
        }
    }
    return started;
}

std::vector<std::string> LineReader::allLines(std::string_view text)
{
    std::vector<std::string> lines;
    LineReader reader = fromText(text);
    for (Line line; reader.next(line);)
        lines.push_back(std::move(line.text));
    return lines;
}
