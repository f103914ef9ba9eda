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

// The place of an upper-case mnemonic; MnemonicCount for anything else.
constexpr std::size_t MnemonicIndex(std::uint16_t mnemonic) {
    const unsigned first = (mnemonic >> 8) - 'A';
    const unsigned second = (mnemonic & 0xFF) - 'A';
    return first < 26 && second < 26 ? first * 26 + second : MnemonicCount;
}

}  // namespace kestrel::reader
