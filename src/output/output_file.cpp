#include "output/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

namespace kestrel::output {

namespace {

// The temporary files being written, where a signal handler can read them: fixed places,
// claimed and given back without locks.
struct PendingName {
    std::atomic<bool> claimed{false};
    std::atomic<bool> ready{false};
    char path[PATH_MAX] = {};
};
constexpr int MostPending = 8;
PendingName Pending[MostPending];

constexpr int RemovingSignals[] = {SIGINT, SIGTERM, SIGHUP};

void RemovePendingAndEnd(int signal) {
    for (PendingName& p : Pending) {
        if (p.ready.load(std::memory_order_acquire)) ::unlink(p.path);
    }
    // Only now the default action, which ends the process once the handler returns. Reset
    // on entry instead (SA_RESETHAND), a second signal on the way, as a process group
    // gets it, would end the process at once, before the files are removed.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// The removing signals held back for a scope, so that a temporary file and its place
// among the pending names come and go together.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (const int s : RemovingSignals) sigaddset(&held, s);
        ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
    }
    ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous_;
};

// The place taken, or -1 when every place is taken or the path too long to keep.
int AddPending(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < MostPending; ++i) {
        bool free = false;
        if (!Pending[i].claimed.compare_exchange_strong(free, true)) continue;
        std::memcpy(Pending[i].path, path.c_str(), path.size() + 1);
        Pending[i].ready.store(true, std::memory_order_release);
        return i;
    }
    return -1;
}

void RemovePending(int& place) {
    if (place < 0) return;
    Pending[place].ready.store(false, std::memory_order_release);
    Pending[place].claimed.store(false, std::memory_order_release);
    place = -1;
}

// The file `path` names once symbolic links are followed, also when the last link points
// at nothing yet: writing there keeps the links. Empty, with errno set, for a loop.
std::string FinalTarget(std::string path) {
    for (int links = 0; links < 40; ++links) {  // as many as the system follows
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n <= 0) return path;  // not a link, or nothing there
        if (n == sizeof target) {
            errno = ENAMETOOLONG;
            return {};
        }
        std::string next(target, static_cast<std::size_t>(n));
        const std::string::size_type slash = path.rfind('/');
        if (next.front() != '/' && slash != std::string::npos) next.insert(0, path, 0, slash + 1);
        path = std::move(next);
    }
    errno = ELOOP;
    return {};
}

// ".NAME.RANDOM.tmp", the name shortened as far as needed to stay a legal file name.
std::string TemporaryName(const std::string& name, unsigned random) {
    const std::string suffix = "." + std::to_string(random % 1000000) + ".tmp";
    return "." + name.substr(0, NAME_MAX - 1 - suffix.size()) + suffix;
}

}  // namespace

void RemoveTemporaryFilesOnSignals() {
    for (const int s : RemovingSignals) {
        struct sigaction previous {};
        if (::sigaction(s, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = RemovePendingAndEnd;
        sigemptyset(&action.sa_mask);
        for (const int other : RemovingSignals) sigaddset(&action.sa_mask, other);
        ::sigaction(s, &action, nullptr);
    }
}

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
    path_ = FinalTarget(path_);
    if (path_.empty()) return;
    const std::string::size_type slash = path_.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : path_.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    std::random_device seed;
    std::mt19937 random(seed());
    const SignalsHeld held;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        tempPath_ = dir + TemporaryName(name, static_cast<unsigned>(random()));
        fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        tempPath_.clear();
        return;
    }
    pending_ = AddPending(tempPath_);
    // The replacement keeps the permissions of the file it replaces.
    if (exists) (void)::fchmod(fd_, mode & 07777);
}

OutputFile::~OutputFile() {
    if (fd_ < 0) return;  // finished
    const SignalsHeld held;
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    RemovePending(pending_);
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
    const SignalsHeld held;
    ok = ok && (::rename(tempPath_.c_str(), path_.c_str()) == 0 || Fail());
    if (!ok) ::unlink(tempPath_.c_str());
    RemovePending(pending_);
    return ok;
}

}  // namespace kestrel::output
