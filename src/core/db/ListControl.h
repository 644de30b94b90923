#pragma once

#include <string>
#include <vector>

// A list that a select fills: the result list view in the desktop program, a recorder in tests.
class ListControl {
public:
    virtual ~ListControl() = default;
    // Column titles in order (the first is "ROW"); numeric marks the columns that sort as numbers.
    virtual void setColumns(const std::vector<std::string>& titles, const std::vector<bool>& numeric) = 0;
    virtual void addRow(const std::vector<std::string>& cells) = 0;
};
