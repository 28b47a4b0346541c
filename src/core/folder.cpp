#include "core/folder.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "core/file_io.h"
#include "core/text.h"

namespace lumora {
namespace fs = std::filesystem;

namespace {

constexpr NameSet kNormalNames{"index.bdmv", "MovieObject.bdmv", ".mpls", ".clpi", ".m2ts",
                               ".bdjo"};
constexpr NameSet k83Names{"INDEX.BDM", "MOVIEOBJ.BDM", ".MPL", ".CPI", ".MTS", ".BDJ"};

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

std::string upperCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The regular files of `dir` whose names end with `extension` (any file when
// it is empty), sorted by name.
std::vector<std::string> listFiles(const std::string& dir, std::string_view extension) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) continue;
        std::string name = it->path().filename().string();
        if (!extension.empty() && !endsWith(name, extension)) continue;
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// udev writes labels with \xNN escapes for blanks and other special bytes.
std::string unescapeUdevLabel(std::string_view raw) {
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 3 < raw.size() && raw[i + 1] == 'x') {
            const std::string_view hex = raw.substr(i + 2, 2);
            if (std::isxdigit(static_cast<unsigned char>(hex[0])) &&
                std::isxdigit(static_cast<unsigned char>(hex[1]))) {
                out += static_cast<char>(hexToNumber(hex));
                i += 3;
                continue;
            }
        }
        out += raw[i];
    }
    return out;
}

bool isMountRoot(const std::string& directory) {
    struct stat self {};
    struct stat parent {};
    if (::stat(directory.c_str(), &self) != 0 || !S_ISDIR(self.st_mode)) return false;
    const std::string up =
        (directory.empty() || directory.back() != '/' ? directory + "/" : directory) + "..";
    if (::stat(up.c_str(), &parent) != 0) return false;
    return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

// Logs "[bl]NAME[/bl] folder: [b]OK[/b]" or "... [re]missing[/re]".
bool checkFolder(Reporter& reporter, const DiscFolder& disc, std::string_view name) {
    const bool found = directoryExists(disc.path(name));
    reporter.log("[bl]" + std::string(name) +
                 "[/bl] folder: " + (found ? "[b]OK[/b]" : "[re]missing[/re]"));
    return found;
}

bool checkFile(Reporter& reporter, const DiscFolder& disc, std::string_view name) {
    const bool found = fileExists(disc.path(name));
    reporter.log(std::string(name) + ": " + (found ? "[b]OK[/b]" : "[re]missing[/re]"));
    return found;
}

// What a structure step does before its reader exists: name the file and its
// size.
void listStructureFile(Reporter& reporter, const DiscFolder& disc, std::string_view name) {
    reporter.dlog0("Reading " + std::string(name));
    reporter.log("  " + sizeText(fileSize(disc.path(name))) + " bytes");
}

void run(const std::function<void()>& hook) {
    if (hook) hook();
}

// Lists "dir/*ext" into `out` (names without extension); false when cancelled.
bool listEntries(Reporter& reporter, const DiscFolder& disc, std::string_view dir,
                 std::string_view extension, std::vector<std::string>& out) {
    for (const std::string& name : listFiles(disc.path(dir), extension)) {
        reporter.slog("Checking " + name, 1);
        if (reporter.pollCancel()) return false;
        out.push_back(extension.empty() ? withoutExtension(name)
                                        : name.substr(0, name.size() - extension.size()));
    }
    return true;
}

void checkStreams(Reporter& reporter, DiscFolder& disc) {
    disc.streams.assign(disc.clipinfs.size(), TAVStream{});
    std::size_t found = 0;
    for (std::size_t i = 0; i < disc.clipinfs.size(); ++i) {
        const std::string name = disc.clipinfs[i] + std::string(disc.names().streamExt);
        const std::int64_t size = fileSize(disc.path("STREAM/" + name));
        if (size >= 0) {
            disc.streams[i] = TAVStream{name, size};
            ++found;
        } else {
            reporter.log("  Stream " + name + " [re]missing[/re]");
        }
    }
    std::string line = "  Found [b]" + std::to_string(found) + "[/b] AV streams";
    const std::size_t missing = disc.clipinfs.size() - found;
    if (missing > 0) line += ", [re]missing[/re] [b]" + std::to_string(missing) + "[/b]";
    reporter.log(line);
}

// Step 4 of a Read: when the index file of the current name set is missing,
// try the other set; when that is missing too, keep the set as it was.
void detectNameSet(DiscFolder& disc, const FolderReadHooks& hooks) {
    if (fileExists(disc.indexPath())) return;
    disc.use83 = !disc.use83;
    if (hooks.nameSetChanged) hooks.nameSetChanged(disc.use83);
    if (fileExists(disc.indexPath())) return;
    disc.use83 = !disc.use83;
    if (hooks.nameSetChanged) hooks.nameSetChanged(disc.use83);
}

}  // namespace

