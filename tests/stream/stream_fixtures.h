// Building blocks of the stream tests: source packets, PES packets, and runs
// of the demultiplexer over bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "core/report.h"
#include "stream/demux.h"

namespace lumora::test {

// A source packet of `pid` whose payload is `payload` (at most 184 bytes):
// shorter payloads get an adaptation field of stuffing in front, as a
// multiplexer writes them.
Bytes sourcePacket(std::uint16_t pid, bool unitStart, ByteView payload, std::uint8_t continuity = 0,
                   std::uint32_t arrival = 0);
// A packet of PID 0x1FFF.
Bytes nullPacket();

// A PES packet with the optional PTS and DTS; PES_packet_length 0 when
// `unbounded`.
Bytes pesPacket(std::uint8_t streamId, ByteView payload, std::optional<std::uint32_t> pts = {},
                std::optional<std::uint32_t> dts = {}, bool unbounded = false);
// Bytes cut into source packets of `pid`, 184 payload bytes each (the last
// one stuffed), payload unit start on the first.
Bytes packetize(ByteView bytes, std::uint16_t pid, std::uint8_t& continuity);
Bytes packetize(ByteView bytes, std::uint16_t pid);

// `count` bytes counting up from `first`, never 0x47 (so no payload byte
// looks like a sync byte).
Bytes ramp(std::size_t count, std::uint8_t first = 0);

void append(Bytes& to, ByteView bytes);

struct DemuxRun {
    Bytes out;
    DemuxResult result;
    std::vector<std::string> log;
    std::string status;  // status panel 1 at the end
};
DemuxRun runDemux(ByteView stream, std::uint16_t pid, DemuxMode mode, bool cancel = false);

// A segment header "IG"/"PG" + PTS + DTS.
Bytes segmentHeader(const char* letters, std::uint32_t pts, std::uint32_t dts);

// Whether a program is on the PATH.
bool toolAvailable(const std::string& name);

}  // namespace lumora::test
