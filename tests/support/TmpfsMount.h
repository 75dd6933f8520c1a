#pragma once
// A small file system of its own on a folder of the test's, for faults the
// real disk won't show on demand: a full disk, a read-only folder. Mounting
// needs the superuser; Mounted() says whether it worked, so that a test can
// skip without it. Unmounted when it goes, also after a failed test.

#include <filesystem>
#include <string>

#include <sys/mount.h>
#include <unistd.h>

class TmpfsMount {
public:
    // size: as the mount option says it, e.g. "16k".
    TmpfsMount(std::filesystem::path folder, const std::string& size) : folder_(std::move(folder)) {
        std::filesystem::create_directories(folder_);
        options_ = "size=" + size + ",mode=0755";
        mounted_ = ::geteuid() == 0 &&
                   ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options_.c_str()) == 0;
    }
    ~TmpfsMount() {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool Mounted() const { return mounted_; }
    // From now on nothing in it can be changed, not even by the superuser.
    bool MakeReadOnly() {
        return mounted_ && ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV,
                                   options_.c_str()) == 0;
    }

private:
    std::filesystem::path folder_;
    std::string options_;
    bool mounted_ = false;
};
