// `lumora-cli menu new` and `lumora-cli menu edit`: the edits are the core's
// own (menu/menu_edit.h, menu/object_import.h), so a menu made here follows
// the same rules as one made in the Menu tab, and it is written through the
// writer's safe save.
#include "cli/menu_edit_commands.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <optional>
#include <ostream>
#include <sstream>
#include <string_view>
#include <utility>

#include "cli/args.h"
#include "cli/menu_source.h"
#include "cli/terminal_sink.h"
#include "core/file_io.h"
#include "core/text.h"
#include "menu/menu_edit.h"
#include "menu/menu_writer.h"
#include "menu/object_import.h"
#include "navigation/command_list.h"

namespace lumora::cli {
namespace {

constexpr const char* kEditUsage =
    "usage: lumora-cli menu new [--video SIZE] -o OUT.mnu\n"
    "       lumora-cli menu edit FILE [--pid PID] [--sounds N] -o OUT.mnu OP [OP ...]\n"
    "       lumora-cli menu edit FILE [--pid PID] [--sounds N] -o OUT.mnu --script SCRIPT\n"
    "\n"
    "new writes a new menu: one page holding one BOG of one button (its\n"
    "neighbours pointing at itself), no objects, no palettes, frame rate\n"
    "23.976, pop-up, starting at 0:00:02.  SIZE is the video size: 1920x1080\n"
    "(the default), 1280x720, 720x576 or 720x480.\n"
    "\n"
    "edit loads the menu of FILE (a menu file, or a stream file whose IG stream\n"
    "--pid PID, default 0x1400, is taken out first), makes the operations in\n"
    "order, as the Menu tab makes them, and writes the menu to OUT.mnu (which\n"
    "may be FILE).  The operations are given on the command line or, one a line,\n"
    "in SCRIPT (a word starting with \"#\" starts a comment, blank lines are\n"
    "skipped), not both.  P is a page index and B a BOG index (decimal, from 0),\n"
    "ID a button id (1 to 4 hexadecimal digits, as the grids show it), HHHH an\n"
    "object id and HH a palette id (hexadecimal, as menu objects and menu\n"
    "palettes list them); a relative PNG or FILE is taken from the current\n"
    "folder:\n"
    "  add-page                     a page with one BOG of one button, at the end\n"
    "  delete-page P                later pages move up; page ids stay\n"
    "  add-bog P                    a BOG with one button, at the end of page P\n"
    "  delete-bog P B               the BOG and its buttons\n"
    "  add-button P B               a button with the next id of page P\n"
    "  delete-button P ID           higher ids move down, references follow\n"
    "  set-bog P B default=ID       the default valid button (FFFF: none)\n"
    "  set-button P ID COLUMN=VALUE[,COLUMN=VALUE...]\n"
    "                               the buttons grid's cells: value, upper,\n"
    "                               lower, left, right, n.start, n.end, s.start,\n"
    "                               s.end, a.start, a.end (1-4 hex digits),\n"
    "                               s.sound, a.sound (1-2 hex digits), X, Y (1-4\n"
    "                               decimal digits), a.act., n.repeat, s.repeat\n"
    "                               (Y, Yes, N or No)\n"
    "  set-page P FIELD=VALUE[,FIELD=VALUE...]\n"
    "                               the page header as dump names it: uo_mask1,\n"
    "                               uo_mask2 (1-8 hex digits),\n"
    "                               animation_frame_rate_code (1-3 decimal\n"
    "                               digits), default_selected_button,\n"
    "                               default_activated_button (1-4 hex digits),\n"
    "                               palette (1-2 hex digits)\n"
    "  set-commands P ID FILE       the button's commands from a program list as\n"
    "                               lumora-cli commands prints it, or from a .bin\n"
    "                               file (12 bytes a command)\n"
    "  import-object PNG[,PNG...] [replace-object=HHHH] [replace-palette=HH]\n"
    "                [quantize]\n"
    "                               the pictures as objects with one palette:\n"
    "                               several (separated by commas) become\n"
    "                               consecutive objects, so they must share\n"
    "                               their palette.  8-bit palette PNGs only, or\n"
    "                               with quantize any PNGs, reduced together to\n"
    "                               one palette of at most 255 colours; none\n"
    "                               larger than the video.  The objects and the\n"
    "                               palette go to the end of their tables, or\n"
    "                               replace object HHHH (and those after it) and\n"
    "                               palette HH.  The options follow PNG as words\n"
    "                               of their own, in any order\n"
    "  delete-objects HHHH[-HHHH]   the object or the range (inclusive), when\n"
    "                               nothing uses it; later objects move down and\n"
    "                               the buttons and effects using them follow\n"
    "  delete-palettes HH[-HH]      the palette or the range, when nothing uses it\n"
    "                               and another palette stays; pages and effects\n"
    "                               follow the renumbering\n"
    "--sounds N is the number of sounds in the disc's sound.bdmv: a sound cell\n"
    "takes FF (no sound) or a sound below N (default 0: FF only).\n"
    "\n"
    "Both print OUT<TAB>N bytes.  Nothing is written when anything fails.\n"
    "\n"
    "Exit status: 0 written; 1 FILE is not a menu or was read with errors, an\n"
    "operation was refused (the message names it, with its SCRIPT line, and the\n"
    "rule it broke), a program list or a picture cannot be used (\"Not supported\n"
    "file format!\" for a picture of another kind or larger than the video) or\n"
    "OUT cannot be written; 2 usage error (an unknown operation, a wrong number\n"
    "of arguments, an unknown column, field or option, a value not in its\n"
    "format).\n";

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

// Decimal digits only: a page or BOG index, a sound count.
std::optional<std::size_t> decimalArgument(std::string_view text) {
    std::size_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// ---- Operations ----

enum class OpKind {
    AddPage,
    DeletePage,
    AddBog,
    DeleteBog,
    AddButton,
    DeleteButton,
    SetBog,
    SetButton,
    SetPage,
    SetCommands,
    ImportObject,
    DeleteObjects,
    DeletePalettes,
};

// What an operation's arguments are, in their order.
enum class Role {
    Page,
    Bog,
    Button,
    DefaultButton,
    ButtonCells,
    PageFields,
    File,
    Pictures,
    ImportOption,
    ObjectRange,
    PaletteRange,
};

struct OpForm {
    std::string_view name;
    OpKind kind;
    std::size_t count;
    std::array<Role, 3> roles;
    // Up to this many words may follow the arguments, each an option (in
    // any order) of the role `option`.
    std::size_t options = 0;
    Role option = Role::ImportOption;
};

constexpr OpForm kOpForms[] = {
    {"add-page", OpKind::AddPage, 0, {}},
    {"delete-page", OpKind::DeletePage, 1, {Role::Page}},
    {"add-bog", OpKind::AddBog, 1, {Role::Page}},
    {"delete-bog", OpKind::DeleteBog, 2, {Role::Page, Role::Bog}},
    {"add-button", OpKind::AddButton, 2, {Role::Page, Role::Bog}},
    {"delete-button", OpKind::DeleteButton, 2, {Role::Page, Role::Button}},
    {"set-bog", OpKind::SetBog, 3, {Role::Page, Role::Bog, Role::DefaultButton}},
    {"set-button", OpKind::SetButton, 3, {Role::Page, Role::Button, Role::ButtonCells}},
    {"set-page", OpKind::SetPage, 2, {Role::Page, Role::PageFields}},
    {"set-commands", OpKind::SetCommands, 3, {Role::Page, Role::Button, Role::File}},
    {"import-object", OpKind::ImportObject, 1, {Role::Pictures}, 3, Role::ImportOption},
    {"delete-objects", OpKind::DeleteObjects, 1, {Role::ObjectRange}},
    {"delete-palettes", OpKind::DeletePalettes, 1, {Role::PaletteRange}},
};

const OpForm* opFormNamed(std::string_view name) {
    const auto* form = std::find_if(std::begin(kOpForms), std::end(kOpForms),
                                    [name](const OpForm& f) { return f.name == name; });
    return form == std::end(kOpForms) ? nullptr : form;
}

std::string_view roleText(Role role) {
    switch (role) {
        case Role::Page:
            return "P";
        case Role::Bog:
            return "B";
        case Role::Button:
            return "ID";
        case Role::DefaultButton:
            return "default=ID";
        case Role::ButtonCells:
            return "COLUMN=VALUE[,COLUMN=VALUE...]";
        case Role::PageFields:
            return "FIELD=VALUE[,FIELD=VALUE...]";
        case Role::File:
            return "FILE";
        case Role::Pictures:
            return "PNG[,PNG...]";
        case Role::ImportOption:
            return "[replace-object=HHHH] [replace-palette=HH] [quantize]";
        case Role::ObjectRange:
            return "HHHH[-HHHH]";
        case Role::PaletteRange:
            return "HH[-HH]";
    }
    return {};
}

// "set-bog takes P B default=ID", "add-page takes none".
std::string argumentCountProblem(const OpForm& form) {
    std::string text = "wrong number of arguments, " + std::string(form.name) + " takes";
    if (form.count == 0) return text + " none";
    for (std::size_t i = 0; i < form.count; ++i)
        text += ' ' + std::string(roleText(form.roles[i]));
    if (form.options > 0) text += ' ' + std::string(roleText(form.option));
    return text;
}

struct Operation {
    OpKind kind = OpKind::AddPage;
    std::string text;      // the words as given, for the messages
    std::size_t line = 0;  // in the script
    std::size_t page = 0;
    std::size_t bog = 0;
    std::uint16_t button = 0;  // the button, or set-bog's default valid button
    std::vector<std::pair<ButtonField, std::uint32_t>> buttonCells;
    std::vector<std::pair<PageField, std::uint32_t>> pageFields;
    std::string file;
    std::vector<std::string> pictures;  // import-object's PNG files
    ImportTarget importTarget;
    bool quantize = false;
    std::uint32_t first = 0;  // delete-objects' and delete-palettes' range
    std::uint32_t last = 0;
};

// Splits at every comma; empty items are kept, so "X=1," is caught.
std::vector<std::string_view> commaItems(std::string_view text) {
    std::vector<std::string_view> items;
    for (std::size_t comma; (comma = text.find(',')) != std::string_view::npos;) {
        items.push_back(text.substr(0, comma));
        text.remove_prefix(comma + 1);
    }
    items.push_back(text);
    return items;
}

std::string upperCase(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

// NAME=VALUE[,NAME=VALUE...] with the names and cell formats of a grid
// (`what` is "column" or "field"), in the order given.
template <typename Field>
std::optional<std::string> parseAssignments(
    std::string_view text, std::string_view what, std::optional<Field> (*named)(std::string_view),
    std::optional<std::uint32_t> (*parse)(Field, std::string_view),
    std::vector<std::pair<Field, std::uint32_t>>& assignments) {
    for (const std::string_view item : commaItems(text)) {
        const std::size_t equals = item.find('=');
        if (equals == std::string_view::npos)
            return "'" + std::string(item) + "' is not " + upperCase(what) + "=VALUE";
        const std::string_view name = item.substr(0, equals);
        const std::string_view value = item.substr(equals + 1);
        const std::optional<Field> field = named(name);
        if (!field) return "unknown " + std::string(what) + " '" + std::string(name) + "'";
        const std::optional<std::uint32_t> parsed = parse(*field, value);
        if (!parsed) {
            return "'" + std::string(value) + "' is not in the format of " + std::string(what) +
                   " " + std::string(name);
        }
        assignments.emplace_back(*field, *parsed);
    }
    return std::nullopt;
}

std::optional<std::string> parseButtonArgument(std::string_view text, std::uint16_t& button) {
    const auto id = parseHexArgument(text, 4);
    if (!id) return "ID must be 1 to 4 hexadecimal digits, not '" + std::string(text) + "'";
    button = static_cast<std::uint16_t>(*id);
    return std::nullopt;
}

// The PNG file names between the commas; none may be empty, so "a.png," is
// caught.
std::optional<std::string> parsePictureNames(std::string_view text, Operation& op) {
    for (const std::string_view name : commaItems(text)) {
        if (name.empty()) return "'" + std::string(text) + "' has an empty PNG file name";
        op.pictures.emplace_back(name);
    }
    return std::nullopt;
}

// One of replace-object=HHHH, replace-palette=HH, quantize; each at most once.
std::optional<std::string> parseImportOption(std::string_view text, Operation& op) {
    constexpr std::string_view objectKey = "replace-object=";
    constexpr std::string_view paletteKey = "replace-palette=";
    const auto given = [text](std::string_view what) {
        return std::string(what) + " is given twice ('" + std::string(text) + "')";
    };
    if (text == "quantize") {
        if (op.quantize) return given("quantize");
        op.quantize = true;
        return std::nullopt;
    }
    if (text.starts_with(objectKey)) {
        const auto id = parseHexArgument(text.substr(objectKey.size()), 4);
        if (!id)
            return "replace-object must be 1 to 4 hexadecimal digits, not '" + std::string(text) +
                   "'";
        if (op.importTarget.replaceObject) return given("replace-object");
        op.importTarget.replaceObject = static_cast<std::uint16_t>(*id);
        return std::nullopt;
    }
    if (text.starts_with(paletteKey)) {
        const auto id = parseHexArgument(text.substr(paletteKey.size()), 2);
        if (!id)
            return "replace-palette must be 1 or 2 hexadecimal digits, not '" + std::string(text) +
                   "'";
        if (op.importTarget.replacePalette) return given("replace-palette");
        op.importTarget.replacePalette = static_cast<std::uint8_t>(*id);
        return std::nullopt;
    }
    return "'" + std::string(text) +
           "' is not replace-object=HHHH, replace-palette=HH or quantize (several PNG files "
           "are separated by commas)";
}

// An id or an inclusive range of ids, "0003" or "0003-0005"; a range that
// runs backwards is a typing error, not an empty range.
std::optional<std::string> parseIdRange(Role role, std::string_view text, Operation& op) {
    const bool objects = role == Role::ObjectRange;
    const std::size_t digits = objects ? 4 : 2;
    const std::size_t dash = text.find('-');
    const auto first = parseHexArgument(text.substr(0, dash), digits);
    const auto last =
        dash == std::string_view::npos ? first : parseHexArgument(text.substr(dash + 1), digits);
    if (!first || !last) {
        return "'" + std::string(text) + "' is not " + (objects ? "an object" : "a palette") +
               " id or range " + std::string(roleText(role));
    }
    if (*last < *first) return "the range '" + std::string(text) + "' runs backwards";
    op.first = *first;
    op.last = *last;
    return std::nullopt;
}

// One argument into the operation; the usage problem otherwise.
std::optional<std::string> parseArgument(Role role, const std::string& text, Operation& op) {
    switch (role) {
        case Role::Page:
        case Role::Bog: {
            const auto index = decimalArgument(text);
            if (!index) {
                return std::string(roleText(role)) + " must be a decimal index, not '" + text + "'";
            }
            (role == Role::Page ? op.page : op.bog) = *index;
            return std::nullopt;
        }
        case Role::Button:
            return parseButtonArgument(text, op.button);
        case Role::DefaultButton: {
            constexpr std::string_view key = "default=";
            if (!text.starts_with(key)) return "set-bog takes default=ID, not '" + text + "'";
            return parseButtonArgument(std::string_view(text).substr(key.size()), op.button);
        }
        case Role::ButtonCells:
            return parseAssignments<ButtonField>(text, "column", buttonFieldNamed, parseButtonCell,
                                                 op.buttonCells);
        case Role::PageFields:
            return parseAssignments<PageField>(text, "field", pageFieldNamed, parsePageField,
                                               op.pageFields);
        case Role::File:
            op.file = text;
            return std::nullopt;
        case Role::Pictures:
            return parsePictureNames(text, op);
        case Role::ImportOption:
            return parseImportOption(text, op);
        case Role::ObjectRange:
        case Role::PaletteRange:
            return parseIdRange(role, text, op);
    }
    return std::nullopt;
}

// `words` is the operation's name and its arguments.
std::optional<std::string> parseOperation(const std::vector<std::string>& words, Operation& op) {
    const OpForm* form = opFormNamed(words.front());
    if (form == nullptr) return "unknown operation '" + words.front() + "'";
    for (const std::string& word : words)
        op.text += (op.text.empty() ? "" : " ") + word;
    const std::size_t arguments = words.size() - 1;
    if (arguments < form->count || arguments > form->count + form->options)
        return op.text + ": " + argumentCountProblem(*form);
    op.kind = form->kind;
    for (std::size_t i = 0; i < arguments; ++i) {
        const Role role = i < form->count ? form->roles[i] : form->option;
        if (auto problem = parseArgument(role, words[i + 1], op)) return op.text + ": " + *problem;
    }
    return std::nullopt;
}

// The operations on the command line: each name takes the words up to the
// next operation name, so a missing argument is reported as missing rather
// than taken from the next operation.
std::optional<std::string> commandLineOperations(const std::vector<std::string>& words,
                                                 std::vector<Operation>& operations) {
    for (std::size_t i = 0; i < words.size();) {
        const OpForm* form = opFormNamed(words[i]);
        if (form == nullptr) {
            std::string problem = "unknown operation '" + words[i] + "'";
            if (!operations.empty()) problem += " (after '" + operations.back().text + "')";
            return problem;
        }
        std::vector<std::string> opWords{words[i++]};
        while (i < words.size() && opWords.size() <= form->count + form->options &&
               opFormNamed(words[i]) == nullptr)
            opWords.push_back(words[i++]);
        Operation op;
        if (auto problem = parseOperation(opWords, op)) return problem;
        operations.push_back(std::move(op));
    }
    return std::nullopt;
}

// A script line's words; a word starting with "#" starts the comment.
std::vector<std::string> scriptWords(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream stream(line);
    for (std::string word; stream >> word;) {
        if (word.starts_with('#')) break;
        words.push_back(word);
    }
    return words;
}

std::string scriptPlace(const std::string& script, std::size_t line) {
    return script + " line " + std::to_string(line) + ": ";
}

// One operation a line.  Throws FileError when the script cannot be read.
std::optional<std::string> scriptOperations(const std::string& script,
                                            std::vector<Operation>& operations) {
    const Bytes bytes = readFileBytes(script);
    std::istringstream text(std::string(bytes.begin(), bytes.end()));
    std::size_t number = 0;
    for (std::string line; std::getline(text, line);) {
        ++number;
        const std::vector<std::string> words = scriptWords(line);
        if (words.empty()) continue;
        Operation op;
        op.line = number;
        if (auto problem = parseOperation(words, op)) return scriptPlace(script, number) + *problem;
        operations.push_back(std::move(op));
    }
    return std::nullopt;
}

// ---- Making the edits ----

std::string noPage(std::size_t page) {
    return "the menu has no page " + std::to_string(page);
}

// Where button `id` of page `page` lies, or the refusal.
MenuEdit locateButton(const TIGMenu& menu, std::size_t page, std::uint16_t id, ButtonPlace& place) {
    if (page >= menu.ics.pages.size()) return MenuEdit::refused(noPage(page));
    const auto found = findButton(menu.ics.pages[page], id);
    if (!found) {
        return MenuEdit::refused("page " + std::to_string(page) + " has no button " +
                                 hexText(id, 4));
    }
    place = *found;
    return {};
}

MenuEdit deleteButtonById(TIGMenu& menu, const Operation& op) {
    ButtonPlace place;
    if (MenuEdit found = locateButton(menu, op.page, op.button, place); !found.done()) return found;
    return deleteButton(menu, op.page, place.bog, place.index);
}

MenuEdit setButtonCells(TIGMenu& menu, const Operation& op, std::size_t soundCount) {
    ButtonPlace place;
    if (MenuEdit found = locateButton(menu, op.page, op.button, place); !found.done()) return found;
    for (const auto& [field, value] : op.buttonCells) {
        MenuEdit edit =
            setButtonField(menu, op.page, place.bog, place.index, field, value, soundCount);
        if (!edit.done()) return edit;
    }
    return {};
}

MenuEdit setPageFields(TIGMenu& menu, const Operation& op) {
    for (const auto& [field, value] : op.pageFields) {
        MenuEdit edit = setPageField(menu, op.page, field, value);
        if (!edit.done()) return edit;
    }
    return {};
}

// The program list is read when its operation comes, so an earlier refusal
// does not hide behind a missing file.
MenuEdit setCommandsFromList(TIGMenu& menu, const Operation& op) {
    ButtonPlace place;
    if (MenuEdit found = locateButton(menu, op.page, op.button, place); !found.done()) return found;
    Bytes bytes;
    try {
        bytes = readFileBytes(op.file);
    } catch (const FileError& error) {
        return MenuEdit::refused(error.what());
    }
    std::string problem;
    std::optional<TCommands> commands =
        parseProgramList(bytes, programListFormatOf(op.file), problem);
    if (!commands) return MenuEdit::refused(op.file + " is not a program list: " + problem);
    return setButtonCommands(menu, op.page, place.bog, place.index, std::move(*commands));
}

// The PNG files are read when their operation comes, as program lists are.
MenuEdit importObjects(TIGMenu& menu, const Operation& op) {
    std::vector<Bytes> files;
    try {
        for (const std::string& name : op.pictures)
            files.push_back(readFileBytes(name));
    } catch (const FileError& error) {
        return MenuEdit::refused(error.what());
    }
    std::string problem;
    const auto pictures = readImportPictures(files, op.pictures, op.quantize, problem);
    if (!pictures) return MenuEdit::refused(problem);
    return importPictures(menu, *pictures, op.importTarget).edit;
}

MenuEdit applyOperation(TIGMenu& menu, const Operation& op, std::size_t soundCount) {
    switch (op.kind) {
        case OpKind::AddPage:
            return createPage(menu);
        case OpKind::DeletePage:
            return deletePage(menu, op.page);
        case OpKind::AddBog:
            return createBog(menu, op.page);
        case OpKind::DeleteBog:
            return deleteBog(menu, op.page, op.bog);
        case OpKind::AddButton:
            return createButton(menu, op.page, op.bog);
        case OpKind::DeleteButton:
            return deleteButtonById(menu, op);
        case OpKind::SetBog:
            return setDefaultValidButton(menu, op.page, op.bog, op.button);
        case OpKind::SetButton:
            return setButtonCells(menu, op, soundCount);
        case OpKind::SetPage:
            return setPageFields(menu, op);
        case OpKind::SetCommands:
            return setCommandsFromList(menu, op);
        case OpKind::ImportObject:
            return importObjects(menu, op);
        case OpKind::DeleteObjects:
            return deleteObjects(menu, op.first, op.last);
        case OpKind::DeletePalettes:
            return deletePalettes(menu, op.first, op.last);
    }
    return {};
}

// ---- The subcommands ----

// Saves the menu and prints what was written; the writer's own log lines are
// not the command's output, its errors go to standard error.
int writeMenu(TIGMenu& menu, const std::string& out, Streams io) {
    ErrorsOnlySink sink(io.err);
    Reporter reporter(sink);
    if (!saveIGS(menu, IGSForm::MenuFile, out, reporter)) return 1;
    io.out << out << '\t' << fileSize(out) << " bytes\n";
    return 0;
}

// Options of one subcommand given to the other.
std::optional<std::string> foreignOption(const Args& parsed, bool editing) {
    const std::vector<std::string> options =
        editing ? std::vector<std::string>{"--video"}
                : std::vector<std::string>{"--pid", "--sounds", "--script"};
    for (const std::string& option : options) {
        if (parsed.value(option)) return option + " belongs to menu " + (editing ? "new" : "edit");
    }
    return std::nullopt;
}

int makeNewMenu(const Args& parsed, Streams io) {
    if (parsed.positional().size() != 1) return usage(io, "menu new takes no FILE");
    if (auto problem = foreignOption(parsed, false)) return usage(io, *problem);
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

struct EditRequest {
    std::string path;
    std::optional<std::uint16_t> pid;
    std::size_t soundCount = 0;
    std::string out;
    std::string script;  // empty: the operations came on the command line
    std::vector<Operation> operations;
};

// The request, or the usage error to report.  Reads the script (throws
// FileError when it cannot be read).
std::optional<std::string> parseEditRequest(const Args& parsed, EditRequest& request) {
    const auto& positional = parsed.positional();
    if (positional.size() < 2) return "menu edit needs FILE";
    if (auto problem = foreignOption(parsed, true)) return problem;
    request.path = positional[1];
    if (const auto pid = parsed.value("--pid")) {
        request.pid = parsePidArgument(*pid);
        if (!request.pid) return "--pid needs a PID up to 0x1FFF, not '" + *pid + "'";
    }
    if (const auto sounds = parsed.value("--sounds")) {
        const auto count = decimalArgument(*sounds);
        // sound.bdmv counts its sounds in one byte.
        if (!count || *count > 0xFF)
            return "--sounds needs a count of 0-255, not '" + *sounds + "'";
        request.soundCount = *count;
    }
    const auto out = parsed.value("-o");
    if (!out) return "menu edit needs -o OUT.mnu";
    request.out = *out;
    const std::vector<std::string> words(positional.begin() + 2, positional.end());
    if (const auto script = parsed.value("--script")) {
        if (!words.empty()) return "operations come from --script or the command line, not both";
        request.script = *script;
        return scriptOperations(*script, request.operations);
    }
    if (words.empty()) return "menu edit needs an OP or --script SCRIPT";
    return commandLineOperations(words, request.operations);
}

int editMenu(const Args& parsed, Streams io) {
    EditRequest request;
    if (auto problem = parseEditRequest(parsed, request)) return usage(io, *problem);
    ErrorsOnlySink sink(io.err);
    Reporter reporter(sink);
    TIGMenu menu;
    const ReadOutcome outcome = loadMenuArgument(request.path, request.pid, menu, reporter);
    if (!outcome.good()) {
        io.err << "lumora-cli: " << request.path << " was read with errors and is not edited; "
               << request.out << " not written\n";
        return 1;
    }
    for (const Operation& op : request.operations) {
        const MenuEdit edit = applyOperation(menu, op, request.soundCount);
        if (edit.done()) continue;
        io.err << "lumora-cli: " << (op.line == 0 ? "" : scriptPlace(request.script, op.line))
               << op.text << ": " << edit.refusal << "; " << request.out << " not written\n";
        return 1;
    }
    return writeMenu(menu, request.out, io);
}

}  // namespace

bool isMenuEditAction(const std::string& action) {
    return action == "new" || action == "edit";
}

int runMenuEdit(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {}, {"-o", "--video", "--pid", "--sounds", "--script"});
    if (!parsed.ok()) return usage(io, parsed.error());
    if (parsed.has("--help")) {
        io.out << kEditUsage;
        return 0;
    }
    const auto& positional = parsed.positional();
    if (positional.empty() || !isMenuEditAction(positional[0]))
        return usage(io, "menu new or menu edit expected");
    return positional[0] == "new" ? makeNewMenu(parsed, io) : editMenu(parsed, io);
}

}  // namespace lumora::cli
