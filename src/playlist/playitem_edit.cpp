#include "playlist/playitem_edit.h"

#include <algorithm>
#include <charconv>
#include <functional>

#include "core/text.h"
#include "playlist/stream_coding.h"

namespace lumora {
namespace {

constexpr std::uint32_t kMarkSize = 14;
constexpr std::uint16_t kVideoPid = 0x1011;
constexpr std::uint8_t kAvc = 0x1B;
constexpr std::uint8_t k1080p = 6;
constexpr std::uint8_t k23976 = 1;
constexpr std::uint8_t kIgMenuPath = 3;
constexpr std::uint8_t kSlideshowAudioPath = 2;
constexpr std::uint32_t kSyncPlayItemModulus = 999;

std::uint32_t adjusted(std::uint32_t value, std::int64_t delta) {
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(value) + delta);
}

// A time moved by `delta`, kept inside what 32 bits hold.
std::uint32_t moved(std::uint32_t value, std::int64_t delta) {
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(static_cast<std::int64_t>(value) + delta, 0, 0xFFFFFFFF));
}

bool hasBlank(std::string_view text) {
    return text.find(' ') != std::string_view::npos;
}

std::optional<std::uint32_t> decimal(std::string_view text) {
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// The PlayList grew (or shrank) by `delta` bytes: PlayListMark and
// ExtensionData move behind it.
void playListResized(TMPLS& playlist, std::int64_t delta) {
    playlist.playList.length = adjusted(playlist.playList.length, delta);
    playlist.markStart = adjusted(playlist.markStart, delta);
    if (playlist.extensionDataStart != 0)
        playlist.extensionDataStart = adjusted(playlist.extensionDataStart, delta);
}

void subPlayItemResized(TMPLS& playlist, std::size_t path, std::size_t item, std::int64_t delta) {
    TSubPath& subPath = playlist.playList.subPaths[path];
    TSubPlayItem& sub = subPath.subPlayItems[item];
    sub.length = static_cast<std::uint16_t>(sub.length + delta);
    subPath.length = adjusted(subPath.length, delta);
    playListResized(playlist, delta);
}

std::vector<RemovedMark> removeMarksOf(TMPLS& playlist, std::uint16_t playItem) {
    auto& marks = playlist.marks.marks;
    std::vector<RemovedMark> removed;
    std::vector<TMark> kept;
    kept.reserve(marks.size());
    for (std::size_t i = 0; i < marks.size(); ++i) {
        if (marks[i].playItemId == playItem)
            removed.push_back({i, marks[i]});
        else
            kept.push_back(marks[i]);
    }
    marks = std::move(kept);
    const std::int64_t delta = -static_cast<std::int64_t>(removed.size()) * kMarkSize;
    playlist.marks.length = adjusted(playlist.marks.length, delta);
    if (playlist.extensionDataStart != 0)
        playlist.extensionDataStart = adjusted(playlist.extensionDataStart, delta);
    return removed;
}

// Moves every PlayItem reference at or behind `from` by `step` (+1 after an
// insert, -1 after a delete).
void renumberPlayItems(TMPLS& playlist, std::size_t from, int step) {
    for (TMark& mark : playlist.marks.marks) {
        if (mark.playItemId >= from)
            mark.playItemId = static_cast<std::uint16_t>(mark.playItemId + step);
    }
    for (TSubPath& path : playlist.playList.subPaths) {
        for (TSubPlayItem& sub : path.subPlayItems) {
            if (sub.syncPlayItemId >= from)
                sub.syncPlayItemId = static_cast<std::uint16_t>(sub.syncPlayItemId + step);
        }
    }
}

template <typename Visit>
void forEachStnStream(TMPLS& playlist, Visit visit) {
    for (TPlayItem& item : playlist.playList.playItems) {
        TSTN& stn = item.stn;
        for (auto* list : {&stn.video, &stn.audio, &stn.pg, &stn.pip, &stn.ig}) {
            for (TSTNStream& s : *list)
                visit(s);
        }
        for (TSecAudio& s : stn.secondaryAudio)
            visit(s.stream);
        for (TSecVideo& s : stn.secondaryVideo)
            visit(s.stream);
    }
}

// Moves the SubPath id of every STN entry naming a SubPath at or behind
// `from` by `step`.
void renumberSubPaths(TMPLS& playlist, std::size_t from, int step) {
    forEachStnStream(playlist, [from, step](TSTNStream& s) {
        const bool namesSubPath = s.entryType == kEntrySubPath || s.entryType == kEntryInMuxPip;
        if (namesSubPath && s.subPathId >= from)
            s.subPathId = static_cast<std::uint8_t>(s.subPathId + step);
    });
}

TSTNStream newVideoStream() {
    TSTNStream s;
    s.mainPid = kVideoPid;
    s.codingType = kAvc;
    s.videoFormat = k1080p;
    s.frameRate = k23976;
    return s;
}

PlayItemCellEdit editIn(TMPLS& playlist, std::size_t item, std::string_view text, ReportSink& ask) {
    const auto time = typedTime45(text);
    if (!time) return {CellEdit::Typing, {}};
    return {CellEdit::Taken, changeInTime(playlist, item, *time, ask)};
}

CellEdit setHexWord(std::uint32_t& word, std::string_view text, std::uint32_t mask) {
    if (text.size() != 8 || hasBlank(text)) return CellEdit::Typing;
    word = static_cast<std::uint32_t>(hexToNumber(text)) & mask;
    return CellEdit::Taken;
}

CellEdit setTime(std::uint32_t& field, std::string_view text) {
    const auto time = typedTime45(text);
    if (!time) return CellEdit::Typing;
    field = *time;
    return CellEdit::Taken;
}

// A number typed into a digit cell; blanks mean it is still being typed.
CellEdit setNumber(std::string_view text, std::uint32_t limit,
                   const std::function<void(std::uint32_t)>& store) {
    if (text.empty() || hasBlank(text)) return CellEdit::Typing;
    const auto value = decimal(text);
    if (!value || *value > limit) return CellEdit::Shown;
    store(*value);
    return CellEdit::Taken;
}

// "multi": element 0 of the clip entries repeats the SubPlayItem's own clip,
// so switching on starts the list with it and switching off empties it.
CellEdit setMultiClip(TMPLS& playlist, std::size_t path, std::size_t item, std::string_view text) {
    if (text.empty() || hasBlank(text)) return CellEdit::Typing;
    TSubPlayItem& sub = playlist.playList.subPaths[path].subPlayItems[item];
    const std::uint8_t multi = text == "Y" || text == "y" ? 1 : 0;
    if (multi == sub.isMultiClipEntries) return CellEdit::Taken;
    const std::uint32_t before = subPlayItemSize(sub);
    sub.isMultiClipEntries = multi;
    if (multi) {
        sub.clips = {TClipRef{sub.clipName, sub.codecId, sub.stcId}};
    } else {
        sub.clips.clear();
    }
    subPlayItemResized(playlist, path, item,
                       static_cast<std::int64_t>(subPlayItemSize(sub)) - before);
    return CellEdit::Taken;
}

}  // namespace

