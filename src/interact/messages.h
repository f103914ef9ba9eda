#pragma once

#include <string>
#include <string_view>

#include "reader/error_number.h"

namespace kestrel::interact {

// A failure of a command, carrying the run-time error number the messages are keyed by.
struct KestrelError {
    int number = 0;
};

// Error number of a file dialog that was cancelled.
inline constexpr int CancelErrorNumber = 32755;

// The message ShowErrorMessage shows for a failure number (UTF-8, CR LF line breaks).
std::string ErrorMessageText(reader::ErrorNumber number);

// The message for a failure with a file, the file's name on a line of its own after it.
std::string FileErrorMessageText(reader::ErrorNumber number, std::string_view fileName);

// The longest side, in pixels, of a picture that copying, saving or printing the view makes.
inline constexpr int LargestImageSide = 16384;

// The message shown instead of making a picture of `width` x `height` pixels, beyond
// LargestImageSide.
std::string ImageTooLargeText(double width, double height);

}  // namespace kestrel::interact
