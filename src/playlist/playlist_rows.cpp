#include "playlist/playlist_rows.h"

#include "core/text.h"
#include "playlist/stream_coding.h"

namespace lumora {
namespace {

std::string number3(std::size_t index) {
    return zeroPad(static_cast<std::int64_t>(index), 3);
}

}  // namespace

std::array<std::string, 9> playItemRowCells(std::size_t index, const TPlayItem& item) {
    const std::uint32_t length = item.outTime >= item.inTime ? item.outTime - item.inTime : 0;
    return {number3(index),
            latin1ToUtf8(item.clipName),
            latin1ToUtf8(item.codecId),
            timeText45(item.inTime),
            timeText45(item.outTime),
            timeText45(length),
            hexText(item.uoMask1, 8),
            hexText(item.uoMask2, 8),
            std::to_string(item.isMultiAngle ? item.angles.clips.size() : 0)};
}

std::array<std::string, 4> subPathRowCells(std::size_t index, const TSubPath& path) {
    return {number3(index), subPathTypeText(path.type), path.repeat != 0 ? "Yes" : "No",
            std::to_string(path.subPlayItems.size())};
}

std::array<std::string, 11> subPlayItemRowCells(std::size_t index, const TSubPlayItem& item) {
    return {number3(index),
            latin1ToUtf8(item.clipName),
            latin1ToUtf8(item.codecId),
            std::to_string(item.connectionCondition),
            item.isMultiClipEntries ? "Yes" : "No",
            std::to_string(item.stcId),
            timeText45(item.inTime),
            timeText45(item.outTime),
            std::to_string(item.syncPlayItemId),
            timeText45(item.syncStartPts),
            std::to_string(item.clips.size())};
}

std::array<std::string, 4> clipRefRowCells(std::size_t index, const TClipRef& clip) {
    return {std::to_string(index + 1), latin1ToUtf8(clip.clipName), latin1ToUtf8(clip.codecId),
            std::to_string(clip.stcId)};
}

std::string playlistPlaybackTypeText(std::uint8_t type) {
    switch (type) {
        case 1:
            return "Sequential";
        case 2:
            return "Random";
        case 3:
            return "Shuffle";
        default:
            return std::to_string(type);
    }
}

}  // namespace lumora
