#pragma once

#include "LineReader.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

// A saved library file read line by line as the import reads it: one block and one line in
// memory at a time, however long the file is. The line rules are LineReader's: byte 0 and "_"
// read as blanks, "\n", "\r\n" and a lone "\r" end a line, a line past the limit is too long.
class SavedFileReader {
public:
    SavedFileReader() = default;
    SavedFileReader(const SavedFileReader&) = delete;
    SavedFileReader& operator=(const SavedFileReader&) = delete;

    // 0, or the system's error number when the file cannot be opened.
    int open(const std::string& path);
    // The next line; false at the end of the file or when reading failed (readError says).
    bool next(LineReader::Line& line);
    // The system's error number of a failed read (a folder opens but cannot be read), else 0.
    int readError() const { return m_readError; }
    // Lines returned so far: the number of the last one.
    std::uint64_t lineNumber() const { return m_lineNumber; }
    // Bytes read from the file so far (a block ahead of the lines returned), and the file's
    // size when it opened (0 for what is no regular file).
    std::uint64_t bytesRead() const { return m_bytesRead; }
    std::uint64_t size() const { return m_size; }

private:
    struct FileCloser {
        void operator()(std::FILE* file) const noexcept { std::fclose(file); }
    };
    std::size_t read(char* buffer, std::size_t size);

    std::unique_ptr<std::FILE, FileCloser> m_file;
    std::optional<LineReader> m_reader;
    int m_readError = 0;
    std::uint64_t m_lineNumber = 0;
    std::uint64_t m_bytesRead = 0;
    std::uint64_t m_size = 0;
};
