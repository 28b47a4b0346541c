// sound.bdmv on the command line: dump, rewrite, check, and the sound
// subcommands that export, insert, delete and create entries.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli_runner.h"
#include "demo/demo_disc.h"
#include "support/test_support.h"

namespace lumora::cli {
namespace {
namespace fs = std::filesystem;

const std::string kRefused = "Wave format error! (Mandatory 48 kHz, 16 bit, PCM)";

// A 48 kHz 16-bit WAV of `frames` frames; each frame's samples count up from
// `first`, so every sound is told from the others.
Bytes wav(std::uint16_t channels, std::size_t frames, int first) {
    test::WavSpec spec;
    spec.channels = channels;
    for (std::size_t i = 0; i < frames * channels; ++i) {
        const auto sample = static_cast<std::uint16_t>(first + static_cast<int>(i));
        spec.data.push_back(static_cast<std::uint8_t>(sample & 0xFF));
        spec.data.push_back(static_cast<std::uint8_t>(sample >> 8));
    }
    return test::wavFile(spec);
}

// Three WAV files in `dir`: a.wav mono of 3 frames, b.wav stereo, c.wav mono.
void writeWavs(const test::TempDir& dir) {
    test::writeFile(dir / "a.wav", wav(1, 3, 100));
    test::writeFile(dir / "b.wav", wav(2, 480, 2000));
    test::writeFile(dir / "c.wav", wav(1, 960, -500));
}

// The grid rows of `dump`, without the header row.
std::vector<std::string> gridRows(const std::string& dump) {
    std::vector<std::string> rows;
    std::istringstream lines(dump);
    std::string line;
    bool inGrid = false;
    while (std::getline(lines, line)) {
        if (line.rfind("No.\tchannel", 0) == 0) {
            inGrid = true;
        } else if (inGrid && line.size() > 3 && std::isdigit(static_cast<unsigned char>(line[0]))) {
            rows.push_back(line);
        } else {
            inGrid = false;
        }
    }
    return rows;
}

TEST(CliSound, DumpAndRewriteTheRealFile) {
    LUMORA_REQUIRE_SAMPLES();
    const std::string file = test::samplesDir() + "/files/sound.bdmv";
    const CliRun text = cli({"dump", file});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_TRUE(has(text.out, "file\tsound.bdmv\ntype_indicator\tBCLK\nversion\t0200\n"));
    EXPECT_TRUE(has(text.out, "sound_data_start_address\t56\n"));
    EXPECT_TRUE(has(text.out, "sound_index_length\t12\nsound_entries\t1\n"));
    EXPECT_TRUE(
        has(text.out,
            "No.\tchannel\tfrequency\tbits/sample\tlength\n000\tStereo\t48kHz\t16\t1.79 s\n"));
    EXPECT_TRUE(has(text.out,
                    "sound_entry\t000\tData start: 00000000 (0)  Length: 0005417C "
                    "(344,444)  Total data length: 0005417C(344,444)\n"));
    EXPECT_TRUE(has(text.out, "extension_data\tno ExtensionData()\n"));

    const CliRun json = cli({"dump", "--json", file});
    ASSERT_EQ(json.status, 0);
    const auto parsed = nlohmann::json::parse(json.out);
    EXPECT_EQ(parsed["format"], "sound");
    EXPECT_EQ(parsed["sound_data_start_address"], 56);
    EXPECT_EQ(parsed["sound_index"]["length"], 12);
    const auto& entry = parsed["sound_index"]["entries"][0];
    EXPECT_EQ(entry["channel_configuration"], 3);
    EXPECT_EQ(entry["sampling_frequency"], 1);
    EXPECT_EQ(entry["bits_per_sample"], 1);
    EXPECT_EQ(entry["start_address"], 0);
    EXPECT_EQ(entry["length"], 344444);
    EXPECT_EQ(entry["data_size"], 344444);

    test::TempDir dir;
    const CliRun rewrite = cli({"rewrite", file, dir / "sound.bdmv"});
    EXPECT_EQ(rewrite.status, 0) << rewrite.err;
    EXPECT_EQ(rewrite.out, dir / "sound.bdmv" + "\t344500 bytes\tidentical\n");
}

TEST(CliSound, BadAndCutFilesAreNotWritten) {
    test::TempDir dir;
    writeWavs(dir);
    ASSERT_EQ(cli({"sound", "create", dir / "b.wav", "-o", dir / "good.bdmv"}).status, 0);
    Bytes cut = test::readFile(dir / "good.bdmv");
    cut.resize(cut.size() - 1);
    test::writeFile(dir / "cut.bdmv", cut);
    test::writeFile(dir / "bad.bdmv", std::string_view("BCLK0300"));
    const struct {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"rewrite", dir / "cut.bdmv", dir / "out.bdmv"},
         "cut.bdmv: data of sound entry 0 runs past the end of the file at $00000038"},
        {{"sound", "insert", dir / "cut.bdmv", dir / "a.wav", "-o", dir / "out.bdmv"},
         "cut.bdmv: data of sound entry 0 runs past the end"},
        {{"sound", "delete", dir / "bad.bdmv", "0", "-o", dir / "out.bdmv"},
         "bad.bdmv format error at $00000008"},
        {{"sound", "export", dir / "cut.bdmv", "0", "-o", dir / "out.wav"}, "runs past the end"},
        {{"sound", "delete", dir / "good.bdmv", "1", "-o", dir / "out.bdmv"},
         "good.bdmv has no sound entry 1"},
        {{"sound", "export", dir / "good.bdmv", "1", "-o", dir / "out.wav"},
         "good.bdmv has no sound entry 1"},
        {{"sound", "insert", dir / "good.bdmv", dir / "a.wav", "--after", "1", "-o",
          dir / "out.bdmv"},
         "good.bdmv has no sound entry 1"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, 1) << c.error;
        EXPECT_TRUE(has(run.err, c.error)) << run.err;
        EXPECT_FALSE(fs::exists(dir / "out.bdmv")) << c.error;
        EXPECT_FALSE(fs::exists(dir / "out.wav")) << c.error;
    }
    // A dump still shows what was read of a cut file.
    const CliRun dump = cli({"dump", dir / "cut.bdmv"});
    EXPECT_EQ(dump.status, 1);
    EXPECT_TRUE(has(dump.out, "000\tStereo\t48kHz\t16\t0.01 s\n")) << dump.out;
}

