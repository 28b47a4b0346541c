// Shared helpers of the tests: scratch folders, the real sample files and
// hexadecimal byte fixtures.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// A WAV file made byte by byte: "RIFF", "WAVE", a 16-byte "fmt " chunk, the
// chunks of `before` as they stand, then "data" with `data` (little-endian
// samples as WAV holds them).  `dataSize` overrides the size the data chunk
// claims.
struct WavSpec {
    std::uint16_t formatTag = 1;  // 1 PCM, 3 IEEE float
    std::uint16_t channels = 2;
    std::uint32_t rate = 48000;
    std::uint16_t bits = 16;
    Bytes before;
    Bytes data;
    std::optional<std::uint32_t> dataSize;
};
Bytes wavFile(const WavSpec& spec);
// Samples from -1 to +1 as WAV stores them: 8-bit unsigned, 16-, 24- or
// 32-bit signed, or 32-bit float (`isFloat`).
Bytes wavSamples(const std::vector<double>& samples, int bits, bool isFloat = false);
// `frames` frames of a sine of `frequency` Hz at `rate`, the same in each of
// `channels` interleaved channels.
std::vector<double> sine(std::size_t frames, double rate, double frequency, double amplitude,
                         int channels = 1);

void writeFile(const std::string& path, ByteView bytes);
void writeFile(const std::string& path, std::string_view text);
Bytes readFile(const std::string& path);

}  // namespace lumora::test
