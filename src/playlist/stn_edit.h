// The STN table of one PlayItem as the seven lists the views show, and the
// stream insert and delete that keep every enclosing length and every later
// start address of the playlist right.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "playlist/playlist_file.h"

namespace lumora {

// The columns of the STN count grid.  Note that secondary video comes before
// secondary audio here, the reverse of the counts in the file.
enum class StnList {
    Video = 0,
    Audio = 1,
    Pg = 2,
    Ig = 3,
    SecondaryVideo = 4,
    SecondaryAudio = 5,
    Pip = 6
};

inline constexpr int kStnLists = 7;
const std::array<std::string, kStnLists>&
stnListHeaders();  // "Vi", "Au", "PG", "IG", "sV", "sA", "PIP"

std::size_t stnListCount(const TSTN& stn, StnList list);
// The stream of row `index` (0-based) of a list; for secondary streams the
// stream part.
const TSTNStream& stnStream(const TSTN& stn, StnList list, std::size_t index);
TSTNStream& stnStream(TSTN& stn, StnList list, std::size_t index);
// Bytes the stream takes in the file, its reference lists included.
std::uint32_t stnStreamSize(const TSTN& stn, StnList list, std::size_t index);

// The count grid's row 1.
std::array<std::string, kStnLists> stnCountCells(const TSTN& stn);
// A stream list row: number, "type", "mPID", "SPid", "sCid", "sPID", "attrib".
std::array<std::string, 7> stnStreamCells(StnList list, std::size_t index,
                                          const TSTNStream& stream);
std::string stnAttributeText(StnList list, const TSTNStream& stream);

// Which of "+" and "-" a list offers.
bool canInsertStream(const TSTN& stn, StnList list);
bool canDeleteStream(const TSTN& stn, StnList list);

// Inserts a default stream into the audio, PG or IG list of PlayItem
// `playItem` at `at` (0-based position of the new stream).  False when the
// list does not take one.
bool insertStream(TMPLS& playlist, std::size_t playItem, StnList list, std::size_t at);
// Deletes stream `index` of a list (the audio list keeps one; the video list
// none is deleted).  False when nothing was deleted.
bool deleteStream(TMPLS& playlist, std::size_t playItem, StnList list, std::size_t index);

// Keeps the lengths and later start addresses right after PlayItem
// `playItem` grew by `delta` bytes (negative: shrank), inside its STN table
// when `inStn`.
void playItemResized(TMPLS& playlist, std::size_t playItem, std::int64_t delta, bool inStn);

}  // namespace lumora