std::optional<std::uint32_t> typedTime45(std::string_view text) {
    if (text.size() != 12 || hasBlank(text)) return std::nullopt;
    const auto ticks90 = timeTextTo90k(text);
    if (!ticks90 || *ticks90 / 2 > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<std::uint32_t>(*ticks90 / 2);
}

TPlayItem newPlayItem(std::string_view clipName) {
    TPlayItem item;
    item.clipName = std::string(clipName);
    item.codecId = "M2TS";
    // Connection condition 1 ("not seamless") is what a new piece of a
    // playlist needs; 0 is not a valid condition.
    item.connectionCondition = 1;
    item.stn.video.push_back(newVideoStream());
    item.stn.length = static_cast<std::uint16_t>(stnSize(item.stn) - 2);
    item.length = static_cast<std::uint16_t>(playItemSize(item) - 2);
    return item;
}

std::optional<std::size_t> insertPlayItem(TMPLS& playlist, std::size_t at,
                                          std::string_view clipName) {
    auto& items = playlist.playList.playItems;
    if (items.size() >= kMaxPlayItems) return std::nullopt;
    at = std::min(at, items.size());
    const TPlayItem item = newPlayItem(clipName);
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), item);
    renumberPlayItems(playlist, at, +1);
    playListResized(playlist, playItemSize(item));
    return at;
}

std::optional<std::vector<RemovedMark>> deletePlayItem(TMPLS& playlist, std::size_t index) {
    auto& items = playlist.playList.playItems;
    if (index >= items.size()) return std::nullopt;
    const std::uint32_t size = playItemSize(items[index]);
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
    playListResized(playlist, -static_cast<std::int64_t>(size));
    auto removed = removeMarksOf(playlist, static_cast<std::uint16_t>(index));
    renumberPlayItems(playlist, index + 1, -1);
    return removed;
}

