#include "LibraryConfiguration.h"

#include "LibraryTexts.h"

LibraryConfiguration LibraryConfiguration::read(const std::string& text)
{
    return {hasPerformanceFrame(text), isOvisEnabled(text)};
}

bool hasPerformanceFrame(const std::string& text)
{
    for (const char* frame : library_texts::PerformanceFrames)
        if (text.find(frame) != std::string::npos)
            return true;
    return false;
}

bool isOvisEnabled(const std::string& text)
{
    const std::size_t at = text.find(library_texts::OvisKeyword);
    // A text cut off before the second digit says nothing about it: not enabled.
    if (at == std::string::npos || at + 7 >= text.size())
        return false;
    return text[at + 5] == '1' && text[at + 7] != '0';
}
