#include "playlist/playitem_edit.h"

#include <gtest/gtest.h>

#include "core/file_io.h"
#include "playlist/playlist_rows.h"
#include "playlist_fixtures.h"
#include "support/test_support.h"

namespace lumora {
namespace {

using test::asRead;

// Lengths and start addresses of the model must be what the writer lays out,
// and the file the Save writes must read back as the model.
void expectConsistent(const TMPLS& p) {
    const TMPLS read = asRead(p);
    EXPECT_EQ(read.markStart, p.markStart);
    EXPECT_EQ(read.extensionDataStart, p.extensionDataStart);
    EXPECT_EQ(read.playList.length, p.playList.length);
    EXPECT_TRUE(read == p);
}

void expectSavedFileReadsBack(const TMPLS& p) {
    test::TempDir dir;
    RecordingSink sink;
    Reporter reporter(sink);
    BackupOptions backup;
    backup.createBackups = false;
    ASSERT_TRUE(savePlaylistFile(dir.path().string() + "/", "00001.mpls", p, reporter, backup));
    TMPLS read;
    ASSERT_TRUE(parsePlaylist(readFileBytes(dir / "00001.mpls"), "00001.mpls", read).good());
    EXPECT_TRUE(read == p);
}

TExtensionData someExtensionData() {
    TExtensionData block;
    block.length = 24;
    block.dataBlockStartAddress = 24;
    block.entries = {TExtensionDataEntry{1, 1, 24, 4}};
    block.dataBlock = {1, 2, 3, 4};
    return block;
}

TMark markOn(std::uint16_t playItem, std::uint32_t time) {
    TMark mark;
    mark.playItemId = playItem;
    mark.time = time;
    return mark;
}

// Three PlayItems of ten seconds from 00:00:10.000, a SubPath synced to
// PlayItem 2, marks on each PlayItem and, when asked, ExtensionData.
TMPLS editablePlaylist(bool withExtension) {
    TMPLS p = test::playlistOf(3, 10, 450000);
    TSubPath path;
    path.type = 3;
    TSubPlayItem sub;
    sub.clipName = "00009";
    sub.inTime = 450000;
    sub.outTime = 900000;
    sub.syncPlayItemId = 2;
    path.subPlayItems = {sub};
    p.playList.subPaths = {path};
    TSTNStream menu;
    menu.entryType = kEntrySubPath;
    menu.subPathId = 0;
    menu.subPid = 0x1400;
    menu.codingType = 0x91;
    menu.language = "eng";
    p.playList.playItems[0].stn.ig = {menu};
    p.marks.marks = {markOn(0, 450000), markOn(1, 500000), markOn(2, 450000), markOn(2, 600000)};
    if (withExtension) setPlaylistExtensionData(p, someExtensionData());
    return asRead(p);
}

// Answers the questions in turn.
class ScriptedSink : public RecordingSink {
public:
    explicit ScriptedSink(std::vector<bool> script) : script_(std::move(script)) {}
    bool askYesNo(std::string_view question) override {
        questions.emplace_back(question);
        return next_ < script_.size() && script_[next_++];
    }

private:
    std::vector<bool> script_;
    std::size_t next_ = 0;
};

TEST(PlayItemEdit, InsertThenDeleteRestoresEveryLengthAndAddress) {
    for (const bool withExtension : {false, true}) {
        const TMPLS before = editablePlaylist(withExtension);
        TMPLS p = before;
        ASSERT_EQ(insertPlayItem(p, 1, "00003"), std::optional<std::size_t>(1));
        const TPlayItem& item = p.playList.playItems[1];
        EXPECT_EQ(item.length, 64);
        EXPECT_EQ(item.stn.length, 30);
        EXPECT_EQ(p.playList.length, before.playList.length + 66);
        EXPECT_EQ(p.markStart, before.markStart + 66);
        EXPECT_EQ(p.extensionDataStart, withExtension ? before.extensionDataStart + 66 : 0u);
        EXPECT_EQ(
            playItemRowCells(1, item),
            (std::array<std::string, 9>{"001", "00003", "M2TS", "00:00:00.000", "00:00:00.000",
                                        "00:00:00.000", "00000000", "00000000", "0"}));
        expectConsistent(p);
        expectSavedFileReadsBack(p);
        ASSERT_TRUE(deletePlayItem(p, 1));
        EXPECT_TRUE(p == before) << "with ExtensionData: " << withExtension;
    }
}

TEST(PlayItemEdit, MarksAndSyncReferencesFollowTheirPlayItem) {
    TMPLS p = editablePlaylist(true);
    ASSERT_TRUE(insertPlayItem(p, 1));
    std::vector<std::uint16_t> ids;
    for (const TMark& mark : p.marks.marks)
        ids.push_back(mark.playItemId);
    EXPECT_EQ(ids, (std::vector<std::uint16_t>{0, 2, 3, 3}));
    EXPECT_EQ(p.playList.subPaths[0].subPlayItems[0].syncPlayItemId, 3);

    // Deleting a PlayItem takes its marks along, says which, and moves the
    // later ones up.
    const TMark goes = p.marks.marks[1];
    const auto removed = deletePlayItem(p, 2);
    ASSERT_TRUE(removed);
    ASSERT_EQ(removed->size(), 1u);
    EXPECT_EQ((*removed)[0].number, 1u);
    EXPECT_EQ((*removed)[0].mark, goes);
    ids.clear();
    for (const TMark& mark : p.marks.marks)
        ids.push_back(mark.playItemId);
    EXPECT_EQ(ids, (std::vector<std::uint16_t>{0, 2, 2}));
    EXPECT_EQ(p.marks.marks[1].time, 450000u);
    EXPECT_EQ(p.playList.subPaths[0].subPlayItems[0].syncPlayItemId, 2);
    expectConsistent(p);
    expectSavedFileReadsBack(p);
}

TEST(PlayItemEdit, DeletingEveryPlayItem) {
    TMPLS p = editablePlaylist(false);
    while (deletePlayItem(p, 0)) {
    }
    EXPECT_TRUE(p.playList.playItems.empty());
    EXPECT_TRUE(p.marks.marks.empty());
    EXPECT_FALSE(deletePlayItem(p, 0));
    expectConsistent(p);
    // The first PlayItem of an empty playlist goes to index 0.
    EXPECT_EQ(insertPlayItem(p, 7), std::optional<std::size_t>(0));
    expectConsistent(p);
}

TEST(PlayItemEdit, AtMost999PlayItems) {
    TMPLS p = test::playlistOf(kMaxPlayItems);
    const TMPLS before = p;
    EXPECT_EQ(insertPlayItem(p, 0), std::nullopt);
    EXPECT_TRUE(p == before);
}

TEST(PlayItemEdit, InTimeCascade) {
    TMPLS p = editablePlaylist(false);
    const TMPLS before = p;
    ScriptedSink sink({true, true, true});
    const PlayItemCellEdit edit = editPlayItemCell(p, 2, PlayItemColumn::In, "00:00:12.000", sink);
    EXPECT_EQ(edit.edit, CellEdit::Taken);
    EXPECT_EQ(sink.questions,
              (std::vector<std::string>{"Do you want to update OUT time?",
                                        "Do you want to update SubPlayItems' IN/OUT times?",
                                        "Do you want to update PlayListMarks' marktimes?"}));
    const TPlayItem& item = p.playList.playItems[2];
    EXPECT_EQ(item.inTime, 540000u);
    EXPECT_EQ(item.outTime, before.playList.playItems[2].outTime + 90000);
    EXPECT_EQ(playItemRowCells(2, item)[5], "00:00:10.000");  // the length is unchanged
    EXPECT_TRUE(edit.cascade.outMoved);
    EXPECT_TRUE(edit.cascade.subPlayItemsMoved);
    EXPECT_EQ(p.playList.subPaths[0].subPlayItems[0].inTime, 540000u);
    EXPECT_EQ(edit.cascade.marksMoved, (std::vector<std::size_t>{2, 3}));
    EXPECT_EQ(p.marks.marks[3].time, 690000u);
    EXPECT_EQ(p.marks.marks[1].time, 500000u);  // on another PlayItem

    // No: OUT stays and the length shows the change; the same IN asks nothing.
    ScriptedSink no({false, false, false});
    changeInTime(p, 2, 450000, no);
    EXPECT_EQ(p.playList.playItems[2].outTime, before.playList.playItems[2].outTime + 90000);
    EXPECT_EQ(playItemRowCells(2, p.playList.playItems[2])[5], "00:00:12.000");
    EXPECT_EQ(changeInTime(p, 2, 450000, no).outMoved, false);
    EXPECT_EQ(no.questions.size(), 3u);

    // Without SubPaths and marks only the OUT question comes.
    TMPLS plain = test::playlistOf(1, 10, 450000);
    ScriptedSink plainSink({true});
    changeInTime(plain, 0, 540000, plainSink);
    EXPECT_EQ(plainSink.questions, (std::vector<std::string>{"Do you want to update OUT time?"}));
    // A time moved before 0 stops at 0.
    TMPLS early = test::playlistOf(1, 10, 450000);
    early.playList.playItems[0].outTime = 45000;
    ScriptedSink yes({true});
    changeInTime(early, 0, 0, yes);
    EXPECT_EQ(early.playList.playItems[0].outTime, 0u);
}

TEST(PlayItemEdit, PlayItemCells) {
    TMPLS p = editablePlaylist(false);
    p.playList.playItems[1].isMultiAngle = 1;
    p.playList.playItems[1].angles.clips = {{"00000", "M2TS", 0}, {"00005", "M2TS", 0}};
    p = asRead(p);
    ScriptedSink sink({});
    const struct {
        PlayItemColumn column;
        const char* text;
        CellEdit edit;
        int cell;
        const char* shown;
    } cases[] = {
        {PlayItemColumn::File, "00042", CellEdit::Taken, 1, "00042"},
        {PlayItemColumn::File, "004 2", CellEdit::Typing, 1, "00042"},
        {PlayItemColumn::Type, "XXXX", CellEdit::Shown, 2, "M2TS"},
        {PlayItemColumn::Out, "00:01:00.000", CellEdit::Taken, 4, "00:01:00.000"},
        {PlayItemColumn::Out, "00:01: 0.000", CellEdit::Typing, 4, "00:01:00.000"},
        {PlayItemColumn::Length, "00:00:01.000", CellEdit::Shown, 5, "00:00:50.000"},
        {PlayItemColumn::Uo1, "0000abcd", CellEdit::Taken, 6, "0000ABCD"},
        {PlayItemColumn::Uo2, "FFFFFFFF", CellEdit::Taken, 7, "40000000"},
        {PlayItemColumn::Uo2, "FFFF FFF", CellEdit::Typing, 7, "40000000"},
        {PlayItemColumn::Angles, "5", CellEdit::Shown, 8, "2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(editPlayItemCell(p, 1, c.column, c.text, sink).edit, c.edit) << c.text;
        EXPECT_EQ(playItemRowCells(1, p.playList.playItems[1])[static_cast<std::size_t>(c.cell)],
                  c.shown)
            << c.text;
    }
    EXPECT_EQ(p.playList.playItems[1].angles.clips[0].clipName, "00042");
    EXPECT_TRUE(sink.questions.empty());
    expectConsistent(p);
    // Times beyond what 32 bits of 45 kHz ticks hold are refused.
    EXPECT_EQ(typedTime45("26:31:00.000"), std::nullopt);
    EXPECT_EQ(typedTime45("26:00:00.000"), std::optional<std::uint32_t>(4212000000u));
    EXPECT_EQ(typedTime45("00:00:01.000"), std::optional<std::uint32_t>(45000));
}

TEST(PlayItemEdit, SubPathInsertAndDelete) {
    const TMPLS before = editablePlaylist(true);
    TMPLS p = before;
    ASSERT_EQ(insertSubPath(p, 0), std::optional<std::size_t>(0));
    const TSubPath& path = p.playList.subPaths[0];
    EXPECT_EQ(path.length, 36u);
    EXPECT_EQ(path.type, 3);
    ASSERT_EQ(path.subPlayItems.size(), 1u);
    const TSubPlayItem& sub = path.subPlayItems[0];
    EXPECT_EQ(sub.length, 28);
    EXPECT_EQ(sub.clipName, "00000");
    EXPECT_EQ(sub.inTime, before.playList.playItems[0].inTime);
    EXPECT_EQ(sub.outTime, before.playList.playItems[0].outTime);
    EXPECT_EQ(sub.connectionCondition, 1);
    EXPECT_EQ(p.playList.length, before.playList.length + 40);
    EXPECT_EQ(p.extensionDataStart, before.extensionDataStart + 40);
    // The IG stream's SubPath moved to 1 and its entry follows it.
    EXPECT_EQ(p.playList.playItems[0].stn.ig[0].subPathId, 1);
    expectConsistent(p);
    expectSavedFileReadsBack(p);
    ASSERT_TRUE(deleteSubPath(p, 0));
    EXPECT_TRUE(p == before);
    EXPECT_FALSE(deleteSubPath(p, 1));

    while (insertSubPath(p, p.playList.subPaths.size())) {
    }
    EXPECT_EQ(p.playList.subPaths.size(), kMaxSubPaths);
    expectConsistent(p);
}

TEST(PlayItemEdit, SubPlayItemCells) {
    TMPLS p = editablePlaylist(false);
    const struct {
        SubPlayItemColumn column;
        const char* text;
        CellEdit edit;
        int cell;
        const char* shown;
    } cases[] = {
        {SubPlayItemColumn::File, "00011", CellEdit::Taken, 1, "00011"},
        {SubPlayItemColumn::Type, "ABCD", CellEdit::Shown, 2, "M2TS"},
        {SubPlayItemColumn::Connection, "3", CellEdit::Taken, 3, "1"},
        {SubPlayItemColumn::Connection, "5", CellEdit::Taken, 3, "5"},
        {SubPlayItemColumn::Connection, " ", CellEdit::Typing, 3, "5"},
        {SubPlayItemColumn::Stc, "007", CellEdit::Taken, 5, "7"},
        {SubPlayItemColumn::Stc, "300", CellEdit::Shown, 5, "7"},
        {SubPlayItemColumn::In, "00:00:02.000", CellEdit::Taken, 6, "00:00:02.000"},
        {SubPlayItemColumn::Out, "00:00:04.000", CellEdit::Taken, 7, "00:00:04.000"},
        {SubPlayItemColumn::SyncPlayItem, "999", CellEdit::Taken, 8, "0"},
        {SubPlayItemColumn::SyncPlayItem, "002", CellEdit::Taken, 8, "2"},
        {SubPlayItemColumn::SyncPts, "00:00:01.000", CellEdit::Taken, 9, "00:00:01.000"},
        {SubPlayItemColumn::Multi, "Y", CellEdit::Taken, 4, "Yes"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(editSubPlayItemCell(p, 0, 0, c.column, c.text), c.edit) << c.text;
        const auto cells = subPlayItemRowCells(0, p.playList.subPaths[0].subPlayItems[0]);
        EXPECT_EQ(cells[static_cast<std::size_t>(c.cell)], c.shown) << c.text;
    }
    const TSubPlayItem& sub = p.playList.subPaths[0].subPlayItems[0];
    EXPECT_EQ(sub.syncStartPts, 45000u);
    // Multi clip entries start with the SubPlayItem's own clip.
    ASSERT_EQ(sub.clips.size(), 1u);
    EXPECT_EQ(sub.clips[0], (TClipRef{"00011", "M2TS", 7}));
    expectConsistent(p);
    EXPECT_EQ(editSubPlayItemCell(p, 0, 0, SubPlayItemColumn::Multi, "N"), CellEdit::Taken);
    EXPECT_TRUE(p.playList.subPaths[0].subPlayItems[0].clips.empty());
    expectConsistent(p);
    EXPECT_EQ(editSubPlayItemCell(p, 1, 0, SubPlayItemColumn::File, "00001"), CellEdit::Shown);
}

TEST(PlayItemEdit, SubPathTypeAndRepeat) {
    TMPLS p = editablePlaylist(false);
    EXPECT_TRUE(setSubPathType(p, 0, 2));
    setSubPathRepeat(p, 0, 1);
    EXPECT_EQ(subPathRowCells(0, p.playList.subPaths[0]),
              (std::array<std::string, 4>{"000", "p. Audio", "Yes", "1"}));
    EXPECT_FALSE(setSubPathType(p, 0, 5));
    EXPECT_EQ(p.playList.subPaths[0].repeat, 0);
    EXPECT_EQ(subPathRowCells(0, p.playList.subPaths[0])[2], "No");
    EXPECT_EQ(subPathTypeHint(5),
              "Out-of-mux and Synchronous type of one or more elementary streams path");
    EXPECT_EQ(subPathTypeHint(1), "reserved");
    EXPECT_EQ(subPathTypeItems().size(), 8u);
    EXPECT_EQ(subPathTypeItems()[3], "IG menu");
    EXPECT_EQ(repeatItems(), (std::vector<std::string>{"No", "Yes"}));
    expectConsistent(p);
}

}  // namespace
}  // namespace lumora
