#pragma once
// Whole-file reading and safe replacing of the program's files. File names are
// UTF-16 in the program and UTF-8 on this system.
//
// Reading takes regular files only: a FIFO, a device or a folder is refused
// at once, without waiting on it, and a file is read up to the size it had
// when it was opened, however it grows meanwhile; one that shrinks meanwhile
// is a read failure.
//
// Writing never leaves a file half written where a new file can be made
// beside it: the new content goes to that new file, readable by the user only
// while it is written, which replaces the old one in one step only once it is
// complete and on the disk, with the old one's permissions, owner, group and
// extended attributes (its access list among them) as far as the system
// allows. Where no new file can be made there (a folder the user may not
// write, a sticky folder with another user's file, a name that leaves no room
// for a longer one) but the old file may be written, the old file itself is
// written from its start and then cut to the new length. A name that is a
// symbolic link writes the file the link points to, and the link stays.

#include "core/Errors.h"

#include <string>
#include <string_view>

// A failure of the file system: the system's error number and, as the
// message, its text (or our own where the system has none).
class FileError : public Exception {
public:
    explicit FileError(int number);
    FileError(int number, std::u16string reason);
    int errorNumber;
};

// The file name as the system takes it.
std::string SystemFileName(std::u16string_view fileName);

// Reads all bytes of a regular file; throws FileError when it can't be opened
// or read, or is no regular file, and FileError(EIO) when it ends before the
// size it had when it was opened.
std::string ReadFileBytes(std::u16string_view fileName);

// Whether a file that can't be replaced by a new one beside it may be written
// in place instead.
enum class InPlace { Allowed, Refused };

// A file being written anew. The old file of that name, if any, stays as it
// was until PutInPlace (or Commit) puts the new one in its place; an
// OutputFile destroyed before that removes what it wrote. Written in place,
// the old file holds what was written so far, and the rest of its old
// content.
class OutputFile {
public:
    // Refuses a name that leads to something other than a regular file or to
    // a file the user may not write, and throws FileError when neither a new
    // file nor (where allowed) the old one can be opened for writing.
    explicit OutputFile(std::u16string_view fileName, InPlace inPlace = InPlace::Allowed);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(std::string_view bytes);  // throws FileError
    // Writes everything to the disk and gives the new file the old one's
    // permissions and, as far as the system allows, its owner, group and
    // extended attributes (or the usual permissions of a new file). Nothing
    // is in place yet: files that change together are all completed first.
    void Complete();  // throws FileError
    // Puts the completed new file in the old one's place.
    void PutInPlace();  // throws FileError
    void Commit() {
        Complete();
        PutInPlace();
    }

private:
    int CreateBeside(const std::string& folder);  // the error number, 0 when made
    void OpenInPlace();
    void Discard() noexcept;
    void GiveFinalOwnerAndMode();

    std::string target_;  // the file that is replaced, links followed
    std::string temp_;    // the new file beside it
    int fd_ = -1;
    bool inPlace_ = false;    // the old file itself is written
    bool completed_ = false;  // and not yet put in place
    bool replacing_ = false;  // an old file is there
    // The new file's permissions (the old file's, or those of a new file),
    // and the old file's owner and group.
    unsigned mode_ = 0;
    unsigned owner_ = 0;
    unsigned group_ = 0;
};
