#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestrel::reader {

// The byte level of plotter reading: finds commands between separators, junk, PCL
// escape sequences and PJL lines, and reads parameters as HP-GL/2 defines them.
class HpglScanner {
public:
    explicit HpglScanner(std::string_view text)
        : begin_(text.data()), p_(text.data()), end_(text.data() + text.size()) {}

    enum class Event {
        Command,       // a mnemonic was read
        PrinterReset,  // ESC E: the page is done and the plotter starts over
        PageEject,     // a form feed or page-format command of a PCL job: the page is done
        End,
    };

    // Skips to the next command; with Event::Command, `mnemonic` holds its two letters
    // in upper case, first letter in the high byte.
    Event Next(std::uint16_t& mnemonic);

    enum class Param {
        Number,
        End,  // the list ended: ";" (consumed), the next command or anything else
        Bad,  // a malformed number; the rest of the command is to be skipped
    };

    // The next numeric parameter, after any separators (commas, blanks, tabs, line ends).
    Param Number(double& value);

    // Skips what is left of a command's parameters: numbers, separators and quoted
    // strings, up to and including ";", or up to the next command or stray byte.
    void SkipParameters();

    // Label text up to `terminator`, which is consumed; without one, the rest of the text.
    std::string_view TextUntil(char terminator);

    // PE data: up to ";" (consumed) or an escape sequence (not consumed).
    std::string_view EncodedData();

    // The next byte without taking it; false at the end.
    bool Peek(unsigned char& c) const;
    void Skip() { ++p_; }

    std::size_t Offset() const { return static_cast<std::size_t>(p_ - begin_); }

    // Whether the HP-GL/2 being read is part of a PCL job: the job has been in PCL (PJL
    // entered it, or ESC % A returned to it) since it began. There only PCL ejects pages.
    bool InPclJob() const { return pclJob_; }

private:
    void SkipEscape();
    void SkipDeviceControl();
    void SkipPclSequence();
    void SkipPjlLines();
    Param SlowNumber(const char* start, double& value);

    const char* begin_;
    const char* p_;
    const char* end_;
    bool pclText_ = false;  // in PCL (or another language's) text, only escapes count
    bool pclJob_ = false;
    bool eject_ = false;  // a PCL page-format command was skipped
};

}  // namespace kestrel::reader
