// The source packet of .m2ts and .MTS stream files: a 4-byte TP_extra_header
// (2 copy permission bits and a 30-bit arrival time stamp in 27 MHz ticks) in
// front of a 188-byte MPEG-2 transport packet; and the few fields of the
// transport packet and of the PES header that the stream tools use.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumora {

inline constexpr std::size_t kSourcePacketSize = 192;
inline constexpr std::size_t kTransportPacketSize = 188;
inline constexpr std::size_t kExtraHeaderSize = 4;
inline constexpr std::uint8_t kSyncByte = 0x47;
inline constexpr std::uint16_t kNullPid = 0x1FFF;
inline constexpr std::uint16_t kPrimaryVideoPid = 0x1011;
// Source packets per aligned unit (6144 bytes).
inline constexpr std::size_t kAlignedUnitPackets = 32;

// Fields of a transport packet; `ts` points at its sync byte.
inline std::uint16_t packetPid(const std::uint8_t* ts) {
    return static_cast<std::uint16_t>((ts[1] & 0x1F) << 8 | ts[2]);
}
inline bool payloadUnitStart(const std::uint8_t* ts) {
    return (ts[1] & 0x40) != 0;
}
inline bool hasAdaptationField(const std::uint8_t* ts) {
    return (ts[3] & 0x20) != 0;
}
inline bool hasPayload(const std::uint8_t* ts) {
    return (ts[3] & 0x10) != 0;
}
inline std::uint8_t continuityCounter(const std::uint8_t* ts) {
    return ts[3] & 0x0F;
}

// Payload bytes of a transport packet: 184 without an adaptation field,
// 183 - its length with one; -1 when the length field exceeds 183 (the packet
// is unusable).  The payload is the last bytes of the packet.
inline int payloadSize(const std::uint8_t* ts) {
    if (!hasAdaptationField(ts)) return 184;
    const int length = ts[4];
    return length > 183 ? -1 : 183 - length;
}

// The arrival time stamp of a source packet (the low 30 bits of its
// TP_extra_header).
inline std::uint32_t arrivalTimeStamp(const std::uint8_t* source) {
    return (std::uint32_t{source[0]} << 24 | std::uint32_t{source[1]} << 16 |
            std::uint32_t{source[2]} << 8 | source[3]) &
           0x3FFFFFFF;
}

// PES packet header fields.
inline constexpr std::size_t kPesFixedHeader = 9;  // up to PES_header_data_length
inline bool startsWithStartCode(const std::uint8_t* p) {
    return p[0] == 0 && p[1] == 0 && p[2] == 1;
}
// Stream ids of PES packets (ISO/IEC 13818-1 gives 0xBC to 0xFF).
inline bool isPesStreamId(std::uint8_t id) {
    return id >= 0xBC;
}
// The stream ids whose PES packets carry no optional header (program stream
// map, padding, private stream 2, ECM, EMM, DSM-CC, H.222.1 type E, program
// stream directory): their content is no elementary stream data.
inline bool isHeaderlessStreamId(std::uint8_t id) {
    switch (id) {
        case 0xBC:
        case 0xBE:
        case 0xBF:
        case 0xF0:
        case 0xF1:
        case 0xF2:
        case 0xF8:
        case 0xFF:
            return true;
        default:
            return false;
    }
}
// A 33-bit PTS or DTS in its 5-byte form, taken modulo 2^32 (its top bit is
// dropped).
inline std::uint32_t pesTimeStamp(const std::uint8_t* p) {
    const std::uint64_t value = std::uint64_t{p[0] & 0x0Eu} << 29 | std::uint64_t{p[1]} << 22 |
                                std::uint64_t{p[2] & 0xFEu} << 14 | std::uint64_t{p[3]} << 7 |
                                std::uint64_t{p[4]} >> 1;
    return static_cast<std::uint32_t>(value);
}

}  // namespace lumora
