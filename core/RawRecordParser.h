#pragma once
// The raw record parser: turns the instrument's record stream (the packet
// payloads joined in order) into the rows of the two record grids.
//
// Station records and the point records of types "<", "'", "(" and "?" become
// observation rows; point records of types "x", "/" and "U" become coordinate
// rows. Every value stays text: digits cut out of the stream, a decimal point
// put in by position, leading zeros blanked where the record type says so.
// Malformed data is never an error: filler is dropped, and a record that ends
// too early ends the parse with what was read so far.
//
// At the end the format of the kind with more records is selected (a tie
// selects YDE), its grid comes to the front, and a message box reports both
// counts. The work is linear in the size of the raw data, whatever it holds.

#include "core/RecordStore.h"

#include <string_view>

void ConvertRawData(RecordStore& store, std::u16string_view rawData);
