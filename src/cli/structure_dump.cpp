#include "cli/structure_dump.h"

#include <algorithm>

#include "bdj/bdjo_file.h"
#include "cli/menu_dump.h"
#include "core/extension_data.h"
#include "core/text.h"
#include "menu/menu_reader.h"
#include "menu/menu_writer.h"
#include "navigation/index_file.h"
#include "navigation/movie_object_file.h"
#include "playlist/clip_info_file.h"
#include "playlist/marks.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_rows.h"
#include "playlist/stn_edit.h"
#include "playlist/stream_coding.h"
#include "sound/sound_file.h"

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

template <std::size_t N>
void headerRow(std::ostream& out, const std::array<const char*, N>& cells) {
    for (std::size_t i = 0; i < N; ++i)
        out << (i ? "\t" : "") << cells[i];
    out << '\n';
}

Json streamJson(const TSTNStream& s) {
    Json json{{"entry_length", s.entryLength}, {"entry_type", s.entryType}};
    if (s.entryType == kEntryPlayItem || s.entryType == kEntryInMuxPip)
        json["main_pid"] = s.mainPid;
    if (s.entryType == kEntrySubPath || s.entryType == kEntryInMuxPip)
        json["subpath_id"] = s.subPathId;
    if (s.entryType == kEntrySubPath) {
        json["subclip_entry_id"] = s.subClipEntryId;
        json["sub_pid"] = s.subPid;
    }
    json["attributes_length"] = s.attributesLength;
    json["coding_type"] = s.codingType;
    switch (streamKind(s.codingType)) {
        case StreamKind::Video:
            json["video_format"] = s.videoFormat;
            json["frame_rate"] = s.frameRate;
            break;
        case StreamKind::Audio:
        case StreamKind::SecondaryAudio:
            json["audio_presentation_type"] = s.presentationType;
            json["sampling_frequency"] = s.samplingFrequency;
            json["language_code"] = jsonText(s.language);
            break;
        case StreamKind::Graphics:
            json["language_code"] = jsonText(s.language);
            break;
        case StreamKind::Text:
            json["character_code"] = s.characterCode;
            json["language_code"] = jsonText(s.language);
            break;
        case StreamKind::Unknown:
            break;
    }
    if (!s.entryTail.empty() || !s.attributesTail.empty()) {
        json["unknown_bytes"] = s.entryTail.size() + s.attributesTail.size();
    }
    return json;
}

Json streamsJson(const std::vector<TSTNStream>& streams) {
    Json list = Json::array();
    for (const auto& s : streams)
        list.push_back(streamJson(s));
    return list;
}

Json clipRefsJson(const std::vector<TClipRef>& clips) {
    Json list = Json::array();
    for (const auto& c : clips) {
        list.push_back({{"clip_name", jsonText(c.clipName)},
                        {"codec_id", jsonText(c.codecId)},
                        {"stc_id", c.stcId}});
    }
    return list;
}

Json stnJson(const TSTN& stn) {
    Json secondaryAudio = Json::array();
    for (const auto& s : stn.secondaryAudio) {
        Json json = streamJson(s.stream);
        json["primary_audio_refs"] = s.primaryAudioRefs;
        secondaryAudio.push_back(json);
    }
    Json secondaryVideo = Json::array();
    for (const auto& s : stn.secondaryVideo) {
        Json json = streamJson(s.stream);
        json["secondary_audio_refs"] = s.secondaryAudioRefs;
        json["pip_pg_refs"] = s.pipPgRefs;
        secondaryVideo.push_back(json);
    }
    return {{"length", stn.length},
            {"primary_video", streamsJson(stn.video)},
            {"primary_audio", streamsJson(stn.audio)},
            {"pg", streamsJson(stn.pg)},
            {"ig", streamsJson(stn.ig)},
            {"secondary_audio", secondaryAudio},
            {"secondary_video", secondaryVideo},
            {"pip_pg", streamsJson(stn.pip)}};
}

class PlaylistStructure : public LoadedStructure {
public:
    explicit PlaylistStructure(TMPLS playlist) : p_(std::move(playlist)) {}

