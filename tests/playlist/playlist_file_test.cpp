#include "playlist/playlist_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/file_io.h"
#include "core/text.h"
#include "playlist_fixtures.h"
#include "support/test_support.h"

namespace lumora {
namespace {

using test::asRead;
using test::hexBytes;

TMPLS richPlaylist() {
    TMPLS p;
    p.playbackType = 1;
    p.uoMask1 = 0x12345678;
    p.uoMask2 = 0x40000000;
    p.randomAccess = 1;
    p.audioMix = 1;
    TPlayItem first = test::playItem("00000", 900000, 1800000);
    first.randomAccess = 1;
    first.isMultiAngle = 1;
    first.angles.differentAudios = 1;
    first.angles.clips = {{"00000", "M2TS", 0}, {"00003", "M2TS", 1}, {"00004", "M2TS", 2}};
    first.stn.pg.push_back([] {
        TSTNStream s;
        s.mainPid = 0x1200;
        s.codingType = 0x90;
        s.language = "fra";
        return s;
    }());
    first.stn.pip.push_back([] {
        TSTNStream s;
        s.mainPid = 0x1A00;
        s.codingType = 0x90;
        s.language = "deu";
        return s;
    }());
    first.stn.ig.push_back([] {
        TSTNStream s;
        s.entryType = kEntrySubPath;
        s.subPathId = 0;
        s.subClipEntryId = 1;
        s.subPid = 0x1400;
        s.codingType = 0x91;
        s.language = "eng";
        return s;
    }());
    TSecAudio secondary;
    secondary.stream = test::audioStream(0x1A00, "eng");
    secondary.stream.codingType = 0xA1;
    secondary.primaryAudioRefs = {0, 1, 2};
    first.stn.secondaryAudio.push_back(secondary);
    TSecVideo pip;
    pip.stream = test::videoStream();
    pip.stream.entryType = kEntryInMuxPip;
    pip.stream.subPathId = 1;
    pip.secondaryAudioRefs = {0};
    pip.pipPgRefs = {0, 1};
    first.stn.secondaryVideo.push_back(pip);
    p.playList.playItems.push_back(first);
    p.playList.playItems.push_back(test::playItem("00001", 0, 45000 * 60));
    TSubPath path;
    path.type = 3;
    TSubPlayItem sub;
    sub.clipName = "00002";
    sub.outTime = 45000;
    sub.isMultiClipEntries = 1;
    sub.clips = {{"00002", "M2TS", 0}, {"00005", "M2TS", 0}};
    path.subPlayItems.push_back(sub);
    p.playList.subPaths.push_back(path);
    p.marks.marks = {TMark{0, kEntryMark, 0, 900000, 0xFFFF, 0},
                     TMark{0, kLinkPoint, 1, 45000, 0x1011, 90}};
    return p;
}

TEST(PlaylistFile, EveryPartRoundTrips) {
    const TMPLS read = asRead(richPlaylist());
    const Bytes bytes = playlistBytes(read);
    TMPLS again;
    ASSERT_TRUE(parsePlaylist(bytes, "00001.mpls", again).good());
    EXPECT_EQ(again, read);
    EXPECT_EQ(playlistBytes(again), bytes);

    const TPlayItem& item = read.playList.playItems[0];
    EXPECT_EQ(item.randomAccess, 1);
    ASSERT_EQ(item.angles.clips.size(), 3u);  // element 0 repeats the PlayItem's clip
    EXPECT_EQ(item.angles.clips[2].clipName, "00004");
    EXPECT_EQ(item.stn.pip[0].language, "deu");
    EXPECT_EQ(item.stn.secondaryAudio[0].primaryAudioRefs, (std::vector<std::uint8_t>{0, 1, 2}));
    EXPECT_EQ(read.playList.subPaths[0].subPlayItems[0].clips[1].clipName, "00005");
    EXPECT_EQ(read.marks.marks[1].entryPid, 0x1011);
    EXPECT_EQ(read.markStart, read.playListStart + 4 + read.playList.length);
}

TEST(PlaylistFile, LayoutOfSingleFields) {
    const Bytes bytes = playlistBytes(asRead(richPlaylist()));
    TMPLS read;
    ASSERT_TRUE(parsePlaylist(bytes, "x.mpls", read).good());
    // The PlayItem's random access byte is 0x80; a type 2 entry puts SubPath
    // id, subClip entry id and sub PID at entry offsets 2, 3 and 4.
    const std::size_t item = read.playListStart + 10;
    EXPECT_EQ(bytes[item + 2 + 5 + 4 + 2 + 1 + 16], 0x80);
    const Bytes entry = hexBytes("09 02 00 01 1400 00000000");
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), entry.begin(), entry.end()), bytes.end());
}

