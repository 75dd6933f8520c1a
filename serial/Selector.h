#pragma once
// A fixed-list drop-down selector: the user picks one of its items and can't
// type. Its text is the selected item's, or empty with no selection (item
// index -1).

#include <string>
#include <vector>

class Selector {
public:
    explicit Selector(std::vector<std::u16string> items) : items_(std::move(items)) {}

    const std::vector<std::u16string>& Items() const { return items_; }
    int ItemIndex() const { return itemIndex_; }
    // Selecting from code raises no change event. An index outside the list,
    // -1 included, leaves no item selected and an empty text.
    void SetItemIndex(int index);

    std::u16string Text() const;
    // Selects the item with that text. A text that is no item leaves no item
    // selected, and the selector shows the text all the same, so that the user
    // sees the value in force.
    void SetText(const std::u16string& text);

private:
    std::vector<std::u16string> items_;
    int itemIndex_ = -1;
    std::u16string shownText_;  // shown while no item is selected
};