std::string removedMarkText(const RemovedMark& removed, std::size_t playItem) {
    std::string type = markTypeText(removed.mark.type);
    if (type.empty()) type = "mark type 0";
    return "Mark " + zeroPad(static_cast<std::int64_t>(removed.number), 3) + " (" + type + " at " +
           timeText45(removed.mark.time) + ") deleted with PlayItem " +
           zeroPad(static_cast<std::int64_t>(playItem), 3);
}

InTimeCascade changeInTime(TMPLS& playlist, std::size_t item, std::uint32_t in, ReportSink& ask) {
    InTimeCascade cascade;
    if (item >= playlist.playList.playItems.size()) return cascade;
    TPlayItem& playItem = playlist.playList.playItems[item];
    if (in == playItem.inTime) return cascade;
    const std::int64_t delta = static_cast<std::int64_t>(in) - playItem.inTime;
    playItem.inTime = in;
    if (ask.askYesNo("Do you want to update OUT time?")) {
        playItem.outTime = moved(playItem.outTime, delta);
        cascade.outMoved = true;
    }
    if (!playlist.playList.subPaths.empty() &&
        ask.askYesNo("Do you want to update SubPlayItems' IN/OUT times?")) {
        for (TSubPath& path : playlist.playList.subPaths) {
            for (TSubPlayItem& sub : path.subPlayItems) {
                sub.inTime = moved(sub.inTime, delta);
                sub.outTime = moved(sub.outTime, delta);
            }
        }
        cascade.subPlayItemsMoved = true;
    }
    auto& marks = playlist.marks.marks;
    if (!marks.empty() && ask.askYesNo("Do you want to update PlayListMarks' marktimes?")) {
        for (std::size_t i = 0; i < marks.size(); ++i) {
            if (marks[i].playItemId != item) continue;
            marks[i].time = moved(marks[i].time, delta);
            cascade.marksMoved.push_back(i);
        }
    }
    return cascade;
}

PlayItemCellEdit editPlayItemCell(TMPLS& playlist, std::size_t item, PlayItemColumn column,
                                  std::string_view text, ReportSink& ask) {
    if (item >= playlist.playList.playItems.size()) return {};
    TPlayItem& playItem = playlist.playList.playItems[item];
    switch (column) {
        case PlayItemColumn::File:
            if (text.size() != 5 || hasBlank(text)) return {CellEdit::Typing, {}};
            playItem.clipName = std::string(text);
            // Angle 0 is the PlayItem's own clip.
            if (!playItem.angles.clips.empty())
                playItem.angles.clips[0].clipName = playItem.clipName;
            return {CellEdit::Taken, {}};
        case PlayItemColumn::In:
            return editIn(playlist, item, text, ask);
        case PlayItemColumn::Out:
            return {setTime(playItem.outTime, text), {}};
        case PlayItemColumn::Uo1:
            return {setHexWord(playItem.uoMask1, text, 0xFFFFFFFF), {}};
        case PlayItemColumn::Uo2:
            return {setHexWord(playItem.uoMask2, text, 0x40000000), {}};
        case PlayItemColumn::Type:
        case PlayItemColumn::Length:
        case PlayItemColumn::Angles:
            break;
    }
    return {};
}

TSubPath newSubPath(const TMPLS& playlist) {
    TSubPlayItem sub;
    sub.clipName = "00000";
    sub.codecId = "M2TS";
    if (!playlist.playList.playItems.empty()) {
        const TPlayItem& first = playlist.playList.playItems.front();
        sub.clipName = first.clipName;
        sub.codecId = first.codecId;
        sub.inTime = first.inTime;
        sub.outTime = first.outTime;
    }
    sub.connectionCondition = 1;
    sub.length = static_cast<std::uint16_t>(subPlayItemSize(sub) - 2);
    TSubPath path;
    path.type = kIgMenuPath;
    path.subPlayItems.push_back(sub);
    path.length = subPathSize(path) - 4;
    return path;
}

std::optional<std::size_t> insertSubPath(TMPLS& playlist, std::size_t at) {
    auto& paths = playlist.playList.subPaths;
    if (paths.size() >= kMaxSubPaths) return std::nullopt;
    at = std::min(at, paths.size());
    const TSubPath path = newSubPath(playlist);
    paths.insert(paths.begin() + static_cast<std::ptrdiff_t>(at), path);
    renumberSubPaths(playlist, at, +1);
    playListResized(playlist, subPathSize(path));
    return at;
}