    void printText(std::ostream& out) const override {
        record(out, "type_indicator", latin1ToUtf8(p_.typeIndicator));
        record(out, "version", latin1ToUtf8(p_.version));
        record(out, "playlist_start_address", std::to_string(p_.playListStart));
        record(out, "playlistmark_start_address", std::to_string(p_.markStart));
        record(out, "extension_data_start_address", std::to_string(p_.extensionDataStart));
        record(out, "playback_type", playlistPlaybackTypeText(p_.playbackType));
        record(out, "playback_count", std::to_string(p_.playbackCount));
        record(out, "uo_mask", hexText(p_.uoMask1, 8) + "\t" + hexText(p_.uoMask2, 8));
        record(out, "random_access", p_.randomAccess ? "Yes" : "No");
        record(out, "audio_mix", p_.audioMix ? "Yes" : "No");
        record(out, "bypass_mixer", p_.bypassMixer ? "Yes" : "No");
        const auto& items = p_.playList.playItems;
        record(out, "playitems", std::to_string(items.size()));
        headerRow(out, std::array{"No.", "file", "type", "IN time", "OUT time", "length", "UO1",
                                  "UO2", "An"});
        for (std::size_t i = 0; i < items.size(); ++i)
            row(out, playItemRowCells(i, items[i]));
        for (std::size_t i = 0; i < items.size(); ++i)
            printPlayItemDetails(out, i, items[i]);
        const auto& paths = p_.playList.subPaths;
        record(out, "subpaths", std::to_string(paths.size()));
        headerRow(out, std::array{"No.", "type", "repeat", "item"});
        for (std::size_t i = 0; i < paths.size(); ++i)
            row(out, subPathRowCells(i, paths[i]));
        for (std::size_t i = 0; i < paths.size(); ++i) {
            record(out, "subpath", zeroPad(static_cast<std::int64_t>(i), 3));
            headerRow(out, std::array{"No.", "file", "type", "conn", "multi", "STC", "IN time",
                                      "OUT time", "sync PI", "sync PTS", "An"});
            const auto& subItems = paths[i].subPlayItems;
            for (std::size_t k = 0; k < subItems.size(); ++k)
                row(out, subPlayItemRowCells(k, subItems[k]));
        }
        const auto& marks = p_.marks.marks;
        record(out, "playlistmarks", std::to_string(marks.size()));
        headerRow(out, std::array{"No.", "type", "PI", "mark time", "entry PID", "duration"});
        for (std::size_t i = 0; i < marks.size(); ++i)
            row(out, markRowCells(i, marks[i]));
        printExtensionData(out, p_.extensionData);
    }

    Json toJson() const override {
        Json items = Json::array();
        for (const auto& item : p_.playList.playItems) {
            items.push_back({{"length", item.length},
                             {"clip_name", jsonText(item.clipName)},
                             {"codec_id", jsonText(item.codecId)},
                             {"is_multi_angle", item.isMultiAngle},
                             {"connection_condition", item.connectionCondition},
                             {"stc_id", item.stcId},
                             {"in_time", item.inTime},
                             {"out_time", item.outTime},
                             {"uo_mask", {item.uoMask1, item.uoMask2}},
                             {"random_access_flag", item.randomAccess},
                             {"still_mode", item.stillMode},
                             {"still_time", item.stillTime},
                             {"is_different_audios", item.angles.differentAudios},
                             {"is_seamless_angle_change", item.angles.seamlessAngleChange},
                             {"angles", clipRefsJson(item.angles.clips)},
                             {"stn_table", stnJson(item.stn)}});
        }
        Json paths = Json::array();
        for (const auto& path : p_.playList.subPaths) {
            Json subItems = Json::array();
            for (const auto& sub : path.subPlayItems) {
                subItems.push_back({{"length", sub.length},
                                    {"clip_name", jsonText(sub.clipName)},
                                    {"codec_id", jsonText(sub.codecId)},
                                    {"connection_condition", sub.connectionCondition},
                                    {"is_multi_clip_entries", sub.isMultiClipEntries},
                                    {"stc_id", sub.stcId},
                                    {"in_time", sub.inTime},
                                    {"out_time", sub.outTime},
                                    {"sync_playitem_id", sub.syncPlayItemId},
                                    {"sync_start_pts", sub.syncStartPts},
                                    {"clips", clipRefsJson(sub.clips)}});
            }
            paths.push_back({{"length", path.length},
                             {"subpath_type", path.type},
                             {"repeat", path.repeat},
                             {"subplayitems", subItems}});
        }
        Json marks = Json::array();
        for (const auto& mark : p_.marks.marks) {
            marks.push_back({{"mark_type", mark.type},
                             {"playitem_id", mark.playItemId},
                             {"mark_time", mark.time},
                             {"entry_es_pid", mark.entryPid},
                             {"duration", mark.duration}});
        }
        return {{"type_indicator", jsonText(p_.typeIndicator)},
                {"version", jsonText(p_.version)},
                {"playlist_start_address", p_.playListStart},
                {"playlistmark_start_address", p_.markStart},
                {"extension_data_start_address", p_.extensionDataStart},
                {"app_info_playlist",
                 {{"length", p_.appInfoLength},
                  {"playback_type", p_.playbackType},
                  {"playback_count", p_.playbackCount},
                  {"uo_mask", {p_.uoMask1, p_.uoMask2}},
                  {"random_access_flag", p_.randomAccess},
                  {"audio_mix_app_flag", p_.audioMix},
                  {"lossless_may_bypass_mixer_flag", p_.bypassMixer}}},
                {"playlist",
                 {{"length", p_.playList.length}, {"playitems", items}, {"subpaths", paths}}},
                {"playlistmark", {{"length", p_.marks.length}, {"marks", marks}}},
                {"extension_data", extensionDataJson(p_.extensionData)}};
    }

