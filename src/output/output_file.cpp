#include "output/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

namespace kestrel::output {

reader::ErrorNumber SaveErrorNumber(const WriteResult& result) {
    using reader::ErrorNumber;
    if (result.outcome == WriteResult::Written) return ErrorNumber::None;
    switch (result.outcome == WriteResult::WriteFailed ? result.error : 0) {
        case EACCES:
        case EPERM:
        case EROFS: return ErrorNumber::PermissionDenied;
        case ENOSPC:
        case EDQUOT: return ErrorNumber::DiskFull;
        case ENOENT:
        case ENOTDIR: return ErrorNumber::PathNotFound;
        default: return ErrorNumber::FileWriteError;
    }
}

bool IsNamedDevice(const std::string& path) {
    return path.rfind("/dev/", 0) == 0 || path.rfind("/proc/self/fd/", 0) == 0;
}

OutputFile::OutputFile(const std::string& path) : path_(path) {
    struct stat st {};
    const bool exists = ::stat(path_.c_str(), &st) == 0;
    if (!exists || S_ISREG(st.st_mode)) {
        OpenBeside(exists, st.st_mode);
    } else if (S_ISCHR(st.st_mode) ||
               (IsNamedDevice(path_) && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)))) {
        OpenDevice();
    } else {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    }
    if (fd_ < 0) Fail();
}

void OutputFile::OpenDevice() {
    // Without O_NONBLOCK a FIFO nobody reads would block the open forever; with it the
    // open fails (ENXIO) instead. Writes then block as usual.
    fd_ = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) return;
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags == -1 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        const int err = errno;
        ::close(fd_);
        fd_ = -1;
        errno = err;
    }
}

void OutputFile::OpenBeside(bool exists, unsigned mode) {
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
    // The replacement keeps the permissions of the file it replaces.
    if (exists) (void)::fchmod(fd_, mode & 07777);
}

OutputFile::~OutputFile() {
    if (fd_ < 0) return;  // finished
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
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

bool OutputFile::Finish() {
    const int fd = fd_;
    fd_ = -1;
    if (tempPath_.empty()) {
        if (::close(fd) == 0) return true;
        return Fail();
    }
    // The data must be on the disk before the name points at it.
    bool ok = ::fsync(fd) == 0 || Fail();
    ok = (::close(fd) == 0 || Fail()) && ok;
    ok = ok && (::rename(tempPath_.c_str(), path_.c_str()) == 0 || Fail());
    if (!ok) ::unlink(tempPath_.c_str());
    return ok;
}

}  // namespace kestrel::output
