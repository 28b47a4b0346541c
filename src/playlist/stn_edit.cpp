#include "playlist/stn_edit.h"

#include "core/text.h"
#include "playlist/stream_coding.h"

namespace lumora {
namespace {

constexpr std::size_t kMaxAudio = 32;
constexpr std::size_t kMaxPg = 255;
constexpr std::size_t kMaxIg = 32;

std::vector<TSTNStream>* plainList(TSTN& stn, StnList list) {
    switch (list) {
        case StnList::Video:
            return &stn.video;
        case StnList::Audio:
            return &stn.audio;
        case StnList::Pg:
            return &stn.pg;
        case StnList::Ig:
            return &stn.ig;
        case StnList::Pip:
            return &stn.pip;
        default:
            return nullptr;
    }
}

std::uint32_t adjusted(std::uint32_t value, std::int64_t delta) {
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(value) + delta);
}

TSTNStream defaultStream(StnList list) {
    TSTNStream s;
    s.language = "eng";
    if (list == StnList::Audio) {
        s.mainPid = 0x1100;
        s.codingType = 0x81;
        s.presentationType = 6;
        s.samplingFrequency = 1;
    } else if (list == StnList::Pg) {
        s.mainPid = 0x1200;
        s.codingType = 0x90;
    } else {
        s.entryType = kEntrySubPath;
        s.subPid = 0x1400;
        s.codingType = 0x91;
    }
    return s;
}

std::size_t limitOf(StnList list) {
    return list == StnList::Audio ? kMaxAudio
           : list == StnList::Pg  ? kMaxPg
           : list == StnList::Ig  ? kMaxIg
                                  : 0;
}

// Ids show as two decimal digits in the video and secondary lists, as two
// hexadecimal digits (four for a type 3 SubPath id) in the others.
bool decimalIds(StnList list) {
    return list == StnList::Video || list == StnList::SecondaryVideo ||
           list == StnList::SecondaryAudio;
}

}  // namespace

const std::array<std::string, kStnLists>& stnListHeaders() {
    static const std::array<std::string, kStnLists> headers{"Vi", "Au", "PG", "IG",
                                                            "sV", "sA", "PIP"};
    return headers;
}

std::size_t stnListCount(const TSTN& stn, StnList list) {
    if (list == StnList::SecondaryAudio) return stn.secondaryAudio.size();
    if (list == StnList::SecondaryVideo) return stn.secondaryVideo.size();
    return plainList(const_cast<TSTN&>(stn), list)->size();
}

TSTNStream& stnStream(TSTN& stn, StnList list, std::size_t index) {
    if (list == StnList::SecondaryAudio) return stn.secondaryAudio.at(index).stream;
    if (list == StnList::SecondaryVideo) return stn.secondaryVideo.at(index).stream;
    return plainList(stn, list)->at(index);
}

const TSTNStream& stnStream(const TSTN& stn, StnList list, std::size_t index) {
    return stnStream(const_cast<TSTN&>(stn), list, index);
}

std::uint32_t stnStreamSize(const TSTN& stn, StnList list, std::size_t index) {
    if (list == StnList::SecondaryAudio) return secondaryAudioSize(stn.secondaryAudio.at(index));
    if (list == StnList::SecondaryVideo) return secondaryVideoSize(stn.secondaryVideo.at(index));
    return streamSize(stnStream(stn, list, index));
}

std::array<std::string, kStnLists> stnCountCells(const TSTN& stn) {
    std::array<std::string, kStnLists> cells;
    for (int i = 0; i < kStnLists; ++i)
        cells[static_cast<std::size_t>(i)] =
            std::to_string(stnListCount(stn, static_cast<StnList>(i)));
    return cells;
}

std::string stnAttributeText(StnList list, const TSTNStream& s) {
    switch (list) {
        case StnList::Video:
        case StnList::SecondaryVideo:
            return codingTypeText(s.codingType) + ", " + videoFormatText(s.videoFormat) + ", " +
                   frameRateText(s.frameRate);
        case StnList::Audio:
        case StnList::SecondaryAudio:
            return codingTypeText(s.codingType) + ", " + presentationTypeText(s.presentationType) +
                   ", " + samplingFrequencyText(s.samplingFrequency) + ", " +
                   latin1ToUtf8(s.language);
        default:
            return latin1ToUtf8(s.language);
    }
}

