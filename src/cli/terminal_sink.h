// The command line's report sink: log lines on standard output (markup removed,
// or as ANSI colours and styles with --color), errors also on standard error.
#pragma once

#include <iosfwd>

#include "core/report.h"

namespace lumora::cli {

class TerminalSink : public ReportSink {
public:
    TerminalSink(std::ostream& out, std::ostream& err, bool colour)
        : out_(out), err_(err), colour_(colour) {}

    void appendLogLine(const LogLine& line) override;
    void showStatus(int, std::string_view) override {}
    void showErrorStatus(std::string_view message) override;

private:
    std::ostream& out_;
    std::ostream& err_;
    bool colour_;
};

// Log lines go nowhere, errors to standard error: for commands whose output
// is their own records, not the log.
class ErrorsOnlySink : public ReportSink {
public:
    explicit ErrorsOnlySink(std::ostream& err) : err_(err) {}
    void appendLogLine(const LogLine&) override {}
    void showStatus(int, std::string_view) override {}
    void showErrorStatus(std::string_view message) override;

private:
    std::ostream& err_;
};

}  // namespace lumora::cli