TEST(CliSound, CreateExportInsertAndDelete) {
    test::TempDir dir;
    writeWavs(dir);
    const CliRun created =
        cli({"sound", "create", dir / "a.wav", dir / "b.wav", "-o", dir / "sound.bdmv"});
    ASSERT_EQ(created.status, 0) << created.err;
    // 66 bytes of header and index, 6 bytes of a and 2 of padding, 1920 of b.
    EXPECT_EQ(created.out, dir / "sound.bdmv" + "\t1994 bytes\t2 entries\n");

    // Exported entries are the WAV files they came from.
    const CliRun all = cli({"sound", "export", dir / "sound.bdmv", "--all", dir / "out"});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out, dir / "out/sound_000.wav" + "\t50 bytes\n" + dir / "out/sound_001.wav" +
                           "\t1964 bytes\n");
    EXPECT_EQ(test::readFile(dir / "out/sound_000.wav"), test::readFile(dir / "a.wav"));
    EXPECT_EQ(test::readFile(dir / "out/sound_001.wav"), test::readFile(dir / "b.wav"));
    const CliRun one = cli({"sound", "export", dir / "sound.bdmv", "1", "-o", dir / "one.wav"});
    EXPECT_EQ(one.out, dir / "one.wav" + "\t1964 bytes\n");
    EXPECT_EQ(test::readFile(dir / "one.wav"), test::readFile(dir / "b.wav"));

    // Where insert puts c.wav: after the last entry, first, after the first.
    const struct {
        std::vector<std::string> where;
        const char* rows;  // the channel column of the rows
    } cases[] = {
        {{}, "Mono Stereo Mono"},
        {{"--after", "-1"}, "Mono Mono Stereo"},
        {{"--after", "0"}, "Mono Mono Stereo"},
        {{"--after", "1"}, "Mono Stereo Mono"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"sound",       "insert", dir / "sound.bdmv",
                                      dir / "c.wav", "-o",     dir / "inserted.bdmv"};
        args.insert(args.end(), c.where.begin(), c.where.end());
        const CliRun run = cli(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(has(run.out, "\t3 entries\n"));
        std::string channels;
        for (const std::string& row : gridRows(cli({"dump", dir / "inserted.bdmv"}).out))
            channels += (channels.empty() ? "" : " ") + row.substr(4, row.find('\t', 4) - 4);
        EXPECT_EQ(channels, c.rows) << run.out;
    }
    // c.wav inserted first: exporting entry 0 gives it back.
    cli({"sound", "insert", dir / "sound.bdmv", dir / "c.wav", "--after", "-1", "-o",
         dir / "inserted.bdmv"});
    cli({"sound", "export", dir / "inserted.bdmv", "0", "-o", dir / "c2.wav"});
    EXPECT_EQ(test::readFile(dir / "c2.wav"), test::readFile(dir / "c.wav"));

    // Deleting the first entry moves b up; OUT may be FILE.
    const CliRun deleted =
        cli({"sound", "delete", dir / "sound.bdmv", "0", "-o", dir / "sound.bdmv"});
    ASSERT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_EQ(deleted.out, dir / "sound.bdmv" + "\t1976 bytes\t1 entries\n");
    cli({"sound", "export", dir / "sound.bdmv", "0", "-o", dir / "b2.wav"});
    EXPECT_EQ(test::readFile(dir / "b2.wav"), test::readFile(dir / "b.wav"));
    const CliRun dump = cli({"dump", dir / "sound.bdmv"});
    EXPECT_TRUE(has(dump.out,
                    "sound_data_start_address\t56\nextension_data_start_address\t0\n"
                    "sound_index_length\t12\n"));
}

