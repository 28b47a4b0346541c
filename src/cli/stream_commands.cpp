// `lumora-cli demux` and `lumora-cli mux-menu`: the transport stream tools.
#include <unistd.h>

#include <iostream>
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/menu_source.h"
#include "cli/terminal_sink.h"
#include "core/text.h"
#include "menu/menu_reader.h"
#include "stream/demux.h"
#include "stream/mux.h"

namespace lumora::cli {
namespace {

constexpr const char* kDemuxUsage =
    "usage: lumora-cli demux STREAM --pid PID [--mode es|pes|sup|mnu] -o OUT\n"
    "\n"
    "Saves the stream of one PID of a stream file (.m2ts, .MTS) to OUT:\n"
    "  es   the elementary stream (PES headers removed)\n"
    "  pes  every transport payload of the PID, unchanged\n"
    "  sup  a SUP file: per PES packet \"PG\", PTS, DTS, then its payload\n"
    "  mnu  a menu file: per PES packet \"IG\", PTS, DTS, then its payload\n"
    "Without --mode: sup for a PG PID (0x1200-0x12FF), mnu for an IG PID\n"
    "(0x1400-0x14FF), es for any other, as the Options' defaults choose.\n"
    "PID is hexadecimal with 0x (0x1100) or decimal (4352).\n"
    "\n"
    "Prints the log: in sup and mnu modes one line per PES packet (PTS, DTS,\n"
    "both as times, the segment type, the packet's TP_extra_header), then\n"
    "\"N source packets saved. (h:mm:ss)\".  On a terminal the packet count\n"
    "and the elapsed and remaining times show on standard error as it runs.\n"
    "\n"
    "Exit status: 0 saved, 1 the file cannot be read or written or holds no\n"
    "packet of PID (OUT is then empty), 2 usage error.\n";

constexpr const char* kMuxMenuUsage =
    "usage: lumora-cli mux-menu FILE.mnu -o OUT.m2ts\n"
    "\n"
    "Writes the IG menu of FILE.mnu as a stream file of its own: PAT, PMT and SIT,\n"
    "a PCR PID, the menu's interactive graphics stream on PID 0x1400 (stream\n"
    "type 0x91), null packets up to whole aligned units of 32 source packets.\n"
    "The menu is written as the menu writer writes it (objects re-encoded).\n"
    "Prints OUT<TAB>N source packets.\n"
    "\n"
    "Exit status: 0 written, 1 FILE is not a menu or is damaged, or OUT cannot\n"
    "be written, 2 usage error.\n";

int usage(Streams io, const std::string& message, const char* text) {
    io.err << "lumora-cli: " << message << '\n' << text;
    return 2;
}

std::optional<DemuxMode> modeArgument(const std::string& text) {
    if (text == "es") return DemuxMode::Elementary;
    if (text == "pes") return DemuxMode::Pes;
    if (text == "sup") return DemuxMode::Sup;
    if (text == "mnu") return DemuxMode::Menu;
    return std::nullopt;
}

// The log on standard output; on a terminal also the running packet count on
// standard error, rewritten in place and cleared before each log line.
class DemuxSink : public TerminalSink {
public:
    DemuxSink(std::ostream& out, std::ostream& err, bool progress)
        : TerminalSink(out, err, false), err_(err), progress_(progress) {}
    ~DemuxSink() override { clearProgress(); }

    void appendLogLine(const LogLine& line) override {
        clearProgress();
        TerminalSink::appendLogLine(line);
    }
    void showStatus(int panel, std::string_view text) override {
        if (!progress_ || panel != 1 || text.empty()) return;
        err_ << '\r' << text << "\x1b[K" << std::flush;
        shown_ = true;
    }
    void clearProgress() {
        if (!shown_) return;
        err_ << "\r\x1b[K" << std::flush;
        shown_ = false;
    }

private:
    std::ostream& err_;
    bool progress_;
    bool shown_ = false;
};

bool errorIsTerminal(const Streams& io) {
    return &io.err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
}

}  // namespace

int runDemux(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {}, {"--pid", "--mode", "-o"});
    if (!parsed.ok()) return usage(io, parsed.error(), kDemuxUsage);
    if (parsed.has("--help")) {
        io.out << kDemuxUsage;
        return 0;
    }
    if (parsed.positional().size() != 1) return usage(io, "demux needs one STREAM", kDemuxUsage);
    const auto pidText = parsed.value("--pid");
    if (!pidText) return usage(io, "demux needs --pid PID", kDemuxUsage);
    const auto pid = parsePidArgument(*pidText);
    if (!pid) return usage(io, "PID must be 0x0000-0x1FFF or 0-8191", kDemuxUsage);
    const auto target = parsed.value("-o");
    if (!target) return usage(io, "demux needs -o OUT", kDemuxUsage);
    DemuxMode mode = chooseDemuxMode(*pid, SavePidFormat{});
    if (const auto modeText = parsed.value("--mode")) {
        const auto chosen = modeArgument(*modeText);
        if (!chosen) return usage(io, "--mode must be es, pes, sup or mnu", kDemuxUsage);
        mode = *chosen;
    }

    const std::string& source = parsed.positional().front();
    DemuxSink sink(io.out, io.err, errorIsTerminal(io));
    Reporter reporter(sink);
    reporter.log("Saving " + *target + " ...");
    const DemuxResult result = Demux(source, *target, *pid, mode, reporter);
    sink.clearProgress();
    reporter.log(std::to_string(result.savedPackets) + " source packets saved. (" +
                 elapsedText(result.elapsedMs) + ")");
    io.out.flush();
    if (result.savedPackets == 0) {
        io.err << "lumora-cli: " << source << " has no packet of PID 0x" << hexText(*pid, 4)
               << '\n';
        return 1;
    }
    return 0;
}

int runMuxMenu(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {}, {"-o"});
    if (!parsed.ok()) return usage(io, parsed.error(), kMuxMenuUsage);
    if (parsed.has("--help")) {
        io.out << kMuxMenuUsage;
        return 0;
    }
    if (parsed.positional().size() != 1) {
        return usage(io, "mux-menu needs one FILE.mnu", kMuxMenuUsage);
    }
    const auto target = parsed.value("-o");
    if (!target) return usage(io, "mux-menu needs -o OUT.m2ts", kMuxMenuUsage);

    // Errors only: the loader's summary and the writer's status texts are
    // not the command's output.
    ErrorsOnlySink sink(io.err);
    Reporter reporter(sink);
    TIGMenu menu;
    const ReadOutcome outcome = loadMNU(parsed.positional().front(), menu, reporter);
    if (!outcome.good()) {
        if (outcome.status == ReadStatus::BadFormat) {
            io.err << "lumora-cli: " << parsed.positional().front() << " holds no menu\n";
        }
        return 1;
    }
    const auto result = muxMenu(menu, *target, reporter);
    if (!result) return 1;
    io.out << *target << '\t' << result->packets << " source packets\n";
    return result->shortRead ? 1 : 0;
}

}  // namespace lumora::cli
