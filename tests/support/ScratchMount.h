#pragma once
// A small tmpfs mounted on a new folder for one test, and unmounted when the
// object goes, also when the test fails. Only root can mount: elsewhere, or
// where mounting fails, Mounted() is false and the test skips.

#include <filesystem>
#include <string>

#include <sys/mount.h>
#include <unistd.h>

class ScratchMount {
public:
    ScratchMount(std::filesystem::path folder, const std::string& size) : folder_(std::move(folder)) {
        std::filesystem::create_directory(folder_);
        mounted_ = ::geteuid() == 0 &&
                   ::mount("korvex-test", folder_.c_str(), "tmpfs", kFlags, ("size=" + size).c_str()) == 0;
    }
    ~ScratchMount() {
        if (mounted_ && ::umount(folder_.c_str()) != 0) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool Mounted() const { return mounted_; }
    const std::filesystem::path& Path() const { return folder_; }
    // Nothing can be written to it from now on; false where that fails.
    bool MakeReadOnly() const {
        return ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | kFlags, nullptr) == 0;
    }

private:
    static constexpr unsigned long kFlags = MS_NOSUID | MS_NODEV | MS_NOEXEC;
    std::filesystem::path folder_;
    bool mounted_ = false;
};