    Bytes bytes() const override { return playlistBytes(p_); }

private:
    static void printPlayItemDetails(std::ostream& out, std::size_t index, const TPlayItem& item) {
        record(out, "playitem", zeroPad(static_cast<std::int64_t>(index), 3));
        if (!item.angles.clips.empty()) {
            headerRow(out, std::array{"No.", "file", "type", "STC"});
            for (std::size_t k = 0; k < item.angles.clips.size(); ++k)
                row(out, clipRefRowCells(k, item.angles.clips[k]));
        }
        std::array<const char*, kStnLists> headers{};
        for (int i = 0; i < kStnLists; ++i)
            headers[static_cast<std::size_t>(i)] =
                stnListHeaders()[static_cast<std::size_t>(i)].c_str();
        headerRow(out, headers);
        row(out, stnCountCells(item.stn));
        for (int list = 0; list < kStnLists; ++list) {
            const auto kind = static_cast<StnList>(list);
            const std::size_t count = stnListCount(item.stn, kind);
            if (count == 0) continue;
            record(out, "stn_list", stnListHeaders()[static_cast<std::size_t>(list)]);
            headerRow(out, std::array{"No.", "type", "mPID", "SPid", "sCid", "sPID", "attrib"});
            for (std::size_t k = 0; k < count; ++k)
                row(out, stnStreamCells(kind, k, stnStream(item.stn, kind, k)));
        }
    }

    TMPLS p_;
};

// A clip grid's header row, "No." over the row numbers.
void clipGridHeader(std::ostream& out, ClipGrid grid) {
    const auto& headers = clipGridTexts(grid).headers;
    for (std::size_t i = 0; i < headers.size(); ++i)
        out << (i ? "\t" : "") << (i ? headers[i] : "No.");
    out << '\n';
}

Json isrcJson(const TStreamCodingInfo& s) {
    return {{"country_code", jsonText(s.isrcCountryCode)},
            {"registrant_code", jsonText(s.isrcRegistrantCode)},
            {"recording_year", jsonText(s.isrcRecordingYear)},
            {"recording_number", jsonText(s.isrcRecordingNumber)}};
}

Json codingInfoJson(const TStreamCodingInfo& s) {
    Json json{{"stream_pid", s.streamPid}, {"length", s.length}, {"coding_type", s.codingType}};
    switch (streamKind(s.codingType)) {
        case StreamKind::Video:
            json["video_format"] = s.videoFormat;
            json["frame_rate"] = s.frameRate;
            json["aspect_ratio"] = s.aspectRatio;
            json["cc_flag"] = s.ccFlag;
            break;
        case StreamKind::Audio:
        case StreamKind::SecondaryAudio:
            json["audio_presentation_type"] = s.presentationType;
            json["sampling_frequency"] = s.samplingFrequency;
            json["language_code"] = jsonText(s.audioLanguage);
            break;
        case StreamKind::Graphics:
            json["language_code"] = jsonText(s.codingType == 0x90 ? s.pgLanguage : s.igLanguage);
            break;
        case StreamKind::Text:
            json["character_code"] = s.characterCode;
            json["language_code"] = jsonText(s.textLanguage);
            break;
        case StreamKind::Unknown:
            break;
    }
    if (streamKind(s.codingType) != StreamKind::Unknown) json["isrc"] = isrcJson(s);
    if (!s.tail.empty()) json["unknown_bytes"] = s.tail.size();
    return json;
}

