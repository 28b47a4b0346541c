// BD-J objects on the command line: dump as text and JSON, rewrite refusing
// them, and the check's line for each of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "demo/demo_disc.h"
#include "support/test_support.h"

namespace lumora::cli {
namespace {
namespace fs = std::filesystem;

std::string sampleBdjo() {
    return test::samplesDir() + "/files/00000.bdjo";
}

TEST(CliBdjo, DumpOfTheRealFile) {
    LUMORA_REQUIRE_SAMPLES();
    const CliRun run = cli({"dump", sampleBdjo()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "file\t00000.bdjo\n"
              "type_indicator\tBDJO\n"
              "version\t0200\n"
              "terminal_info_start_address\t48\n"
              "app_cache_info_start_address\t62\n"
              "table_of_accessible_playlists_start_address\t80\n"
              "application_management_table_start_address\t94\n"
              "key_interest_table_start_address\t188\n"
              "file_access_info_start_address\t192\n"
              "terminal_info_length\t10\n"
              "default_font\t*****\n"
              "initial_havi_configuration_id\t1\n"
              "menu_call_mask\tNo\n"
              "title_search_mask\tNo\n"
              "app_cache_info_length\t14\n"
              "app_cache_entries\t1\n"
              "No.\tentry type\tref to name\tlanguage\n"
              "0\t1\t00000\t*.*\n"
              "table_of_accessible_playlists_length\t10\n"
              "access_to_all\tYes\n"
              "autostart_first_playlist\tNo\n"
              "accessible_playlists\t1\n"
              "No.\tPlayList\n"
              "0\t00001\n"
              "application_management_table_length\t90\n"
              "applications\t1\n"
              "No.\tctrl\ttype\torgID\tappID\ttag\tprior\tbind\tvisib\ticon_loc\tbase_dir\t"
              "classpath_ext\tinit_classn.\tpr.\tna.\tpa.\n"
              "0\t1\t16\tFFFF0001\t4000\t00\t1\t3\t0\t\t00000\t/00000\t"
              "com.hdcookbook.gunbunny.GunBunnyXlet\t1\t0\t0\n"
              "application\t0\n"
              "No.\tprofile\tversion\n"
              "1\t0001\t1.0.0\n"
              "No.\tlang\tname\n"
              "No.\tparameter\n"
              "key_interest_table\tFFE00000\n"
              "keys\tPlay\tStop\tFFW\tREW\tNext\tPrev.\tPause\tStill off\tsec.audio\tsec.video\t"
              "PG TextST\n"
              "directory_path\t.\n");
}

TEST(CliBdjo, JsonOfTheRealFile) {
    LUMORA_REQUIRE_SAMPLES();
    const CliRun run = cli({"dump", "--json", sampleBdjo()});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["file"], "00000.bdjo");
    EXPECT_EQ(json["format"], "bdj_object");
    EXPECT_EQ(json["version"], "0200");
    EXPECT_EQ(json["application_management_table_start_address"], 94);
    EXPECT_EQ(json["terminal_info"],
              nlohmann::json::parse(R"({"length": 10, "default_font": "*****",
                  "initial_havi_configuration_id": 1, "menu_call_mask": 0,
                  "title_search_mask": 0})"));
    EXPECT_EQ(json["app_cache_info"]["entries"],
              nlohmann::json::parse(
                  R"([{"entry_type": 1, "reference_to_name": "00000", "language_code": "*.*"}])"));
    EXPECT_EQ(json["table_of_accessible_playlists"],
              nlohmann::json::parse(R"({"length": 10, "access_to_all_flag": 1,
                  "autostart_first_playlist_flag": 0, "playlists": ["00001"]})"));
    const auto& app = json["application_management_table"]["applications"][0];
    EXPECT_EQ(app["organization_id"], 0xFFFF0001u);
    EXPECT_EQ(app["application_id"], 0x4000);
    EXPECT_EQ(app["descriptor_length"], 74);
    EXPECT_EQ(app["profiles"],
              nlohmann::json::parse(R"([{"profile": 1, "major": 1, "minor": 0, "micro": 0}])"));
    EXPECT_EQ(app["binding"], 3);
    EXPECT_EQ(app["names"], nlohmann::json::array());
    EXPECT_EQ(app["classpath_extension"], "/00000");
    EXPECT_EQ(app["initial_class_name"], "com.hdcookbook.gunbunny.GunBunnyXlet");
    EXPECT_FALSE(app.contains("other_descriptor"));
    EXPECT_EQ(json["key_interest_table"], 0xFFE00000u);
    EXPECT_EQ(json["file_access_info"]["directory_path"], ".");
}

TEST(CliBdjo, DumpOfTheDemoDiscObject) {
    test::TempDir dir;
    const std::string file = makeDemoDisc(dir.path().string()).folder + "BDJO/00001.bdjo";
    const CliRun text = cli({"dump", file});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_TRUE(has(text.out, "file\t00001.bdjo\ntype_indicator\tBDJO\nversion\t0200\n"));
    EXPECT_TRUE(has(text.out, "file_access_info_start_address\t214\n"));
    EXPECT_TRUE(has(text.out,
                    "app_cache_entries\t1\nNo.\tentry type\tref to name\tlanguage\n"
                    "0\t1\t00001\t*.*\n"));
    EXPECT_TRUE(has(text.out,
                    "autostart_first_playlist\tYes\naccessible_playlists\t2\n"
                    "No.\tPlayList\n0\t00000\n1\t00002\n"));
    EXPECT_TRUE(has(text.out, "applications\t1\n"));
    EXPECT_TRUE(has(text.out,
                    "0\t1\t1\t56789ABC\t4001\t00\t3\t3\t2\t\t00001\t\tlumora.demo.GameXlet"
                    "\t1\t1\t2\napplication\t0\n"));
    EXPECT_TRUE(has(text.out, "No.\tparameter\n1\tlevel=1\n2\tmode=demo\n"));
    EXPECT_TRUE(has(text.out,
                    "key_interest_table\tC2000000\nkeys\tPlay\tStop\tPause\n"
                    "directory_path\t00001\n"));

    const CliRun json = cli({"dump", "--json", file});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto parsed = nlohmann::json::parse(json.out);
    EXPECT_EQ(parsed["table_of_accessible_playlists"]["playlists"],
              nlohmann::json::parse(R"(["00000", "00002"])"));
    EXPECT_EQ(parsed["application_management_table"]["applications"].size(), 1u);
    EXPECT_EQ(parsed["key_interest_table"], 0xC2000000u);
}

TEST(CliBdjo, UnknownDescriptorIsDumpedAsItsBytes) {
    test::TempDir dir;
    const Bytes bytes = test::hexBytes(
        "42444A4F 30323030 00000030 0000003E 00000044 0000004C 00000064 00000068"
        "00000000 00000000 00000000 00000000"
        "0000000A 2A2A2A2A2A 10 00000000"                             // 48: TerminalInfo
        "00000002 0000"                                               // 62: no cache entries
        "00000004 0000 0000"                                          // 68: no playlists
        "00000014 01 00 02 10 0A0B0C0D 4002 01 00 00000004 CAFEF00D"  // 76: one application
        "00000000"                                                    // 100: keys
        "0000");                                                      // 104: no path
    test::writeFile(dir / "00007.bdjo", bytes);
    const CliRun text = cli({"dump", dir / "00007.bdjo"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_TRUE(has(text.out,
                    "0\t2\t16\t0A0B0C0D\t4002\t01\t0\t0\t0\t\t\t\t\t0\t0\t0\n"
                    "application\t0\nother_descriptor\tCAFEF00D\n"));
    const CliRun json = cli({"dump", "--json", dir / "00007.bdjo"});
    const auto app =
        nlohmann::json::parse(json.out)["application_management_table"]["applications"][0];
    EXPECT_EQ(app["descriptor_tag"], 1);
    EXPECT_EQ(app["other_descriptor"], "CAFEF00D");
    EXPECT_FALSE(app.contains("profiles"));
}

TEST(CliBdjo, DumpOfACutFilePrintsWhatWasReadAndFails) {
    LUMORA_REQUIRE_SAMPLES();
    test::TempDir dir;
    Bytes bytes = test::readFile(sampleBdjo());
    bytes.resize(150);
    test::writeFile(dir / "00000.bdjo", bytes);
    const CliRun run = cli({"dump", dir / "00000.bdjo"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(has(run.out, "accessible_playlists\t1\n"));
    EXPECT_EQ(run.err,
              "lumora-cli: 00000.bdjo: ApplicationManagementTable() runs past the end of the "
              "file at $00000062\n");
}

TEST(CliBdjo, RewriteRefusesABdjObject) {
    LUMORA_REQUIRE_SAMPLES();
    test::TempDir dir;
    const CliRun run = cli({"rewrite", sampleBdjo(), dir / "out.bdjo"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "lumora-cli: 00000.bdjo: BD-J object files are only read, not written; " +
                           (dir / "out.bdjo") + " not written\n");
    EXPECT_FALSE(fs::exists(dir / "out.bdjo"));
}

TEST(CliBdjo, CheckReadsEveryBdjObject) {
    LUMORA_REQUIRE_SAMPLES();
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    const CliRun demo = cli({"check", folder});
    EXPECT_EQ(demo.status, 0) << demo.out << demo.err;
    EXPECT_TRUE(has(demo.out,
                    "   Found 2 clipinfos.\n Reading 00001.bdjo\n   Found 1 application.\n"
                    " Reading index.bdmv\n"));

    fs::copy_file(sampleBdjo(), folder + "BDJO/00002.bdjo");
    const CliRun withSample = cli({"check", folder});
    EXPECT_EQ(withSample.status, 0) << withSample.out << withSample.err;
    EXPECT_TRUE(has(withSample.out, " Reading 00002.bdjo\n   Found 1 application.\n"));

    Bytes cut = test::readFile(sampleBdjo());
    cut.resize(100);
    test::writeFile(folder + "BDJO/00003.bdjo", cut);
    test::writeFile(folder + "BDJO/00004.bdjo", std::string_view("not a BD-J object"));
    const CliRun damaged = cli({"check", folder});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_TRUE(has(damaged.out,
                    " Reading 00003.bdjo\n ERROR: 00003.bdjo: ApplicationManagementTable() "
                    "runs past the end of the file at $00000062\n   Found 0 applications.\n"
                    " Reading 00004.bdjo\n ERROR: 00004.bdjo format error: type indicator at "
                    "$00000000\n Reading index.bdmv\n"));
    EXPECT_TRUE(has(damaged.out, " JAR folder: OK\n")) << "the check goes on to its end";
}

}  // namespace
}  // namespace lumora::cli
