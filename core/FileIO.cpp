#include "core/FileIO.h"

#include "core/TextCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

constexpr char16_t kNotARegularFile[] = u"Not a regular file";
// Links followed before a name counts as a loop, as the system counts them.
constexpr int kMaxLinks = 40;

int LastErrno() { return errno != 0 ? errno : EIO; }

[[noreturn]] void ThrowErrno() { throw FileError(LastErrno()); }

// The error for a name that exists but is no regular file.
[[noreturn]] void ThrowNotRegular(mode_t mode) {
    if (S_ISDIR(mode)) throw FileError(EISDIR);
    throw FileError(EINVAL, kNotARegularFile);
}

// Closes a descriptor however the function that opened it ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The text of a symbolic link. Its size as lstat gave it may be 0 (some file
// systems) or out of date: a text that fills the buffer may be cut, and is
// read again into a larger one.
std::string ReadLink(const std::string& path, off_t size) {
    std::string target(static_cast<std::size_t>(size > 0 ? size : 255) + 1, '\0');
    for (;;) {
        errno = 0;
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0) ThrowErrno();
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            return target;
        }
        target.resize(target.size() * 2);
    }
}

// The file a name stands for: symbolic links followed to their end, which
// may not exist yet.
std::string FollowLinks(std::string path) {
    for (int hops = 0;; ++hops) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
        if (hops == kMaxLinks) throw FileError(ELOOP);
        const std::string target = ReadLink(path, status.st_size);
        path = !target.empty() && target.front() == '/' ? target : FolderOf(path) + '/' + target;
    }
}

void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        errno = 0;
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ThrowErrno();
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

// What the system fills into a buffer of a size it tells first, as
// listxattr and getxattr do; nothing where it can't be read. The size may
// grow in between, which is tried again a few times.
template <class Fill>
std::optional<std::string> ReadSized(Fill fill) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        const ssize_t size = fill(nullptr, 0);
        if (size < 0) return std::nullopt;
        std::string buffer(static_cast<std::size_t>(size), '\0');
        const ssize_t got = fill(buffer.data(), buffer.size());
        if (got >= 0) {
            buffer.resize(static_cast<std::size_t>(got));
            return buffer;
        }
        if (errno != ERANGE) return std::nullopt;
    }
    return std::nullopt;
}

// The names of an attribute list as listxattr gives it: each ends in NUL.
std::vector<std::string> AttributeNames(const std::string& list) {
    std::vector<std::string> names;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find('\0', start), list.size());
        if (end > start) names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::optional<std::string> Attribute(const std::string& path, const std::string& name) {
    return ReadSized(
        [&](char* buffer, std::size_t size) { return ::getxattr(path.c_str(), name.c_str(), buffer, size); });
}

// Gives the new file the old one's extended attributes, its access list
// among them, and takes from it those the old one lacks (an access list it
// took from its folder's default one, say), so that it grants what the old
// one granted. What the file system or the user's rights refuse stays as it
// is: attributes are kept where they can be.
void CopyAttributes(const std::string& from, int to) {
    const std::optional<std::string> list =
        ReadSized([&](char* buffer, std::size_t size) { return ::listxattr(from.c_str(), buffer, size); });
    if (!list) return;  // none kept by this file system, or not to be read
    const std::vector<std::string> names = AttributeNames(*list);
    for (const std::string& name : names) {
        if (const std::optional<std::string> value = Attribute(from, name))
            ::fsetxattr(to, name.c_str(), value->data(), value->size(), 0);
    }
    const std::optional<std::string> own =
        ReadSized([&](char* buffer, std::size_t size) { return ::flistxattr(to, buffer, size); });
    for (const std::string& name : AttributeNames(own.value_or(""))) {
        if (std::find(names.begin(), names.end(), name) == names.end()) ::fremovexattr(to, name.c_str());
    }
}

