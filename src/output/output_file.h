#pragma once

#include <cstddef>
#include <string>

#include "reader/error_number.h"

namespace kestrel::output {

// What writing a file came to. An existing file at the path stays as it was unless written.
struct WriteResult {
    enum Outcome { Written, TooLarge, WriteFailed };
    Outcome outcome = Written;
    int error = 0;  // with WriteFailed: the errno of the failure, 0 when there is none to tell
    explicit operator bool() const { return outcome == Written; }
};

// The save command's number for the result: ErrorNumber::None when written; for a failure
// PermissionDenied (also for a read-only place), DiskFull, PathNotFound (a missing folder)
// or FileWriteError, which also stands for anything too large to write.
reader::ErrorNumber SaveErrorNumber(const WriteResult& result);

// An image file being written. It is written under a temporary name beside the target
// and renamed over it only once complete and on the disk, so a failure (a full disk, a
// file-size limit, the process killed) leaves an existing file exactly as it was.
// A symbolic link stays: the file it points to is written, even one that does not exist
// yet. A target that is not a regular file is written directly only when it is a device
// the user names on purpose (/dev/stdout, /dev/null, a terminal); anything else, a FIFO
// in particular, is refused rather than waited on.
class OutputFile {
public:
    explicit OutputFile(const std::string& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool Write(const void* data, std::size_t size);
    // Puts the finished file in place of the target and closes it.
    bool Finish();
    // The errno of the first failure, 0 while there was none.
    int Error() const { return error_; }
    WriteResult Failed() const { return {WriteResult::WriteFailed, error_}; }

private:
    void OpenDevice();
    void OpenBeside(bool exists, unsigned mode);
    bool Fail();  // records errno, returns false

    std::string path_;
    std::string tempPath_;  // the name written until Finish; empty for a device
    int fd_ = -1;
    int error_ = 0;
    int pending_ = -1;  // the temporary name's place among those a signal removes
};

// From now on an interrupt, a hang-up or a termination signal first removes the temporary
// files being written, then ends the process as the signal would have. Signals the process
// was started ignoring stay ignored.
void RemoveTemporaryFilesOnSignals();

// A name that stands for a device or a descriptor the caller holds (/dev/stdout,
// /proc/self/fd/3): whatever is behind it (a pipe, say) is what the user asked for.
bool IsNamedDevice(const std::string& path);

}  // namespace kestrel::output
