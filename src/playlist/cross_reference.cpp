#include "playlist/cross_reference.h"

#include <algorithm>
#include <charconv>

#include "core/file_io.h"
#include "core/text.h"
#include "playlist/stream_coding.h"

namespace lumora {
namespace {

// First words of the commands that play a playlist given as an immediate
// first operand.
constexpr std::uint32_t kPlayPlaylist = 0x22800000;
constexpr std::uint32_t kPlayItemImmediatePlaylist = 0x42810000;
constexpr std::uint32_t kPlayItemBothImmediate = 0x42C10000;
constexpr std::uint32_t kPlayMarkImmediatePlaylist = 0x42820000;
constexpr std::uint32_t kPlayMarkBothImmediate = 0x42C20000;

// Plain lines go to the log as they are: no leading blank, no markup.
LogLine plainLine(const std::string& text) {
    LogLine line;
    line.text = text;
    line.segments.push_back(LogSegment{});
    return line;
}

class ReferenceCollector {
public:
    ReferenceCollector(std::string_view entry, const DiscFolder& disc, std::vector<TCIRefs>& refs,
                       Reporter& reporter)
        : entry_(entry),
          file_(std::string(entry) + std::string(disc.names().playlistExt)),
          number_(playlistNumber(entry).value_or(0)),
          disc_(disc),
          refs_(refs),
          reporter_(reporter) {}

