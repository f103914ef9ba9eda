#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Kestrel_Output {

enum class WriteMode {
    // An existing file is overwritten in place and cut to length at the end, rather
    // than truncated first, which spares the system freeing and allocating its cached
    // pages again. An image cut short is no use, so on failure a file this writer
    // created is removed and an existing one emptied.
    InPlace,
    // The file is written under a temporary name beside the target and renamed over it
    // only once complete, so a failure leaves an existing file exactly as it was.
    // Targets that are not regular files (devices, pipes) are written in place.
    Replace,
};

// An image file being written.
class OutputFile {
public:
    explicit OutputFile(const std::string& path, WriteMode mode = WriteMode::InPlace);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool Write(const void* data, std::size_t size);
    // Cuts an overwritten file to the new length (or puts the finished file in place of
    // the target) and closes it.
    bool Finish(std::uint64_t length);
    // The errno of the first failure, 0 while there was none.
    int Error() const { return error_; }

private:
    void OpenInPlace();
    void OpenBeside();
    bool Fail();  // records errno, returns false

    std::string path_;
    std::string tempPath_;  // with Replace: the name written until Finish
    int fd_ = -1;
    bool created_ = false;
    bool regular_ = false;
    int error_ = 0;
};

}  // namespace Kestrel_Output
