// Number and time texts shared by the views, the log and the command line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumora {

// Upper-case hexadecimal with at least `digits` digits (more when needed).
std::string hexText(std::uint64_t value, int digits);
// Decimal, left-padded with "0" to at least `width` digits.
std::string zeroPad(std::int64_t value, int width);
// Hexadecimal text to a number: case-insensitive; empty text gives 0, and any
// character outside 0-9/A-F makes the whole result 0.
std::uint64_t hexToNumber(std::string_view text);
// A size in decimal with `separator` every three digits from the right.
std::string sizeText(std::int64_t value, std::string_view separator = ",");
// Bytes of a one-byte-per-character text (file names, provider data) as UTF-8
// for display: Latin-1 decoding.
std::string latin1ToUtf8(std::string_view text);

}  // namespace lumora
