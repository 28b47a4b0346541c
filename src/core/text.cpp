#include "core/text.h"

#include <cctype>

namespace lumora {

std::string hexText(std::uint64_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(out.size()) < digits) {
        out.insert(0, static_cast<std::size_t>(digits) - out.size(), '0');
    }
    return out;
}

std::string zeroPad(std::int64_t value, int width) {
    const bool negative = value < 0;
    std::string digits = std::to_string(value);
    if (negative) digits.erase(0, 1);
    if (static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    }
    return negative ? "-" + digits : digits;
}

std::uint64_t hexToNumber(std::string_view text) {
    std::uint64_t value = 0;
    for (const char raw : text) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(raw)));
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return 0;
        }
        value = (value << 4) | static_cast<std::uint64_t>(digit);
    }
    return value;
}

std::string sizeText(std::int64_t value, std::string_view separator) {
    const bool negative = value < 0;
    std::string digits = std::to_string(value);
    if (negative) digits.erase(0, 1);
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return negative ? "-" + out : out;
}

std::string timeText45(std::uint64_t ticks) {
    const std::uint64_t total = ticks / 45;
    const std::uint64_t ms = total % 1000;
    const std::uint64_t seconds = total / 1000;
    return zeroPad(static_cast<std::int64_t>(seconds / 3600), 2) + ":" +
           zeroPad(static_cast<std::int64_t>(seconds / 60 % 60), 2) + ":" +
           zeroPad(static_cast<std::int64_t>(seconds % 60), 2) + "." +
           zeroPad(static_cast<std::int64_t>(ms), 3);
}

namespace {

std::optional<std::uint64_t> digits(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

}  // namespace

std::optional<std::uint64_t> timeTextTo90k(std::string_view text) {
    if (text.size() < 12 || text[2] != ':' || text[5] != ':' || text[8] != '.') return std::nullopt;
    const auto h = digits(text.substr(0, 2));
    const auto m = digits(text.substr(3, 2));
    const auto s = digits(text.substr(6, 2));
    const auto ms = digits(text.substr(9, 3));
    if (!h || !m || !s || !ms) return std::nullopt;
    return *h * 324000000ull + *m * 5400000ull + *s * 90000ull + *ms * 90ull;
}

std::string latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char raw : text) {
        const auto c = static_cast<unsigned char>(raw);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace lumora
