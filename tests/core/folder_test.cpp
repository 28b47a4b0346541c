#include "core/folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "support/test_support.h"

namespace lumora {
namespace {
namespace fs = std::filesystem;

// Whether `expected` appears in `lines` in this order (other lines between).
::testing::AssertionResult containsInOrder(const std::vector<std::string>& lines,
                                           const std::vector<std::string>& expected) {
    std::size_t at = 0;
    for (const std::string& want : expected) {
        while (at < lines.size() && lines[at] != want)
            ++at;
        if (at == lines.size()) {
            std::string log;
            for (const auto& line : lines)
                log += line + "\n";
            return ::testing::AssertionFailure() << "missing \"" << want << "\" in order in:\n"
                                                 << log;
        }
        ++at;
    }
    return ::testing::AssertionSuccess();
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

struct ReadRun {
    RecordingSink sink;
    Reporter reporter{sink};
    DiscFolder disc;
    FolderReadResult result;
    std::vector<bool> nameSetChanges;

    ReadRun(const std::string& folder, bool use83) {
        disc.folder = folder;
        disc.use83 = use83;
        FolderReadHooks hooks;
        hooks.nameSetChanged = [this](bool on) { nameSetChanges.push_back(on); };
        result = readFolder(disc, reporter, hooks,
                            [](const std::string&) { return std::optional<std::string>(); });
    }
    std::vector<std::string> lines() const { return sink.texts(); }
};

TEST(FolderRead, DemoDiscPassesAndListsEverything) {
    test::TempDir dir;
    const DemoDiscInfo demo = makeDemoDisc(dir.path().string());
    ReadRun run(demo.folder, false);
    EXPECT_TRUE(run.result.checked);
    EXPECT_FALSE(run.reporter.errorFlag());
    EXPECT_TRUE(containsInOrder(
        run.lines(),
        {" Checking required files and directories...", " PLAYLIST folder: OK",
         " CLIPINF folder: OK", " index.bdmv: OK", " MovieObject.bdmv: OK", " Reading playlists",
         "   Found 3 playlists.", " Reading clipinfos", "   Found 2 clipinfos.",
         " AUXDATA folder: OK", " BACKUP folder: OK", " STREAM folder: OK", "   Found 2 AV streams",
         " META folder: OK", " BDJO folder: OK", " JAR folder: OK", " "}));
    EXPECT_EQ(run.disc.playlists, (std::vector<std::string>{"00000", "00001", "00002"}));
    EXPECT_EQ(run.disc.bdjos, std::vector<std::string>{"00001"});
    EXPECT_EQ(run.disc.clipinfs, (std::vector<std::string>{"00000", "00001"}));
    ASSERT_EQ(run.disc.streams.size(), 2u);
    EXPECT_EQ(run.disc.streams[1].name, "00001.m2ts");
    // The menu clip's stream carries the demo menu as well.
    EXPECT_EQ(run.disc.streams[1].size, demo.menuStreamPackets * 192);
    EXPECT_EQ(run.disc.discName, dir.path().filename().string());
    EXPECT_EQ(run.sink.panel[0], "Ready.");
    EXPECT_FALSE(run.sink.progressOn);
    EXPECT_TRUE(run.nameSetChanges.empty());
}

// Renames the demo's files to their 8.3 names.
void renameTo83(const std::string& folder) {
    fs::rename(folder + "index.bdmv", folder + "INDEX.BDM");
    fs::rename(folder + "MovieObject.bdmv", folder + "MOVIEOBJ.BDM");
    const struct {
        const char* dir;
        const char* from;
        const char* to;
    } renames[] = {{"PLAYLIST/", ".mpls", ".MPL"},
                   {"CLIPINF/", ".clpi", ".CPI"},
                   {"STREAM/", ".m2ts", ".MTS"}};
    for (const auto& r : renames) {
        for (const char* name : {"00000", "00001"}) {
            fs::rename(folder + r.dir + name + r.from, folder + r.dir + name + r.to);
        }
    }
    fs::remove_all(folder + "BACKUP");
}

TEST(FolderRead, OnlyBdjObjectFilesAreListed) {
    // Other files in BDJO would be offered for a read that cannot succeed.
    test::TempDir dir;
    const DemoDiscInfo demo = makeDemoDisc(dir.path().string());
    test::writeFile(demo.folder + "BDJO/notes.txt", std::string_view("not a BD-J object"));
    test::writeFile(demo.folder + "BDJO/00002.bdjo.backup", std::string_view("old"));
    ReadRun run(demo.folder, false);
    EXPECT_EQ(run.disc.bdjos, std::vector<std::string>{"00001"});
}

TEST(FolderRead, EightThreeNamesAreDetected) {
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    renameTo83(folder);
    ReadRun run(folder, false);
    EXPECT_TRUE(run.result.checked);
    EXPECT_TRUE(run.disc.use83);
    EXPECT_EQ(run.nameSetChanges, std::vector<bool>{true});
    EXPECT_TRUE(containsInOrder(run.lines(),
                                {" INDEX.BDM: OK", " MOVIEOBJ.BDM: OK", "   Found 2 playlists.",
                                 "   Found 2 clipinfos.", "   Found 2 AV streams"}));
    EXPECT_FALSE(contains(run.lines(), " BACKUP folder: missing"));  // not checked with 8.3 names
    EXPECT_EQ(run.disc.streams[0].name, "00000.MTS");
}

TEST(FolderRead, WithoutAnyIndexTheNameSetStaysAndTheCheckFails) {
    for (const bool start83 : {false, true}) {
        test::TempDir dir;
        const std::string folder = makeDemoDisc(dir.path().string()).folder;
        fs::remove(folder + "index.bdmv");
        ReadRun run(folder, start83);
        EXPECT_FALSE(run.result.checked);
        EXPECT_EQ(run.disc.use83, start83);
        EXPECT_EQ(run.nameSetChanges, (std::vector<bool>{!start83, start83}));
        EXPECT_TRUE(
            contains(run.lines(), start83 ? " INDEX.BDM: missing" : " index.bdmv: missing"));
    }
}

TEST(FolderRead, MissingMandatoryEntriesFailTheCheck) {
    const struct {
        const char* removed;
        const char* line;
    } cases[] = {{"MovieObject.bdmv", " MovieObject.bdmv: missing"},
                 {"PLAYLIST", " PLAYLIST folder: missing"},
                 {"CLIPINF", " CLIPINF folder: missing"}};
    for (const auto& c : cases) {
        test::TempDir dir;
        const std::string folder = makeDemoDisc(dir.path().string()).folder;
        fs::remove_all(folder + c.removed);
        ReadRun run(folder, false);
        EXPECT_FALSE(run.result.checked) << c.removed;
        EXPECT_TRUE(run.reporter.errorFlag()) << c.removed;
        EXPECT_TRUE(containsInOrder(run.lines(), {c.line, " ERROR: Check failed."})) << c.removed;
        EXPECT_EQ(run.lines().back(), " ERROR: Check failed.") << c.removed;
        EXPECT_TRUE(run.disc.playlists.empty());
        EXPECT_FALSE(run.sink.progressOn);
    }
}

TEST(FolderRead, ClipWithoutStreamIsCountedMissing) {
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    fs::copy_file(folder + "CLIPINF/00000.clpi", folder + "CLIPINF/00002.clpi");
    fs::copy_file(folder + "STREAM/00000.m2ts", folder + "STREAM/00002.m2ts");
    fs::remove(folder + "STREAM/00001.m2ts");
    ReadRun run(folder, false);
    EXPECT_TRUE(run.result.checked);
    EXPECT_FALSE(run.reporter.errorFlag());
    EXPECT_TRUE(containsInOrder(
        run.lines(), {"   Found 3 clipinfos.", " STREAM folder: OK", "   Stream 00001.m2ts missing",
                      "   Found 2 AV streams, missing 1"}));
    ASSERT_EQ(run.disc.streams.size(), 3u);
    EXPECT_EQ(run.disc.streams[1].name, "");
    EXPECT_EQ(run.disc.streams[1].size, 0);
    EXPECT_FALSE(run.disc.streams[1].present());
    EXPECT_TRUE(run.disc.streams[2].present());
}

TEST(FolderRead, RealDiscFoldersReportWhatTheyLack) {
    LUMORA_REQUIRE_SAMPLES();
    const std::string samples = test::samplesDir();
    {
        ReadRun run(samples + "/bigbuckbunny/BDMV/", false);
        EXPECT_TRUE(run.result.checked);
        EXPECT_TRUE(containsInOrder(
            run.lines(), {"   Found 1 playlists.", "   Found 1 clipinfos.",
                          " AUXDATA folder: missing", " STREAM folder: missing",
                          "   Stream 00000.m2ts missing", "   Found 0 AV streams, missing 1"}));
        EXPECT_EQ(run.disc.discName, "bigbuckbunny");
    }
    {
        ReadRun run(samples + "/bdj-disc/BDMV/", false);
        EXPECT_FALSE(run.result.checked);
        EXPECT_TRUE(
            containsInOrder(run.lines(), {" PLAYLIST folder: missing", " CLIPINF folder: missing",
                                          " index.bdmv: OK", " ERROR: Check failed."}));
    }
}

TEST(FolderRead, CancelStopsTheListing) {
    struct CancellingSink : RecordingSink {
        Reporter* reporter = nullptr;
        void processEvents() override { reporter->requestCancel(); }
    } sink;
    Reporter reporter(sink);
    sink.reporter = &reporter;
    test::TempDir dir;
    DiscFolder disc;
    disc.folder = makeDemoDisc(dir.path().string()).folder;
    const FolderReadResult result = readFolder(disc, reporter, {});
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(sink.texts().back(), " Cancelled.");
    EXPECT_FALSE(sink.progressOn);
}

TEST(FolderText, ChosenFoldersEndInBdmv) {
    EXPECT_EQ(normaliseChosenFolder("/d/Movie"), "/d/Movie/BDMV/");
    EXPECT_EQ(normaliseChosenFolder("/d/Movie/"), "/d/Movie/BDMV/");
    EXPECT_EQ(normaliseChosenFolder("/d/Movie/BDMV"), "/d/Movie/BDMV/");
    EXPECT_EQ(normaliseChosenFolder("/d/Movie/BDMV/"), "/d/Movie/BDMV/");
    EXPECT_EQ(chooserStartFolder("/d/Movie/BDMV/"), "/d/Movie/");
    EXPECT_EQ(chooserStartFolder(""), "");
    EXPECT_EQ(folderOfFile("/x/Movie/BDMV/index.bdmv"), "/x/Movie/BDMV/");
    EXPECT_EQ(folderOfFile("index.bdmv"), "");
}

TEST(FolderText, DroppedFileExtensionChoosesTheNameSet) {
    const struct {
        const char* path;
        bool use83;
    } cases[] = {{"/x/BDMV/index.bdmv", false}, {"/x/BDMV/INDEX.BDM", true},
                 {"/x/BDMV/index.BDM", true},   {"/x/BDMV/MOVIEOBJ.BDM", true},
                 {"/x/BDMV/menu.bdm", false},   {"/x/BDMV/menu.mnu", false},
                 {"/x.BDM/file", false}};
    for (const auto& c : cases)
        EXPECT_EQ(use83ForFile(c.path), c.use83) << c.path;
}

TEST(FolderText, DiscNameFromFolderOrVolumeLabel) {
    const auto labels = [](const std::string& dir) -> std::optional<std::string> {
        if (dir == "/media/u/disc") return std::string("my disc");
        if (dir == "/") return std::string();
        return std::nullopt;
    };
    const struct {
        const char* folder;
        const char* name;
    } cases[] = {{"/home/u/Movie/BDMV/", "Movie"},
                 {"/media/u/disc/BDMV/", "MY DISC"},
                 {"/BDMV/", ""},
                 {"BDMV/", ""},
                 {"/a/", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(discName(c.folder, labels), c.name) << c.folder;
    EXPECT_EQ(windowTitle("MY DISC"), "Lumora v0.36b [MY DISC]");
}

TEST(FolderText, OnlyMountRootsHaveAVolumeLabel) {
    test::TempDir dir;
    EXPECT_FALSE(mountVolumeLabel(dir.path().string()).has_value());
    EXPECT_TRUE(mountVolumeLabel("/").has_value());
    EXPECT_FALSE(mountVolumeLabel(dir / "absent").has_value());
}

enum class Outcome { NoBackup, Renamed, KeptOld, Error };

TEST(Backup, ModesTable) {
    const struct {
        const char* name;
        BackupOptions options;
        bool fileExists;
        bool backupExists;
        Outcome outcome;
    } cases[] = {
        {"off", {false, BackupMode::OnlyOnce, false}, true, false, Outcome::NoBackup},
        {"only once, first save",
         {true, BackupMode::OnlyOnce, false},
         true,
         false,
         Outcome::Renamed},
        {"only once, backup there",
         {true, BackupMode::OnlyOnce, false},
         true,
         true,
         Outcome::KeptOld},
        {"overwrite", {true, BackupMode::Overwrite, false}, true, true, Outcome::Renamed},
        {"stop if exists, none",
         {true, BackupMode::StopIfExists, false},
         true,
         false,
         Outcome::Renamed},
        {"stop if exists, backup there",
         {true, BackupMode::StopIfExists, false},
         true,
         true,
         Outcome::Error},
        {"new file", {true, BackupMode::OnlyOnce, false}, false, false, Outcome::NoBackup},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        const std::string folder = dir.path().string() + "/";
        if (c.fileExists) test::writeFile(folder + "index.bdmv", "current");
        if (c.backupExists) test::writeFile(folder + "index.bdmv.backup", "older");
        RecordingSink sink;
        Reporter reporter(sink);
        backupStep(reporter, c.options, folder, "index.bdmv");

        EXPECT_EQ(reporter.errorFlag(), c.outcome == Outcome::Error) << c.name;
        const bool backupThere = fileExists(folder + "index.bdmv.backup");
        switch (c.outcome) {
            case Outcome::NoBackup:
                EXPECT_FALSE(backupThere) << c.name;
                EXPECT_EQ(fileExists(folder + "index.bdmv"), c.fileExists) << c.name;
                break;
            case Outcome::Renamed:
                EXPECT_EQ(test::readFile(folder + "index.bdmv.backup"),
                          test::hexBytes("63757272656E74"))
                    << c.name;
                EXPECT_FALSE(fileExists(folder + "index.bdmv")) << c.name;
                break;
            case Outcome::KeptOld:
            case Outcome::Error:
                EXPECT_EQ(test::readFile(folder + "index.bdmv.backup"),
                          test::hexBytes("6F6C646572"))
                    << c.name;
                EXPECT_TRUE(fileExists(folder + "index.bdmv")) << c.name;
                break;
        }
        if (c.outcome == Outcome::Error) {
            EXPECT_EQ(sink.texts().back(), " ERROR: Cannot create backup file.");
        }
    }
}

TEST(Backup, CopyToBackupFolderOnlyWhenAsked) {
    test::TempDir dir;
    const std::string folder = dir.path().string() + "/";
    fs::create_directory(folder + "BACKUP");
    test::writeFile(folder + "MovieObject.bdmv", "new");
    test::writeFile(folder + "BACKUP/MovieObject.bdmv", "old copy");
    copyToBackupDir({true, BackupMode::OnlyOnce, false}, folder, "MovieObject.bdmv");
    EXPECT_EQ(test::readFile(folder + "BACKUP/MovieObject.bdmv").size(), 8u);
    copyToBackupDir({true, BackupMode::OnlyOnce, true}, folder, "MovieObject.bdmv");
    EXPECT_EQ(test::readFile(folder + "BACKUP/MovieObject.bdmv"), test::hexBytes("6E6577"));
    // No BACKUP folder: the failed copy is silent.
    fs::remove_all(folder + "BACKUP");
    copyToBackupDir({true, BackupMode::OnlyOnce, true}, folder, "MovieObject.bdmv");
}

}  // namespace
}  // namespace lumora
