#include "cli/menu_dump.h"

#include "core/text.h"
#include "menu/menu_rows.h"
#include "navigation/command_codec.h"

namespace lumora::cli {
namespace {

using Json = nlohmann::ordered_json;

void record(std::ostream& out, std::string_view key, const std::string& value) {
    out << key << '\t' << value << '\n';
}

template <std::size_t N>
void cells(std::ostream& out, const std::array<std::string, N>& row, std::string_view first = {}) {
    out << first;
    for (std::size_t i = 0; i < N; ++i)
        out << (i || !first.empty() ? "\t" : "") << row[i];
    out << '\n';
}

std::string number(std::size_t i) {
    return zeroPad(static_cast<std::int64_t>(i), 3);
}

std::string cropText(const TCompositionObject& o) {
    if (!o.cropped()) return "No";
    return std::to_string(o.cropX) + "," + std::to_string(o.cropY) + "," +
           std::to_string(o.cropWidth) + "," + std::to_string(o.cropHeight);
}

void printEffects(std::ostream& out, std::string_view name, const Teffectseq& sequence) {
    record(out, name,
           std::to_string(sequence.windows.size()) + " windows\t" +
               std::to_string(sequence.effects.size()) + " effects");
    if (!sequence.windows.empty()) {
        cells(out, windowGridHeaders(), "No.");
        for (std::size_t i = 0; i < sequence.windows.size(); ++i)
            cells(out, windowRowCells(sequence.windows[i]), number(i));
    }
    for (std::size_t e = 0; e < sequence.effects.size(); ++e) {
        const Teffect& effect = sequence.effects[e];
        const auto row = effectRowCells(e + 1, effect);
        record(out, "effect", row[0] + "\t" + row[1] + "\t" + row[2] + "\t" + row[3]);
        if (effect.objects.empty()) continue;
        out << "No.\tobject\twindow\tX pos.\tY pos.\tforced\tcropping\n";
        for (std::size_t k = 0; k < effect.objects.size(); ++k) {
            const TCompositionObject& o = effect.objects[k];
            const auto c = compositionObjectRowCells(k + 1, o);
            out << c[0] << '\t' << c[1] << '\t' << c[2] << '\t' << c[3] << '\t' << c[4] << '\t'
                << yesNo(o.flags & kObjectForcedOn) << '\t' << cropText(o) << '\n';
        }
    }
}

void printCommands(std::ostream& out, const TIGbutton& button) {
    if (button.commands.empty()) return;
    record(out, "button", hexText(button.id, 4));
    out << "No.\tOpcode\tDestinat.\tSource\tCommand line\n";
    for (std::size_t i = 0; i < button.commands.size(); ++i)
        cells(out, comm2str(i, button.commands[i], CommandContext::Button).cells());
}

void printPage(std::ostream& out, std::size_t index, const TPage& page) {
    record(out, "page", number(index));
    const PageHeaderTexts header = pageHeaderTexts(page);
    record(out, "page_id", std::to_string(page.id));
    record(out, "page_version", std::to_string(page.version));
    record(out, "uo_mask", header.uoMask1 + "\t" + hexText(page.uoMask2, 8));
    record(out, "animation_frame_rate_code", header.animationFrameRateCode);
    record(out, "default_selected_button", header.defaultSelectedButton);
    record(out, "default_activated_button", header.defaultActivatedButton);
    record(out, "palette", header.palette);
    printEffects(out, "in_effects", page.inEffects);
    printEffects(out, "out_effects", page.outEffects);
    record(out, "bogs", header.bogs);
    cells(out, bogGridHeaders());
    for (std::size_t b = 0; b < page.bogs.size(); ++b)
        cells(out, bogColumnCells(b, page.bogs[b]));
    for (std::size_t b = 0; b < page.bogs.size(); ++b) {
        record(out, "bog", std::to_string(b));
        cells(out, buttonGridHeaders());
        for (const TIGbutton& button : page.bogs[b].buttons)
            cells(out, buttonRowCells(button));
        for (const TIGbutton& button : page.bogs[b].buttons)
            printCommands(out, button);
    }
}

Json windowsJson(const std::vector<TWindow>& windows) {
    Json list = Json::array();
    for (const TWindow& w : windows) {
        list.push_back({{"window_id", w.id},
                        {"x", w.x},
                        {"y", w.y},
                        {"width", w.width},
                        {"height", w.height}});
    }
    return list;
}

Json effectsJson(const Teffectseq& sequence) {
    Json effects = Json::array();
    for (const Teffect& effect : sequence.effects) {
        Json objects = Json::array();
        for (const TCompositionObject& o : effect.objects) {
            Json json{{"object_id_ref", o.objectId},
                      {"window_id_ref", o.windowId},
                      {"object_cropped_flag", o.cropped() ? 1 : 0},
                      {"forced_on_flag", o.flags & kObjectForcedOn},
                      {"x", o.x},
                      {"y", o.y}};
            if (o.cropped()) {
                json["cropping"] = {{"x", o.cropX},
                                    {"y", o.cropY},
                                    {"width", o.cropWidth},
                                    {"height", o.cropHeight}};
            }
            objects.push_back(json);
        }
        effects.push_back({{"effect_duration", effect.duration},
                           {"palette_id_ref", effect.palette},
                           {"composition_objects", objects}});
    }
    return {{"windows", windowsJson(sequence.windows)}, {"effects", effects}};
}

Json buttonJson(const TIGbutton& b) {
    Json commands = Json::array();
    for (const TCommand& c : b.commands)
        commands.push_back(
            {{"opcode", c.opcode}, {"destination", c.destination}, {"source", c.source}});
    return {
        {"button_id", b.id},
        {"numeric_select_value", b.numericSelectValue},
        {"auto_action_flag", b.autoAction},
        {"x", b.x},
        {"y", b.y},
        {"upper", b.upper},
        {"lower", b.lower},
        {"left", b.left},
        {"right", b.right},
        {"normal", {{"start", b.normalStart}, {"end", b.normalEnd}, {"repeat", b.normalRepeat}}},
        {"selected",
         {{"sound", b.selectedSound},
          {"start", b.selectedStart},
          {"end", b.selectedEnd},
          {"repeat", b.selectedRepeat}}},
        {"activated",
         {{"sound", b.activatedSound}, {"start", b.activatedStart}, {"end", b.activatedEnd}}},
        {"commands", commands}};
}

Json pageJson(const TPage& page) {
    Json bogs = Json::array();
    for (const TBOG& bog : page.bogs) {
        Json buttons = Json::array();
        for (const TIGbutton& button : bog.buttons)
            buttons.push_back(buttonJson(button));
        bogs.push_back(
            {{"default_valid_button_id_ref", bog.defaultValidButton}, {"buttons", buttons}});
    }
    return {{"page_id", page.id},
            {"page_version", page.version},
            {"uo_mask", {page.uoMask1, page.uoMask2}},
            {"in_effects", effectsJson(page.inEffects)},
            {"out_effects", effectsJson(page.outEffects)},
            {"animation_frame_rate_code", page.animationFrameRateCode},
            {"default_selected_button_id_ref", page.defaultSelectedButton},
            {"default_activated_button_id_ref", page.defaultActivatedButton},
            {"palette_id_ref", page.palette},
            {"bogs", bogs}};
}

Json fragmentsJson(const std::vector<TFragment>& fragments, bool withVersion) {
    Json list = Json::array();
    for (const TFragment& f : fragments) {
        Json json{{"first_in_sequence", (f.flags & kFirstInSequence) ? 1 : 0},
                  {"last_in_sequence", (f.flags & kLastInSequence) ? 1 : 0},
                  {"length", f.length}};
        if (withVersion) json["version"] = f.version;
        list.push_back(json);
    }
    return list;
}

Json objectsJson(const TIGMenu& menu) {
    Json list = Json::array();
    for (const TIGobject& o : menu.objects) {
        Json json{{"object_id", o.id},
                  {"present", o.filled},
                  {"width", o.width},
                  {"height", o.height},
                  {"data_length", o.dataLength},
                  {"fragments", fragmentsJson(o.fragments, true)}};
        if (!o.problem.empty()) json["problem"] = o.problem;
        list.push_back(json);
    }
    return list;
}

Json palettesJson(const TIGMenu& menu) {
    Json list = Json::array();
    for (std::size_t p = 0; p < menu.palettes.size(); ++p) {
        const TIGpalette& palette = menu.palettes[p];
        Json entries = Json::array();
        for (std::size_t i = 0; i < 256; ++i) {
            const TYCrCb& c = palette.ycrcb[i];
            if (c == TYCrCb{} && palette.rgba[i] == TRGBA{}) continue;
            entries.push_back({{"palette_entry_id", i},
                               {"y", c.y},
                               {"cr", c.cr},
                               {"cb", c.cb},
                               {"t", palette.rgba[i].a}});
        }
        list.push_back({{"palette_id", palette.id},
                        {"palette_version_number", palette.version},
                        {"entries", entries}});
    }
    return list;
}

}  // namespace

void printMenuSummary(std::ostream& out, const TIGMenu& menu) {
    const TIGSc& ics = menu.ics;
    const int format = menuVideoFormatIndex(ics);
    record(out, "video_format",
           format >= 0 ? menuVideoFormatTexts()[static_cast<std::size_t>(format)]
                       : std::to_string(ics.videoWidth) + "x" + std::to_string(ics.videoHeight));
    record(out, "frame_rate", menuFrameRateText(ics.frameRateId));
    record(out, "user_timeout", menuClockText(ics.userTimeOut));
    record(out, "in_time", menuTimeText(menu.startTime));
    out << "pages\t" << ics.pages.size();
    for (const TPage& page : ics.pages)
        out << '\t' << static_cast<int>(page.id);
    out << '\n';
}

void printMenuText(std::ostream& out, const TIGMenu& menu) {
    const TIGSc& ics = menu.ics;
    printMenuSummary(out, menu);
    record(out, "video_size",
           std::to_string(ics.videoWidth) + "x" + std::to_string(ics.videoHeight));
    record(out, "frame_rate_id", std::to_string(ics.frameRateId));
    record(out, "composition_number", std::to_string(ics.compositionNumber));
    record(out, "composition_state", std::to_string(ics.compositionState));
    record(out, "composition_length", std::to_string(ics.compositionLength));
    record(out, "stream_model", std::to_string(ics.streamModel() ? 1 : 0));
    record(out, "user_interface_model", std::to_string(ics.modelFlags & kUserInterfaceModel));
    if (!ics.streamModel()) {
        record(out, "composition_time_out_pts", std::to_string(ics.compositionTimeOut));
        record(out, "selection_time_out_pts", std::to_string(ics.selectionTimeOut));
    }
    record(out, "ics_fragments", std::to_string(ics.fragments.size()));
    for (std::size_t i = 0; i < ics.pages.size(); ++i)
        printPage(out, i, ics.pages[i]);
    record(out, "objects", std::to_string(menu.objects.size()));
    cells(out, objectGridHeaders());
    for (std::size_t i = 0; i < menu.objects.size(); ++i)
        cells(out, objectRowCells(menu, i));
    record(out, "palettes", std::to_string(menu.palettes.size()));
    cells(out, paletteGridHeaders());
    for (std::size_t i = 0; i < menu.palettes.size(); ++i)
        cells(out, paletteRowCells(menu, i));
}

nlohmann::ordered_json menuJson(const TIGMenu& menu) {
    const TIGSc& ics = menu.ics;
    Json pages = Json::array();
    for (const TPage& page : ics.pages)
        pages.push_back(pageJson(page));
    Json composition{{"video_width", ics.videoWidth},
                     {"video_height", ics.videoHeight},
                     {"frame_rate", ics.frameRateId},
                     {"composition_number", ics.compositionNumber},
                     {"composition_state", ics.compositionState},
                     {"interactive_composition_length", ics.compositionLength},
                     {"stream_model", ics.streamModel() ? 1 : 0},
                     {"user_interface_model", ics.modelFlags & kUserInterfaceModel}};
    if (!ics.streamModel()) {
        composition["composition_time_out_pts"] = ics.compositionTimeOut;
        composition["selection_time_out_pts"] = ics.selectionTimeOut;
    }
    composition["user_time_out_duration"] = ics.userTimeOut;
    composition["fragments"] = fragmentsJson(ics.fragments, false);
    composition["pages"] = pages;
    return {{"start_time", menu.startTime},
            {"interactive_composition", composition},
            {"objects", objectsJson(menu)},
            {"palettes", palettesJson(menu)}};
}

}  // namespace lumora::cli
