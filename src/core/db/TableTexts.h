#pragma once

// The fixed texts of the table definitions and of the table page's Create and Delete, byte for byte.
namespace table_texts {
inline constexpr const char* DefaultLayout = "DEFAULT";

inline constexpr const char* LibraryPerformanceSuffix = "_lp";
inline constexpr const char* ReportsSuffix = "_reports";

inline constexpr const char* CreateTableTemplate = "CREATE TABLE %s %s";
inline constexpr const char* DropTableTemplate = "DROP TABLE %s";

// Verbs of the result checks; each is followed by the table name and ")".
inline constexpr const char* PreparedMountCreate = "prepared Mount CreateTable (";
inline constexpr const char* ExecutedMountCreate = "executed Mount CreateTable (";
inline constexpr const char* PreparedLpCreate = "prepared LP CreateTable (";
inline constexpr const char* PreparedReportCreate = "prepared Report CreateTable (";
inline constexpr const char* ExecutedLpCreate = "executed LP CreateTable (";
inline constexpr const char* ExecutedReportCreate = "executed Report CreateTable (";
inline constexpr const char* PreparedMountDrop = "prepared Mount DropTable (";
inline constexpr const char* PreparedLpDrop = "prepared LP DropTable (";
inline constexpr const char* PreparedReportDrop = "prepared Report DropTable (";
inline constexpr const char* ExecutedMountDrop = "executed Mount DropTable (";
inline constexpr const char* ExecutedLpDrop = "executed LP DropTable (";
inline constexpr const char* ExecutedReportDrop = "executed Report DropTable (";

// The unique key on the duplicate-check columns of the two statistics tables.
inline constexpr const char* UniqueKeyIndexSuffix = "_key";
inline constexpr const char* ExecutedCreateUniqueKey = "executed CreateUniqueKey (";
inline constexpr const char* UniqueKeyNotCreated =
    "The unique key %s was not created; the duplicate check alone guards the table";

// The table page's buttons.
inline constexpr const char* CreateTableTitle = "Create Table";
inline constexpr const char* DeleteTableTitle = "Delete Table";
inline constexpr const char* DeleteQuestionStart = "Are you sure you would like to delete '";
inline constexpr const char* DeleteQuestionEnd = "'?";
inline constexpr const char* TableCreated = "Table created successfully";
inline constexpr const char* TableCreateFailed = "Table create failed";
inline constexpr const char* TableDropped = "Table dropped successfully";
inline constexpr const char* TableDropFailed = "Table drop failed";
inline constexpr const char* UnknownLayout = "Unknown table layout %s: only DEFAULT is defined";
} // namespace table_texts
