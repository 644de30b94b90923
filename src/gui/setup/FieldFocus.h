#pragma once

#include <QLineEdit>

// Where a setup page points the user at a field: focus it, select its text, caret at the end.
inline void focusAndSelect(QLineEdit* field)
{
    field->setFocus();
    field->selectAll();
    field->end(true);
}
