#include "core/TextTrim.h"

std::u16string_view Trim(std::u16string_view text) {
    std::size_t first = 0;
    while (first < text.size() && IsBlankOrControl(text[first])) ++first;
    std::size_t last = text.size();
    while (last > first && IsBlankOrControl(text[last - 1])) --last;
    return text.substr(first, last - first);
}
