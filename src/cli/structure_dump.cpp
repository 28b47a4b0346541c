#include "cli/structure_dump.h"

#include <algorithm>

#include "core/extension_data.h"
#include "core/text.h"
#include "navigation/index_file.h"
#include "navigation/movie_object_file.h"

namespace lumora::cli {
namespace {

using Json = nlohmann::ordered_json;

// Raw bytes of fixed-width text fields may hold any value; JSON text must be
// UTF-8, so they go through the one-byte character set.
std::string jsonText(std::string_view text) {
    return latin1ToUtf8(text);
}

void record(std::ostream& out, std::string_view key, const std::string& value) {
    out << key << '\t' << value << '\n';
}

template <std::size_t N>
void row(std::ostream& out, const std::array<std::string, N>& cells) {
    for (std::size_t i = 0; i < N; ++i)
        out << (i ? "\t" : "") << cells[i];
    out << '\n';
}

Json extensionDataJson(const TExtensionData& block) {
    Json entries = Json::array();
    for (const auto& entry : block.entries) {
        entries.push_back({{"id1", entry.id1},
                           {"id2", entry.id2},
                           {"start_address", entry.startAddress},
                           {"length", entry.length},
                           {"name", std::string(extensionEntryName(entry.id1, entry.id2))}});
    }
    return {{"length", block.length},
            {"data_block_start_address", block.dataBlockStartAddress},
            {"entries", entries},
            {"data_block_size", block.dataBlock.size()}};
}

void printExtensionData(std::ostream& out, const TExtensionData& block) {
    record(out, "extension_data", extensionDataSummary(block));
    if (block.entries.empty()) return;
    out << "No.\tID1\tID2\tstart\tlength\tdata in entry\n";
    for (std::size_t i = 0; i < block.entries.size(); ++i) {
        const auto& e = block.entries[i];
        out << zeroPad(static_cast<std::int64_t>(i), 3) << '\t' << hexText(e.id1, 4) << '\t'
            << hexText(e.id2, 4) << '\t' << hexText(e.startAddress, 8) << '\t'
            << hexText(e.length, 8) << '\t' << extensionEntryName(e.id1, e.id2) << '\n';
    }
}

std::string listText(const std::vector<std::string>& list, std::uint8_t value) {
    const std::string number = std::to_string(value);
    return value < list.size() ? list[value] + " (" + number + ")" : number;
}

Json entryJson(const TTitleEntry& entry, bool isTitle) {
    Json json;
    if (isTitle) json["title_number"] = entry.titleNumber;
    json["object_type"] = entry.objectType;
    if (isTitle) json["access_type"] = entry.accessType;
    json["playback_type"] = entry.playbackType;
    if (entry.isHdmv()) {
        json["hdmv_object_id"] = entry.objectId;
    } else {
        json["bdj_object_file"] = jsonText(entry.bdjName);
    }
    return json;
}

std::string entryText(const TTitleEntry& entry) {
    const auto cells = titleRowCells(entry);
    return cells[1] + '\t' + cells[3] + '\t' + cells[4];
}

class IndexStructure : public LoadedStructure {
public:
    explicit IndexStructure(TINDX index) : index_(std::move(index)) {}

    void printText(std::ostream& out) const override {
        record(out, "type_indicator", versionText(index_.typeIndicator));
        record(out, "version", versionText(index_.version));
        record(out, "indexes_start_address", std::to_string(index_.indexesStart));
        record(out, "extension_data_start_address", std::to_string(index_.extensionDataStart));
        record(out, "app_info_length", std::to_string(index_.appInfoLength));
        record(out, "initial_output_mode_preference", outputModeText(index_.outputModePreference));
        record(out, "ss_content_exists", index_.ssContentExists ? "Yes" : "No");
        record(out, "video_format", listText(videoFormatTexts(), index_.videoFormat));
        record(out, "frame_rate", listText(frameRateTexts(), index_.frameRate));
        record(out, "content_provider_data", latin1ToUtf8(index_.contentProvider));
        record(out, "indexes_length", std::to_string(index_.indexes.length));
        record(out, "first_playback", entryText(index_.indexes.firstPlayback));
        record(out, "top_menu", entryText(index_.indexes.topMenu));
        record(out, "titles", titlesLabel(index_));
        out << "No.\tobject t.\ttitle search\tplayback t.\tOID/file\n";
        for (const auto& title : index_.indexes.titles)
            row(out, titleRowCells(title));
        printExtensionData(out, index_.extensionData);
    }

