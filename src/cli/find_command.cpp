// lumora-cli find: the Find tools of the CLIPINF and PLAYLIST tabs on a BDMV
// folder: which PlayItems and SubPlayItems use a clip (reporting the stream
// files the playlists miss), and which movie object commands play a
// playlist.
#include <ostream>
#include <sstream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/terminal_sink.h"
#include "core/folder.h"
#include "navigation/movie_object_file.h"
#include "playlist/cross_reference.h"

namespace lumora::cli {
namespace {

constexpr const char* kFindUsage =
    "usage: lumora-cli find PATH --clip NAME\n"
    "       lumora-cli find PATH --playlist NAME\n"
    "\n"
    "The Find tools of the CLIPINF and PLAYLIST tabs.  PATH is the BDMV folder,\n"
    "the folder that holds it, or a file inside it; NAME is a clip or playlist\n"
    "entry such as 00001 (its extension may be given).\n"
    "\n"
    "  --clip NAME      read every playlist of the folder as the CLIPINF tab's\n"
    "                   Find does and print its log (markup removed), which names\n"
    "                   the stream files the playlists miss; then the PlayItems\n"
    "                   (\"p\") and SubPlayItems (\"s\") that use clip NAME as the\n"
    "                   \"Referenced by\" grid shows them:\n"
    "                     clip<TAB>NAME\n"
    "                     references<TAB>N\n"
    "                     No.<TAB>mpls<TAB>s/p<TAB>item, then one row a reference\n"
    "  --playlist NAME  print the movie object commands that play playlist NAME\n"
    "                   with an immediate number, as the PLAYLIST tab's Find logs\n"
    "                   them (\"Object 0001, Command line 0003\")\n"
    "\n"
    "Exit status: 0 done, 1 the folder check failed, NAME is not on the disc, or\n"
    "the Find reported an error (a missing stream or clip information file, a\n"
    "playlist that cannot be read), 2 usage error.\n";

int usageError(Streams io, const std::string& message) {
    io.err << "lumora-cli: " << message << "\n" << kFindUsage;
    return 2;
}

// NAME as an entry of `entries`: with or without its extension.
std::optional<std::string> entryNamed(const std::vector<std::string>& entries,
                                      const std::string& name, std::string_view extension) {
    std::string entry = name;
    if (entry.size() > extension.size() &&
        entry.compare(entry.size() - extension.size(), extension.size(), extension) == 0) {
        entry.resize(entry.size() - extension.size());
    }
    if (!clipEntryIndex(entries, entry)) return std::nullopt;
    return entry;
}

// The folder Read, quietly: its log is shown only when the check fails.
struct ReadDisc {
    DiscFolder disc;
    TMOBJ movieObjects;
    ReadOutcome movieObjectOutcome;
    bool ok = false;
};

ReadDisc readDisc(const std::string& path, Streams io) {
    ReadDisc read;
    std::ostringstream log, errors;
    TerminalSink sink(log, errors, false);
    Reporter reporter(sink);
    read.disc.folder = folderTextFor(path);
    FolderReadHooks hooks;
    hooks.readMovieObjects = [&] {
        read.movieObjectOutcome =
            readMovieObjectFile(read.disc.movieObjectPath(), read.disc.names().movieObject,
                                read.movieObjects, reporter);
    };
    const FolderReadResult result = readFolder(read.disc, reporter, hooks);
    read.ok = result.checked && !result.cancelled;
    if (!read.ok) {
        io.out << log.str();
        io.err << errors.str();
    }
    return read;
}

int findClip(const ReadDisc& read, const std::string& name, Streams io) {
    const DiscFolder& disc = read.disc;
    const auto entry = entryNamed(disc.clipinfs, name, disc.names().clipExt);
    if (!entry) {
        io.err << "lumora-cli: no clip " << name << " in " << disc.folder << '\n';
        return 1;
    }
    TerminalSink sink(io.out, io.err, false);
    Reporter reporter(sink);
    const std::vector<TCIRefs> refs = findClipReferences(disc, reporter);
    const TCIRefs& clipRefs = refs[*clipEntryIndex(disc.clipinfs, *entry)];
    io.out << "clip\t" << *entry << '\n' << "references\t" << clipRefs.size() << '\n';
    io.out << "No.\tmpls\ts/p\titem\n";
    for (std::size_t i = 0; i < clipRefs.size(); ++i) {
        const auto cells = referenceRowCells(i, clipRefs[i]);
        io.out << cells[0] << '\t' << cells[1] << '\t' << cells[2] << '\t' << cells[3] << '\n';
    }
    return reporter.errorFlag() ? 1 : 0;
}

int findPlaylist(const ReadDisc& read, const std::string& name, Streams io) {
    const DiscFolder& disc = read.disc;
    if (!read.movieObjectOutcome.good()) {
        io.err << "lumora-cli: " << read.movieObjectOutcome.message << '\n';
        return 1;
    }
    const auto entry = entryNamed(disc.playlists, name, disc.names().playlistExt);
    if (!entry) {
        io.err << "lumora-cli: no playlist " << name << " in " << disc.folder << '\n';
        return 1;
    }
    TerminalSink sink(io.out, io.err, false);
    Reporter reporter(sink);
    findPlaylistCallers(read.movieObjects, *entry, reporter);
    return 0;
}

}  // namespace

int runFind(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {}, {"--clip", "--playlist"});
    if (!parsed.ok()) return usageError(io, parsed.error());
    if (parsed.has("--help")) {
        io.out << kFindUsage;
        return 0;
    }
    if (parsed.positional().size() != 1) return usageError(io, "find needs one PATH");
    const auto clip = parsed.value("--clip");
    const auto playlist = parsed.value("--playlist");
    if (clip.has_value() == playlist.has_value()) {
        return usageError(io, "find needs either --clip NAME or --playlist NAME");
    }
    const ReadDisc read = readDisc(parsed.positional().front(), io);
    if (!read.ok) return 1;
    return clip ? findClip(read, *clip, io) : findPlaylist(read, *playlist, io);
}

}  // namespace lumora::cli
