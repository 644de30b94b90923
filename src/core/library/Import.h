#pragma once

#include "SavedFileCheck.h"
#include "ImportOptions.h"

#include <optional>
#include <string>

// How an import ended. Stopped: its stop flag ended it after a chunk, before the end of the
// file; the lines of every chunk stored stay stored.
enum class ImportOutcome { Cancelled, AddressTooLong, FileNotOpened, InvalidFormat, NotConnected, Stopped, Completed };

// What one import did: the kind of file it read and what became of each of its data lines.
struct ImportResult {
    ImportOutcome outcome = ImportOutcome::Cancelled;
    SavedFileKind kind = SavedFileKind::Invalid;
    int inserted = 0;   // new rows
    int duplicates = 0; // lines that were stored before
    int failed = 0;     // lines the database did not take (details in the debug log)

    // Every data line of the file is in the database now, stored by this import or an earlier one.
    bool everyLineStored() const { return outcome == ImportOutcome::Completed && failed == 0; }
};

// What File > Import.. imports: the saved file and the library it came from.
struct ImportRequest {
    std::string path;
    std::string libraryAddress;
};

// File > Import..'s dialogs: asks for the saved file and the name of the library it came
// from. A name too long for the tables is refused and asked for again. Nothing when either
// dialog is cancelled.
std::optional<ImportRequest> askImportRequest();

// File > Import.. in one go: askImportRequest, then importSavedFile. Cancelling either dialog
// ends the command with nothing done.
ImportResult runImportCommand();

// Imports a saved mount history or library performance file for the library address: refuses
// an address too long for the tables before anything else (libraryAddressProblem), judges
// the file by its line 1 alone (an unrecognised file never opens a connection), connects with
// the stored settings, then reads the file line by line and stores every data line not yet
// stored, and shows the summary. Every message goes through the application's prompts.
ImportResult importSavedFile(const std::string& path, const std::string& libraryAddress,
                             const ImportOptions& options = {});

// The file dialog's "Description (*.x)|*.x|...||" pairs as the prompts' "Description (*.x);;..." filter.
std::string promptFilter(const std::string& pairs);

// "Inserted %d new entries from ... file into database" for the kind and count.
std::string importSummaryText(SavedFileKind kind, int inserted);

// What a stopped import says: how many lines of the file are stored (new or stored before)
// and that importing the file again stores the rest.
std::string importStoppedText(const ImportResult& result);
