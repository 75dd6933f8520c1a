#pragma once
// Whole-file reading and buffered writing of bytes, for the program's text
// files. File names are UTF-16 in the program and UTF-8 on this system.
// Failures carry the system's error number.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

struct FileError {
    int errorNumber;
};

// The file name as the system takes it.
std::string SystemFileName(std::u16string_view fileName);

// Reads all bytes of a file; throws FileError when it can't be opened or read.
std::string ReadFileBytes(std::u16string_view fileName);

// A file created anew (an existing one emptied) for writing. Closed by its
// destructor; Close() reports a failed final write, the destructor can't.
class OutputFile {
public:
    explicit OutputFile(std::u16string_view fileName);  // throws FileError
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(std::string_view bytes);  // throws FileError
    void Close();                        // throws FileError

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};
