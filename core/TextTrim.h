#pragma once
// Trimming as the upload text and the coordinate files do it: every leading
// and trailing character of code 32 or below (blanks, tabs, CR, LF and the
// other control characters) goes; characters inside the text stay. Wider than
// TrimSpaces, which removes blanks only.

#include <string_view>

constexpr bool IsBlankOrControl(char16_t ch) { return ch <= u' '; }

// The part of the text between its leading and trailing blanks and control
// characters; a view into the same characters.
std::u16string_view Trim(std::u16string_view text);
