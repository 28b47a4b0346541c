#include "bdj/bdjo_file.h"

#include "core/file_io.h"
#include "core/text.h"
#include "playlist/block_parser.h"

namespace lumora {
namespace {

constexpr std::size_t kHeaderRestSize = 40;  // six start addresses, 16 reserved bytes
constexpr std::size_t kAppCacheEntrySize = 12;
constexpr std::size_t kPlaylistEntrySize = 6;
constexpr std::size_t kProfileSize = 6;
// Control code to descriptor length: what an application takes before its
// descriptor, so no application count can claim more than the table holds.
constexpr std::size_t kApplicationHeadSize = 14;

std::string applicationField(std::size_t index) {
    return "application " + std::to_string(index);
}

// A field of text or of a list that ends at an odd offset of the file is
// followed by one pad byte, so the next 16-bit field starts at an even one.
// The offset counts from the start of the file: every block of the real files
// starts at an even offset, where the file's and the block's count agree.
void skipPad(ByteReader& r) {
    if (r.fileOffset() % 2 != 0) r.skip(1);
}

// A text with an 8-bit length in front of it.
std::string readShortText(ByteReader& r) {
    const std::size_t length = r.readbyte();
    return r.readstring(length);
}

// A reader at `start` of the whole file; a start past the end is an overrun
// of the file that the block's check reports.
ByteReader readerAt(ByteView data, std::uint32_t start) {
    ByteReader file(data);
    file.seek(start);
    return file;
}

bool readTerminalInfo(Parser& parser, ByteView data, TBDJO& bdjo) {
    ByteReader file = readerAt(data, bdjo.startAddresses[0]);
    bdjo.terminalInfoLength = file.readlong();
    ByteReader block = file.sub(bdjo.terminalInfoLength);
    bdjo.defaultFont = block.readstring(5);
    const std::uint8_t flags = block.readbyte();
    bdjo.haviConfiguration = flags >> 4;
    bdjo.menuCallMask = (flags >> 3) & 1;
    bdjo.titleSearchMask = (flags >> 2) & 1;
    block.skip(4);
    return parser.check(file, block, "TerminalInfo()");
}

bool readAppCache(Parser& parser, ByteView data, TBDJO& bdjo) {
    ByteReader file = readerAt(data, bdjo.startAddresses[1]);
    TAppCacheInfo& cache = bdjo.appCache;
    cache.length = file.readlong();
    ByteReader block = file.sub(cache.length);
    const std::size_t count = block.readbyte();
    block.skip(1);
    if (!parser.check(file, block, "AppCacheInfo()")) return false;
    if (!parser.fits(block, count, kAppCacheEntrySize, "AppCacheInfo() entry")) return false;
    cache.entries.resize(count);
    for (TAppCacheEntry& entry : cache.entries) {
        entry.entryType = block.readbyte();
        entry.referenceToName = block.readstring(5);
        entry.languageCode = block.readstring(3);
        block.skip(3);
    }
    return true;
}

bool readPlaylists(Parser& parser, ByteView data, TBDJO& bdjo) {
    ByteReader file = readerAt(data, bdjo.startAddresses[2]);
    TTableOfAccessiblePlayLists& table = bdjo.playlists;
    table.length = file.readlong();
    ByteReader block = file.sub(table.length);
    const std::uint16_t word = block.readword();
    table.accessToAll = (word >> 4) & 1;
    table.autostartFirstPlayList = (word >> 3) & 1;
    block.skip(2);
    if (!parser.check(file, block, "TableOfAccessiblePlayLists()")) return false;
    const std::size_t count = word >> 5;
    if (!parser.fits(block, count, kPlaylistEntrySize, "accessible playlist")) return false;
    table.playlists.resize(count);
    for (std::string& playlist : table.playlists) {
        playlist = block.readstring(5);
        block.skip(1);
    }
    return true;
}

bool readProfiles(Parser& parser, ByteReader& descriptor, Tapplication& app,
                  const std::string& field) {
    const std::size_t count = descriptor.readword() >> 12;
    if (!parser.fits(descriptor, count, kProfileSize, field + " profile")) return false;
    app.profiles.resize(count);
    for (TProfile& profile : app.profiles) {
        profile.profile = descriptor.readword();
        profile.major = descriptor.readbyte();
        profile.minor = descriptor.readbyte();
        profile.micro = descriptor.readbyte();
        descriptor.skip(1);
    }
    return true;
}

// Names while their 16-bit length L lasts; each takes its 4-byte head and
// its text, so the loop ends inside the names' own bytes.
bool readNames(Parser& parser, ByteReader& descriptor, Tapplication& app,
               const std::string& field) {
    const std::size_t length = descriptor.readword();
    ByteReader names = descriptor.sub(length);
    while (!names.atEnd()) {
        Tapplication_name name;
        name.languageCode = names.readstring(3);
        name.name = readShortText(names);
        app.names.push_back(std::move(name));
    }
    return parser.check(descriptor, names, field + " names", "its descriptor");
}

// Parameters while their 8-bit length P lasts, each a text with its length.
bool readParameters(Parser& parser, ByteReader& descriptor, Tapplication& app,
                    const std::string& field) {
    const std::size_t length = descriptor.readbyte();
    ByteReader parameters = descriptor.sub(length);
    while (!parameters.atEnd())
        app.parameters.push_back(readShortText(parameters));
    return parser.check(descriptor, parameters, field + " parameters", "its descriptor");
}

// The fields read so far lie inside the application's descriptor.
bool insideDescriptor(Parser& parser, const ByteReader& descriptor, const std::string& field) {
    return parser.check(descriptor, descriptor, field, "its descriptor");
}

bool readApplicationDescriptor(Parser& parser, ByteReader& descriptor, Tapplication& app,
                               const std::string& field) {
    descriptor.skip(4);
    if (!readProfiles(parser, descriptor, app, field)) return false;
    app.priority = descriptor.readbyte();
    const std::uint8_t flags = descriptor.readbyte();
    app.binding = flags >> 6;
    app.visibility = (flags >> 4) & 2;
    if (!insideDescriptor(parser, descriptor, field + " profiles and priority")) return false;
    if (!readNames(parser, descriptor, app, field)) return false;
    skipPad(descriptor);
    app.iconLocator = readShortText(descriptor);
    skipPad(descriptor);
    app.iconFlags = descriptor.readword();
    if (!insideDescriptor(parser, descriptor, field + " icon")) return false;
    app.baseDirectory = readShortText(descriptor);
    skipPad(descriptor);
    if (!insideDescriptor(parser, descriptor, field + " base directory")) return false;
    app.classpathExtension = readShortText(descriptor);
    skipPad(descriptor);
    if (!insideDescriptor(parser, descriptor, field + " classpath extension")) return false;
    app.initialClassName = readShortText(descriptor);
    skipPad(descriptor);
    if (!insideDescriptor(parser, descriptor, field + " initial class name")) return false;
    if (!readParameters(parser, descriptor, app, field)) return false;
    skipPad(descriptor);
    return insideDescriptor(parser, descriptor, field + " parameters");
}

bool readApplication(Parser& parser, ByteReader& table, Tapplication& app, std::size_t index) {
    const std::string field = applicationField(index);
    app.controlCode = table.readbyte();
    app.type = table.readbyte();
    app.organizationId = table.readlong();
    app.applicationId = table.readword();
    app.descriptorTag = table.readbyte();
    table.skip(1);
    app.descriptorLength = table.readlong();
    ByteReader descriptor = table.sub(app.descriptorLength);
    if (!parser.check(table, descriptor, field, "ApplicationManagementTable()")) return false;
    if (app.descriptorTag != kApplicationDescriptorTag) {
        // Its fields are not known: kept as they stand rather than guessed at.
        app.otherDescriptor = descriptor.readrest();
        return true;
    }
    return readApplicationDescriptor(parser, descriptor, app, field);
}

bool readApplications(Parser& parser, ByteView data, TBDJO& bdjo) {
    ByteReader file = readerAt(data, bdjo.startAddresses[3]);
    TApplicationManagementTable& table = bdjo.applications;
    table.length = file.readlong();
    ByteReader block = file.sub(table.length);
    const std::size_t count = block.readbyte();
    block.skip(1);
    if (!parser.check(file, block, "ApplicationManagementTable()")) return false;
    if (!parser.fits(block, count, kApplicationHeadSize, "application")) return false;
    table.applications.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (!readApplication(parser, block, table.applications[i], i)) return false;
    }
    return true;
}

bool readKeyInterestTable(Parser& parser, ByteView data, TBDJO& bdjo) {
    ByteReader file = readerAt(data, bdjo.startAddresses[4]);
    ByteReader block = file.sub(4);
    bdjo.keyInterestTable = block.readlong();
    return parser.check(file, block, "KeyInterestTable()");
}

bool readFileAccessInfo(Parser& parser, ByteView data, TBDJO& bdjo) {
    ByteReader file = readerAt(data, bdjo.startAddresses[5]);
    const std::size_t length = file.readword();
    ByteReader path = file.sub(length);
    bdjo.directoryPath = path.readstring(length);
    skipPad(file);
    return parser.check(file, path, "FileAccessInfo()");
}

// The blocks in the header's order, each at its own start address, the
// TerminalInfo too (in every file seen so far right after the header, at 48).
// The first problem ends the read.
bool readBlocks(Parser& parser, ByteView data, TBDJO& bdjo) {
    return readTerminalInfo(parser, data, bdjo) && readAppCache(parser, data, bdjo) &&
           readPlaylists(parser, data, bdjo) && readApplications(parser, data, bdjo) &&
           readKeyInterestTable(parser, data, bdjo) && readFileAccessInfo(parser, data, bdjo);
}

std::string decimal(std::uint64_t value) {
    return std::to_string(value);
}

}  // namespace