TEST(CliSound, RefusedWavWritesNothingUnlessConverted) {
    test::TempDir dir;
    writeWavs(dir);
    test::WavSpec cd;
    cd.rate = 44100;
    cd.data = test::wavSamples(test::sine(4410, 44100, 1000, 0.5, 2), 16);
    test::writeFile(dir / "cd.wav", test::wavFile(cd));
    test::writeFile(dir / "text.wav", std::string_view("not a sound at all"));
    ASSERT_EQ(cli({"sound", "create", dir / "a.wav", "-o", dir / "sound.bdmv"}).status, 0);
    const Bytes before = test::readFile(dir / "sound.bdmv");

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"sound", "create", dir / "a.wav", dir / "cd.wav", "-o", dir / "new.bdmv"},
             {"sound", "insert", dir / "sound.bdmv", dir / "cd.wav", "-o", dir / "sound.bdmv"},
             {"sound", "insert", dir / "sound.bdmv", dir / "text.wav", "-o", dir / "sound.bdmv"}}) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(has(run.err, kRefused)) << run.err;
        EXPECT_FALSE(fs::exists(dir / "new.bdmv"));
        EXPECT_EQ(test::readFile(dir / "sound.bdmv"), before);
    }

    // --convert: 0.1 s at 44.1 kHz become 4800 frames at 48 kHz.
    const CliRun converted = cli({"sound", "insert", dir / "sound.bdmv", dir / "cd.wav",
                                  "--convert", "-o", dir / "converted.bdmv"});
    ASSERT_EQ(converted.status, 0) << converted.err;
    const auto json = nlohmann::json::parse(cli({"dump", "--json", dir / "converted.bdmv"}).out);
    EXPECT_EQ(json["sound_index"]["entries"][1]["length"], 4800 * 4);
    EXPECT_EQ(json["sound_index"]["entries"][1]["channel_configuration"], 3);
    const CliRun created = cli({"sound", "create", dir / "cd.wav", dir / "a.wav", "--convert", "-o",
                                dir / "created.bdmv"});
    EXPECT_EQ(created.status, 0) << created.err;
    const CliRun text =
        cli({"sound", "create", dir / "text.wav", "--convert", "-o", dir / "x.bdmv"});
    EXPECT_EQ(text.status, 1);
    EXPECT_TRUE(has(text.err, "text.wav: Cannot read the sound file (")) << text.err;
    EXPECT_FALSE(fs::exists(dir / "x.bdmv"));
}

