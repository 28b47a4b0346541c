// The CRC-32 of MPEG-2 sections (polynomial 0x04C11DB7, not reflected, initial
// value 0xFFFFFFFF, no final inversion), used by PAT and PMT sections.
#pragma once

#include <cstdint>

#include "core/bytes.h"

namespace lumora {

std::uint32_t crc32Mpeg(ByteView bytes);

}  // namespace lumora
