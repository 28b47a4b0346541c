#include "support/test_support.h"

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

}  // namespace lumora::test
