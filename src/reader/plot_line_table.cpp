#include "reader/plot_line_table.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace kestrel::reader {
namespace {

// Below this a table stays on the heap: a mapping per page of a small table wastes more
// than it saves, and a plot file may hold thousands of small plots.
constexpr std::size_t MapFrom = std::size_t{1} << 20;

std::size_t PageRound(std::size_t bytes) {
    static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

}  // namespace

void PlotLineTable::resize(std::size_t n, const PlotLine& fill) {
    if (n > capacity_) {
        const PlotLine copy = fill;
        Grow(n);
        for (std::size_t k = size_; k < n; ++k) data_[k] = copy;
    } else {
        for (std::size_t k = size_; k < n; ++k) data_[k] = fill;
    }
    size_ = n;
}

void PlotLineTable::shrink_to_fit() {
    if (capacity_ > size_) Reallocate(size_);
}

void PlotLineTable::Take(PlotLineTable& other) noexcept {
    data_ = other.data_;
    size_ = other.size_;
    capacity_ = other.capacity_;
    mappedBytes_ = other.mappedBytes_;
    other.data_ = nullptr;
    other.size_ = other.capacity_ = other.mappedBytes_ = 0;
}

void PlotLineTable::Release() noexcept {
    if (mappedBytes_ > 0) {
        ::munmap(data_, mappedBytes_);
    } else {
        std::free(data_);
    }
    data_ = nullptr;
    size_ = capacity_ = mappedBytes_ = 0;
}

void PlotLineTable::Grow(std::size_t needed) {
    // Moving a mapping costs no copy, so it grows by half; heap blocks double.
    const std::size_t step = mappedBytes_ > 0 ? capacity_ / 2 : capacity_;
    std::size_t next = capacity_ + (step < 16 ? 16 : step);
    if (next < needed) next = needed;
    Reallocate(next);
}

void PlotLineTable::Reallocate(std::size_t newCapacity) {
    if (newCapacity > std::numeric_limits<std::size_t>::max() / sizeof(PlotLine) / 2) {
        throw std::bad_alloc();
    }
    const std::size_t bytes = newCapacity * sizeof(PlotLine);
    if (bytes < MapFrom) {
        if (bytes == 0) {
            Release();
            return;
        }
        void* block;
        if (mappedBytes_ == 0) {
            block = std::realloc(data_, bytes);
            if (block == nullptr) throw std::bad_alloc();
        } else {
            block = std::malloc(bytes);
            if (block == nullptr) throw std::bad_alloc();
            std::memcpy(block, data_, size_ * sizeof(PlotLine));
            ::munmap(data_, mappedBytes_);
            mappedBytes_ = 0;
        }
        data_ = static_cast<PlotLine*>(block);
        capacity_ = newCapacity;
        return;
    }
    const std::size_t mapBytes = PageRound(bytes);
    void* block;
    if (mappedBytes_ == 0) {
        block =
            ::mmap(nullptr, mapBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED) throw std::bad_alloc();
        if (size_ > 0) std::memcpy(block, data_, size_ * sizeof(PlotLine));
        std::free(data_);
    } else {
        block = ::mremap(data_, mappedBytes_, mapBytes, MREMAP_MAYMOVE);
        if (block == MAP_FAILED) throw std::bad_alloc();
    }
#ifdef MADV_HUGEPAGE
    // Fewer page faults while a large plot is read; pages never touched still cost nothing.
    ::madvise(block, mapBytes, MADV_HUGEPAGE);
#endif
    data_ = static_cast<PlotLine*>(block);
    mappedBytes_ = mapBytes;
    capacity_ = mapBytes / sizeof(PlotLine);
}

void PlotLineTable::OpenGap(std::size_t at, std::size_t n) {
    if (size_ + n > capacity_) Grow(size_ + n);
    if (at < size_) std::memmove(data_ + at + n, data_ + at, (size_ - at) * sizeof(PlotLine));
    size_ += n;
}

}  // namespace kestrel::reader
