// Shared helpers of the tests: scratch folders, the real sample files and
// hexadecimal byte fixtures.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/bytes.h"

namespace lumora::test {

// A fresh folder under the system temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // path() + "/" + relative, as a string.
    std::string operator/(std::string_view relative) const;

private:
    std::filesystem::path path_;
};

// The folder of the real discs' files (LUMORA_SAMPLES), or "" when unknown.
std::string samplesDir();
// Skips the current test when the samples are not available.
#define LUMORA_REQUIRE_SAMPLES()                                                \
    do {                                                                        \
        if (::lumora::test::samplesDir().empty()) GTEST_SKIP() << "no samples"; \
    } while (0)

// "49 4E 44 58" or "494e4458" to bytes (blanks ignored).
Bytes hexBytes(std::string_view hex);

// A PNG file made byte by byte, so tests get exactly the kind they need
// (any bit depth and colour type, a PLTE and a tRNS of any length).
struct PngSpec {
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    std::uint8_t bitDepth = 8;
    std::uint8_t colourType = 3;  // 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
    Bytes rows;                   // the packed rows, without filter bytes
    Bytes plte;                   // R, G, B a palette entry; none when empty
    Bytes trns;                   // none when empty
};
Bytes pngFile(const PngSpec& spec);

void writeFile(const std::string& path, ByteView bytes);
void writeFile(const std::string& path, std::string_view text);
Bytes readFile(const std::string& path);

}  // namespace lumora::test
