#include "QueryTexts.h"

#include <vector>

std::string fillTemplate(std::string_view pattern, std::initializer_list<std::string_view> arguments)
{
    std::string text;
    text.reserve(pattern.size());
    auto next = arguments.begin();
    for (std::size_t pos = 0; pos < pattern.size(); ++pos) {
        const bool marker =
            pattern[pos] == '%' && pos + 1 < pattern.size() && (pattern[pos + 1] == 's' || pattern[pos + 1] == 'd');
        if (marker && next != arguments.end()) {
            text += *next++;
            ++pos;
        } else {
            text += pattern[pos];
        }
    }
    return text;
}

std::string dialogFilter(std::string_view pairs)
{
    // Description and pattern alternate between the bars; only the descriptions are shown.
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t bar = pairs.find('|'); bar != std::string_view::npos; bar = pairs.find('|', start)) {
        parts.push_back(pairs.substr(start, bar - start));
        start = bar + 1;
    }
    std::string filter;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty())
            break;
        if (!filter.empty())
            filter += ";;";
        filter += parts[i];
    }
    return filter;
}

std::string rowCountText(int rows)
{
    return rows == 1 ? query_texts::RowCountOne : fillTemplate(query_texts::RowCountMany, {std::to_string(rows)});
}