// The permission bits of an access list in the system's attribute form (a
// little-endian version word, then entries of tag, permissions and id): the
// owner's, the mask's (without one, the owning group's) and the others'.
std::optional<mode_t> AccessListMode(const std::string& list) {
    constexpr std::size_t kHeader = 4;
    constexpr std::size_t kEntry = 8;
    constexpr unsigned kOwner = 0x01, kOwningGroup = 0x04, kMask = 0x10, kOthers = 0x20;
    if (list.size() < kHeader || (list.size() - kHeader) % kEntry != 0) return std::nullopt;
    const auto byte = [&](std::size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(list[at])); };
    unsigned owner = 0, group = 0, others = 0;
    std::optional<unsigned> mask;
    for (std::size_t at = kHeader; at < list.size(); at += kEntry) {
        const unsigned tag = byte(at) | byte(at + 1) << 8;
        const unsigned permissions = byte(at + 2) & 7;
        if (tag == kOwner) owner = permissions;
        if (tag == kOwningGroup) group = permissions;
        if (tag == kMask) mask = permissions;
        if (tag == kOthers) others = permissions;
    }
    return static_cast<mode_t>(owner << 6 | mask.value_or(group) << 3 | others);
}

// The process's file mode creation mask, read where Linux shows it, so that
// it is never changed, not even for a moment another thread could see; set
// and set back only where it is not shown.
mode_t ProcessUmask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) != 0) continue;
        char* end = nullptr;
        const unsigned long mask = std::strtoul(line.c_str() + 6, &end, 8);
        if (end != line.c_str() + 6) return static_cast<mode_t>(mask & 0777);
    }
    const mode_t mask = ::umask(077);
    ::umask(mask);
    return mask;
}

// Whether a sticky folder keeps the user from putting a new file in the
// place of this one: there only the owner of the file or of the folder, and
// root, may rename over it.
bool StickyForUs(const std::string& folder, uid_t fileOwner) {
    struct stat status {};
    const uid_t user = ::geteuid();
    return ::stat(folder.c_str(), &status) == 0 && (status.st_mode & S_ISVTX) != 0 && fileOwner != user &&
           status.st_uid != user && user != 0;
}

// The permissions a file created with 0666 in the folder gets: those its
// default access list gives, where it has one (the mask then plays no part),
// else 0666 less the process's mask.
mode_t NewFileMode(const std::string& folder) {
    if (const std::optional<std::string> defaults = Attribute(folder, "system.posix_acl_default")) {
        if (const std::optional<mode_t> mode = AccessListMode(*defaults)) return *mode & 0666;
    }
    return 0666 & ~ProcessUmask();
}

}  // namespace

FileError::FileError(int number) : FileError(number, SystemErrorMessage(number)) {}

FileError::FileError(int number, std::u16string reason)
    : Exception(std::move(reason)), errorNumber(number) {}

std::string SystemFileName(std::u16string_view fileName) { return Utf16ToUtf8(fileName); }

std::string ReadFileBytes(std::u16string_view fileName) {
    const std::string name = SystemFileName(fileName);
    // Looked at before it is opened: opening a FIFO or a device could wait,
    // or do something to the device.
    struct stat status {};
    errno = 0;
    if (::stat(name.c_str(), &status) != 0) ThrowErrno();
    if (!S_ISREG(status.st_mode)) ThrowNotRegular(status.st_mode);
    const Descriptor file(::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) ThrowErrno();
    // The name may have been replaced in between.
    if (::fstat(file.get(), &status) != 0) ThrowErrno();
    if (!S_ISREG(status.st_mode)) ThrowNotRegular(status.st_mode);

    std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        errno = 0;
        const ssize_t n = ::read(file.get(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ThrowErrno();
        // Cut short meanwhile, by another program rewriting it: what came is
        // no whole file, and a grid of it would lose its last records unseen.
        if (n == 0) throw FileError(EIO);
        got += static_cast<std::size_t>(n);
    }
    return bytes;
}

OutputFile::OutputFile(std::u16string_view fileName, InPlace inPlace) : target_(FollowLinks(SystemFileName(fileName))) {
    const std::string folder = FolderOf(target_);
    struct stat status {};
    errno = 0;
    if (::stat(target_.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) ThrowNotRegular(status.st_mode);
        // A file the user may not write is not replaced, even where its
        // folder would let a new file take its place.
        if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) ThrowErrno();
        replacing_ = true;
        mode_ = status.st_mode & 07777;
        owner_ = status.st_uid;
        group_ = status.st_gid;
    } else if (errno != ENOENT) {
        ThrowErrno();
    } else {
        mode_ = NewFileMode(folder);
    }
    // Where the rename would be refused, known beforehand: nothing is made.
    const int error = replacing_ && StickyForUs(folder, owner_) ? EPERM : CreateBeside(folder);
    if (error == 0) return;
    // No new file may be made in the folder, or put in the old one's place,
    // or its name would be too long for the system: the old file, which the
    // user may write, is written in place, the one way left to save. (A full
    // disk is no reason: the old file stays whole then.)
    if (inPlace == InPlace::Refused || !replacing_ || (error != EACCES && error != EPERM && error != ENAMETOOLONG))
        throw FileError(error);
    OpenInPlace();
}

