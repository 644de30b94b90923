#include "MonitorFormat.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

std::string formatMonitorText(const char* pattern, ...)
{
    va_list arguments;
    va_start(arguments, pattern);
    va_list measure;
    va_copy(measure, arguments);
    const int length = std::vsnprintf(nullptr, 0, pattern, measure);
    va_end(measure);
    std::string text;
    if (length > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), pattern, arguments);
        text.assign(buffer.data(), static_cast<std::size_t>(length));
    }
    va_end(arguments);
    return text;
}

std::string dialogFilterList(const std::string& filter)
{
    std::string list;
    std::size_t start = 0;
    bool description = true;
    while (start < filter.size()) {
        std::size_t end = filter.find('|', start);
        if (end == std::string::npos)
            end = filter.size();
        if (description && end > start)
            list += (list.empty() ? "" : ";;") + filter.substr(start, end - start);
        description = !description;
        start = end + 1;
    }
    return list;
}
