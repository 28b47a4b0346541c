#include "cli/commands.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "bdj/bdjo_file.h"
#include "cli/args.h"
#include "cli/structure_dump.h"
#include "cli/terminal_sink.h"
#include "core/file_io.h"
#include "core/folder.h"
#include "core/text.h"
#include "demo/demo_disc.h"
#include "navigation/index_file.h"
#include "navigation/movie_object_file.h"
#include "sound/sound_file.h"

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
    "file inside it.  Each BD-J object of the BDJO folder is read as well and\n"
    "logged with its application count.\n"
    "\n"
    "  --color  keep the log's colours and styles (ANSI escapes)\n"
    "  --8.3    start with 8.3 file names (the Read switches when it must)\n"
    "\n"
    "Exit status: 0 the check passed, 1 it failed (\"Check failed.\" or a\n"
    "structure file reported an error), 2 usage error.\n";

constexpr const char* kMakeDemoUsage =
    "usage: lumora-cli make-demo DIR\n"
    "\n"
    "Writes the demo disc, a small complete synthetic BDMV folder, to DIR/BDMV,\n"
    "and its IG menu to DIR/demo.mnu.  Existing demo files there are replaced.\n"
    "\n"
    "Exit status: 0 written, 1 a file could not be written, 2 usage error.\n";

constexpr const char* kDumpUsage =
    "usage: lumora-cli dump [--json] FILE\n"
    "\n"
    "Prints a structure file field by field (index.bdmv, MovieObject.bdmv, .mpls,\n"
    ".clpi, .mnu, sound.bdmv, .bdjo).\n"
    "Text: one record a line, \"name<TAB>value\", and grid rows with tab-separated\n"
    "cells in the grids' own formats, each grid after its header row.\n"
    "--json: one JSON object with the raw values (see docs/cli-json.md).\n"
    "\n"
    "Exit status: 0 read, 1 the file is bad or cut short (what was read is still\n"
    "printed for a cut file), 2 usage error.\n";

constexpr const char* kRewriteUsage =
    "usage: lumora-cli rewrite FILE OUT\n"
    "\n"
    "Reads FILE with the program's reader and writes it to OUT with its writer,\n"
    "then says whether OUT holds the same bytes as FILE:\n"
    "  OUT<TAB>N bytes<TAB>identical\n"
    "  OUT<TAB>N bytes<TAB>differs at $XXXXXXXX\n"
    "A file that is bad or cut short is not written, nor is a BD-J object (.bdjo),\n"
    "which Lumora only reads.\n"
    "\n"
    "Exit status: 0 written, 1 not written, 2 usage error.\n";

const Command kCommands[] = {
    {"chapters", "export or import a playlist's marks as a chapter file", nullptr, runChapters},
    {"check", "read a BDMV folder and print the check log", kCheckUsage, runCheck},
    {"commands", "print the program list of movie objects", nullptr, runCommandsListing},
    {"demux", "save one PID of a stream file (elementary, PES, SUP or menu)", nullptr, runDemux},
    {"dump", "print a structure file field by field (text or --json)", kDumpUsage, runDump},
    {"exec", "run a movie object in the command interpreter", nullptr, runExec},
    {"find", "which playlists use a clip, which movie objects play a playlist", nullptr, runFind},
    {"make-demo", "write the demo disc to DIR/BDMV", kMakeDemoUsage, runMakeDemo},
    {"menu", "print, render, simulate, create and edit IG menu files", nullptr, runMenu},
    {"mux-menu", "write an IG menu file as a stream file of its own", nullptr, runMuxMenu},
    {"rewrite", "read a structure file and write it back with the program's writer", kRewriteUsage,
     runRewrite},
    {"sound", "export, insert, delete and create the sounds of sound.bdmv", nullptr, runSound},
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

}  // namespace

std::string folderTextFor(const std::string& argument) {
    const fs::path absolute = fs::absolute(fs::path(argument)).lexically_normal();
    std::string text = absolute.string();
    if (fileExists(text)) return folderOfFile(text);
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return normaliseChosenFolder(text);
}