bool deleteSubPath(TMPLS& playlist, std::size_t index) {
    auto& paths = playlist.playList.subPaths;
    if (index >= paths.size()) return false;
    const std::uint32_t size = subPathSize(paths[index]);
    paths.erase(paths.begin() + static_cast<std::ptrdiff_t>(index));
    renumberSubPaths(playlist, index + 1, -1);
    playListResized(playlist, -static_cast<std::int64_t>(size));
    return true;
}

bool repeatListEnabled(std::uint8_t type) {
    return type == kSlideshowAudioPath;
}

bool setSubPathType(TMPLS& playlist, std::size_t path, std::uint8_t type) {
    if (path >= playlist.playList.subPaths.size()) return false;
    TSubPath& subPath = playlist.playList.subPaths[path];
    subPath.type = type;
    if (!repeatListEnabled(type)) subPath.repeat = 0;
    return repeatListEnabled(type);
}

void setSubPathRepeat(TMPLS& playlist, std::size_t path, std::uint16_t item) {
    if (path < playlist.playList.subPaths.size()) playlist.playList.subPaths[path].repeat = item;
}

const std::vector<std::string>& subPathTypeItems() {
    static const std::vector<std::string> items = [] {
        std::vector<std::string> list;
        for (std::uint8_t type = 0; type < 8; ++type)
            list.push_back(subPathTypeText(type));
        return list;
    }();
    return items;
}

const std::vector<std::string>& repeatItems() {
    static const std::vector<std::string> items{"No", "Yes"};
    return items;
}

std::string subPathTypeHint(std::uint8_t type) {
    switch (type) {
        case 2:
            return "Primary audio presentation path of the Browsable slideshow";
        case 3:
            return "Interactive Graphics presentation menu";
        case 4:
            return "Text subtitle presentation path";
        case 5:
            return "Out-of-mux and Synchronous type of one or more elementary streams path";
        case 6:
            return "Out-of-mux and Asynchronous type of Picture-in-Picture presentation path";
        case 7:
            return "In-mux and Synchronous type of Picture-in-Picture presentation path";
        default:
            return "reserved";
    }
}

CellEdit editSubPlayItemCell(TMPLS& playlist, std::size_t path, std::size_t item,
                             SubPlayItemColumn column, std::string_view text) {
    auto& paths = playlist.playList.subPaths;
    if (path >= paths.size() || item >= paths[path].subPlayItems.size()) return CellEdit::Shown;
    TSubPlayItem& sub = paths[path].subPlayItems[item];
    switch (column) {
        case SubPlayItemColumn::File:
            if (text.size() != 5 || hasBlank(text)) return CellEdit::Typing;
            sub.clipName = std::string(text);
            if (!sub.clips.empty()) sub.clips[0].clipName = sub.clipName;
            return CellEdit::Taken;
        case SubPlayItemColumn::Connection:
            // Only 5 and 6 (seamless) are kept; anything else is 1.
            return setNumber(text, 0xFFFFFFFF, [&sub](std::uint32_t value) {
                sub.connectionCondition =
                    static_cast<std::uint8_t>(value == 5 || value == 6 ? value : 1);
            });
        case SubPlayItemColumn::Multi:
            return setMultiClip(playlist, path, item, text);
        case SubPlayItemColumn::Stc:
            return setNumber(text, 0xFF, [&sub](std::uint32_t value) {
                sub.stcId = static_cast<std::uint8_t>(value);
                if (!sub.clips.empty()) sub.clips[0].stcId = sub.stcId;
            });
        case SubPlayItemColumn::In:
            return setTime(sub.inTime, text);
        case SubPlayItemColumn::Out:
            return setTime(sub.outTime, text);
        case SubPlayItemColumn::SyncPlayItem:
            return setNumber(text, 0xFFFFFFFF, [&sub](std::uint32_t value) {
                sub.syncPlayItemId = static_cast<std::uint16_t>(value % kSyncPlayItemModulus);
            });
        case SubPlayItemColumn::SyncPts:
            return setTime(sub.syncStartPts, text);
        case SubPlayItemColumn::Type:
        case SubPlayItemColumn::Angles:
            break;
    }
    return CellEdit::Shown;
}

}  // namespace lumora