TEST(CliSound, AFullFileTakesNoMore) {
    test::TempDir dir;
    writeWavs(dir);
    std::vector<std::string> args{"sound", "create"};
    for (int i = 0; i < 256; ++i)
        args.push_back(dir / "a.wav");
    args.insert(args.end(), {"-o", dir / "full.bdmv"});
    const CliRun tooMany = cli(args);
    EXPECT_EQ(tooMany.status, 1);
    EXPECT_TRUE(has(tooMany.err, "full.bdmv holds 255 sound entries, the most there can be"))
        << tooMany.err;
    EXPECT_FALSE(fs::exists(dir / "full.bdmv"));
    args.erase(args.begin() + 2);
    ASSERT_EQ(cli(args).status, 0);
    const CliRun insert =
        cli({"sound", "insert", dir / "full.bdmv", dir / "a.wav", "-o", dir / "more.bdmv"});
    EXPECT_EQ(insert.status, 1);
    EXPECT_FALSE(fs::exists(dir / "more.bdmv"));
}

TEST(CliSound, CheckReadsTheSoundFile) {
    test::TempDir dir;
    writeWavs(dir);
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    fs::create_directories(folder + "AUXDATA");
    ASSERT_EQ(
        cli({"sound", "create", dir / "a.wav", dir / "b.wav", "-o", folder + "AUXDATA/sound.bdmv"})
            .status,
        0);
    const CliRun run = cli({"check", folder});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_TRUE(
        has(run.out, " AUXDATA/sound.bdmv: OK\n Reading sound.bdmv\n  Found 2 sound entries\n"))
        << run.out;

    Bytes cut = test::readFile(folder + "AUXDATA/sound.bdmv");
    cut.resize(50);
    test::writeFile(folder + "AUXDATA/sound.bdmv", cut);
    const CliRun damaged = cli({"check", folder});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_TRUE(has(damaged.out,
                    " ERROR: sound.bdmv: sound entry 0 runs past the end of the file "
                    "at $0000002E\n"))
        << damaged.out;
}

TEST(CliSound, UsageErrorsAndHelp) {
    const struct {
        std::vector<std::string> args;
        int status;
        const char* where;  // "out" or "err"
        const char* text;
    } cases[] = {
        {{"--help"}, 0, "out", "sound       export, insert, delete and create"},
        {{"sound"}, 2, "err", "sound needs export, insert, delete or create"},
        {{"sound", "--help"}, 0, "out", "usage: lumora-cli sound export FILE INDEX -o OUT.wav"},
        {{"sound", "play"}, 2, "err", "unknown sound subcommand 'play'"},
        {{"sound", "export", "--help"}, 0, "out", "DIR/sound_NNN.wav"},
        {{"sound", "export", "f"}, 2, "err", "sound export needs FILE, INDEX and -o OUT.wav"},
        {{"sound", "export", "f", "x", "-o", "o"}, 2, "err", "INDEX must be an entry number"},
        {{"sound", "export", "f", "0", "--all", "d"}, 2, "err", "--all needs FILE and DIR alone"},
        {{"sound", "insert", "--help"}, 0, "out", "without --after the sound becomes the last"},
        {{"sound", "insert", "f", "w"}, 2, "err", "sound insert needs FILE, WAV and -o OUT"},
        {{"sound", "insert", "f", "w", "--after", "-2", "-o", "o"},
         2,
         "err",
         "--after must be an entry number or -1"},
        {{"sound", "insert", "f", "w", "--bogus", "-o", "o"}, 2, "err", "unknown option --bogus"},
        {{"sound", "delete", "--help"}, 0, "out", "usage: lumora-cli sound delete FILE INDEX"},
        {{"sound", "delete", "f", "1x", "-o", "o"}, 2, "err", "INDEX must be an entry number"},
        {{"sound", "create", "--help"}, 0, "out", "usage: lumora-cli sound create WAV"},
        {{"sound", "create", "-o", "o"}, 2, "err", "sound create needs at least one WAV and -o"},
        {{"sound", "create", "w", "--after", "0", "-o", "o"}, 2, "err", "unknown option --after"},
        {{"sound", "export", "/nonexistent/sound.bdmv", "0", "-o", "o"},
         1,
         "err",
         "/nonexistent/sound.bdmv"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, c.status) << c.text;
        EXPECT_TRUE(has(std::string(c.where) == "out" ? run.out : run.err, c.text))
            << c.text << "\n"
            << run.out << run.err;
    }
}

}  // namespace
}  // namespace lumora::cli
