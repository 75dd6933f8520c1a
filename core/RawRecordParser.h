#pragma once
// The raw record parser: turns the instrument's record stream into rows of the
// two record grids, selects the format with more records and reports both
// counts.

#include "core/RecordStore.h"

#include <string_view>

// Marks the stand-in below, which the window tests of parsed records skip.
#define KORVEX_PARSER_STAND_IN 1

void ConvertRawData(RecordStore& store, std::u16string_view rawData);
