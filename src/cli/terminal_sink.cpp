#include "cli/terminal_sink.h"

#include <ostream>

namespace lumora::cli {
namespace {

std::string ansiStyle(const LogStyle& style) {
    std::string code = "\x1b[0";
    if (style.bold) code += ";1";
    if (style.italic) code += ";3";
    if (style.underline) code += ";4";
    switch (style.colour) {
        case LogColour::Blue:
            code += ";34";
            break;
        case LogColour::Green:
            code += ";32";
            break;
        case LogColour::Red:
            code += ";31";
            break;
        case LogColour::Default:
            break;
    }
    return code + "m";
}

}  // namespace

void TerminalSink::appendLogLine(const LogLine& line) {
    if (!colour_) {
        out_ << line.text << '\n';
        return;
    }
    for (std::size_t i = 0; i < line.segments.size(); ++i) {
        out_ << ansiStyle(line.segments[i].style) << line.segmentText(i);
    }
    out_ << "\x1b[0m\n";
}

void TerminalSink::showErrorStatus(std::string_view message) {
    out_.flush();
    err_ << "lumora-cli: " << message << '\n';
}

void ErrorsOnlySink::showErrorStatus(std::string_view message) {
    err_ << "lumora-cli: " << message << '\n';
}

}  // namespace lumora::cli
