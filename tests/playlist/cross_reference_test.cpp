#include "playlist/cross_reference.h"

#include <gtest/gtest.h>

#include "playlist_fixtures.h"
#include "support/test_support.h"

namespace lumora {
namespace {

constexpr std::uint32_t kPlayPlaylist = 0x22800000;
constexpr std::uint32_t kPlayPlaylistRegister = 0x22000000;
constexpr std::uint32_t kPlayMark = 0x42820000;
constexpr std::uint32_t kPlayItemBoth = 0x42C10000;
constexpr std::uint32_t kMoveImmediate = 0x50400001;

Tmobject objectOf(TCommands commands) {
    Tmobject object;
    object.commands = std::move(commands);
    return object;
}

TEST(CrossReference, MovieObjectsThatPlayAPlaylist) {
    TMOBJ objects;
    objects.objects = {
        objectOf({{kPlayPlaylist, 1, 0}}),
        objectOf({{kMoveImmediate, 0, 2}, {kPlayMark, 1, 3}, {kPlayItemBoth, 2, 1}}),
        // The playlist number comes from GPR 0: not a use the Find can see.
        objectOf({{kMoveImmediate, 0, 1}, {kPlayPlaylistRegister, 0, 0}}),
    };
    EXPECT_TRUE(playsPlaylist({kPlayPlaylist, 1, 0}, 1));
    EXPECT_FALSE(playsPlaylist({kPlayPlaylist, 1, 0}, 2));
    EXPECT_FALSE(playsPlaylist({kPlayPlaylistRegister, 1, 0}, 1));

    RecordingSink sink;
    Reporter reporter(sink);
    const auto lines = findPlaylistCallers(objects, "00001", reporter);
    EXPECT_EQ(lines, (std::vector<std::string>{"Object 0000, Command line 0000",
                                               "Object 0001, Command line 0001"}));
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{
                                " ", " PlayList 00001 found in:", "Object 0000, Command line 0000",
                                "Object 0001, Command line 0001"}));
    EXPECT_EQ(sink.lines[1].segmentText(1), "00001");
    EXPECT_TRUE(sink.lines[1].segments[1].style.bold);
    EXPECT_EQ(playlistCallerLines(objects, 2),
              (std::vector<std::string>{"Object 0001, Command line 0002"}));
    EXPECT_TRUE(playlistCallerLines(objects, 3).empty());
}

TEST(CrossReference, EntryNumbers) {
    EXPECT_EQ(playlistNumber("00800"), std::optional<std::uint32_t>(800));
    EXPECT_EQ(playlistNumber("99999"), std::optional<std::uint32_t>(99999));
    EXPECT_EQ(playlistNumber("00x01"), std::nullopt);
    EXPECT_EQ(playlistNumber(""), std::nullopt);
    const std::vector<std::string> clips{"00000", "00003"};
    EXPECT_EQ(clipEntryIndex(clips, "00003"), std::optional<std::size_t>(1));
    EXPECT_EQ(clipEntryIndex(clips, "00001"), std::nullopt);
}

TSubPath subPathOn(const char* clip) {
    TSubPath path;
    path.type = 3;
    TSubPlayItem sub;
    sub.clipName = clip;
    path.subPlayItems = {sub};
    return path;
}

// A folder with clips 00005 (stream there), 00006 (stream missing) and 00007
// (stream there); playlist 00001 plays 00005, 00006 and 00005 again with an
// angle on 00007; 00002 plays 00006 with a SubPath on 00005 and a PlayItem
// on a clip the folder lacks; 00003 is no playlist and 00004 is listed but
// gone.
struct Folder {
    test::TempDir dir;
    DiscFolder disc;
    Folder() {
        disc.folder = dir.path().string() + "/BDMV/";
        disc.playlists = {"00001", "00002", "00003", "00004"};
        disc.clipinfs = {"00005", "00006", "00007"};
        TMPLS first;
        first.playList.playItems = {test::playItem("00005", 0, 45000),
                                    test::playItem("00006", 0, 45000),
                                    test::playItem("00005", 0, 45000)};
        TPlayItem& angled = first.playList.playItems[2];
        angled.isMultiAngle = 1;
        angled.angles.clips = {{"00005", "M2TS", 0}, {"00007", "M2TS", 0}};
        TMPLS second;
        second.playList.playItems = {test::playItem("00006", 0, 45000),
                                     test::playItem("00099", 0, 45000)};
        second.playList.subPaths = {subPathOn("00009"), subPathOn("00005")};
        test::writeFile(disc.playlistPath("00001"), playlistBytes(first));
        test::writeFile(disc.playlistPath("00002"), playlistBytes(second));
        test::writeFile(disc.playlistPath("00003"), std::string_view("MPLS0300"));
        test::writeFile(disc.streamPath("00005"), Bytes(192, 0));
        test::writeFile(disc.streamPath("00007"), Bytes(192, 0));
    }
};

