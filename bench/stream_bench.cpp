// Transport streams: saving one PID out of a 2 GB stream file, side by side
// with reading the same file with `cat FILE > /dev/null` and, when FFmpeg is
// installed, with FFmpeg's stream copy of the same PID.  The file is made in
// the temporary folder when the first of these runs (so it is in the page
// cache for all of them) and removed when the program ends.
//
// The stream: PAT and PMT, an H.264 video PID 0x1011 (unbounded PES packets,
// about 90 % of the packets), an LPCM audio PID 0x1100 (bounded PES packets
// of five transport packets, 6 %), a PG PID 0x1200 (0.1 %) and null packets.
// Two PIDs are saved: the PG stream, where the run is all reading, and the
// audio, where 61 MB are written and synced to the disk as well (cat writes
// nothing, FFmpeg does not sync).
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "bench.h"
#include "core/bytes.h"
#include "core/crc.h"
#include "core/report.h"
#include "stream/demux.h"

namespace lumora::bench {
namespace {
namespace fs = std::filesystem;

constexpr std::uint64_t kPackets = (std::uint64_t{2} << 30) / 192;  // 2 GiB of whole packets
constexpr std::uint16_t kVideoPid = 0x1011;
constexpr std::uint16_t kAudioPid = 0x1100;
constexpr std::uint16_t kPgPid = 0x1200;
constexpr std::uint16_t kPmtPid = 0x0100;

Bytes section(Bytes body) {
    appendBigEndian(body, crc32Mpeg(body), 4);
    return body;
}

// Writes the packets of the stream, one 192-byte packet at a time into a
// large buffer.
class StreamMaker {
public:
    explicit StreamMaker(int fd) : fd_(fd) { buffer_.reserve(kChunk); }

    void make() {
        const Bytes pat =
            section({0x00, 0xB0, 0x0D, 0x00, 0x00, 0xC1, 0x00, 0x00, 0x00, 0x01, 0xE1, 0x00});
        // Program info: the registration descriptor "HDMV", as on a disc;
        // then video, audio and PG.
        const Bytes pmt =
            section({0x02, 0xB0, 0x22, 0x00, 0x01, 0xC1, 0x00, 0x00, 0xF0, 0x11, 0xF0,
                     0x06, 0x05, 0x04, 0x48, 0x44, 0x4D, 0x56, 0x1B, 0xF0, 0x11, 0xF0,
                     0x00, 0x80, 0xF1, 0x00, 0xF0, 0x00, 0x90, 0xF2, 0x00, 0xF0, 0x00});
        for (std::uint64_t n = 0; n < kPackets; ++n) {
            const std::uint64_t slot = n % 100;
            if (n % 2000 == 0) {
                tablePacket(0x0000, pat);
            } else if (n % 2000 == 1) {
                tablePacket(kPmtPid, pmt);
            } else if (slot >= 10 && slot < 16) {
                audioPacket();
            } else if (slot == 50 && n % 1000 == 50) {
                payloadPacket(kPgPid, true, pgCounter_++);
            } else if (slot == 99 && n % 700 == 99) {
                nullPacket();
            } else {
                videoPacket();
            }
        }
        flush();
    }

private:
    static constexpr std::size_t kChunk = 4 << 20;

