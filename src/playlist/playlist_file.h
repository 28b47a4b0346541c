// A playlist file (.mpls): AppInfoPlayList, the PlayList with its PlayItems
// (each a stretch of one clip with the STN table of its selectable streams)
// and SubPaths, the PlayListMarks and an optional ExtensionData block.
//
// Every length-prefixed block is read within its stored length.  Bytes a
// block holds beyond the fields the program knows are kept as its `tail` and
// written back, so unknown extensions survive a save and the parse stays
// aligned; a block whose known fields do not fit its length is refused.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/extension_data.h"
#include "core/folder.h"
#include "core/report.h"
#include "navigation/read_outcome.h"

namespace lumora {

struct TClipRef {
    std::string clipName;  // 5 characters
    std::string codecId;   // 4 characters, "M2TS"
    std::uint8_t stcId = 0;
    bool operator==(const TClipRef&) const = default;
};

struct Tmulti_clip {
    std::uint8_t differentAudios = 0;
    std::uint8_t seamlessAngleChange = 0;
    // One per angle; element 0 repeats the PlayItem's own clip.  Empty when
    // the PlayItem is not multi-angle.
    std::vector<TClipRef> clips;
    bool operator==(const Tmulti_clip&) const = default;
};

enum StreamEntryType : std::uint8_t {
    kEntryPlayItem = 1,  // a stream of the PlayItem's clip
    kEntrySubPath = 2,   // a stream of a sub-clip
    kEntryInMuxPip = 3,  // in-mux picture in picture
};

struct TSTNStream {
    // Stream entry.
    std::uint8_t entryLength = 9;
    std::uint8_t entryType = kEntryPlayItem;
    std::uint16_t mainPid = 0;        // types 1 and 3
    std::uint16_t subPid = 0;         // type 2
    std::uint8_t subPathId = 0;       // types 2 and 3
    std::uint8_t subClipEntryId = 0;  // type 2
    Bytes entryTail;                  // entry bytes beyond the known fields
    // Stream attributes.
    std::uint8_t attributesLength = 5;
    std::uint8_t codingType = 0;
    std::uint8_t videoFormat = 0;
    std::uint8_t frameRate = 0;
    std::uint8_t presentationType = 0;
    std::uint8_t samplingFrequency = 0;
    std::string language;  // 3 characters
    std::uint8_t characterCode = 0;
    Bytes attributesTail;
    bool operator==(const TSTNStream&) const = default;
};

struct TSecAudio {
    TSTNStream stream;
    std::vector<std::uint8_t> primaryAudioRefs;
    bool operator==(const TSecAudio&) const = default;
};

struct TSecVideo {
    TSTNStream stream;
    std::vector<std::uint8_t> secondaryAudioRefs;
    std::vector<std::uint8_t> pipPgRefs;
    bool operator==(const TSecVideo&) const = default;
};

struct TSTN {
    std::uint16_t length = 14;  // bytes after the length field
    std::uint16_t reserved = 0;
    std::vector<TSTNStream> video;
    std::vector<TSTNStream> audio;
    std::vector<TSTNStream> pg;  // PG and text subtitles
    std::vector<TSTNStream> ig;
    std::vector<TSTNStream> pip;  // PiP PG and text subtitles, after the PG streams in the file
    std::vector<TSecAudio> secondaryAudio;
    std::vector<TSecVideo> secondaryVideo;
    Bytes tail;
    bool operator==(const TSTN&) const = default;
};

struct TPlayItem {
    std::uint16_t length = 0;  // bytes after the length field
    std::string clipName;
    std::string codecId = "M2TS";
    std::uint8_t isMultiAngle = 0;
    std::uint8_t connectionCondition = 1;
    std::uint8_t stcId = 0;
    std::uint32_t inTime = 0;   // 45 kHz
    std::uint32_t outTime = 0;  // 45 kHz
    std::uint32_t uoMask1 = 0;
    std::uint32_t uoMask2 = 0;
    std::uint8_t randomAccess = 0;
    std::uint8_t stillMode = 0;
    std::uint16_t stillTime = 0;
    Tmulti_clip angles;
    TSTN stn;
    Bytes tail;
    bool operator==(const TPlayItem&) const = default;
};

struct TSubPlayItem {
    std::uint16_t length = 0;
    std::string clipName;
    std::string codecId = "M2TS";
    std::uint8_t connectionCondition = 1;
    std::uint8_t isMultiClipEntries = 0;
    std::uint8_t stcId = 0;
    std::uint32_t inTime = 0;
    std::uint32_t outTime = 0;
    std::uint16_t syncPlayItemId = 0;
    std::uint32_t syncStartPts = 0;
    std::uint8_t reserved = 0;  // after the clip entry count
    // Element 0 repeats the SubPlayItem's own clip; empty without multi clip
    // entries.
    std::vector<TClipRef> clips;
    Bytes tail;
    bool operator==(const TSubPlayItem&) const = default;
};

struct TSubPath {
    std::uint32_t length = 0;
    std::uint8_t reserved1 = 0;
    std::uint8_t type = 0;
    std::uint16_t repeat = 0;  // bit 0 is the repeat flag; the word is kept whole
    std::uint8_t reserved2 = 0;
    std::vector<TSubPlayItem> subPlayItems;
    Bytes tail;
    bool operator==(const TSubPath&) const = default;
};

struct TPlayList {
    std::uint32_t length = 6;
    std::uint16_t reserved = 0;
    std::vector<TPlayItem> playItems;
    std::vector<TSubPath> subPaths;
    Bytes tail;
    bool operator==(const TPlayList&) const = default;
};

enum MarkType : std::uint8_t { kEntryMark = 1, kLinkPoint = 2 };

struct TMark {
    std::uint8_t reserved = 0;
    std::uint8_t type = kEntryMark;
    std::uint16_t playItemId = 0;
    std::uint32_t time = 0;  // 45 kHz, on the PlayItem's clip time line
    std::uint16_t entryPid = 0xFFFF;
    std::uint32_t duration = 0;
    bool operator==(const TMark&) const = default;
};

struct TPlayListMark {
    std::uint32_t length = 2;
    std::vector<TMark> marks;
    Bytes tail;
    bool operator==(const TPlayListMark&) const = default;
};

struct TMPLS {
    std::string typeIndicator = "MPLS";
    std::string version = "0200";
    std::uint32_t playListStart = 58;
    std::uint32_t markStart = 68;
    std::uint32_t extensionDataStart = 0;  // 0 = none
    std::uint32_t appInfoLength = 14;
    std::uint8_t appInfoReserved = 0;
    std::uint8_t playbackType = 1;  // 1 Sequential, 2 Random, 3 Shuffle
    std::uint16_t playbackCount = 0;
    std::uint32_t uoMask1 = 0;
    std::uint32_t uoMask2 = 0;
    std::uint8_t randomAccess = 0;
    std::uint8_t audioMix = 0;
    std::uint8_t bypassMixer = 0;
    Bytes appInfoTail;
    TPlayList playList;
    TPlayListMark marks;
    TExtensionData extensionData;
    // Bytes after the last block (padding some tools add); written back.
    Bytes trailing;
    bool operator==(const TMPLS&) const = default;
};

// Bytes each part takes in the file (its length field included).
std::uint32_t streamSize(const TSTNStream& stream);
std::uint32_t secondaryAudioSize(const TSecAudio& stream);
std::uint32_t secondaryVideoSize(const TSecVideo& stream);
std::uint32_t stnSize(const TSTN& stn);
std::uint32_t playItemSize(const TPlayItem& item);
std::uint32_t subPlayItemSize(const TSubPlayItem& item);
std::uint32_t subPathSize(const TSubPath& path);

// Parses a whole playlist.  On BadFormat `playlist` keeps everything but its
// type indicator and version; otherwise it holds what was read.
ReadOutcome parsePlaylist(ByteView data, std::string_view name, TMPLS& playlist);
// The file's bytes: the blocks back to back, every length and start address
// as the content needs it.
Bytes playlistBytes(const TMPLS& playlist);

// The Read with its log lines ("Reading [bl]name[/bl]", errors, the found
// line with log2).  `silent` leaves out the found line, as the
// cross-reference walk over every playlist wants.  Throws FileError.
ReadOutcome readPlaylistFile(const std::string& path, std::string_view name, TMPLS& playlist,
                             Reporter& reporter, bool silent = false);
// Save into `folder` (the PLAYLIST folder, ending with "/"): backup step,
// safe write.  Returns false when nothing was written.  Throws FileError.
bool savePlaylistFile(const std::string& folder, std::string_view name, const TMPLS& playlist,
                      Reporter& reporter, const BackupOptions& backup);

// The ExtensionData block chosen in the dialog; the start address follows.
void setPlaylistExtensionData(TMPLS& playlist, TExtensionData block);

}  // namespace lumora