Json epMapJson(const TEPMapPIDEntry& entry, const TEP_map_fosPID& map) {
    Json coarse = Json::array();
    for (const auto& c : map.coarse) {
        coarse.push_back({{"ref_to_ep_fine_id", c.refToEPFineId},
                          {"pts_ep", c.ptsEPCoarse},
                          {"spn_ep", c.spnEPCoarse}});
    }
    Json fine = Json::array();
    for (const auto& f : map.fine) {
        fine.push_back({{"is_angle_change_point", f.isAngleChangePoint},
                        {"i_end_position_offset", f.iEndPositionOffset},
                        {"pts_ep", f.ptsEPFine},
                        {"spn_ep", f.spnEPFine}});
    }
    return {{"stream_pid", entry.streamPid},
            {"ep_stream_type", entry.epStreamType},
            {"number_of_ep_coarse_entries", map.coarse.size()},
            {"number_of_ep_fine_entries", map.fine.size()},
            {"ep_map_start_address", entry.epMapStartAddress},
            {"ep_fine_table_start_address", map.epFineTableStartAddress},
            {"coarse", coarse},
            {"fine", fine}};
}

class ClipInfoStructure : public LoadedStructure {
public:
    explicit ClipInfoStructure(TCLPI clip) : c_(std::move(clip)) {}

    void printText(std::ostream& out) const override {
        record(out, "type_indicator", latin1ToUtf8(c_.typeIndicator));
        record(out, "version", latin1ToUtf8(c_.version));
        record(out, "sequence_info_start_address", std::to_string(c_.sequenceInfoStart));
        record(out, "program_info_start_address", std::to_string(c_.programInfoStart));
        record(out, "cpi_start_address", std::to_string(c_.cpiStart));
        record(out, "clip_mark_start_address", std::to_string(c_.clipMarkStart));
        record(out, "extension_data_start_address", std::to_string(c_.extensionDataStart));
        printClipInfo(out);
        printSequences(out);
        printPrograms(out);
        printCpi(out);
        record(out, "clip_mark_length", std::to_string(c_.clipMark.length));
        printExtensionData(out, c_.extensionData);
    }

    Json toJson() const override {
        return {{"type_indicator", jsonText(c_.typeIndicator)},
                {"version", jsonText(c_.version)},
                {"sequence_info_start_address", c_.sequenceInfoStart},
                {"program_info_start_address", c_.programInfoStart},
                {"cpi_start_address", c_.cpiStart},
                {"clip_mark_start_address", c_.clipMarkStart},
                {"extension_data_start_address", c_.extensionDataStart},
                {"clip_info", clipInfoJson()},
                {"sequence_info", sequenceInfoJson()},
                {"program_info", programInfoJson()},
                {"cpi", cpiJson()},
                {"clip_mark", {{"length", c_.clipMark.length}}},
                {"extension_data", extensionDataJson(c_.extensionData)}};
    }

    Bytes bytes() const override { return clipInfoBytes(c_); }

private:
    void printClipInfo(std::ostream& out) const {
        const TClipInfo& info = c_.clipInfo;
        record(out, "clip_info_length", std::to_string(info.length));
        record(out, "clip_stream_type", std::to_string(info.clipStreamType));
        record(out, "application_type", listText(applicationTypeItems(), info.applicationType));
        record(out, "is_atc_delta", info.isATCdelta ? "Yes" : "No");
        record(out, "ts_recording_rate", std::to_string(info.tsRecordingRate));
        record(out, "number_of_source_packets", std::to_string(info.numberOfSourcePackets));
        record(out, "format_identifier", latin1ToUtf8(info.formatIdentifier));
        record(out, "atc_delta_entries", std::to_string(info.atcDeltaEntries.size()));
        if (!info.atcDeltaEntries.empty()) {
            clipGridHeader(out, ClipGrid::AtcDelta);
            for (std::size_t i = 0; i < info.atcDeltaEntries.size(); ++i)
                row(out, atcDeltaRowCells(i, info.atcDeltaEntries[i]));
        }
        record(out, "font_files", std::to_string(info.fontFiles.size()));
        if (!info.fontFiles.empty()) {
            clipGridHeader(out, ClipGrid::FontFiles);
            for (std::size_t i = 0; i < info.fontFiles.size(); ++i)
                row(out, fontRowCells(i, info.fontFiles[i]));
        }
    }

    void printSequences(std::ostream& out) const {
        const auto& sequences = c_.sequenceInfo.atcSequences;
        record(out, "atc_sequences", std::to_string(sequences.size()));
        clipGridHeader(out, ClipGrid::Sequences);
        for (std::size_t i = 0; i < sequences.size(); ++i)
            row(out, sequenceRowCells(i, sequences[i]));
        clipGridHeader(out, ClipGrid::StcSequences);
        for (const auto& cells : stcRows(c_.sequenceInfo))
            row(out, cells);
    }

