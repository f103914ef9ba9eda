#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <type_traits>

namespace kestrel::reader {

// One pen-down move. Field order is the file format's historical one: both x first.
struct PlotLine {
    float X1 = 0;
    float X2 = 0;
    float Y1 = 0;
    float Y2 = 0;
    std::int16_t Pen = 0;
};

// A slot's segments, used like std::vector<PlotLine>. A vector grows by allocating twice
// its size and copying, so twenty million segments would briefly need 1.2 GB for a 400 MB
// table. Large tables live in their own mapping instead and grow in place, the kernel
// moving pages rather than copying them: the peak is the table itself. Growth that the
// system refuses throws std::bad_alloc, as a vector's does.
class PlotLineTable {
public:
    using iterator = PlotLine*;
    using const_iterator = const PlotLine*;

    PlotLineTable() noexcept = default;
    PlotLineTable(const PlotLineTable& other) { assign(other.begin(), other.end()); }
    PlotLineTable(PlotLineTable&& other) noexcept { Take(other); }
    PlotLineTable& operator=(const PlotLineTable& other) {
        if (this != &other) assign(other.begin(), other.end());
        return *this;
    }
    PlotLineTable& operator=(PlotLineTable&& other) noexcept {
        if (this != &other) {
            Release();
            Take(other);
        }
        return *this;
    }
    ~PlotLineTable() { Release(); }

    const PlotLine* data() const noexcept { return data_; }
    std::size_t size() const noexcept { return size_; }
    std::size_t capacity() const noexcept { return capacity_; }

    PlotLine& operator[](std::size_t i) noexcept { return data_[i]; }
    const PlotLine& operator[](std::size_t i) const noexcept { return data_[i]; }

    iterator begin() noexcept { return data_; }
    iterator end() noexcept { return data_ + size_; }
    const_iterator begin() const noexcept { return data_; }
    const_iterator end() const noexcept { return data_ + size_; }

    void push_back(const PlotLine& line) {
        if (size_ == capacity_) {
            const PlotLine copy = line;  // `line` may be an element about to move
            Grow(size_ + 1);
            data_[size_++] = copy;
            return;
        }
        data_[size_++] = line;
    }
    void clear() noexcept { size_ = 0; }
    void resize(std::size_t n) { resize(n, PlotLine{}); }
    void resize(std::size_t n, const PlotLine& fill);
    void assign(std::size_t n, const PlotLine& fill) {
        clear();
        resize(n, fill);
    }
    template <typename It>
    void assign(It first, It last) {
        clear();
        insert(end(), first, last);
    }
    template <typename It>
    iterator insert(const_iterator pos, It first, It last) {
        const std::size_t at = static_cast<std::size_t>(pos - data_);
        const std::size_t n = static_cast<std::size_t>(std::distance(first, last));
        OpenGap(at, n);
        std::size_t k = at;
        for (; first != last; ++first) data_[k++] = *first;
        return data_ + at;
    }
    void shrink_to_fit();

private:
    void Take(PlotLineTable& other) noexcept;
    void Release() noexcept;
    void Grow(std::size_t needed);
    void Reallocate(std::size_t newCapacity);
    void OpenGap(std::size_t at, std::size_t n);  // size_ grows by n; [at, at + n) to be filled

    PlotLine* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::size_t mappedBytes_ = 0;  // 0 while the table is on the heap
};

static_assert(std::is_trivially_copyable_v<PlotLine>, "tables move segments as bytes");

}  // namespace kestrel::reader
