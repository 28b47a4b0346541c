#include "navigation/index_file.h"

#include <algorithm>

#include "core/file_io.h"
#include "core/stream_values.h"
#include "core/text.h"

namespace lumora {
namespace {

constexpr std::size_t kHeaderSize = 78;  // header, AppInfoBDMV
constexpr std::size_t kEntrySize = 12;
constexpr std::size_t kBdjNameSize = 5;

std::string hex8(std::size_t value) {
    return hexText(value, 8);
}

// First Playback and Top Menu: object type (2 bits), playback type (2 bits),
// then the HDMV or BD-J tail.
TTitleEntry readEntry(ByteReader& reader, std::int32_t number, bool isTitle) {
    TTitleEntry entry;
    entry.titleNumber = number;
    const std::uint32_t first = reader.readlong();
    entry.objectType = static_cast<std::uint8_t>(first >> 30);
    if (isTitle) entry.accessType = static_cast<std::uint8_t>((first >> 28) & 3);
    entry.playbackType = static_cast<std::uint8_t>(reader.readword() >> 14);
    if (entry.isHdmv()) {
        entry.objectId = reader.readword();
        reader.skip(4);
    } else {
        entry.objectId = 0;
        entry.bdjName = reader.readstring(kBdjNameSize);
        reader.skip(1);
    }
    return entry;
}

void writeEntry(ScratchBuffer& out, const TTitleEntry& entry, bool isTitle) {
    std::uint32_t first = static_cast<std::uint32_t>(entry.objectType & 3) << 30;
    if (isTitle) first |= static_cast<std::uint32_t>(entry.accessType & 3) << 28;
    out.addlong(first);
    out.addword(static_cast<std::uint32_t>(entry.playbackType & 3) << 14);
    if (entry.isHdmv()) {
        out.addword(entry.objectId);
        out.addlong(0);
    } else {
        out.addtext(entry.bdjName, kBdjNameSize);
        out.addbyte(0);
    }
}

ReadOutcome truncated(std::string_view name, std::string_view field, std::size_t offset) {
    return {ReadStatus::Truncated, offset,
            std::string(name) + ": " + std::string(field) + " runs past the end of the file at $" +
                hex8(offset)};
}

}  // namespace

ReadOutcome parseIndex(ByteView data, std::string_view name, TINDX& index) {
    ByteReader reader(data);
    TINDX read;
    read.typeIndicator = reader.readlong();
    read.version = reader.readlong();
    if (reader.overran() || read.typeIndicator != kIndexType ||
        (read.version != kVersion0100 && read.version != kVersion0200)) {
        return {ReadStatus::BadFormat, reader.position(),
                std::string(name) + " format error at $" + hex8(reader.position())};
    }
    read.indexesStart = reader.readlong();
    read.extensionDataStart = reader.readlong();
    read.reserved = reader.readbytes(24);
    read.appInfoLength = reader.readlong();
    const std::uint32_t flags = reader.readword();
    read.outputModePreference = static_cast<std::uint8_t>((flags >> 14) & 1);
    read.ssContentExists = static_cast<std::uint8_t>((flags >> 13) & 1);
    read.videoFormat = static_cast<std::uint8_t>((flags >> 4) & 0xF);
    read.frameRate = static_cast<std::uint8_t>(flags & 0xF);
    read.contentProvider = reader.readstring(32);
    if (reader.overran()) return truncated(name, "AppInfoBDMV()", reader.overrunOffset());

    reader.seek(read.indexesStart);
    read.indexes.length = reader.readlong();
    read.indexes.firstPlayback = readEntry(reader, kFirstPlaybackNumber, false);
    read.indexes.topMenu = readEntry(reader, 0, false);
    const std::size_t count = reader.readword();
    if (reader.overran()) return truncated(name, "Indexes()", reader.overrunOffset());
    if (count > kMaxTitles) {
        return {
            ReadStatus::TooManyTitles, reader.position(),
            "Error in " + std::string(name) + " (number of title: " + std::to_string(count) + ")"};
    }
    // Only as many titles as the file holds are taken into memory.
    const std::size_t present = std::min(count, reader.remaining() / kEntrySize);
    read.indexes.titles.reserve(present);
    for (std::size_t i = 0; i < present; ++i) {
        read.indexes.titles.push_back(readEntry(reader, static_cast<std::int32_t>(i + 1), true));
    }
    if (present < count) {
        const std::size_t at = reader.fileOffset();
        index = std::move(read);
        return truncated(name, "title " + std::to_string(present + 1), at);
    }
    if (read.extensionDataStart != 0) {
        reader.seek(read.extensionDataStart);
        if (!readExtensionData(reader, read.extensionData)) {
            const std::size_t at = reader.overrunOffset();
            index = std::move(read);
            return truncated(name, "ExtensionData()", at);
        }
    }
    index = std::move(read);
    return {};
}

Bytes indexBytes(const TINDX& index) {
    const auto& titles = index.indexes.titles;
    const std::uint32_t extensionStart =
        index.extensionData.empty()
            ? 0
            : static_cast<std::uint32_t>(kIndexesOffset + 30 + kEntrySize * titles.size());
    ScratchBuffer out;
    out.block(0);
    out.addlong(index.typeIndicator);
    out.addlong(index.version);
    out.addlong(kIndexesOffset);
    out.addlong(extensionStart);
    out.addbytes(index.reserved);
    if (index.reserved.size() < 24) out.addbytes(Bytes(24 - index.reserved.size(), 0));
    out.setCursor(40);
    out.addlong(index.appInfoLength);
    out.addword(static_cast<std::uint32_t>(index.outputModePreference & 1) << 14 |
                static_cast<std::uint32_t>(index.ssContentExists & 1) << 13 |
                static_cast<std::uint32_t>(index.videoFormat & 0xF) << 4 |
                static_cast<std::uint32_t>(index.frameRate & 0xF));
    out.addtext(index.contentProvider, 32);
    out.addlong(index.indexes.length);
    writeEntry(out, index.indexes.firstPlayback, false);
    writeEntry(out, index.indexes.topMenu, false);
    out.addword(static_cast<std::uint32_t>(titles.size()));
    for (const auto& title : titles)
        writeEntry(out, title, true);
    Bytes bytes(out.bytes().begin(),
                out.bytes().begin() + static_cast<std::ptrdiff_t>(out.cursor()));
    if (extensionStart != 0) {
        const Bytes block = extensionDataBytes(index.extensionData);
        bytes.insert(bytes.end(), block.begin(), block.end());
    }
    return bytes;
}

ReadOutcome readIndexFile(const std::string& path, std::string_view name, TINDX& index,
                          Reporter& reporter) {
    reporter.dlog0("Reading " + std::string(name));
    const Bytes data = readFileBytes(path);
    const ReadOutcome outcome = parseIndex(data, name, index);
    switch (outcome.status) {
        case ReadStatus::TooManyTitles:
            reporter.log(outcome.message);
            return outcome;
        case ReadStatus::BadFormat:
        case ReadStatus::Truncated:
            reporter.erlog(outcome.message);
            return outcome;
        case ReadStatus::Good:
            break;
    }
    reporter.log("  Found [b]" + std::to_string(index.indexes.titles.size()) + "[/b] titles, [b]" +
                 std::to_string(index.extensionData.entries.size()) + "[/b] extended entry.");
    reporter.slogR();
    return outcome;
}

bool saveIndexFile(const std::string& folder, std::string_view name, const TINDX& index,
                   Reporter& reporter, const BackupOptions& backup) {
    return saveStructureFile(reporter, backup, folder, std::string(name), indexBytes(index));
}

std::size_t insertTitle(TINDX& index, int after) {
    auto& titles = index.indexes.titles;
    const std::size_t at =
        std::min(static_cast<std::size_t>(std::max(after + 1, 0)), titles.size());
    TTitleEntry title;
    title.objectType = kHdmvObject;
    title.objectId = 0;
    titles.insert(titles.begin() + static_cast<std::ptrdiff_t>(at), title);
    for (std::size_t i = at; i < titles.size(); ++i)
        titles[i].titleNumber = static_cast<std::int32_t>(i + 1);
    index.indexes.length += kEntrySize;
    if (index.extensionDataStart != 0) index.extensionDataStart += kEntrySize;
    return at;
}

void deleteTitles(TINDX& index, std::size_t first, std::size_t last) {
    auto& titles = index.indexes.titles;
    if (first > last || first >= titles.size()) return;
    last = std::min(last, titles.size() - 1);
    const std::size_t removed = last - first + 1;
    titles.erase(titles.begin() + static_cast<std::ptrdiff_t>(first),
                 titles.begin() + static_cast<std::ptrdiff_t>(last + 1));
    for (std::size_t i = first; i < titles.size(); ++i)
        titles[i].titleNumber = static_cast<std::int32_t>(i + 1);
    const auto bytes = static_cast<std::uint32_t>(kEntrySize * removed);
    index.indexes.length -= std::min(index.indexes.length, bytes);
    if (index.extensionDataStart != 0) index.extensionDataStart -= bytes;
}

void setEntryOn(TTitleEntry& entry, bool on, std::uint16_t objectId) {
    if (on) {
        if (entry.isHdmv()) entry.objectId = objectId;
        return;
    }
    // Only an HDMV entry can say "no object" in the file.
    entry.objectType = kHdmvObject;
    entry.objectId = kNoObject;
}

void setIndexExtensionData(TINDX& index, TExtensionData block) {
    index.extensionData = std::move(block);
    index.extensionDataStart =
        index.extensionData.empty() ? 0 : index.indexesStart + index.indexes.length + 4;
}

std::string objectTypeText(std::uint8_t type) {
    if (type == kHdmvObject) return "HDMV";
    if (type == kBdjObject) return "BD-J";
    return std::to_string(type);
}

const std::vector<std::string>& accessTypeItems() {
    static const std::vector<std::string> items{"Permitted", "Prohibited1", "Prohibited2"};
    return items;
}

std::string accessTypeText(std::uint8_t type) {
    return accessTypeItems()[static_cast<std::size_t>(itemForAccessType(type))];
}

std::uint8_t accessTypeForItem(int item) {
    return item <= 0 ? 0 : static_cast<std::uint8_t>(std::min(item, 2) + 1);
}

int itemForAccessType(std::uint8_t type) {
    return type <= 1 ? 0 : std::min<int>(type, 3) - 1;
}

std::string playbackTypeText(std::uint8_t type) {
    if (type == 0) return "Movie";
    if (type == 1) return "Interactive";
    return std::to_string(type);
}

std::string outputModeText(std::uint8_t mode) {
    return mode == 0 ? "2D" : mode == 1 ? "SS" : std::to_string(mode);
}

const std::vector<std::string>& videoFormatTexts() {
    static const std::vector<std::string> texts{"-",     "480i", "576i",  "480p",
                                                "1080i", "720p", "1080p", "576p"};
    return texts;
}

const std::vector<std::string>& frameRateTexts() {
    static const std::vector<std::string> texts{"-",     "23.976", "24", "25",
                                                "29.97", "-",      "50", "59.94"};
    return texts;
}

std::array<std::string, 5> titleRowCells(const TTitleEntry& title) {
    return {zeroPad(title.titleNumber, 3), objectTypeText(title.objectType),
            accessTypeText(title.accessType), playbackTypeText(title.playbackType),
            title.isHdmv() ? std::to_string(title.objectId) : title.bdjName};
}

std::string titlesLabel(const TINDX& index) {
    int named = 0;
    for (const TTitleEntry* entry : {&index.indexes.firstPlayback, &index.indexes.topMenu}) {
        if (entry->objectId != kNoObject) ++named;
    }
    std::string label = std::to_string(index.indexes.titles.size());
    if (named > 0) label += " + " + std::to_string(named);
    return label + " titles";
}

std::string versionText(std::uint32_t version) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += static_cast<char>((version >> shift) & 0xFF);
    return text;
}

}  // namespace lumora
