// ExtensionData(): the optional block of tagged entries and raw data at the end
// of index.bdmv, MovieObject.bdmv, playlists, clip information files and
// sound.bdmv.  The program keeps the entries' data as raw bytes and writes the
// block back unchanged (the 24 reserved bits become zero).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/report.h"

namespace lumora {

struct TExtensionDataEntry {
    std::uint16_t id1 = 0;
    std::uint16_t id2 = 0;
    std::uint32_t startAddress = 0;  // from the first byte of the block
    std::uint32_t length = 0;
    bool operator==(const TExtensionDataEntry&) const = default;
};

struct TExtensionData {
    std::uint32_t length = 0;  // bytes after the length field; 0 = no block
    std::uint32_t dataBlockStartAddress = 0;
    std::vector<TExtensionDataEntry> entries;  // at most 255
    Bytes dataBlock;                           // everything after the entry table

    bool empty() const { return length == 0; }
    void clear() { *this = TExtensionData{}; }
    bool operator==(const TExtensionData&) const = default;
};

// Reads a block from the reader's position; the data block is the rest of the
// reader.  Returns false when the entry table runs past the end of the data;
// what could be read is kept and `reader.overrunOffset()` tells where.
bool readExtensionData(ByteReader& reader, TExtensionData& block);
// The block's bytes as the structure files hold it (nothing but the length
// when the length is 0).
Bytes extensionDataBytes(const TExtensionData& block);
// The raw block file of the ExtensionData dialog: the header, the entries and
// the first (length - 8 - 12n) bytes of the data block.
Bytes extensionDataFileBytes(const TExtensionData& block);

// "no ExtensionData()" or "1 entry, 56 bytes" (for the owners' labels).
std::string extensionDataSummary(const TExtensionData& block);
// "56 bytes, 1 entry" or "None" (for the dialog).
std::string extensionDataDialogSummary(const TExtensionData& block);
// "PIP metadata", "STN table SS" ... or "" for an unknown pair.
std::string_view extensionEntryName(std::uint16_t id1, std::uint16_t id2);

// One line of an entry's hex dump with the ranges the dialog colours.
struct HexDumpLine {
    std::string text;
    std::size_t addressStart = 0, addressLength = 0;  // shown in blue
    std::size_t charsStart = 0, charsLength = 0;      // shown in red
};
// The entry's data, 32 bytes a line: " AAAA" then " XX" per byte ("   " past
// the entry's length), then a blank and the bytes as characters (below 32 as
// "."); an empty entry shows one line with its address.  Bytes the entry claims
// but the data block lacks show as "--".
std::vector<HexDumpLine> extensionEntryHexDump(const TExtensionData& block, std::size_t entry);

// Loads a raw block file (throws FileError); returns false with the block as it
// was when the file's entry table is cut short.
bool loadExtensionDataFile(const std::string& path, TExtensionData& block,
                           std::string* error = nullptr);
void saveExtensionDataFile(const std::string& path, const TExtensionData& block);

}  // namespace lumora
