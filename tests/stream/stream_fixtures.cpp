#include "stream_fixtures.h"

#include <algorithm>
#include <cstdlib>

namespace lumora::test {
namespace {

void appendTimeStamp(Bytes& out, std::uint8_t prefix, std::uint32_t value) {
    const std::uint64_t v = value;
    out.push_back(static_cast<std::uint8_t>(prefix << 4 | (v >> 29 & 0x0E) | 1));
    out.push_back(static_cast<std::uint8_t>(v >> 22));
    out.push_back(static_cast<std::uint8_t>((v >> 14 & 0xFE) | 1));
    out.push_back(static_cast<std::uint8_t>(v >> 7));
    out.push_back(static_cast<std::uint8_t>((v << 1 & 0xFE) | 1));
}

}  // namespace

Bytes sourcePacket(std::uint16_t pid, bool unitStart, ByteView payload, std::uint8_t continuity,
                   std::uint32_t arrival) {
    Bytes p;
    appendBigEndian(p, arrival, 4);
    p.push_back(0x47);
    p.push_back(static_cast<std::uint8_t>((unitStart ? 0x40 : 0) | (pid >> 8 & 0x1F)));
    p.push_back(static_cast<std::uint8_t>(pid & 0xFF));
    const bool stuffed = payload.size() < 184;
    p.push_back(static_cast<std::uint8_t>(0x10 | (stuffed ? 0x20 : 0) | (continuity & 0x0F)));
    if (stuffed) {
        const std::size_t length = 183 - payload.size();
        p.push_back(static_cast<std::uint8_t>(length));
        if (length > 0) p.push_back(0x00);
        while (p.size() < 192 - payload.size())
            p.push_back(0xFF);
    }
    append(p, payload);
    return p;
}

Bytes nullPacket() {
    Bytes p{0, 0, 0, 0, 0x47, 0x1F, 0xFF, 0x10};
    p.resize(192, 0xFF);
    return p;
}

Bytes pesPacket(std::uint8_t streamId, ByteView payload, std::optional<std::uint32_t> pts,
                std::optional<std::uint32_t> dts, bool unbounded) {
    Bytes header;
    if (pts && dts) {
        appendTimeStamp(header, 3, *pts);
        appendTimeStamp(header, 1, *dts);
    } else if (pts) {
        appendTimeStamp(header, 2, *pts);
    }
    Bytes pes{0x00, 0x00, 0x01, streamId};
    const std::size_t length = unbounded ? 0 : 3 + header.size() + payload.size();
    appendBigEndian(pes, length, 2);
    pes.push_back(0x84);
    pes.push_back(pts ? (dts ? 0xC0 : 0x80) : 0x00);
    pes.push_back(static_cast<std::uint8_t>(header.size()));
    append(pes, header);
    append(pes, payload);
    return pes;
}

Bytes packetize(ByteView bytes, std::uint16_t pid, std::uint8_t& continuity) {
    Bytes out;
    for (std::size_t at = 0; at < bytes.size(); at += 184) {
        const std::size_t n = std::min<std::size_t>(184, bytes.size() - at);
        append(out, sourcePacket(pid, at == 0, bytes.subspan(at, n), continuity++));
    }
    return out;
}

Bytes packetize(ByteView bytes, std::uint16_t pid) {
    std::uint8_t continuity = 0;
    return packetize(bytes, pid, continuity);
}

Bytes ramp(std::size_t count, std::uint8_t first) {
    Bytes out;
    std::uint8_t v = first;
    while (out.size() < count) {
        if (v != 0x47) out.push_back(v);
        ++v;
    }
    return out;
}

void append(Bytes& to, ByteView bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

DemuxRun runDemux(ByteView stream, std::uint16_t pid, DemuxMode mode, bool cancel) {
    RecordingSink sink;
    Reporter reporter(sink);
    if (cancel) reporter.requestCancel();
    DemuxRun run;
    run.result = demuxBytes(stream, run.out, pid, mode, reporter);
    run.log = sink.texts();
    run.status = sink.panel[1];
    return run;
}

Bytes segmentHeader(const char* letters, std::uint32_t pts, std::uint32_t dts) {
    Bytes out{static_cast<std::uint8_t>(letters[0]), static_cast<std::uint8_t>(letters[1])};
    appendBigEndian(out, pts, 4);
    appendBigEndian(out, dts, 4);
    return out;
}

bool toolAvailable(const std::string& name) {
    return std::system(("command -v " + name + " > /dev/null 2>&1").c_str()) == 0;
}

}  // namespace lumora::test
