// `lumora-cli sound export|insert|delete|create`: the entries of sound.bdmv
// as WAV files and back, with the edits of the sound grid.
#include <filesystem>
#include <optional>
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "core/file_io.h"
#include "sound/sound_file.h"

namespace lumora::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSoundUsage =
    "usage: lumora-cli sound export FILE INDEX -o OUT.wav\n"
    "       lumora-cli sound export FILE --all DIR\n"
    "       lumora-cli sound insert FILE WAV [--after INDEX] [--convert] -o OUT\n"
    "       lumora-cli sound delete FILE INDEX -o OUT\n"
    "       lumora-cli sound create WAV [WAV ...] [--convert] -o OUT\n"
    "\n"
    "The sounds of a sound.bdmv (FILE) as WAV files and back.  INDEX is an\n"
    "entry's zero-based number, as the \"No.\" column of `dump` shows it.  WAV\n"
    "files must be 48 kHz, 16-bit PCM unless --convert is given.  Every output is\n"
    "written through a temporary file; OUT may be FILE.\n"
    "Run 'lumora-cli sound ACTION --help' for an action's details.\n"
    "\n"
    "Exit status: 0 done, 1 a file is bad, refused or cannot be written (nothing\n"
    "is written then), 2 usage error.\n";

constexpr const char* kExportUsage =
    "usage: lumora-cli sound export FILE INDEX -o OUT.wav\n"
    "       lumora-cli sound export FILE --all DIR\n"
    "\n"
    "Writes entry INDEX of FILE as a WAV file (48 kHz, 16-bit PCM, one channel\n"
    "for a mono entry, two otherwise), or with --all every entry as\n"
    "DIR/sound_NNN.wav, NNN the entry's zero-based number in three digits (DIR is\n"
    "created when missing).  Prints OUT<TAB>N bytes for each file written.\n"
    "\n"
    "Exit status: 0 written, 1 FILE is bad or has no entry INDEX, 2 usage error.\n";

constexpr const char* kInsertUsage =
    "usage: lumora-cli sound insert FILE WAV [--after INDEX] [--convert] -o OUT\n"
    "\n"
    "Inserts the sound of WAV into FILE after entry INDEX (-1: first) and writes\n"
    "the file to OUT; without --after the sound becomes the last entry.  Later\n"
    "entries move down one place; the counts and addresses follow.  A WAV file\n"
    "must be 48 kHz, 16-bit PCM (any channel count: more than one is stereo,\n"
    "the samples are taken as they are); --convert takes any WAV file and makes\n"
    "it 48 kHz 16-bit, more than two channels mixed down to stereo.\n"
    "Prints OUT<TAB>N bytes<TAB>M entries.\n"
    "\n"
    "Exit status: 0 written, 1 FILE is bad or full (255 entries), the WAV file is\n"
    "refused (\"Wave format error! (Mandatory 48 kHz, 16 bit, PCM)\") or INDEX is\n"
    "not an entry, 2 usage error.\n";

constexpr const char* kDeleteUsage =
    "usage: lumora-cli sound delete FILE INDEX -o OUT\n"
    "\n"
    "Deletes entry INDEX of FILE and writes the file to OUT; later entries move\n"
    "up one place, so menu buttons that name them by number name others now.\n"
    "Prints OUT<TAB>N bytes<TAB>M entries.\n"
    "\n"
    "Exit status: 0 written, 1 FILE is bad or has no entry INDEX, 2 usage error.\n";

constexpr const char* kCreateUsage =
    "usage: lumora-cli sound create WAV [WAV ...] [--convert] -o OUT\n"
    "\n"
    "Writes a new sound.bdmv to OUT with the sounds of the WAV files as entries\n"
    "0, 1, ... in the order given.  WAV files as for insert (--convert likewise).\n"
    "Prints OUT<TAB>N bytes<TAB>M entries.\n"
    "\n"
    "Exit status: 0 written, 1 a WAV file is refused or there are more than 255,\n"
    "2 usage error.\n";

int usage(Streams io, const std::string& message, const char* text) {
    io.err << "lumora-cli: " << message << '\n' << text;
    return 2;
}

int failure(Streams io, const std::string& message) {
    io.err << "lumora-cli: " << message << '\n';
    return 1;
}

std::string baseName(const std::string& path) {
    return fs::path(path).filename().string();
}

// A decimal entry number, or -1 when `allowFirst`; nothing for other text.
std::optional<int> entryNumber(const std::string& text, bool allowFirst = false) {
    if (allowFirst && text == "-1") return -1;
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoi(text);
}

// Reads FILE; a bad or cut file is reported and gives nothing.
std::optional<TSND> loadSound(const std::string& path, Streams io) {
    const Bytes data = readFileBytes(path);
    TSND sound;
    const ReadOutcome outcome = parseSound(data, baseName(path), sound);
    if (!outcome.good()) {
        failure(io, outcome.message);
        return std::nullopt;
    }
    return sound;
}

std::optional<TSoundEntries> loadWav(const std::string& path, bool convert, Streams io) {
    const Bytes data = readFileBytes(path);
    WavRead read = convert ? convertedEntryFromWav(data) : entryFromWav(data);
    if (!read.entry) {
        failure(io, baseName(path) + ": " + read.error);
        return std::nullopt;
    }
    return std::move(read.entry);
}

bool hasEntry(const TSND& sound, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < sound.index.entries.size();
}

std::string noEntry(const std::string& file, int index) {
    return baseName(file) + " has no sound entry " + std::to_string(index);
}

