#include "navigation/command_list.h"

#include <algorithm>
#include <cctype>
#include <tuple>

#include "core/file_io.h"
#include "core/text.h"

namespace lumora {
namespace {

constexpr std::uint32_t kBit31 = 0x80000000u;
constexpr std::uint32_t kOperandCountMask = 0xE0000000u;
constexpr std::uint32_t kGroupMask = 0x18000000u;
constexpr std::uint32_t kSubGroupMask = 0x07000000u;

// Words the follow table knows.
constexpr std::uint32_t kJumpObjectImmediate = 0x21800000;
constexpr std::uint32_t kJumpTitleImmediate = 0x21810000;
constexpr std::uint32_t kCallObjectImmediate = 0x21820000;
constexpr std::uint32_t kCallTitleImmediate = 0x21830000;
constexpr std::uint32_t kPlayPlaylistRegister = 0x22000000;
constexpr std::uint32_t kPlayPlaylistImmediate = 0x22800000;
constexpr std::uint32_t kMoveImmediateSource = 0x50400001;
constexpr std::uint32_t kPlayItemImmediatePlaylist = 0x42810000;
constexpr std::uint32_t kPlayMarkImmediatePlaylist = 0x42820000;
constexpr std::uint32_t kPlayItemBothImmediate = 0x42C10000;
constexpr std::uint32_t kPlayMarkBothImmediate = 0x42C20000;
constexpr std::uint32_t kButtonPageSourceImmediate = 0x51400003;
constexpr std::uint32_t kButtonPageDestinationImmediate = 0x51800003;
constexpr std::uint32_t kButtonPageBothImmediate = 0x51C00003;

bool fitsLimit(const TCommands& list, std::size_t added) {
    return added <= kMaxCommands && list.size() <= kMaxCommands - added;
}

std::uint32_t withOperandCount(std::uint32_t opcode, std::uint32_t count) {
    return (opcode & ~kOperandCountMask) | ((count & 7) << 29);
}

// The immediate flag of an operand in the opcode word.
std::uint32_t immediateFlag(Operand operand) {
    return operand == Operand::Destination ? 0x00800000u : 0x00400000u;
}

std::uint32_t& operandWord(TCommand& command, Operand operand) {
    return operand == Operand::Destination ? command.destination : command.source;
}

bool registerAlwaysGpr(std::uint32_t opcode) {
    return isSetSystem(opcode, kSetStreamOption) || isSetSystem(opcode, kSetSecondaryStreamOption);
}

OperandType typeShown(std::uint32_t opcode, bool immediate, std::uint32_t operand) {
    if (immediate) return OperandType::Imm;
    if (registerAlwaysGpr(opcode)) return OperandType::GPR;
    return (operand & kBit31) ? OperandType::PSR : OperandType::GPR;
}

std::uint32_t valueShown(OperandType type, std::uint32_t operand) {
    switch (type) {
        case OperandType::Imm:
            return operand;
        case OperandType::PSR:
            return operand & 0x7F;
        case OperandType::GPR:
            return operand & 0xFFF;
    }
    return operand;
}

// The tooltip of the editor: the PSR an enabled operand shows, the source's
// first, when it has a description worth a tooltip.
std::string editorTooltip(const CommandEditorState& state) {
    for (const auto& [enabled, type, value] :
         {std::tuple{state.sourceEnabled, state.sourceType, state.sourceValue},
          std::tuple{state.destinationEnabled, state.destinationType, state.destinationValue}}) {
        if (enabled && type == OperandType::PSR && value < 41) {
            return "PSR" + std::to_string(value) + ": " + std::string(psrDescription(value));
        }
    }
    return std::string(kCommandsTooltip);
}

int indexOf(const std::vector<std::string_view>& names, std::uint32_t index) {
    return index < names.size() ? static_cast<int>(index) : -1;
}

void appendCommand(Bytes& out, const TCommand& command) {
    appendBigEndian(out, command.opcode, 4);
    appendBigEndian(out, command.destination, 4);
    appendBigEndian(out, command.source, 4);
}

Tmobject* objectAt(TMOBJ& file, std::size_t object) {
    return object < file.objects.size() ? &file.objects[object] : nullptr;
}

ListEdit keepFileRight(TMOBJ& file, ListEdit edit) {
    if (edit.delta != 0) commandsChanged(file, edit.delta);
    return edit;
}

}  // namespace

std::vector<std::size_t> updategotos(TCommands& list, std::int64_t after, std::int64_t change) {
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < list.size(); ++i) {
        TCommand& command = list[i];
        if (command.opcode != kGoToImmediate) continue;
        if (static_cast<std::int64_t>(command.destination) <= after) continue;
        // Unsigned wrap-around is the rule: a target 0 moved up by one is
        // 4294967295, a GoTo past the end of the list.
        command.destination =
            static_cast<std::uint32_t>(command.destination + static_cast<std::uint64_t>(change));
        changed.push_back(i);
    }
    return changed;
}

