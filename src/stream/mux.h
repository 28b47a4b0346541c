// The IG menu multiplexer: a stream file (.m2ts/.MTS) that carries only a
// menu, as the interactive graphics stream on PID 0x1400 with the tables a
// Blu-ray stream needs.
//
// Layout: PAT (PID 0x0000: program 0 -> network PID 0x001F, program 1 -> PMT
// PID 0x0100), PMT (PCR PID 0x1001, the registration descriptor "HDMV", one
// stream of type 0x91 on PID 0x1400), SIT (PID 0x001F, partial transport
// stream descriptor, service 1), one PCR packet (PID 0x1001), then the IG
// packets cut from the PES packets of the menu writer's PES form, with a PCR
// packet every 2500 packets, PAT and PMT at 2000 mod 2500 and a SIT at 2 mod
// 25000 (tested after continuation packets only), and null packets up to a
// whole aligned unit of 32 source packets.  Every source packet starts as 192
// bytes of 0xFF; its TP_extra_header is 0x10000000 + 846 x n for the n-th
// packet (48 Mbit/s of 188-byte packets), wrapping within the 30-bit arrival
// time stamp.  PAT, PMT, SIT and the IG PID keep continuity counters of their
// own; PCR and null packets carry 0.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/bytes.h"
#include "core/report.h"
#include "menu/menu_model.h"

namespace lumora {

inline constexpr std::uint16_t kMenuStreamPid = 0x1400;
inline constexpr std::uint16_t kMenuPmtPid = 0x0100;
inline constexpr std::uint16_t kMenuSitPid = 0x001F;
inline constexpr std::uint16_t kMenuPcrPid = 0x1001;
inline constexpr std::uint8_t kIgStreamType = 0x91;
// Arrival time ticks (27 MHz) between two source packets.
inline constexpr std::uint32_t kMuxPacketTicks = 846;
inline constexpr std::uint32_t kMuxFirstArrival = 0x10000000;

// The sections of the fixed tables, from the table id to the CRC-32.
Bytes patSection();
Bytes pmtSection();
Bytes sitSection();

// Cuts one PES packet into transport packets of one PID: payload unit start
// on the first; an adaptation field (length 183 - remaining, then a flags
// byte 0x00 and stuffing when the length is at least 1) where fewer than 184
// bytes remain, so the payload fills each packet exactly.  The packet's size
// comes from its PES_packet_length; when `pes` holds fewer bytes, the packet
// where they run out keeps 0xFF in place of the missing bytes and is the last
// one (short() then tells).
class PesPacketizer {
public:
    PesPacketizer(ByteView pes, std::uint16_t pid);

    bool done() const { return done_; }
    // The next packet is the first of the PES packet.
    bool atStart() const { return offset_ == 0; }
    // Writes the next 188-byte transport packet (sync byte first) over `out`,
    // which must hold 188 bytes of 0xFF, with continuity counter `continuity`.
    void next(std::uint8_t* out, std::uint8_t continuity);
    // The PES bytes ran out before the size its length field gives.
    bool isShort() const { return short_; }

private:
    ByteView pes_;
    std::uint16_t pid_;
    std::uint64_t total_ = 0;  // PES_packet_length + 6
    std::uint64_t offset_ = 0;
    bool done_ = false;
    bool short_ = false;
};

struct MuxResult {
    std::uint64_t packets = 0;     // source packets written, null packets included
    std::uint64_t pesPackets = 0;  // PES packets cut
    bool shortRead = false;        // "Mux error" was logged
};

// Cuts the PES form of a menu into the stream file's bytes.  The PES data is
// scanned in 32-bit words for 00 00 01 BD; other words are skipped.  A PES
// packet whose bytes run out logs "Mux error".
Bytes muxPesStream(ByteView pes, Reporter& reporter, MuxResult* result = nullptr);

// `Mux`: the stream file of the PES form `pes`, written to `path` through a
// temporary file beside it.  Throws FileError.
MuxResult Mux(ByteView pes, const std::string& path, Reporter& reporter);

// The menu in its PES form (the menu writer, which changes the model as a save
// does) multiplexed into `path`, kept in memory in between; "Ready." at the
// end.  Nothing (after the writer's error report) when the menu cannot be
// written.  Throws FileError.
std::optional<MuxResult> muxMenu(TIGMenu& menu, const std::string& path, Reporter& reporter);

}  // namespace lumora
