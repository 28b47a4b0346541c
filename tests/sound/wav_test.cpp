// WAV files in (the acceptance rule and the chunk walk) and out (the image of
// an entry that export writes and the player plays).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "sound/sound_file.h"
#include "support/test_support.h"

namespace lumora {
namespace {

using test::hexBytes;

// Mono, 48 kHz, 16-bit: the samples 1, -1 and 0x1234.
const std::string kMonoWav =
    "52494646 2A000000 57415645 666D7420 10000000 0100 0100 80BB0000 00770100 0200 1000"
    "64617461 06000000 0100 FFFF 3412";

Bytes wavWith(const std::string& hex) {
    return hexBytes(hex);
}

// The mono WAV with `hex` written at `offset`.
Bytes monoWavWith(std::size_t offset, const std::string& hex) {
    Bytes wav = hexBytes(kMonoWav);
    const Bytes patch = hexBytes(hex);
    std::copy(patch.begin(), patch.end(), wav.begin() + static_cast<std::ptrdiff_t>(offset));
    return wav;
}

Bytes monoWavCutTo(std::size_t size) {
    Bytes wav = hexBytes(kMonoWav);
    wav.resize(size);
    return wav;
}

TEST(Wav, AcceptanceAndChunkWalk) {
    const std::string fmtMono =
        "52494646 2A000000 57415645 666D7420 10000000 0100 0100 80BB0000 00770100 0200 1000";
    const std::string error(kWaveFormatError);
    const std::string noData(kWaveDataError);
    const struct {
        const char* name;
        Bytes wav;
        const char* data;  // nullptr: refused
        std::string error;
    } cases[] = {
        {"valid", wavWith(kMonoWav), "0001 FFFF 1234", ""},
        {"one byte short", monoWavCutTo(49), "0001 FFFF", ""},
        {"count too large", wavWith(fmtMono + "64617461 00100000 0100 FFFF 3412"), "0001 FFFF 1234",
         ""},
        {"bad magic", monoWavWith(0, "52494658"), nullptr, error},
        {"not WAVE", monoWavWith(8, "41564920"), nullptr, error},
        {"no fmt chunk first", monoWavWith(12, "4C495354"), nullptr, error},
        {"44.1 kHz",
         wavWith("52494646 2A000000 57415645 666D7420 10000000 0100 0100 44AC0000 88580100 0200 "
                 "1000 64617461 02000000 0100"),
         nullptr, error},
        {"24-bit",
         wavWith("52494646 2A000000 57415645 666D7420 10000000 0100 0100 80BB0000 00650400 0300 "
                 "1800 64617461 03000000 010000"),
         nullptr, error},
        {"float", monoWavWith(20, "0300"), nullptr, error},
        {"shorter than the format", monoWavCutTo(37), nullptr, error},
        {"no data chunk", wavWith(fmtMono + "4C495354 04000000 494E464F"), nullptr, noData},
        {"chunk size past the end", wavWith(fmtMono + "4C495354 FFFFFFFF 494E464F"), nullptr,
         noData},
        {"odd chunk with its pad byte",
         wavWith(fmtMono + "4C495354 03000000 616263 00 64617461 02000000 3412"), "1234", ""},
        {"fmt chunk of 18 bytes",
         wavWith("52494646 2C000000 57415645 666D7420 12000000 0100 0200 80BB0000 00EE0200 0400 "
                 "1000 0000 64617461 04000000 0100 0200"),
         "0001 0002", ""},
    };
    for (const auto& c : cases) {
        const WavRead read = entryFromWav(c.wav);
        EXPECT_EQ(read.error, c.error) << c.name;
        ASSERT_EQ(read.entry.has_value(), c.data != nullptr) << c.name;
        if (!read.entry) continue;
        EXPECT_EQ(read.entry->data, hexBytes(c.data)) << c.name;
        EXPECT_EQ(read.entry->length, read.entry->data.size()) << c.name;
        EXPECT_EQ(read.entry->samplingFrequency, kSound48kHz) << c.name;
        EXPECT_EQ(read.entry->bitsPerSample, kSound16Bits) << c.name;
    }
}

// Every byte of a WAV file changed to a few telling values, and the file cut
// at every length: both readers stay within the bytes and take whole samples.
TEST(Wav, DamagedFilesReadSafely) {
    test::WavSpec spec;
    spec.before = hexBytes("4C495354 03000000 616263 00");
    spec.data = hexBytes("0100 FFFF 3412 0080");
    const Bytes whole = test::wavFile(spec);
    std::vector<Bytes> damaged;
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (const std::uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            Bytes bytes = whole;
            bytes[at] = value;
            damaged.push_back(bytes);
        }
        damaged.emplace_back(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(at));
    }
    for (const Bytes& bytes : damaged) {
        for (const WavRead& read : {entryFromWav(bytes), convertedEntryFromWav(bytes)}) {
            EXPECT_EQ(read.entry.has_value(), read.error.empty());
            if (!read.entry) continue;
            EXPECT_EQ(read.entry->data.size() % 2, 0u);
            EXPECT_EQ(read.entry->length, read.entry->data.size());
        }
    }
}

TEST(Wav, ChannelCountsGiveMonoOrStereo) {
    const struct {
        std::uint16_t channels;
        std::uint8_t configuration;
    } cases[] = {{1, kSoundMono}, {2, kSoundStereo}, {6, kSoundStereo}};
    for (const auto& c : cases) {
        test::WavSpec spec;
        spec.channels = c.channels;
        spec.data = hexBytes("0102 0304 0506 0708 090A 0B0C");
        const WavRead read = entryFromWav(test::wavFile(spec));
        ASSERT_TRUE(read.entry) << c.channels << ": " << read.error;
        EXPECT_EQ(read.entry->channelConfiguration, c.configuration) << c.channels;
        // The samples are taken as they are, whatever the channel count.
        EXPECT_EQ(read.entry->data, hexBytes("0201 0403 0605 0807 0A09 0C0B")) << c.channels;
    }
}

TEST(Wav, ImageOfAnEntry) {
    TSoundEntries stereo;
    stereo.channelConfiguration = kSoundStereo;
    stereo.data = hexBytes("0001 0002");
    stereo.length = 4;
    EXPECT_EQ(wavImage(stereo),
              hexBytes("52494646 28000000 57415645 666D7420 10000000 0100 0200 80BB0000 00EE0200 "
                       "0400 1000 64617461 04000000 0100 0200"));
    TSoundEntries mono;
    mono.channelConfiguration = kSoundMono;
    mono.data = hexBytes("0001 FFFF 1234");
    mono.length = 6;
    EXPECT_EQ(wavImage(mono), hexBytes(kMonoWav));
    mono.channelConfiguration = 2;  // not stereo: one channel
    EXPECT_EQ(wavImage(mono), hexBytes(kMonoWav));
}

TEST(Wav, ExportThenInsertGivesTheSameSamples) {
    std::mt19937 random(7);
    for (const std::uint8_t configuration : {kSoundMono, kSoundStereo}) {
        TSoundEntries entry;
        entry.channelConfiguration = configuration;
        for (int i = 0; i < 4800; ++i)
            entry.data.push_back(static_cast<std::uint8_t>(random()));
        entry.length = static_cast<std::uint32_t>(entry.data.size());
        const WavRead read = entryFromWav(wavImage(entry));
        ASSERT_TRUE(read.entry) << read.error;
        EXPECT_EQ(*read.entry, entry);
    }
}

TEST(Wav, FileNames) {
    EXPECT_EQ(soundFileName(0), "sound_000.wav");
    EXPECT_EQ(soundFileName(7), "sound_007.wav");
    EXPECT_EQ(soundFileName(254), "sound_254.wav");
}

}  // namespace
}  // namespace lumora