ListEdit inscmd(TCommands& list, std::size_t lastSelected, const TCommands& lines) {
    ListEdit edit;
    if (lines.empty() || !fitsLimit(list, lines.size())) return edit;
    const bool wasEmpty = list.empty();
    const std::size_t at = wasEmpty ? 0 : std::min(lastSelected, list.size() - 1) + 1;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), lines.begin(), lines.end());
    edit.changed = true;
    edit.delta = static_cast<int>(lines.size());
    edit.redrawFrom = at;
    edit.select = at;
    if (!wasEmpty) {
        edit.retargeted = updategotos(list, static_cast<std::int64_t>(at) - 1, edit.delta);
    }
    return edit;
}

ListEdit insertNewLine(TCommands& list, std::size_t lastSelected) {
    return inscmd(list, lastSelected, TCommands(1));
}

ListEdit delcmd(TCommands& list, LineRange selected) {
    ListEdit edit;
    if (list.empty() || selected.first > selected.last || selected.first >= list.size()) {
        return edit;
    }
    const std::size_t first = selected.first;
    const std::size_t last = std::min(selected.last, list.size() - 1);
    const std::size_t removed = last - first + 1;
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(first),
               list.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    edit.changed = true;
    edit.delta = -static_cast<int>(removed);
    edit.redrawFrom = first;
    edit.select = first == 0 ? 0 : first - 1;
    if (!list.empty()) {
        edit.retargeted = updategotos(list, static_cast<std::int64_t>(first) - 1, edit.delta);
    }
    return edit;
}

ListEdit nopcmd(TCommands& list, std::size_t firstSelected) {
    ListEdit edit;
    if (firstSelected >= list.size()) return edit;
    list[firstSelected] = TCommand{};
    edit.changed = true;
    edit.redrawFrom = firstSelected;
    edit.select = firstSelected + 1 < list.size() ? firstSelected + 1 : firstSelected;
    return edit;
}

LineRange selectAll(const TCommands& list) {
    return {0, list.empty() ? 0 : list.size() - 1};
}

bool stepTone(const TCommands& list, std::size_t line) {
    return line < list.size() && !isValidOpcode(list[line].opcode);
}

ListEdit inscmd(TMOBJ& file, std::size_t object, std::size_t lastSelected, const TCommands& lines) {
    Tmobject* target = objectAt(file, object);
    if (!target) return {};
    return keepFileRight(file, inscmd(target->commands, lastSelected, lines));
}

ListEdit insertNewLine(TMOBJ& file, std::size_t object, std::size_t lastSelected) {
    return inscmd(file, object, lastSelected, TCommands(1));
}

ListEdit delcmd(TMOBJ& file, std::size_t object, LineRange selected) {
    Tmobject* target = objectAt(file, object);
    if (!target) return {};
    return keepFileRight(file, delcmd(target->commands, selected));
}

