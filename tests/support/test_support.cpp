#include "support/test_support.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <cstdlib>
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

}  // namespace

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
