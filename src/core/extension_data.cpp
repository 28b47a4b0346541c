#include "core/extension_data.h"

#include <algorithm>

#include "core/file_io.h"
#include "core/text.h"

namespace lumora {
namespace {

constexpr std::size_t kEntrySize = 12;
constexpr std::size_t kBytesPerLine = 32;

void appendHeaderAndEntries(Bytes& out, const TExtensionData& block) {
    appendBigEndian(out, block.length, 4);
    if (block.length == 0) return;
    appendBigEndian(out, block.dataBlockStartAddress, 4);
    appendBigEndian(out, 0, 3);  // reserved
    appendBigEndian(out, block.entries.size(), 1);
    for (const auto& entry : block.entries) {
        appendBigEndian(out, entry.id1, 2);
        appendBigEndian(out, entry.id2, 2);
        appendBigEndian(out, entry.startAddress, 4);
        appendBigEndian(out, entry.length, 4);
    }
}

std::string displayChar(std::uint8_t byte) {
    if (byte < 32 || byte == 127 || (byte >= 0x80 && byte < 0xA0)) return ".";
    return latin1ToUtf8(std::string(1, static_cast<char>(byte)));
}

}  // namespace

bool readExtensionData(ByteReader& reader, TExtensionData& block) {
    block.clear();
    block.length = reader.readlong();
    if (block.length == 0) return !reader.overran();
    block.dataBlockStartAddress = reader.readlong();
    reader.skip(3);
    const std::size_t count = reader.readbyte();
    // At most 255 entries; read no more than the data holds.
    const std::size_t fitting = std::min(count, reader.remaining() / kEntrySize);
    block.entries.resize(fitting);
    for (auto& entry : block.entries) {
        entry.id1 = reader.readword();
        entry.id2 = reader.readword();
        entry.startAddress = reader.readlong();
        entry.length = reader.readlong();
    }
    if (fitting < count) reader.skip((count - fitting) * kEntrySize);  // records the overrun
    block.dataBlock = reader.readrest();
    return !reader.overran();
}

Bytes extensionDataBytes(const TExtensionData& block) {
    Bytes out;
    appendHeaderAndEntries(out, block);
    if (block.length != 0) out.insert(out.end(), block.dataBlock.begin(), block.dataBlock.end());
    return out;
}

Bytes extensionDataFileBytes(const TExtensionData& block) {
    Bytes out;
    appendHeaderAndEntries(out, block);
    if (block.length == 0) return out;
    // The length field covers the header after it, the entries and the data;
    // a length smaller than header and entries leaves no data, and the data
    // written never exceeds what the block holds.
    const std::int64_t wanted = static_cast<std::int64_t>(block.length) - 8 -
                                static_cast<std::int64_t>(kEntrySize * block.entries.size());
    const std::size_t count = std::min(static_cast<std::size_t>(std::max<std::int64_t>(wanted, 0)),
                                       block.dataBlock.size());
    out.insert(out.end(), block.dataBlock.begin(),
               block.dataBlock.begin() + static_cast<std::ptrdiff_t>(count));
    return out;
}

std::string extensionDataSummary(const TExtensionData& block) {
    const std::size_t n = block.entries.size();
    if (n == 0) return "no ExtensionData()";
    return std::to_string(n) + (n > 1 ? " entries, " : " entry, ") +
           std::to_string(static_cast<std::uint64_t>(block.length) + 4) + " bytes";
}

std::string extensionDataDialogSummary(const TExtensionData& block) {
    if (block.length == 0) return "None";
    const std::size_t n = block.entries.size();
    return std::to_string(static_cast<std::uint64_t>(block.length) + 4) + " bytes, " +
           std::to_string(n) + " entr" + (n < 2 ? "y" : "ies");
}

std::string_view extensionEntryName(std::uint16_t id1, std::uint16_t id2) {
    if (id1 == 1) {
        switch (id2) {
            case 1:
                return "PIP metadata";
            case 2:
                return "HDMV LPCM down mix coefficient";
            default:
                return "";
        }
    }
    if (id1 == 2) {
        switch (id2) {
            case 1:
                return "STN table SS";
            case 2:
                return "SubPath entries extension";
            case 3:
                return "Active video window";
            case 4:
                return "Extent Start Point";
            case 5:
                return "ProgramInfo SS";
            case 6:
                return "CPI SS";
            default:
                return "";
        }
    }
    return "";
}

std::vector<HexDumpLine> extensionEntryHexDump(const TExtensionData& block, std::size_t index) {
    std::vector<HexDumpLine> lines;
    if (index >= block.entries.size()) return lines;
    const TExtensionDataEntry& entry = block.entries[index];
    // Where the entry's data begins in the data block; an address before the
    // data block has no bytes there.
    const std::int64_t offset =
        static_cast<std::int64_t>(entry.startAddress) - block.dataBlockStartAddress;
    const std::size_t lineCount =
        std::max<std::size_t>(1, (entry.length + kBytesPerLine - 1) / kBytesPerLine);
    for (std::size_t line = 0; line < lineCount; ++line) {
        HexDumpLine out;
        out.text = " ";
        out.addressStart = out.text.size();
        out.text += hexText(entry.startAddress + kBytesPerLine * line, 4);
        out.addressLength = out.text.size() - out.addressStart;
        std::string chars;
        for (std::size_t column = 0; column < kBytesPerLine; ++column) {
            const std::size_t k = line * kBytesPerLine + column;
            if (k >= entry.length) {
                out.text += "   ";
                continue;
            }
            const std::int64_t at = offset + static_cast<std::int64_t>(k);
            if (at < 0 || static_cast<std::size_t>(at) >= block.dataBlock.size()) {
                out.text += " --";
                chars += ".";
                continue;
            }
            const std::uint8_t byte = block.dataBlock[static_cast<std::size_t>(at)];
            out.text += ' ';
            out.text += hexText(byte, 2);
            chars += displayChar(byte);
        }
        out.text += " ";
        out.charsStart = out.text.size();
        out.text += chars;
        out.charsLength = chars.size();
        lines.push_back(std::move(out));
    }
    return lines;
}

bool loadExtensionDataFile(const std::string& path, TExtensionData& block, std::string* error) {
    const Bytes data = readFileBytes(path);
    ByteReader reader(data);
    TExtensionData loaded;
    if (!readExtensionData(reader, loaded)) {
        if (error) {
            *error = path + ": ExtensionData() entries run past the end of the file at $" +
                     hexText(reader.overrunOffset(), 8);
        }
        return false;
    }
    block = std::move(loaded);
    return true;
}

void saveExtensionDataFile(const std::string& path, const TExtensionData& block) {
    writeFileSafely(path, extensionDataFileBytes(block));
}

}  // namespace lumora