bool CommandClipboard::copy(const TCommands& list, LineRange selected) {
    if (selected.first > selected.last || selected.first >= list.size()) return false;
    const std::size_t last = std::min(selected.last, list.size() - 1);
    commands_.assign(list.begin() + static_cast<std::ptrdiff_t>(selected.first),
                     list.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    return true;
}

ListEdit copycmd(CommandClipboard& clipboard, const TCommands& list, LineRange selected) {
    ListEdit edit;
    edit.select = selected.first;
    if (clipboard.copy(list, selected)) edit.status = kCommandsCopied;
    return edit;
}

ListEdit cutcmd(CommandClipboard& clipboard, TCommands& list, LineRange selected) {
    if (!clipboard.copy(list, selected)) return {};
    return delcmd(list, selected);
}

ListEdit cutcmd(CommandClipboard& clipboard, TMOBJ& file, std::size_t object, LineRange selected) {
    Tmobject* target = objectAt(file, object);
    if (!target || !clipboard.copy(target->commands, selected)) return {};
    return delcmd(file, object, selected);
}

ListEdit pastecmd(const CommandClipboard& clipboard, TCommands& list, std::size_t lastSelected) {
    if (clipboard.empty()) {
        ListEdit edit;
        edit.select = lastSelected;
        edit.status = kNothingToInsert;
        return edit;
    }
    return inscmd(list, lastSelected, clipboard.commands());
}

ListEdit pastecmd(const CommandClipboard& clipboard, TMOBJ& file, std::size_t object,
                  std::size_t lastSelected) {
    Tmobject* target = objectAt(file, object);
    if (!target) return {};
    return keepFileRight(file, pastecmd(clipboard, target->commands, lastSelected));
}

bool setTypedWord(TCommands& list, std::size_t line, CommandWord word, std::string_view typed) {
    if (line >= list.size()) return false;
    if (typed.size() != 8 || typed.find(' ') != std::string_view::npos) return false;
    const auto value = static_cast<std::uint32_t>(hexToNumber(typed));
    TCommand& command = list[line];
    switch (word) {
        case CommandWord::Opcode:
            command.opcode = value;
            break;
        case CommandWord::Destination:
            command.destination = value;
            break;
        case CommandWord::Source:
            command.source = value;
            break;
    }
    return true;
}

CommandEditorState commandEditorState(const TCommand& command) {
    const std::uint32_t opcode = command.opcode;
    const std::uint32_t group = groupNumber(opcode);
    CommandEditorState state;
    state.group = group < 3 ? static_cast<int>(group) : -1;
    state.subGroups = subGroupNames(group);
    state.subGroup = indexOf(state.subGroups, commandSubGroup(opcode));
    state.options = optionNames(group, commandSubGroup(opcode));
    state.option = indexOf(state.options, commandOption(opcode));
    state.opcodeHex = hexText(opcode, 8);
    state.destinationHex = hexText(command.destination, 8);
    state.sourceHex = hexText(command.source, 8);
    state.destinationEnabled = (opcode & 0x60000000u) != 0;
    state.sourceEnabled = (opcode & 0x40000000u) != 0;
    state.destinationType = typeShown(opcode, destinationImmediate(opcode), command.destination);
    state.sourceType = typeShown(opcode, sourceImmediate(opcode), command.source);
    state.destinationValue = valueShown(state.destinationType, command.destination);
    state.sourceValue = valueShown(state.sourceType, command.source);
    state.tooltip = editorTooltip(state);
    return state;
}

void setCommandGroup(TCommand& command, std::uint32_t group) {
    command.opcode = (command.opcode & ~(kGroupMask | kOptionFieldsMask)) | ((group & 3) << 27);
}

void setCommandSubGroup(TCommand& command, std::uint32_t subGroup) {
    command.opcode =
        (command.opcode & ~(kSubGroupMask | kOptionFieldsMask)) | ((subGroup & 7) << 24);
}

void setCommandOption(TCommand& command, std::uint32_t option) {
    std::uint32_t opcode = command.opcode & 0xFFF00000u;
    switch (commandGroup(opcode)) {
        case CommandGroup::Branch:
            opcode |= (option & 0xF) << 16;
            break;
        case CommandGroup::Compare:
            opcode |= (option & 0xF) << 8;
            break;
        case CommandGroup::Set:
            opcode |= option & 0x1F;
            break;
        case CommandGroup::Reserved:
            break;
    }
    const int operands = tableOperands(opcode);
    command.opcode = withOperandCount(opcode, static_cast<std::uint32_t>(operands));
}

void setOperandBox(TCommand& command, Operand operand, bool checked) {
    const std::uint32_t count = operandCount(command.opcode);
    bool destination = count >= 1;
    bool source = (count & 2) != 0;
    if (operand == Operand::Destination) {
        destination = checked;
        if (!checked) source = false;
    } else {
        source = checked;
        if (checked) destination = true;
    }
    const auto boxes = static_cast<std::uint32_t>(destination) + static_cast<std::uint32_t>(source);
    command.opcode = withOperandCount(command.opcode, boxes);
}

void setOperandType(TCommand& command, Operand operand, OperandType type) {
    command.opcode &= ~immediateFlag(operand);
    if (type == OperandType::Imm) {
        command.opcode |= immediateFlag(operand);
        return;
    }
    if (registerAlwaysGpr(command.opcode)) return;
    std::uint32_t& word = operandWord(command, operand);
    word = type == OperandType::PSR ? (word | kBit31) : (word & ~kBit31);
}

void setOperandValue(TCommand& command, Operand operand, OperandType type, std::uint32_t value) {
    operandWord(command, operand) = type == OperandType::PSR ? (value | kBit31) : value;
}

void setHexWord(TCommand& command, CommandWord word, std::uint32_t value) {
    switch (word) {
        case CommandWord::Opcode:
            command.opcode = value;
            if (value == 0) command.destination = command.source = 0;
            break;
        case CommandWord::Destination:
            command.destination = value;
            break;
        case CommandWord::Source:
            command.source = value;
            break;
    }
}

bool CommandFollow::empty() const {
    return !line && !title && !movieObject && !playlist && !playItem && !menuPage && !menuButton;
}

std::string CommandFollow::describe() const {
    std::vector<std::string> parts;
    if (line) parts.push_back("line " + std::to_string(*line));
    if (title) parts.push_back("title " + std::to_string(*title));
    if (movieObject) parts.push_back("object " + std::to_string(*movieObject));
    if (playlist) {
        parts.push_back("playlist " + playlistEntry(*playlist) +
                        (playItem ? " PlayItem " + std::to_string(*playItem) : ""));
    }
    if (menuPage) parts.push_back("page " + std::to_string(*menuPage));
    if (menuButton) parts.push_back("button " + std::to_string(*menuButton));
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

std::string playlistEntry(std::uint32_t playlist) {
    return zeroPad(playlist, 5);
}

CommandFollow followCommand(const TCommands& list, std::size_t line) {
    CommandFollow follow;
    if (line >= list.size()) return follow;
    const TCommand& command = list[line];
    switch (command.opcode) {
        case kGoToImmediate:
            if (command.destination < list.size()) follow.line = command.destination;
            break;
        case kJumpTitleImmediate:
        case kCallTitleImmediate:
            follow.title = command.destination;
            break;
        case kJumpObjectImmediate:
        case kCallObjectImmediate:
            follow.movieObject = command.destination;
            break;
        case kPlayPlaylistRegister:
            // The usual pattern sets the register from an immediate just before.
            if (line > 0 && list[line - 1].opcode == kMoveImmediateSource &&
                registerOperand(list[line - 1].destination) ==
                    registerOperand(command.destination)) {
                follow.playlist = list[line - 1].source;
            }
            break;
        case kPlayPlaylistImmediate:
        case kPlayItemImmediatePlaylist:
        case kPlayMarkImmediatePlaylist:
        case kPlayMarkBothImmediate:
            follow.playlist = command.destination;
            break;
        case kPlayItemBothImmediate:
            follow.playlist = command.destination;
            follow.playItem = command.source;
            break;
        case kButtonPageSourceImmediate:
        case kButtonPageDestinationImmediate:
        case kButtonPageBothImmediate:
            if (sourceImmediate(command.opcode) && (command.source & kBit31)) {
                follow.menuPage = command.source & 0xFF;
            }
            if (destinationImmediate(command.opcode) && (command.destination & kBit31)) {
                follow.menuButton = command.destination & 0xFFFF;
            }
            break;
        default:
            break;
    }
    return follow;
}

std::string programListFileName(std::size_t object, ProgramFormat format) {
    return "program_" + zeroPad(static_cast<std::int64_t>(object), 3) +
           (format == ProgramFormat::List ? ".lst" : ".bin");
}

std::string programListBanner() {
    const std::string rule = ";" + std::string(60, '-') + "\r\n";
    return rule + ";\r\n" + ";             MovieObject program list by Lumora\r\n" + ";\r\n" + rule;
}

std::string programListLine(const CommandRow& row) {
    return row.number + "  [" + row.opcode + "," + row.destination + "," + row.source + "]  " +
           row.commandLine;
}

std::string programListText(const TCommands& list, CommandContext context) {
    std::string text = programListBanner();
    for (std::size_t i = 0; i < list.size(); ++i)
        text += programListLine(comm2str(i, list[i], context)) + "\r\n";
    return text;
}

Bytes programListBinary(const TCommands& list) {
    Bytes out;
    out.reserve(list.size() * kCommandSize);
    for (const TCommand& command : list)
        appendCommand(out, command);
    return out;
}

void saveProgramList(const std::string& path, const TCommands& list, ProgramFormat format,
                     CommandContext context) {
    if (format == ProgramFormat::Binary) {
        writeFileSafely(path, programListBinary(list));
        return;
    }
    const std::string text = programListText(list, context);
    const Bytes bytes(text.begin(), text.end());
    writeFileSafely(path, bytes);
}

namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<std::uint32_t> hexWord(std::string_view text) {
    text = trimmed(text);
    if (text.size() != 8) return std::nullopt;
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    return static_cast<std::uint32_t>(hexToNumber(text));
}

// "0003  [50000001,00000001 ,00000002 ]  Move GPR1, GPR2" -> the three words.
std::optional<TCommand> listLineCommand(std::string_view line) {
    const std::size_t open = line.find('[');
    const std::size_t close = line.find(']');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return std::nullopt;
    for (const char c : trimmed(line.substr(0, open))) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    const std::string_view words = line.substr(open + 1, close - open - 1);
    const std::size_t first = words.find(',');
    const std::size_t second = first == std::string_view::npos ? first : words.find(',', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const auto opcode = hexWord(words.substr(0, first));
    const auto destination = hexWord(words.substr(first + 1, second - first - 1));
    const auto source = hexWord(words.substr(second + 1));
    if (!opcode || !destination || !source) return std::nullopt;
    return TCommand{*opcode, *destination, *source};
}

std::optional<TCommands> parseListText(std::string_view text, std::string& error) {
    TCommands commands;
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == ';') continue;
        const std::optional<TCommand> command = listLineCommand(line);
        if (!command) {
            error = "line " + std::to_string(number) +
                    " holds no [Opcode,Destinat.,Source] of eight hexadecimal digits each";
            return std::nullopt;
        }
        if (commands.size() == kMaxCommands) {
            error = "more than " + std::to_string(kMaxCommands) + " commands";
            return std::nullopt;
        }
        commands.push_back(*command);
    }
    return commands;
}

}  // namespace

std::optional<TCommands> parseProgramList(ByteView bytes, ProgramFormat format,
                                          std::string& error) {
    if (format == ProgramFormat::List) {
        return parseListText(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
    }
    if (bytes.size() % kCommandSize != 0) {
        error = std::to_string(bytes.size()) + " bytes are no whole number of 12-byte commands";
        return std::nullopt;
    }
    if (bytes.size() / kCommandSize > kMaxCommands) {
        error = "more than " + std::to_string(kMaxCommands) + " commands";
        return std::nullopt;
    }
    ByteReader reader(bytes);
    TCommands commands(bytes.size() / kCommandSize);
    for (TCommand& command : commands) {
        command.opcode = reader.readlong();
        command.destination = reader.readlong();
        command.source = reader.readlong();
    }
    return commands;
}

ProgramFormat programListFormatOf(std::string_view path) {
    if (path.size() < 4) return ProgramFormat::List;
    std::string extension(path.substr(path.size() - 4));
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".bin" ? ProgramFormat::Binary : ProgramFormat::List;
}

}  // namespace lumora
