#include "core/FileIO.h"

#include "core/TextCodec.h"

#include <cerrno>
#include <memory>

#include <sys/stat.h>

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

int LastErrno() { return errno != 0 ? errno : EIO; }
}  // namespace

std::string SystemFileName(std::u16string_view fileName) { return Utf16ToUtf8(fileName); }

std::string ReadFileBytes(std::u16string_view fileName) {
    errno = 0;
    FilePtr file(std::fopen(SystemFileName(fileName).c_str(), "rb"));
    if (!file) throw FileError{LastErrno()};
    std::string bytes;
    // Only a regular file's size says how much will be read: a folder opens
    // too, reports any size, and fails at the first read.
    struct stat status {};
    if (fstat(fileno(file.get()), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, n);
        if (n < sizeof buffer) {
            if (std::ferror(file.get())) throw FileError{LastErrno()};
            break;
        }
    }
    return bytes;
}

OutputFile::OutputFile(std::u16string_view fileName) {
    errno = 0;
    file_.reset(std::fopen(SystemFileName(fileName).c_str(), "wb"));
    if (!file_) throw FileError{LastErrno()};
}

void OutputFile::Write(std::string_view bytes) {
    errno = 0;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size())
        throw FileError{LastErrno()};
}

void OutputFile::Close() {
    if (!file_) return;
    errno = 0;
    const int result = std::fclose(file_.release());
    if (result != 0) throw FileError{LastErrno()};
}
