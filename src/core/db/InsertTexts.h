#pragma once

// The insertion's fixed texts, byte for byte.
namespace insert_texts {
inline constexpr const char* PreparingFailed = "Error preparing the insert statement ";
inline constexpr const char* ExecutingVerb = "executing Insert";
inline constexpr const char* ExecutingFailed = "Error executing insert statment: %s";
// Our own lines for what the program refuses before the database sees it.
inline constexpr const char* LineRefused = "Line not inserted, %s: %s";
inline constexpr const char* RefusedByUniqueKey = "Insert refused by the unique key, the line is already stored: %s";
} // namespace insert_texts
