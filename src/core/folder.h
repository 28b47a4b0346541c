// The working BDMV folder: its name set (normal or 8.3 names), the check of
// the mandatory folders and files, the order in which a Read fills the models,
// the stream file list, the disc name and the backup step of every save.
//
// The folder text always ends with "/" and normally with "BDMV/"; every file
// of the disc is the folder text followed by a relative name.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/report.h"

namespace lumora {

inline constexpr std::string_view kProgramName = "Lumora";
inline constexpr std::string_view kVersion = "0.36b";

// "Lumora v0.36b"
std::string programCaption();
// "Lumora v0.36b [" + disc name + "]"
std::string windowTitle(std::string_view discName);

struct NameSet {
    std::string_view index;
    std::string_view movieObject;
    std::string_view playlistExt;
    std::string_view clipExt;
    std::string_view streamExt;
    std::string_view bdjoExt;
};
const NameSet& nameSet(bool use83);

// The folder text for a folder the user chose: a trailing "/" and, unless it
// is already there, "BDMV/".
std::string normaliseChosenFolder(std::string_view path);
// Where the folder chooser starts: the folder text without "BDMV/".
std::string chooserStartFolder(std::string_view folderText);
// The folder part of a file path, up to and including the last "/".
std::string folderOfFile(std::string_view path);
// Dropped files switch 8.3 names on exactly for the extension ".BDM" (case
// matters: "index.BDM" does not).
bool use83ForFile(std::string_view path);
// The file name without its extension (the part after the last ".").
std::string withoutExtension(std::string_view name);

// One stream file per clip information entry, same index; empty name and size
// 0 when the stream is missing.
struct TAVStream {
    std::string name;
    std::int64_t size = 0;
    bool present() const { return size > 0; }
};

// The volume label of the mounted volume whose root is `directory`, or nothing
// when `directory` is not the root of a mount.  An unlabelled volume gives "".
using VolumeLabelLookup = std::function<std::optional<std::string>(const std::string& directory)>;
std::optional<std::string> mountVolumeLabel(const std::string& directory);

// The disc name of the window title: the folder above BDMV, or the volume
// label in upper case when that folder is the root of a mounted volume.
std::string discName(std::string_view folderText,
                     const VolumeLabelLookup& lookup = mountVolumeLabel);

enum class BackupMode { OnlyOnce = 0, Overwrite = 1, StopIfExists = 2 };

struct BackupOptions {
    bool createBackups = true;
    BackupMode mode = BackupMode::OnlyOnce;
    bool saveToBackupDir = false;
};

// Runs before a save overwrites `dir` + `file` (dir ends with "/").  A failure
// is reported with erlog ("Cannot create backup file."), which sets the error
// flag; the caller then writes nothing.
void backupStep(Reporter& reporter, const BackupOptions& options, const std::string& dir,
                const std::string& file);
// After a saved index or movie object file: the copy to dir + "BACKUP/" when
// the option asks.  A failed copy is not reported.
void copyToBackupDir(const BackupOptions& options, const std::string& dir, const std::string& file);

// How a structure file is saved: "Saving name", the backup step, the safe
// write of `bytes` to folder + name; then "name saved." when `logSaved` and
// the copy to folder + "BACKUP/" when `copyToBackup` (index.bdmv and
// MovieObject.bdmv).  False when the backup step refused; throws FileError.
struct SaveSteps {
    bool logSaved = true;
    bool copyToBackup = true;
};
bool saveStructureFile(Reporter& reporter, const BackupOptions& options, const std::string& folder,
                       const std::string& name, ByteView bytes, SaveSteps steps = {});

// What a Read found.  Replaced by each Read.
struct DiscFolder {
    std::string folder;  // ends with "/"
    bool use83 = false;
    std::vector<std::string> playlists;  // names without extension
    std::vector<std::string> clipinfs;
    std::vector<std::string> bdjos;
    std::vector<TAVStream> streams;  // one per clip information entry
    bool soundFound = false;
    std::string discName;

    const NameSet& names() const { return nameSet(use83); }
    std::string path(std::string_view relative) const { return folder + std::string(relative); }
    std::string indexPath() const { return path(names().index); }
    std::string movieObjectPath() const { return path(names().movieObject); }
    std::string playlistPath(std::string_view entry) const;
    std::string clipinfPath(std::string_view entry) const;
    std::string streamPath(std::string_view entry) const;
    std::string soundPath() const { return path("AUXDATA/sound.bdmv"); }
};

// The steps of a Read that the views and the structure readers plug in.  A
// step without a hook does what the core alone can: the structure file steps
// log the file and its size.
struct FolderReadHooks {
    std::function<void()> clear;                     // empty the views and models
    std::function<void(bool use83)> nameSetChanged;  // the 8.3 option switched
    std::function<void()> readMovieObjects;
    std::function<void()> listsFilled;  // playlist, clip and BD-J lists are known
    std::function<void()> readIndex;
    std::function<void(bool found)> soundChecked;  // show or hide the sound group
    std::function<void()> readSound;
    std::function<void(const std::string& title)> titleChanged;
    std::function<void()> streamsChecked;
};

struct FolderReadResult {
    bool checked = false;    // the mandatory folders and files are there
    bool cancelled = false;  // the user pressed Cancel
};

// The folder Read.  `disc.folder` and `disc.use83` are the input; the lists,
// the stream file list and the disc name are the output.
FolderReadResult readFolder(DiscFolder& disc, Reporter& reporter, const FolderReadHooks& hooks,
                            const VolumeLabelLookup& lookup = mountVolumeLabel);

}  // namespace lumora
