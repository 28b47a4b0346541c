// `lumora-cli chapters export|import`: a playlist's marks as a chapter file
// and back.
#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/terminal_sink.h"
#include "core/file_io.h"
#include "playlist/marks.h"
#include "playlist/playlist_file.h"

namespace lumora::cli {
namespace {

constexpr const char* kChaptersUsage =
    "usage: lumora-cli chapters export PLAYLIST.mpls [--format pts|frame|time] [-o FILE]\n"
    "       lumora-cli chapters import PLAYLIST.mpls FILE [--format pts|frame|time] -o OUT.mpls\n"
    "                                  [--verbose]\n"
    "\n"
    "export writes the playlist's marks as a chapter file, one line a mark, counted\n"
    "on the playlist's time line across all PlayItems (to standard output without -o).\n"
    "import replaces the marks by the chapters of FILE and writes the playlist to\n"
    "OUT.mpls; --verbose prints how each chapter found its PlayItem.\n"
    "\n"
    "Formats: pts   45 kHz ticks (the default)\n"
    "         frame frame counts at the rate of the first PlayItem's video stream\n"
    "         time  hh:mm:ss.mmm\n"
    "\n"
    "Exit status: 0 done, 1 the playlist or the chapter file is bad, 2 usage error.\n";

int usage(Streams io, const std::string& message) {
    io.err << "lumora-cli: " << message << '\n' << kChaptersUsage;
    return 2;
}

std::optional<ChapterFormat> formatNamed(const std::string& name) {
    if (name == "pts") return ChapterFormat::Pts;
    if (name == "frame") return ChapterFormat::Frame;
    if (name == "time") return ChapterFormat::Time;
    return std::nullopt;
}

// Reads a playlist, reporting a bad one on standard error.
std::optional<TMPLS> loadPlaylist(const std::string& path, Streams io) {
    const Bytes data = readFileBytes(path);
    TMPLS playlist;
    const ReadOutcome outcome =
        parsePlaylist(data, std::filesystem::path(path).filename().string(), playlist);
    if (!outcome.good()) {
        io.err << "lumora-cli: " << outcome.message << '\n';
        return std::nullopt;
    }
    return playlist;
}

int exportChapterFile(const Args& args, ChapterFormat format, Streams io) {
    if (args.positional().size() != 2) return usage(io, "chapters export needs PLAYLIST.mpls");
    const auto playlist = loadPlaylist(args.positional()[1], io);
    if (!playlist) return 1;
    const ChapterResult result = exportChapters(*playlist, format);
    if (!result.ok) {
        io.err << "lumora-cli: " << result.error << '\n';
        return 1;
    }
    if (const auto target = args.value("-o")) {
        writeFileSafely(*target, ByteView(reinterpret_cast<const std::uint8_t*>(result.text.data()),
                                          result.text.size()));
    } else {
        io.out << result.text;
    }
    return 0;
}

int importChapterFile(const Args& args, ChapterFormat format, Streams io) {
    if (args.positional().size() != 3)
        return usage(io, "chapters import needs PLAYLIST.mpls and FILE");
    const auto target = args.value("-o");
    if (!target) return usage(io, "chapters import needs -o OUT.mpls");
    auto playlist = loadPlaylist(args.positional()[1], io);
    if (!playlist) return 1;
    const Bytes text = readFileBytes(args.positional()[2]);
    std::ostringstream walk;
    TerminalSink sink(walk, io.err, false);
    Reporter reporter(sink);
    const ChapterResult result = importChapters(
        *playlist, std::string_view(reinterpret_cast<const char*>(text.data()), text.size()),
        format, reporter);
    if (!result.ok) {
        io.err << "lumora-cli: " << result.error << '\n';
        return 1;
    }
    writeFileSafely(*target, playlistBytes(*playlist));
    if (args.has("--verbose")) io.out << walk.str();
    io.out << *target << '\t' << playlist->marks.marks.size() << " marks\n";
    return 0;
}

}  // namespace

int runChapters(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {"--verbose"}, {"--format", "-o"});
    if (!parsed.ok()) return usage(io, parsed.error());
    if (parsed.has("--help")) {
        io.out << kChaptersUsage;
        return 0;
    }
    const auto format = formatNamed(parsed.value("--format").value_or("pts"));
    if (!format) return usage(io, "unknown chapter format " + *parsed.value("--format"));
    if (parsed.positional().empty()) return usage(io, "chapters needs export or import");
    const std::string& action = parsed.positional().front();
    if (action == "export") return exportChapterFile(parsed, *format, io);
    if (action == "import") return importChapterFile(parsed, *format, io);
    return usage(io, "chapters needs export or import, not " + action);
}

}  // namespace lumora::cli
