// Number and time texts shared by the views, the log and the command line.
#pragma once

#include <cstdint>
#include <optional>
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
// "hh:mm:ss.mmm" of a time in 45 kHz ticks: milliseconds = ticks / 45, hours
// not wrapped (at least two digits).
std::string timeText45(std::uint64_t ticks);
// A "hh:mm:ss.mmm" text as 90 kHz ticks; nothing when the text does not have
// ":" at its third and sixth and "." at its ninth character, or when a field
// is not a number.
std::optional<std::uint64_t> timeTextTo90k(std::string_view text);

// Bytes of a one-byte-per-character text (file names, provider data) as UTF-8
// for display: Latin-1 decoding.
std::string latin1ToUtf8(std::string_view text);

}  // namespace lumora
