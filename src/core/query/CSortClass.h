#pragma once

#include <string>
#include <vector>

class QueryListData;

// One sort pass over the list's rows by one column. Stable: rows that compare equal keep the
// order the previous pass left them in, which is what makes several keys work.
//
// Keys are made once per pass, indexed by stored row: a text column's cells with ASCII letters
// folded to one case (folded texts compare as unsigned bytes, so the parts of a multibyte
// character keep the order of their code points); any other column's order key (an integer,
// a date as yyyymmdd, a time as seconds), whatever the cell's text looks like.
class CSortClass {
public:
    CSortClass(QueryListData& list, int column);
    void Sort(bool ascending);

private:
    QueryListData& m_list;
    bool m_byText;
    std::vector<std::string> m_texts;
    std::vector<long long> m_numbers;
};
