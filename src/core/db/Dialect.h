#pragma once

#include <string>

// The SQL dialect every statement of the program follows, chosen by the database type of the
// settings: 1 is Oracle, every other value (2, and 0 before setup is complete) is Derby / Nimbus.
// Dates travel as "YYYY-MM-DD" text and times as "HH:MM:SS" text; the dialect says how they are
// written into statements and read back.
class Dialect {
public:
    explicit Dialect(int databaseType);
    // The dialect of the database type in the application's settings at this moment.
    static Dialect current();

    bool isOracle() const { return m_oracle; }

    // Column names as the tables define them: "Dates" or "Date", and "Time".
    std::string dateColumn() const;
    std::string timeColumn() const;

    // Literals from bare texts (no quotes): Oracle TO_DATE('2026-12-07','yyyy-mm-dd') and
    // TO_DATE('15:46:00','hh24:mi:ss'); Derby / Nimbus the quoted text. Quotes are doubled.
    // Derby / Nimbus literals are normalised (normalisedDate, normalisedTime), because the
    // embedded store keeps dates and times as text and compares them as text; Oracle literals
    // carry the text as given, since TO_DATE reads "15:46" as well as "15:46:00".
    std::string dateLiteral(const std::string& date) const;
    std::string timeLiteral(const std::string& time) const;

    // The duplicate checks' condition on the time column, the time compared with seconds:
    // Oracle "(TO_CHAR(time,'hh24:mi:ss') in ('15:46:00'))", Derby / Nimbus "(time in ('15:46:00'))".
    // An Oracle time column is a full time stamp whose date part TO_DATE takes from the month
    // of the insert; only its time of day is the line's, so only that is compared.
    std::string timeKeyCondition(const std::string& time) const;

    // Select-list expressions that read the date and time back as text:
    // "TO_CHAR(DATES,'yyyy-mm-dd') AS DATES" / "DATE", "TO_CHAR(TIME,'hh24:mi:ss') AS TIME" / "TIME".
    std::string dateSelectExpression() const;
    std::string timeSelectExpression() const;

    // "order by dates asc, time asc" / "order by date asc, time asc".
    std::string dateTimeOrderClause() const;

    // One where-clause condition on the date or the time column, followed by one blank:
    // "dates >= TO_DATE('2026-12-07','yyyy-mm-dd') ", "date >= '2026-12-07' ",
    // "time <= TO_DATE('13:05:00','hh24:mi:ss') ", "time <= '13:05:00' ".
    std::string dateCondition(const std::string& comparison, const std::string& date) const;
    std::string timeCondition(const std::string& comparison, const std::string& time) const;

    // Column types of the table definitions.
    std::string textType(int length) const; // varchar2(n) / varchar(n)
    std::string integerType() const;        // number / int
    std::string smallIntegerType() const;   // number / smallint
    std::string dateType() const;           // date
    std::string timeType() const;           // timestamp / time

private:
    bool m_oracle;
};

// The text with every single quote doubled, ready to stand between two quotes in a statement.
std::string escapeQuotes(const std::string& text);
// The text as a quoted SQL literal: quote, text with its quotes doubled, quote.
std::string quoteLiteral(const std::string& text);

// "15:46" gives "15:46:00", "9:05" gives "09:05:00", "15:46:07" stays. Text that is not two or
// three groups of one or two digits separated by colons is returned unchanged.
std::string normalisedTime(const std::string& time);
// "2026-1-5" gives "2026-01-05", "2026-12-07" stays. Text that is not four digits and two
// groups of one or two digits separated by "-" is returned unchanged.
std::string normalisedDate(const std::string& date);
