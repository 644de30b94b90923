#pragma once

#include <string>
#include <vector>

class QueryListData;

// A row's key during one sort pass: the cell as an integer for a numeric column (its leading
// digits, 0 when there are none), otherwise its text with ASCII letters folded to one case.
// Folded texts compare as unsigned bytes, so the parts of a multibyte character keep the order
// of their code points.
struct CSortItem {
    long long number = 0;
    std::string text;
};

// One sort pass over the list's rows by one column. Stable: rows that compare equal keep the
// order the previous pass left them in, which is what makes several keys work.
class CSortClass {
public:
    CSortClass(QueryListData& list, int column, bool numeric);
    void Sort(bool ascending);

private:
    QueryListData& m_list;
    bool m_numeric;
    std::vector<CSortItem> m_items; // indexed by stored row
};
