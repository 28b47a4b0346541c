// lumora-cli commands: the program list of one movie object, or of all of
// them, as the program writes it to a .lst file.
#include <cctype>
#include <filesystem>
#include <optional>
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "core/file_io.h"
#include "core/text.h"
#include "navigation/command_codec.h"
#include "navigation/command_list.h"
#include "navigation/movie_object_file.h"

namespace lumora::cli {
namespace {

constexpr const char* kCommandsUsage =
    "usage: lumora-cli commands [--object N] [--context object|button] [--crlf] FILE\n"
    "\n"
    "Prints the program list of a MovieObject.bdmv: the list file's banner, then\n"
    "one line a command, \"No.  [Opcode,Destinat.,Source]  Command line\", as the\n"
    "\"Save program list\" button writes it.  Without --object every object is\n"
    "listed, each after a line \"; Movie object NNN: K commands\".\n"
    "\n"
    "  --object N   list only movie object N (counted from 0)\n"
    "  --context C  mark forbidden commands as in a movie object (object, the\n"
    "               default) or on a menu button (button)\n"
    "  --crlf       end lines with CR LF as the .lst file does (default LF)\n"
    "\n"
    "Exit status: 0 listed, 1 the file is bad or cut short (what was read is\n"
    "still listed) or has no object N, 2 usage error.\n";

int usageError(Streams io, const std::string& message) {
    io.err << "lumora-cli: " << message << "\n" << kCommandsUsage;
    return 2;
}

std::optional<std::size_t> parseObjectNumber(const std::string& text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    return static_cast<std::size_t>(std::stoul(text));
}

std::optional<CommandContext> parseContext(const std::optional<std::string>& text) {
    if (!text || *text == "object") return CommandContext::MovieObject;
    if (*text == "button") return CommandContext::Button;
    return std::nullopt;
}

// The list file's lines end in CR LF; a terminal wants LF.
std::string withLineEnds(const std::string& text, bool crlf) {
    if (crlf) return text;
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c != '\r') out += c;
    }
    return out;
}

std::string objectHeader(std::size_t number, const Tmobject& object) {
    return "; Movie object " + zeroPad(static_cast<std::int64_t>(number), 3) + ": " +
           std::to_string(object.commands.size()) + " commands\r\n";
}

std::string everyObjectListing(const TMOBJ& file, CommandContext context) {
    std::string text = programListBanner();
    for (std::size_t i = 0; i < file.objects.size(); ++i) {
        const Tmobject& object = file.objects[i];
        text += objectHeader(i, object);
        for (std::size_t k = 0; k < object.commands.size(); ++k)
            text += programListLine(comm2str(k, object.commands[k], context)) + "\r\n";
    }
    return text;
}

}  // namespace

int runCommandsListing(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {"--crlf"}, {"--object", "--context"});
    if (!parsed.ok()) return usageError(io, parsed.error());
    if (parsed.has("--help")) {
        io.out << kCommandsUsage;
        return 0;
    }
    if (parsed.positional().size() != 1) return usageError(io, "commands needs one FILE");
    const std::optional<CommandContext> context = parseContext(parsed.value("--context"));
    if (!context) return usageError(io, "--context takes object or button");
    std::optional<std::size_t> objectNumber;
    if (const auto text = parsed.value("--object")) {
        objectNumber = parseObjectNumber(*text);
        if (!objectNumber) return usageError(io, "--object takes a movie object number");
    }

    const std::string& path = parsed.positional().front();
    const Bytes data = readFileBytes(path);
    TMOBJ file;
    const ReadOutcome outcome =
        parseMovieObjects(data, std::filesystem::path(path).filename().string(), file);
    if (outcome.status == ReadStatus::BadFormat) {
        io.err << "lumora-cli: " << outcome.message << '\n';
        return 1;
    }
    const bool crlf = parsed.has("--crlf");
    if (objectNumber && *objectNumber >= file.objects.size()) {
        io.err << "lumora-cli: no movie object " << *objectNumber << "; the file has "
               << file.objects.size() << '\n';
        return 1;
    }
    const std::string listing =
        objectNumber ? programListText(file.objects[*objectNumber].commands, *context)
                     : everyObjectListing(file, *context);
    io.out << withLineEnds(listing, crlf);
    if (!outcome.good()) {
        io.out.flush();
        io.err << "lumora-cli: " << outcome.message << '\n';
        return 1;
    }
    return 0;
}

}  // namespace lumora::cli
