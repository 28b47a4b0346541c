#include "sound/wave_player.h"

#include <gtest/gtest.h>

#include <deque>

namespace lumora {
namespace {

// An audio output that keeps what it is given; the test says when a buffer
// is done, as the device's notice would.
class FakeOutput : public AudioOutput {
public:
    std::string open(const PcmFormat& format) override {
        ++opens;
        opened = format;
        return refuse;
    }
    bool queue(std::size_t slot, ByteView data) override {
        queuedSizes.push_back(data.size());
        pending.push_back(slot);
        return true;
    }
    void reset() override {
        ++resets;
        pending.clear();
    }
    bool close() override {
        ++closes;
        return true;
    }
    void pause() override { paused = true; }
    void restart() override { paused = false; }

    // The oldest queued buffer is done.
    bool finishOne(WavePlayer& player) {
        if (pending.empty()) return false;
        const std::size_t slot = pending.front();
        pending.pop_front();
        player.bufferDone(slot);
        return true;
    }

    std::string refuse;
    PcmFormat opened;
    std::vector<std::size_t> queuedSizes;
    std::deque<std::size_t> pending;
    int opens = 0;
    int resets = 0;
    int closes = 0;
    bool paused = false;
};

TSND soundOf(std::vector<std::pair<std::uint8_t, std::size_t>> entries) {
    TSND sound = newSound();
    for (const auto& [channels, bytes] : entries) {
        TSoundEntries entry;
        entry.channelConfiguration = channels;
        entry.length = static_cast<std::uint32_t>(bytes);
        entry.data.assign(bytes, 0x11);
        insertSoundEntry(sound, static_cast<int>(sound.index.entries.size()) - 1, entry);
    }
    return sound;
}

TEST(WavePlayer, OneSecondOfStereoIn64Buffers) {
    FakeOutput output;
    WavePlayer player(output);
    int stops = 0;
    player.onStop = [&stops] { ++stops; };
    const TSND sound = soundOf({{kSoundStereo, 192000}});
    ASSERT_TRUE(playSoundEntry(player, sound, 0));
    EXPECT_EQ(output.opened, (PcmFormat{1, 2, 48000, 192000, 4, 16}));
    EXPECT_EQ(player.bufferSize(), 3000u);
    EXPECT_EQ(output.queuedSizes, std::vector<std::size_t>(8, 3000)) << "8 queued at once";
    EXPECT_EQ(player.state(), WavePlayer::State::Playing);
    while (output.finishOne(player)) {
    }
    EXPECT_EQ(output.queuedSizes.size(), 64u);
    EXPECT_EQ(player.state(), WavePlayer::State::Stopped);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(output.closes, 1);
}

TEST(WavePlayer, ShortSoundFillsOneBuffer) {
    FakeOutput output;
    WavePlayer player(output);
    ASSERT_TRUE(playSoundEntry(player, soundOf({{kSoundMono, 1000}}), 0));
    EXPECT_EQ(output.queuedSizes, std::vector<std::size_t>{1000});
    EXPECT_EQ(player.queued(), 1u);
    EXPECT_EQ(output.opened.channels, 1);
    output.finishOne(player);
    EXPECT_EQ(player.state(), WavePlayer::State::Stopped);
}

TEST(WavePlayer, PlayStopPauseAndRewind) {
    FakeOutput output;
    WavePlayer player(output);
    EXPECT_FALSE(player.stop()) << "stop while stopped";
    EXPECT_FALSE(player.pauseResume());
    const TSND sound = soundOf({{kSoundStereo, 192000}, {kSoundMono, 500}});
    ASSERT_TRUE(playSoundEntry(player, sound, 0));
    EXPECT_FALSE(player.play()) << "play while playing does not restart";
    EXPECT_EQ(output.queuedSizes.size(), 8u);
    EXPECT_EQ(output.opens, 1);
    EXPECT_TRUE(player.pauseResume());
    EXPECT_TRUE(output.paused);
    EXPECT_EQ(player.state(), WavePlayer::State::Paused);
    EXPECT_TRUE(player.play()) << "play resumes";
    EXPECT_FALSE(output.paused);
    output.finishOne(player);
    output.finishOne(player);
    player.rewind();
    EXPECT_EQ(output.pending.size(), 8u) << "queued again from the start";
    // A new sound stops the one playing and starts from its own start.
    ASSERT_TRUE(playSoundEntry(player, sound, 1));
    EXPECT_EQ(output.queuedSizes.back(), 500u);
    EXPECT_EQ(output.pending.size(), 1u);
    EXPECT_TRUE(player.stop());
    EXPECT_EQ(player.state(), WavePlayer::State::Stopped);
    EXPECT_FALSE(playSoundEntry(player, sound, 2)) << "no entry 2";
}

TEST(WavePlayer, NoOutputTellsWhyAndStaysStopped) {
    FakeOutput output;
    output.refuse = "No audio output device";
    WavePlayer player(output);
    std::string error;
    player.onError = [&error](const std::string& why) { error = why; };
    EXPECT_FALSE(playSoundEntry(player, soundOf({{kSoundStereo, 4000}}), 0));
    EXPECT_EQ(error, "No audio output device");
    EXPECT_EQ(player.state(), WavePlayer::State::Stopped);
    EXPECT_TRUE(output.queuedSizes.empty());
    // Not a wave image.
    player.setSource(Bytes(60, 1));
    EXPECT_FALSE(player.play());
    EXPECT_EQ(error, "The sound is no PCM wave image");
}

}  // namespace
}  // namespace lumora
