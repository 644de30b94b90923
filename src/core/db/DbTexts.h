#pragma once

// The database layer's fixed texts, byte for byte.
namespace db_texts {
inline constexpr const char* ConnectionTitle = "Database Connection";
inline constexpr const char* ConnectionSuccessful = "Connection successful";
inline constexpr const char* DisconnectQuestion = "Are you sure you would like to disconnect from the database?";
inline constexpr const char* NimbusTool = "nimbuscmd";
} // namespace db_texts
