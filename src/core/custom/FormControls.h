#pragma once

#include <string>
#include <vector>

// The controls of a form as state without a window: what each shows, holds and allows. A window
// mirrors them; the form's rules change them.

// The state of one control of the form.
struct FormControl {
    bool enabled = true;
    bool shown = true;
};

struct FormCombo : FormControl {
    std::vector<std::string> items;
    int current = 0;

    const std::string& text() const;
    bool onPrompt() const { return current <= 0; }
    // Selects the item with that text; false (and no change) when there is none.
    bool select(const std::string& text);
    // Keeps the prompt at index 0 and puts these items after it.
    void replaceAfterPrompt(const std::vector<std::string>& values);
};

struct FormList : FormControl {
    std::vector<std::string> items;
    std::vector<bool> selected;

    void setItems(std::vector<std::string> values);
    int selectedCount() const;
    std::vector<std::string> selectedItems() const;
    void deselectAll();
    // Selects the first item with that text; false when there is none.
    bool select(const std::string& text);
};

struct FormRadio {
    bool enabled = true;
    bool checked = false;
};