namespace {

std::string applicationsFound(std::size_t count) {
    return "  Found [b]" + std::to_string(count) + "[/b] application" + (count == 1 ? "." : "s.");
}

// Every BD-J object of the BDJO folder read as the BD-J tab reads it, each
// with its application count.  A file that is no BD-J object or cannot be
// read is an error of the check, not its end.
void checkBdjObjects(const DiscFolder& disc, Reporter& reporter) {
    for (const std::string& entry : disc.bdjos) {
        const std::string name = entry + std::string(disc.names().bdjoExt);
        TBDJO bdjo;
        try {
            const ReadOutcome outcome =
                readBdjoFile(disc.path("BDJO/" + name), name, bdjo, reporter);
            if (outcome.status == ReadStatus::BadFormat) {
                reporter.erlog(outcome.message);
                continue;
            }
        } catch (const FileError& error) {
            reporter.erlog(error.what());
            continue;
        }
        reporter.log(applicationsFound(bdjo.applications.applications.size()));
    }
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
    TINDX index;
    TMOBJ movieObjects;
    TSND sound;
    FolderReadHooks hooks;
    hooks.readMovieObjects = [&] {
        readMovieObjectFile(disc.movieObjectPath(), disc.names().movieObject, movieObjects,
                            reporter);
    };
    hooks.readIndex = [&] { readIndexFile(disc.indexPath(), disc.names().index, index, reporter); };
    hooks.readSound = [&] { readSoundFile(disc.soundPath(), sound, reporter); };
    hooks.listsFilled = [&] { checkBdjObjects(disc, reporter); };
    const FolderReadResult result = readFolder(disc, reporter, hooks);
    io.out.flush();
    return result.checked && !result.cancelled && !reporter.errorFlag() ? 0 : 1;
}

namespace {

std::string baseName(const std::string& path) {
    return fs::path(path).filename().string();
}

// The first byte at which two files differ, or the shorter length.
std::size_t firstDifference(ByteView a, ByteView b) {
    const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return static_cast<std::size_t>(mismatch.first - a.begin());
}

}  // namespace

int runDump(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {"--json"});
    if (!parsed.ok()) return usageError(io, parsed.error(), kDumpUsage);
    if (parsed.has("--help")) {
        io.out << kDumpUsage;
        return 0;
    }
    if (parsed.positional().size() != 1) return usageError(io, "dump needs one FILE", kDumpUsage);
    const std::string& path = parsed.positional().front();
    const Bytes data = readFileBytes(path);
    const LoadResult loaded = loadStructure(data, baseName(path));
    if (loaded.structure) {
        if (parsed.has("--json")) {
            nlohmann::ordered_json json{{"file", baseName(path)}, {"format", loaded.format}};
            json.update(loaded.structure->toJson());
            io.out << json.dump(2) << '\n';
        } else {
            io.out << "file\t" << baseName(path) << '\n';
            loaded.structure->printText(io.out);
        }
    }
    if (!loaded.outcome.good()) {
        io.out.flush();
        io.err << "lumora-cli: " << loaded.outcome.message << '\n';
        return 1;
    }
    return 0;
}

int runRewrite(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {});
    if (!parsed.ok()) return usageError(io, parsed.error(), kRewriteUsage);
    if (parsed.has("--help")) {
        io.out << kRewriteUsage;
        return 0;
    }
    if (parsed.positional().size() != 2) {
        return usageError(io, "rewrite needs FILE and OUT", kRewriteUsage);
    }
    const std::string& path = parsed.positional()[0];
    const std::string& target = parsed.positional()[1];
    const Bytes data = readFileBytes(path);
    const LoadResult loaded = loadStructure(data, baseName(path));
    if (loaded.structure && !loaded.structure->readOnlyKind().empty()) {
        io.err << "lumora-cli: " << baseName(path) << ": " << loaded.structure->readOnlyKind()
               << " are only read, not written; " << target << " not written\n";
        return 1;
    }
    if (!loaded.outcome.good()) {
        io.err << "lumora-cli: " << loaded.outcome.message << "; " << target << " not written\n";
        return 1;
    }
    const Bytes written = loaded.structure->bytes();
    writeFileSafely(target, written);
    io.out << target << '\t' << written.size() << " bytes\t";
    if (written == data) {
        io.out << "identical\n";
    } else {
        io.out << "differs at $" << hexText(firstDifference(written, data), 8) << '\n';
    }
    return 0;
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
           << info.sourcePacketsPerStream << " source packets in the feature's stream, "
           << info.menuStreamPackets << " in the menu clip's\n";
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