    Json toJson() const override {
        Json titles = Json::array();
        for (const auto& title : index_.indexes.titles)
            titles.push_back(entryJson(title, true));
        return {{"type_indicator", versionText(index_.typeIndicator)},
                {"version", versionText(index_.version)},
                {"indexes_start_address", index_.indexesStart},
                {"extension_data_start_address", index_.extensionDataStart},
                {"app_info_bdmv",
                 {{"length", index_.appInfoLength},
                  {"initial_output_mode_preference", index_.outputModePreference},
                  {"ss_content_exists", index_.ssContentExists},
                  {"video_format", index_.videoFormat},
                  {"frame_rate", index_.frameRate},
                  {"content_provider_user_data", jsonText(index_.contentProvider)}}},
                {"indexes",
                 {{"length", index_.indexes.length},
                  {"first_playback", entryJson(index_.indexes.firstPlayback, false)},
                  {"top_menu", entryJson(index_.indexes.topMenu, false)},
                  {"titles", titles}}},
                {"extension_data", extensionDataJson(index_.extensionData)}};
    }

    Bytes bytes() const override { return indexBytes(index_); }

private:
    TINDX index_;
};

class MovieObjectStructure : public LoadedStructure {
public:
    explicit MovieObjectStructure(TMOBJ file) : file_(std::move(file)) {}

    void printText(std::ostream& out) const override {
        record(out, "type_indicator", file_.typeIndicator);
        record(out, "version", file_.version);
        record(out, "extension_data_start_address", std::to_string(file_.extensionDataStart));
        record(out, "movie_objects_length", std::to_string(file_.length));
        record(out, "movie_objects", objectsLabel(file_));
        out << "No.\tresume\tmenu call\ttitle search\tcommands\n";
        for (std::size_t i = 0; i < file_.objects.size(); ++i)
            row(out, movieObjectRowCells(i, file_.objects[i]));
        for (std::size_t i = 0; i < file_.objects.size(); ++i) {
            const auto& commands = file_.objects[i].commands;
            if (commands.empty()) continue;
            record(out, "movie_object", zeroPad(static_cast<std::int64_t>(i), 3));
            out << "No.\tOpcode\tDestinat.\tSource\n";
            for (std::size_t k = 0; k < commands.size(); ++k)
                row(out, commandRowCells(k, commands[k]));
        }
        printExtensionData(out, file_.extensionData);
    }

    Json toJson() const override {
        Json objects = Json::array();
        for (std::size_t i = 0; i < file_.objects.size(); ++i) {
            const auto& object = file_.objects[i];
            Json commands = Json::array();
            for (const auto& c : object.commands) {
                commands.push_back(
                    {{"opcode", c.opcode}, {"destination", c.destination}, {"source", c.source}});
            }
            objects.push_back({{"number", i},
                               {"resume_intention", object.resumeIntention},
                               {"menu_call_mask", object.menuCallMask},
                               {"title_search_mask", object.titleSearchMask},
                               {"commands", commands}});
        }
        return {{"type_indicator", jsonText(file_.typeIndicator)},
                {"version", jsonText(file_.version)},
                {"extension_data_start_address", file_.extensionDataStart},
                {"movie_objects", {{"length", file_.length}, {"objects", objects}}},
                {"extension_data", extensionDataJson(file_.extensionData)}};
    }

    Bytes bytes() const override { return movieObjectBytes(file_); }

private:
    TMOBJ file_;
};

bool startsWith(ByteView data, std::string_view magic) {
    return data.size() >= magic.size() && std::equal(magic.begin(), magic.end(), data.begin());
}

}  // namespace

LoadResult loadStructure(ByteView data, std::string_view name) {
    LoadResult result;
    if (startsWith(data, "INDX")) {
        TINDX index;
        result.format = "index";
        result.outcome = parseIndex(data, name, index);
        if (result.outcome.status != ReadStatus::BadFormat &&
            result.outcome.status != ReadStatus::TooManyTitles) {
            result.structure = std::make_unique<IndexStructure>(std::move(index));
        }
        return result;
    }
    if (startsWith(data, "MOBJ")) {
        TMOBJ file;
        result.format = "movie_objects";
        result.outcome = parseMovieObjects(data, name, file);
        if (result.outcome.status != ReadStatus::BadFormat) {
            result.structure = std::make_unique<MovieObjectStructure>(std::move(file));
        }
        return result;
    }
    result.outcome = {ReadStatus::BadFormat, 0,
                      std::string(name) + ": not a structure file Lumora knows"};
    return result;
}

}  // namespace lumora::cli
