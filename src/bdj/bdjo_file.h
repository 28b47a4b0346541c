// BD-J object files (.bdjo): terminal information, the application cache,
// the accessible playlists, the application management table with each
// application's profiles, names and parameters, the key interest table and
// the file access information.  The files are only read.
//
// The model holds raw values.  The descriptor of an application whose tag is
// not the application descriptor is kept as its raw bytes rather than decoded
// by guess.  Reserved runs and bytes a block holds beyond its fields are
// passed over: every block is read at its own start address and within its
// own length, so they cannot shift what follows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/report.h"
#include "navigation/read_outcome.h"

namespace lumora {

// The descriptor tag of an application descriptor, whose fields the model
// names; another tag's descriptor is kept as raw bytes.
inline constexpr std::uint8_t kApplicationDescriptorTag = 0x00;

struct TAppCacheEntry {
    std::uint8_t entryType = 0;
    std::string referenceToName;  // 5 characters
    std::string languageCode;     // 3 characters
    bool operator==(const TAppCacheEntry&) const = default;
};

struct TAppCacheInfo {
    std::uint32_t length = 0;
    std::vector<TAppCacheEntry> entries;
    bool operator==(const TAppCacheInfo&) const = default;
};

struct TTableOfAccessiblePlayLists {
    std::uint32_t length = 0;
    bool accessToAll = false;
    bool autostartFirstPlayList = false;
    std::vector<std::string> playlists;  // file names, 5 characters
    bool operator==(const TTableOfAccessiblePlayLists&) const = default;
};

struct TProfile {
    std::uint16_t profile = 0;
    std::uint8_t major = 0;
    std::uint8_t minor = 0;
    std::uint8_t micro = 0;
    bool operator==(const TProfile&) const = default;
};

struct Tapplication_name {
    std::string languageCode;  // 3 characters
    std::string name;
    bool operator==(const Tapplication_name&) const = default;
};

struct Tapplication {
    std::uint8_t controlCode = 0;
    std::uint8_t type = 0;
    std::uint32_t organizationId = 0;
    std::uint16_t applicationId = 0;
    std::uint8_t descriptorTag = 0;
    std::uint32_t descriptorLength = 0;
    std::vector<TProfile> profiles;
    std::uint8_t priority = 0;
    std::uint8_t binding = 0;     // 2 bits
    std::uint8_t visibility = 0;  // 0 or 2, as the byte shows it
    std::vector<Tapplication_name> names;
    std::string iconLocator;
    std::uint16_t iconFlags = 0;
    std::string baseDirectory;
    std::string classpathExtension;
    std::string initialClassName;
    std::vector<std::string> parameters;
    // The descriptor's bytes when its tag is not kApplicationDescriptorTag.
    Bytes otherDescriptor;
    bool operator==(const Tapplication&) const = default;
};

struct TApplicationManagementTable {
    std::uint32_t length = 0;
    std::vector<Tapplication> applications;
    bool operator==(const TApplicationManagementTable&) const = default;
};

// The key interest table's bits, from bit 31 down.
enum class BdjKey {
    Play,
    Stop,
    FFW,
    REW,
    Next,
    Prev,
    Pause,
    StillOff,
    SecAudio,
    SecVideo,
    PgTextST
};
// "Play", "Stop", "FFW", "REW", "Next", "Prev.", "Pause", "Still off",
// "sec.audio", "sec.video", "PG TextST".
std::string_view bdjKeyName(BdjKey key);
inline constexpr std::array<BdjKey, 11> kBdjKeys{
    BdjKey::Play,     BdjKey::Stop,     BdjKey::FFW,     BdjKey::REW,
    BdjKey::Next,     BdjKey::Prev,     BdjKey::Pause,   BdjKey::StillOff,
    BdjKey::SecAudio, BdjKey::SecVideo, BdjKey::PgTextST};
bool bdjKeySet(std::uint32_t keyInterestTable, BdjKey key);

struct TBDJO {
    std::string typeIndicator = "BDJO";
    std::string version = "0200";
    // TerminalInfo, AppCacheInfo, TableOfAccessiblePlayLists,
    // ApplicationManagementTable, KeyInterestTable, FileAccessInfo.
    std::array<std::uint32_t, 6> startAddresses{};
    std::uint32_t terminalInfoLength = 0;
    std::string defaultFont;  // 5 characters
    std::uint8_t haviConfiguration = 0;
    bool menuCallMask = false;
    bool titleSearchMask = false;
    TAppCacheInfo appCache;
    TTableOfAccessiblePlayLists playlists;
    TApplicationManagementTable applications;
    std::uint32_t keyInterestTable = 0;
    std::string directoryPath;
    bool operator==(const TBDJO&) const = default;
};

// Parses a whole BD-J object file.  A wrong type indicator or version gives
// BadFormat and leaves `bdjo` as it was; a file cut short (or a count, a
// length or a start address beyond its bytes) gives Truncated with what was
// read up to the first problem; an error names the file, the field and the
// offset.  Each block is read at its start address, the TerminalInfo too.
ReadOutcome parseBdjo(ByteView data, std::string_view name, TBDJO& bdjo);
// The read of the BD-J tab with its log lines ("Reading [bl]NAME[/bl]",
// errors).  A wrong type indicator or version is not logged: the tab just
// stays empty.  Throws FileError when the file cannot be read.
ReadOutcome readBdjoFile(const std::string& path, std::string_view name, TBDJO& bdjo,
                         Reporter& reporter);

// ---- Grid texts (shared by the tab and the command line) ----
// `index` is the element's place (from 0); the number cell counts as the
// grid does (the first three grids from 0, the other three from 1).

// Headers: "", "entry type", "ref to name", "language".
const std::vector<std::string>& appCacheGridHeaders();
std::vector<std::string> appCacheRowCells(std::size_t index, const TAppCacheEntry& entry);
// Headers: "", "PlayList".
const std::vector<std::string>& playlistGridHeaders();
std::vector<std::string> playlistRowCells(std::size_t index, const std::string& playlist);
// Headers: "", "ctrl", "type", "orgID", "appID", "tag", "prior", "bind",
// "visib", "icon_loc", "base_dir", "classpath_ext", "init_classn.", "pr.",
// "na.", "pa.".
const std::vector<std::string>& applicationGridHeaders();
std::vector<std::string> applicationRowCells(std::size_t index, const Tapplication& app);
// Headers: "", "profile", "version"; rows numbered from 1.
const std::vector<std::string>& profileGridHeaders();
std::vector<std::string> profileRowCells(std::size_t index, const TProfile& profile);
// Headers: "", "lang", "name"; rows numbered from 1.
const std::vector<std::string>& nameGridHeaders();
std::vector<std::string> nameRowCells(std::size_t index, const Tapplication_name& name);
// Headers: "", "parameter"; rows numbered from 1.
const std::vector<std::string>& parameterGridHeaders();
std::vector<std::string> parameterRowCells(std::size_t index, const std::string& parameter);

}  // namespace lumora
