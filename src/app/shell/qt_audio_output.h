// The program's audio output for the wave player: the default output device
// through Qt Multimedia.  The sink pulls the queued buffers from a feed in
// order; each buffer it has taken whole is reported to the player on the
// user-interface thread.  Without an output device (a server, a test run)
// opening fails with a message and nothing waits.
#pragma once

#include <QObject>
#include <memory>

#include "sound/wave_player.h"

class QAudioSink;

namespace lumora::app {

class QtAudioOutput : public QObject, public AudioOutput {
    Q_OBJECT
public:
    explicit QtAudioOutput(QObject* parent = nullptr);
    ~QtAudioOutput() override;

    // The player the buffers are reported to.
    void setPlayer(WavePlayer* player) { player_ = player; }

    std::string open(const PcmFormat& format) override;
    bool queue(std::size_t slot, ByteView data) override;
    void reset() override;
    bool close() override;
    void pause() override;
    void restart() override;

private:
    class Feed;
    // A buffer of `generation` was taken; notices of buffers abandoned by a
    // reset since are dropped.
    void bufferTaken(std::size_t slot, std::uint64_t generation);

    WavePlayer* player_ = nullptr;
    std::unique_ptr<Feed> feed_;
    std::unique_ptr<QAudioSink> sink_;
    std::uint64_t generation_ = 0;
};

}  // namespace lumora::app