std::string programCaption() {
    return std::string(kProgramName) + " v" + std::string(kVersion);
}

std::string windowTitle(std::string_view name) {
    return programCaption() + " [" + std::string(name) + "]";
}

const NameSet& nameSet(bool use83) {
    return use83 ? k83Names : kNormalNames;
}

std::string normaliseChosenFolder(std::string_view path) {
    std::string folder(path);
    if (folder.empty() || folder.back() != '/') folder += '/';
    if (!endsWith(folder, "BDMV/")) folder += "BDMV/";
    return folder;
}

std::string chooserStartFolder(std::string_view folderText) {
    return std::string(folderText.substr(0, folderText.size() >= 5 ? folderText.size() - 5 : 0));
}

std::string folderOfFile(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

bool use83ForFile(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot != std::string_view::npos && name.substr(dot) == ".BDM";
}

std::string withoutExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::optional<std::string> mountVolumeLabel(const std::string& directory) {
    if (!isMountRoot(directory)) return std::nullopt;
    struct stat target {};
    if (::stat(directory.c_str(), &target) != 0) return std::string();
    std::error_code ec;
    for (fs::directory_iterator it("/dev/disk/by-label", ec), end; !ec && it != end;
         it.increment(ec)) {
        struct stat device {};
        if (::stat(it->path().c_str(), &device) != 0 || !S_ISBLK(device.st_mode)) continue;
        if (device.st_rdev == target.st_dev) {
            return unescapeUdevLabel(it->path().filename().string());
        }
    }
    return std::string();
}

std::string discName(std::string_view folderText, const VolumeLabelLookup& lookup) {
    // Drop "/BDMV/" and keep the last name of what is left.
    const std::string_view rest =
        folderText.substr(0, folderText.size() >= 6 ? folderText.size() - 6 : 0);
    const std::size_t slash = rest.rfind('/');
    const std::string name(slash == std::string_view::npos ? rest : rest.substr(slash + 1));
    if (lookup) {
        const std::string above = rest.empty() ? std::string("/") : std::string(rest);
        if (const auto label = lookup(above)) return upperCase(*label);
    }
    return name;
}

std::string DiscFolder::playlistPath(std::string_view entry) const {
    return path("PLAYLIST/" + std::string(entry) + std::string(names().playlistExt));
}

std::string DiscFolder::clipinfPath(std::string_view entry) const {
    return path("CLIPINF/" + std::string(entry) + std::string(names().clipExt));
}

std::string DiscFolder::streamPath(std::string_view entry) const {
    return path("STREAM/" + std::string(entry) + std::string(names().streamExt));
}

void backupStep(Reporter& reporter, const BackupOptions& options, const std::string& dir,
                const std::string& file) {
    if (!options.createBackups) return;
    const std::string original = dir + file;
    const std::string backup = original + ".backup";
    std::error_code ec;
    if (options.mode == BackupMode::Overwrite) fs::remove(backup, ec);
    const bool backupExists = fs::exists(backup, ec);
    if (options.mode == BackupMode::OnlyOnce && backupExists) return;
    if (!fs::exists(original, ec)) return;
    // A rename never replaces an existing backup: "Stop if exists" refuses to
    // save while one is there.
    if (backupExists || ::rename(original.c_str(), backup.c_str()) != 0) {
        reporter.erlog("Cannot create backup file.");
    }
}

void copyToBackupDir(const BackupOptions& options, const std::string& dir,
                     const std::string& file) {
    if (!options.saveToBackupDir) return;
    std::error_code ec;
    fs::copy_file(dir + file, dir + "BACKUP/" + file, fs::copy_options::overwrite_existing, ec);
}

bool saveStructureFile(Reporter& reporter, const BackupOptions& options, const std::string& folder,
                       const std::string& name, ByteView bytes, SaveSteps steps) {
    reporter.dlog0("Saving " + name);
    reporter.clearErrorFlag();
    backupStep(reporter, options, folder, name);
    if (reporter.errorFlag()) return false;
    writeFileSafely(folder + name, bytes);
    if (steps.logSaved) reporter.log(name + " saved.");
    reporter.slogR();
    if (steps.copyToBackup) copyToBackupDir(options, folder, name);
    return true;
}

FolderReadResult readFolder(DiscFolder& disc, Reporter& reporter, const FolderReadHooks& hooks,
                            const VolumeLabelLookup& lookup) {
    FolderReadResult result;
    ProgressScope progress(reporter);

    run(hooks.clear);
    disc.playlists.clear();
    disc.clipinfs.clear();
    disc.bdjos.clear();
    disc.streams.clear();
    disc.soundFound = false;

    reporter.log("Checking required files and directories...");
    detectNameSet(disc, hooks);

    bool ok = checkFolder(reporter, disc, "PLAYLIST");
    ok = checkFolder(reporter, disc, "CLIPINF") && ok;
    ok = checkFile(reporter, disc, disc.names().index) && ok;
    ok = checkFile(reporter, disc, disc.names().movieObject) && ok;
    if (!ok) {
        reporter.erlog("[b]Check failed.[/b]");
        return result;
    }
    result.checked = true;

    auto cancelled = [&]() {
        result.cancelled = true;
        reporter.log("[re]Cancelled.[/re]");
        reporter.slog("Cancelled.", 1);
        return result;
    };

    reporter.slog("", 1);
    if (hooks.readMovieObjects) {
        hooks.readMovieObjects();
    } else {
        listStructureFile(reporter, disc, disc.names().movieObject);
    }
    reporter.progress(10);

    reporter.dlog0("Reading playlists");
    if (!listEntries(reporter, disc, "PLAYLIST", disc.names().playlistExt, disc.playlists)) {
        return cancelled();
    }
    reporter.log("  Found [b]" + std::to_string(disc.playlists.size()) + "[/b] playlists.");
    reporter.progress(40);

    reporter.dlog0("Reading clipinfos");
    if (!listEntries(reporter, disc, "CLIPINF", disc.names().clipExt, disc.clipinfs)) {
        return cancelled();
    }
    reporter.log("  Found [b]" + std::to_string(disc.clipinfs.size()) + "[/b] clipinfos.");
    reporter.progress(70);

    // Only BD-J object files: another file there would be offered for a
    // read that cannot succeed.
    if (directoryExists(disc.path("BDJO")) &&
        !listEntries(reporter, disc, "BDJO", disc.names().bdjoExt, disc.bdjos)) {
        return cancelled();
    }
    run(hooks.listsFilled);

    if (hooks.readIndex) {
        hooks.readIndex();
    } else {
        listStructureFile(reporter, disc, disc.names().index);
    }
    reporter.progress(80);

    disc.soundFound =
        checkFolder(reporter, disc, "AUXDATA") && checkFile(reporter, disc, "AUXDATA/sound.bdmv");
    if (hooks.soundChecked) hooks.soundChecked(disc.soundFound);
    if (disc.soundFound) {
        if (hooks.readSound) {
            hooks.readSound();
        } else {
            listStructureFile(reporter, disc, "AUXDATA/sound.bdmv");
        }
    }

    disc.discName = discName(disc.folder, lookup);
    if (hooks.titleChanged) hooks.titleChanged(windowTitle(disc.discName));

    if (!disc.use83) checkFolder(reporter, disc, "BACKUP");
    checkFolder(reporter, disc, "STREAM");
    checkStreams(reporter, disc);
    run(hooks.streamsChecked);
    checkFolder(reporter, disc, "META");
    checkFolder(reporter, disc, "BDJO");
    checkFolder(reporter, disc, "JAR");
    reporter.progress(100);

    reporter.log("");
    reporter.slogR();
    return result;
}

}  // namespace lumora
