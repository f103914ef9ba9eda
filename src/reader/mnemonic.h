#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel::reader {

// A command's two letters as one number, the first letter in the high byte.
constexpr std::uint16_t Mnemonic(char first, char second) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(first) << 8 |
                                      static_cast<unsigned char>(second));
}

// Two upper-case letters make 26 x 26 mnemonics, each with its place in a table.
inline constexpr std::size_t MnemonicCount = 26 * 26;

// The place of a mnemonic of two upper-case letters (all the scanner gives) in such a table.
constexpr std::size_t MnemonicIndex(std::uint16_t mnemonic) {
    return (std::size_t{mnemonic} >> 8) * 26 + (mnemonic & 0xFFu) - ('A' * 26 + 'A');
}

}  // namespace kestrel::reader
