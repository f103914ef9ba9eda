#include "cli/png_writer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

extern char** environ;

namespace Kestrel_Cli {

namespace {

// The folder of the running program, with a trailing slash; empty if unknown.
std::string OwnFolder() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    const std::string exe(buf, static_cast<std::size_t>(n));
    const std::size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

bool WriteAll(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Ignores SIGPIPE while alive, so a helper that dies early fails the write instead of
// ending this process.
class IgnoreSigpipe {
public:
    IgnoreSigpipe() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGPIPE, &ignore, &old_);
    }
    ~IgnoreSigpipe() { ::sigaction(SIGPIPE, &old_, nullptr); }
    IgnoreSigpipe(const IgnoreSigpipe&) = delete;
    IgnoreSigpipe& operator=(const IgnoreSigpipe&) = delete;

private:
    struct sigaction old_ {};
};

}  // namespace

bool WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
              int strideInPixels) {
    if (!pixels || width <= 0 || height <= 0 || strideInPixels < width) return false;
    const std::string helper = OwnFolder() + PngHelperName;
    const std::string w = std::to_string(width);
    const std::string h = std::to_string(height);
    char* const argv[] = {const_cast<char*>(helper.c_str()), const_cast<char*>(path.c_str()),
                          const_cast<char*>(w.c_str()), const_cast<char*>(h.c_str()), nullptr};

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    IgnoreSigpipe ignore;
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawnattr_init(&attr);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, helper.c_str(), &actions, &attr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ::close(fds[0]);
    if (spawned != 0) {
        ::close(fds[1]);
        return false;
    }

    bool sent = true;
    for (int y = 0; y < height && sent; ++y) {
        sent = WriteAll(fds[1], pixels + static_cast<std::ptrdiff_t>(y) * strideInPixels,
                        static_cast<std::size_t>(width) * sizeof(std::uint32_t));
    }
    ::close(fds[1]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return sent && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace Kestrel_Cli
