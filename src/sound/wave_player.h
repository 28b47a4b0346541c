// Playing a WAV image from memory: the player streams the PCM data to an
// audio output in eight queued buffers of 1/64 second, refilling each one
// when the output reports it done, so the user interface never waits.
//
// The output is an interface: the GUI gives the default audio device, tests
// give a fake that records what is queued and reports buffers done when told.
// Completion notices come on the thread that drives the player (the user
// interface's), so the player is touched by one thread only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "core/bytes.h"
#include "sound/sound_file.h"

namespace lumora {

// The PCM format fields of a WAV header.
struct PcmFormat {
    std::uint16_t formatTag = 1;
    std::uint16_t channels = 2;
    std::uint32_t sampleRate = 48000;
    std::uint32_t byteRate = 192000;
    std::uint16_t blockAlign = 4;
    std::uint16_t bitsPerSample = 16;
    bool operator==(const PcmFormat&) const = default;
};

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Opens the default output for the format; "" when it is open, else
    // why not (no device, a device error).
    virtual std::string open(const PcmFormat& format) = 0;
    // Hands buffer `slot` to the output; the output calls the player's
    // bufferDone(slot) once it has taken the data.  False when it refuses.
    virtual bool queue(std::size_t slot, ByteView data) = 0;
    // Abandons every queued buffer (no completion notices follow).
    virtual void reset() = 0;
    // False when the output cannot close yet.
    virtual bool close() = 0;
    virtual void pause() = 0;
    virtual void restart() = 0;
};

class WavePlayer {
public:
    enum class State { Stopped = 0, Playing = 1, Paused = 2 };
    static constexpr std::size_t kBuffers = 8;

    explicit WavePlayer(AudioOutput& output);
    ~WavePlayer();
    WavePlayer(const WavePlayer&) = delete;
    WavePlayer& operator=(const WavePlayer&) = delete;

    // The memory buffer the player reads: a whole WAV image.
    void setSource(Bytes wav);
    const Bytes& source() const { return source_; }

    // Starts playing the source from its data; resumes when paused.  False
    // when already playing, or when the source is no PCM WAV image or the
    // output cannot be opened (onError says why).
    bool play();
    // False when already stopped.
    bool stop();
    // Stops the output and moves to the data start.
    void rewind();
    // Playing -> paused -> playing; false when stopped.
    bool pauseResume();
    // The output took buffer `slot`: it is refilled from the data (or the
    // start again when looping) and queued, or playback ends when every
    // buffer is back.
    void bufferDone(std::size_t slot);

    State state() const { return state_; }
    std::size_t queued() const { return queued_; }
    // Bytes of one buffer: block alignment x sample rate / 64.
    std::size_t bufferSize() const { return bufferSize_; }

    bool loop = false;
    int repeatCount = 0;  // further passes: the program leaves it at 0
    bool beepOnError = false;
    std::function<void()> onStop;
    std::function<void(const std::string&)> onError;
    std::function<void()> beep;

private:
    struct Buffer {
        Bytes data;
        bool queued = false;
    };
    bool parseSource(PcmFormat& format);
    bool fill(Buffer& buffer);
    bool fillAndQueue(std::size_t slot);
    void fail(const std::string& why);
    void release();

    AudioOutput& output_;
    Bytes source_;
    State state_ = State::Stopped;
    std::size_t dataStart_ = 0;
    std::size_t dataEnd_ = 0;
    std::size_t position_ = 0;
    int remainingRepeats_ = 0;
    std::size_t bufferSize_ = 0;
    std::array<Buffer, kBuffers> buffers_;
    std::size_t queued_ = 0;
    bool open_ = false;
};

// `plWav`: the WAV image of entry `index` of the sound file becomes the
// player's source and plays from its start (a sound still playing stops
// first); the loop flag is cleared.  False for an index beyond the entries.
bool playSoundEntry(WavePlayer& player, const TSND& sound, std::size_t index);

}  // namespace lumora