    std::uint8_t* begin(std::uint16_t pid, bool unitStart, std::uint8_t counter) {
        const std::size_t at = buffer_.size();
        buffer_.resize(at + 192);
        std::uint8_t* p = buffer_.data() + at;
        const std::uint32_t arrival = static_cast<std::uint32_t>(count_++ * 1200) & 0x3FFFFFFF;
        p[0] = static_cast<std::uint8_t>(arrival >> 24);
        p[1] = static_cast<std::uint8_t>(arrival >> 16);
        p[2] = static_cast<std::uint8_t>(arrival >> 8);
        p[3] = static_cast<std::uint8_t>(arrival);
        p[4] = 0x47;
        p[5] = static_cast<std::uint8_t>((unitStart ? 0x40 : 0) | pid >> 8);
        p[6] = static_cast<std::uint8_t>(pid & 0xFF);
        p[7] = static_cast<std::uint8_t>(0x10 | (counter & 0x0F));
        return p + 8;  // 184 payload bytes
    }
    void end() {
        if (buffer_.size() + 192 > kChunk) flush();
    }
    void flush() {
        std::size_t done = 0;
        while (done < buffer_.size()) {
            const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
            if (n <= 0) throw std::runtime_error("cannot write the benchmark's stream file");
            done += static_cast<std::size_t>(n);
        }
        buffer_.clear();
    }

    void fill(std::uint8_t* payload, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            payload[i] = static_cast<std::uint8_t>(seed_ = seed_ * 1103515245u + 12345u) >> 1;
    }
    void pesHeader(std::uint8_t* p, std::uint8_t streamId, std::uint16_t length) {
        const std::uint8_t header[14] = {0x00,
                                         0x00,
                                         0x01,
                                         streamId,
                                         static_cast<std::uint8_t>(length >> 8),
                                         static_cast<std::uint8_t>(length & 0xFF),
                                         0x84,
                                         0x80,
                                         0x05,
                                         0x21,
                                         0x00,
                                         0x01,
                                         0x00,
                                         0x01};
        std::memcpy(p, header, sizeof header);
    }

    void tablePacket(std::uint16_t pid, const Bytes& body) {
        std::uint8_t* p = begin(pid, true, pid == 0 ? patCounter_++ : pmtCounter_++);
        std::memset(p, 0xFF, 184);
        p[0] = 0x00;
        std::memcpy(p + 1, body.data(), body.size());
        end();
    }
    // Video: an unbounded PES packet every 300 video packets.
    void videoPacket() {
        const bool start = videoPackets_++ % 300 == 0;
        std::uint8_t* p = begin(kVideoPid, start, videoCounter_++);
        fill(p, 184);
        if (start) pesHeader(p, 0xE0, 0);
        end();
    }
    // Audio: bounded PES packets of exactly five transport packets, an LPCM
    // header in front of the samples.
    void audioPacket() {
        const bool start = audioPackets_++ % 5 == 0;
        std::uint8_t* p = begin(kAudioPid, start, audioCounter_++);
        fill(p, 184);
        if (start) {
            pesHeader(p, 0xBD, 5 * 184 - 6);
            const std::uint8_t lpcm[4] = {0x03, 0x84, 0x31,
                                          0x40};  // 900 bytes, stereo, 48 kHz, 16 bit
            std::memcpy(p + 14, lpcm, sizeof lpcm);
        }
        end();
    }
    void payloadPacket(std::uint16_t pid, bool start, std::uint8_t counter) {
        std::uint8_t* p = begin(pid, start, counter);
        fill(p, 184);
        if (start) pesHeader(p, 0xBD, 184 - 6);
        end();
    }
    void nullPacket() {
        std::uint8_t* p = begin(0x1FFF, false, 0);
        std::memset(p, 0xFF, 184);
        end();
    }