TEST(PlaylistFile, ReadsFixtures) {
    const Bytes good = playlistBytes(asRead(richPlaylist()));
    const auto changed = [&good](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    const TMPLS model = asRead(richPlaylist());
    const std::size_t items = model.playListStart + 6;  // the PlayItem count
    const struct {
        const char* name;
        Bytes bytes;
        ReadStatus status;
        const char* message;
    } cases[] = {
        {"valid", good, ReadStatus::Good, ""},
        {"one byte short", Bytes(good.begin(), good.end() - 1), ReadStatus::Truncated,
         "x.mpls: PlayListMark() runs past the end of the file at $"},
        {"count too large", changed(items + 1, 0x09), ReadStatus::Truncated, "x.mpls: PlayItem 2 "},
        {"bad magic", changed(0, 'N'), ReadStatus::BadFormat, "Invalid format: x.mpls"},
        {"version 0300", changed(5, '3'), ReadStatus::BadFormat, "Invalid format: x.mpls"},
        {"PlayItem longer than its list", changed(model.playListStart + 10, 0xFF),
         ReadStatus::Truncated, "x.mpls: PlayItem 0 runs past the end of the file"},
    };
    for (const auto& c : cases) {
        TMPLS p;
        const ReadOutcome outcome = parsePlaylist(c.bytes, "x.mpls", p);
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(outcome.message.rfind(c.message, 0), 0u) << c.name << ": " << outcome.message;
    }
}

TEST(PlaylistFile, UnknownPartsAreKeptAndStayAligned) {
    TMPLS p = richPlaylist();
    TSTNStream& audio = p.playList.playItems[1].stn.audio[0];
    audio.entryLength = 12;  // three bytes more than the program knows
    audio.entryTail = {0xAA, 0xBB, 0xCC};
    TSTNStream odd;
    odd.entryType = 7;  // no known layout
    odd.entryTail = hexBytes("0102030405060708");
    odd.attributesLength = 5;
    odd.codingType = 0x20;
    odd.attributesTail = hexBytes("11121314");
    p.playList.playItems[1].stn.audio.push_back(odd);
    p.playList.playItems[1].tail = hexBytes("DEAD");
    p.playList.subPaths[0].tail = hexBytes("BEEF");
    p.appInfoTail = hexBytes("0000");
    const TMPLS read = asRead(p);
    EXPECT_EQ(read.playList.playItems[1].stn.audio[0].entryTail, hexBytes("AABBCC"));
    EXPECT_EQ(read.playList.playItems[1].stn.audio[1].entryTail, hexBytes("0102030405060708"));
    EXPECT_EQ(read.playList.playItems[1].stn.audio[1].attributesTail, hexBytes("11121314"));
    EXPECT_EQ(read.playList.playItems[1].tail, hexBytes("DEAD"));
    EXPECT_EQ(read.playList.subPaths[0].tail, hexBytes("BEEF"));
    EXPECT_EQ(read.marks.marks.size(), 2u);  // everything after them still in place
    EXPECT_EQ(read.appInfoLength, 16u);
    EXPECT_EQ(asRead(read), read);
}

TEST(PlaylistFile, RealPlaylists) {
    LUMORA_REQUIRE_SAMPLES();
    const struct {
        const char* file;
        std::size_t items, paths, marks;
    } cases[] = {
        {"bigbuckbunny/BDMV/PLAYLIST/00000.mpls", 1, 0, 1},
        {"feature-disc/BDMV/PLAYLIST/00002.mpls", 4, 1, 17},
        {"files/00800_4Angle.mpls", 37, 0, 64},
        {"files/00003_Padding_Zero.mpls", 2, 1, 14},
        {"files/00000_tsMuxer.mpls", 1, 0, 4},
        {"files/00011_24_Eva.mpls", 1, 0, 46},
        {"files/00002_166_PlayItems.mpls", 166, 1, 1},
    };
    for (const auto& c : cases) {
        const Bytes data = readFileBytes(test::samplesDir() + "/" + c.file);
        TMPLS p;
        ASSERT_TRUE(parsePlaylist(data, "x.mpls", p).good()) << c.file;
        EXPECT_EQ(p.playList.playItems.size(), c.items) << c.file;
        EXPECT_EQ(p.playList.subPaths.size(), c.paths) << c.file;
        EXPECT_EQ(p.marks.marks.size(), c.marks) << c.file;
        const Bytes written = playlistBytes(p);
        EXPECT_EQ(written, data) << c.file;  // padding after the marks included
        TMPLS again;
        EXPECT_TRUE(parsePlaylist(written, "x.mpls", again).good());
        EXPECT_EQ(again, p) << c.file;
    }
    // A chapter text that begins like a playlist is refused.
    TMPLS p;
    EXPECT_FALSE(
        parsePlaylist(readFileBytes(test::samplesDir() + "/files/00001_Invalid.mpls"), "x.mpls", p)
            .good());
}

TEST(PlaylistFile, ReadLogsTheFoundLine) {
    test::TempDir dir;
    const std::string folder = dir.path().string() + "/";
    test::writeFile(folder + "00001.mpls", playlistBytes(richPlaylist()));
    RecordingSink sink;
    Reporter reporter(sink);
    TMPLS p;
    ASSERT_TRUE(readPlaylistFile(folder + "00001.mpls", "00001.mpls", p, reporter).good());
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{
                                " Reading 00001.mpls",
                                " 2 PlayItem(s), 1 SubPath(s) and 2 PlayListMark(s) found.", " "}));
    p.playbackType = 2;
    ASSERT_TRUE(savePlaylistFile(folder, "00001.mpls", p, reporter, BackupOptions{}));
    EXPECT_TRUE(fileExists(folder + "00001.mpls.backup"));
    TMPLS again;
    ASSERT_TRUE(
        readPlaylistFile(folder + "00001.mpls", "00001.mpls", again, reporter, true).good());
    EXPECT_EQ(again.playbackType, 2);
    EXPECT_EQ(sink.texts().back(), " Reading 00001.mpls");  // silent: no found line
}

TEST(TimeText, FromTicks) {
    EXPECT_EQ(timeText45(162000000), "01:00:00.000");
    EXPECT_EQ(timeText45(45), "00:00:00.001");
    EXPECT_EQ(timeText45(44), "00:00:00.000");
    EXPECT_EQ(timeText45(0xFFFFFFFFull), "26:30:43.717");
    EXPECT_EQ(timeTextTo90k("01:00:00.000"), 324000000u);
    EXPECT_EQ(timeTextTo90k("00:00:01.500"), 135000u);
    EXPECT_FALSE(timeTextTo90k("00-00:01.500").has_value());
    EXPECT_FALSE(timeTextTo90k("00:0a:01.500").has_value());
    EXPECT_FALSE(timeTextTo90k("1:00:00.000").has_value());
}

}  // namespace
}  // namespace lumora