TEST(CrossReference, ClipFindWalksEveryPlaylist) {
    Folder folder;
    RecordingSink sink;
    Reporter reporter(sink);
    const std::vector<TCIRefs> refs = findClipReferences(folder.disc, reporter);
    ASSERT_EQ(refs.size(), 3u);
    const auto cells = [](const TCIRefs& list) {
        std::vector<std::array<std::string, 4>> rows;
        for (std::size_t i = 0; i < list.size(); ++i)
            rows.push_back(referenceRowCells(i, list[i]));
        return rows;
    };
    // In playlist order: two PlayItems of 00001, then a SubPlayItem of 00002.
    EXPECT_EQ(cells(refs[0]),
              (std::vector<std::array<std::string, 4>>{{"1", "00001", "p", "00000"},
                                                       {"2", "00001", "p", "00002"},
                                                       {"3", "00002", "s", "00000"}}));
    EXPECT_EQ(cells(refs[1]), (std::vector<std::array<std::string, 4>>{
                                  {"1", "00001", "p", "00001"}, {"2", "00002", "p", "00000"}}));
    EXPECT_EQ(cells(refs[2]),
              (std::vector<std::array<std::string, 4>>{{"1", "00001", "p", "00002"}}));
    EXPECT_EQ(
        sink.texts(),
        (std::vector<std::string>{
            " Reading 00001.mpls",
            " ERROR: Missing stream file referenced by 00001.mpls, PlayItem 1",
            " Reading 00002.mpls",
            " ERROR: Missing stream file referenced by 00002.mpls, PlayItem 0",
            " ERROR: Missing stream file referenced by 00002.mpls, PlayItem 1",
            " ERROR: Missing clip information file referenced by 00002.mpls, PlayItem 1",
            " ERROR: Missing stream file referenced by 00002.mpls, SubPath 0, SubPlayItem 0",
            " ERROR: Missing clip information file referenced by 00002.mpls, SubPath 0, "
            "SubPlayItem 0",
            " Reading 00003.mpls", " ERROR: Invalid format: 00003.mpls", " Reading 00004.mpls",
            " ERROR: Cannot open file \"" + folder.disc.playlistPath("00004") +
                "\". No such file or directory"}));
}

TEST(CrossReference, FurtherClipsOfAnItemAreNamed) {
    Folder folder;
    std::filesystem::remove(folder.disc.streamPath("00007"));
    TMPLS playlist;
    playlist.playList.playItems = {test::playItem("00005", 0, 45000)};
    TPlayItem& item = playlist.playList.playItems[0];
    item.isMultiAngle = 1;
    item.angles.clips = {{"00005", "M2TS", 0}, {"00005", "M2TS", 0}, {"00007", "M2TS", 0}};
    TSubPath path = subPathOn("00005");
    path.subPlayItems[0].isMultiClipEntries = 1;
    path.subPlayItems[0].clips = {{"00005", "M2TS", 0}, {"00007", "M2TS", 0}};
    playlist.playList.subPaths = {path};
    std::vector<TCIRefs> refs(3);
    RecordingSink sink;
    Reporter reporter(sink);
    addPlaylistReferences(playlist, "00800", folder.disc, refs, reporter);
    // Angles on the same clip are one use of it.
    EXPECT_EQ(refs[0], (TCIRefs{{800, "p", 0, "00800"}, {800, "s", 0, "00800"}}));
    EXPECT_EQ(refs[2], (TCIRefs{{800, "p", 0, "00800"}, {800, "s", 0, "00800"}}));
    EXPECT_EQ(sink.texts(),
              (std::vector<std::string>{
                  " ERROR: Missing stream file referenced by 00800.mpls, PlayItem 0, angle 3",
                  " ERROR: Missing stream file referenced by 00800.mpls, SubPath 0, "
                  "SubPlayItem 0, clip entry 1"}));
}