    int fd_;
    Bytes buffer_;
    std::uint64_t count_ = 0;
    std::uint64_t videoPackets_ = 0;
    std::uint64_t audioPackets_ = 0;
    std::uint32_t seed_ = 1;
    std::uint8_t patCounter_ = 0, pmtCounter_ = 0, videoCounter_ = 0, audioCounter_ = 0,
                 pgCounter_ = 0;
};

// The 2 GB stream file, made once and removed when the program ends.
class BenchStream {
public:
    BenchStream() {
        dir_ = fs::temp_directory_path() / ("lumora-stream-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        const int fd = ::open(file().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) throw std::runtime_error("cannot create " + file());
        StreamMaker(fd).make();
        ::close(fd);
    }
    ~BenchStream() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    std::string file() const { return (dir_ / "bench.m2ts").string(); }
    std::string output(const char* name) const { return (dir_ / name).string(); }
    double megabytes() const { return static_cast<double>(kPackets) * 192 / 1e6; }

private:
    fs::path dir_;
};

BenchStream& benchStream() {
    static BenchStream stream;
    return stream;
}

std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

bool ffmpegAvailable() {
    return std::system("command -v ffmpeg > /dev/null 2>&1") == 0;
}

double fileMegabytes() {
    return static_cast<double>(kPackets) * 192 / 1e6;
}

// A command of the shell; a failure is told and the pass goes on, so the
// stream file is always removed at the end.
void shell(const std::string& command) {
    if (std::system(command.c_str()) != 0) std::printf("  (failed: %s)\n", command.c_str());
}

std::function<void()> demuxPass(std::uint16_t pid, const char* output) {
    BenchStream& stream = benchStream();
    return [&stream, pid, output] {
        SilentSink sink;
        Reporter reporter(sink);
        Demux(stream.file(), stream.output(output), pid, DemuxMode::Elementary, reporter);
    };
}

std::function<void()> ffmpegPass(std::uint16_t pid, const char* output) {
    BenchStream& stream = benchStream();
    if (!ffmpegAvailable()) {
        std::printf("  (ffmpeg is not installed: its stream copy is left out)\n");
        return [] {};
    }
    const std::string specifier = pid == kAudioPid ? "0:#0x1100" : "0:#0x1200";
    return [&stream, specifier, output] {
        shell("ffmpeg -nostdin -hide_banner -loglevel fatal -y -i " + quoted(stream.file()) +
              " -map " + specifier + " -c copy -f data " + quoted(stream.output(output)));
    };
}

const Register catFile{{"stream cat 2 GB > /dev/null",
                        [] {
                            BenchStream& stream = benchStream();
                            return std::function<void()>([&stream] {
                                shell("cat " + quoted(stream.file()) + " > /dev/null");
                            });
                        },
                        "MB", fileMegabytes()}};
const Register demuxPg{{"stream demux 2 GB, PG PID", [] { return demuxPass(kPgPid, "pg.es"); },
                        "MB", fileMegabytes()}};
const Register ffmpegPg{{"stream ffmpeg copy 2 GB, PG PID",
                         [] { return ffmpegPass(kPgPid, "pg.ffmpeg"); }, "MB", fileMegabytes()}};
const Register demuxAudio{{"stream demux 2 GB, audio PID",
                           [] { return demuxPass(kAudioPid, "audio.es"); }, "MB", fileMegabytes()}};
const Register ffmpegAudio{{"stream ffmpeg copy 2 GB, audio PID",
                            [] { return ffmpegPass(kAudioPid, "audio.ffmpeg"); }, "MB",
                            fileMegabytes()}};
// What writing the audio run's output costs by itself: cat of the file the
// audio demux wrote into a new file, synced as the program's output is.
const Register writeAudio{{"stream write the audio output",
                           [] {
                               BenchStream& stream = benchStream();
                               return std::function<void()>([&stream] {
                                   shell("cat " + quoted(stream.output("audio.es")) + " > " +
                                         quoted(stream.output("audio.copy")) + " && sync " +
                                         quoted(stream.output("audio.copy")));
                               });
                           },
                           "MB", fileMegabytes()}};

const Compare pgToCat{{"stream demux 2 GB, PG PID", "stream cat 2 GB > /dev/null"}};
const Compare pgToFfmpeg{{"stream demux 2 GB, PG PID", "stream ffmpeg copy 2 GB, PG PID"}};
const Compare audioToCat{{"stream demux 2 GB, audio PID", "stream cat 2 GB > /dev/null"}};
const Compare audioToFfmpeg{{"stream demux 2 GB, audio PID", "stream ffmpeg copy 2 GB, audio PID"}};

}  // namespace
}  // namespace lumora::bench
