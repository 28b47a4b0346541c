// Playlists built in memory for the tests: the writer lays them out and the
// reader gives them their lengths and start addresses, as a file would.
#pragma once

#include "playlist/playlist_file.h"

namespace lumora::test {

inline TSTNStream videoStream() {
    TSTNStream s;
    s.mainPid = 0x1011;
    s.codingType = 0x1B;
    s.videoFormat = 6;
    s.frameRate = 1;
    return s;
}

inline TSTNStream audioStream(std::uint16_t pid, const char* language) {
    TSTNStream s;
    s.mainPid = pid;
    s.codingType = 0x83;
    s.presentationType = 6;
    s.samplingFrequency = 4;
    s.language = language;
    return s;
}

inline TPlayItem playItem(const char* clip, std::uint32_t in, std::uint32_t out) {
    TPlayItem item;
    item.clipName = clip;
    item.inTime = in;
    item.outTime = out;
    item.stn.video.push_back(videoStream());
    item.stn.audio.push_back(audioStream(0x1100, "eng"));
    return item;
}

// The model as the reader would give it back from the writer's bytes.
inline TMPLS asRead(const TMPLS& playlist) {
    TMPLS read;
    parsePlaylist(playlistBytes(playlist), "test.mpls", read);
    return read;
}

// `count` PlayItems of `seconds` each on clip 00000, IN at `in`.
inline TMPLS playlistOf(std::size_t count, std::uint32_t seconds = 1, std::uint32_t in = 0) {
    TMPLS p;
    for (std::size_t i = 0; i < count; ++i) {
        p.playList.playItems.push_back(playItem("00000", in, in + seconds * 45000));
    }
    return asRead(p);
}

}  // namespace lumora::test
