// `lumora-cli menu new` and `lumora-cli menu edit`: the edits are the core's
// own (menu/menu_edit.h), so a menu made here follows the same rules as one
// made in the Menu tab, and it is written through the writer's safe save.
#include "cli/menu_edit_commands.h"

#include <algorithm>
#include <ostream>

#include "cli/args.h"
#include "cli/terminal_sink.h"
#include "core/file_io.h"
#include "menu/menu_edit.h"
#include "menu/menu_writer.h"

namespace lumora::cli {
namespace {

constexpr const char* kEditUsage =
    "usage: lumora-cli menu new [--video SIZE] -o OUT.mnu\n"
    "\n"
    "new writes a new menu: one page holding one BOG of one button (its\n"
    "neighbours pointing at itself), no objects, no palettes, frame rate\n"
    "23.976, pop-up, starting at 0:00:02.  SIZE is the video size: 1920x1080\n"
    "(the default), 1280x720, 720x576 or 720x480.\n"
    "\n"
    "Prints OUT<TAB>N bytes.\n"
    "\n"
    "Exit status: 0 written, 1 OUT cannot be written, 2 usage error.\n";

int usage(Streams io, const std::string& message) {
    io.err << "lumora-cli: " << message << '\n' << kEditUsage;
    return 2;
}

struct VideoSize {
    std::uint16_t width = 1920;
    std::uint16_t height = 1080;
};

// One of the sizes the Menu tab offers, as it names them ("1280x720").
std::optional<VideoSize> videoArgument(const std::string& text) {
    const auto& sizes = menuVideoFormatTexts();
    if (std::find(sizes.begin(), sizes.end(), text) == sizes.end()) return std::nullopt;
    const std::size_t x = text.find('x');
    return VideoSize{static_cast<std::uint16_t>(std::stoul(text.substr(0, x))),
                     static_cast<std::uint16_t>(std::stoul(text.substr(x + 1)))};
}

// Saves the menu and prints what was written; the writer's own log lines are
// not the command's output, its errors go to standard error.
int writeMenu(TIGMenu& menu, const std::string& out, Streams io) {
    ErrorsOnlySink sink(io.err);
    Reporter reporter(sink);
    if (!saveIGS(menu, IGSForm::MenuFile, out, reporter)) return 1;
    io.out << out << '\t' << fileSize(out) << " bytes\n";
    return 0;
}

int makeNewMenu(const Args& parsed, Streams io) {
    if (parsed.positional().size() != 1) return usage(io, "menu new takes no FILE");
    VideoSize size;
    if (const auto video = parsed.value("--video")) {
        const auto chosen = videoArgument(*video);
        if (!chosen) return usage(io, "--video must be 1920x1080, 1280x720, 720x576 or 720x480");
        size = *chosen;
    }
    const auto out = parsed.value("-o");
    if (!out) return usage(io, "menu new needs -o OUT.mnu");
    TIGMenu menu;
    newMenu(menu, size.width, size.height);
    return writeMenu(menu, *out, io);
}

}  // namespace

bool isMenuEditAction(const std::string& action) {
    return action == "new";
}

int runMenuEdit(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {}, {"-o", "--video"});
    if (!parsed.ok()) return usage(io, parsed.error());
    if (parsed.has("--help")) {
        io.out << kEditUsage;
        return 0;
    }
    if (parsed.positional().empty() || !isMenuEditAction(parsed.positional()[0]))
        return usage(io, "menu new expected");
    return makeNewMenu(parsed, io);
}

}  // namespace lumora::cli