    void printPrograms(std::ostream& out) const {
        const auto rows = programInfoRows(c_.programInfo);
        record(out, "program_sequences", std::to_string(c_.programInfo.programSequences.size()));
        record(out, "program_streams", std::to_string(rows.size()));
        clipGridHeader(out, ClipGrid::ProgramInfo);
        for (const auto& cells : rows)
            row(out, cells);
    }

    void printCpi(std::ostream& out) const {
        const TCPI& cpi = c_.cpi;
        record(out, "cpi_length", std::to_string(cpi.length));
        if (cpi.length == 0) return;
        record(out, "cpi_type", std::to_string(cpi.cpiType & 0xF));
        record(out, "ep_map_pids", std::to_string(cpi.pidEntries.size()));
        clipGridHeader(out, ClipGrid::Cpi);
        for (std::size_t i = 0; i < cpi.pidEntries.size(); ++i)
            row(out, cpiRowCells(i, cpi));
        for (std::size_t i = 0; i < cpi.pidEntries.size() && i < cpi.epMaps.size(); ++i) {
            record(out, "ep_map", hexText(cpi.pidEntries[i].streamPid, 4));
            clipGridHeader(out, ClipGrid::EpCoarse);
            for (std::size_t k = 0; k < cpi.epMaps[i].coarse.size(); ++k)
                row(out, epCoarseRowCells(k, cpi.epMaps[i].coarse[k]));
            clipGridHeader(out, ClipGrid::EpFine);
            for (std::size_t k = 0; k < cpi.epMaps[i].fine.size(); ++k)
                row(out, epFineRowCells(k, cpi.epMaps[i].fine[k]));
        }
    }

    Json clipInfoJson() const {
        const TClipInfo& info = c_.clipInfo;
        Json entries = Json::array();
        for (const auto& e : info.atcDeltaEntries) {
            entries.push_back(
                {{"atc_delta", e.atcDelta},
                 {"following_clip_information_file_name", jsonText(e.followingClipName)},
                 {"clip_codec_identifier", jsonText(e.clipCodecId)}});
        }
        Json fonts = Json::array();
        for (const auto& name : info.fontFiles)
            fonts.push_back(jsonText(name));
        return {{"length", info.length},
                {"clip_stream_type", info.clipStreamType},
                {"application_type", info.applicationType},
                {"is_atc_delta", info.isATCdelta},
                {"ts_recording_rate", info.tsRecordingRate},
                {"number_of_source_packets", info.numberOfSourcePackets},
                {"ts_type_info_length", info.tsTypeInfoLength},
                {"validity_flags", info.validityFlags},
                {"format_identifier", jsonText(info.formatIdentifier)},
                {"atc_delta_entries", entries},
                {"font_files", fonts}};
    }

    Json sequenceInfoJson() const {
        Json sequences = Json::array();
        for (const auto& atc : c_.sequenceInfo.atcSequences) {
            Json stcs = Json::array();
            for (const auto& stc : atc.stcSequences) {
                stcs.push_back({{"pcr_pid", stc.pcrPid},
                                {"spn_stc_start", stc.spnSTCStart},
                                {"presentation_start_time", stc.presentationStartTime},
                                {"presentation_end_time", stc.presentationEndTime}});
            }
            sequences.push_back({{"spn_atc_start", atc.spnATCStart},
                                 {"offset_stc_id", atc.offsetSTCId},
                                 {"stc_sequences", stcs}});
        }
        return {{"length", c_.sequenceInfo.length}, {"atc_sequences", sequences}};
    }

    Json programInfoJson() const {
        Json programs = Json::array();
        for (const auto& program : c_.programInfo.programSequences) {
            Json streams = Json::array();
            for (const auto& s : program.streams)
                streams.push_back(codingInfoJson(s));
            programs.push_back({{"spn_program_sequence_start", program.spnProgramSequenceStart},
                                {"program_map_pid", program.programMapPid},
                                {"streams", streams}});
        }
        return {{"length", c_.programInfo.length}, {"program_sequences", programs}};
    }

    Json cpiJson() const {
        const TCPI& cpi = c_.cpi;
        Json maps = Json::array();
        for (std::size_t i = 0; i < cpi.pidEntries.size(); ++i) {
            maps.push_back(epMapJson(cpi.pidEntries[i],
                                     i < cpi.epMaps.size() ? cpi.epMaps[i] : TEP_map_fosPID{}));
        }
        Json json{{"length", cpi.length}};
        if (cpi.length != 0) json["cpi_type"] = cpi.cpiType & 0xF;
        json["ep_map"] = maps;
        return json;
    }

