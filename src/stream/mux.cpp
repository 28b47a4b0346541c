#include "stream/mux.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "core/crc.h"
#include "core/file_io.h"
#include "menu/menu_writer.h"
#include "stream/source_packet.h"

namespace lumora {
namespace {

constexpr std::uint32_t kIgStreamStartWord = 0x000001BD;  // PES start code, stream id 0xBD
// Tables and clock: every 2500 packets a PCR, PAT and PMT at 2000 within
// them, a SIT at 2 within every 25000.
constexpr std::uint64_t kPcrInterval = 2500;
constexpr std::uint64_t kTablesAt = 2000;
constexpr std::uint64_t kSitInterval = 25000;
constexpr std::uint64_t kSitAt = 2;
constexpr std::size_t kOutputBytes = 1 << 20;

Bytes withCrc(Bytes section) {
    appendBigEndian(section, crc32Mpeg(section), 4);
    return section;
}

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// Writes the source packets of one stream file, numbering them for their
// arrival time stamps and keeping each table's continuity counter.
class MuxWriter {
public:
    explicit MuxWriter(std::function<void(ByteView)> handOn) : handOn_(std::move(handOn)) {
        buffer_.reserve(kOutputBytes);
    }

    void pat() { section(0x0000, patCounter_, kPat); }
    void pmt() { section(kMenuPmtPid, pmtCounter_, kPmt); }
    void sit() { section(kMenuSitPid, sitCounter_, kSit); }
    void pcr() {
        std::uint8_t* ts = begin();
        // Adaptation field only: length 183, the PCR flag, PCR base and
        // extension 0 with the six reserved bits set.
        static constexpr std::uint8_t kPcr[] = {0x47, 0x10, 0x01, 0x20, 0xB7, 0x10,
                                                0x00, 0x00, 0x00, 0x00, 0x7E, 0x00};
        std::memcpy(ts, kPcr, sizeof kPcr);
        end();
    }
    void null() {
        std::uint8_t* ts = begin();
        static constexpr std::uint8_t kNull[] = {0x47, 0x1F, 0xFF, 0x10};
        std::memcpy(ts, kNull, sizeof kNull);
        end();
    }
    void ig(PesPacketizer& cut) {
        cut.next(begin(), igCounter_);
        igCounter_ = (igCounter_ + 1) & 0x0F;
        end();
    }

    std::uint64_t count() const { return count_; }

    void flush() {
        if (buffer_.empty()) return;
        handOn_(buffer_);
        buffer_.clear();
    }

private:
    // A fresh packet of 0xFF bytes behind its TP_extra_header; returns where
    // the transport packet goes.
    std::uint8_t* begin() {
        packet_.fill(0xFF);
        const std::uint32_t arrival =
            (kMuxFirstArrival + kMuxPacketTicks * static_cast<std::uint32_t>(count_)) & 0x3FFFFFFF;
        packet_[0] = static_cast<std::uint8_t>(arrival >> 24);
        packet_[1] = static_cast<std::uint8_t>(arrival >> 16);
        packet_[2] = static_cast<std::uint8_t>(arrival >> 8);
        packet_[3] = static_cast<std::uint8_t>(arrival);
        return packet_.data() + kExtraHeaderSize;
    }
    void end() {
        buffer_.insert(buffer_.end(), packet_.begin(), packet_.end());
        ++count_;
        if (buffer_.size() + kSourcePacketSize > kOutputBytes) flush();
    }
    void section(std::uint16_t pid, std::uint8_t& counter, const Bytes& body) {
        std::uint8_t* ts = begin();
        ts[0] = kSyncByte;
        ts[1] = static_cast<std::uint8_t>(0x40 | pid >> 8);
        ts[2] = static_cast<std::uint8_t>(pid & 0xFF);
        ts[3] = static_cast<std::uint8_t>(0x10 | counter);
        ts[4] = 0x00;  // pointer field: the section follows at once
        std::memcpy(ts + 5, body.data(), body.size());
        counter = (counter + 1) & 0x0F;
        end();
    }

