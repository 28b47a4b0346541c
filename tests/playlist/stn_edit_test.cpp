#include "playlist/stn_edit.h"

#include <gtest/gtest.h>

#include "playlist/stream_coding.h"
#include "playlist_fixtures.h"

namespace lumora {
namespace {

using test::asRead;

// Lengths and start addresses of the model must be what the writer lays out.
void expectConsistent(const TMPLS& p) {
    const TMPLS read = asRead(p);
    EXPECT_EQ(read.playListStart, p.playListStart);
    EXPECT_EQ(read.markStart, p.markStart);
    EXPECT_EQ(read.extensionDataStart, p.extensionDataStart);
    EXPECT_EQ(read.playList.length, p.playList.length);
    EXPECT_EQ(read, p);
}

TEST(StnEdit, InsertIntoAnEmptyAudioList) {
    TMPLS p = test::playlistOf(2);
    p.playList.playItems[0].stn.audio.clear();
    p = asRead(p);
    const TMPLS before = p;
    ASSERT_TRUE(insertStream(p, 0, StnList::Audio, 0));
    const TSTNStream& s = p.playList.playItems[0].stn.audio[0];
    EXPECT_EQ(stnStreamCells(StnList::Audio, 0, s),
              (std::array<std::string, 7>{"001", "PlayItem", "1100", "", "", "",
                                          "DD, Multi-ch., 48 kHz, eng"}));
    EXPECT_EQ(p.playList.playItems[0].length, before.playList.playItems[0].length + 16);
    EXPECT_EQ(p.playList.playItems[0].stn.length, before.playList.playItems[0].stn.length + 16);
    EXPECT_EQ(p.playList.length, before.playList.length + 16);
    EXPECT_EQ(p.markStart, before.markStart + 16);
    EXPECT_EQ(p.extensionDataStart, 0u);
    expectConsistent(p);
}

TEST(StnEdit, ListLimits) {
    TMPLS p = test::playlistOf(1);
    TSTN& stn = p.playList.playItems[0].stn;
    EXPECT_FALSE(canDeleteStream(stn, StnList::Audio));  // the last audio stream stays
    EXPECT_FALSE(deleteStream(p, 0, StnList::Audio, 0));
    EXPECT_FALSE(canInsertStream(stn, StnList::Video));
    EXPECT_FALSE(canDeleteStream(stn, StnList::Video));
    for (int i = 1; i < 32; ++i)
        ASSERT_TRUE(insertStream(p, 0, StnList::Audio, 0)) << i;
    EXPECT_EQ(stnListCount(p.playList.playItems[0].stn, StnList::Audio), 32u);
    EXPECT_FALSE(insertStream(p, 0, StnList::Audio, 0));  // the 33rd
    for (int i = 0; i < 32; ++i)
        ASSERT_TRUE(insertStream(p, 0, StnList::Ig, 0));
    EXPECT_FALSE(insertStream(p, 0, StnList::Ig, 0));
    EXPECT_FALSE(insertStream(p, 0, StnList::SecondaryAudio, 0));
    expectConsistent(p);
}

TEST(StnEdit, DeletingASecondaryAudioStreamTakesItsReferences) {
    TMPLS p = test::playlistOf(1);
    p.extensionDataStart = 0;
    TSecAudio secondary;
    secondary.stream = test::audioStream(0x1A00, "eng");
    secondary.stream.codingType = 0xA2;
    secondary.primaryAudioRefs = {0, 1, 2};
    p.playList.playItems[0].stn.secondaryAudio.push_back(secondary);
    p = asRead(p);
    EXPECT_EQ(stnStreamSize(p.playList.playItems[0].stn, StnList::SecondaryAudio, 0), 22u);
    const std::uint32_t length = p.playList.length;
    ASSERT_TRUE(deleteStream(p, 0, StnList::SecondaryAudio, 0));
    EXPECT_EQ(p.playList.length, length - 22);
    expectConsistent(p);
}

TEST(StnEdit, PipStreamsAreTheirOwnList) {
    TMPLS p = test::playlistOf(1);
    TSTN& stn = p.playList.playItems[0].stn;
    TSTNStream pg;
    pg.mainPid = 0x1200;
    pg.codingType = 0x90;
    pg.language = "eng";
    stn.pg = {pg, pg};
    TSTNStream pip = pg;
    pip.mainPid = 0x1A80;
    pip.entryType = kEntryInMuxPip;
    pip.subPathId = 0x12;
    stn.pip = {pip};
    p = asRead(p);
    const TSTN& read = p.playList.playItems[0].stn;
    EXPECT_EQ(stnCountCells(read), (std::array<std::string, 7>{"1", "1", "2", "0", "0", "0", "1"}));
    EXPECT_EQ(stnStreamCells(StnList::Pip, 0, stnStream(read, StnList::Pip, 0)),
              (std::array<std::string, 7>{"001", "IM PIP", "1A80", "0012", "", "", "eng"}));
    // Inserting a PG stream keeps the PiP stream behind the PG streams.
    ASSERT_TRUE(insertStream(p, 0, StnList::Pg, 1));
    expectConsistent(p);
    EXPECT_EQ(asRead(p).playList.playItems[0].stn.pip.size(), 1u);
}

TEST(StnEdit, CodingLists) {
    EXPECT_EQ(audioCodingForItem(8), 0xA2);
    EXPECT_EQ(audioCodingForItem(7), 0xA1);
    EXPECT_EQ(audioCodingForItem(3), 0x83);
    EXPECT_EQ(audioCodingItem(0xA2), 8);
    EXPECT_EQ(videoCodingItem(0xEA), 2);
    EXPECT_EQ(videoCodingForItem(1), 0x1B);
    EXPECT_EQ(presentationTypeItems().size(), 13u);
    EXPECT_EQ(samplingFrequencyItems().size(), 15u);
    EXPECT_EQ(stnAttributeText(StnList::Video, test::videoStream()), "AVC, 1080p, 23.976");
    EXPECT_EQ(entryTypeHint(3).substr(0, 22), "Identify an elementary");
}

}  // namespace
}  // namespace lumora
