// Menus taken out of stream files: the demo clip's menu, the IG stream of the
// chosen PID when a clip has two, a clip without a menu, Cancel, and which
// files count as stream files.
#include <gtest/gtest.h>

#include <filesystem>

#include "demo/demo_disc.h"
#include "menu/menu_reader.h"
#include "menu/menu_writer.h"
#include "stream/mux.h"
#include "stream/stream_menu.h"
#include "stream_fixtures.h"
#include "support/test_support.h"

namespace lumora {
namespace {

using test::append;
namespace fs = std::filesystem;

struct DemoDisc {
    DemoDisc() : info(makeDemoDisc(dir.path().string())) {}
    std::string stream(const std::string& clip) const {
        return info.folder + "STREAM/" + clip + ".m2ts";
    }
    test::TempDir dir;
    DemoDiscInfo info;
};

TEST(StreamMenu, TheDemoClipCarriesTheDemoMenu) {
    DemoDisc disc;
    RecordingSink sink;
    Reporter reporter(sink);
    TIGMenu menu;
    const StreamMenuResult result = loadMenuFromStream(disc.stream("00001"), kDefaultMenuPid, menu,
                                                       reporter, disc.dir / "menu.tmp");
    EXPECT_TRUE(result.outcome.good()) << result.outcome.message;
    EXPECT_FALSE(result.cancelled());
    // The menu file taken out is the writer's, byte for byte.
    EXPECT_EQ(test::readFile(disc.dir / "menu.tmp"), test::readFile(disc.dir / "demo.mnu"));

    TIGMenu direct;
    ASSERT_TRUE(loadMNU(disc.dir / "demo.mnu", direct, reporter).good());
    EXPECT_EQ(menu.ics.pages.size(), direct.ics.pages.size());
    EXPECT_EQ(menu.objects.size(), direct.objects.size());
    EXPECT_EQ(menu.palettes.size(), direct.palettes.size());
    // One log line per PES packet, then the reader's summary.
    const auto lines = sink.texts();
    ASSERT_GT(lines.size(), result.demux.pesPackets);
    EXPECT_EQ(lines[0].substr(0, 22), " 0002BF20, 0002BC74 : ");
    EXPECT_NE(std::find(lines.begin(), lines.end(), " 1 ICS, 17 OCS, 2 PCS found."), lines.end());
}

// The PES packets of a menu's PES form, each cut into packets of `pid`.
Bytes menuPackets(TIGMenu& menu, std::uint16_t pid, Reporter& reporter) {
    const Bytes pes = *igsBytes(menu, IGSForm::Pes, reporter);
    Bytes out;
    std::uint8_t cc = 0;
    for (std::size_t at = 0; at + 6 <= pes.size();) {
        const std::size_t size = (std::size_t{pes[at + 4]} << 8 | pes[at + 5]) + 6;
        append(out, test::packetize(ByteView(pes).subspan(at, size), pid, cc));
        at += size;
    }
    return out;
}

TEST(StreamMenu, TheSelectedOfTwoIgStreams) {
    test::TempDir dir;
    makeDemoMenu(dir / "demo.mnu");
    RecordingSink sink;
    Reporter reporter(sink);
    TIGMenu first;
    ASSERT_TRUE(loadMNU(dir / "demo.mnu", first, reporter).good());
    TIGMenu second;
    ASSERT_TRUE(loadMNU(dir / "demo.mnu", second, reporter).good());
    second.ics.compositionNumber = 7;
    second.ics.pages.pop_back();
    second.pageButtons.pop_back();

    Bytes stream = menuPackets(first, 0x1400, reporter);
    append(stream, menuPackets(second, 0x1401, reporter));
    test::writeFile(dir / "two.m2ts", stream);

    TIGMenu menu;
    ASSERT_TRUE(
        loadMenuFromStream(dir / "two.m2ts", 0x1401, menu, reporter, dir / "m.tmp").outcome.good());
    EXPECT_EQ(menu.ics.compositionNumber, 7);
    EXPECT_EQ(menu.ics.pages.size(), 1u);
    ASSERT_TRUE(
        loadMenuFromStream(dir / "two.m2ts", 0x1400, menu, reporter, dir / "m.tmp").outcome.good());
    EXPECT_EQ(menu.ics.compositionNumber, first.ics.compositionNumber);
    EXPECT_EQ(menu.ics.pages.size(), 2u);
}

TEST(StreamMenu, AClipWithoutMenuGivesAnEmptyMenuFile) {
    DemoDisc disc;
    RecordingSink sink;
    Reporter reporter(sink);
    TIGMenu menu;
    const StreamMenuResult result = loadMenuFromStream(disc.stream("00000"), kDefaultMenuPid, menu,
                                                       reporter, disc.dir / "menu.tmp");
    EXPECT_EQ(result.outcome.status, ReadStatus::BadFormat);
    EXPECT_EQ(result.demux.savedPackets, 0u);
    EXPECT_EQ(fs::file_size(disc.dir / "menu.tmp"), 0u);
}

TEST(StreamMenu, CancelLeavesTheMenuAlone) {
    DemoDisc disc;
    RecordingSink sink;
    Reporter reporter(sink);
    TIGMenu menu;
    ASSERT_TRUE(loadMNU(disc.dir / "demo.mnu", menu, reporter).good());
    reporter.requestCancel();
    const StreamMenuResult result = loadMenuFromStream(disc.stream("00001"), kDefaultMenuPid, menu,
                                                       reporter, disc.dir / "menu.tmp");
    EXPECT_TRUE(result.cancelled());
    EXPECT_EQ(menu.ics.pages.size(), 2u);
}

TEST(StreamMenu, StreamFilesAreKnownByNameOrByContent) {
    for (const char* name : {"a.m2ts", "A.M2TS", "00001.MTS", "x/y.mts"})
        EXPECT_TRUE(hasStreamExtension(name)) << name;
    for (const char* name : {"a.mnu", "m2ts", "a.m2ts.bak", "a.ts"})
        EXPECT_FALSE(hasStreamExtension(name)) << name;

    DemoDisc disc;
    EXPECT_TRUE(startsWithSourcePackets(disc.stream("00000")));
    EXPECT_FALSE(startsWithSourcePackets(disc.dir / "demo.mnu"));
    EXPECT_FALSE(startsWithSourcePackets(disc.dir / "missing"));
    test::writeFile(disc.dir / "one.bin", test::nullPacket());
    EXPECT_TRUE(startsWithSourcePackets(disc.dir / "one.bin"));
    Bytes wrongSecond = test::nullPacket();
    append(wrongSecond, Bytes(192, 0));
    test::writeFile(disc.dir / "two.bin", wrongSecond);
    EXPECT_FALSE(startsWithSourcePackets(disc.dir / "two.bin"));
}

}  // namespace
}  // namespace lumora
