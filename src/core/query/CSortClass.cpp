#include "CSortClass.h"

#include "QueryListData.h"

#include <algorithm>

namespace {
unsigned char foldedCase(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

std::string foldedText(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        c = static_cast<char>(foldedCase(static_cast<unsigned char>(c)));
    return folded;
}
} // namespace

CSortClass::CSortClass(QueryListData& list, int column) : m_list(list)
{
    const QueryColumnCells& cells = list.m_cells[static_cast<std::size_t>(column)];
    m_byText = cells.kind() == QueryColumnKind::Text;
    const std::size_t rows = list.m_storedRows;
    if (m_byText) {
        m_texts.reserve(rows);
        for (std::size_t row = 0; row < rows; ++row)
            m_texts.push_back(foldedText(cells.storedText(row)));
    } else {
        m_numbers.reserve(rows);
        for (std::size_t row = 0; row < rows; ++row)
            m_numbers.push_back(cells.orderKey(row));
    }
}

void CSortClass::Sort(bool ascending)
{
    std::vector<int>& order = m_list.m_order;
    // The keys are folded already, so plain comparisons ignore case here.
    const auto sortBy = [&](const auto& keys) {
        const auto less = [&keys](int a, int b) {
            return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
        };
        if (ascending)
            std::stable_sort(order.begin(), order.end(), less);
        else
            std::stable_sort(order.begin(), order.end(), [&less](int a, int b) { return less(b, a); });
    };
    if (m_byText)
        sortBy(m_texts);
    else
        sortBy(m_numbers);
}
