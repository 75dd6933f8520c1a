#include "serial/Selector.h"

#include <algorithm>

void Selector::SetItemIndex(int index) {
    itemIndex_ = (index >= 0 && index < static_cast<int>(items_.size())) ? index : -1;
    shownText_.clear();
}

std::u16string Selector::Text() const {
    return itemIndex_ >= 0 ? items_[static_cast<std::size_t>(itemIndex_)] : shownText_;
}

void Selector::SetText(const std::u16string& text) {
    const auto it = std::find(items_.begin(), items_.end(), text);
    if (it != items_.end()) {
        SetItemIndex(static_cast<int>(it - items_.begin()));
    } else {
        itemIndex_ = -1;
        shownText_ = text;
    }
}
