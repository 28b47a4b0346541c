// The grid rows of a playlist as the PLAYLIST tab and the command line show
// them.
#pragma once

#include <array>
#include <string>

#include "playlist/playlist_file.h"

namespace lumora {

// number, "file", "type", "IN time", "OUT time", "length", "UO1", "UO2", "An"
std::array<std::string, 9> playItemRowCells(std::size_t index, const TPlayItem& item);
// number, "type", "repeat", "item"
std::array<std::string, 4> subPathRowCells(std::size_t index, const TSubPath& path);
// number, "file", "type", "conn", "multi", "STC", "IN time", "OUT time",
// "sync PI", "sync PTS", "An"
std::array<std::string, 11> subPlayItemRowCells(std::size_t index, const TSubPlayItem& item);
// number, "file", "type", "STC" of an angle or clip entry (numbered from 1)
std::array<std::string, 4> clipRefRowCells(std::size_t index, const TClipRef& clip);

std::string playlistPlaybackTypeText(std::uint8_t type);  // "Sequential", "Random", "Shuffle"

}  // namespace lumora
