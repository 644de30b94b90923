#include "QueryColumnCells.h"

#include "app/AppSettings.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>

namespace {
// An empty packed cell; a number cell holding this value itself is kept as text instead.
constexpr std::int32_t EmptyCell = INT32_MIN;

bool digitsAt(std::string_view text, std::size_t at, std::size_t count, int& value)
{
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}
} // namespace

long long dateOrderKey(std::string_view shown, int dateFormatCode)
{
    // Four-digit years, or two (the custom reports' "yy" dates): where year, month and day
    // start in the shown text.
    if (shown.size() != 10 && shown.size() != 8)
        return -1;
    const std::size_t yearDigits = shown.size() == 10 ? 4 : 2;
    std::size_t year = 0, month = yearDigits + 1, day = yearDigits + 4, firstDash = yearDigits;
    if (dateFormatCode == 1) {
        month = 0, day = 3, year = 6, firstDash = 2;
    } else if (dateFormatCode == 3) {
        day = 0, month = 3, year = 6, firstDash = 2;
    }
    const std::size_t secondDash = firstDash + 3;
    int y = 0, m = 0, d = 0;
    if (shown[firstDash] != '-' || shown[secondDash] != '-' || !digitsAt(shown, year, yearDigits, y)
        || !digitsAt(shown, month, 2, m) || !digitsAt(shown, day, 2, d))
        return -1;
    // A two-digit year is kept apart from the four-digit years 0 to 99, so it reads back with
    // two digits.
    if (yearDigits == 2)
        y += TwoDigitYears;
    return y * 10000LL + m * 100 + d;
}

long long timeOrderKey(std::string_view shown)
{
    int h = 0, m = 0, s = 0;
    if (shown.size() != 8 || shown[2] != ':' || shown[5] != ':' || !digitsAt(shown, 0, 2, h)
        || !digitsAt(shown, 3, 2, m) || !digitsAt(shown, 6, 2, s))
        return -1;
    return h * 3600LL + m * 60 + s;
}

std::size_t characterCount(std::string_view text)
{
    // Every byte that does not continue a multibyte sequence starts a character.
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

QueryColumnCells::QueryColumnCells(QueryColumnKind kind, int dateFormatCode)
    : m_kind(kind), m_dateFormatCode(dateFormatCode), m_packed(kind != QueryColumnKind::Text)
{
}

void QueryColumnCells::setKind(QueryColumnKind kind, int dateFormatCode)
{
    if (kind == m_kind && dateFormatCode == m_dateFormatCode)
        return;
    std::vector<std::string> texts;
    texts.reserve(size());
    for (std::size_t row = 0; row < size(); ++row)
        texts.push_back(text(row));
    *this = QueryColumnCells(kind, dateFormatCode);
    for (const std::string& cell : texts)
        append(cell);
}

bool QueryColumnCells::encode(std::string_view text, std::int32_t& value) const
{
    if (text.empty()) {
        value = EmptyCell;
        return true;
    }
    long long key = -1;
    switch (m_kind) {
    case QueryColumnKind::Text:
        return false;
    case QueryColumnKind::Date:
        key = dateOrderKey(text, m_dateFormatCode);
        break;
    case QueryColumnKind::Time:
        key = timeOrderKey(text);
        break;
    case QueryColumnKind::Integer: {
        // Only the one way of writing the number: the text must read back the same.
        std::int32_t number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error != std::errc() || end != text.data() + text.size() || number == EmptyCell)
            return false;
        value = number;
        return decode(number) == text;
    }
    }
    if (key < 0)
        return false;
    value = static_cast<std::int32_t>(key);
    return true;
}

std::string QueryColumnCells::decode(std::int32_t value) const
{
    if (value == EmptyCell)
        return {};
    char buffer[16];
    switch (m_kind) {
    case QueryColumnKind::Date: {
        int y = value / 10000;
        const int m = value / 100 % 100, d = value % 100;
        const int yearDigits = y >= TwoDigitYears ? 2 : 4;
        if (yearDigits == 2)
            y -= TwoDigitYears;
        if (m_dateFormatCode == 1)
            std::snprintf(buffer, sizeof buffer, "%02d-%02d-%0*d", m, d, yearDigits, y);
        else if (m_dateFormatCode == 3)
            std::snprintf(buffer, sizeof buffer, "%02d-%02d-%0*d", d, m, yearDigits, y);
        else
            std::snprintf(buffer, sizeof buffer, "%0*d-%02d-%02d", yearDigits, y, m, d);
        return buffer;
    }
    case QueryColumnKind::Time:
        std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", value / 3600, value / 60 % 60, value % 60);
        return buffer;
    case QueryColumnKind::Integer:
    case QueryColumnKind::Text:
        break;
    }
    return std::to_string(value);
}

void QueryColumnCells::append(std::string_view text)
{
    noteLength(text);
    if (m_packed) {
        std::int32_t value = 0;
        if (encode(text, value)) {
            m_numbers.push_back(value);
            return;
        }
        unpack();
    }
    appendText(text);
}

void QueryColumnCells::appendText(std::string_view text)
{
    m_text.append(text);
    m_ends.push_back(m_text.size());
}

void QueryColumnCells::noteLength(std::string_view text)
{
    const std::size_t characters = characterCount(text);
    if (characters > m_longestCharacters || size() == 0) {
        m_longestCharacters = characters;
        m_longestRow = size();
    }
}

void QueryColumnCells::unpack()
{
    std::vector<std::int32_t> numbers;
    numbers.swap(m_numbers);
    m_packed = false;
    m_ends.reserve(numbers.size());
    for (std::int32_t value : numbers)
        appendText(decode(value));
}

std::string_view QueryColumnCells::storedText(std::size_t row) const
{
    if (m_packed || row >= m_ends.size())
        return {};
    const std::uint64_t begin = row == 0 ? 0 : m_ends[row - 1];
    return std::string_view(m_text).substr(begin, m_ends[row] - begin);
}

std::string QueryColumnCells::text(std::size_t row) const
{
    if (!m_packed)
        return std::string(storedText(row));
    return row < m_numbers.size() ? decode(m_numbers[row]) : std::string();
}

long long QueryColumnCells::keyOfText(std::string_view text) const
{
    switch (m_kind) {
    case QueryColumnKind::Date:
        return dateOrderKey(text, m_dateFormatCode);
    case QueryColumnKind::Time:
        return timeOrderKey(text);
    case QueryColumnKind::Integer:
    case QueryColumnKind::Text:
        break;
    }
    return decimalValue(std::string(text));
}

long long QueryColumnCells::orderKey(std::size_t row) const
{
    if (!m_packed)
        return keyOfText(storedText(row));
    const std::int32_t value = row < m_numbers.size() ? m_numbers[row] : EmptyCell;
    if (value == EmptyCell)
        return m_kind == QueryColumnKind::Integer ? 0 : -1;
    return value;
}

std::size_t QueryColumnCells::memoryBytes() const
{
    return m_numbers.capacity() * sizeof(std::int32_t) + m_text.capacity() + m_ends.capacity() * sizeof(std::uint64_t);
}
