#include "stream/demux.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>

#include "core/file_io.h"
#include "core/text.h"
#include "menu/menu_model.h"
#include "stream/source_packet.h"

namespace lumora {
namespace {

using Clock = std::chrono::steady_clock;

// Source packets per read: 8 blocks of 341 packets, about 512 KiB.  Large
// enough that the system calls cost nothing beside the copying, small enough
// that the buffer stays in the processor's cache while the packets are looked
// at (measured: larger and smaller buffers are both slower).  Reads, not a
// memory mapping: mapping the file measured slower (the page faults, or the
// prefaulting, cost more than the copy into a cached buffer), and a mapped
// file whose disc fails to read ends the program with a bus error where a
// read reports the error.
constexpr std::size_t kReadPackets = 341 * 8;
constexpr std::size_t kReadBytes = kReadPackets * kSourcePacketSize;
// The output is handed on in pieces of this size.
constexpr std::size_t kOutputBytes = 1 << 20;
// The status line and the progress bar move every this many packets.
constexpr std::uint64_t kStatusInterval = 32768;

std::uint64_t millisecondsSince(Clock::time_point start) {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// The demultiplexer's output, collected and handed on in large pieces.
class OutputBuffer {
public:
    explicit OutputBuffer(std::function<void(ByteView)> handOn)
        : handOn_(std::move(handOn)), buffer_(kOutputBytes) {}

    void put(const std::uint8_t* data, std::size_t size) {
        if (size > buffer_.size() - used_) {
            flush();
            if (size >= buffer_.size()) {
                handOn_(ByteView(data, size));
                written_ += size;
                return;
            }
        }
        std::memcpy(buffer_.data() + used_, data, size);
        used_ += size;
    }
    void flush() {
        if (used_ == 0) return;
        handOn_(ByteView(buffer_.data(), used_));
        written_ += used_;
        used_ = 0;
    }
    std::uint64_t written() const { return written_ + used_; }

private:
    std::function<void(ByteView)> handOn_;
    Bytes buffer_;
    std::size_t used_ = 0;
    std::uint64_t written_ = 0;
};

void putBigEndian32(std::uint8_t* out, std::uint32_t value) {
    out[0] = static_cast<std::uint8_t>(value >> 24);
    out[1] = static_cast<std::uint8_t>(value >> 16);
    out[2] = static_cast<std::uint8_t>(value >> 8);
    out[3] = static_cast<std::uint8_t>(value);
}

// Walks the source packets of one run and writes the selected PID's data.
class PidDemuxer {
public:
    PidDemuxer(std::uint16_t pid, DemuxMode mode, OutputBuffer& out, Reporter& reporter,
               DemuxResult& result, std::uint64_t totalPackets)
        : pid_(pid),
          mode_(mode),
          out_(out),
          reporter_(reporter),
          result_(result),
          totalPackets_(totalPackets),
          start_(Clock::now()) {
        letters_[0] = mode == DemuxMode::Sup ? 'P' : 'I';
        letters_[1] = 'G';
    }

    // Looks at the packets of `data` (`offset` = its file offset) and returns
    // how many bytes it used; the rest (less than a packet, or the bytes a
    // search for the sync byte still needs) comes again in front of the next
    // data.  `atEnd`: no data follows.
    std::size_t scan(const std::uint8_t* data, std::size_t size, bool atEnd, std::uint64_t offset) {
        std::size_t pos = 0;
        for (;;) {
            if (searching_) {
                const auto found = findSync(data, size, pos, atEnd);
                if (!found) return pos;
                reportSyncLoss();
            }
            const std::size_t from = pos;
            pos = skipOtherPids(data, size, pos);
            countPackets((pos - from) / kSourcePacketSize);
            if (size - pos < kSourcePacketSize) {
                if (atEnd) result_.trailingBytes = size - pos;
                return atEnd ? size : pos;
            }
            const std::uint8_t* packet = data + pos;
            countPacket();
            if (packet[kExtraHeaderSize] != kSyncByte) {
                syncLost(offset + pos);
                ++pos;
                continue;
            }
            if (!handlePacket(packet)) {
                stopped_ = true;
                return pos;
            }
            pos += kSourcePacketSize;
        }
    }

    // A Cancel stopped the run at a PES packet start.
    bool stopped() const { return stopped_; }

    void finish() {
        if (searching_) reportSyncLoss();
        endPes();
        result_.elapsedMs = millisecondsSince(start_);
    }

private:
    enum class PesState { Idle, Header, Payload, Skip };

    // Packets of other PIDs (with their sync byte, and not the video PID the
    // SUP base still waits for) need nothing but counting: they pass in a
    // loop of their own, which keeps the run at the speed of the reads.
    std::size_t skipOtherPids(const std::uint8_t* data, std::size_t size, std::size_t pos) const {
        const std::uint16_t waitedFor = findingBase_ ? kPrimaryVideoPid : pid_;
        while (size - pos >= kSourcePacketSize) {
            const std::uint8_t* ts = data + pos + kExtraHeaderSize;
            if (ts[0] != kSyncByte) break;
            const std::uint16_t pid = packetPid(ts);
            if (pid == pid_ || pid == waitedFor) break;
            pos += kSourcePacketSize;
        }
        return pos;
    }

    void countPacket() { countPackets(1); }

    // The status line and the progress bar move each time the count passes a
    // multiple of the interval.
    void countPackets(std::uint64_t count) {
        const std::uint64_t before = result_.packets;
        result_.packets += count;
        if (before / kStatusInterval == result_.packets / kStatusInterval) return;
        const std::uint64_t passed = result_.packets / kStatusInterval * kStatusInterval;
        const std::uint64_t elapsed = millisecondsSince(start_);
        reporter_.slog(demuxProgressText(passed, totalPackets_, elapsed), 1);
        const std::uint64_t total = std::max<std::uint64_t>(totalPackets_, 1);
        reporter_.progress(static_cast<int>(std::min<std::uint64_t>(passed * 100 / total, 100)));
    }

    // ---- Sync loss ----

    void syncLost(std::uint64_t at) {
        ++result_.syncLosses;
        searching_ = true;
        lostAt_ = at;
        skipped_ = 1;
    }

    // Moves `pos` to the next place where a packet's sync byte is, and the
    // next packet's too (or the data ends there).  False when the data ran
    // out first; at the end of the data every byte left is skipped.
    bool findSync(const std::uint8_t* data, std::size_t size, std::size_t& pos, bool atEnd) {
        constexpr std::size_t kSync = kExtraHeaderSize;
        constexpr std::size_t kNextSync = kSourcePacketSize + kExtraHeaderSize;
        for (; pos + kSync < size; ++pos, ++skipped_) {
            if (data[pos + kSync] != kSyncByte) continue;
            if (pos + kNextSync < size) {
                if (data[pos + kNextSync] == kSyncByte) return true;
                continue;
            }
            if (atEnd) return true;
            return false;  // the next packet decides; it comes with the next data
        }
        if (atEnd) {
            skipped_ += size - pos;
            pos = size;
        }
        return false;
    }

    void reportSyncLoss() {
        searching_ = false;
        result_.skippedBytes += skipped_;
        reporter_.log("  Sync byte missing at byte " + std::to_string(lostAt_ + kExtraHeaderSize) +
                      ": " + std::to_string(skipped_) + " bytes skipped.");
    }

    // ---- Packets ----

    // False when a Cancel stops the run here.
    bool handlePacket(const std::uint8_t* packet) {
        const std::uint8_t* ts = packet + kExtraHeaderSize;
        const std::uint16_t pid = packetPid(ts);
        if (pid == kNullPid) return true;
        if (pid != pid_) {
            if (findingBase_ && pid == kPrimaryVideoPid) lookForBase(packet);
            return true;
        }
        ++result_.savedPackets;
        const int size = payloadSize(ts);
        if (size <= 0 || !hasPayload(ts)) return true;
        const auto g = static_cast<std::size_t>(size);
        const std::uint8_t* payload = packet + kSourcePacketSize - g;
        if (mode_ == DemuxMode::Pes) {
            out_.put(payload, g);
            return true;
        }
        if (startsPes(ts, payload, g)) {
            if (reporter_.cancelRequested()) return false;
            beginPes(packet);
        }
        consume(payload, g);
        return true;
    }

    // The payload unit start indicator marks a PES packet start.  Streams
    // that leave it unset still start one with a start code once the
    // previous PES packet has ended.
    bool startsPes(const std::uint8_t* ts, const std::uint8_t* payload, std::size_t size) const {
        if (payloadUnitStart(ts)) return true;
        return state_ == PesState::Idle && size >= 4 && startsWithStartCode(payload) &&
               isPesStreamId(payload[3]);
    }

    // SUP mode: the first video PES header with a PTS sets the base that the
    // subtitle times are taken relative to.
    void lookForBase(const std::uint8_t* packet) {
        const std::uint8_t* ts = packet + kExtraHeaderSize;
        const int size = payloadSize(ts);
        if (size < 14 || !hasPayload(ts)) return;
        const std::uint8_t* p = packet + kSourcePacketSize - size;
        if (!startsWithStartCode(p) || !isPesStreamId(p[3]) || isHeaderlessStreamId(p[3])) return;
        if ((p[7] & 0x80) == 0 || p[8] < 5) return;
        ptsBase_ = pesTimeStamp(p + 9);
        findingBase_ = false;
    }

    // ---- PES packets ----

    void beginPes(const std::uint8_t* packet) {
        endPes();
        ++result_.pesPackets;
        state_ = PesState::Header;
        headerHave_ = 0;
        headerNeed_ = 6;
        lengthKnown_ = false;
        std::memcpy(extraHeader_, packet, kExtraHeaderSize);
    }

    void endPes() {
        if (pendingLog_) logPes(0);
        state_ = PesState::Idle;
    }

    void consume(const std::uint8_t* data, std::size_t size) {
        while (size > 0 && state_ != PesState::Idle) {
            std::size_t take = size;
            if (bounded()) take = std::min<std::size_t>(take, left_);
            if (state_ == PesState::Header) take = std::min(take, headerNeed_ - headerHave_);
            if (state_ == PesState::Header) {
                std::memcpy(header_ + headerHave_, data, take);
                headerHave_ += take;
            } else if (state_ == PesState::Payload) {
                writePayload(data, take);
            }
            data += take;
            size -= take;
            if (bounded()) left_ -= static_cast<std::uint32_t>(take);
            if (state_ == PesState::Header && headerHave_ == headerNeed_) advanceHeader();
            if (bounded() && left_ == 0) endPes();  // the rest is stuffing
        }
    }

    bool bounded() const { return lengthKnown_ && pesLength_ != 0; }

    void advanceHeader() {
        if (headerNeed_ == 6) {
            if (!startsWithStartCode(header_) || !isPesStreamId(header_[3])) {
                state_ = PesState::Idle;  // no PES packet: nothing of it is written
                return;
            }
            pesLength_ = static_cast<std::uint16_t>(header_[4] << 8 | header_[5]);
            left_ = pesLength_;
            lengthKnown_ = true;
            if (isHeaderlessStreamId(header_[3])) {
                state_ = PesState::Skip;
                return;
            }
            headerNeed_ = kPesFixedHeader;
            return;
        }
        if (headerNeed_ == kPesFixedHeader && header_[8] > 0) {
            headerNeed_ = kPesFixedHeader + header_[8];
            return;
        }
        headerComplete();
    }

    void headerComplete() {
        state_ = PesState::Payload;
        if (mode_ != DemuxMode::Sup && mode_ != DemuxMode::Menu) return;
        const std::uint8_t flags = header_[7] >> 6;
        const std::size_t dataLength = header_[8];
        if ((flags & 2) != 0 && dataLength >= 5) {
            lastPts_ = pesTimeStamp(header_ + 9) - ptsBase_;
            lastDts_ = flags == 3 && dataLength >= 10 ? pesTimeStamp(header_ + 14) - ptsBase_ : 0;
            pendingLog_ = true;
        }
        std::uint8_t segmentHeader[10] = {static_cast<std::uint8_t>(letters_[0]),
                                          static_cast<std::uint8_t>(letters_[1])};
        putBigEndian32(segmentHeader + 2, lastPts_);
        putBigEndian32(segmentHeader + 6, lastDts_);
        out_.put(segmentHeader, sizeof segmentHeader);
    }

    void writePayload(const std::uint8_t* data, std::size_t size) {
        if (pendingLog_) logPes(data[0]);
        out_.put(data, size);
    }

    void logPes(std::uint8_t segmentType) {
        pendingLog_ = false;
        reporter_.log(pesLogLine(lastPts_, lastDts_, segmentType, extraHeader_));
    }

    const std::uint16_t pid_;
    const DemuxMode mode_;
    OutputBuffer& out_;
    Reporter& reporter_;
    DemuxResult& result_;
    const std::uint64_t totalPackets_;
    const Clock::time_point start_;
    char letters_[2];
    bool stopped_ = false;

    bool searching_ = false;
    std::uint64_t lostAt_ = 0;
    std::uint64_t skipped_ = 0;

    bool findingBase_ = mode_ == DemuxMode::Sup;
    std::uint32_t ptsBase_ = 0;

    PesState state_ = PesState::Idle;
    std::uint8_t header_[kPesFixedHeader + 255] = {};
    std::size_t headerHave_ = 0;
    std::size_t headerNeed_ = 0;
    bool lengthKnown_ = false;
    std::uint16_t pesLength_ = 0;
    std::uint32_t left_ = 0;  // bytes of a bounded PES packet still to come
    std::uint8_t extraHeader_[kExtraHeaderSize] = {};
    std::uint32_t lastPts_ = 0;
    std::uint32_t lastDts_ = 0;
    bool pendingLog_ = false;
};

// ---- Files ----

std::string systemReason(int error) {
    return std::strerror(error);
}

// The source, opened for reading and read front to back.
class SourceFile {
public:
    explicit SourceFile(const std::string& path) : path_(path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) throw openError(errno);
        struct stat st {};
        int error = 0;
        if (::fstat(fd_, &st) != 0) {
            error = errno;
        } else if (S_ISDIR(st.st_mode)) {
            error = EISDIR;
        }
        if (error != 0) {
            ::close(fd_);
            throw openError(error);
        }
        size_ = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
        device_ = st.st_dev;
        inode_ = st.st_ino;
        ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    }
    ~SourceFile() { ::close(fd_); }
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    std::uint64_t size() const { return size_; }
    bool isFile(const std::string& path) const {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && st.st_dev == device_ && st.st_ino == inode_;
    }

    // Fills `out` as far as the file goes; fewer bytes only at its end.
    std::size_t read(std::uint8_t* out, std::size_t size) {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::read(fd_, out + done, size - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                throw FileError("Cannot read file \"" + path_ + "\". " + systemReason(errno),
                                path_);
            }
            if (n == 0) break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

private:
    FileError openError(int error) const {
        return FileError("Cannot open file \"" + path_ + "\". " + systemReason(error), path_);
    }

    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};

std::string cellPart(std::string_view cell) {
    std::string part;
    for (const char c : cell) {
        if (c == ',') continue;
        part += c == ' ' || c == ':' || c == '/' || c == '\\' ? '_' : c;
    }
    return part;
}

}  // namespace

bool isPgPid(std::uint16_t pid) {
    return pid >= 0x1200 && pid <= 0x12FF;
}

bool isIgPid(std::uint16_t pid) {
    return pid >= 0x1400 && pid <= 0x14FF;
}

DemuxMode chooseDemuxMode(std::uint16_t pid, const SavePidFormat& format) {
    if (isPgPid(pid) && format.saveSup) return DemuxMode::Sup;
    if (isIgPid(pid) && format.saveMnu && !format.savePes) return DemuxMode::Menu;
    if (format.savePes) return DemuxMode::Pes;
    return DemuxMode::Elementary;
}

std::string streamAbbreviation(std::uint16_t pid) {
    if (pid == kPrimaryVideoPid) return "vis";
    switch (pid >> 8) {
        case 0x11:
            return "aus";
        case 0x1B:
            return "svs";
        case 0x1A:
            return "sas";
        case 0x12:
            return "pgs";
        case 0x14:
            return "igs";
        case 0x18:
            return "txs";
        default:
            return "";
    }
}

std::string demuxExtension(std::uint16_t pid, DemuxMode mode) {
    switch (mode) {
        case DemuxMode::Sup:
            return "sup";
        case DemuxMode::Menu:
            return "mnu";
        case DemuxMode::Pes:
            return "PES." + streamAbbreviation(pid);
        case DemuxMode::Elementary:
            break;
    }
    return streamAbbreviation(pid);
}

std::string demuxFileName(std::string_view clipName, std::string_view pidCell,
                          std::string_view typeCell, std::string_view detailsCell,
                          std::string_view extension) {
    return std::string(clipName) + "_PID" + cellPart(pidCell) + "_" + cellPart(typeCell) + "_" +
           cellPart(detailsCell) + "." + std::string(extension);
}

std::string elapsedText(std::uint64_t milliseconds) {
    return menuClockText(milliseconds / 1000 * 90000);
}

std::string demuxProgressText(std::uint64_t count, std::uint64_t total,
                              std::uint64_t elapsedMilliseconds) {
    const std::uint64_t projected = count == 0 ? 0 : elapsedMilliseconds * total / count;
    const std::uint64_t remaining =
        (projected > elapsedMilliseconds ? projected - elapsedMilliseconds : 0) + 1000;
    return "Packet: " + std::to_string(count) + "/" + std::to_string(total) +
           "   Elapsed: " + elapsedText(elapsedMilliseconds) +
           "   Remaining: " + elapsedText(remaining);
}

std::string pesLogLine(std::uint32_t pts, std::uint32_t dts, std::uint8_t segmentType,
                       const std::uint8_t* extraHeader) {
    std::string line = hexText(pts, 8) + ", " + hexText(dts, 8) + " : " + menuTimeText(pts) + ", " +
                       menuTimeText(dts) + "   " + hexText(segmentType, 2) + "   ";
    for (std::size_t i = 0; i < kExtraHeaderSize; ++i)
        line += hexText(extraHeader[i], 2);
    return line;
}

DemuxResult Demux(const std::string& source, const std::string& target, std::uint16_t pid,
                  DemuxMode mode, Reporter& reporter) {
    SourceFile in(source);
    if (in.isFile(target)) {
        throw FileError("Cannot save into \"" + target + "\": it is the stream file itself.",
                        target);
    }
    SafeFileWriter writer(target);
    OutputBuffer out([&writer](ByteView bytes) { writer.write(bytes); });
    DemuxResult result;
    PidDemuxer demuxer(pid, mode, out, reporter, result, in.size() / kSourcePacketSize);

    // One buffer for the whole run; what a read leaves over (part of a
    // packet) moves to its front, so no packet is read from the file twice.
    Bytes buffer(kReadBytes + 2 * kSourcePacketSize);
    std::size_t have = 0;
    std::uint64_t offset = 0;  // file offset of buffer[0]
    for (bool atEnd = false; !atEnd;) {
        reporter.sink().processEvents();
        // Whole blocks of packets as long as the packets stand where they
        // should; the buffer's spare room takes what a lost sync carries over.
        const std::size_t wanted = have < kReadBytes ? kReadBytes - have : buffer.size() - have;
        const std::size_t got = in.read(buffer.data() + have, wanted);
        atEnd = got < wanted;
        have += got;
        const std::size_t used = demuxer.scan(buffer.data(), have, atEnd, offset);
        if (demuxer.stopped()) break;
        std::memmove(buffer.data(), buffer.data() + used, have - used);
        have -= used;
        offset += used;
        if (!atEnd && reporter.cancelRequested()) {
            result.cancelled = true;
            break;
        }
    }
    result.cancelled = result.cancelled || demuxer.stopped();
    demuxer.finish();
    out.flush();
    result.bytesWritten = out.written();
    writer.commit();
    return result;
}

DemuxResult demuxBytes(ByteView stream, Bytes& out, std::uint16_t pid, DemuxMode mode,
                       Reporter& reporter) {
    OutputBuffer buffer(
        [&out](ByteView bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); });
    DemuxResult result;
    PidDemuxer demuxer(pid, mode, buffer, reporter, result, stream.size() / kSourcePacketSize);
    reporter.sink().processEvents();
    demuxer.scan(stream.data(), stream.size(), true, 0);
    result.cancelled = demuxer.stopped();
    demuxer.finish();
    buffer.flush();
    result.bytesWritten = buffer.written();
    return result;
}

}  // namespace lumora
