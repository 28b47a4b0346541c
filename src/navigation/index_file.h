// index.bdmv: the entry table of a disc.  First Playback, Top Menu and the
// numbered titles, each bound to an HDMV movie object or a BD-J object file,
// and AppInfoBDMV.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/extension_data.h"
#include "core/folder.h"
#include "core/report.h"
#include "navigation/read_outcome.h"

namespace lumora {

inline constexpr std::uint32_t kIndexType = 0x494E4458;  // "INDX"
inline constexpr std::uint32_t kVersion0100 = 0x30313030;
inline constexpr std::uint32_t kVersion0200 = 0x30323030;
inline constexpr std::uint16_t kNoObject = 0xFFFF;
inline constexpr std::size_t kMaxTitles = 999;
inline constexpr std::uint32_t kIndexesOffset = 78;  // right after AppInfoBDMV
inline constexpr std::uint8_t kHdmvObject = 1;
inline constexpr std::uint8_t kBdjObject = 2;
inline constexpr std::int32_t kFirstPlaybackNumber = 65535;

struct TTitleEntry {
    std::int32_t titleNumber = 0;  // 1..n; 65535 First Playback; 0 Top Menu
    std::uint8_t objectType = kHdmvObject;
    std::uint8_t accessType = 0;    // titles only
    std::uint8_t playbackType = 0;  // 0 Movie, 1 Interactive
    std::uint16_t objectId = 0;     // HDMV: movie object number, 0xFFFF none
    std::string bdjName;            // BD-J: object file name without extension
    bool isHdmv() const { return objectType == kHdmvObject; }
    bool operator==(const TTitleEntry&) const = default;
};

struct TIndexes {
    std::uint32_t length = 26;  // bytes after the length field
    TTitleEntry firstPlayback{kFirstPlaybackNumber, kHdmvObject, 0, 0, kNoObject, {}};
    TTitleEntry topMenu{0, kHdmvObject, 0, 1, kNoObject, {}};
    std::vector<TTitleEntry> titles;
    bool operator==(const TIndexes&) const = default;
};

struct TINDX {
    std::uint32_t typeIndicator = kIndexType;
    std::uint32_t version = kVersion0200;
    std::uint32_t indexesStart = kIndexesOffset;
    std::uint32_t extensionDataStart = 0;  // 0 = no ExtensionData()
    Bytes reserved = Bytes(24, 0);         // held as read
    std::uint32_t appInfoLength = 34;
    std::uint8_t outputModePreference = 0;  // 0 "2D", 1 "SS"
    std::uint8_t ssContentExists = 0;
    std::uint8_t videoFormat = 0;
    std::uint8_t frameRate = 0;
    std::string contentProvider;  // at most 32 characters
    TIndexes indexes;
    TExtensionData extensionData;
    bool operator==(const TINDX&) const = default;
};

// Parses a whole index file.  On BadFormat and TooManyTitles `index` is left
// as it was; on Truncated it holds what was read.  `name` is the file name
// used in messages.
ReadOutcome parseIndex(ByteView data, std::string_view name, TINDX& index);
// The file's bytes.  Indexes() goes right after AppInfoBDMV and
// ExtensionData() right after the titles; the header's two start addresses
// say where they are.
Bytes indexBytes(const TINDX& index);

// The Read of the index file with its log lines: "Reading ...", the errors,
// "  Found n titles, k extended entry.".  Throws FileError when the file
// cannot be read.
ReadOutcome readIndexFile(const std::string& path, std::string_view name, TINDX& index,
                          Reporter& reporter);
// Save: backup step, safe write, "... saved.", copy to BACKUP.  Returns
// false when nothing was written (a backup failure).  Throws FileError.
bool saveIndexFile(const std::string& folder, std::string_view name, const TINDX& index,
                   Reporter& reporter, const BackupOptions& backup);

// Edits that keep lengths and start addresses right.
// Inserts a new HDMV title after title `after` (0-based; -1 = at the front)
// and returns its index.
std::size_t insertTitle(TINDX& index, int after);
// Removes titles first..last (0-based, inclusive).
void deleteTitles(TINDX& index, std::size_t first, std::size_t last);
// Switches First Playback or Top Menu on (with `objectId` for HDMV) or off.
void setEntryOn(TTitleEntry& entry, bool on, std::uint16_t objectId);
// The ExtensionData block chosen in the dialog; the start address follows.
void setIndexExtensionData(TINDX& index, TExtensionData block);

// Texts of the views and the command line.
std::string objectTypeText(std::uint8_t type);       // "HDMV", "BD-J"
std::string accessTypeText(std::uint8_t type);       // "Permitted", "Prohibited1", ...
std::string playbackTypeText(std::uint8_t type);     // "Movie", "Interactive"
std::string outputModeText(std::uint8_t mode);       // "2D", "SS"
const std::vector<std::string>& videoFormatTexts();  // "-", "480i", ... (index = value)
const std::vector<std::string>& frameRateTexts();    // "-", "23.976", ...
const std::vector<std::string>& accessTypeItems();   // the access type list
// The access type stored for an item of the access type list.
std::uint8_t accessTypeForItem(int item);
// The list item showing an access type.
int itemForAccessType(std::uint8_t type);
// The cells of a titles grid row: "No.", "object t.", "title search",
// "playback t.", "OID/file".
std::array<std::string, 5> titleRowCells(const TTitleEntry& title);
// "n titles" or "n + k titles" (k counts First Playback and Top Menu when
// they name an object).
std::string titlesLabel(const TINDX& index);
std::string versionText(std::uint32_t version);  // "0200"

}  // namespace lumora
