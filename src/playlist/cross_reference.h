// The tools that tie playlists, clips and movie objects together: which
// movie object commands play a playlist, which PlayItems and SubPlayItems use
// each clip (with the stream files they miss), and "Apply to clpi", which
// copies a PlayItem's STN attributes into its clip's ProgramInfo.
//
// Nothing here keeps a model of its own between calls: the walks read the
// folder's files through the core readers into models of their own, so the
// playlist and clip the views show stay as they are.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/folder.h"
#include "core/report.h"
#include "navigation/command.h"
#include "navigation/movie_object_file.h"
#include "playlist/clip_info_file.h"
#include "playlist/playlist_file.h"

namespace lumora {

// One use of a clip by a playlist.
struct TCIRef {
    std::uint32_t playlist = 0;  // the playlist's entry read as a number ("00800" -> 800)
    std::string kind;            // "p" PlayItem, "s" SubPlayItem
    std::uint16_t item = 0;      // PlayItem index, or SubPlayItem index within its SubPath
    std::string playlistEntry;   // the entry itself, for selecting the playlist again
    bool operator==(const TCIRef&) const = default;
};
// The references of one clip; the Find keeps one list per clip entry, in the
// order of the clip list.
using TCIRefs = std::vector<TCIRef>;

// A playlist entry as a number; nothing when it is not a decimal number.
std::optional<std::uint32_t> playlistNumber(std::string_view entry);
// The index of a clip entry in the clip list.
std::optional<std::size_t> clipEntryIndex(const std::vector<std::string>& clips,
                                          std::string_view name);

// ---- Find on the PLAYLIST tab ----

// Whether a command plays `playlist` by an immediate number: Play PL,
// Play PL_PI or Play PL_MK with the playlist as an immediate first operand.
// A playlist number taken from a register does not count.
bool playsPlaylist(const TCommand& command, std::uint32_t playlist);
// "Object 0001, Command line 0003" for every command that plays `playlist`.
std::vector<std::string> playlistCallerLines(const TMOBJ& objects, std::uint32_t playlist);
// The Find: logs an empty line, "PlayList [b]entry[/b] found in:" and the
// caller lines as plain lines (no markup processing).  Returns those lines.
std::vector<std::string> findPlaylistCallers(const TMOBJ& objects, std::string_view entry,
                                             Reporter& reporter);

// ---- Find on the CLIPINF tab ----

// Appends what playlist `entry` uses to the clips' lists (`refs` has one list
// per entry of `disc.clipinfs`) and logs every reference whose stream file is
// missing ("Missing stream file referenced by 00001.mpls, PlayItem 0", with
// ", angle n" or ", clip entry n" for the further clips of a multi-angle
// PlayItem or SubPlayItem) and whose clip information file is not in the list.
void addPlaylistReferences(const TMPLS& playlist, std::string_view entry, const DiscFolder& disc,
                           std::vector<TCIRefs>& refs, Reporter& reporter);
// The Find: reads every playlist of the folder silently, in list order, and
// returns one reference list per clip entry.  A playlist that cannot be read
// is reported and skipped.
std::vector<TCIRefs> findClipReferences(const DiscFolder& disc, Reporter& reporter);

// The "Referenced by" grid: headers ("", "mpls", "s/p", "item") and a row:
// number (from 1), playlist as 5 digits, kind, item as 5 digits.
const std::array<std::string, 4>& referenceHeaders();
std::array<std::string, 4> referenceRowCells(std::size_t index, const TCIRef& ref);
// Where a double click on a reference leads: the playlist to select and read,
// and for a PlayItem other than the first the PlayItems grid row to select.
struct ReferenceTarget {
    std::string playlistEntry;
    std::optional<std::size_t> playItemRow;
};
ReferenceTarget referenceTarget(const TCIRef& ref);

// ---- Apply to clpi ----

// Copies the attributes of the STN streams into the streams of the clip's
// first program sequence, taken in STN order (video, audio, PG, IG; PiP PG
// streams do not count), where the PIDs at the same position match: coding
// type, format and rate of video; coding type, presentation type, sampling
// frequency and language of audio; the language of PG and of IG streams of
// entry type 1.  Returns the changed ProgramInfo rows (0-based); the clip is
// changed in memory only.
std::vector<std::size_t> applyStnToClip(const TSTN& stn, TCLPI& clip);
// What "Apply to clpi" did to clip file `fileName`, for the log and the
// status line: how many streams changed (and that they are not written yet),
// or that none matched.
std::string applyStnSummary(std::string_view fileName, std::size_t changed);

}  // namespace lumora