    TCLPI c_;
};

// An IG menu file (.mnu).  Reading reports through a log of its own; the
// outcome carries the first error.
class MenuStructure : public LoadedStructure {
public:
    explicit MenuStructure(TIGMenu menu) : menu_(std::move(menu)) {}

    void printText(std::ostream& out) const override { printMenuText(out, menu_); }
    Json toJson() const override { return menuJson(menu_); }

    // Saving changes the model (write order, fragments), so a copy is saved.
    Bytes bytes() const override {
        TIGMenu copy = menu_;
        RecordingSink sink;
        Reporter reporter(sink);
        return igsBytes(copy, IGSForm::MenuFile, reporter).value_or(Bytes{});
    }

    static LoadResult load(ByteView data, std::string_view name) {
        LoadResult result;
        result.format = "menu";
        TIGMenu menu;
        RecordingSink sink;
        Reporter reporter(sink);
        result.outcome = parseMenu(data, name, menu, reporter);
        if (result.outcome.status != ReadStatus::BadFormat)
            result.structure = std::make_unique<MenuStructure>(std::move(menu));
        return result;
    }

private:
    TIGMenu menu_;
};

Json soundEntryJson(const TSoundEntries& entry) {
    return {{"channel_configuration", entry.channelConfiguration},
            {"sampling_frequency", entry.samplingFrequency},
            {"bits_per_sample", entry.bitsPerSample},
            {"start_address", entry.start},
            {"length", entry.length},
            {"data_size", entry.data.size()}};
}

class SoundStructure : public LoadedStructure {
public:
    explicit SoundStructure(TSND sound) : sound_(std::move(sound)) {}

    void printText(std::ostream& out) const override {
        record(out, "type_indicator", latin1ToUtf8(sound_.typeIndicator));
        record(out, "version", latin1ToUtf8(sound_.version));
        record(out, "sound_data_start_address", std::to_string(sound_.soundDataStart));
        record(out, "extension_data_start_address", std::to_string(sound_.extensionDataStart));
        record(out, "sound_index_length", std::to_string(sound_.index.length));
        const auto& entries = sound_.index.entries;
        record(out, "sound_entries", std::to_string(entries.size()));
        printCells(out, soundGridHeaders());
        for (std::size_t i = 0; i < entries.size(); ++i)
            printCells(out, soundRowCells(i, entries[i]));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            record(
                out, "sound_entry",
                zeroPad(static_cast<std::int64_t>(i), 3) + '\t' + soundEntryInfo(sound_, i, ","));
        }
        printExtensionData(out, sound_.extensionData);
    }

    Json toJson() const override {
        Json entries = Json::array();
        for (const auto& entry : sound_.index.entries)
            entries.push_back(soundEntryJson(entry));
        return {{"type_indicator", jsonText(sound_.typeIndicator)},
                {"version", jsonText(sound_.version)},
                {"sound_data_start_address", sound_.soundDataStart},
                {"extension_data_start_address", sound_.extensionDataStart},
                {"sound_index", {{"length", sound_.index.length}, {"entries", entries}}},
                {"extension_data", extensionDataJson(sound_.extensionData)}};
    }

    Bytes bytes() const override { return soundBytes(sound_); }

private:
    static void printCells(std::ostream& out, const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i)
            out << (i ? "\t" : "") << cells[i];
        out << '\n';
    }

    TSND sound_;
};

// A grid of the BD-J tab: its header row ("No." over the row numbers), then
// its rows.
void printGridRow(std::ostream& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i)
        out << (i ? "\t" : "") << cells[i];
    out << '\n';
}

void printGridHeader(std::ostream& out, const std::vector<std::string>& headers) {
    std::vector<std::string> cells = headers;
    if (!cells.empty()) cells[0] = "No.";
    printGridRow(out, cells);
}

template <typename Item, typename Cells>
void printGrid(std::ostream& out, const std::vector<std::string>& headers,
               const std::vector<Item>& items, Cells cells) {
    printGridHeader(out, headers);
    for (std::size_t i = 0; i < items.size(); ++i)
        printGridRow(out, cells(i, items[i]));
}

std::string yesNo(bool value) {
    return value ? "Yes" : "No";
}

std::string bytesHex(const Bytes& bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes)
        text += hexText(byte, 2);
    return text;
}

