#pragma once
// The upload text: the coordinate records of the coordinate grid as the
// instrument takes them. "_", then for every row from 1 to LinesCountXYZ the
// record "+<name>_ x<Y>_ y<X>_ z<Z>_", then blanks up to a multiple of 128.
// The name is the trimmed point number padded to 10; each value field is a
// sign and 9 digits standing for the value in thousandths. The x field carries
// the grid's "Y" column and the y field its "X" column.

#include "core/RecordStore.h"

#include <optional>
#include <string>
#include <string_view>

// A plain decimal number (an optional sign, digits, at most one decimal mark
// "." or "," and at least one digit) brought to exactly three decimals after a
// ".": missing ones are filled with "0", more are rounded half away from zero
// on the digit text ("1234.5" and "1234,5" -> "1234.500", "0.9995" -> "1.000",
// "-1.0005" -> "-1.001"). A missing integer part becomes "0". Any other text
// is given back unchanged.
std::u16string ThreeDecimals(std::u16string_view text);

// Why rows 1 to LinesCountXYZ of the coordinate grid can't be sent, or
// nothing when they can. Every value cell ("X", "Y", "Z") must, trimmed, be
// empty or a plain decimal number as ThreeDecimals takes it; the message names
// the first that is not (rows in order, within a row X, Y, Z) by its row, its
// column heading and its trimmed text.
std::optional<std::u16string> UploadRefusal(const RecordStore& store);

// The upload text of rows 1 to LinesCountXYZ of the coordinate grid.
std::u16string UploadText(const RecordStore& store);
