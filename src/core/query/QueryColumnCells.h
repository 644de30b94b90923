#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How a result column's cells read and sort: text ignoring case, integers, dates in the user's
// display format, or times of day.
enum class QueryColumnKind { Text, Integer, Date, Time };

// The cells of one result column in a compact form. Integer, date and time cells are kept as
// 32-bit numbers as long as every cell of the column reads back exactly as it was given; the
// first cell that would not (a text in a number column, for example) turns the column into one
// text buffer with an end offset per cell. A number cell takes 4 bytes, a text cell 8 bytes
// and its text.
class QueryColumnCells {
public:
    explicit QueryColumnCells(QueryColumnKind kind = QueryColumnKind::Text, int dateFormatCode = 0);

    // A new reading of the cells already stored (they are kept as they read).
    void setKind(QueryColumnKind kind, int dateFormatCode = 0);
    QueryColumnKind kind() const { return m_kind; }
    int dateFormatCode() const { return m_dateFormatCode; }
    bool isPacked() const { return m_packed; }

    void append(std::string_view text);
    std::size_t size() const { return m_packed ? m_numbers.size() : m_ends.size(); }
    std::string text(std::size_t row) const;
    // The text of a text cell without a copy; only while the column is not packed.
    std::string_view storedText(std::size_t row) const;

    // Where a cell goes in a sort of a column that is not text: the integer (its leading
    // digits, 0 when there are none), the date as yyyymmdd, the time as seconds since
    // midnight; -1 for a date or time that does not read as one.
    long long orderKey(std::size_t row) const;

    // The first cell with the most characters (not bytes): the one a width must fit.
    std::size_t longestRow() const { return m_longestRow; }

    std::size_t memoryBytes() const;

private:
    bool encode(std::string_view text, std::int32_t& value) const;
    std::string decode(std::int32_t value) const;
    long long keyOfText(std::string_view text) const;
    void unpack();
    void appendText(std::string_view text);
    void noteLength(std::string_view text);

    QueryColumnKind m_kind;
    int m_dateFormatCode;
    bool m_packed;
    std::vector<std::int32_t> m_numbers; // packed cells; EmptyCell marks an empty one
    std::string m_text;                  // text cells one after another
    std::vector<std::uint64_t> m_ends;   // where each text cell ends in m_text
    std::size_t m_longestRow = 0;
    std::size_t m_longestCharacters = 0;
};

// A date as shown in the given format (1 month-day-year, 3 day-month-year, anything else
// year-month-day, always with "-", the year of four digits or two) as yyyymmdd, or -1 when the
// text is not such a date. A two-digit year yy is kept as TwoDigitYears + yy: those dates sort
// after every four-digit one and among themselves in date order.
inline constexpr int TwoDigitYears = 10000;
long long dateOrderKey(std::string_view shown, int dateFormatCode);
// "hh:mm:ss" as seconds since midnight, or -1.
long long timeOrderKey(std::string_view shown);
// Characters of a UTF-8 text.
std::size_t characterCount(std::string_view text);
