#include "StoredInteger.h"

#include "qmxDB.h"

#include <charconv>

StoredInteger storedIntegerFromText(std::string_view text)
{
    StoredInteger stored;
    stored.text = std::string(text.substr(0, 64));
    if (text.empty())
        return stored;
    stored.kind = StoredInteger::Kind::NotANumber;
    std::string_view digits = text;
    if (const std::size_t point = digits.find('.'); point != std::string_view::npos) {
        const std::string_view fraction = digits.substr(point + 1);
        if (fraction.empty() || fraction.find_first_not_of('0') != std::string_view::npos)
            return stored;
        digits = digits.substr(0, point);
    }
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (digits.size() <= (negative ? 1u : 0u)
        || digits.find_first_not_of("0123456789", negative ? 1 : 0) != std::string_view::npos)
        return stored;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return stored;
    stored.kind = StoredInteger::Kind::Integer;
    stored.value = value;
    return stored;
}

StoredInteger getColumnInteger(SQLHSTMT statement, SQLUSMALLINT column)
{
    // Read as text: a driver's own conversion would turn a text into 0 and 1e40 into a limit.
    const auto text = getColumnText(statement, column, 64);
    if (!text)
        return {};
    StoredInteger stored = storedIntegerFromText(*text);
    if (stored.kind == StoredInteger::Kind::Null)
        stored.kind = StoredInteger::Kind::NotANumber; // an empty text is a text, not NULL
    return stored;
}
