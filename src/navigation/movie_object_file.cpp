#include "navigation/movie_object_file.h"

#include <algorithm>

#include "core/file_io.h"
#include "core/text.h"

namespace lumora {
namespace {

constexpr std::size_t kHeaderSize = 40;
constexpr std::size_t kObjectsStart =
    50;  // after the header, the length, the reserved word and the count

ReadOutcome truncated(std::string_view name, std::string_view field, std::size_t offset) {
    return {ReadStatus::Truncated, offset,
            std::string(name) + ": " + std::string(field) + " runs past the end of the file at $" +
                hexText(offset, 8)};
}

// Reads one object; false when the file ended inside it.
bool readObject(ByteReader& reader, Tmobject& object) {
    const std::uint32_t flags = reader.readword();
    object.resumeIntention = static_cast<std::uint8_t>((flags >> 15) & 1);
    object.menuCallMask = static_cast<std::uint8_t>((flags >> 14) & 1);
    object.titleSearchMask = static_cast<std::uint8_t>((flags >> 13) & 1);
    const std::size_t count = reader.readword();
    if (reader.overran()) return false;
    const std::size_t present = std::min(count, reader.remaining() / kCommandSize);
    object.commands.resize(present);
    for (TCommand& command : object.commands) {
        command.opcode = reader.readlong();
        command.destination = reader.readlong();
        command.source = reader.readlong();
    }
    if (present < count) reader.skip((count - present) * kCommandSize);  // records the overrun
    return !reader.overran();
}

// Moves the references of an HDMV entry after objects were inserted at
// `at` (delta +1) or removed from first..last (delta -d); "none" stays none.
void shiftAfterInsert(TTitleEntry& entry, int after) {
    if (!entry.isHdmv() || entry.objectId == kNoObject) return;
    if (static_cast<int>(entry.objectId) > after) ++entry.objectId;
}

// Returns true when the entry lost its object.
bool shiftAfterDelete(TTitleEntry& entry, std::size_t first, std::size_t last) {
    if (!entry.isHdmv() || entry.objectId == kNoObject) return false;
    if (entry.objectId >= first && entry.objectId <= last) {
        entry.objectId = kNoObject;
        return true;
    }
    if (entry.objectId > last)
        entry.objectId = static_cast<std::uint16_t>(entry.objectId - (last - first + 1));
    return false;
}

std::uint32_t objectsSize(const TMOBJ& file) {
    std::uint32_t size = 0;
    for (const auto& object : file.objects)
        size += movieObjectSize(object);
    return size;
}

}  // namespace

std::uint32_t movieObjectSize(const Tmobject& object) {
    return static_cast<std::uint32_t>(4 + kCommandSize * object.commands.size());
}

ReadOutcome parseMovieObjects(ByteView data, std::string_view name, TMOBJ& file) {
    ByteReader reader(data);
    TMOBJ read;
    read.typeIndicator = reader.readstring(4);
    read.version = reader.readstring(4);
    if (read.typeIndicator != "MOBJ" || (read.version != "0100" && read.version != "0200")) {
        return {ReadStatus::BadFormat, reader.position(), "Format error " + std::string(name)};
    }
    read.extensionDataStart = reader.readlong();
    read.reserved = reader.readbytes(28);
    read.length = reader.readlong();
    read.reservedWord = reader.readlong();
    const std::size_t count = reader.readword();
    if (reader.overran()) {
        const std::size_t at = reader.overrunOffset();
        return truncated(name, "MovieObjects()", at);
    }
    // The count is 16 bits, so empty objects for all of it are cheap; their
    // command lists are only sized from the bytes the file holds.
    read.objects.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = reader.fileOffset();
        if (reader.atEnd() || !readObject(reader, read.objects[i])) {
            const std::size_t where = reader.overran() ? reader.overrunOffset() : at;
            file = std::move(read);
            return truncated(name, "movie object " + std::to_string(i), where);
        }
    }
    if (read.extensionDataStart != 0) {
        reader.seek(read.extensionDataStart);
        if (!readExtensionData(reader, read.extensionData)) {
            const std::size_t at = reader.overrunOffset();
            file = std::move(read);
            return truncated(name, "ExtensionData()", at);
        }
    }
    file = std::move(read);
    return {};
}

Bytes movieObjectBytes(const TMOBJ& file) {
    const std::uint32_t extensionStart =
        file.extensionData.empty() ? 0
                                   : static_cast<std::uint32_t>(kObjectsStart + objectsSize(file));
    ScratchBuffer out;
    out.block(kObjectsStart);
    out.settext(file.typeIndicator, 0, 4);
    out.settext(file.version, 4, 4);
    out.setlong(extensionStart, 8);
    out.setbytes(ByteView(file.reserved).first(std::min<std::size_t>(file.reserved.size(), 28)),
                 12);
    out.setlong(file.length, kHeaderSize);
    out.setlong(file.reservedWord, 44);
    out.setword(static_cast<std::uint32_t>(file.objects.size()), 48);
    out.setCursor(kObjectsStart);
    for (const auto& object : file.objects) {
        out.addword(static_cast<std::uint32_t>((object.resumeIntention & 1) * 4 +
                                               (object.menuCallMask & 1) * 2 +
                                               (object.titleSearchMask & 1))
                    << 13);
        out.addword(static_cast<std::uint32_t>(object.commands.size()));
        for (const auto& command : object.commands) {
            out.addlong(command.opcode);
            out.addlong(command.destination);
            out.addlong(command.source);
        }
    }
    Bytes bytes(out.bytes().begin(),
                out.bytes().begin() + static_cast<std::ptrdiff_t>(out.cursor()));
    if (extensionStart != 0) {
        const Bytes block = extensionDataBytes(file.extensionData);
        bytes.insert(bytes.end(), block.begin(), block.end());
    }
    return bytes;
}

