#include "support/test_support.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>

#include "core/file_io.h"
#include "core/text.h"

namespace lumora::test {
namespace fs = std::filesystem;

TempDir::TempDir() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = fs::temp_directory_path() / ("lumora-test-" + std::to_string(random()));
        if (fs::create_directory(path_)) return;
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::operator/(std::string_view relative) const {
    return (path_ / std::string(relative)).string();
}

std::string samplesDir() {
    const char* dir = std::getenv("LUMORA_SAMPLES");
    if (dir == nullptr || !fs::is_directory(dir)) return {};
    return dir;
}

Bytes hexBytes(std::string_view hex) {
    Bytes out;
    std::string digits;
    for (const char c : hex) {
        if (c == ' ' || c == '\n' || c == '\t') continue;
        digits += c;
        if (digits.size() == 2) {
            out.push_back(static_cast<std::uint8_t>(hexToNumber(digits)));
            digits.clear();
        }
    }
    return out;
}

void writeFile(const std::string& path, ByteView bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void writeFile(const std::string& path, std::string_view text) {
    writeFile(path, ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

Bytes readFile(const std::string& path) {
    return readFileBytes(path);
}

namespace {

void appendBig32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void appendChunk(Bytes& png, const char* type, const Bytes& data) {
    appendBig32(png, static_cast<std::uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    png.insert(png.end(), typed.begin(), typed.end());
    appendBig32(
        png, static_cast<std::uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

void appendLittle(Bytes& out, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void appendTag(Bytes& out, std::string_view tag) {
    out.insert(out.end(), tag.begin(), tag.end());
}

}  // namespace

Bytes wavFile(const WavSpec& spec) {
    Bytes wav;
    appendTag(wav, "RIFF");
    appendLittle(wav, 4 + 24 + spec.before.size() + 8 + spec.data.size(), 4);
    appendTag(wav, "WAVE");
    appendTag(wav, "fmt ");
    appendLittle(wav, 16, 4);
    appendLittle(wav, spec.formatTag, 2);
    appendLittle(wav, spec.channels, 2);
    appendLittle(wav, spec.rate, 4);
    const std::uint32_t blockAlign = spec.channels * spec.bits / 8u;
    appendLittle(wav, spec.rate * blockAlign, 4);
    appendLittle(wav, blockAlign, 2);
    appendLittle(wav, spec.bits, 2);
    wav.insert(wav.end(), spec.before.begin(), spec.before.end());
    appendTag(wav, "data");
    appendLittle(wav, spec.dataSize.value_or(static_cast<std::uint32_t>(spec.data.size())), 4);
    wav.insert(wav.end(), spec.data.begin(), spec.data.end());
    return wav;
}

Bytes wavSamples(const std::vector<double>& samples, int bits, bool isFloat) {
    Bytes out;
    for (const double sample : samples) {
        if (isFloat) {
            const float value = static_cast<float>(sample);
            std::uint32_t raw = 0;
            std::memcpy(&raw, &value, sizeof raw);
            appendLittle(out, raw, 4);
        } else {
            // Full scale is 2^(bits-1), as decoders read it; +1 is one step less.
            const double full = std::ldexp(1.0, bits - 1);
            const auto value = std::clamp<std::int64_t>(std::llround(sample * full),
                                                        static_cast<std::int64_t>(-full),
                                                        static_cast<std::int64_t>(full) - 1);
            if (bits == 8) {
                out.push_back(static_cast<std::uint8_t>(value + 128));  // unsigned
            } else {
                appendLittle(out, static_cast<std::uint64_t>(value), bits / 8);
            }
        }
    }
    return out;
}

std::vector<double> sine(std::size_t frames, double rate, double frequency, double amplitude,
                         int channels) {
    std::vector<double> samples;
    const double step = 2 * std::acos(-1.0) * frequency / rate;
    for (std::size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c)
            samples.push_back(amplitude * std::sin(step * static_cast<double>(i)));
    }
    return samples;
}

Bytes pngFile(const PngSpec& spec) {
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    appendBig32(header, spec.width);
    appendBig32(header, spec.height);
    header.insert(header.end(), {spec.bitDepth, spec.colourType, 0, 0, 0});
    appendChunk(png, "IHDR", header);
    if (!spec.plte.empty()) appendChunk(png, "PLTE", spec.plte);
    if (!spec.trns.empty()) appendChunk(png, "tRNS", spec.trns);
    // Each row behind a filter byte 0 (none).
    const std::size_t stride = spec.height == 0 ? 0 : spec.rows.size() / spec.height;
    Bytes raw;
    for (std::uint32_t y = 0; y < spec.height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), spec.rows.begin() + static_cast<std::ptrdiff_t>(y * stride),
                   spec.rows.begin() + static_cast<std::ptrdiff_t>((y + 1) * stride));
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(size);
    compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(size);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", {});
    return png;
}

}  // namespace lumora::test