TEST(CrossReference, ReferencedByRows) {
    EXPECT_EQ(referenceHeaders(), (std::array<std::string, 4>{"", "mpls", "s/p", "item"}));
    const TCIRef item{800, "p", 3, "00800"};
    EXPECT_EQ(referenceRowCells(0, item), (std::array<std::string, 4>{"1", "00800", "p", "00003"}));
    const ReferenceTarget target = referenceTarget(item);
    EXPECT_EQ(target.playlistEntry, "00800");
    EXPECT_EQ(target.playItemRow, std::optional<std::size_t>(4));
    EXPECT_EQ(referenceTarget({800, "p", 0, "00800"}).playItemRow, std::nullopt);
    EXPECT_EQ(referenceTarget({12, "s", 3, ""}).playItemRow, std::nullopt);
    EXPECT_EQ(referenceTarget({12, "s", 3, ""}).playlistEntry, "00012");
}

TStreamCodingInfo programStream(std::uint16_t pid, std::uint8_t coding, const char* language = "") {
    TStreamCodingInfo s;
    s.streamPid = pid;
    s.codingType = coding;
    s.audioLanguage = language;
    return s;
}

TSTNStream stnStream(std::uint16_t pid, std::uint8_t coding, const char* language) {
    TSTNStream s = test::audioStream(pid, language);
    s.codingType = coding;
    return s;
}

TEST(CrossReference, ApplyToClpiPairsStreamsByPositionAndPid) {
    TCLPI clip;
    TProgram_sequences program;
    program.streams = {programStream(0x1011, 0x1B),        programStream(0x1100, 0x80, "eng"),
                       programStream(0x1101, 0x80, "eng"), programStream(0x1200, 0x90),
                       programStream(0x1400, 0x91),        programStream(0x1401, 0x91)};
    clip.programInfo.programSequences = {program};

    TSTN stn;
    TSTNStream video = test::videoStream();
    video.codingType = 0xEA;
    video.videoFormat = 4;
    video.frameRate = 4;
    stn.video = {video};
    // The audio streams in the other order: neither PID matches its position.
    stn.audio = {stnStream(0x1101, 0x81, "fra"), stnStream(0x1100, 0x82, "deu")};
    stn.pg = {stnStream(0x1200, 0x90, "jpn")};
    stn.pip = {stnStream(0x1400, 0x90, "zho")};  // PiP PG streams take no position
    TSTNStream menu = stnStream(0x1400, 0x91, "spa");
    TSTNStream subMenu = stnStream(0, 0x91, "ita");
    subMenu.entryType = kEntrySubPath;
    subMenu.subPid = 0x1401;
    stn.ig = {menu, subMenu};

    EXPECT_EQ(applyStnToClip(stn, clip), (std::vector<std::size_t>{0, 3, 4}));
    const auto rows = programInfoRows(clip.programInfo);
    EXPECT_EQ(rows[0], (std::array<std::string, 4>{"1", "1011", "VC1", "1080i, 29.97, 16:9"}));
    EXPECT_EQ(rows[1][3], "-, -, eng");
    EXPECT_EQ(rows[2][2], "LPCM");
    EXPECT_EQ(rows[3][3], "jpn");
    EXPECT_EQ(rows[4][3], "spa");
    EXPECT_EQ(rows[5][3], "");  // the IG stream of a sub-clip is not this clip's

    // In the clip's order the audio streams take their attributes.
    std::swap(stn.audio[0], stn.audio[1]);
    EXPECT_EQ(applyStnToClip(stn, clip), (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(programInfoRows(clip.programInfo)[1],
              (std::array<std::string, 4>{"2", "1100", "DTS", "Multi-ch., 96 kHz, deu"}));

    // More STN streams than the clip has, or no program at all, change nothing
    // outside the clip.
    stn.audio.resize(8, stnStream(0x1100, 0x81, "eng"));
    EXPECT_EQ(applyStnToClip(stn, clip).size(), 3u);
    TCLPI empty;
    EXPECT_TRUE(applyStnToClip(stn, empty).empty());
}

}  // namespace
}  // namespace lumora
