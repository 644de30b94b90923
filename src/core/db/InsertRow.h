#pragma once

#include <sql.h>
#include <string>
#include <string_view>

// Result codes of InsertMR and qmxDB::InsertLP.
inline constexpr int InsertFailed = 0;
inline constexpr int InsertDone = 1;
inline constexpr int InsertDuplicate = 2;

// The steps the two insert operations share once their statements are built: the duplicate
// check through selectIntoList (a stored row gives 2, a failed check 0), the INSERT itself
// (written to the debug log first when logInsert is set), with the cursor closed at the end.
int insertUnlessStored(const std::string& table, const std::string& duplicateCheck, const std::string& insert,
                       SQLHSTMT statement, bool logInsert);

// Prepares and executes one INSERT: 1 inserted, 0 failed (logged with its diagnostics, no
// message boxes), 2 when the table's unique key refused it because another writer stored
// the same line after our duplicate check.
int runInsertStatement(const std::string& insert, SQLHSTMT statement);

// The statement's last error is a unique key violation.
bool isUniqueKeyViolation(SQLHSTMT statement);

// "Line not inserted, <reason>: <line>", the log line of a refused line.
std::string lineRefusedText(const std::string& reason, const std::string& line);
// The line could not be stored for the reason given: logged, result 0.
int refuseLine(const std::string& reason, const std::string& line);
// A line longer than any a library writes is refused for its length alone, before it is parsed;
// the log shows its start only. Result 0.
int refuseTooLongLine(std::string_view line);
std::string tooLongLineReason();
