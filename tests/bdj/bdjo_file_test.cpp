#include "bdj/bdjo_file.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <utility>

#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "support/test_support.h"

namespace lumora {
namespace {

using test::hexBytes;
using Cells = std::vector<std::string>;

// One application, its descriptor written out byte by byte from offset 120
// (the table starts at 100): two profiles, two names (17 bytes, so a pad
// follows them), the icon locator "icon" and its pad, an empty classpath
// extension and its pad, two parameters and the closing pad.
const std::string kApplication =
    "01 10 0A0B0C0D 4001 00 00 0000004A"               // control code .. descriptor length 74
    "00000000"                                         // 120
    "2000 0001 01000000 0002 02010300"                 // 124: two profiles
    "03 B0"                                            // 138: priority 3, binding 2, visibility 2
    "0011 656E67 04 47616D65 646575 05 537069656C 00"  // 140: "eng" "Game", "deu" "Spiel", pad
    "04 69636F6E 00"                                   // 160: icon locator "icon", pad
    "0102"                                             // 166: icon flags
    "05 3030303031"                                    // 168: base directory "00001"
    "00 00"                                            // 174: classpath extension "", pad
    "08 6170702E4D61696E 00"                           // 176: "app.Main", pad
    "06 03 613D31 01 62 00";                           // 186: "a=1", "b", pad; ends at 194

// An application without profiles, names, texts or parameters: every empty
// text leaves a pad behind it.
const std::string kBareApplication =
    "01 10 0A0B0C0D 4001 00 00 00000016"
    "00000000 0000 01 00 0000"
    "00 00 0000 00 00 00 00 00 00 00 00";

// An application whose descriptor is not the application descriptor.
const std::string kOtherApplication = "02 10 0A0B0C0D 4002 01 00 00000006 010203040506";

// The blocks of a BD-J object as the file holds them (pads included), the
// first four without their 32-bit length; bdjoFile() adds the header, those
// lengths and the start addresses.
struct Blocks {
    std::string gap;  // bytes between the header and the TerminalInfo
    std::string terminalInfo = "2A2A2A2A2A 1C 00000000";  // HAVi 1, both masks
    std::string appCache = "01 00  01 3030303031 656E67 000000";
    std::string playlists = "0048 0000 3030303031 00 3030303032 00";  // 2, autostart
    std::string applications = "01 00" + kApplication;
    std::string keys = "C0200000";              // Play, Stop, PG TextST
    std::string fileAccess = "0003 646972 00";  // "dir", pad
};

void setLong(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

Bytes bdjoFile(const Blocks& blocks) {
    Bytes file = hexBytes("42444A4F 30323030");
    file.resize(48, 0);
    auto append = [&file](const std::string& hex, bool withLength) {
        const Bytes bytes = hexBytes(hex);
        if (withLength) appendBigEndian(file, bytes.size(), 4);
        file.insert(file.end(), bytes.begin(), bytes.end());
    };
    append(blocks.gap, false);
    std::size_t index = 0;
    for (const auto& [hex, withLength] :
         {std::pair{blocks.terminalInfo, true}, std::pair{blocks.appCache, true},
          std::pair{blocks.playlists, true}, std::pair{blocks.applications, true},
          std::pair{blocks.keys, false}, std::pair{blocks.fileAccess, false}}) {
        setLong(file, 8 + 4 * index++, static_cast<std::uint32_t>(file.size()));
        append(hex, withLength);
    }
    return file;
}

Bytes fixture(const std::function<void(Bytes&)>& change = {}) {
    Bytes bytes = bdjoFile(Blocks{});
    if (change) change(bytes);
    return bytes;
}

TApplicationManagementTable applicationsOf(const Blocks& blocks) {
    TBDJO bdjo;
    EXPECT_TRUE(parseBdjo(bdjoFile(blocks), "00000.bdjo", bdjo).good());
    return bdjo.applications;
}

TEST(BdjoFile, TheFixtureLaysItsBlocksOutAsWritten) {
    const Bytes bytes = fixture();
    ASSERT_EQ(bytes.size(), 204u);
    EXPECT_EQ(Bytes(bytes.begin() + 8, bytes.begin() + 32),
              hexBytes("00000030 0000003E 00000050 00000064 000000C2 000000C6"));
}

TEST(BdjoFile, ReadsFixtures) {
    const struct {
        const char* name;
        Bytes bytes;
        ReadStatus status;
        std::size_t applications;
        const char* message;
    } cases[] = {
        {"valid", fixture(), ReadStatus::Good, 1, ""},
        {"version 0100", fixture([](Bytes& b) { b[5] = '1'; }), ReadStatus::Good, 1, ""},
        {"one byte short", fixture([](Bytes& b) { b.pop_back(); }), ReadStatus::Truncated, 1,
         "00000.bdjo: FileAccessInfo() runs past the end of the file at $000000CB"},
        {"application count too large", fixture([](Bytes& b) { b[104] = 7; }),
         ReadStatus::Truncated, 0,
         "00000.bdjo: application count 7 runs past its block at $0000006A"},
        {"playlist count too large", fixture([](Bytes& b) { b[84] = 0xFF; }), ReadStatus::Truncated,
         0, "00000.bdjo: accessible playlist count 2042 runs past its block at $00000058"},
        {"bad magic", fixture([](Bytes& b) { b[3] = 'X'; }), ReadStatus::BadFormat, 0,
         "00000.bdjo format error: type indicator at $00000000"},
        {"bad version", fixture([](Bytes& b) { b[6] = '3'; }), ReadStatus::BadFormat, 0,
         "00000.bdjo format error: version at $00000004"},
        {"cut in the header", fixture([](Bytes& b) { b.resize(20); }), ReadStatus::Truncated, 0,
         "00000.bdjo: header runs past the end of the file at $00000008"},
        {"block start past the end", fixture([](Bytes& b) { setLong(b, 24, 0xFFFFFFF0); }),
         ReadStatus::Truncated, 1,
         "00000.bdjo: KeyInterestTable() runs past the end of the file at $FFFFFFF0"},
        {"table length past the end", fixture([](Bytes& b) { setLong(b, 100, 0x7FFFFFFF); }),
         ReadStatus::Truncated, 0,
         "00000.bdjo: ApplicationManagementTable() runs past the end of the file at $00000068"},
        {"descriptor length past the table", fixture([](Bytes& b) { setLong(b, 116, 0xFFFFFF); }),
         ReadStatus::Truncated, 1,
         "00000.bdjo: application 0 runs past the end of ApplicationManagementTable() at "
         "$00000078"},
        {"names length past the descriptor", fixture([](Bytes& b) { b[140] = 0xFF; }),
         ReadStatus::Truncated, 1,
         "00000.bdjo: application 0 names runs past the end of its descriptor at $0000008E"},
        {"name past the names", fixture([](Bytes& b) { b[145] = 0x20; }), ReadStatus::Truncated, 1,
         "00000.bdjo: application 0 names does not fit its length at $00000092"},
        {"parameter past the parameters", fixture([](Bytes& b) { b[187] = 9; }),
         ReadStatus::Truncated, 1,
         "00000.bdjo: application 0 parameters does not fit its length at $000000BC"},
        {"texts past the descriptor", fixture([](Bytes& b) { b[176] = 0x7F; }),
         ReadStatus::Truncated, 1,
         "00000.bdjo: application 0 initial class name runs past the end of its descriptor at "
         "$000000B1"},
        {"TerminalInfo shorter than its fields", fixture([](Bytes& b) { b[51] = 5; }),
         ReadStatus::Truncated, 0,
         "00000.bdjo: TerminalInfo() does not fit its length at $00000039"},
    };
    for (const auto& c : cases) {
        TBDJO bdjo;
        bdjo.version = "kept";
        const ReadOutcome outcome = parseBdjo(c.bytes, "00000.bdjo", bdjo);
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(outcome.message, c.message) << c.name;
        EXPECT_EQ(bdjo.applications.applications.size(), c.applications) << c.name;
        if (c.status == ReadStatus::BadFormat) {
            EXPECT_EQ(bdjo.version, "kept") << c.name;
        }
    }
}

// Every cut of the fixture and every byte changed to a few telling values:
// the reader stays inside the bytes, ends, and says what it found.
TEST(BdjoFile, DamagedFilesReadSafely) {
    const Bytes whole = fixture();
    std::vector<Bytes> damaged;
    for (std::size_t at = 0; at < whole.size(); ++at) {
        damaged.emplace_back(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(at));
        for (const std::uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            Bytes bytes = whole;
            bytes[at] = value;
            damaged.push_back(bytes);
        }
    }
    for (const Bytes& bytes : damaged) {
        TBDJO bdjo;
        const ReadOutcome outcome = parseBdjo(bytes, "00000.bdjo", bdjo);
        EXPECT_EQ(outcome.good(), outcome.message.empty());
        if (!outcome.good()) {
            EXPECT_EQ(outcome.message.rfind("00000.bdjo", 0), 0u) << outcome.message;
        }
        if (bytes.size() < whole.size()) {
            EXPECT_FALSE(outcome.good()) << "cut at " << bytes.size();
        }
        // Nothing is sized beyond what the file holds.
        std::size_t held = bdjo.appCache.entries.size() + bdjo.playlists.playlists.size();
        for (const Tapplication& app : bdjo.applications.applications) {
            held += app.names.size() + app.parameters.size() + app.profiles.size() +
                    app.otherDescriptor.size();
        }
        EXPECT_LE(held, bytes.size());
    }
}

TEST(BdjoFile, FieldsOfTheFixture) {
    TBDJO bdjo;
    ASSERT_TRUE(parseBdjo(fixture(), "00000.bdjo", bdjo).good());
    EXPECT_EQ(bdjo.typeIndicator, "BDJO");
    EXPECT_EQ(bdjo.version, "0200");
    EXPECT_EQ(bdjo.startAddresses, (std::array<std::uint32_t, 6>{48, 62, 80, 100, 194, 198}));
    EXPECT_EQ(bdjo.terminalInfoLength, 10u);
    EXPECT_EQ(bdjo.defaultFont, "*****");
    EXPECT_EQ(bdjo.haviConfiguration, 1);
    EXPECT_TRUE(bdjo.menuCallMask);
    EXPECT_TRUE(bdjo.titleSearchMask);
    EXPECT_EQ(bdjo.appCache, (TAppCacheInfo{14, {TAppCacheEntry{1, "00001", "eng"}}}));
    EXPECT_EQ(bdjo.playlists, (TTableOfAccessiblePlayLists{16, false, true, {"00001", "00002"}}));
    EXPECT_EQ(bdjo.applications.length, 90u);
    ASSERT_EQ(bdjo.applications.applications.size(), 1u);
    Tapplication expected;
    expected.controlCode = 1;
    expected.type = 0x10;
    expected.organizationId = 0x0A0B0C0D;
    expected.applicationId = 0x4001;
    expected.descriptorLength = 74;
    expected.profiles = {{1, 1, 0, 0}, {2, 2, 1, 3}};
    expected.priority = 3;
    expected.binding = 2;
    expected.visibility = 2;
    expected.names = {{"eng", "Game"}, {"deu", "Spiel"}};
    expected.iconLocator = "icon";
    expected.iconFlags = 0x0102;
    expected.baseDirectory = "00001";
    expected.initialClassName = "app.Main";
    expected.parameters = {"a=1", "b"};
    EXPECT_EQ(bdjo.applications.applications[0], expected);
    EXPECT_EQ(bdjo.keyInterestTable, 0xC0200000u);
    EXPECT_EQ(bdjo.directoryPath, "dir");
}

TEST(BdjoFile, GridTextsOfTheFixture) {
    TBDJO bdjo;
    ASSERT_TRUE(parseBdjo(fixture(), "00000.bdjo", bdjo).good());
    const Tapplication& app = bdjo.applications.applications[0];
    const struct {
        Cells cells;
        Cells expected;
    } cases[] = {
        {appCacheGridHeaders(), {"", "entry type", "ref to name", "language"}},
        {appCacheRowCells(0, bdjo.appCache.entries[0]), {"0", "1", "00001", "eng"}},
        {playlistGridHeaders(), {"", "PlayList"}},
        {playlistRowCells(1, bdjo.playlists.playlists[1]), {"1", "00002"}},
        {applicationGridHeaders(),
         {"", "ctrl", "type", "orgID", "appID", "tag", "prior", "bind", "visib", "icon_loc",
          "base_dir", "classpath_ext", "init_classn.", "pr.", "na.", "pa."}},
        {applicationRowCells(0, app),
         {"0", "1", "16", "0A0B0C0D", "4001", "00", "3", "2", "2", "icon", "00001", "", "app.Main",
          "2", "2", "2"}},
        {profileGridHeaders(), {"", "profile", "version"}},
        {profileRowCells(1, app.profiles[1]), {"2", "0002", "2.1.3"}},
        {nameGridHeaders(), {"", "lang", "name"}},
        {nameRowCells(0, app.names[0]), {"1", "eng", "Game"}},
        {parameterGridHeaders(), {"", "parameter"}},
        {parameterRowCells(0, app.parameters[0]), {"1", "a=1"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.cells, c.expected);
}

TEST(BdjoFile, NamesLengthZeroGivesNoNamesAndPadsFollowEveryEmptyText) {
    Blocks blocks;
    blocks.applications = "01 00" + kBareApplication;
    const auto table = applicationsOf(blocks);
    ASSERT_EQ(table.applications.size(), 1u);
    const Tapplication& app = table.applications[0];
    EXPECT_TRUE(app.names.empty());
    EXPECT_EQ(applicationRowCells(0, app)[14], "0");  // "na."
    EXPECT_EQ(app.priority, 1);
    EXPECT_TRUE(app.iconLocator.empty());
    EXPECT_TRUE(app.parameters.empty());
}

TEST(BdjoFile, IconLocatorEndingAtAnOddOffsetIsFollowedByAPad) {
    // "icon" ends at 165: a pad, and the icon flags start at 166.  Without the
    // pad the flags would be 0x0001 and the base directory would be empty.
    TBDJO bdjo;
    ASSERT_TRUE(parseBdjo(fixture(), "00000.bdjo", bdjo).good());
    const Tapplication& app = bdjo.applications.applications[0];
    EXPECT_EQ(app.iconLocator, "icon");
    EXPECT_EQ(app.iconFlags, 0x0102);
    EXPECT_EQ(app.baseDirectory, "00001");
    // A three-character locator ends at an even offset: no pad, the flags
    // follow at once.
    Blocks blocks;
    blocks.applications = "01 00" + kApplication;
    const std::size_t icon = blocks.applications.find("04 69636F6E 00");
    blocks.applications.replace(icon, 14, "03 69636F");
    blocks.applications.replace(blocks.applications.find("0000004A"), 8, "00000048");
    const auto table = applicationsOf(blocks);
    ASSERT_EQ(table.applications.size(), 1u);
    EXPECT_EQ(table.applications[0].iconLocator, "ico");
    EXPECT_EQ(table.applications[0].iconFlags, 0x0102);
    EXPECT_EQ(table.applications[0].parameters, (std::vector<std::string>{"a=1", "b"}));
}

TEST(BdjoFile, KeyInterestTableBits) {
    EXPECT_EQ(bdjKeyName(BdjKey::Prev), "Prev.");
    EXPECT_EQ(bdjKeyName(BdjKey::StillOff), "Still off");
    EXPECT_EQ(bdjKeyName(BdjKey::PgTextST), "PG TextST");
    const struct {
        std::uint32_t table;
        std::vector<BdjKey> set;
    } cases[] = {
        {0x80000000, {BdjKey::Play}},
        {0x00200000, {BdjKey::PgTextST}},
        {0xC0200000, {BdjKey::Play, BdjKey::Stop, BdjKey::PgTextST}},
        {0xFFE00000, std::vector<BdjKey>(kBdjKeys.begin(), kBdjKeys.end())},
        {0x001FFFFF, {}},
    };
    for (const auto& c : cases) {
        std::vector<BdjKey> set;
        for (const BdjKey key : kBdjKeys) {
            if (bdjKeySet(c.table, key)) set.push_back(key);
        }
        EXPECT_EQ(set, c.set) << std::hex << c.table;
    }
}

TEST(BdjoFile, TerminalInfoIsReadAtItsStartAddress) {
    Blocks blocks;
    blocks.gap = "FFFF FFFF";  // what a read right after the header would take
    const Bytes bytes = bdjoFile(blocks);
    TBDJO bdjo;
    ASSERT_TRUE(parseBdjo(bytes, "00000.bdjo", bdjo).good());
    EXPECT_EQ(bdjo.startAddresses[0], 52u);
    EXPECT_EQ(bdjo.terminalInfoLength, 10u);
    EXPECT_EQ(bdjo.defaultFont, "*****");
    EXPECT_EQ(bdjo.haviConfiguration, 1);
    EXPECT_EQ(bdjo.directoryPath, "dir");
}

TEST(BdjoFile, UnknownDescriptorIsKeptRawAndSkippedExactly) {
    Blocks blocks;
    blocks.applications = "02 00" + kOtherApplication + kApplication;
    const auto table = applicationsOf(blocks);
    ASSERT_EQ(table.applications.size(), 2u);
    const Tapplication& other = table.applications[0];
    EXPECT_EQ(other.descriptorTag, 1);
    EXPECT_EQ(other.applicationId, 0x4002);
    EXPECT_EQ(other.otherDescriptor, hexBytes("010203040506"));
    EXPECT_TRUE(other.profiles.empty());
    EXPECT_EQ(applicationRowCells(0, other)[5], "01");
    const Tapplication& app = table.applications[1];
    EXPECT_TRUE(app.otherDescriptor.empty());
    EXPECT_EQ(app.initialClassName, "app.Main");
    EXPECT_EQ(app.parameters, (std::vector<std::string>{"a=1", "b"}));
}

// The values libbluray 1.3.4 reads from the file, as its record of origin
// gives them, and the rest as the bytes hold them.
TEST(BdjoFile, RealFileShowsWhatLibblurayReads) {
    LUMORA_REQUIRE_SAMPLES();
    const Bytes data = readFileBytes(test::samplesDir() + "/files/00000.bdjo");
    TBDJO bdjo;
    const ReadOutcome outcome = parseBdjo(data, "00000.bdjo", bdjo);
    ASSERT_TRUE(outcome.good()) << outcome.message;
    EXPECT_EQ(bdjo.version, "0200");
    EXPECT_EQ(bdjo.startAddresses, (std::array<std::uint32_t, 6>{48, 62, 80, 94, 188, 192}));
    EXPECT_EQ(bdjo.defaultFont, "*****");
    EXPECT_EQ(bdjo.haviConfiguration, 1);
    EXPECT_FALSE(bdjo.menuCallMask);
    EXPECT_FALSE(bdjo.titleSearchMask);
    EXPECT_EQ(bdjo.appCache, (TAppCacheInfo{14, {TAppCacheEntry{1, "00000", "*.*"}}}));
    EXPECT_EQ(bdjo.playlists, (TTableOfAccessiblePlayLists{10, true, false, {"00001"}}));
    ASSERT_EQ(bdjo.applications.applications.size(), 1u);
    const Tapplication& app = bdjo.applications.applications[0];
    EXPECT_EQ(applicationRowCells(0, app),
              (Cells{"0", "1", "16", "FFFF0001", "4000", "00", "1", "3", "0", "", "00000", "/00000",
                     "com.hdcookbook.gunbunny.GunBunnyXlet", "1", "0", "0"}));
    EXPECT_EQ(profileRowCells(0, app.profiles[0]), (Cells{"1", "0001", "1.0.0"}));
    EXPECT_EQ(bdjo.keyInterestTable, 0xFFE00000u);
    EXPECT_EQ(bdjo.directoryPath, ".");
}

TEST(BdjoFile, DemoDiscObjectReadsBackAsGenerated) {
    test::TempDir dir;
    const DemoDiscInfo info = makeDemoDisc(dir.path().string());
    TBDJO bdjo;
    const ReadOutcome outcome =
        parseBdjo(readFileBytes(info.folder + "BDJO/00001.bdjo"), "00001.bdjo", bdjo);
    ASSERT_TRUE(outcome.good()) << outcome.message;
    TBDJO expected;
    expected.startAddresses = {48, 62, 80, 100, 210, 214};
    expected.terminalInfoLength = 10;
    expected.defaultFont = "*****";
    expected.haviConfiguration = 1;
    expected.appCache = {14, {{1, "00001", "*.*"}}};
    expected.playlists = {16, false, true, {"00000", "00002"}};
    Tapplication game;
    game.controlCode = 1;
    game.type = 1;
    game.organizationId = 0x56789ABC;
    game.applicationId = 0x4001;
    game.descriptorLength = 90;
    game.profiles = {{1, 1, 0, 0}};
    game.priority = 3;
    game.binding = 3;
    game.visibility = 2;
    game.names = {{"eng", "Lumora demo game"}};
    game.baseDirectory = "00001";
    game.initialClassName = "lumora.demo.GameXlet";
    game.parameters = {"level=1", "mode=demo"};
    expected.applications = {106, {game}};
    expected.keyInterestTable = 0xC2000000;
    expected.directoryPath = "00001";
    EXPECT_EQ(bdjo, expected);
}

TEST(BdjoFile, ReadLogsTheFileAndItsErrors) {
    test::TempDir dir;
    const struct {
        Bytes bytes;
        std::vector<std::string> log;
        bool error;
    } cases[] = {
        {fixture(), {"Reading 00000.bdjo"}, false},
        {fixture([](Bytes& b) { b[0] = 'X'; }), {"Reading 00000.bdjo"}, false},
        {fixture([](Bytes& b) { b.pop_back(); }),
         {"Reading 00000.bdjo",
          "ERROR: 00000.bdjo: FileAccessInfo() runs past the end of the file at $000000CB"},
         true},
    };
    for (const auto& c : cases) {
        test::writeFile(dir / "00000.bdjo", c.bytes);
        RecordingSink sink;
        Reporter reporter(sink);
        TBDJO bdjo;
        readBdjoFile(dir / "00000.bdjo", "00000.bdjo", bdjo, reporter);
        std::vector<std::string> texts;
        for (const auto& text : sink.texts())
            texts.push_back(text.substr(text.find_first_not_of(' ')));
        EXPECT_EQ(texts, c.log);
        EXPECT_EQ(reporter.errorFlag(), c.error);
    }
    RecordingSink sink;
    Reporter reporter(sink);
    TBDJO bdjo;
    EXPECT_THROW(readBdjoFile(dir / "missing.bdjo", "missing.bdjo", bdjo, reporter), FileError);
}

}  // namespace
}  // namespace lumora