// Inserts after `after`; a full file or one whose addresses would pass 32
// bits is reported.
bool insertInto(TSND& sound, int after, TSoundEntries entry, const std::string& file, Streams io) {
    if (sound.index.entries.size() >= kMaxSoundEntries) {
        failure(io, file + " holds " + std::to_string(kMaxSoundEntries) +
                        " sound entries, the most there can be");
        return false;
    }
    if (!insertSoundEntry(sound, after, std::move(entry))) {
        failure(io, file + ": the sounds would not fit the file's 32-bit addresses");
        return false;
    }
    return true;
}

int writeSound(const TSND& sound, const std::string& target, Streams io) {
    const Bytes bytes = soundBytes(sound);
    writeFileSafely(target, bytes);
    io.out << target << '\t' << bytes.size() << " bytes\t" << sound.index.entries.size()
           << " entries\n";
    return 0;
}

void writeWav(const TSoundEntries& entry, const std::string& target, Streams io) {
    const Bytes image = wavImage(entry);
    writeFileSafely(target, image);
    io.out << target << '\t' << image.size() << " bytes\n";
}

int exportSounds(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {}, {"-o", "--all"});
    if (!parsed.ok()) return usage(io, parsed.error(), kExportUsage);
    if (parsed.has("--help")) {
        io.out << kExportUsage;
        return 0;
    }
    const auto& positional = parsed.positional();
    const auto all = parsed.value("--all");
    const auto target = parsed.value("-o");
    if (all && (positional.size() != 1 || target))
        return usage(io, "sound export --all needs FILE and DIR alone", kExportUsage);
    if (!all && (positional.size() != 2 || !target))
        return usage(io, "sound export needs FILE, INDEX and -o OUT.wav", kExportUsage);
    std::optional<int> index;
    if (!all) {
        index = entryNumber(positional[1]);
        if (!index) return usage(io, "INDEX must be an entry number", kExportUsage);
    }

    const auto sound = loadSound(positional[0], io);
    if (!sound) return 1;
    if (!all) {
        if (!hasEntry(*sound, *index)) return failure(io, noEntry(positional[0], *index));
        writeWav(sound->index.entries[static_cast<std::size_t>(*index)], *target, io);
        return 0;
    }
    fs::create_directories(*all);
    for (std::size_t i = 0; i < sound->index.entries.size(); ++i)
        writeWav(sound->index.entries[i], (fs::path(*all) / soundFileName(i)).string(), io);
    return 0;
}

int insertSound(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {"--convert"}, {"--after", "-o"});
    if (!parsed.ok()) return usage(io, parsed.error(), kInsertUsage);
    if (parsed.has("--help")) {
        io.out << kInsertUsage;
        return 0;
    }
    const auto& positional = parsed.positional();
    const auto target = parsed.value("-o");
    if (positional.size() != 2 || !target)
        return usage(io, "sound insert needs FILE, WAV and -o OUT", kInsertUsage);
    std::optional<int> after;
    if (const auto text = parsed.value("--after")) {
        after = entryNumber(*text, true);
        if (!after) return usage(io, "--after must be an entry number or -1", kInsertUsage);
    }

    auto sound = loadSound(positional[0], io);
    if (!sound) return 1;
    const int last = static_cast<int>(sound->index.entries.size()) - 1;
    if (after && *after != -1 && !hasEntry(*sound, *after))
        return failure(io, noEntry(positional[0], *after));
    auto entry = loadWav(positional[1], parsed.has("--convert"), io);
    if (!entry) return 1;
    if (!insertInto(*sound, after.value_or(last), std::move(*entry), baseName(positional[0]), io))
        return 1;
    return writeSound(*sound, *target, io);
}

int deleteSound(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {}, {"-o"});
    if (!parsed.ok()) return usage(io, parsed.error(), kDeleteUsage);
    if (parsed.has("--help")) {
        io.out << kDeleteUsage;
        return 0;
    }
    const auto& positional = parsed.positional();
    const auto target = parsed.value("-o");
    if (positional.size() != 2 || !target)
        return usage(io, "sound delete needs FILE, INDEX and -o OUT", kDeleteUsage);
    const auto index = entryNumber(positional[1]);
    if (!index) return usage(io, "INDEX must be an entry number", kDeleteUsage);

    auto sound = loadSound(positional[0], io);
    if (!sound) return 1;
    if (!deleteSoundEntry(*sound, static_cast<std::size_t>(*index)))
        return failure(io, noEntry(positional[0], *index));
    return writeSound(*sound, *target, io);
}

int createSound(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {"--convert"}, {"-o"});
    if (!parsed.ok()) return usage(io, parsed.error(), kCreateUsage);
    if (parsed.has("--help")) {
        io.out << kCreateUsage;
        return 0;
    }
    const auto& wavs = parsed.positional();
    const auto target = parsed.value("-o");
    if (wavs.empty() || !target)
        return usage(io, "sound create needs at least one WAV and -o OUT", kCreateUsage);

    TSND sound = newSound();
    for (const std::string& wav : wavs) {
        auto entry = loadWav(wav, parsed.has("--convert"), io);
        if (!entry) return 1;
        const int last = static_cast<int>(sound.index.entries.size()) - 1;
        if (!insertInto(sound, last, std::move(*entry), baseName(*target), io)) return 1;
    }
    return writeSound(sound, *target, io);
}

}  // namespace

int runSound(const std::vector<std::string>& args, Streams io) {
    const std::string action = args.empty() ? "" : args.front();
    const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (action == "export") return exportSounds(rest, io);
    if (action == "insert") return insertSound(rest, io);
    if (action == "delete") return deleteSound(rest, io);
    if (action == "create") return createSound(rest, io);
    if (action == "--help" || action == "-h") {
        io.out << kSoundUsage;
        return 0;
    }
    if (action.empty())
        return usage(io, "sound needs export, insert, delete or create", kSoundUsage);
    return usage(io, "unknown sound subcommand '" + action + "'", kSoundUsage);
}

}  // namespace lumora::cli