ReadOutcome parseBdjo(ByteView data, std::string_view name, TBDJO& bdjo) {
    ByteReader file(data);
    const std::string type = file.readstring(4);
    const std::string version = file.readstring(4);
    if (type != "BDJO" || (version != "0100" && version != "0200")) {
        const std::size_t at = type != "BDJO" ? 0 : 4;
        return {ReadStatus::BadFormat, at,
                std::string(name) + " format error: " + (at == 0 ? "type indicator" : "version") +
                    " at $" + hexText(at, 8)};
    }
    Parser parser(name);
    TBDJO read;
    read.typeIndicator = type;
    read.version = version;
    ByteReader header = file.sub(kHeaderRestSize);
    for (std::uint32_t& start : read.startAddresses)
        start = header.readlong();
    if (parser.check(file, header, "header")) readBlocks(parser, data, read);
    bdjo = std::move(read);
    return parser.outcome();
}

ReadOutcome readBdjoFile(const std::string& path, std::string_view name, TBDJO& bdjo,
                         Reporter& reporter) {
    reporter.dlog0("Reading [bl]" + std::string(name) + "[/bl]");
    const Bytes data = readFileBytes(path);
    const ReadOutcome outcome = parseBdjo(data, name, bdjo);
    switch (outcome.status) {
        case ReadStatus::BadFormat:
            return outcome;  // the views stay empty; the tab says nothing more
        case ReadStatus::Truncated:
        case ReadStatus::TooManyTitles:
            reporter.erlog(outcome.message);
            return outcome;
        case ReadStatus::Good:
            break;
    }
    reporter.slogR();
    return outcome;
}

