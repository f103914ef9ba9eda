#include "output/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

namespace Kestrel_Output {

OutputFile::OutputFile(const std::string& path, WriteMode mode) : path_(path) {
    if (mode == WriteMode::Replace) {
        OpenBeside();
    } else {
        OpenInPlace();
    }
    if (fd_ < 0) Fail();
}

void OutputFile::OpenInPlace() {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    created_ = fd_ >= 0;
    // An existing file is overwritten; a dangling link gets its target created.
    if (fd_ < 0 && errno == EEXIST) fd_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0 && errno == ENOENT) {
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    }
    struct stat st {};
    regular_ = fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
}

void OutputFile::OpenBeside() {
    struct stat st {};
    const bool exists = ::stat(path_.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        OpenInPlace();
        return;
    }
    // A link stays a link: the file it points to is the one replaced.
    if (char resolved[PATH_MAX]; exists && ::realpath(path_.c_str(), resolved) != nullptr) {
        path_ = resolved;
    }
    const std::string::size_type slash = path_.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : path_.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        tempPath_ = dir + "." + name + "." + std::to_string(random() % 1000000) + ".tmp";
        fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        tempPath_.clear();
        return;
    }
    created_ = true;
    regular_ = true;
    // The replacement keeps the permissions of the file it replaces.
    if (exists) (void)::fchmod(fd_, st.st_mode & 07777);
}

OutputFile::~OutputFile() {
    if (fd_ < 0) return;  // finished
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
    } else if (created_) {
        ::unlink(path_.c_str());
    } else if (regular_) {
        (void)::ftruncate(fd_, 0);
    }
    ::close(fd_);
}

bool OutputFile::Fail() {
    if (error_ == 0) error_ = errno != 0 ? errno : EIO;
    return false;
}

bool OutputFile::Write(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;  // nothing taken: the device is full
        if (n <= 0) return Fail();
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool OutputFile::Finish(std::uint64_t length) {
    if (tempPath_.empty()) {
        if (regular_ && ::ftruncate(fd_, static_cast<off_t>(length)) != 0) return Fail();
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) == 0) return true;
        Fail();
        if (created_) ::unlink(path_.c_str());
        return false;
    }
    // The data must be on the disk before the name points at it.
    if (::fsync(fd_) != 0) return Fail();
    const int fd = fd_;
    fd_ = -1;
    const bool ok = ::close(fd) == 0 && ::rename(tempPath_.c_str(), path_.c_str()) == 0;
    if (!ok) {
        Fail();
        ::unlink(tempPath_.c_str());
    }
    return ok;
}

}  // namespace Kestrel_Output