Json bdjApplicationJson(const Tapplication& app) {
    Json json{{"control_code", app.controlCode},       {"application_type", app.type},
              {"organization_id", app.organizationId}, {"application_id", app.applicationId},
              {"descriptor_tag", app.descriptorTag},   {"descriptor_length", app.descriptorLength}};
    if (app.descriptorTag != kApplicationDescriptorTag) {
        json["other_descriptor"] = bytesHex(app.otherDescriptor);
        return json;
    }
    Json profiles = Json::array();
    for (const TProfile& p : app.profiles) {
        profiles.push_back(
            {{"profile", p.profile}, {"major", p.major}, {"minor", p.minor}, {"micro", p.micro}});
    }
    Json names = Json::array();
    for (const Tapplication_name& name : app.names)
        names.push_back(
            {{"language_code", jsonText(name.languageCode)}, {"name", jsonText(name.name)}});
    Json parameters = Json::array();
    for (const std::string& parameter : app.parameters)
        parameters.push_back(jsonText(parameter));
    json["profiles"] = profiles;
    json["priority"] = app.priority;
    json["binding"] = app.binding;
    json["visibility"] = app.visibility;
    json["names"] = names;
    json["icon_locator"] = jsonText(app.iconLocator);
    json["icon_flags"] = app.iconFlags;
    json["base_directory"] = jsonText(app.baseDirectory);
    json["classpath_extension"] = jsonText(app.classpathExtension);
    json["initial_class_name"] = jsonText(app.initialClassName);
    json["parameters"] = parameters;
    return json;
}

// The record names of the six start addresses, in the header's order.
constexpr std::array<const char*, 6> kBdjoStartNames{"terminal_info_start_address",
                                                     "app_cache_info_start_address",
                                                     "table_of_accessible_playlists_start_address",
                                                     "application_management_table_start_address",
                                                     "key_interest_table_start_address",
                                                     "file_access_info_start_address"};

// A BD-J object file: only read, so `rewrite` refuses it.
class BdjoStructure : public LoadedStructure {
public:
    explicit BdjoStructure(TBDJO bdjo) : b_(std::move(bdjo)) {}

    void printText(std::ostream& out) const override {
        record(out, "type_indicator", latin1ToUtf8(b_.typeIndicator));
        record(out, "version", latin1ToUtf8(b_.version));
        for (std::size_t i = 0; i < kBdjoStartNames.size(); ++i)
            record(out, kBdjoStartNames[i], std::to_string(b_.startAddresses[i]));
        record(out, "terminal_info_length", std::to_string(b_.terminalInfoLength));
        record(out, "default_font", latin1ToUtf8(b_.defaultFont));
        record(out, "initial_havi_configuration_id", hexText(b_.haviConfiguration, 1));
        record(out, "menu_call_mask", yesNo(b_.menuCallMask));
        record(out, "title_search_mask", yesNo(b_.titleSearchMask));
        printAppCache(out);
        printPlaylists(out);
        printApplications(out);
        record(out, "key_interest_table", hexText(b_.keyInterestTable, 8));
        record(out, "keys", keysText());
        record(out, "directory_path", latin1ToUtf8(b_.directoryPath));
    }

    Json toJson() const override {
        Json json{{"type_indicator", jsonText(b_.typeIndicator)},
                  {"version", jsonText(b_.version)}};
        for (std::size_t i = 0; i < kBdjoStartNames.size(); ++i)
            json[kBdjoStartNames[i]] = b_.startAddresses[i];
        Json entries = Json::array();
        for (const TAppCacheEntry& e : b_.appCache.entries) {
            entries.push_back({{"entry_type", e.entryType},
                               {"reference_to_name", jsonText(e.referenceToName)},
                               {"language_code", jsonText(e.languageCode)}});
        }
        Json playlists = Json::array();
        for (const std::string& playlist : b_.playlists.playlists)
            playlists.push_back(jsonText(playlist));
        Json applications = Json::array();
        for (const Tapplication& app : b_.applications.applications)
            applications.push_back(bdjApplicationJson(app));
        json["terminal_info"] = {{"length", b_.terminalInfoLength},
                                 {"default_font", jsonText(b_.defaultFont)},
                                 {"initial_havi_configuration_id", b_.haviConfiguration},
                                 {"menu_call_mask", b_.menuCallMask ? 1 : 0},
                                 {"title_search_mask", b_.titleSearchMask ? 1 : 0}};
        json["app_cache_info"] = {{"length", b_.appCache.length}, {"entries", entries}};
        json["table_of_accessible_playlists"] = {
            {"length", b_.playlists.length},
            {"access_to_all_flag", b_.playlists.accessToAll ? 1 : 0},
            {"autostart_first_playlist_flag", b_.playlists.autostartFirstPlayList ? 1 : 0},
            {"playlists", playlists}};
        json["application_management_table"] = {{"length", b_.applications.length},
                                                {"applications", applications}};
        json["key_interest_table"] = b_.keyInterestTable;
        json["file_access_info"] = {{"directory_path", jsonText(b_.directoryPath)}};
        return json;
    }

