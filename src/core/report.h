// The message log, the status line, progress and the cancel request.
//
// Every operation reports through a Reporter.  Log texts carry bracketed
// markup ("[b]", "[/b]", "[bl]", "[re]" ...); the Reporter turns them into
// styled segments and hands plain lines and status texts to a ReportSink,
// which the GUI, the command line and the tests each implement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

enum class LogColour : std::uint8_t { Default, Blue, Green, Red };

struct LogStyle {
    LogColour colour = LogColour::Default;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const LogStyle&) const = default;
};

// A run of a log line: from `start` (a byte index into the line's text) to the
// start of the next segment, or to the end of the line.
struct LogSegment {
    std::size_t start = 0;
    LogStyle style;
    bool operator==(const LogSegment&) const = default;
};

struct LogLine {
    std::string text;
    std::vector<LogSegment> segments;
    // The text of segment i.
    std::string_view segmentText(std::size_t i) const;
};

// One formatted log line: a leading space, then the message with its markup
// turned into segments.  Terminates on any text; a "[" with no "]" after it is
// kept as it stands, with the rest of the line.
LogLine formatLogLine(std::string_view message);
// The message with every bracketed word removed (for the status line).
std::string stripMarkup(std::string_view message);

// Where reports end up.  Only the first three are required.
class ReportSink {
public:
    virtual ~ReportSink() = default;
    virtual void appendLogLine(const LogLine& line) = 0;
    // Status panel 0 (state) or 1 (detail) shows `text`; ends an error display.
    // For panel 1 the text is also the status line's tooltip.
    virtual void showStatus(int panel, std::string_view text) = 0;
    // The red "ERROR" mark in panel 0 and the plain message in panel 1.
    virtual void showErrorStatus(std::string_view message) = 0;
    virtual void clearLog() {}
    virtual void beep() {}
    // Progress mode on or off: the progress bar, the Cancel button and the
    // panels it hides.
    virtual void setProgressMode(bool /*on*/) {}
    virtual void setProgress(int /*percent*/) {}
    // Lets the user interface handle pending events (long operations call it
    // at their polling points).
    virtual void processEvents() {}
    virtual void sleepMs(int /*milliseconds*/) {}
    // A modal Yes/No question; true for Yes.
    virtual bool askYesNo(std::string_view /*question*/) { return false; }
};

// The program-wide log with the error flag and the cancel request.
class Reporter {
public:
    explicit Reporter(ReportSink& sink) : sink_(&sink) {}

    ReportSink& sink() { return *sink_; }

    void log(std::string_view message);
    // A line followed by a blank line.
    void log2(std::string_view message);
    // Log, and status panel 1 shows the message without markup.
    void dlog(std::string_view message);
    // Log, status panel 0 shows the message without markup, panel 1 empties.
    void dlog0(std::string_view message);
    // Status panel only, markup included; the log is untouched.
    void slog(std::string_view message, int panel);
    void slogR();
    // slog, then a pause of the activation delay that keeps the UI alive.
    void slogw(std::string_view message, int panel);
    // "[re]ERROR:[/re] [b]" + message + "[/b]", the error display, the error
    // flag and the exclamation sound.
    void erlog(std::string_view message);
    void erslog(std::string_view message);
    void clear() { sink_->clearLog(); }
    // A Yes/No question to the user; a sink that cannot ask answers No.
    bool ask(std::string_view question) { return sink_->askYesNo(question); }
    // A pause that keeps the user interface alive.
    void pause(int milliseconds);

    bool errorFlag() const { return errorFlag_; }
    void clearErrorFlag() { errorFlag_ = false; }

    // Progress mode.  Operations set the bar with progress() and poll the
    // cancel request with pollCancel() at their own points.  Nested on/off
    // pairs (a read inside a read) act only at the outermost pair.
    void PrBarOn();
    void PrBarOff();
    bool inProgress() const { return progressDepth_ > 0; }
    void progress(int percent) { sink_->setProgress(percent); }
    // Lets pending events run (Cancel among them), then tells whether a
    // cancel was requested.
    bool pollCancel();
    bool cancelRequested() const { return cancelRequest_; }
    void requestCancel() { cancelRequest_ = true; }
    // An operation that offers Cancel outside progress mode starts afresh.
    void clearCancel() { cancelRequest_ = false; }

    // Once a PID save has run, every Cancel asks first.
    void setConfirmCancel() { confirmCancel_ = true; }
    bool confirmCancel() const { return confirmCancel_; }

    // The Cancel button.  A running command trace is ended (the stopper returns
    // true when it ended one) and nothing else happens.
    void cancel();
    void setTraceStopper(std::function<bool()> stopper) { traceStopper_ = std::move(stopper); }

    // Milliseconds slogw pauses ("Activate command show delay").
    int activationDelay() const { return activationDelay_; }
    void setActivationDelay(int milliseconds) { activationDelay_ = milliseconds; }

private:
    ReportSink* sink_;
    bool errorFlag_ = false;
    bool cancelRequest_ = false;
    bool confirmCancel_ = false;
    int progressDepth_ = 0;
    int activationDelay_ = 500;
    std::function<bool()> traceStopper_;
};

// Keeps progress mode on for a scope, so an operation leaves it on every path.
class ProgressScope {
public:
    explicit ProgressScope(Reporter& reporter) : reporter_(reporter) { reporter_.PrBarOn(); }
    ~ProgressScope() { reporter_.PrBarOff(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    Reporter& reporter_;
};

// A sink that drops everything: for work that runs before its real sink is
// known.
class SilentSink : public ReportSink {
public:
    void appendLogLine(const LogLine&) override {}
    void showStatus(int, std::string_view) override {}
    void showErrorStatus(std::string_view) override {}
};

// A sink that keeps everything it is told; for tests and for callers that want
// the log as text.
class RecordingSink : public ReportSink {
public:
    void appendLogLine(const LogLine& line) override { lines.push_back(line); }
    void showStatus(int panel, std::string_view text) override;
    void showErrorStatus(std::string_view message) override;
    void clearLog() override { lines.clear(); }
    void beep() override { ++beeps; }
    void setProgressMode(bool on) override { progressOn = on; }
    bool askYesNo(std::string_view question) override;

    // The plain texts of the log lines.
    std::vector<std::string> texts() const;

    std::vector<LogLine> lines;
    std::string panel[2];
    bool errorDisplay = false;
    int beeps = 0;
    bool progressOn = false;
    bool answer = true;
    std::vector<std::string> questions;
};

}  // namespace lumora