ReadOutcome readMovieObjectFile(const std::string& path, std::string_view name, TMOBJ& file,
                                Reporter& reporter) {
    reporter.dlog0("Reading " + std::string(name));
    const Bytes data = readFileBytes(path);
    const ReadOutcome outcome = parseMovieObjects(data, name, file);
    if (outcome.status == ReadStatus::BadFormat) {
        reporter.erlog(outcome.message);
        return outcome;
    }
    if (outcome.status == ReadStatus::Truncated) reporter.erlog(outcome.message);
    reporter.log("  Found [b]" + std::to_string(file.objects.size()) + "[/b] objects, [b]" +
                 std::to_string(file.extensionData.entries.size()) + "[/b] extended entry.");
    if (outcome.good()) reporter.slogR();
    return outcome;
}

bool saveMovieObjectFile(const std::string& folder, std::string_view name, const TMOBJ& file,
                         Reporter& reporter, const BackupOptions& backup) {
    return saveStructureFile(reporter, backup, folder, std::string(name), movieObjectBytes(file));
}

std::size_t insertMovieObject(TMOBJ& file, TINDX& index, int after) {
    const std::size_t at =
        std::min(static_cast<std::size_t>(std::max(after + 1, 0)), file.objects.size());
    file.objects.insert(file.objects.begin() + static_cast<std::ptrdiff_t>(at), Tmobject{});
    file.length += 4;
    if (file.extensionDataStart != 0) file.extensionDataStart += 4;
    const int last = static_cast<int>(at) - 1;
    for (auto& title : index.indexes.titles)
        shiftAfterInsert(title, last);
    shiftAfterInsert(index.indexes.firstPlayback, last);
    shiftAfterInsert(index.indexes.topMenu, last);
    return at;
}

std::vector<InvalidReference> deleteMovieObjects(TMOBJ& file, TINDX& index, std::size_t first,
                                                 std::size_t last) {
    std::vector<InvalidReference> invalid;
    if (first > last || first >= file.objects.size()) return invalid;
    last = std::min(last, file.objects.size() - 1);
    std::uint32_t removedBytes = 0;
    for (std::size_t i = first; i <= last; ++i)
        removedBytes += movieObjectSize(file.objects[i]);
    file.objects.erase(file.objects.begin() + static_cast<std::ptrdiff_t>(first),
                       file.objects.begin() + static_cast<std::ptrdiff_t>(last + 1));
    file.length -= std::min(file.length, removedBytes);
    if (file.extensionDataStart != 0) file.extensionDataStart -= removedBytes;

    for (auto& title : index.indexes.titles) {
        if (!title.isHdmv()) continue;
        shiftAfterDelete(title, first, last);
        if (title.objectId >= file.objects.size()) {
            invalid.push_back({"Title " + std::to_string(title.titleNumber)});
        }
    }
    // First Playback and Top Menu follow their objects too; one that is off
    // stays off and is not reported.
    if (shiftAfterDelete(index.indexes.firstPlayback, first, last))
        invalid.push_back({"First Playback"});
    if (shiftAfterDelete(index.indexes.topMenu, first, last)) invalid.push_back({"Top Menu"});
    return invalid;
}

void setMovieObjectExtensionData(TMOBJ& file, TExtensionData block) {
    file.extensionData = std::move(block);
    file.extensionDataStart = file.extensionData.empty() ? 0 : file.length + 44;
}

void commandsChanged(TMOBJ& file, int deltaCommands) {
    const auto delta = static_cast<std::int64_t>(kCommandSize) * deltaCommands;
    file.length = static_cast<std::uint32_t>(std::max<std::int64_t>(0, file.length + delta));
    if (file.extensionDataStart != 0) {
        file.extensionDataStart = static_cast<std::uint32_t>(file.extensionDataStart + delta);
    }
}

std::string resumeText(std::uint8_t value) {
    return value == 0 ? "discard" : "suspend";
}

std::string maskText(std::uint8_t value) {
    return value == 0 ? "enable" : "disable";
}

std::array<std::string, 5> movieObjectRowCells(std::size_t number, const Tmobject& object) {
    return {zeroPad(static_cast<std::int64_t>(number), 3), resumeText(object.resumeIntention),
            maskText(object.menuCallMask), maskText(object.titleSearchMask),
            std::to_string(object.commands.size())};
}

std::array<std::string, 4> commandRowCells(std::size_t number, const TCommand& command) {
    return {zeroPad(static_cast<std::int64_t>(number), 4), hexText(command.opcode, 8),
            hexText(command.destination, 8), hexText(command.source, 8)};
}

std::string objectsLabel(const TMOBJ& file) {
    return std::to_string(file.objects.size()) + " objects";
}

}  // namespace lumora
