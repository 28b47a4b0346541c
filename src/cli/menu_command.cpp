// `lumora-cli menu info|objects|palettes|object`: a menu file's composition,
// its object and palette tables, and object pictures as PNG files; the
// other menu subcommands are handed on.
#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/menu_dump.h"
#include "cli/menu_edit_commands.h"
#include "cli/menu_export_commands.h"
#include "cli/menu_play_commands.h"
#include "cli/menu_source.h"
#include "cli/terminal_sink.h"
#include "core/text.h"
#include "menu/menu_reader.h"
#include "menu/menu_rows.h"
#include "menu/picture_png.h"
#include "menu/rle_codec.h"

namespace lumora::cli {
namespace {

constexpr const char* kMenuUsage =
    "usage: lumora-cli menu info FILE [--pid PID]\n"
    "       lumora-cli menu objects FILE [--pid PID]\n"
    "       lumora-cli menu palettes FILE [--pid PID]\n"
    "       lumora-cli menu object FILE ID [--palette P] [--pid PID] -o OUT.png\n"
    "       lumora-cli menu export-object FILE ID [--palette P] [--pid PID] -o OUT.png\n"
    "       lumora-cli menu export-palette FILE P [--pid PID] -o OUT.pxml|OUT.act\n"
    "       lumora-cli menu render|simulate FILE.mnu ...  (see menu render --help)\n"
    "       lumora-cli menu new [--video SIZE] -o OUT.mnu\n"
    "       lumora-cli menu edit FILE ... -o OUT.mnu OP ...  (see menu edit --help)\n"
    "\n"
    "Reads an IG menu, from a menu file or from a stream file (.m2ts, .MTS, or a\n"
    "file that starts with source packets: its IG stream on PID 0x1400, or on\n"
    "--pid PID, is taken out first), and prints, one record a line, fields\n"
    "separated by a tab:\n"
    "  info      the loader's log, then video_format, frame_rate, user_timeout,\n"
    "            in_time and \"pages\" with the page count and the page ids\n"
    "  objects   one line per object-table slot: id, width, height, references\n"
    "  palettes  one line per palette-table slot: id, references\n"
    "  object    writes the object's RGBA picture under palette P (default 00)\n"
    "            as a PNG file and prints OUT<TAB>WIDTHxHEIGHT\n"
    "  export-object   writes the object as the 8-bit palette PNG that menu\n"
    "            edit's import-object takes back; export-palette writes a .pxml\n"
    "            or .act palette file (see menu export-object --help)\n"
    "ID and P are hexadecimal, as the listings show them.  References read as in\n"
    "the Menu tab: \"0io\" page 0's in- and out-effects, \"0:3ns,5a\" page 0's\n"
    "button 3 in its normal and selected and button 5 in its activated animation.\n"
    "\n"
    "Exit status: 0 done, 1 the file is not a menu or is damaged (what was read\n"
    "is still printed) or the object cannot be written, 2 usage error.\n";

int usage(Streams io, const std::string& message) {
    io.err << "lumora-cli: " << message << '\n' << kMenuUsage;
    return 2;
}

int listObjects(const TIGMenu& menu, Streams io) {
    for (std::size_t i = 0; i < menu.objects.size(); ++i) {
        const auto cells = objectRowCells(menu, i);
        io.out << cells[0] << '\t' << cells[1] << '\t' << cells[2] << '\t' << cells[3] << '\n';
    }
    return 0;
}

int listPalettes(const TIGMenu& menu, Streams io) {
    for (std::size_t i = 0; i < menu.palettes.size(); ++i) {
        const auto cells = paletteRowCells(menu, i);
        io.out << cells[0] << '\t' << cells[1] << '\n';
    }
    return 0;
}

// What `menu object` writes: the object, the palette and the PNG file.
struct ObjectRequest {
    std::uint32_t id = 0;
    std::uint32_t palette = 0;
    std::string out;
};

std::optional<ObjectRequest> objectRequest(const Args& args, std::string& error) {
    if (args.positional().size() != 3) {
        error = "menu object needs FILE.mnu and ID";
        return std::nullopt;
    }
    const auto id = parseHexArgument(args.positional()[2], 4);
    const auto palette = parseHexArgument(args.value("--palette").value_or("0"), 2);
    const auto out = args.value("-o");
    if (!id) error = "ID must be 1 to 4 hexadecimal digits";
    if (!palette) error = "--palette must be 1 or 2 hexadecimal digits";
    if (!out) error = "menu object needs -o OUT.png";
    if (!error.empty()) return std::nullopt;
    return ObjectRequest{*id, *palette, *out};
}

int writeObject(TIGMenu& menu, const ObjectRequest& request, const std::string& file, Streams io) {
    if (request.id >= menu.objects.size() || !menu.objects[request.id].filled) {
        io.err << "lumora-cli: " << file << " has no object " << hexText(request.id, 4) << '\n';
        return 1;
    }
    if (request.palette >= menu.palettes.size()) {
        io.err << "lumora-cli: " << file << " has no palette " << hexText(request.palette, 2)
               << '\n';
        return 1;
    }
    const auto picture = Obj2Pic(menu, request.id, request.palette);
    if (picture->empty()) {
        const std::string& problem = menu.objects[request.id].problem;
        io.err << "lumora-cli: object " << hexText(request.id, 4) << " of " << file
               << " has no pixels" << (problem.empty() ? "" : ": it " + problem) << '\n';
        return 1;
    }
    writeRgbaPng(request.out, *picture);
    io.out << request.out << '\t' << picture->width << 'x' << picture->height << '\n';
    return 0;
}

}  // namespace

int runMenu(const std::vector<std::string>& args, Streams io) {
    if (!args.empty() && isMenuPlayAction(args.front())) return runMenuPlay(args, io);
    if (!args.empty() && isMenuEditAction(args.front())) return runMenuEdit(args, io);
    if (!args.empty() && isMenuExportAction(args.front())) return runMenuExport(args, io);
    const Args parsed(args, {}, {"--palette", "-o", "--pid"});
    if (!parsed.ok()) return usage(io, parsed.error());
    if (parsed.has("--help")) {
        io.out << kMenuUsage;
        return 0;
    }
    const auto& positional = parsed.positional();
    if (positional.size() < 2) return usage(io, "menu needs a subcommand and FILE.mnu");
    const std::string& action = positional[0];
    const bool known =
        action == "info" || action == "objects" || action == "palettes" || action == "object";
    if (!known) return usage(io, "unknown menu subcommand '" + action + "'");
    if (action != "object" && positional.size() != 2)
        return usage(io, "menu " + action + " needs one FILE.mnu");
    std::optional<std::uint16_t> pid;
    if (const auto pidText = parsed.value("--pid")) {
        pid = parsePidArgument(*pidText);
        if (!pid) return usage(io, "--pid must be 0x0000-0x1FFF or 0-8191");
    }
    std::optional<ObjectRequest> request;
    if (action == "object") {
        std::string error;
        request = objectRequest(parsed, error);
        if (!request) return usage(io, error);
    }

    const std::string& path = positional[1];
    TerminalSink terminal(io.out, io.err, false);
    ErrorsOnlySink errorsOnly(io.err);
    Reporter reporter(action == "info" ? static_cast<ReportSink&>(terminal) : errorsOnly);
    TIGMenu menu;
    const ReadOutcome outcome = loadMenuArgument(path, pid, menu, reporter);
    if (outcome.status == ReadStatus::BadFormat) return 1;
    int status = outcome.good() ? 0 : 1;
    const std::string name = std::filesystem::path(path).filename().string();
    if (action == "info") {
        printMenuSummary(io.out, menu);
    } else if (action == "objects") {
        listObjects(menu, io);
    } else if (action == "palettes") {
        listPalettes(menu, io);
    } else {
        status = std::max(status, writeObject(menu, *request, name, io));
    }
    return status;
}

}  // namespace lumora::cli
