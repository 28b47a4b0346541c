// lumora-cli exec: runs a movie object in the command interpreter as the
// BDMV tab's Start does, with no show delay, and prints what the run showed
// and the registers it left.
#include <charconv>
#include <filesystem>
#include <optional>
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "core/file_io.h"
#include "core/report.h"
#include "core/text.h"
#include "navigation/movie_object_file.h"
#include "playback/interpreter.h"
#include "playback/registers.h"

namespace lumora::cli {
namespace {

constexpr const char* kExecUsage =
    "usage: lumora-cli exec --object N [--real-psrs] [--trace] [--max-steps N] FILE\n"
    "\n"
    "Runs movie object N of a MovieObject.bdmv in the command interpreter, as the\n"
    "BDMV tab's Start does, without the show delay.  Prints the text of every\n"
    "command the run shows (\"Play PL 2\", \"Jump Object 1\"), one a line, then\n"
    "the registers as the Status tab's \"PS&Rs\" and \"&GPRs\" log them.\n"
    "\n"
    "  --object N     the movie object to run, counted from 0\n"
    "  --real-psrs    start from the 'real' PSR values (\"Init PSRs with 'real'\n"
    "                 values\"); the other player settings are the defaults\n"
    "  --trace        run step by step and print each step's \"Line ...\" text\n"
    "  --max-steps N  stop a program that has not ended after N commands\n"
    "                 (default 100000)\n"
    "\n"
    "Exit status: 0 the program ended, 1 the file is bad, has no object N, or\n"
    "the program was stopped at the step limit, 2 usage error.\n";

constexpr std::size_t kDefaultMaxSteps = 100000;

int usageError(Streams io, const std::string& message) {
    io.err << "lumora-cli: " << message << "\n" << kExecUsage;
    return 2;
}

// A decimal count; nothing for any other text.
std::optional<std::size_t> countFrom(const std::string& text) {
    std::size_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// The run's log (the step limit report) goes to standard error.
class ErrorLogSink : public ReportSink {
public:
    explicit ErrorLogSink(std::ostream& err) : err_(err) {}
    void appendLogLine(const LogLine& line) override { err_ << "lumora-cli:" << line.text << '\n'; }
    void showStatus(int, std::string_view) override {}
    void showErrorStatus(std::string_view message) override {
        err_ << "lumora-cli: " << message << '\n';
    }

private:
    std::ostream& err_;
};

// Shown texts one a line; in trace mode the "Line ..." text of each step.
class PrintingHost : public InterpreterHost {
public:
    PrintingHost(std::ostream& out, bool trace) : out_(out), trace_(trace) {}
    void showText(std::string_view text) override { out_ << text << '\n'; }
    void runEnded(const RunView& view) override {
        if (trace_ && !view.lineText.empty()) out_ << view.lineText << '\n';
    }

private:
    std::ostream& out_;
    bool trace_;
};

struct ExecOptions {
    std::string path;
    std::size_t object = 0;
    std::size_t maxSteps = kDefaultMaxSteps;
    bool realPsrs = false;
    bool trace = false;
};

// The options, or the usage error to report.
std::optional<std::string> parseOptions(const Args& parsed, ExecOptions& options) {
    if (parsed.positional().size() != 1) return "exec needs one FILE";
    options.path = parsed.positional().front();
    const std::optional<std::string> object = parsed.value("--object");
    if (!object) return "exec needs --object N";
    const std::optional<std::size_t> number = countFrom(*object);
    if (!number) return "--object needs a number, not '" + *object + "'";
    options.object = *number;
    if (const std::optional<std::string> steps = parsed.value("--max-steps")) {
        const std::optional<std::size_t> limit = countFrom(*steps);
        if (!limit || *limit == 0)
            return "--max-steps needs a number above 0, not '" + *steps + "'";
        options.maxSteps = *limit;
    }
    options.realPsrs = parsed.has("--real-psrs");
    options.trace = parsed.has("--trace");
    return std::nullopt;
}

// Trace mode: the first Start prepares, each further Start runs one command.
// A trace that is still running after the last allowed step is ended the
// way Cancel ends it.
bool traceToTheEnd(Interpreter& interpreter, const TCommands& commands, std::size_t maxSteps,
                   Reporter& reporter) {
    interpreter.setTraceMode(true);
    interpreter.start(commands, CommandContext::MovieObject);
    std::size_t steps = 0;
    while (interpreter.traceRunning() && steps < maxSteps) {
        interpreter.start(commands, CommandContext::MovieObject);
        ++steps;
    }
    if (!interpreter.traceRunning()) return true;
    reporter.log("[b]Program stopped[/b] at line " + zeroPad(interpreter.programLine(), 4) +
                 " after " + std::to_string(steps) + " commands (step limit).");
    interpreter.cancelTrace();
    return false;
}

void printDump(std::ostream& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        out << stripMarkup(line) << '\n';
}

}  // namespace

int runExec(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {"--real-psrs", "--trace"}, {"--object", "--max-steps"});
    if (!parsed.ok()) return usageError(io, parsed.error());
    if (parsed.has("--help")) {
        io.out << kExecUsage;
        return 0;
    }
    ExecOptions options;
    if (const std::optional<std::string> problem = parseOptions(parsed, options)) {
        return usageError(io, *problem);
    }

    const Bytes data = readFileBytes(options.path);
    TMOBJ file;
    const std::string name = std::filesystem::path(options.path).filename().string();
    const ReadOutcome outcome = parseMovieObjects(data, name, file);
    if (!outcome.good()) {
        io.err << "lumora-cli: " << outcome.message << '\n';
        return 1;
    }
    if (options.object >= file.objects.size()) {
        io.err << "lumora-cli: " << name << " has " << file.objects.size()
               << " movie objects; there is no object " << options.object << '\n';
        return 1;
    }

    ErrorLogSink sink(io.err);
    Reporter reporter(sink);
    reporter.setActivationDelay(0);
    PlayerSettings settings;
    settings.realValues = options.realPsrs;
    Registers registers;
    registers.ResetRegs(settings);
    PrintingHost host(io.out, options.trace);
    Interpreter interpreter(registers, reporter, host);
    interpreter.setStepLimit(options.maxSteps);

    const TCommands& commands = file.objects[options.object].commands;
    bool ended = true;
    if (options.trace) {
        ended = traceToTheEnd(interpreter, commands, options.maxSteps, reporter);
    } else {
        ended = interpreter.start(commands, CommandContext::MovieObject) != RunEnd::StepLimit;
    }
    printDump(io.out, psrDumpLines(registers));
    printDump(io.out, gprDumpLines(registers));
    return ended ? 0 : 1;
}

}  // namespace lumora::cli
