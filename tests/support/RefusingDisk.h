#pragma once
// A scratch folder whose disk can be made full.
#include "support/TestSupport.h"

#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace TestSupport {

// A folder whose disk can be made to refuse lines: a 64 KiB tmpfs filled up by a filler file
// (ENOSPC) where it can be mounted, else a file size limit a part line past a file's size (EFBIG).
class RefusingDisk {
public:
    RefusingDisk() : path_(scratch_.File("disk")) {
        std::filesystem::create_directories(path_);
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~RefusingDisk() {
        Free();
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    std::string Cause() const { return mounted_ ? "No space left on device" : "File too large"; }
    // Room is left for no more than part of a line after file.
    void Fill(const std::string& file) { FillTo(std::filesystem::file_size(file) + 31); }
    // No room for any new file.
    void FillAll() { FillTo(0); }
    void Free() {
        limit_.reset();
        std::filesystem::remove(File("filler"));
    }

private:
    // Without the mount, no file may grow past limit bytes.
    void FillTo(uintmax_t limit) {
        if (!mounted_) {
            limit_.emplace(limit);
            return;
        }
        const int fd = ::open(File("filler").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        const std::string block(4096, 'f');
        while (fd >= 0 && ::write(fd, block.data(), block.size()) == ssize_t(block.size())) {
        }
        if (fd >= 0) ::close(fd);
    }

    ScratchDir scratch_;
    std::string path_;
    bool mounted_ = false;
    std::optional<FileSizeLimit> limit_;
};

} // namespace TestSupport
