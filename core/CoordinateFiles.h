#pragma once
// The coordinate text files: one record per line, every line ending in CR LF,
// Windows-1254 text without a byte-order mark, no header line.
//
//   XYZ  "%11s%11s%12s%12s"             point number, X, Y, Z
//   YXZ  the same with X and Y exchanged
//   YDE  "   %10s %8s  %8s %8s %5s  "  point number, horizontal angle,
//                                       vertical angle, slope distance,
//                                       target height
//
// Writers put the point number as it is, padded with blanks to its width, and
// every value trimmed of blanks and control characters, right-aligned; a longer
// text is written whole, one blank after a field that it would touch
// otherwise, so that it never runs into it. Readers split each line at runs of
// blanks into the grid's columns, the last column taking the rest of the line.
//
// Failures of the file system raise EInOutError with the system's error number
// and text.

#include "core/RecordStore.h"

#include <string>

// Rows 1 to LinesCountXYZ of the coordinate grid. The file is created anew.
void SaveXYZFile(const RecordStore& store, const std::u16string& fileName);
void SaveYXZFile(const RecordStore& store, const std::u16string& fileName);
// Rows 1 to LinesCountYDE of the observation grid.
void SaveYDEFile(const RecordStore& store, const std::u16string& fileName);
// Both grids, the coordinates in the XYZ layout and the observations in the
// YDE layout, both or neither: the two new files are complete on the disk
// before either takes its old one's place, and a failure before that changes
// neither old file. (A file written in place, where no new file can be made
// beside it, has changed by then.)
void SaveXYZAndYDEFiles(const RecordStore& store, const std::u16string& xyzFileName,
                        const std::u16string& ydeFileName);

// Replace the records of the coordinate grid (observation grid) by the lines of
// the file, then select the XYZ (YDE) format and bring the grid to the front.
// A file that can't be read, or memory that runs out while it is read, changes
// nothing. An empty file, or one that begins with the character of code 26,
// gives no record.
void LoadXYZFile(RecordStore& store, const std::u16string& fileName);
void LoadYDEFile(RecordStore& store, const std::u16string& fileName);
