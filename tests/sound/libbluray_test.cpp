// libbluray as an independent reader: the sound.bdmv we write, in the demo
// disc, gives libbluray the sound effects we put in, sample for sample; so
// does a real file that we read and wrote back.
#include <libbluray/bluray.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "navigation/index_file.h"
#include "sound/sound_file.h"
#include "support/test_support.h"

namespace lumora {
namespace {

struct BlurayCloser {
    void operator()(BLURAY* disc) const { bd_close(disc); }
};

TSoundEntries sineEntry(std::uint16_t channels, std::size_t frames, double frequency) {
    test::WavSpec spec;
    spec.channels = channels;
    spec.data = test::wavSamples(test::sine(frames, 48000, frequency, 0.7, channels), 16);
    const WavRead read = entryFromWav(test::wavFile(spec));
    EXPECT_TRUE(read.entry) << read.error;
    return read.entry.value_or(TSoundEntries{});
}

// A BD-J title makes libbluray look for a Java VM, which has nothing to do
// with sounds (and leaves the leak checker its VM's allocations).
void withoutBdjTitles(const std::string& path) {
    TINDX index;
    ASSERT_TRUE(parseIndex(readFileBytes(path), "index.bdmv", index).good());
    auto& titles = index.indexes.titles;
    for (std::size_t i = titles.size(); i-- > 0;) {
        if (!titles[i].isHdmv()) deleteTitles(index, i, i);
    }
    writeFileSafely(path, indexBytes(index));
}

// Writes `sound` into the demo disc and compares what libbluray reads.
void expectLibblurayReads(const TSND& sound) {
    test::TempDir dir;
    makeDemoDisc(dir.path().string());
    withoutBdjTitles(dir / "BDMV/index.bdmv");
    std::filesystem::create_directories(dir / "BDMV/AUXDATA");
    writeFileSafely(dir / "BDMV/AUXDATA/sound.bdmv", soundBytes(sound));

    const std::unique_ptr<BLURAY, BlurayCloser> disc(bd_open(dir.path().c_str(), nullptr));
    ASSERT_TRUE(disc) << "libbluray does not open the demo disc";
    const auto& entries = sound.index.entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        BLURAY_SOUND_EFFECT effect{};
        ASSERT_EQ(bd_get_sound_effect(disc.get(), static_cast<unsigned>(i), &effect), 1) << i;
        const unsigned channels = entries[i].channelConfiguration == kSoundStereo ? 2 : 1;
        EXPECT_EQ(effect.num_channels, channels) << i;
        ASSERT_EQ(effect.num_frames * channels * 2, entries[i].data.size()) << i;
        for (std::size_t k = 0; k < effect.num_frames * channels; ++k) {
            const auto ours =
                static_cast<std::int16_t>(entries[i].data[2 * k] << 8 | entries[i].data[2 * k + 1]);
            ASSERT_EQ(effect.samples[k], ours) << "entry " << i << ", sample " << k;
        }
    }
    BLURAY_SOUND_EFFECT beyond{};
    EXPECT_EQ(bd_get_sound_effect(disc.get(), static_cast<unsigned>(entries.size()), &beyond), 0);
}

TEST(Libbluray, ReadsTheSoundsWeWrite) {
    TSND sound = newSound();
    // A 3-frame mono sound puts the next entry behind 2 bytes of padding.
    ASSERT_TRUE(insertSoundEntry(sound, -1, sineEntry(1, 3, 1000)));
    ASSERT_TRUE(insertSoundEntry(sound, 0, sineEntry(2, 4800, 440)));
    ASSERT_TRUE(insertSoundEntry(sound, 1, sineEntry(1, 2401, 880)));
    ASSERT_TRUE(insertSoundEntry(sound, 0, sineEntry(2, 1, 100)));  // becomes entry 1
    expectLibblurayReads(sound);
}

TEST(Libbluray, ReadsARealFileWrittenBack) {
    LUMORA_REQUIRE_SAMPLES();
    const Bytes data = readFileBytes(test::samplesDir() + "/files/sound.bdmv");
    TSND sound;
    ASSERT_TRUE(parseSound(data, "sound.bdmv", sound).good());
    expectLibblurayReads(sound);
}

}  // namespace
}  // namespace lumora
