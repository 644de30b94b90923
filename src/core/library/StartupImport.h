#pragma once

#include "Import.h"
#include "SavedFileImport.h"

#include <optional>
#include <string>
#include <vector>

// Saved files the desktop program imports for one library as soon as its window shows, one
// after the other, with the window's progress dialog; the demonstration's first run asks for
// its year so. The mark, when named, is written once every line of every file is stored.
struct StartupImport {
    std::vector<std::string> files;
    std::string libraryAddress;
    std::string markPath;
};

// The program's arguments "--import FILE" (once per file), "--library ADDRESS" and
// "--imported-mark FILE", read among the others (which are left alone). problem is set when
// they are given but do not make an import: the files are then not imported.
struct StartupImportArguments {
    std::optional<StartupImport> import;
    std::string problem;
};
StartupImportArguments startupImportFromArguments(const std::vector<std::string>& arguments);

// The files of a start-up import in turn. A file whose import did not run to the end of the
// file (cancelled, refused, not connected) ends the sequence; a file some lines of which
// failed lets the next one go, but the mark is not written.
class ImportSequence {
public:
    explicit ImportSequence(StartupImport request) : m_request(std::move(request)) {}

    const std::string& libraryAddress() const { return m_request.libraryAddress; }
    // The file to import now; nothing once the sequence has ended.
    std::optional<std::string> next() const;
    // How the import of the file next() named ended, and what it has to say. After the last
    // file, with every line stored, the mark is written (a mark that cannot be written is
    // logged: the next run imports again and stores nothing twice).
    void fileDone(const ImportResult& result, const std::vector<ImportMessage>& messages);
    // The messages of every file imported so far, in order.
    const std::vector<ImportMessage>& messages() const { return m_messages; }
    bool everyLineStored() const { return m_everyLineStored; }

private:
    StartupImport m_request;
    std::size_t m_done = 0;
    bool m_ended = false;
    bool m_everyLineStored = true;
    std::vector<ImportMessage> m_messages;
};