    const Bytes kPat = patSection();
    const Bytes kPmt = pmtSection();
    const Bytes kSit = sitSection();
    std::function<void(ByteView)> handOn_;
    Bytes buffer_;
    std::array<std::uint8_t, kSourcePacketSize> packet_{};
    std::uint64_t count_ = 0;
    std::uint8_t patCounter_ = 0;
    std::uint8_t pmtCounter_ = 0;
    std::uint8_t sitCounter_ = 0;
    std::uint8_t igCounter_ = 0;
};

// After a continuation packet of the IG stream: the clock and the tables
// that a player joining the stream needs.
void periodicPackets(MuxWriter& writer) {
    const std::uint64_t k = writer.count();
    if (k % kPcrInterval == 0) writer.pcr();
    if (k % kPcrInterval == kTablesAt) {
        writer.pat();
        writer.pmt();
    }
    if (k % kSitInterval == kSitAt) writer.sit();
}

MuxResult muxInto(ByteView pes, Reporter& reporter, MuxWriter& writer) {
    MuxResult result;
    writer.pat();
    writer.pmt();
    writer.sit();
    writer.pcr();
    std::size_t pos = 0;
    while (pos + 4 <= pes.size()) {
        if (bigEndian32(pes.data() + pos) != kIgStreamStartWord) {
            pos += 4;
            continue;
        }
        PesPacketizer cut(pes.subspan(pos), kMenuStreamPid);
        ++result.pesPackets;
        writer.ig(cut);
        while (!cut.done()) {
            writer.ig(cut);
            periodicPackets(writer);
        }
        if (cut.isShort()) {
            reporter.erlog("Mux error");
            result.shortRead = true;
            break;  // the PES data ends inside this packet
        }
        pos += static_cast<std::size_t>(pes[pos + 4] << 8 | pes[pos + 5]) + 6;
    }
    while (writer.count() % kAlignedUnitPackets != 0)
        writer.null();
    writer.flush();
    result.packets = writer.count();
    return result;
}

}  // namespace

Bytes patSection() {
    // Table 0, length 17, stream id 0, version 0, current; program 0 ->
    // network PID 0x001F, program 1 -> PMT PID 0x0100.
    return withCrc({0x00, 0xB0, 0x11, 0x00, 0x00, 0xC1, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x1F, 0x00,
                    0x01, 0xE1, 0x00});
}

Bytes pmtSection() {
    // Table 2, length 30, program 1, PCR PID 0x1001; program info: the
    // registration descriptor "HDMV" and descriptor 0x88 (0F FF FF FC); one
    // stream of type 0x91 on PID 0x1400 without ES info.
    return withCrc({0x02, 0xB0, 0x1E, 0x00, 0x01, 0xC1, 0x00, 0x00, 0xF0, 0x01,
                    0xF0, 0x0C, 0x05, 0x04, 0x48, 0x44, 0x4D, 0x56, 0x88, 0x04,
                    0x0F, 0xFF, 0xFF, 0xFC, 0x91, 0xF4, 0x00, 0xF0, 0x00});
}

Bytes sitSection() {
    // Table 0x7F, length 25; transmission info: the partial transport stream
    // descriptor (peak rate 120000 x 400 bit/s, smoothing rate and buffer
    // undefined); service 1, running status 0, no descriptors.
    return withCrc({0x7F, 0xF0, 0x19, 0xFF, 0xFF, 0xC1, 0x00, 0x00, 0xF0, 0x0A, 0x63, 0x08,
                    0xC1, 0xD4, 0xC0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x01, 0x80, 0x00});
}

PesPacketizer::PesPacketizer(ByteView pes, std::uint16_t pid) : pes_(pes), pid_(pid) {
    total_ = pes.size() < 6 ? 6 : std::uint64_t{pes[4]} << 8 | pes[5];
    if (pes.size() >= 6) total_ += 6;
}

void PesPacketizer::next(std::uint8_t* out, std::uint8_t continuity) {
    if (done_) return;
    const std::uint64_t remaining = total_ - offset_;
    const bool stuffed = remaining < 184;
    out[0] = kSyncByte;
    out[1] = static_cast<std::uint8_t>((atStart() ? 0x40 : 0x00) | (pid_ >> 8 & 0x1F));
    out[2] = static_cast<std::uint8_t>(pid_ & 0xFF);
    out[3] = static_cast<std::uint8_t>(0x10 | (stuffed ? 0x20 : 0x00) | (continuity & 0x0F));
    std::size_t header = 4;
    if (stuffed) {
        const auto length = static_cast<std::uint8_t>(183 - remaining);
        out[4] = length;
        if (length >= 1) out[5] = 0x00;  // no flags; the rest stays 0xFF stuffing
        header = 5 + length;
    }
    const std::size_t take = kTransportPacketSize - header;
    const std::uint64_t available = pes_.size() > offset_ ? pes_.size() - offset_ : 0;
    const std::size_t copied = static_cast<std::size_t>(std::min<std::uint64_t>(take, available));
    std::memcpy(out + header, pes_.data() + offset_, copied);
    offset_ += take;
    if (copied < take) short_ = true;
    done_ = short_ || offset_ >= total_;
}

Bytes muxPesStream(ByteView pes, Reporter& reporter, MuxResult* result) {
    Bytes out;
    MuxWriter writer([&out](ByteView bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); });
    const MuxResult done = muxInto(pes, reporter, writer);
    if (result != nullptr) *result = done;
    return out;
}

MuxResult Mux(ByteView pes, const std::string& path, Reporter& reporter) {
    SafeFileWriter file(path);
    MuxWriter writer([&file](ByteView bytes) { file.write(bytes); });
    const MuxResult result = muxInto(pes, reporter, writer);
    file.commit();
    return result;
}

std::optional<MuxResult> muxMenu(TIGMenu& menu, const std::string& path, Reporter& reporter) {
    const std::optional<Bytes> pes = igsBytes(menu, IGSForm::Pes, reporter);
    if (!pes) return std::nullopt;
    return Mux(*pes, path, reporter);
}

}  // namespace lumora
