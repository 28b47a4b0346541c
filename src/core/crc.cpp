#include "core/crc.h"

#include <array>

namespace lumora {
namespace {

constexpr std::array<std::uint32_t, 256> makeMpegTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t crc = i << 24;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        }
        table[i] = crc;
    }
    return table;
}

constexpr auto kMpegTable = makeMpegTable();

}  // namespace

std::uint32_t crc32Mpeg(ByteView bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::uint8_t byte : bytes)
        crc = (crc << 8) ^ kMpegTable[((crc >> 24) ^ byte) & 0xFF];
    return crc;
}

}  // namespace lumora
