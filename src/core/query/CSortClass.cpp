#include "CSortClass.h"

#include "QueryListData.h"
#include "app/AppSettings.h"

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

CSortClass::CSortClass(QueryListData& list, int column, bool numeric) : m_list(list), m_numeric(numeric)
{
    // Keys are made once per pass, not once per comparison.
    m_items.resize(list.m_rows.size());
    for (std::size_t row = 0; row < m_items.size(); ++row) {
        const std::string_view cell = list.storedCell(static_cast<int>(row), column);
        if (numeric)
            m_items[row].number = decimalValue(std::string(cell));
        else
            m_items[row].text = foldedText(cell);
    }
}

void CSortClass::Sort(bool ascending)
{
    // The keys are folded already, so plain comparisons ignore case here.
    const auto less = [this](int a, int b) {
        const CSortItem& left = m_items[static_cast<std::size_t>(a)];
        const CSortItem& right = m_items[static_cast<std::size_t>(b)];
        return m_numeric ? left.number < right.number : left.text < right.text;
    };
    std::vector<int>& order = m_list.m_order;
    if (ascending)
        std::stable_sort(order.begin(), order.end(), less);
    else
        std::stable_sort(order.begin(), order.end(), [&less](int a, int b) { return less(b, a); });
}
