#include "sound/wave_player.h"

#include <algorithm>
#include <cstring>

namespace lumora {
namespace {

std::uint32_t little32(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t little16(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

bool idAt(const Bytes& bytes, std::size_t at, const char* id) {
    return at + 4 <= bytes.size() && std::memcmp(bytes.data() + at, id, 4) == 0;
}

}  // namespace

WavePlayer::WavePlayer(AudioOutput& output) : output_(output) {}

WavePlayer::~WavePlayer() {
    stop();
}

void WavePlayer::setSource(Bytes wav) {
    source_ = std::move(wav);
}

// The format fields and where the "data" chunk's contents lie.
bool WavePlayer::parseSource(PcmFormat& format) {
    const Bytes& s = source_;
    if (s.size() < 38 || !idAt(s, 8, "WAVE")) return false;
    format.formatTag = little16(s, 20);
    format.channels = little16(s, 22);
    format.sampleRate = little32(s, 24);
    format.byteRate = little32(s, 28);
    format.blockAlign = little16(s, 32);
    format.bitsPerSample = little16(s, 34);
    if (format.formatTag != 1 || format.blockAlign == 0 || format.sampleRate == 0) return false;
    std::uint64_t at = 20 + std::uint64_t{little32(s, 16)};
    while (at + 8 <= s.size()) {
        const std::uint64_t size = little32(s, static_cast<std::size_t>(at) + 4);
        if (idAt(s, static_cast<std::size_t>(at), "data")) {
            dataStart_ = static_cast<std::size_t>(at + 8);
            dataEnd_ = static_cast<std::size_t>(std::min<std::uint64_t>(at + 8 + size, s.size()));
            return true;
        }
        at += 8 + size;
    }
    return false;
}

bool WavePlayer::fill(Buffer& buffer) {
    const std::size_t take = std::min(dataEnd_ - std::min(position_, dataEnd_), bufferSize_);
    buffer.data.assign(source_.begin() + static_cast<std::ptrdiff_t>(position_),
                       source_.begin() + static_cast<std::ptrdiff_t>(position_ + take));
    position_ += take;
    return take != 0;
}

bool WavePlayer::fillAndQueue(std::size_t slot) {
    Buffer& buffer = buffers_[slot];
    if (!fill(buffer)) return false;
    if (!output_.queue(slot, buffer.data)) return false;
    buffer.queued = true;
    ++queued_;
    return true;
}

void WavePlayer::release() {
    for (Buffer& buffer : buffers_)
        buffer = Buffer{};
    queued_ = 0;
}

void WavePlayer::fail(const std::string& why) {
    if (open_) {
        output_.reset();
        output_.close();
        open_ = false;
    }
    state_ = State::Stopped;
    release();
    if (beepOnError && beep) beep();
    if (!why.empty() && onError) onError(why);
}

bool WavePlayer::play() {
    if (state_ == State::Playing) return false;
    if (state_ == State::Paused) return pauseResume();
    PcmFormat format;
    if (!parseSource(format)) {
        fail("The sound is no PCM wave image");
        return false;
    }
    remainingRepeats_ = repeatCount - 1;
    release();
    bufferSize_ = std::size_t{format.blockAlign} * format.sampleRate / 64;
    if (bufferSize_ == 0) {
        fail("The sound is no PCM wave image");
        return false;
    }
    const std::string refused = output_.open(format);
    if (!refused.empty()) {
        fail(refused);
        return false;
    }
    open_ = true;
    position_ = dataStart_;
    // Every buffer is filled before the first one goes out, so a short sound
    // is queued whole at once.
    std::array<bool, kBuffers> filled{};
    for (std::size_t slot = 0; slot < kBuffers; ++slot)
        filled[slot] = fill(buffers_[slot]);
    state_ = State::Playing;
    for (std::size_t slot = 0; slot < kBuffers; ++slot) {
        if (!filled[slot]) continue;
        if (!output_.queue(slot, buffers_[slot].data)) {
            fail("The audio output refused the sound");
            return false;
        }
        buffers_[slot].queued = true;
        ++queued_;
    }
    return true;
}

void WavePlayer::bufferDone(std::size_t slot) {
    if (slot >= kBuffers || !buffers_[slot].queued) return;
    buffers_[slot].queued = false;
    --queued_;
    if (state_ != State::Playing) return;
    if (fillAndQueue(slot)) return;
    if (loop || remainingRepeats_ > 0) {
        position_ = dataStart_;
        remainingRepeats_ = std::max(remainingRepeats_ - 1, 0);
        if (fillAndQueue(slot)) return;
    }
    if (queued_ != 0) return;
    state_ = State::Stopped;
    output_.reset();
    output_.close();
    open_ = false;
    release();
    if (onStop) onStop();
}

bool WavePlayer::stop() {
    if (state_ == State::Stopped) return false;
    state_ = State::Stopped;
    output_.reset();
    // The abandoned buffers send no notices.
    for (Buffer& buffer : buffers_)
        buffer.queued = false;
    queued_ = 0;
    const bool closed = output_.close() || output_.close();
    open_ = !closed;
    release();
    return closed;
}

void WavePlayer::rewind() {
    position_ = dataStart_;
    if (state_ == State::Stopped) return;
    output_.reset();
    for (Buffer& buffer : buffers_)
        buffer.queued = false;
    queued_ = 0;
    for (std::size_t slot = 0; slot < kBuffers; ++slot)
        fillAndQueue(slot);
}

bool WavePlayer::pauseResume() {
    switch (state_) {
        case State::Stopped:
            return false;
        case State::Playing:
            output_.pause();
            state_ = State::Paused;
            return true;
        case State::Paused:
            output_.restart();
            state_ = State::Playing;
            return true;
    }
    return false;
}

bool playSoundEntry(WavePlayer& player, const TSND& sound, std::size_t index) {
    if (index >= sound.index.entries.size()) return false;
    // A sound still playing gives way: its rest would be read from the new
    // image otherwise.
    player.stop();
    player.setSource(wavImage(sound.index.entries[index]));
    player.loop = false;
    return player.play();
}

}  // namespace lumora
