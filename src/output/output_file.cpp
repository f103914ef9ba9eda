#include "output/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace Kestrel_Output {

OutputFile::OutputFile(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    created_ = fd_ >= 0;
    // An existing file is overwritten; a dangling link gets its target created.
    if (fd_ < 0 && errno == EEXIST) fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0 && errno == ENOENT) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    }
    struct stat st {};
    regular_ = fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
}

OutputFile::~OutputFile() {
    if (fd_ < 0) return;  // finished
    if (created_) {
        ::unlink(path_.c_str());
    } else if (regular_) {
        (void)::ftruncate(fd_, 0);
    }
    ::close(fd_);
}

bool OutputFile::Write(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool OutputFile::Finish(std::uint64_t length) {
    if (regular_ && ::ftruncate(fd_, static_cast<off_t>(length)) != 0) return false;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) == 0) return true;
    if (created_) ::unlink(path_.c_str());
    return false;
}

}  // namespace Kestrel_Output
