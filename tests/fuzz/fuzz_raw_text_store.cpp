// Any UTF-16 text written to the raw text store: no line holds a line end or
// a NUL, and reading the text back and writing it again keeps the lines.

#include "core/RawTextStore.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);

    RawTextStore store;
    store.SetText(text);
    const std::size_t breaks = static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char16_t ch) { return ch == u'\r' || ch == u'\n'; }));
    if (static_cast<std::size_t>(store.Count()) > breaks + 1) std::abort();
    for (std::int32_t i = 0; i < store.Count(); ++i)
        if (store.Strings(i).find_first_of(std::u16string_view(u"\r\n\0", 3)) != std::u16string::npos) std::abort();

    RawTextStore again;
    again.SetText(store.Text());
    if (again.Count() != store.Count()) std::abort();
    for (std::int32_t i = 0; i < store.Count(); ++i)
        if (again.Strings(i) != store.Strings(i)) std::abort();
    return 0;
}
