#include "cli/commands.h"

#include <filesystem>
#include <ostream>

#include "cli/args.h"
#include "cli/terminal_sink.h"
#include "core/file_io.h"
#include "core/folder.h"
#include "demo/demo_disc.h"

namespace lumora::cli {
namespace fs = std::filesystem;

namespace {

struct Command {
    const char* name;
    const char* summary;
    const char* usage;
    int (*run)(const std::vector<std::string>&, Streams);
};

constexpr const char* kCheckUsage =
    "usage: lumora-cli check [--color] [--8.3] PATH\n"
    "\n"
    "Reads a BDMV folder as the program's Read does and prints the message log,\n"
    "one line a report.  PATH is the BDMV folder, the folder that holds it, or a\n"
    "file inside it.\n"
    "\n"
    "  --color  keep the log's colours and styles (ANSI escapes)\n"
    "  --8.3    start with 8.3 file names (the Read switches when it must)\n"
    "\n"
    "Exit status: 0 the check passed, 1 it failed (\"Check failed.\" or a\n"
    "structure file reported an error), 2 usage error.\n";

constexpr const char* kMakeDemoUsage =
    "usage: lumora-cli make-demo DIR\n"
    "\n"
    "Writes the demo disc, a small complete synthetic BDMV folder, to DIR/BDMV.\n"
    "Existing demo files there are replaced.\n"
    "\n"
    "Exit status: 0 written, 1 a file could not be written, 2 usage error.\n";

const Command kCommands[] = {
    {"check", "read a BDMV folder and print the check log", kCheckUsage, runCheck},
    {"make-demo", "write the demo disc to DIR/BDMV", kMakeDemoUsage, runMakeDemo},
};

int usageError(Streams io, const std::string& message, const char* usage) {
    io.err << "lumora-cli: " << message << "\n" << usage;
    return 2;
}

void printMainHelp(std::ostream& out) {
    out << "usage: lumora-cli COMMAND [OPTIONS] [ARGS]\n\n"
           "Lumora's command line: the same core as the GUI, for scripts and batch work.\n\n"
           "Commands:\n";
    for (const Command& command : kCommands) {
        out << "  " << command.name << std::string(12 - std::string(command.name).size(), ' ')
            << command.summary << '\n';
    }
    out << "\nRun 'lumora-cli COMMAND --help' for a command's options.\n";
}

// The BDMV folder text for a path given on the command line: a file names its
// folder, a folder is taken as the BDMV folder or the folder that holds it.
std::string folderTextFor(const std::string& argument) {
    const fs::path absolute = fs::absolute(fs::path(argument)).lexically_normal();
    std::string text = absolute.string();
    if (fileExists(text)) return folderOfFile(text);
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return normaliseChosenFolder(text);
}

}  // namespace

int runCheck(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {"--color", "--8.3"});
    if (!parsed.ok()) return usageError(io, parsed.error(), kCheckUsage);
    if (parsed.has("--help")) {
        io.out << kCheckUsage;
        return 0;
    }
    if (parsed.positional().size() != 1) return usageError(io, "check needs one PATH", kCheckUsage);

    TerminalSink sink(io.out, io.err, parsed.has("--color"));
    Reporter reporter(sink);
    DiscFolder disc;
    disc.folder = folderTextFor(parsed.positional().front());
    disc.use83 = parsed.has("--8.3");
    const FolderReadResult result = readFolder(disc, reporter, FolderReadHooks{});
    io.out.flush();
    return result.checked && !result.cancelled && !reporter.errorFlag() ? 0 : 1;
}

int runMakeDemo(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {});
    if (!parsed.ok()) return usageError(io, parsed.error(), kMakeDemoUsage);
    if (parsed.has("--help")) {
        io.out << kMakeDemoUsage;
        return 0;
    }
    if (parsed.positional().size() != 1) {
        return usageError(io, "make-demo needs one DIR", kMakeDemoUsage);
    }
    const DemoDiscInfo info = makeDemoDisc(parsed.positional().front());
    io.out << "Demo disc written to " << info.folder << '\n'
           << "  " << info.titles << " titles, " << info.movieObjects << " movie objects, "
           << info.playlists << " playlists, " << info.clips << " clips, "
           << info.sourcePacketsPerStream << " source packets per stream\n";
    return 0;
}

int runCli(const std::vector<std::string>& args, Streams io) {
    if (args.empty()) {
        printMainHelp(io.err);
        return 2;
    }
    const std::string& name = args.front();
    if (name == "--help" || name == "-h" || name == "help") {
        printMainHelp(io.out);
        return 0;
    }
    for (const Command& command : kCommands) {
        if (name != command.name) continue;
        try {
            return command.run(std::vector<std::string>(args.begin() + 1, args.end()), io);
        } catch (const FileError& error) {
            io.err << "lumora-cli: " << error.what() << '\n';
            return 1;
        }
    }
    io.err << "lumora-cli: unknown command '" << name << "'\n";
    printMainHelp(io.err);
    return 2;
}

}  // namespace lumora::cli
