#include "FormControls.h"

#include <algorithm>

namespace {
const std::string& emptyText()
{
    static const std::string empty;
    return empty;
}
} // namespace

const std::string& FormCombo::text() const
{
    return current >= 0 && current < static_cast<int>(items.size()) ? items[current] : emptyText();
}

bool FormCombo::select(const std::string& value)
{
    const auto found = std::find(items.begin(), items.end(), value);
    if (found == items.end())
        return false;
    current = static_cast<int>(found - items.begin());
    return true;
}

void FormCombo::replaceAfterPrompt(const std::vector<std::string>& values)
{
    items.resize(std::min<std::size_t>(items.size(), 1));
    items.insert(items.end(), values.begin(), values.end());
    if (current >= static_cast<int>(items.size()))
        current = 0;
}

void FormList::setItems(std::vector<std::string> values)
{
    items = std::move(values);
    selected.assign(items.size(), false);
}

int FormList::selectedCount() const
{
    return static_cast<int>(std::count(selected.begin(), selected.end(), true));
}

std::vector<std::string> FormList::selectedItems() const
{
    std::vector<std::string> chosen;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (selected[i])
            chosen.push_back(items[i]);
    return chosen;
}

void FormList::deselectAll()
{
    selected.assign(items.size(), false);
}

bool FormList::select(const std::string& value)
{
    const auto found = std::find(items.begin(), items.end(), value);
    if (found == items.end())
        return false;
    selected[found - items.begin()] = true;
    return true;
}