int OutputFile::CreateBeside(const std::string& folder) {
    // A fresh name in the same folder, so that the rename is one step; short,
    // so that a long file name can't make it too long. Readable by the user
    // only while it is written: what it holds may be more private than the
    // folder. Completing it gives it its final permissions.
    std::random_device random;
    for (int attempt = 0;; ++attempt) {
        temp_ = folder + "/.korvex-" + std::to_string(random() % 1000000000u) + ".new";
        errno = 0;
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0600);
        if (fd_ >= 0) return 0;
        if (errno != EEXIST || attempt == 100) {
            temp_.clear();
            return LastErrno();
        }
    }
}

void OutputFile::OpenInPlace() {
    // Not cut to nothing first: a save that fails on the way, or never
    // writes, leaves as much of the old content as it can. Without waiting,
    // should the name have become a FIFO meanwhile.
    errno = 0;
    Descriptor file(::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) ThrowErrno();
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) ThrowErrno();
    if (!S_ISREG(status.st_mode)) ThrowNotRegular(status.st_mode);
    fd_ = file.release();
    inPlace_ = true;
}

OutputFile::~OutputFile() { Discard(); }

void OutputFile::Discard() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

void OutputFile::Write(std::string_view bytes) {
    if (fd_ < 0) throw FileError(EBADF);
    WriteAll(fd_, bytes);
}

void OutputFile::Complete() {
    if (fd_ < 0) throw FileError(EBADF);
    errno = 0;
    if (inPlace_) {
        // What is left of the old content beyond the new goes.
        const off_t length = ::lseek(fd_, 0, SEEK_CUR);
        if (length < 0 || ::ftruncate(fd_, length) != 0) ThrowErrno();
    } else {
        GiveFinalOwnerAndMode();
    }
    if (::fsync(fd_) != 0) ThrowErrno();
    if (::close(std::exchange(fd_, -1)) != 0) ThrowErrno();
    completed_ = true;
}

void OutputFile::PutInPlace() {
    if (!completed_) throw FileError(EBADF);
    completed_ = false;
    if (inPlace_) return;  // there already
    errno = 0;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) ThrowErrno();
    temp_.clear();
    // The new name on the disk too; a folder that can't be synced loses
    // nothing that is not already safe.
    const Descriptor folder(::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) ::fsync(folder.get());
}

void OutputFile::GiveFinalOwnerAndMode() {
    if (replacing_) {
        // The old owner where the system allows it (always for root), else
        // at least the old group where the user belongs to it, else the
        // user's own. A change of owner clears some attributes, so it comes
        // first.
        if (::fchown(fd_, owner_, group_) != 0 && ::fchown(fd_, static_cast<uid_t>(-1), group_) != 0) {
            // Neither is allowed: the new file stays the user's.
        }
        CopyAttributes(target_, fd_);
    }
    // The permissions last: with an access list they set its mask from the
    // group's bits, as the old file had it.
    struct stat status {};
    errno = 0;
    if (::fstat(fd_, &status) != 0) ThrowErrno();
    // Only when they differ: some file systems refuse any change of mode. A
    // new name on such a one keeps what the file system gave it.
    if ((status.st_mode & 07777) != mode_ && ::fchmod(fd_, mode_) != 0 && replacing_) ThrowErrno();
}
