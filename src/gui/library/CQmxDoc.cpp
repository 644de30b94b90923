#include "CQmxDoc.h"

#include <fstream>

bool CQmxDoc::saveTo(const std::string& path) const
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << m_text.text();
    return static_cast<bool>(file);
}
