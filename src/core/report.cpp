#include "core/report.h"

#include <algorithm>

namespace lumora {
namespace {

// Applies one markup tag to a style; any other word changes nothing.
void applyTag(std::string_view tag, LogStyle& style) {
    if (tag == "b")
        style.bold = true;
    else if (tag == "/b")
        style.bold = false;
    else if (tag == "i")
        style.italic = true;
    else if (tag == "/i")
        style.italic = false;
    else if (tag == "u")
        style.underline = true;
    else if (tag == "/u")
        style.underline = false;
    else if (tag == "bl")
        style.colour = LogColour::Blue;
    else if (tag == "gr")
        style.colour = LogColour::Green;
    else if (tag == "re")
        style.colour = LogColour::Red;
    else if (tag == "/bl" || tag == "/gr" || tag == "/re")
        style.colour = LogColour::Default;
}

// The bracket scan shared by the log and the status line: every "[word]" is
// cut out of the text and handed to `onTag` with the position it stood at.
template <typename OnTag>
std::string scanMarkup(std::string text, OnTag onTag) {
    std::size_t from = 0;
    while (true) {
        const std::size_t open = text.find('[', from);
        if (open == std::string::npos) break;
        const std::size_t close = text.find(']', open + 1);
        if (close == std::string::npos) break;  // an unbalanced "[" stays as text
        onTag(open, std::string_view(text).substr(open + 1, close - open - 1));
        text.erase(open, close - open + 1);
        from = open;
    }
    return text;
}

}  // namespace

std::string_view LogLine::segmentText(std::size_t i) const {
    if (i >= segments.size()) return {};
    const std::size_t start = std::min(segments[i].start, text.size());
    const std::size_t end =
        i + 1 < segments.size() ? std::min(segments[i + 1].start, text.size()) : text.size();
    return std::string_view(text).substr(start, end - start);
}

LogLine formatLogLine(std::string_view message) {
    LogLine line;
    line.segments.push_back(LogSegment{});
    line.text =
        scanMarkup(" " + std::string(message), [&line](std::size_t at, std::string_view tag) {
            if (line.segments.back().start < at) {
                line.segments.push_back(LogSegment{at, line.segments.back().style});
            }
            applyTag(tag, line.segments.back().style);
        });
    return line;
}

std::string stripMarkup(std::string_view message) {
    return scanMarkup(std::string(message), [](std::size_t, std::string_view) {});
}

void Reporter::log(std::string_view message) {
    sink_->appendLogLine(formatLogLine(message));
}

void Reporter::log2(std::string_view message) {
    log(message);
    log("");
}

void Reporter::dlog(std::string_view message) {
    log(message);
    sink_->showStatus(1, stripMarkup(message));
}

void Reporter::dlog0(std::string_view message) {
    log(message);
    sink_->showStatus(0, stripMarkup(message));
    sink_->showStatus(1, "");
}

void Reporter::slog(std::string_view message, int panel) {
    sink_->showStatus(panel == 0 ? 0 : 1, message);
}

void Reporter::slogR() {
    sink_->showStatus(0, "Ready.");
    sink_->showStatus(1, "");
}

void Reporter::slogw(std::string_view message, int panel) {
    slog(message, panel);
    pause(activationDelay_);
}

void Reporter::pause(int milliseconds) {
    for (int i = 0; i < milliseconds; ++i) {
        sink_->sleepMs(1);
        sink_->processEvents();
    }
}

void Reporter::erlog(std::string_view message) {
    log("[re]ERROR:[/re] [b]" + std::string(message) + "[/b]");
    erslog(message);
    errorFlag_ = true;
    sink_->beep();
}

void Reporter::erslog(std::string_view message) {
    sink_->showErrorStatus(stripMarkup(message));
}

void Reporter::PrBarOn() {
    if (progressDepth_++ > 0) return;
    cancelRequest_ = false;
    sink_->setProgress(0);
    sink_->setProgressMode(true);
}

void Reporter::PrBarOff() {
    if (progressDepth_ == 0 || --progressDepth_ > 0) return;
    sink_->setProgressMode(false);
}

bool Reporter::pollCancel() {
    sink_->processEvents();
    return cancelRequest_;
}

void Reporter::cancel() {
    if (traceStopper_ && traceStopper_()) return;
    if (!confirmCancel_) {
        cancelRequest_ = true;
        return;
    }
    if (!sink_->askYesNo("Are you sure to stop?")) return;
    cancelRequest_ = true;
    dlog0("");
    sink_->showStatus(1, "Cancelled.");
}

void RecordingSink::showStatus(int index, std::string_view text) {
    errorDisplay = false;
    panel[index == 0 ? 0 : 1] = std::string(text);
}

void RecordingSink::showErrorStatus(std::string_view message) {
    errorDisplay = true;
    panel[0] = "ERROR";
    panel[1] = std::string(message);
}

bool RecordingSink::askYesNo(std::string_view question) {
    questions.emplace_back(question);
    return answer;
}

std::vector<std::string> RecordingSink::texts() const {
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (const auto& line : lines)
        out.push_back(line.text);
    return out;
}

}  // namespace lumora