    // One clip used by item `item` of kind `kind`; `where` names the item in
    // the log (", PlayItem 3"), `extra` a further clip of it (", angle 2").
    void add(const std::string& clip, const char* kind, std::size_t item, const std::string& where,
             const std::string& extra) {
        const std::string place = file_ + where + extra;
        if (!fileExists(disc_.streamPath(clip)))
            reporter_.erlog("Missing stream file referenced by " + place);
        const auto index = clipEntryIndex(disc_.clipinfs, clip);
        if (!index || *index >= refs_.size()) {
            reporter_.erlog("Missing clip information file referenced by " + place);
            return;
        }
        const TCIRef ref{number_, kind, static_cast<std::uint16_t>(item), entry_};
        TCIRefs& list = refs_[*index];
        // Angles of one PlayItem on the same clip are one use of it.
        if (std::find(list.begin(), list.end(), ref) == list.end()) list.push_back(ref);
    }

private:
    std::string entry_;
    std::string file_;
    std::uint32_t number_;
    const DiscFolder& disc_;
    std::vector<TCIRefs>& refs_;
    Reporter& reporter_;
};

// Copies the fields of one STN stream kind into a program stream when the
// PIDs at the position match.
template <typename Copy>
void applyAt(std::vector<TStreamCodingInfo>& streams, std::size_t position, std::uint16_t pid,
             std::vector<std::size_t>& changed, Copy copy) {
    if (position >= streams.size() || streams[position].streamPid != pid) return;
    TStreamCodingInfo& target = streams[position];
    const bool wasUnknown = streamKind(target.codingType) == StreamKind::Unknown;
    copy(target);
    // Raw bytes of an unknown coding type mean nothing to a known one.
    if (wasUnknown && streamKind(target.codingType) != StreamKind::Unknown) target.tail.clear();
    changed.push_back(position);
}

}  // namespace

std::optional<std::uint32_t> playlistNumber(std::string_view entry) {
    std::uint32_t value = 0;
    const char* end = entry.data() + entry.size();
    const auto [stop, error] = std::from_chars(entry.data(), end, value);
    if (entry.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::optional<std::size_t> clipEntryIndex(const std::vector<std::string>& clips,
                                          std::string_view name) {
    const auto it = std::find(clips.begin(), clips.end(), name);
    if (it == clips.end()) return std::nullopt;
    return static_cast<std::size_t>(it - clips.begin());
}

bool playsPlaylist(const TCommand& command, std::uint32_t playlist) {
    switch (command.opcode) {
        case kPlayPlaylist:
        case kPlayItemImmediatePlaylist:
        case kPlayItemBothImmediate:
        case kPlayMarkImmediatePlaylist:
        case kPlayMarkBothImmediate:
            return command.destination == playlist;
        default:
            return false;
    }
}

std::vector<std::string> playlistCallerLines(const TMOBJ& objects, std::uint32_t playlist) {
    std::vector<std::string> lines;
    for (std::size_t object = 0; object < objects.objects.size(); ++object) {
        const TCommands& commands = objects.objects[object].commands;
        for (std::size_t line = 0; line < commands.size(); ++line) {
            if (!playsPlaylist(commands[line], playlist)) continue;
            lines.push_back("Object " + zeroPad(static_cast<std::int64_t>(object), 4) +
                            ", Command line " + zeroPad(static_cast<std::int64_t>(line), 4));
        }
    }
    return lines;
}

std::vector<std::string> findPlaylistCallers(const TMOBJ& objects, std::string_view entry,
                                             Reporter& reporter) {
    const auto number = playlistNumber(entry);
    const std::vector<std::string> lines =
        number ? playlistCallerLines(objects, *number) : std::vector<std::string>{};
    reporter.log("");
    reporter.log("PlayList [b]" + std::string(entry) + "[/b] found in:");
    for (const std::string& line : lines)
        reporter.sink().appendLogLine(plainLine(line));
    return lines;
}

void addPlaylistReferences(const TMPLS& playlist, std::string_view entry, const DiscFolder& disc,
                           std::vector<TCIRefs>& refs, Reporter& reporter) {
    ReferenceCollector collect(entry, disc, refs, reporter);
    const auto& items = playlist.playList.playItems;
    for (std::size_t k = 0; k < items.size(); ++k) {
        const std::string where = ", PlayItem " + std::to_string(k);
        collect.add(items[k].clipName, "p", k, where, "");
        const auto& angles = items[k].angles.clips;
        for (std::size_t a = 1; a < angles.size(); ++a)
            collect.add(angles[a].clipName, "p", k, where, ", angle " + std::to_string(a + 1));
    }
    const auto& paths = playlist.playList.subPaths;
    for (std::size_t s = 0; s < paths.size(); ++s) {
        const auto& subItems = paths[s].subPlayItems;
        for (std::size_t j = 0; j < subItems.size(); ++j) {
            const std::string where =
                ", SubPath " + std::to_string(s) + ", SubPlayItem " + std::to_string(j);
            collect.add(subItems[j].clipName, "s", j, where, "");
            const auto& clips = subItems[j].clips;
            for (std::size_t c = 1; c < clips.size(); ++c)
                collect.add(clips[c].clipName, "s", j, where, ", clip entry " + std::to_string(c));
        }
    }
}

std::vector<TCIRefs> findClipReferences(const DiscFolder& disc, Reporter& reporter) {
    std::vector<TCIRefs> refs(disc.clipinfs.size());
    for (const std::string& entry : disc.playlists) {
        const std::string name = entry + std::string(disc.names().playlistExt);
        TMPLS playlist;
        try {
            if (!readPlaylistFile(disc.playlistPath(entry), name, playlist, reporter, true).good())
                continue;
        } catch (const FileError& error) {
            reporter.erlog(error.what());
            continue;
        }
        addPlaylistReferences(playlist, entry, disc, refs, reporter);
    }
    return refs;
}

const std::array<std::string, 4>& referenceHeaders() {
    static const std::array<std::string, 4> headers{"", "mpls", "s/p", "item"};
    return headers;
}

std::array<std::string, 4> referenceRowCells(std::size_t index, const TCIRef& ref) {
    return {std::to_string(index + 1), zeroPad(ref.playlist, 5), ref.kind, zeroPad(ref.item, 5)};
}

ReferenceTarget referenceTarget(const TCIRef& ref) {
    ReferenceTarget target;
    target.playlistEntry = ref.playlistEntry.empty() ? zeroPad(ref.playlist, 5) : ref.playlistEntry;
    // The first PlayItem is selected anyway when the playlist is read.
    if (ref.kind == "p" && ref.item != 0) target.playItemRow = std::size_t{ref.item} + 1;
    return target;
}

std::vector<std::size_t> applyStnToClip(const TSTN& stn, TCLPI& clip) {
    std::vector<std::size_t> changed;
    auto& programs = clip.programInfo.programSequences;
    if (programs.empty()) return changed;
    auto& streams = programs.front().streams;
    std::size_t position = 0;
    for (const TSTNStream& s : stn.video) {
        applyAt(streams, position++, s.mainPid, changed, [&s](TStreamCodingInfo& t) {
            t.codingType = s.codingType;
            t.videoFormat = s.videoFormat;
            t.frameRate = s.frameRate;
        });
    }
    for (const TSTNStream& s : stn.audio) {
        applyAt(streams, position++, s.mainPid, changed, [&s](TStreamCodingInfo& t) {
            t.codingType = s.codingType;
            t.presentationType = s.presentationType;
            t.samplingFrequency = s.samplingFrequency;
            t.audioLanguage = s.language;
        });
    }
    for (const TSTNStream& s : stn.pg) {
        applyAt(streams, position++, s.mainPid, changed,
                [&s](TStreamCodingInfo& t) { t.pgLanguage = s.language; });
    }
    for (const TSTNStream& s : stn.ig) {
        const std::size_t at = position++;
        if (s.entryType != kEntryPlayItem) continue;
        applyAt(streams, at, s.mainPid, changed,
                [&s](TStreamCodingInfo& t) { t.igLanguage = s.language; });
    }
    return changed;
}

std::string applyStnSummary(std::string_view fileName, std::size_t changed) {
    const std::string name(fileName);
    if (changed == 0) return "No stream of " + name + " matches the STN table.";
    return std::to_string(changed) + " stream(s) of " + name +
           " changed from the STN table; Save writes them.";
}

}  // namespace lumora
