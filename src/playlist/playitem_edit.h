// Editing PlayItems, SubPaths and SubPlayItems of a playlist: insert and
// delete with every enclosing length and later start address kept right, the
// in-place cell edits of the PlayItems and SubPlayItems grids (taking the
// typed text), the IN-time cascade, and the SubPath type and repeat lists.
//
// References by position follow the edits: marks and SubPlayItem sync
// references move with their PlayItem, STN stream entries with their SubPath,
// so an insert or delete never silently points them at another item.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/report.h"
#include "playlist/cell_edit.h"
#include "playlist/playlist_file.h"

namespace lumora {

inline constexpr std::size_t kMaxPlayItems = 999;
inline constexpr std::size_t kMaxSubPaths = 255;

// A typed "hh:mm:ss.mmm" as 45 kHz ticks; nothing for an incomplete or
// malformed text or a time beyond what 32 bits hold.
std::optional<std::uint32_t> typedTime45(std::string_view text);

// ---- PlayItems ----

// A new PlayItem on `clipName`: "M2TS", no angles, times 0, and an STN table
// with one primary AVC 1080p 23.976 video stream on PID 0x1011 (length 64).
TPlayItem newPlayItem(std::string_view clipName = "00000");
// Inserts a new PlayItem at `at` (clamped).  The grid shows the first clip of
// the clip list for it, so the caller passes that name (the model then holds
// what the row shows).  Nothing at 999 PlayItems.  Marks and sync references
// on PlayItems from `at` on are renumbered.  Returns the new PlayItem's index.
std::optional<std::size_t> insertPlayItem(TMPLS& playlist, std::size_t at,
                                          std::string_view clipName = "00000");
// A mark that went with its PlayItem: its number in the mark list before the
// delete, and the mark itself.
struct RemovedMark {
    std::size_t number = 0;
    TMark mark;
};
// Deletes PlayItem `index`.  Its marks go with it (they are returned, so the
// caller can say which); marks and sync references on later PlayItems are
// renumbered.  Nothing when there is no such PlayItem.
std::optional<std::vector<RemovedMark>> deletePlayItem(TMPLS& playlist, std::size_t index);
// The log line for a mark that went with PlayItem `playItem`, numbers as the
// grids show them: "Mark 003 (entry-mark at 00:01:02.500) deleted with
// PlayItem 001".
std::string removedMarkText(const RemovedMark& removed, std::size_t playItem);

// What the IN-time cascade changed, so the view redraws those cells.
struct InTimeCascade {
    bool outMoved = false;           // the "OUT time" cell
    bool subPlayItemsMoved = false;  // the rows of the selected SubPath
    std::vector<std::size_t> marksMoved;
};
// Sets PlayItem `item`'s IN time and asks (through `ask`) whether OUT, the
// SubPlayItems (only when there are SubPaths) and the PlayItem's marks (only
// when there are marks) move along.  Nothing happens when IN stays the same.
InTimeCascade changeInTime(TMPLS& playlist, std::size_t item, std::uint32_t in, ReportSink& ask);

// The columns of the PlayItems grid (column 0 is the row number).
enum class PlayItemColumn { File = 1, Type, In, Out, Length, Uo1, Uo2, Angles };
struct PlayItemCellEdit {
    CellEdit edit = CellEdit::Shown;
    InTimeCascade cascade;  // for the "IN time" column
};
// A typed cell of the PlayItems grid.
PlayItemCellEdit editPlayItemCell(TMPLS& playlist, std::size_t item, PlayItemColumn column,
                                  std::string_view text, ReportSink& ask);

// ---- SubPaths and SubPlayItems ----

// A new SubPath: type 3 (IG menu), one SubPlayItem on PlayItem 0's clip with
// its IN and OUT times (connection condition 1, no clip entries).
TSubPath newSubPath(const TMPLS& playlist);
// Inserts a new SubPath at `at` (clamped); nothing at 255 SubPaths.  STN
// entries naming SubPaths from `at` on are renumbered.  Returns its index.
std::optional<std::size_t> insertSubPath(TMPLS& playlist, std::size_t at);
// Deletes SubPath `index`; STN entries naming later SubPaths are renumbered.
// False when there is no such SubPath.
bool deleteSubPath(TMPLS& playlist, std::size_t index);

// The SubPath type list: type = item; any type but 2 (browsable slideshow
// audio) sets the repeat word to 0.  Returns whether the repeat list is
// enabled.
bool setSubPathType(TMPLS& playlist, std::size_t path, std::uint8_t type);
bool repeatListEnabled(std::uint8_t type);
// The repeat list ("No", "Yes"): repeat word = item.
void setSubPathRepeat(TMPLS& playlist, std::size_t path, std::uint16_t item);
const std::vector<std::string>& subPathTypeItems();  // "-", "-", "p. Audio", ...
const std::vector<std::string>& repeatItems();       // "No", "Yes"
std::string subPathTypeHint(std::uint8_t type);

// The columns of the SubPlayItems grid (column 0 is the row number).
enum class SubPlayItemColumn {
    File = 1,
    Type,
    Connection,
    Multi,
    Stc,
    In,
    Out,
    SyncPlayItem,
    SyncPts,
    Angles
};
// A typed cell of the SubPlayItems grid of SubPath `path`.  Switching "multi"
// changes the SubPlayItem's size; the lengths follow.
CellEdit editSubPlayItemCell(TMPLS& playlist, std::size_t path, std::size_t item,
                             SubPlayItemColumn column, std::string_view text);

}  // namespace lumora
