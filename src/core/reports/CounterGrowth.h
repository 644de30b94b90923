#pragma once

#include <cstdint>
#include <limits>
#include <optional>

// The growth of one lifetime counter read mount after mount, oldest first. A NULL (an empty field
// of the library's file) gives no growth, and the next stored value is compared with the last
// stored one, so that 1, NULL, 1 is no growth at all. The difference is exact in 64 bits: it
// saturates instead of wrapping when two stored values lie further apart than that.
class CounterGrowth {
public:
    // The growth since the last non-NULL value, or none for the first value and for a NULL. A value
    // lower than the last gives a negative growth; callers that count wear treat it as a new base.
    std::optional<std::int64_t> next(std::optional<std::int64_t> value)
    {
        if (!value)
            return std::nullopt;
        const std::optional<std::int64_t> last = m_last;
        m_last = value;
        if (!last)
            return std::nullopt;
        return difference(*value, *last);
    }

    std::optional<std::int64_t> last() const { return m_last; }

    static std::int64_t difference(std::int64_t newer, std::int64_t older)
    {
        std::int64_t result = 0;
        if (!__builtin_sub_overflow(newer, older, &result))
            return result;
        return newer > older ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
    }

private:
    std::optional<std::int64_t> m_last;
};
