#include "ImportFile.h"

#include "LibraryFileText.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// "\r\n" becomes "\n"; a "\r" alone stays, as text-mode reading leaves it.
std::string withUnixLineEnds(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n')
            continue;
        text.push_back(bytes[at]);
    }
    return text;
}
} // namespace

int readSavedFile(const std::string& path, std::string& text)
{
    text.clear();
    errno = 0;
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return errno != 0 ? errno : ENOENT;

    // The file is read in blocks to its end, however long it is.
    std::string bytes;
    std::string block(1 << 16, '\0');
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
        bytes.append(block, 0, got);
        if (got < block.size())
            break;
    }
    // A folder opens but cannot be read: the same failure to the user as a missing file.
    if (std::ferror(file.get()))
        return errno != 0 ? errno : EIO;
    text = libraryFileText(withUnixLineEnds(bytes));
    return 0;
}