    Bytes bytes() const override { return {}; }
    std::string readOnlyKind() const override { return "BD-J object files"; }

private:
    void printAppCache(std::ostream& out) const {
        record(out, "app_cache_info_length", std::to_string(b_.appCache.length));
        record(out, "app_cache_entries", std::to_string(b_.appCache.entries.size()));
        printGrid(out, appCacheGridHeaders(), b_.appCache.entries, appCacheRowCells);
    }

    void printPlaylists(std::ostream& out) const {
        const TTableOfAccessiblePlayLists& table = b_.playlists;
        record(out, "table_of_accessible_playlists_length", std::to_string(table.length));
        record(out, "access_to_all", yesNo(table.accessToAll));
        record(out, "autostart_first_playlist", yesNo(table.autostartFirstPlayList));
        record(out, "accessible_playlists", std::to_string(table.playlists.size()));
        printGrid(out, playlistGridHeaders(), table.playlists, playlistRowCells);
    }

    void printApplications(std::ostream& out) const {
        const auto& apps = b_.applications.applications;
        record(out, "application_management_table_length", std::to_string(b_.applications.length));
        record(out, "applications", std::to_string(apps.size()));
        printGrid(out, applicationGridHeaders(), apps, applicationRowCells);
        for (std::size_t i = 0; i < apps.size(); ++i) {
            const Tapplication& app = apps[i];
            record(out, "application", std::to_string(i));
            if (app.descriptorTag != kApplicationDescriptorTag)
                record(out, "other_descriptor", bytesHex(app.otherDescriptor));
            printGrid(out, profileGridHeaders(), app.profiles, profileRowCells);
            printGrid(out, nameGridHeaders(), app.names, nameRowCells);
            printGrid(out, parameterGridHeaders(), app.parameters, parameterRowCells);
        }
    }

    // The names of the keys whose bits are set, tab-separated, from bit 31 down.
    std::string keysText() const {
        std::string text;
        for (const BdjKey key : kBdjKeys) {
            if (!bdjKeySet(b_.keyInterestTable, key)) continue;
            if (!text.empty()) text += '\t';
            text += bdjKeyName(key);
        }
        return text;
    }

    TBDJO b_;
};

bool startsWith(ByteView data, std::string_view magic) {
    return data.size() >= magic.size() && std::equal(magic.begin(), magic.end(), data.begin());
}

}  // namespace

// Reads a model with `parse` and keeps it for printing unless the file was
// refused outright.
template <typename Model, typename Structure, typename Parse>
LoadResult load(ByteView data, std::string_view name, const char* format, Parse parse) {
    LoadResult result;
    Model model;
    result.format = format;
    result.outcome = parse(data, name, model);
    if (result.outcome.status != ReadStatus::BadFormat &&
        result.outcome.status != ReadStatus::TooManyTitles) {
        result.structure = std::make_unique<Structure>(std::move(model));
    }
    return result;
}

LoadResult loadStructure(ByteView data, std::string_view name) {
    if (startsWith(data, "INDX"))
        return load<TINDX, IndexStructure>(data, name, "index", parseIndex);
    if (startsWith(data, "MOBJ")) {
        return load<TMOBJ, MovieObjectStructure>(data, name, "movie_objects", parseMovieObjects);
    }
    if (startsWith(data, "MPLS"))
        return load<TMPLS, PlaylistStructure>(data, name, "playlist", parsePlaylist);
    if (startsWith(data, "IG")) return MenuStructure::load(data, name);
    if (startsWith(data, "HDMV"))
        return load<TCLPI, ClipInfoStructure>(data, name, "clip_info", parseClipInfo);
    if (startsWith(data, "BCLK"))
        return load<TSND, SoundStructure>(data, name, "sound", parseSound);
    if (startsWith(data, "BDJO"))
        return load<TBDJO, BdjoStructure>(data, name, "bdj_object", parseBdjo);
    LoadResult result;
    result.outcome = {ReadStatus::BadFormat, 0,
                      std::string(name) + ": not a structure file Lumora knows"};
    return result;
}

}  // namespace lumora::cli
