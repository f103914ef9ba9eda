#pragma once

#include <string>
#include <string_view>

namespace kestrel::reader {

// The bytes of a plot file, mapped rather than read into memory: reading touches the
// pages it reaches and gives them back behind it (PassedMappedText), so a file of any
// size costs a few megabytes. Opening never blocks and takes regular files only: a FIFO
// would wait for a writer, a device could be endless.
class PlotFileText {
public:
    PlotFileText() = default;
    ~PlotFileText();
    PlotFileText(const PlotFileText&) = delete;
    PlotFileText& operator=(const PlotFileText&) = delete;

    // 0, or the errno of the failure (EINVAL for what is not a regular file, ENOMEM when
    // there is no room to map it).
    int Open(const std::string& path);
    std::string_view Text() const { return {data_, size_}; }

private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    int slot_ = -1;  // in the table of mapped texts
};

// Reading has passed `upTo` in a mapped text: the pages before it go back to the system
// (touching them again reads them again). False once the file was cut short under the
// mapping by another program: the lost part reads as zeros, and reading should end. For
// text that is not a mapped file, nothing happens and the answer is true.
bool PassedMappedText(const char* upTo);

}  // namespace kestrel::reader
