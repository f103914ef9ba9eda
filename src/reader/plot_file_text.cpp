#include "reader/plot_file_text.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>

namespace kestrel::reader {
namespace {

// Mapped texts, read by the signal handler: plain atomics, no locks.
struct MappedRange {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<std::uintptr_t> released{0};  // pages before it were given back
    std::atomic<bool> cut{false};
};

constexpr int MaxMapped = 32;
MappedRange Mapped[MaxMapped];
std::uintptr_t PageSize = 4096;
struct sigaction PreviousBusHandler {};

// Touching a mapped page past the end of a file that shrank raises SIGBUS. For our
// texts the rest of the mapping becomes zeros and reading ends at its next check;
// any other SIGBUS goes where it went before.
void OnBusError(int signal, siginfo_t* info, void* context) {
    const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (MappedRange& r : Mapped) {
        const std::uintptr_t begin = r.begin.load(std::memory_order_acquire);
        const std::uintptr_t end = r.end.load(std::memory_order_acquire);
        if (begin == 0 || at < begin || at >= end) continue;
        const std::uintptr_t page = at & ~(PageSize - 1);
        void* zeros = ::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros != MAP_FAILED) {
            r.cut.store(true, std::memory_order_release);
            return;
        }
    }
    if ((PreviousBusHandler.sa_flags & SA_SIGINFO) != 0 &&
        PreviousBusHandler.sa_sigaction != nullptr) {
        PreviousBusHandler.sa_sigaction(signal, info, context);
    } else if (PreviousBusHandler.sa_handler != SIG_DFL &&
               PreviousBusHandler.sa_handler != SIG_IGN) {
        PreviousBusHandler.sa_handler(signal);
    } else {
        ::signal(signal, SIG_DFL);  // the access runs again and ends the process, as it would have
    }
}

void InstallBusHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        PageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &PreviousBusHandler);
    });
}

MappedRange* RangeOf(const char* p) {
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    for (MappedRange& r : Mapped) {
        const std::uintptr_t begin = r.begin.load(std::memory_order_acquire);
        if (begin != 0 && at >= begin && at <= r.end.load(std::memory_order_relaxed)) return &r;
    }
    return nullptr;
}

constexpr std::size_t PopulateUpTo = std::size_t{16} << 20;

// Gives back at most this much at a time, and only whole runs of it, to keep the calls few.
constexpr std::uintptr_t ReleaseStep = std::uintptr_t{4} << 20;

}  // namespace

int PlotFileText::Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return err;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return EINVAL;
    }
    size_ = static_cast<std::size_t>(st.st_size);
    if (size_ == 0) {
        ::close(fd);
        return 0;
    }
    InstallBusHandler();
    int slot = 0;
    for (; slot < MaxMapped; ++slot) {
        std::uintptr_t free = 0;
        // Claimed with a placeholder; the real range is stored once mapped.
        if (Mapped[slot].begin.compare_exchange_strong(free, 1)) break;
    }
    if (slot == MaxMapped) {
        ::close(fd);
        size_ = 0;
        return ENOMEM;
    }
    // A small file is mapped whole at once, which costs less than a fault a page.
    const int populate = size_ <= PopulateUpTo ? MAP_POPULATE : 0;
    void* text = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | populate, fd, 0);
    const int err = errno;
    ::close(fd);
    if (text == MAP_FAILED) {
        Mapped[slot].begin.store(0, std::memory_order_release);
        size_ = 0;
        return err;
    }
    ::madvise(text, size_, MADV_SEQUENTIAL);
    data_ = static_cast<const char*>(text);
    slot_ = slot;
    MappedRange& r = Mapped[slot];
    const auto begin = reinterpret_cast<std::uintptr_t>(data_);
    r.cut.store(false);
    r.released.store(begin);
    r.end.store(begin + size_, std::memory_order_release);
    r.begin.store(begin, std::memory_order_release);
    return 0;
}

PlotFileText::~PlotFileText() {
    if (slot_ < 0) return;
    Mapped[slot_].end.store(0, std::memory_order_release);
    Mapped[slot_].begin.store(0, std::memory_order_release);
    ::munmap(const_cast<char*>(data_), size_);
}

bool PassedMappedText(const char* upTo) {
    MappedRange* r = RangeOf(upTo);
    if (r == nullptr) return true;
    const std::uintptr_t released = r->released.load(std::memory_order_relaxed);
    const std::uintptr_t until = reinterpret_cast<std::uintptr_t>(upTo) & ~(ReleaseStep - 1);
    if (until > released) {
        ::madvise(reinterpret_cast<void*>(released), until - released, MADV_DONTNEED);
        r->released.store(until, std::memory_order_relaxed);
    }
    return !r->cut.load(std::memory_order_acquire);
}

}  // namespace kestrel::reader
