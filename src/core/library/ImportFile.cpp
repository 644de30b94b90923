#include "ImportFile.h"

#include <cerrno>

#include <sys/stat.h>

int SavedFileReader::open(const std::string& path)
{
    m_reader.reset();
    m_readError = 0;
    m_lineNumber = 0;
    m_bytesRead = 0;
    m_size = 0;
    errno = 0;
    m_file.reset(std::fopen(path.c_str(), "rb"));
    if (!m_file)
        return errno != 0 ? errno : ENOENT;
    struct stat status {};
    if (fstat(fileno(m_file.get()), &status) == 0 && S_ISREG(status.st_mode))
        m_size = static_cast<std::uint64_t>(status.st_size);
    m_reader.emplace([this](char* buffer, std::size_t size) { return read(buffer, size); });
    return 0;
}

std::size_t SavedFileReader::read(char* buffer, std::size_t size)
{
    if (m_readError != 0)
        return 0;
    errno = 0;
    const std::size_t got = std::fread(buffer, 1, size, m_file.get());
    if (got == 0 && std::ferror(m_file.get()))
        m_readError = errno != 0 ? errno : EIO;
    m_bytesRead += got;
    return got;
}

bool SavedFileReader::next(LineReader::Line& line)
{
    // A line that a failed read cut short is no line.
    if (!m_reader || !m_reader->next(line) || m_readError != 0)
        return false;
    ++m_lineNumber;
    return true;
}
