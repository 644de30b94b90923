#pragma once

#include "Import.h"
#include "ImportFile.h"
#include "ImportOptions.h"
#include "app/UserPrompts.h"
#include "db/OdbcHandles.h"

#include <string>
#include <vector>

// A message an import has for the user, shown once the import has ended.
struct ImportMessage {
    std::string text;
    MessageIcon icon;
};

// One import of a saved file in its three steps, so that the long middle one can run on a
// thread of its own while the window keeps answering:
//   begin       checks the address, opens the file, judges line 1 and connects; on the thread
//               that owns the prompts (the connection's own messages are shown at once)
//   storeLines  reads and stores the data lines; asks and shows nothing, on any thread
//   finish      disconnects and completes the result and the messages; on begin's thread
// The messages are kept, not shown: showImportMessages shows them. Destroyed before finish,
// the connection is released without a word (every chunk stored is committed already).
class SavedFileImport {
public:
    SavedFileImport(std::string path, std::string libraryAddress);
    SavedFileImport(const SavedFileImport&) = delete;
    SavedFileImport& operator=(const SavedFileImport&) = delete;

    // True when there are lines to store; false when the import has ended already (a refused
    // address, a file not read, an unrecognised file, no connection), its result final.
    bool begin();
    // A stop flag in options.store ends it after the current chunk: the outcome is then
    // Stopped, and the counts say what became of the lines read so far.
    void storeLines(const ImportOptions& options);
    void finish();

    const ImportResult& result() const { return m_result; }
    const std::vector<ImportMessage>& messages() const { return m_messages; }

private:
    std::string m_path;
    std::string m_address;
    ImportResult m_result;
    std::vector<ImportMessage> m_messages;
    SavedFileReader m_file;
    OdbcHandles m_handles;
    // Until storeLines has run to the end of the file.
    bool m_stopped = true;
};

// Shows the messages through the application's prompts, in their order.
void showImportMessages(const std::vector<ImportMessage>& messages);
