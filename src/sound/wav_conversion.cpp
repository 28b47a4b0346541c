// convertedEntryFromWav: sounds of any rate, sample format and channel count
// made fit for sound.bdmv.  libsndfile decodes the file from memory to float
// samples, channels beyond stereo are mixed down, libsamplerate brings the
// rate to 48 kHz, and the result is stored as 16-bit big-endian samples.
#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "sound/sound_file.h"

namespace lumora {
namespace {

constexpr int kTargetRate = 48000;
// Sound effects are short; this keeps the 16-bit result within the 32-bit
// length field with room for the rest of the file.
constexpr std::uint64_t kMaxOutputBytes = 0xF0000000u;

// ---- libsndfile reading from memory ----

struct MemoryFile {
    ByteView bytes;
    sf_count_t position = 0;
};

MemoryFile& memoryOf(void* user) {
    return *static_cast<MemoryFile*>(user);
}

sf_count_t memoryLength(void* user) {
    return static_cast<sf_count_t>(memoryOf(user).bytes.size());
}

sf_count_t memorySeek(sf_count_t offset, int whence, void* user) {
    MemoryFile& file = memoryOf(user);
    const sf_count_t size = static_cast<sf_count_t>(file.bytes.size());
    const sf_count_t base = whence == SEEK_CUR ? file.position : whence == SEEK_END ? size : 0;
    if (offset < -base || offset > std::numeric_limits<sf_count_t>::max() - base) return -1;
    file.position = base + offset;
    return file.position;
}

sf_count_t memoryRead(void* destination, sf_count_t count, void* user) {
    MemoryFile& file = memoryOf(user);
    const sf_count_t size = static_cast<sf_count_t>(file.bytes.size());
    if (count <= 0 || file.position >= size) return 0;
    const sf_count_t taken = std::min(count, size - file.position);
    std::memcpy(destination, file.bytes.data() + file.position, static_cast<std::size_t>(taken));
    file.position += taken;
    return taken;
}

sf_count_t memoryWrite(const void* /*source*/, sf_count_t /*count*/, void* /*user*/) {
    return 0;  // read only
}

sf_count_t memoryTell(void* user) {
    return memoryOf(user).position;
}

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

// Decoded samples, interleaved, full scale at +-1.
struct Sound {
    std::vector<float> samples;
    int channels = 0;
    int rate = 0;
    std::size_t frames() const { return samples.size() / static_cast<std::size_t>(channels); }
};

std::string readError(std::string_view reason) {
    return "Cannot read the sound file (" + std::string(reason) + ")";
}

// The speaker of each channel: from the file's channel mask when it has one,
// otherwise the usual order of WAV files (front left, front right, centre,
// LFE, back left, back right, ...).
std::vector<int> channelMap(SNDFILE* file, int channels) {
    std::vector<int> map(static_cast<std::size_t>(channels), SF_CHANNEL_MAP_INVALID);
    if (sf_command(file, SFC_GET_CHANNEL_MAP_INFO, map.data(),
                   static_cast<int>(map.size() * sizeof(int))) == SF_TRUE) {
        return map;
    }
    static constexpr std::array kWavOrder{SF_CHANNEL_MAP_FRONT_LEFT,
                                          SF_CHANNEL_MAP_FRONT_RIGHT,
                                          SF_CHANNEL_MAP_FRONT_CENTER,
                                          SF_CHANNEL_MAP_LFE,
                                          SF_CHANNEL_MAP_REAR_LEFT,
                                          SF_CHANNEL_MAP_REAR_RIGHT,
                                          SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER,
                                          SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER,
                                          SF_CHANNEL_MAP_REAR_CENTER,
                                          SF_CHANNEL_MAP_SIDE_LEFT,
                                          SF_CHANNEL_MAP_SIDE_RIGHT,
                                          SF_CHANNEL_MAP_TOP_CENTER,
                                          SF_CHANNEL_MAP_TOP_FRONT_LEFT,
                                          SF_CHANNEL_MAP_TOP_FRONT_CENTER,
                                          SF_CHANNEL_MAP_TOP_FRONT_RIGHT,
                                          SF_CHANNEL_MAP_TOP_REAR_LEFT,
                                          SF_CHANNEL_MAP_TOP_REAR_CENTER,
                                          SF_CHANNEL_MAP_TOP_REAR_RIGHT};
    for (std::size_t i = 0; i < map.size() && i < kWavOrder.size(); ++i)
        map[i] = kWavOrder[i];
    return map;
}

struct Decoded {
    std::optional<Sound> sound;
    std::vector<int> channelMap;
    std::string error;
};

Decoded decode(ByteView wav) {
    MemoryFile memory{wav, 0};
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    SF_INFO info{};
    const SndfileHandle file(sf_open_virtual(&io, SFM_READ, &info, &memory));
    if (!file) return {std::nullopt, {}, readError(sf_strerror(nullptr))};
    if (info.channels <= 0 || info.samplerate <= 0)
        return {std::nullopt, {}, readError("no sound")};

    Sound sound;
    sound.channels = info.channels;
    sound.rate = info.samplerate;
    // The frame count of the header is not trusted: blocks are read until the
    // decoder has no more.
    constexpr sf_count_t kBlockFrames = 4096;
    std::vector<float> block(static_cast<std::size_t>(kBlockFrames) *
                             static_cast<std::size_t>(info.channels));
    for (;;) {
        const sf_count_t got = sf_readf_float(file.get(), block.data(), kBlockFrames);
        if (got <= 0) break;
        sound.samples.insert(sound.samples.end(), block.begin(),
                             block.begin() + static_cast<std::ptrdiff_t>(got * info.channels));
        if (sound.samples.size() * 2 > kMaxOutputBytes)
            return {std::nullopt, {}, readError("too long")};
    }
    return {std::move(sound), channelMap(file.get(), info.channels), {}};
}

// ---- Mixing down ----

struct StereoWeight {
    float left = 0;
    float right = 0;
};

StereoWeight weightOf(int speaker) {
    constexpr float kSide = 0.70710678f;  // -3 dB
    switch (speaker) {
        case SF_CHANNEL_MAP_LEFT:
        case SF_CHANNEL_MAP_FRONT_LEFT:
        case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
        case SF_CHANNEL_MAP_TOP_FRONT_LEFT:
            return {1, 0};
        case SF_CHANNEL_MAP_RIGHT:
        case SF_CHANNEL_MAP_FRONT_RIGHT:
        case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
        case SF_CHANNEL_MAP_TOP_FRONT_RIGHT:
            return {0, 1};
        case SF_CHANNEL_MAP_MONO:
        case SF_CHANNEL_MAP_CENTER:
        case SF_CHANNEL_MAP_FRONT_CENTER:
        case SF_CHANNEL_MAP_TOP_CENTER:
        case SF_CHANNEL_MAP_TOP_FRONT_CENTER:
            return {kSide, kSide};
        case SF_CHANNEL_MAP_REAR_LEFT:
        case SF_CHANNEL_MAP_SIDE_LEFT:
        case SF_CHANNEL_MAP_TOP_REAR_LEFT:
            return {kSide, 0};
        case SF_CHANNEL_MAP_REAR_RIGHT:
        case SF_CHANNEL_MAP_SIDE_RIGHT:
        case SF_CHANNEL_MAP_TOP_REAR_RIGHT:
            return {0, kSide};
        case SF_CHANNEL_MAP_LFE:
            return {0, 0};  // button sounds are heard on small speakers too
        default:
            return {0.5f, 0.5f};  // rear centre and what has no place
    }
}

// Each speaker goes to the side it is on, the centre to both at -3 dB; the
// sums are scaled so that full scale on every channel stays full scale.
Sound mixedToStereo(const Sound& sound, const std::vector<int>& speakers) {
    std::vector<StereoWeight> weights;
    StereoWeight total;
    for (const int speaker : speakers) {
        weights.push_back(weightOf(speaker));
        total.left += weights.back().left;
        total.right += weights.back().right;
    }
    const float scale = 1.0f / std::max({total.left, total.right, 1.0f});
    Sound stereo;
    stereo.channels = 2;
    stereo.rate = sound.rate;
    stereo.samples.reserve(sound.frames() * 2);
    const auto channels = static_cast<std::size_t>(sound.channels);
    for (std::size_t frame = 0; frame < sound.frames(); ++frame) {
        float left = 0, right = 0;
        for (std::size_t c = 0; c < channels; ++c) {
            const float sample = sound.samples[frame * channels + c];
            left += sample * weights[c].left;
            right += sample * weights[c].right;
        }
        stereo.samples.push_back(left * scale);
        stereo.samples.push_back(right * scale);
    }
    return stereo;
}

// ---- Resampling ----

std::optional<Sound> resampledTo48k(Sound sound, std::string& error) {
    if (sound.rate == kTargetRate || sound.samples.empty()) {
        sound.rate = kTargetRate;
        return sound;
    }
    const double ratio = static_cast<double>(kTargetRate) / sound.rate;
    if (src_is_valid_ratio(ratio) == 0) {
        error = readError("sample rate " + std::to_string(sound.rate) + " Hz");
        return std::nullopt;
    }
    const auto inFrames = static_cast<long>(sound.frames());
    const auto outFrames = static_cast<long>(std::llround(static_cast<double>(inFrames) * ratio));
    if (static_cast<std::uint64_t>(outFrames) * static_cast<std::uint64_t>(sound.channels) * 2 >
        kMaxOutputBytes) {
        error = readError("too long");
        return std::nullopt;
    }
    Sound out;
    out.channels = sound.channels;
    out.rate = kTargetRate;
    if (outFrames == 0) return out;
    out.samples.resize(static_cast<std::size_t>(outFrames) *
                       static_cast<std::size_t>(sound.channels));
    SRC_DATA data{};
    data.data_in = sound.samples.data();
    data.input_frames = inFrames;
    data.data_out = out.samples.data();
    data.output_frames = outFrames;
    data.src_ratio = ratio;
    if (const int failure = src_simple(&data, SRC_SINC_BEST_QUALITY, sound.channels)) {
        error = readError(src_strerror(failure));
        return std::nullopt;
    }
    // The sound lasts as long as before: the resampler may stop a frame
    // short, and that frame is silence.
    return out;
}

// ---- 16-bit big-endian ----

std::int16_t sample16(float value) {
    const long scaled = std::lrint(static_cast<double>(value) * 32768.0);
    return static_cast<std::int16_t>(std::clamp(scaled, -32768L, 32767L));
}

Bytes bigEndian16(const std::vector<float>& samples) {
    Bytes out;
    out.reserve(samples.size() * 2);
    for (const float value : samples) {
        const auto sample = static_cast<std::uint16_t>(sample16(value));
        out.push_back(static_cast<std::uint8_t>(sample >> 8));
        out.push_back(static_cast<std::uint8_t>(sample & 0xFF));
    }
    return out;
}

}  // namespace

WavRead convertedEntryFromWav(ByteView wav) {
    Decoded decoded = decode(wav);
    if (!decoded.sound) return {std::nullopt, decoded.error};
    Sound sound = std::move(*decoded.sound);
    if (sound.channels > 2) sound = mixedToStereo(sound, decoded.channelMap);
    std::string error;
    std::optional<Sound> resampled = resampledTo48k(std::move(sound), error);
    if (!resampled) return {std::nullopt, error};

    TSoundEntries entry;
    entry.channelConfiguration = resampled->channels == 1 ? kSoundMono : kSoundStereo;
    entry.samplingFrequency = kSound48kHz;
    entry.bitsPerSample = kSound16Bits;
    entry.data = bigEndian16(resampled->samples);
    entry.length = static_cast<std::uint32_t>(entry.data.size());
    return {std::move(entry), {}};
}

}  // namespace lumora
