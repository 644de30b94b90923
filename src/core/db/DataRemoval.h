#pragma once

#include <optional>
#include <string>
#include <vector>

// Removal of stored mount history rows: all rows of one drive of one library, or all rows of one
// cartridge (volser) in one library, with one DELETE statement. Only the mount history table is
// touched. The "Data Removal Options" dialog and `vaultlinectl delete` both come through here.

namespace data_removal_texts {
inline constexpr const char* ChooseMode =
    "Please check the \"By Drive\" or \"By Volser\" checkbox to choose how to remove data.";
inline constexpr const char* ChooseEntry = "Please selet a volser or drive information to delete.";
inline constexpr const char* DriveQuestion =
    "Are you sure you want to delete data entries including:\nIP: %s  Frame: %s  Drive: %s";
inline constexpr const char* VolserQuestion =
    "Are you sure you want to delete data entries including:\nIP: %s  Volser: %s";
inline constexpr const char* Deleted = "Entries successfully deleted.";
inline constexpr const char* NotDeleted = "Unsuccessful deletion.";
inline constexpr const char* ErrorPreparing = "Error preparing the select statement in report by mount rates:";
inline constexpr const char* ErrorExecuting = "Error executing the select statement in report by mount rates:";
inline constexpr const char* ErrorFetching = "Error fetching date from the select statement in report by mount rates:";
inline constexpr const char* DriveEntry = "Frame: %d  Drive: %d";
// The line under the question that says how much goes, counted before asking.
inline constexpr const char* CountLineOne = "1 entry will be deleted from %s.";
inline constexpr const char* CountLineMany = "%lld entries will be deleted from %s.";
} // namespace data_removal_texts

enum class RemovalMode { None = -1, ByDrive = 0, ByVolser = 1 };

// One library of the tree and its entries: "Frame: %d  Drive: %d" texts or volsers.
struct RemovalLibrary {
    std::string address;
    std::vector<std::string> entries;
};

// The tree for a mode, read from the mount history table of the settings: the libraries in
// address order, each with its drives (by frame, then drive) or its volsers. Empty for no mode;
// nothing when the database could not be read (the user has been told).
std::optional<std::vector<RemovalLibrary>> loadRemovalTree(RemovalMode mode);

std::string driveEntryText(int frame, int drive);

// What the tree's selection says. A library (an item without a parent) selects no entry.
struct RemovalSelection {
    bool entrySelected = false;
    std::string address;
    std::string frame;
    std::string drive;
    std::string volser;
};

// The selection taken from a tree item: by volser the volser is the item's text; by drive the
// frame is the text between its first and second blank and the drive the text after its last.
// parentText is nothing for a library item.
RemovalSelection selectionFromTreeItem(RemovalMode mode, const std::optional<std::string>& parentText,
                                       const std::string& itemText);

// A selection a DELETE can be built from: an entry, and by drive a frame and drive of digits.
bool selectionIsDeletable(RemovalMode mode, const RemovalSelection& selection);

// The confirmation question for a selection.
std::string removalQuestion(RemovalMode mode, const RemovalSelection& selection);

// "delete from <table> where ipaddress = '<address>' and frame = <frame> and drive = <drive>", or
// "... where ipaddress = '<address>' and volser = '<volser>'", quotes of the texts doubled. The
// statement is the same in both dialects.
std::string removalStatement(RemovalMode mode, const std::string& table, const RemovalSelection& selection);

// "select count(*) from <table> where ...": the rows that removalStatement deletes, by the same
// condition.
std::string removalCountStatement(RemovalMode mode, const std::string& table, const RemovalSelection& selection);

struct RemovalCount {
    enum class Status { Counted, Failed, NotConnected };
    Status status = Status::Failed;
    long long rows = 0;
};

// Counts the rows a removal would delete, on a connection of its own. Failures are logged and
// reported by the database layer.
RemovalCount countMountHistoryEntries(RemovalMode mode, const RemovalSelection& selection);

// The confirmation question followed by the line that names how many rows of the table go.
std::string countedRemovalQuestion(RemovalMode mode, const RemovalSelection& selection, long long rows,
                                   const std::string& table);

struct RemovalResult {
    enum class Status { Deleted, NothingMatched, Failed, NotConnected };
    Status status = Status::Failed;
    long long rows = 0;
};

// Connects with the settings, writes the statement to the debug log, runs it and disconnects
// (which commits). Failures are logged and reported by the database layer.
RemovalResult deleteMountHistoryEntries(RemovalMode mode, const RemovalSelection& selection);

// The dialog's Delete button: the mode and selection checks, the count, the question with the
// count, the delete and its message. A count that cannot be read asks nothing and deletes nothing. Nothing when the user was stopped before the database was touched.
std::optional<RemovalResult> runDataRemoval(RemovalMode mode, const RemovalSelection& selection);
