#pragma once

namespace kestrel::reader {

// The numbers failures go by, from reading and saving files to the clipboard and the
// printer: each has its own message (see interact::ErrorMessageText), and a number of no
// name shows a generic one, so the type holds any int.
enum class ErrorNumber : int {
    None = 0,
    Overflow = 6,
    OutOfMemory = 7,
    IndexOutOfRange = 9,
    BadFileName = 52,  // a name that is not a readable file: a folder, a device, a pipe
    FileNotFound = 53,
    FileAlreadyOpen = 55,
    DiskFull = 61,
    PermissionDenied = 70,
    PathNotFound = 76,
    PrinterError = 482,
    CannotEmptyClipboard = 520,
    CannotOpenClipboard = 521,
    MemoryShort = 31001,
    FileReadError = 31036,
    FileWriteError = 31037,
};

}  // namespace kestrel::reader
