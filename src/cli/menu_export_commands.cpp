// `lumora-cli menu export-object` and `lumora-cli menu export-palette`: the
// files are made by the core (menu/object_import.h), so they are the bytes
// the program writes everywhere, and they go through a temporary file
// beside OUT.
#include "cli/menu_export_commands.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>

#include "cli/args.h"
#include "cli/menu_source.h"
#include "cli/terminal_sink.h"
#include "core/file_io.h"
#include "core/folder.h"
#include "core/text.h"
#include "menu/object_import.h"

namespace lumora::cli {
namespace {

constexpr const char* kExportUsage =
    "usage: lumora-cli menu export-object FILE ID [--palette P] [--pid PID] -o OUT.png\n"
    "       lumora-cli menu export-palette FILE P [--pid PID] -o OUT.pxml|OUT.act\n"
    "\n"
    "Loads the menu of FILE (a menu file, or a stream file whose IG stream --pid\n"
    "PID, default 0x1400, is taken out first).  ID is an object id and P a\n"
    "palette id, hexadecimal, as menu objects and menu palettes list them.\n"
    "\n"
    "export-object writes object ID as an 8-bit palette PNG: its pixel indices\n"
    "as they are, the 256 entries of palette P (default 00) with their alpha in\n"
    "the transparency table, and the text Software \"Lumora v<version>\".\n"
    "menu edit's import-object takes it back with the same indices and colours.\n"
    "(menu object writes the RGBA picture instead.)  Prints OUT<TAB>WIDTHxHEIGHT.\n"
    "\n"
    "export-palette writes palette P in the form OUT's extension names, compared\n"
    "exactly (lower case):\n"
    "  .pxml  the palette definition: R, G, B, T, Y, Cr, Cb of the 256 entries,\n"
    "         lines ending in CR LF\n"
    "  .act   the colour table: R, G, B of the 256 entries, 768 bytes\n"
    "Any other name (.PXML and .ACT too) gives an empty file, as everywhere in\n"
    "the program; a warning on standard error says so, and the exit status\n"
    "stays 0.\n"
    "Prints OUT<TAB>N bytes.\n"
    "\n"
    "OUT is written through a temporary file beside it: a file there already is\n"
    "replaced whole or kept as it was.\n"
    "\n"
    "Exit status: 0 written; 1 FILE is not a menu, it has no object ID or no\n"
    "palette P, the object has no pixels or OUT cannot be written (nothing is\n"
    "written then), or FILE was read with errors (what was read is still\n"
    "exported, as menu object does); 2 usage error.\n";

int usage(Streams io, const std::string& message) {
    io.err << "lumora-cli: " << message << '\n' << kExportUsage;
    return 2;
}

struct ExportRequest {
    bool object = false;  // export-object; export-palette otherwise
    std::string path;
    std::optional<std::uint16_t> pid;
    std::uint32_t id = 0;  // the object
    std::uint32_t palette = 0;
    std::string out;
};

// The request, or the usage error to report.
std::optional<std::string> parseExportRequest(const Args& parsed, ExportRequest& request) {
    const auto& positional = parsed.positional();
    const std::string& action = positional[0];
    request.object = action == "export-object";
    const std::string idName = request.object ? "ID" : "P";
    if (positional.size() != 3) return "menu " + action + " needs FILE and " + idName;
    request.path = positional[1];
    const std::size_t idDigits = request.object ? 4 : 2;
    const auto id = parseHexArgument(positional[2], idDigits);
    if (!id) {
        return idName + (request.object ? " must be 1 to 4" : " must be 1 or 2") +
               " hexadecimal digits, not '" + positional[2] + "'";
    }
    (request.object ? request.id : request.palette) = *id;
    if (const auto palette = parsed.value("--palette")) {
        if (!request.object) return "--palette belongs to menu export-object; P names the palette";
        const auto chosen = parseHexArgument(*palette, 2);
        if (!chosen) return "--palette must be 1 or 2 hexadecimal digits, not '" + *palette + "'";
        request.palette = *chosen;
    }
    if (const auto pid = parsed.value("--pid")) {
        request.pid = parsePidArgument(*pid);
        if (!request.pid) return "--pid needs a PID up to 0x1FFF, not '" + *pid + "'";
    }
    const auto out = parsed.value("-o");
    if (!out) return "menu " + action + " needs -o " + (request.object ? "OUT.png" : "OUT.pxml");
    request.out = *out;
    return std::nullopt;
}

// The refusal when the menu has no such palette, or nothing.
std::optional<std::string> missingPalette(const TIGMenu& menu, std::uint32_t palette,
                                          const std::string& file) {
    if (palette < menu.palettes.size()) return std::nullopt;
    return file + " has no palette " + hexText(palette, 2);
}

int exportObject(TIGMenu& menu, const ExportRequest& request, const std::string& file, Streams io) {
    if (request.id >= menu.objects.size() || !menu.objects[request.id].filled) {
        io.err << "lumora-cli: " << file << " has no object " << hexText(request.id, 4) << '\n';
        return 1;
    }
    if (auto problem = missingPalette(menu, request.palette, file)) {
        io.err << "lumora-cli: " << *problem << '\n';
        return 1;
    }
    const std::string software = "Lumora v" + std::string(kVersion);
    const Bytes png = objectPngBytes(menu, request.id, request.palette, software);
    const TIGobject& object = menu.objects[request.id];
    if (png.empty()) {
        io.err << "lumora-cli: object " << hexText(request.id, 4) << " of " << file
               << " has no pixels" << (object.problem.empty() ? "" : ": it " + object.problem)
               << '\n';
        return 1;
    }
    writeFileSafely(request.out, png);
    io.out << request.out << '\t' << object.width << 'x' << object.height << '\n';
    return 0;
}

int exportPalette(const TIGMenu& menu, const ExportRequest& request, const std::string& file,
                  Streams io) {
    if (auto problem = missingPalette(menu, request.palette, file)) {
        io.err << "lumora-cli: " << *problem << '\n';
        return 1;
    }
    savePaletteFile(request.out, menu.palettes[request.palette]);
    const std::int64_t size = fileSize(request.out);
    // Neither form is ever empty: an empty file means the name chose none.
    if (size == 0) {
        io.err << "lumora-cli: warning: " << request.out
               << " does not end in .pxml or .act (lower case); an empty file was written\n";
    }
    io.out << request.out << '\t' << size << " bytes\n";
    return 0;
}

}  // namespace

bool isMenuExportAction(const std::string& action) {
    return action == "export-object" || action == "export-palette";
}

int runMenuExport(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {}, {"-o", "--palette", "--pid"});
    if (!parsed.ok()) return usage(io, parsed.error());
    if (parsed.has("--help")) {
        io.out << kExportUsage;
        return 0;
    }
    const auto& positional = parsed.positional();
    if (positional.empty() || !isMenuExportAction(positional[0]))
        return usage(io, "menu export-object or menu export-palette expected");
    ExportRequest request;
    if (auto problem = parseExportRequest(parsed, request)) return usage(io, *problem);

    ErrorsOnlySink sink(io.err);
    Reporter reporter(sink);
    TIGMenu menu;
    const ReadOutcome outcome = loadMenuArgument(request.path, request.pid, menu, reporter);
    if (outcome.status == ReadStatus::BadFormat) return 1;
    const std::string file = std::filesystem::path(request.path).filename().string();
    const int status = request.object ? exportObject(menu, request, file, io)
                                      : exportPalette(menu, request, file, io);
    return std::max(status, outcome.good() ? 0 : 1);
}

}  // namespace lumora::cli
