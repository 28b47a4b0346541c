#include <gtest/gtest.h>

#include <random>

#include "core/file_io.h"
#include "menu/menu_reader.h"
#include "menu/menu_writer.h"
#include "menu/rle_codec.h"
#include "menu_fixtures.h"
#include "support/test_support.h"

namespace lumora {
namespace {

using test::concat;
using test::segment;

struct Loaded {
    TIGMenu menu;
    ReadOutcome outcome;
    std::vector<std::string> log;
    bool errorFlag = false;
};

Loaded load(ByteView data, std::string_view name = "test.mnu") {
    Loaded loaded;
    RecordingSink sink;
    Reporter reporter(sink);
    loaded.outcome = parseMenu(data, name, loaded.menu, reporter);
    loaded.log = sink.texts();
    loaded.errorFlag = reporter.errorFlag();
    return loaded;
}

// One page with one BOG of one button (id `button`) with `commands`
// navigation commands.
Bytes onePage(std::uint16_t button = 0, std::uint8_t repeatByte = 0x00) {
    TIGbutton b = IGbutton(button);
    b.normalStart = 0;
    b.normalEnd = 1;
    b.commands = {{0x21810000, 1, 0}};
    Bytes page = pageBytes(test::simplePage(0, {b}));
    // The normal repeat flag byte follows normal end; the selected repeat
    // flag byte comes after the sound and the selected range.
    const std::size_t buttonAt = 21 + 3;
    page[buttonAt + 21] = repeatByte;
    page[buttonAt + 27] = repeatByte;
    return page;
}

Bytes onePageMenu(Bytes extra = {}) {
    return concat(
        {segment(kSegmentICS, test::icsPayload(1, onePage())), extra, segment(kSegmentEND, {})});
}

TEST(MenuReader, SegmentsFillTheModel) {
    const Bytes rle = test::hexBytes("01 02 00 00");
    const Bytes file = concat({segment(kSegmentICS, test::icsPayload(1, onePage())),
                               segment(kSegmentPDS, test::pdsPayload(0, {{1, 82, 240, 91, 255}})),
                               segment(kSegmentODS, test::odsPayload(0, 0xC0, rle, 2, 1)),
                               segment(kSegmentODS, test::odsPayload(1, 0xC0, rle, 2, 1)),
                               segment(kSegmentEND, {})});
    const Loaded loaded = load(file);
    EXPECT_TRUE(loaded.outcome.good()) << loaded.outcome.message;
    EXPECT_EQ(loaded.menu.objects.size(), 2u);
    EXPECT_EQ(loaded.menu.palettes.size(), 1u);
    EXPECT_EQ(loaded.menu.palettes[0].rgba[1], (TRGBA{255, 0, 2, 255}));
    EXPECT_EQ(loaded.menu.palettes[0].ycrcb[1], (TYCrCb{82, 240, 91}));
    ASSERT_EQ(loaded.log.size(), 2u);
    EXPECT_EQ(loaded.log[0], " 1 ICS, 2 OCS, 1 PCS found.");
    EXPECT_EQ(loaded.log[1], " ");
    const TIGSc& ics = loaded.menu.ics;
    EXPECT_EQ(ics.videoWidth, 1920);
    EXPECT_EQ(ics.frameRateId, 1);
    EXPECT_EQ(ics.compositionNumber, 7);
    EXPECT_EQ(ics.compositionState, 2);
    EXPECT_EQ(ics.modelFlags, 3);
    EXPECT_EQ(ics.userTimeOut, 90000u);
    ASSERT_EQ(ics.pages.size(), 1u);
    EXPECT_EQ(ics.pages[0].bogs[0].buttons[0].commands.size(), 1u);
    EXPECT_EQ(loaded.menu.pageButtons[0].size(), 1u);
    EXPECT_EQ(loaded.menu.startTime, 180000u);
}

TEST(MenuReader, ObjectInThreeFragments) {
    const Bytes a = test::hexBytes("01 02 03"), b = test::hexBytes("04 05"),
                c = test::hexBytes("06 00 00");
    const Bytes file =
        onePageMenu(concat({segment(kSegmentODS, test::odsPayload(3, 0x80, a, 6, 1, 8 + 4)),
                            segment(kSegmentODS, test::odsPayload(3, 0x00, b)),
                            segment(kSegmentODS, test::odsPayload(3, 0x40, c))}));
    Loaded loaded = load(file);
    ASSERT_TRUE(loaded.outcome.good()) << loaded.outcome.message;
    ASSERT_EQ(loaded.menu.objects.size(), 4u);
    const TIGobject& o = loaded.menu.objects[3];
    ASSERT_EQ(o.fragments.size(), 3u);
    EXPECT_EQ(o.fragments[0].length, 14u - 11);
    EXPECT_EQ(o.fragments[1].length, 6u - 4);
    EXPECT_EQ(o.fragments[2].length, 7u - 4);
    EXPECT_EQ(o.fragments[0].flags, kFirstInSequence);
    EXPECT_EQ(o.fragments[2].flags, kLastInSequence);
    EXPECT_EQ(objectRleData(loaded.menu, 3), test::hexBytes("01 02 03 04 05 06 00 00"));
    const auto picture = Obj2Pic(loaded.menu, 3, 0);
    EXPECT_EQ(picture->width, 6u);
    EXPECT_EQ(*loaded.menu.objects[3].bitmap, test::hexBytes("01 02 03 04 05 06"));
}

TEST(MenuReader, CompositionHeaderForms) {
    // stream_model 1: 17 header bytes, no time-outs.
    const Loaded plain = load(onePageMenu());
    ASSERT_EQ(plain.menu.ics.fragments.size(), 1u);
    EXPECT_EQ(plain.menu.ics.fragments[0].length, onePage().size());
    EXPECT_EQ(plain.menu.ics.compositionTimeOut, 0u);
    // stream_model 0: the two 40-bit time-outs follow.
    const Loaded timed = load(concat(
        {segment(kSegmentICS, test::icsPayload(1, onePage(), true)), segment(kSegmentEND, {})}));
    ASSERT_TRUE(timed.outcome.good()) << timed.outcome.message;
    EXPECT_EQ(timed.menu.ics.modelFlags, 1);
    EXPECT_EQ(timed.menu.ics.compositionTimeOut, 0x1234567890u);
    EXPECT_EQ(timed.menu.ics.selectionTimeOut, 0x00ABCDEF01u);
    EXPECT_EQ(timed.menu.ics.pages.size(), 1u);
}

TEST(MenuReader, RepeatFlagsAreBit7) {
    const Loaded loaded = load(concat(
        {segment(kSegmentICS, test::icsPayload(1, onePage(0, 0x80))), segment(kSegmentEND, {})}));
    const TIGbutton& b = loaded.menu.ics.pages.at(0).bogs.at(0).buttons.at(0);
    EXPECT_EQ(b.normalRepeat, 1);
    EXPECT_EQ(b.selectedRepeat, 1);
}

TEST(MenuReader, ShortPaletteSegmentKeepsColours) {
    const Bytes file = onePageMenu(concat({
        segment(kSegmentPDS, test::pdsPayload(2, {{7, 235, 128, 128, 200}})),
        segment(kSegmentPDS, test::hexBytes("02 05")),
    }));
    const Loaded loaded = load(file);
    ASSERT_EQ(loaded.menu.palettes.size(), 3u);
    EXPECT_EQ(loaded.menu.palettes[2].version, 5);
    EXPECT_EQ(loaded.menu.palettes[2].rgba[7], (TRGBA{255, 255, 255, 200}));
}

TEST(MenuReader, FileWithoutEndIsReadToItsLastByte) {
    const Bytes rle = test::hexBytes("01 00 00");
    const Bytes file = concat({segment(kSegmentICS, test::icsPayload(1, onePage())),
                               segment(kSegmentODS, test::odsPayload(0, 0xC0, rle, 1, 1))});
    const Loaded loaded = load(file);
    EXPECT_TRUE(loaded.outcome.good()) << loaded.outcome.message;
    EXPECT_EQ(loaded.menu.objects.size(), 1u);
}

TEST(MenuReader, StartTimeIsTheFirstNonZeroPts) {
    const Bytes file = concat({segment(kSegmentPDS, test::pdsPayload(0, {}), 0),
                               segment(kSegmentICS, test::icsPayload(1, onePage()), 1234),
                               segment(kSegmentEND, {}, 99)});
    EXPECT_EQ(load(file).menu.startTime, 1234u);
}

TEST(MenuReader, OnlyTheFirstDisplaySetIsRead) {
    const Bytes file = concat({onePageMenu(), segment(kSegmentPDS, test::pdsPayload(4, {}))});
    EXPECT_TRUE(load(file).menu.palettes.empty());
}

TEST(MenuReader, SecondLoadReplacesTheFirst) {
    TIGMenu menu;
    RecordingSink sink;
    Reporter reporter(sink);
    Bytes page = onePage();
    const Bytes split =
        concat({segment(kSegmentICS, test::icsPayload(1, ByteView(page).first(10), false, 0x80)),
                segment(kSegmentICS, test::icsContinuation(ByteView(page).subspan(10), 0x40)),
                segment(kSegmentPDS, test::pdsPayload(1, {}))});
    ASSERT_TRUE(parseMenu(split, "a.mnu", menu, reporter).good());
    EXPECT_EQ(menu.ics.fragments.size(), 2u);
    ASSERT_TRUE(parseMenu(onePageMenu(), "b.mnu", menu, reporter).good());
    EXPECT_EQ(menu.ics.fragments.size(), 1u);
    EXPECT_TRUE(menu.palettes.empty());
}

TEST(MenuReader, FragmentedCompositionAroundAnObject) {
    // The page data is the fragments' data joined, even when an object lies
    // between them in the file.
    const Bytes page = onePage(5);
    const Bytes file =
        concat({segment(kSegmentICS, test::icsPayload(1, ByteView(page).first(30), false, 0x80)),
                segment(kSegmentODS, test::odsPayload(0, 0xC0, test::hexBytes("01 00 00"), 1, 1)),
                segment(kSegmentICS, test::icsContinuation(ByteView(page).subspan(30), 0x40)),
                segment(kSegmentEND, {})});
    const Loaded loaded = load(file);
    ASSERT_TRUE(loaded.outcome.good()) << loaded.outcome.message;
    ASSERT_EQ(loaded.menu.ics.pages.size(), 1u);
    EXPECT_EQ(loaded.menu.ics.pages[0].bogs[0].buttons[0].id, 5);
    EXPECT_EQ(loaded.menu.pageButtons[0].size(), 6u);
}

class ProgressSink : public RecordingSink {
public:
    void setProgress(int percent) override { values.push_back(percent); }
    std::vector<int> values;
};

TEST(MenuReader, ProgressRunsOverThePages) {
    Bytes pages;
    for (int i = 0; i < 5; ++i) {
        const Bytes page = pageBytes(test::simplePage(static_cast<std::uint8_t>(i), {IGbutton(0)}));
        pages.insert(pages.end(), page.begin(), page.end());
    }
    ProgressSink sink;
    Reporter reporter(sink);
    TIGMenu menu;
    parseMenu(concat({segment(kSegmentICS, test::icsPayload(5, pages))}), "p.mnu", menu, reporter);
    EXPECT_EQ(sink.values, (std::vector<int>{0, 84, 88, 92, 96, 100}));
    EXPECT_EQ(sink.panel[1], "Reading page 4");
    EXPECT_FALSE(sink.progressOn);
}

// Damaged, cut and hostile files: an error in the log naming the file and an
// offset, never a crash, and what could be read is kept.
TEST(MenuReader, DamagedFiles) {
    const Bytes good = onePageMenu();
    Bytes threeWindows = onePage();
    threeWindows[10] = 3;  // in_effects number_of_windows
    Bytes windows(27, 0);
    threeWindows.insert(threeWindows.begin() + 11, windows.begin(), windows.end());
    Bytes manyCommands = onePage();
    manyCommands[manyCommands.size() - 14] = 0xFF;  // number_of_navigation_commands
    manyCommands[manyCommands.size() - 13] = 0xFF;
    Bytes manyBogs = onePage();
    manyBogs[20] = 0xFF;  // number_of_BOGs
    Bytes bigObject = test::odsPayload(2, 0xC0, test::hexBytes("01 00 00"), 5000, 5000);
    Bytes hugeObject = test::odsPayload(3, 0xC0, {}, 0xFFFF, 0xFFFF);
    const struct {
        const char* what;
        Bytes file;
        ReadStatus status;
        const char* message;
        std::size_t pages;
    } cases[] = {
        {"cut in a header", concat({good, test::hexBytes("49 47 00 00")}), ReadStatus::Good, "", 1},
        {"cut after the first header bytes",
         concat({segment(kSegmentICS, test::icsPayload(1, onePage())), test::hexBytes("49 47 00")}),
         ReadStatus::Truncated, "test.mnu: the segment header at $000000", 1},
        {"payload cut", Bytes(good.begin(), good.end() - 20), ReadStatus::Truncated,
         "test.mnu: the ICS at $00000000 declares", 0},
        {"unknown segment skipped",
         concat({segment(0x17, test::hexBytes("00 00 00 80 00 00")), good}), ReadStatus::Truncated,
         "Unknow segment! test.mnu: segment type $17 at $00000000; its 6 "
         "payload bytes are skipped",
         1},
        {"no ICS",
         concat({segment(kSegmentPDS, test::pdsPayload(0, {})), segment(kSegmentEND, {})}),
         ReadStatus::BadFormat, "File format error: test.mnu holds no interactive composition", 0},
        {"not IG", test::hexBytes("50 47 00 00 00 00 00 00 00 00 16 00 00"), ReadStatus::BadFormat,
         "File format error: test.mnu: the segment header at $00000000 does not begin with \"IG\"",
         0},
        {"three windows", concat({segment(kSegmentICS, test::icsPayload(1, threeWindows))}),
         ReadStatus::Truncated,
         "test.mnu: page 0: in_effects declare 3 windows at $00000028; the "
         "first 2 are kept",
         1},
        {"commands beyond the data",
         concat({segment(kSegmentICS, test::icsPayload(1, manyCommands))}), ReadStatus::Truncated,
         "number_of_navigation_commands runs past the end of the composition data", 0},
        {"BOGs beyond the data", concat({segment(kSegmentICS, test::icsPayload(1, manyBogs))}),
         ReadStatus::Truncated, "test.mnu: page 0: number_of_BOGs runs past the end", 0},
        {"pages beyond the data", concat({segment(kSegmentICS, test::icsPayload(200, onePage()))}),
         ReadStatus::Truncated, "test.mnu: page 1: page() runs past the end", 1},
        {"object larger than 4096", onePageMenu(segment(kSegmentODS, bigObject)),
         ReadStatus::Truncated,
         "test.mnu: object 0002 (ODS at $00000065) is 5000 x 5000 pixels, larger than 4096 x 4096; "
         "it is shown empty",
         1},
        {"65535 x 65535 object", onePageMenu(segment(kSegmentODS, hugeObject)),
         ReadStatus::Truncated, "is 65535 x 65535 pixels", 1},
        {"RLE data not in the file",
         onePageMenu(
             segment(kSegmentODS, test::odsPayload(1, 0xC0, test::hexBytes("01"), 4, 4, 0xFFFFFF))),
         ReadStatus::Truncated,
         "declares 16777211 bytes of RLE data in object_data_length, the "
         "file holds 1; it is shown empty",
         1},
        {"continuation without first",
         onePageMenu(segment(kSegmentODS, test::odsPayload(9, 0x40, test::hexBytes("01")))),
         ReadStatus::Truncated, "object 0009 (ODS at $00000065) has no first fragment", 1},
        {"ODS too short", onePageMenu(segment(kSegmentODS, test::hexBytes("00 01 00"))),
         ReadStatus::Truncated,
         "test.mnu: the ODS at $00000065 holds 3 payload bytes, fewer than its "
         "4-byte header; it is skipped",
         1},
        {"first ODS too short", onePageMenu(segment(kSegmentODS, test::hexBytes("00 01 00 80 00"))),
         ReadStatus::Truncated, "fewer than its 11-byte header", 1},
        {"PDS too short", onePageMenu(segment(kSegmentPDS, test::hexBytes("00"))),
         ReadStatus::Truncated, "the PDS at $00000065 holds 1 payload bytes", 1},
        {"ICS continuation first",
         concat({segment(kSegmentICS, test::icsContinuation(onePage(), 0x40)), good}),
         ReadStatus::Truncated, "continues a composition that has no first fragment", 1},
        {"ICS too short", segment(kSegmentICS, test::hexBytes("07 80 04 38 10 00 00 80 C0 00")),
         ReadStatus::BadFormat, "fewer than its 17-byte header", 0},
    };
    for (const auto& c : cases) {
        const Loaded loaded = load(c.file);
        EXPECT_EQ(loaded.outcome.status, c.status) << c.what << ": " << loaded.outcome.message;
        EXPECT_NE(loaded.outcome.message.find(c.message), std::string::npos)
            << c.what << ": " << loaded.outcome.message;
        EXPECT_EQ(loaded.errorFlag, c.status != ReadStatus::Good) << c.what;
        EXPECT_EQ(loaded.menu.ics.pages.size(), c.pages) << c.what;
        // Whatever was kept can be drawn and written.
        TIGMenu menu = loaded.menu;
        for (std::size_t id = 0; id < menu.objects.size(); ++id)
            Obj2Pic(menu, id, 0);
        RecordingSink sink;
        Reporter reporter(sink);
        EXPECT_TRUE(igsBytes(menu, IGSForm::MenuFile, reporter).has_value()) << c.what;
    }
}

TEST(MenuReader, UndecodableObjectsShowNothing) {
    const Bytes file = onePageMenu(
        segment(kSegmentODS, test::odsPayload(1, 0xC0, test::hexBytes("01 00 00"), 5000, 2)));
    Loaded loaded = load(file);
    EXPECT_FALSE(loaded.menu.objects[1].problem.empty());
    EXPECT_TRUE(Obj2Pic(loaded.menu, 1, 0)->empty());
    EXPECT_FALSE(loaded.menu.objects[1].bitmap.has_value());
    // Written back with the bytes it was read with.
    EXPECT_EQ(rle_encode(loaded.menu, 1), test::hexBytes("01 00 00"));
}

TEST(MenuReader, HighIdsLoad) {
    const Bytes file = concat(
        {segment(kSegmentICS, test::icsPayload(1, onePage(0xFFFE))),
         segment(kSegmentODS, test::odsPayload(0xFFFF, 0xC0, test::hexBytes("01 00 00"), 1, 1)),
         segment(kSegmentPDS, test::pdsPayload(0xFF, {{3, 16, 128, 128, 255}}))});
    const Loaded loaded = load(file);
    ASSERT_TRUE(loaded.outcome.good()) << loaded.outcome.message;
    EXPECT_EQ(loaded.menu.objects.size(), 0x10000u);
    EXPECT_EQ(loaded.menu.palettes.size(), 0x100u);
    EXPECT_EQ(loaded.menu.pageButtons[0].size(), 0xFFFFu);
}

TEST(MenuReader, MutatedMenusNeverCrash) {
    TIGMenu model = test::sampleMenu();
    RecordingSink sink;
    Reporter reporter(sink);
    const Bytes original = *igsBytes(model, IGSForm::MenuFile, reporter);
    std::mt19937 random(77);
    for (int round = 0; round < 400; ++round) {
        Bytes file = original;
        const int changes = 1 + static_cast<int>(random() % 6);
        for (int k = 0; k < changes; ++k)
            file[random() % file.size()] = static_cast<std::uint8_t>(random());
        if (round % 4 == 0) file.resize(random() % file.size());
        Loaded loaded = load(file);
        for (std::size_t id = 0; id < loaded.menu.objects.size(); ++id)
            Obj2Pic(loaded.menu, id, id % 3);
        RecordingSink quiet;
        Reporter again(quiet);
        igsBytes(loaded.menu, IGSForm::MenuFile, again);
    }
    // Pure garbage too.
    for (int round = 0; round < 50; ++round) {
        Bytes garbage(random() % 3000);
        for (auto& byte : garbage)
            byte = static_cast<std::uint8_t>(random());
        if (garbage.size() > 2 && round % 2) {
            garbage[0] = 'I';
            garbage[1] = 'G';
        }
        load(garbage);
    }
}

TEST(MenuReader, RealCompositionSegmentLoadsItsFivePages) {
    LUMORA_REQUIRE_SAMPLES();
    const Bytes payload = readFileBytes(test::samplesDir() + "/files/ics_menu_5_pages.bin");
    const Loaded loaded = load(concat({segment(kSegmentICS, payload), segment(kSegmentEND, {})}));
    ASSERT_TRUE(loaded.outcome.good()) << loaded.outcome.message;
    const TIGSc& ics = loaded.menu.ics;
    ASSERT_EQ(ics.pages.size(), 5u);
    EXPECT_EQ(ics.videoWidth, 1920);
    EXPECT_EQ(ics.videoHeight, 1080);
    EXPECT_EQ(ics.frameRateId, 1);
    EXPECT_EQ(ics.compositionState, 2);
    EXPECT_EQ(ics.compositionLength, 6157u);
    EXPECT_EQ(ics.modelFlags, 2);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(ics.pages[i].id, i);
    // The writer's page() form gives back the real page data byte for byte.
    Bytes pages;
    for (const TPage& page : ics.pages) {
        const Bytes bytes = pageBytes(page);
        pages.insert(pages.end(), bytes.begin(), bytes.end());
    }
    EXPECT_EQ(pages, Bytes(payload.begin() + 17, payload.end()));
    // And the whole segment comes back as it was.
    TIGMenu menu = loaded.menu;
    RecordingSink sink;
    Reporter reporter(sink);
    const Bytes written = *igsBytes(menu, IGSForm::MenuFile, reporter);
    ASSERT_GT(written.size(), 13 + payload.size());
    EXPECT_EQ(Bytes(written.begin() + 13, written.begin() + 13 + static_cast<long>(payload.size())),
              payload);
}

TEST(MenuReader, SubtitleFilesAreNotMenus) {
    LUMORA_REQUIRE_SAMPLES();
    for (const char* name : {"sintel-en.sup", "test.sup"}) {
        const Bytes data = readFileBytes(test::samplesDir() + "/files/" + name);
        const Loaded loaded = load(data, name);
        EXPECT_EQ(loaded.outcome.status, ReadStatus::BadFormat) << name;
        EXPECT_NE(loaded.outcome.message.find("File format error"), std::string::npos);
        EXPECT_TRUE(loaded.menu.objects.empty());
        EXPECT_TRUE(loaded.menu.ics.pages.empty());
    }
}

}  // namespace
}  // namespace lumora
