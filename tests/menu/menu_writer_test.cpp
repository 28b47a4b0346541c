#include <gtest/gtest.h>

#include <filesystem>

#include "core/file_io.h"
#include "menu/menu_reader.h"
#include "menu/menu_writer.h"
#include "menu/rle_codec.h"
#include "menu_fixtures.h"
#include "support/test_support.h"

namespace lumora {
namespace {

struct Segment {
    std::uint32_t pts = 0;
    std::uint32_t dts = 0;
    std::uint8_t type = 0;
    Bytes payload;
};

// Splits a menu file into its segments.
std::vector<Segment> segmentsOf(ByteView file) {
    std::vector<Segment> segments;
    ByteReader reader(file);
    while (!reader.atEnd()) {
        EXPECT_EQ(reader.readword(), 0x4947u);
        Segment s;
        s.pts = reader.readlong();
        s.dts = reader.readlong();
        s.type = reader.readbyte();
        s.payload = reader.readbytes(reader.readword());
        if (reader.overran()) break;
        segments.push_back(std::move(s));
    }
    return segments;
}

Bytes write(TIGMenu& menu, IGSForm form = IGSForm::MenuFile) {
    RecordingSink sink;
    Reporter reporter(sink);
    const auto bytes = igsBytes(menu, form, reporter);
    EXPECT_TRUE(bytes.has_value());
    EXPECT_FALSE(reporter.errorFlag());
    return bytes.value_or(Bytes{});
}

TIGMenu read(ByteView file) {
    RecordingSink sink;
    Reporter reporter(sink);
    TIGMenu menu;
    const ReadOutcome outcome = parseMenu(file, "w.mnu", menu, reporter);
    EXPECT_TRUE(outcome.good()) << outcome.message;
    return menu;
}

// A page whose serialised form is exactly `size` bytes: one BOG of one button
// with commands, and empty in-effects to make up the remainder.
TPage pageOfSize(std::size_t size) {
    TPage page = test::simplePage(0, {IGbutton(0)});
    const std::size_t base = pageBytes(page).size();
    std::size_t effects = 0;
    while ((size - base - 5 * effects) % 12 != 0)
        ++effects;
    page.inEffects.effects.resize(effects);
    page.bogs[0].buttons[0].commands.resize((size - base - 5 * effects) / 12);
    EXPECT_EQ(pageBytes(page).size(), size);
    return page;
}

std::vector<std::size_t> lengthsOf(const std::vector<Segment>& segments, std::uint8_t type) {
    std::vector<std::size_t> lengths;
    for (const Segment& s : segments) {
        if (s.type == type) lengths.push_back(s.payload.size());
    }
    return lengths;
}

TEST(MenuWriter, WrittenMenusReadAndWriteBackIdentically) {
    TIGMenu small = test::sampleMenu();
    TIGMenu timed = test::sampleMenu();
    timed.ics.modelFlags = 0;
    timed.ics.compositionTimeOut = 0x1FFFFFFFFull;
    timed.ics.selectionTimeOut = 12345;
    // Fragmented ICS and ODS: pages beyond one segment, an object beyond one.
    TIGMenu large = test::sampleMenu();
    large.ics.pages.push_back(pageOfSize(140000));
    test::rebuildButtonTables(large);
    large.objects.push_back(test::objectOfEncodedLength(8, 200000));
    for (TIGMenu* menu : {&small, &timed, &large}) {
        const Bytes first = write(*menu);
        TIGMenu again = read(first);
        EXPECT_EQ(again.ics.pages, menu->ics.pages);
        EXPECT_EQ(again.ics.compositionTimeOut, menu->ics.compositionTimeOut);
        EXPECT_EQ(again.ics.selectionTimeOut, menu->ics.selectionTimeOut);
        for (std::size_t id = 0; id < menu->objects.size(); ++id) {
            rle_decode(again, id);
            EXPECT_EQ(again.objects[id].bitmap, menu->objects[id].bitmap) << id;
        }
        EXPECT_EQ(write(again), first);
    }
    EXPECT_EQ(lengthsOf(segmentsOf(write(large)), kSegmentICS).size(), 3u);
}

TEST(MenuWriter, FragmentBoundaries) {
    const struct {
        std::size_t pageData;
        std::vector<std::size_t> segments;
    } compositions[] = {
        {65502, {65519}},
        {65503, {65519, 10}},
        {65502 + 65510, {65519, 65519}},
        {65502 + 65511, {65519, 65519, 10}},
    };
    for (const auto& c : compositions) {
        TIGMenu menu;
        menu.ics.pages = {pageOfSize(c.pageData)};
        test::rebuildButtonTables(menu);
        const auto segments = segmentsOf(write(menu));
        EXPECT_EQ(lengthsOf(segments, kSegmentICS), c.segments) << c.pageData;
        EXPECT_EQ(menu.ics.compositionLength, c.pageData + 5);
        EXPECT_EQ(segments.front().payload[8], c.segments.size() == 1 ? 0xC0 : 0x80);
    }
    const struct {
        std::size_t encoded;
        std::vector<std::size_t> segments;
    } objects[] = {
        {65508, {65519}},
        {65509, {65519, 5}},
        {65508 + 65515, {65519, 65519}},
    };
    for (const auto& c : objects) {
        TIGMenu menu;
        menu.objects = {test::objectOfEncodedLength(0, c.encoded)};
        ASSERT_EQ(rle_encode(menu, 0).size(), c.encoded);
        const auto segments = segmentsOf(write(menu));
        EXPECT_EQ(lengthsOf(segments, kSegmentODS), c.segments) << c.encoded;
        ASSERT_EQ(menu.objects[0].fragments.size(), c.segments.size());
        EXPECT_EQ(menu.objects[0].fragments.back().flags & kLastInSequence, kLastInSequence);
    }
    // Time-outs make the first ICS header 10 bytes longer.
    TIGMenu timed;
    timed.ics.modelFlags = 0;
    timed.ics.pages = {pageOfSize(65492)};
    test::rebuildButtonTables(timed);
    EXPECT_EQ(lengthsOf(segmentsOf(write(timed)), kSegmentICS), std::vector<std::size_t>{65519});
}

TEST(MenuWriter, TimingOfANewMenu) {
    TIGMenu menu;
    menu.ics.pages = {test::simplePage(0, {IGbutton(0)})};
    test::rebuildButtonTables(menu);
    menu.objects = {test::objectOfEncodedLength(0, 6000)};
    menu.palettes = {test::greyPalette(0, 2)};
    const auto segments = segmentsOf(write(menu));
    ASSERT_EQ(segments.size(), 4u);
    const struct {
        std::uint8_t type;
        std::uint32_t pts, dts;
    } expected[] = {{kSegmentICS, 180000, 179910},
                    {kSegmentPDS, 179910, 0},
                    {kSegmentODS, 180000, 179910},
                    {kSegmentEND, 179910, 0}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(segments[i].type, expected[i].type) << i;
        EXPECT_EQ(segments[i].pts, expected[i].pts) << i;
        EXPECT_EQ(segments[i].dts, expected[i].dts) << i;
    }
    EXPECT_EQ(decodeTime(6000), 90u);
    // Objects decode back to back, the last ending at the start time; times
    // before 0 wrap.
    TIGMenu two = menu;
    two.objects.push_back(test::objectOfEncodedLength(1, 12000));
    two.startTime = 100;
    const auto more = segmentsOf(write(two));
    EXPECT_EQ(more[2].dts, 100u - 270u);
    EXPECT_EQ(more[2].pts, 100u - 180u);
    EXPECT_EQ(more[3].dts, 100u - 180u);
    EXPECT_EQ(more[3].pts, 100u);
    EXPECT_EQ(more[4].pts, 100u - 180u);
}

TEST(MenuWriter, WriteOrder) {
    TIGMenu menu;
    menu.objects.resize(12);
    for (std::uint16_t id = 0; id < 12; ++id)
        menu.objects[id] = bitmapObject(id, 1, 1, Bytes(1, 1));
    menu.objects[10] = TIGobject{};  // an empty slot is never written
    const auto button = [](std::uint16_t id, std::uint16_t n0, std::uint16_t n1, std::uint16_t s,
                           std::uint16_t a) {
        TIGbutton b = IGbutton(id);
        b.normalStart = n0;
        b.normalEnd = n1;
        b.selectedStart = s;
        b.selectedEnd = s;
        b.activatedStart = a;
        b.activatedEnd = a;
        return b;
    };
    TPage first = test::simplePage(0, {button(0, 9, 9, 7, 6), button(1, 8, 8, 5, 4)});
    TBOG hidden;  // default valid button 0xFFFF: written button by button
    hidden.buttons = {button(2, 3, 1, 2, 10), button(3, 11, 11, kIgNone, kIgNone)};
    first.bogs.push_back(hidden);
    Teffect effect;
    effect.objects.resize(1);
    effect.objects[0].objectId = 3;
    first.inEffects.effects = {effect};
    TPage second = test::simplePage(1, {button(0, 0, 1, 0, 0)});
    menu.ics.pages = {first, second};
    test::rebuildButtonTables(menu);
    // In-effects; the shown BOG's normal, selected, activated sweeps; the
    // other BOG button by button (range 3..1 assigns nothing, 10 is empty);
    // then the rest by id.
    const std::vector<std::uint16_t> expected{3, 9, 8, 7, 5, 6, 4, 2, 11, 0, 1};
    EXPECT_EQ(objectWriteOrder(menu), expected);
    EXPECT_EQ(menu.objects[7].writeOrder, 3);
    EXPECT_EQ(menu.objects[10].writeOrder, -1);
    const auto segments = segmentsOf(write(menu));
    std::vector<std::uint16_t> written;
    for (const auto& s : segments) {
        if (s.type == kSegmentODS)
            written.push_back(static_cast<std::uint16_t>(s.payload[0] << 8 | s.payload[1]));
    }
    EXPECT_EQ(written, expected);
}

TEST(MenuWriter, Palettes) {
    TIGMenu menu;
    menu.palettes.resize(3);
    menu.palettes[1].rgba[0] = {255, 0, 0, 255};  // Y 0: converted on writing
    menu.palettes[1].rgba[4] = {1, 2, 3, 0};
    menu.palettes[1].ycrcb[4] = {50, 60, 70};
    menu.palettes[1].rgba[255] = {9, 9, 9, 9};  // entry 255 is never written
    const auto segments = segmentsOf(write(menu));
    const auto palettes = lengthsOf(segments, kSegmentPDS);
    EXPECT_EQ(palettes, (std::vector<std::size_t>{2, 12, 2}));
    EXPECT_EQ(segments[2].payload, test::hexBytes("01 00 00 52 F0 5B FF 04 32 3C 46 00"));
    EXPECT_EQ(menu.palettes[1].ycrcb[0], (TYCrCb{82, 240, 91}));
}

TEST(MenuWriter, PesForm) {
    TIGMenu menu;
    menu.ics.pages = {test::simplePage(0, {IGbutton(0)})};
    test::rebuildButtonTables(menu);
    menu.objects = {test::objectOfEncodedLength(0, 6000)};
    menu.palettes.resize(1);
    menu.startTime = 0xFFFFFFFF;
    const Bytes pes = write(menu, IGSForm::Pes);
    ByteReader reader(pes);
    // ICS: PTS and DTS.
    EXPECT_EQ(reader.readlong(), 0x000001BDu);
    const std::size_t icsLength = reader.readword();
    EXPECT_EQ(Bytes(pes.begin() + 6, pes.begin() + 19),
              test::hexBytes("84 C0 0A 37 FF FF FF FF 17 FF FF FF 4B"));
    reader.skip(icsLength);
    EXPECT_EQ(icsLength, 13u + 3 + 17 + pageBytes(menu.ics.pages[0]).size());
    // PDS: PTS only, DTS 0 is left out.
    const std::size_t pdsAt = reader.position();
    EXPECT_EQ(reader.readlong(), 0x000001BDu);
    EXPECT_EQ(reader.readword(), 2u + 11u);
    EXPECT_EQ(Bytes(pes.begin() + static_cast<long>(pdsAt) + 6,
                    pes.begin() + static_cast<long>(pdsAt) + 9),
              test::hexBytes("84 80 05"));
    // The whole PES form is the menu file's segments behind PES headers.
    TIGMenu same = menu;
    const auto segments = segmentsOf(write(same));
    std::size_t total = 0;
    for (const auto& s : segments)
        total += 6 + 3 + (s.dts ? 10 : 5) + 3 + s.payload.size();
    EXPECT_EQ(total, pes.size());
}

TEST(MenuWriter, LargestSegmentMakesTheLargestPesPacket) {
    TIGMenu menu;
    menu.objects = {test::objectOfEncodedLength(0, 65508)};
    const Bytes pes = write(menu, IGSForm::Pes);
    // PDS-less, page-less menu: the ICS packet first, then the object.
    ByteReader reader(pes);
    reader.skip(4);
    reader.skip(reader.readword());
    EXPECT_EQ(reader.readlong(), 0x000001BDu);
    EXPECT_EQ(reader.readword(), 65535u);
}

TEST(MenuWriter, SaveKeepsTheModelConsistent) {
    TIGMenu menu = test::sampleMenu();
    const Bytes file = write(menu);
    // The fragment records now point at the written data: an object decoded
    // again from them gives the same bitmap.
    for (std::size_t id = 0; id < menu.objects.size(); ++id) {
        const Bytes before = *menu.objects[id].bitmap;
        menu.objects[id].bitmap.reset();
        rle_decode(menu, id);
        EXPECT_EQ(*menu.objects[id].bitmap, before) << id;
    }
    EXPECT_EQ(write(menu), file);
    const TIGMenu loaded = read(file);
    EXPECT_EQ(loaded.ics.compositionLength, menu.ics.compositionLength);
    EXPECT_EQ(loaded.objects[3].dataLength, menu.objects[3].dataLength);
}

TEST(MenuWriter, RefusesWhatItsFieldsCannotHold) {
    const auto threeWindows = [](TIGMenu& m) { m.ics.pages[0].inEffects.windows.resize(3); };
    const auto manyBogs = [](TIGMenu& m) { m.ics.pages[0].bogs.resize(256); };
    const auto longTimeOut = [](TIGMenu& m) { m.ics.userTimeOut = 0x1000000; };
    const auto wrongBitmap = [](TIGMenu& m) { m.objects[0].bitmap->pop_back(); };
    const std::pair<const char*, std::function<void(TIGMenu&)>> cases[] = {
        {"windows, more than 2", threeWindows},
        {"more than 255 BOGs", manyBogs},
        {"user time-out", longTimeOut},
        {"bitmap that does not match its size", wrongBitmap},
    };
    for (const auto& [message, change] : cases) {
        TIGMenu menu = test::sampleMenu();
        change(menu);
        RecordingSink sink;
        Reporter reporter(sink);
        test::TempDir dir;
        EXPECT_FALSE(saveIGS(menu, IGSForm::MenuFile, dir / "x.mnu", reporter));
        EXPECT_FALSE(fileExists(dir / "x.mnu"));
        ASSERT_FALSE(sink.texts().empty());
        EXPECT_NE(sink.texts().back().find(message), std::string::npos) << sink.texts().back();
    }
}

TEST(MenuWriter, SaveWritesTheFile) {
    TIGMenu menu = test::sampleMenu();
    RecordingSink sink;
    Reporter reporter(sink);
    test::TempDir dir;
    ASSERT_TRUE(saveIGS(menu, IGSForm::MenuFile, dir / "menu.mnu", reporter));
    EXPECT_EQ(sink.texts().front(), " Saving IGS menu...");
    EXPECT_EQ(sink.panel[0], "Ready.");
    TIGMenu loaded;
    EXPECT_TRUE(loadMNU(dir / "menu.mnu", loaded, reporter).good());
    EXPECT_EQ(loaded.ics.pages, menu.ics.pages);
}

TEST(MenuWriter, LoadedFileStaysTheMenusResource) {
    TIGMenu menu = test::sampleMenu();
    RecordingSink sink;
    Reporter reporter(sink);
    test::TempDir dir;
    ASSERT_TRUE(saveIGS(menu, IGSForm::MenuFile, dir / "menu.mnu", reporter));
    TIGMenu loaded;
    ASSERT_TRUE(loadMNU(dir / "menu.mnu", loaded, reporter).good());
    EXPECT_EQ(loaded.resource.memory(), nullptr) << "read on demand from the file";
    // Saving over the file replaces it by a new one; the open one still
    // holds what was loaded.
    TIGMenu other;
    other.ics.pages = {test::simplePage(0, {IGbutton(0)})};
    test::rebuildButtonTables(other);
    ASSERT_TRUE(saveIGS(other, IGSForm::MenuFile, dir / "menu.mnu", reporter));
    rle_decode(loaded, 3);
    EXPECT_EQ(loaded.objects[3].bitmap, menu.objects[3].bitmap);
    // A file cut short after loading reads as zeros, never out of bounds.
    TIGMenu cut;
    ASSERT_TRUE(saveIGS(menu, IGSForm::MenuFile, dir / "cut.mnu", reporter));
    ASSERT_TRUE(loadMNU(dir / "cut.mnu", cut, reporter).good());
    std::filesystem::resize_file(dir / "cut.mnu", 200);
    for (std::size_t id = 0; id < cut.objects.size(); ++id) {
        rle_decode(cut, id);
        EXPECT_EQ(cut.objects[id].bitmap->size(), menu.objects[id].bitmap->size());
    }
    EXPECT_EQ(*cut.objects[7].bitmap, Bytes(cut.objects[7].bitmap->size(), 0));
}

}  // namespace
}  // namespace lumora
