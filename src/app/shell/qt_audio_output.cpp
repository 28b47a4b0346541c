#include "app/shell/qt_audio_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QMutex>
#include <QMutexLocker>
#include <algorithm>
#include <cstring>
#include <deque>

namespace lumora::app {

// The queued buffers as one stream the sink reads.  The sink may read on a
// thread of its own; the notices go to the output's thread.
class QtAudioOutput::Feed : public QIODevice {
public:
    explicit Feed(QtAudioOutput& owner) : owner_(owner) { open(QIODevice::ReadOnly); }

    void add(std::size_t slot, ByteView data, std::uint64_t generation) {
        const QMutexLocker lock(&mutex_);
        pending_.push_back({slot, generation, Bytes(data.begin(), data.end()), 0});
    }
    void clear() {
        const QMutexLocker lock(&mutex_);
        pending_.clear();
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override {
        const QMutexLocker lock(&mutex_);
        qint64 bytes = 0;
        for (const Pending& p : pending_)
            bytes += static_cast<qint64>(p.data.size() - p.taken);
        return bytes + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char* out, qint64 maxSize) override {
        const QMutexLocker lock(&mutex_);
        qint64 written = 0;
        while (written < maxSize && !pending_.empty()) {
            Pending& front = pending_.front();
            const std::size_t take = std::min<std::size_t>(
                front.data.size() - front.taken, static_cast<std::size_t>(maxSize - written));
            std::memcpy(out + written, front.data.data() + front.taken, take);
            front.taken += take;
            written += static_cast<qint64>(take);
            if (front.taken < front.data.size()) break;
            const std::size_t slot = front.slot;
            const std::uint64_t generation = front.generation;
            pending_.pop_front();
            QMetaObject::invokeMethod(
                &owner_, [this, slot, generation] { owner_.bufferTaken(slot, generation); },
                Qt::QueuedConnection);
        }
        return written;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    struct Pending {
        std::size_t slot;
        std::uint64_t generation;
        Bytes data;
        std::size_t taken;
    };
    QtAudioOutput& owner_;
    mutable QMutex mutex_;
    std::deque<Pending> pending_;
};

QtAudioOutput::QtAudioOutput(QObject* parent)
    : QObject(parent), feed_(std::make_unique<Feed>(*this)) {}

QtAudioOutput::~QtAudioOutput() {
    close();
}

std::string QtAudioOutput::open(const PcmFormat& format) {
    close();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return "No audio output: the sound cannot be played here";
    QAudioFormat audio;
    audio.setSampleRate(static_cast<int>(format.sampleRate));
    audio.setChannelCount(format.channels);
    audio.setSampleFormat(format.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) {
        return "MM System Error: " + std::to_string(format.bitsPerSample) + "-bit sound";
    }
    if (!device.isFormatSupported(audio)) {
        return "MM System Error: " + device.description().toStdString() + " cannot play " +
               std::to_string(format.sampleRate) + " Hz, " + std::to_string(format.channels) +
               " channels";
    }
    feed_->clear();
    sink_ = std::make_unique<QAudioSink>(device, audio);
    sink_->start(feed_.get());
    if (sink_->error() != QAudio::NoError) {
        const int error = static_cast<int>(sink_->error());
        sink_.reset();
        return "MM System Error: " + std::to_string(error);
    }
    return {};
}

bool QtAudioOutput::queue(std::size_t slot, ByteView data) {
    if (!sink_) return false;
    // The sink keeps pulling while it is open, an idle one too.
    feed_->add(slot, data, generation_);
    return true;
}

void QtAudioOutput::reset() {
    ++generation_;
    feed_->clear();
}

bool QtAudioOutput::close() {
    if (sink_) {
        sink_->stop();
        sink_.reset();
    }
    return true;
}

void QtAudioOutput::pause() {
    if (sink_) sink_->suspend();
}

void QtAudioOutput::restart() {
    if (sink_) sink_->resume();
}

void QtAudioOutput::bufferTaken(std::size_t slot, std::uint64_t generation) {
    if (generation != generation_ || player_ == nullptr) return;
    player_->bufferDone(slot);
}

}  // namespace lumora::app
