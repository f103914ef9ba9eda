#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Kestrel_Output {

// An image file being written. An existing file is overwritten in place and cut to
// length at the end, rather than truncated first, which spares the system freeing and
// allocating its cached pages again. An image cut short is no use, so on failure a file
// this writer created is removed and an existing one emptied.
class OutputFile {
public:
    explicit OutputFile(const std::string& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool Write(const void* data, std::size_t size);
    // Cuts an overwritten file to the new length and closes it.
    bool Finish(std::uint64_t length);

private:
    std::string path_;
    int fd_ = -1;
    bool created_ = false;
    bool regular_ = false;
};

}  // namespace Kestrel_Output
