// WAV files of other rates, sample formats and channel counts made into
// 48 kHz 16-bit entries.
#include <gtest/gtest.h>

#include <cmath>

#include "sound/sound_file.h"
#include "support/test_support.h"

namespace lumora {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The entry's samples as numbers.
std::vector<int> samplesOf(const TSoundEntries& entry) {
    std::vector<int> samples;
    for (std::size_t i = 0; i + 1 < entry.data.size(); i += 2)
        samples.push_back(static_cast<std::int16_t>(entry.data[i] << 8 | entry.data[i + 1]));
    return samples;
}

// The largest distance of channel `channel` from amplitude * sin(2 pi f t) at
// 48 kHz, leaving out `edge` frames at each end, where a resampler's filter
// sees the silence around the sound.
int largestError(const std::vector<int>& samples, int channels, int channel, double frequency,
                 double amplitude, std::size_t edge) {
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    int largest = 0;
    for (std::size_t i = edge; i + edge < frames; ++i) {
        const double expected =
            amplitude * 32768 * std::sin(2 * kPi * frequency * static_cast<double>(i) / 48000);
        const int sample =
            samples[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(channel)];
        largest = std::max(largest, static_cast<int>(std::lround(std::abs(sample - expected))));
    }
    return largest;
}

TEST(WavConversion, RatesAndSampleFormatsBecome48kHz16Bit) {
    const struct {
        const char* name;
        std::uint16_t formatTag;
        std::uint16_t channels;
        std::uint32_t rate;
        std::uint16_t bits;
        std::size_t frames;
        std::size_t expectedFrames;
        int tolerance;  // in 16-bit steps, away from the first and last 100 frames
    } cases[] = {
        {"44.1 kHz 16-bit stereo", 1, 2, 44100, 16, 44100, 48000, 2},
        {"48 kHz 24-bit mono", 1, 1, 48000, 24, 4800, 4800, 1},
        {"48 kHz float stereo", 3, 2, 48000, 32, 4800, 4800, 1},
        // 8-bit steps are 256 16-bit steps: half a step, and what resampling
        // makes of the 8-bit noise.
        {"22.05 kHz 8-bit mono", 1, 1, 22050, 8, 11025, 24000, 200},
        {"96 kHz 32-bit stereo", 1, 2, 96000, 32, 9600, 4800, 2},
        {"32 kHz 24-bit mono, 4801.5 frames at 48 kHz", 1, 1, 32000, 24, 3201, 4802, 2},
    };
    for (const auto& c : cases) {
        test::WavSpec spec;
        spec.formatTag = c.formatTag;
        spec.channels = c.channels;
        spec.rate = c.rate;
        spec.bits = c.bits;
        spec.data = test::wavSamples(test::sine(c.frames, c.rate, 1000, 0.5, c.channels), c.bits,
                                     c.formatTag == 3);
        const WavRead read = convertedEntryFromWav(test::wavFile(spec));
        ASSERT_TRUE(read.entry) << c.name << ": " << read.error;
        const TSoundEntries& entry = *read.entry;
        EXPECT_EQ(entry.channelConfiguration, c.channels == 1 ? kSoundMono : kSoundStereo)
            << c.name;
        EXPECT_EQ(entry.samplingFrequency, kSound48kHz) << c.name;
        EXPECT_EQ(entry.bitsPerSample, kSound16Bits) << c.name;
        EXPECT_EQ(entry.length, entry.data.size()) << c.name;
        EXPECT_EQ(entry.data.size(), c.expectedFrames * 2 * c.channels) << c.name;
        const std::vector<int> samples = samplesOf(entry);
        const std::size_t edge = c.rate == 48000 ? 0 : 100;
        for (int channel = 0; channel < c.channels; ++channel) {
            EXPECT_LE(largestError(samples, c.channels, channel, 1000, 0.5, edge), c.tolerance)
                << c.name << ", channel " << channel;
        }
    }
}

TEST(WavConversion, SixChannelsAreMixedToStereo) {
    // Front left a sine, back right a sine of another pitch, LFE loud; the
    // rest silent.  The usual WAV order: FL FR FC LFE BL BR.
    const std::size_t frames = 4800;
    const std::vector<double> left = test::sine(frames, 48000, 1000, 0.8);
    const std::vector<double> backRight = test::sine(frames, 48000, 500, 0.6);
    std::vector<double> samples;
    for (std::size_t i = 0; i < frames; ++i)
        samples.insert(samples.end(), {left[i], 0, 0, 0.9, 0, backRight[i]});
    test::WavSpec spec;
    spec.channels = 6;
    spec.data = test::wavSamples(samples, 16);
    const WavRead read = convertedEntryFromWav(test::wavFile(spec));
    ASSERT_TRUE(read.entry) << read.error;
    EXPECT_EQ(read.entry->channelConfiguration, kSoundStereo);
    EXPECT_EQ(read.entry->data.size(), frames * 4);
    // Each side sums its front, half its centre and its back at -3 dB; the
    // sum of the weights scales it back to full scale.
    const double scale = 1 / (1 + 2 * std::sqrt(0.5));
    const std::vector<int> stereo = samplesOf(*read.entry);
    EXPECT_LE(largestError(stereo, 2, 0, 1000, 0.8 * scale, 0), 2);
    EXPECT_LE(largestError(stereo, 2, 1, 500, 0.6 * std::sqrt(0.5) * scale, 0), 2);
}

TEST(WavConversion, A48kHz16BitFileComesThroughExactly) {
    for (const std::uint16_t channels : {1, 2}) {
        test::WavSpec spec;
        spec.channels = channels;
        std::vector<double> samples = test::sine(2400, 48000, 440, 1.0, channels);
        samples.push_back(-1.0);  // the extremes too
        samples.push_back(1.0);
        spec.data = test::wavSamples(samples, 16);
        const Bytes wav = test::wavFile(spec);
        const WavRead converted = convertedEntryFromWav(wav);
        const WavRead taken = entryFromWav(wav);
        ASSERT_TRUE(converted.entry) << converted.error;
        ASSERT_TRUE(taken.entry);
        EXPECT_EQ(*converted.entry, *taken.entry) << channels;
    }
}

TEST(WavConversion, WhatIsNoSoundIsRefused) {
    test::WavSpec empty;
    const Bytes noSound = test::wavFile(empty);
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"nothing", {}},
        {"text", test::hexBytes("48656C6C6F2C20776F726C6421")},
        {"a cut header", Bytes(noSound.begin(), noSound.begin() + 30)},
    };
    for (const auto& c : cases) {
        const WavRead read = convertedEntryFromWav(c.bytes);
        EXPECT_FALSE(read.entry) << c.name;
        EXPECT_EQ(read.error.rfind("Cannot read the sound file (", 0), 0u)
            << c.name << ": " << read.error;
    }
}

}  // namespace
}  // namespace lumora
