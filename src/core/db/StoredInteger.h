#pragma once

#include <sql.h>

#include <cstdint>
#include <string>
#include <string_view>

// A number column's value as another program may have stored it: SQLite keeps whatever it is
// given, so an int column can hold 2^40, 1e40 or a text. The value is read in 64 bits with its
// kind told apart, so that a report never takes a wrapped or made-up number for the stored one.
struct StoredInteger {
    enum class Kind { Integer, Null, NotANumber };
    Kind kind = Kind::Null;
    std::int64_t value = 0;
    std::string text; // as stored (cut to 64 bytes), for the log line that names a bad value

    bool isInteger() const { return kind == Kind::Integer; }
};

// The kind of a stored value's text: an optional sign and digits that fit in 64 bits (a
// fraction of zeros allowed, as for a whole number stored as a real) is an integer; an empty
// text is NULL; anything else, 1e40 and 2^63 included, is not a number.
StoredInteger storedIntegerFromText(std::string_view text);

// The column of the current row read as above; NULL when the driver says so.
StoredInteger getColumnInteger(SQLHSTMT statement, SQLUSMALLINT column);