std::array<std::string, 7> stnStreamCells(StnList list, std::size_t index, const TSTNStream& s) {
    const bool decimal = decimalIds(list);
    const auto id = [decimal](std::uint32_t value, int hexDigits) {
        return decimal ? zeroPad(value, 2) : hexText(value, hexDigits);
    };
    std::array<std::string, 7> cells{zeroPad(static_cast<std::int64_t>(index + 1), 3),
                                     entryTypeText(s.entryType),
                                     "",
                                     "",
                                     "",
                                     "",
                                     stnAttributeText(list, s)};
    if (s.entryType == kEntryPlayItem || s.entryType == kEntryInMuxPip)
        cells[2] = hexText(s.mainPid, 4);
    if (s.entryType == kEntrySubPath) {
        cells[3] = id(s.subPathId, 2);
        cells[4] = id(s.subClipEntryId, 2);
        cells[5] = hexText(s.subPid, 4);
    } else if (s.entryType == kEntryInMuxPip) {
        cells[3] = id(s.subPathId, 4);
    }
    return cells;
}

bool canInsertStream(const TSTN& stn, StnList list) {
    const std::size_t limit = limitOf(list);
    return limit > 0 && stnListCount(stn, list) < limit;
}

bool canDeleteStream(const TSTN& stn, StnList list) {
    const std::size_t count = stnListCount(stn, list);
    if (list == StnList::Video) return false;
    if (list == StnList::Audio) return count > 1;
    return count > 0;
}

void playItemResized(TMPLS& playlist, std::size_t playItem, std::int64_t delta, bool inStn) {
    TPlayItem& item = playlist.playList.playItems.at(playItem);
    if (inStn) item.stn.length = static_cast<std::uint16_t>(item.stn.length + delta);
    item.length = static_cast<std::uint16_t>(item.length + delta);
    playlist.playList.length = adjusted(playlist.playList.length, delta);
    playlist.markStart = adjusted(playlist.markStart, delta);
    if (playlist.extensionDataStart != 0)
        playlist.extensionDataStart = adjusted(playlist.extensionDataStart, delta);
}

bool insertStream(TMPLS& playlist, std::size_t playItem, StnList list, std::size_t at) {
    if (playItem >= playlist.playList.playItems.size()) return false;
    TSTN& stn = playlist.playList.playItems[playItem].stn;
    if (!canInsertStream(stn, list)) return false;
    std::vector<TSTNStream>& streams = *plainList(stn, list);
    const TSTNStream stream = defaultStream(list);
    streams.insert(streams.begin() + static_cast<std::ptrdiff_t>(std::min(at, streams.size())),
                   stream);
    playItemResized(playlist, playItem, streamSize(stream), true);
    return true;
}

bool deleteStream(TMPLS& playlist, std::size_t playItem, StnList list, std::size_t index) {
    if (playItem >= playlist.playList.playItems.size()) return false;
    TSTN& stn = playlist.playList.playItems[playItem].stn;
    if (!canDeleteStream(stn, list) || index >= stnListCount(stn, list)) return false;
    const std::uint32_t size = stnStreamSize(stn, list, index);
    if (list == StnList::SecondaryAudio) {
        stn.secondaryAudio.erase(stn.secondaryAudio.begin() + static_cast<std::ptrdiff_t>(index));
    } else if (list == StnList::SecondaryVideo) {
        stn.secondaryVideo.erase(stn.secondaryVideo.begin() + static_cast<std::ptrdiff_t>(index));
    } else {
        auto& streams = *plainList(stn, list);
        streams.erase(streams.begin() + static_cast<std::ptrdiff_t>(index));
    }
    playItemResized(playlist, playItem, -static_cast<std::int64_t>(size), true);
    return true;
}

}  // namespace lumora
