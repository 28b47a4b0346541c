#include "playlist/marks.h"

#include <gtest/gtest.h>

#include "playlist_fixtures.h"

namespace lumora {
namespace {

struct Chapters {
    RecordingSink sink;
    Reporter reporter{sink};
};

TEST(Marks, PtsChaptersOnThreeOneSecondPlayItems) {
    TMPLS p = test::playlistOf(3);
    Chapters c;
    ASSERT_TRUE(importChapters(p, "0\r\n45000\r\n90000\r\n", ChapterFormat::Pts, c.reporter).ok);
    ASSERT_EQ(p.marks.marks.size(), 3u);
    for (std::uint16_t i = 0; i < 3; ++i) {
        EXPECT_EQ(p.marks.marks[i].playItemId, i);
        EXPECT_EQ(p.marks.marks[i].time, 0u);
        EXPECT_EQ(p.marks.marks[i].entryPid, 0xFFFF);
    }
    EXPECT_EQ(p.marks.length, 14u * 3 + 2);
    EXPECT_EQ(exportChapters(p, ChapterFormat::Pts).text, "0\r\n45000\r\n90000\r\n");
    EXPECT_EQ(test::asRead(p), p);

    ASSERT_TRUE(importChapters(p, "00:00:01.000\n", ChapterFormat::Time, c.reporter).ok);
    ASSERT_EQ(p.marks.marks.size(), 1u);
    EXPECT_EQ(p.marks.marks[0].playItemId, 1);  // the start of the second PlayItem
}

TEST(Marks, ChaptersOnTheClipTimeLine) {
    // PlayItems with IN times: marks carry clip times.
    TMPLS p = test::playlistOf(2, 10, 900000);
    Chapters c;
    ASSERT_TRUE(
        importChapters(p, "00:00:05.000\n00:00:12.500\n", ChapterFormat::Time, c.reporter).ok);
    EXPECT_EQ(p.marks.marks[0].time, 900000u + 5 * 45000);
    EXPECT_EQ(p.marks.marks[1].playItemId, 1);
    EXPECT_EQ(p.marks.marks[1].time, 900000u + 2 * 45000 + 22500);
    EXPECT_EQ(exportChapters(p, ChapterFormat::Time).text, "00:00:05.000\r\n00:00:12.500\r\n");
    EXPECT_FALSE(c.sink.lines.empty());  // the walk is logged
}

TEST(Marks, FrameChaptersAreTrueFrameCountsBothWays) {
    TMPLS p = test::playlistOf(2, 60);
    Chapters c;
    // Frame 1439 at 23.976 and frame 2000, both on frame boundaries.
    ASSERT_TRUE(importChapters(p, "0\n1439\n2000\n", ChapterFormat::Frame, c.reporter).ok);
    // 1439 frames are a little over the first PlayItem's minute.
    EXPECT_EQ(p.marks.marks[1].playItemId, 1);
    EXPECT_EQ(p.marks.marks[1].time, framesToTicks(1439, {24000, 1001}) - 60 * 45000);
    EXPECT_EQ(exportChapters(p, ChapterFormat::Frame).text, "0\r\n1439\r\n2000\r\n");
    // One second of 23.976 video is 24 frames, not 24000.
    EXPECT_EQ(ticksToFrames(45000, {24000, 1001}), 24u);
    EXPECT_EQ(ticksToFrames(45000, {25000, 1000}), 25u);
    for (const std::uint64_t f : {1ull, 7ull, 1001ull, 172800ull}) {
        for (const FrameRateFraction rate :
             {FrameRateFraction{24000, 1001}, FrameRateFraction{30000, 1001},
              FrameRateFraction{50000, 1000}}) {
            EXPECT_EQ(ticksToFrames(framesToTicks(f, rate), rate), f);
        }
    }
    TMPLS noVideo = p;
    noVideo.playList.playItems[0].stn.video.clear();
    EXPECT_FALSE(exportChapters(noVideo, ChapterFormat::Frame).ok);
}

TEST(Marks, BadChapterFilesChangeNothing) {
    TMPLS p = test::playlistOf(2);
    Chapters c;
    ASSERT_TRUE(importChapters(p, "0\n", ChapterFormat::Pts, c.reporter).ok);
    const TMPLS before = p;
    const struct {
        const char* text;
        ChapterFormat format;
    } cases[] = {{"0\nabc\n", ChapterFormat::Pts},
                 {"1:00:00.000\n", ChapterFormat::Time},
                 {"-5\n", ChapterFormat::Frame},
                 {"12 frames\n", ChapterFormat::Frame}};
    for (const auto& bad : cases) {
        const ChapterResult result = importChapters(p, bad.text, bad.format, c.reporter);
        EXPECT_FALSE(result.ok) << bad.text;
        EXPECT_FALSE(result.error.empty());
        EXPECT_EQ(p, before) << bad.text;
    }
    EXPECT_TRUE(
        importChapters(p, "", ChapterFormat::Pts, c.reporter).ok);  // an empty file: no change
    EXPECT_EQ(p, before);
    // A chapter past the last PlayItem is left out.
    ASSERT_TRUE(importChapters(p, "0\n45000\n90000\n", ChapterFormat::Pts, c.reporter).ok);
    EXPECT_EQ(p.marks.marks.size(), 2u);
}

TEST(Marks, InsertAndDeleteKeepLengths) {
    TMPLS p = test::playlistOf(1);
    p.extensionDataStart = 500;  // stands for a block behind the marks
    ASSERT_TRUE(insertMark(p, 0));
    EXPECT_EQ(p.extensionDataStart, 514u);
    EXPECT_EQ(p.marks.marks[0], TMark{});
    EXPECT_EQ(deleteMarks(p, 0, 0), 1u);
    EXPECT_EQ(p.extensionDataStart, 500u);
    EXPECT_EQ(p.marks.length, 2u);

    for (int i = 0; i < 5; ++i)
        insertMark(p, 0);
    const std::uint32_t length = p.marks.length;
    EXPECT_EQ(deleteMarks(p, 1, 3), 3u);
    EXPECT_EQ(p.marks.length, length - 42);
    while (p.marks.marks.size() < kMaxMarks)
        ASSERT_TRUE(insertMark(p, p.marks.marks.size()));
    EXPECT_FALSE(insertMark(p, 0));  // the 1000th
}

TEST(Marks, TimeFields) {
    const MarkTimeFields f = markTimeFields(45000 * 3725 + 45 * 250);
    EXPECT_EQ(f.hours, 1);
    EXPECT_EQ(f.minutes, 2);
    EXPECT_EQ(f.seconds, 5);
    EXPECT_EQ(f.milliseconds, 250);
    EXPECT_EQ(markTimeFromFields(f), 45000u * 3725 + 45 * 250);
    const MarkTimeFields clamped = clampMarkTimeFields({30, 75, 61, -4});
    EXPECT_EQ(clamped.hours, 25);
    EXPECT_EQ(clamped.minutes, 59);
    EXPECT_EQ(clamped.seconds, 59);
    EXPECT_EQ(clamped.milliseconds, 0);
    EXPECT_EQ(
        markRowCells(4, TMark{0, kEntryMark, 2, 162000000, 0xFFFF, 0}),
        (std::array<std::string, 6>{"004", "entry-mark", "002", "01:00:00.000", "FFFF", "0"}));
    EXPECT_EQ(chapterFileName("00001", ChapterFormat::Frame), "chapter_00001_frame.txt");
}

}  // namespace
}  // namespace lumora