std::string_view bdjKeyName(BdjKey key) {
    switch (key) {
        case BdjKey::Play:
            return "Play";
        case BdjKey::Stop:
            return "Stop";
        case BdjKey::FFW:
            return "FFW";
        case BdjKey::REW:
            return "REW";
        case BdjKey::Next:
            return "Next";
        case BdjKey::Prev:
            return "Prev.";
        case BdjKey::Pause:
            return "Pause";
        case BdjKey::StillOff:
            return "Still off";
        case BdjKey::SecAudio:
            return "sec.audio";
        case BdjKey::SecVideo:
            return "sec.video";
        case BdjKey::PgTextST:
            return "PG TextST";
    }
    return "";
}

bool bdjKeySet(std::uint32_t keyInterestTable, BdjKey key) {
    const int bit = 31 - static_cast<int>(key);
    return (keyInterestTable >> bit) & 1u;
}

const std::vector<std::string>& appCacheGridHeaders() {
    static const std::vector<std::string> headers{"", "entry type", "ref to name", "language"};
    return headers;
}

std::vector<std::string> appCacheRowCells(std::size_t index, const TAppCacheEntry& entry) {
    return {decimal(index), decimal(entry.entryType), latin1ToUtf8(entry.referenceToName),
            latin1ToUtf8(entry.languageCode)};
}

const std::vector<std::string>& playlistGridHeaders() {
    static const std::vector<std::string> headers{"", "PlayList"};
    return headers;
}

std::vector<std::string> playlistRowCells(std::size_t index, const std::string& playlist) {
    return {decimal(index), latin1ToUtf8(playlist)};
}

const std::vector<std::string>& applicationGridHeaders() {
    static const std::vector<std::string> headers{
        "",      "ctrl",     "type",     "orgID",         "appID",        "tag", "prior", "bind",
        "visib", "icon_loc", "base_dir", "classpath_ext", "init_classn.", "pr.", "na.",   "pa."};
    return headers;
}

std::vector<std::string> applicationRowCells(std::size_t index, const Tapplication& app) {
    return {decimal(index),
            decimal(app.controlCode),
            decimal(app.type),
            hexText(app.organizationId, 8),
            hexText(app.applicationId, 4),
            hexText(app.descriptorTag, 2),
            decimal(app.priority),
            decimal(app.binding),
            decimal(app.visibility),
            latin1ToUtf8(app.iconLocator),
            latin1ToUtf8(app.baseDirectory),
            latin1ToUtf8(app.classpathExtension),
            latin1ToUtf8(app.initialClassName),
            decimal(app.profiles.size()),
            decimal(app.names.size()),
            decimal(app.parameters.size())};
}

const std::vector<std::string>& profileGridHeaders() {
    static const std::vector<std::string> headers{"", "profile", "version"};
    return headers;
}

std::vector<std::string> profileRowCells(std::size_t index, const TProfile& profile) {
    return {decimal(index + 1), hexText(profile.profile, 4),
            decimal(profile.major) + "." + decimal(profile.minor) + "." + decimal(profile.micro)};
}

const std::vector<std::string>& nameGridHeaders() {
    static const std::vector<std::string> headers{"", "lang", "name"};
    return headers;
}

std::vector<std::string> nameRowCells(std::size_t index, const Tapplication_name& name) {
    return {decimal(index + 1), latin1ToUtf8(name.languageCode), latin1ToUtf8(name.name)};
}

const std::vector<std::string>& parameterGridHeaders() {
    static const std::vector<std::string> headers{"", "parameter"};
    return headers;
}

std::vector<std::string> parameterRowCells(std::size_t index, const std::string& parameter) {
    return {decimal(index + 1), latin1ToUtf8(parameter)};
}

}  // namespace lumora
