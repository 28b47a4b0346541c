#include "navigation/command_codec.h"

#include <algorithm>
#include <span>

#include "core/text.h"

namespace lumora {
namespace {

struct NameEntry {
    std::string_view name;
    int operands;
};

constexpr NameEntry kGoToNames[] = {{"NOP", 0}, {"GoTo", 1}, {"Break", 0}};
constexpr NameEntry kJumpNames[] = {
    {"Jump Object", 1}, {"Jump Title", 1}, {"Call Object", 1}, {"Call Title", 1}, {"Resume", 0}};
constexpr NameEntry kPlayNames[] = {{"Play PL", 1},      {"Play PL_PI", 2}, {"Play PL_MK", 2},
                                    {"Terminate PL", 0}, {"Link PI", 1},    {"Link MK", 1}};
constexpr NameEntry kCompareNames[] = {{"--", 0}, {"BC", 2}, {"EQ", 2}, {"NE", 2},
                                       {"GE", 2}, {"GT", 2}, {"LE", 2}, {"LT", 2}};
constexpr NameEntry kSetNames[] = {
    {"---", 0},     {"Move", 2},      {"Swap", 2},       {"Add", 2},        {"Sub", 2}, {"Mul", 2},
    {"Div", 2},     {"Mod", 2},       {"Rnd", 2},        {"And", 2},        {"Or", 2},  {"Xor", 2},
    {"Bit Set", 2}, {"Bit Clear", 2}, {"Shift Left", 2}, {"Shift Right", 2}};
constexpr NameEntry kSetSystemNames[] = {
    {"---", 0},          {"SetStream", 2},     {"SetNVTimer", 2},         {"SetButtonPage", 2},
    {"EnableButton", 1}, {"DisableButton", 1}, {"SetSecondaryStream", 2}, {"PopUpMenu Off", 0},
    {"Still On", 0},     {"Still Off", 0},     {"SetOutputMode", 1},      {"SetStreamSS", 2}};

constexpr std::string_view kGroupNames[] = {"Branch", "Compare", "Set"};
constexpr std::string_view kBranchSubGroups[] = {"GoTo", "Jump", "Play"};
constexpr std::string_view kCompareSubGroups[] = {"-"};
constexpr std::string_view kSetSubGroups[] = {"Set", "SetSystem"};

std::span<const std::string_view> subGroupTable(std::uint32_t group) {
    switch (group) {
        case 0:
            return kBranchSubGroups;
        case 1:
            return kCompareSubGroups;
        case 2:
            return kSetSubGroups;
        default:
            return {};
    }
}

std::span<const NameEntry> nameTable(std::uint32_t group, std::uint32_t subGroup) {
    if (group == 0 && subGroup == kSubGroupGoTo) return kGoToNames;
    if (group == 0 && subGroup == kSubGroupJump) return kJumpNames;
    if (group == 0 && subGroup == kSubGroupPlay) return kPlayNames;
    if (group == 1 && subGroup == 0) return kCompareNames;
    if (group == 2 && subGroup == kSubGroupSet) return kSetNames;
    if (group == 2 && subGroup == kSubGroupSetSystem) return kSetSystemNames;
    return {};
}

const NameEntry* findName(std::uint32_t group, std::uint32_t subGroup, std::uint32_t option) {
    const auto table = nameTable(group, subGroup);
    return option < table.size() ? &table[option] : nullptr;
}

std::vector<std::uint32_t> buildValidOpcodes() {
    std::vector<std::uint32_t> words = {0x00000000, 0x20010000, 0x20810000, 0x00020000, 0x01040000,
                                        0x22000000, 0x22800000, 0x02030000, 0x22040000, 0x22840000,
                                        0x22050000, 0x22850000, 0x31000010, 0x31000011};
    for (std::uint32_t k = 0; k < 4; ++k) {  // Jump / Call Object / Title
        words.push_back(0x21000000 + k * 0x10000);
        words.push_back(0x21800000 + k * 0x10000);
    }
    for (std::uint32_t base : {0x42000000u, 0x42400000u, 0x42800000u, 0x42C00000u}) {
        words.push_back(base + 0x10000);  // Play PL_PI
        words.push_back(base + 0x20000);  // Play PL_MK
    }
    for (std::uint32_t option = 1; option <= 7; ++option) {
        for (std::uint32_t base : {0x08000000u, 0x48000000u, 0x48400000u, 0x48C00000u})
            words.push_back(base + option * 0x100);
    }
    for (std::uint32_t option = 1; option <= 5; ++option)
        words.push_back(0x10000000 + option);
    for (std::uint32_t option = 1; option <= 15; ++option) {
        words.push_back(0x50000000 + option);
        words.push_back(0x50400000 + option);
    }
    for (std::uint32_t option = 1; option <= 9; ++option)
        words.push_back(0x11000000 + option);
    for (std::uint32_t option : {1u, 2u, 3u, 6u, 11u}) {
        for (std::uint32_t base : {0x51000000u, 0x51400000u, 0x51800000u, 0x51C00000u})
            words.push_back(base + option);
    }
    for (std::uint32_t option : {4u, 5u, 10u}) {
        words.push_back(0x31000000 + option);
        words.push_back(0x31800000 + option);
    }
    std::sort(words.begin(), words.end());
    return words;
}

constexpr std::uint32_t kForbiddenInMovieObject[] = {
    0x02030000,                          // Terminate PL
    0x22040000, 0x22840000,              // Link PI
    0x22050000, 0x22850000,              // Link MK
    0x31000004, 0x31800004,              // EnableButton
    0x31000005, 0x31800005,              // DisableButton
    0x11000007, 0x11000008, 0x11000009,  // PopUpMenu Off, Still On, Still Off
};
constexpr std::uint32_t kForbiddenOnButton[] = {
    0x22000000, 0x22800000,                          // Play PL
    0x42010000, 0x42810000, 0x42410000, 0x42C10000,  // Play PL_PI
    0x42020000, 0x42820000, 0x42420000, 0x42C20000,  // Play PL_MK
};

constexpr std::string_view kPsrDescriptions[kDescribedPsrs] = {
    "Interactive Graphics Stream Number (b7-b0) {1-32,$ff}",
    "Primary Audio Stream Number (b7-b0) {1-32,$ff}",
    "PG and PiP PG TextST Stream Number (b31: disp_s, b30: PIP_PG_textST_valid, b27-b16: PiP PG "
    "TextST, b11-b0: PG TextST) {0-255,$fff}",
    "Angle Number (b7-b0) {1-9}",
    "Title Number (b15-b0) {1-999,$ffff}",
    "Chapter Number (b15-b0) {1-999,$ffff}",
    "PlayList id (b15-b0) {0-1999}",
    "PlayItem id (b15-b0) {0-998}",
    "Presentation Time in 45kHz {0-$ffffffff}",
    "Navigation Timer (b15-b0) {0-300} sec",
    "Selected Button id (b15-b0) {0-$1fdf,$ffff}",
    "Menu Page id (b7-b0) {0-$fe}",
    "User Style Number (b7-b0) {1-25,$ff}",
    "Parental Level (b7-b0) {0-255} age",
    "Sec. Audio and Sec. Video Stream Number (b31: disp_v, b30: disp_a, b27-b24: sec. video size, "
    "b15-b8: sec.video, b7-b0: sec.audio",
    "Player Capability for Audio (b15-b14: MLP, b13-b12: DD Lossless, b11-b10: DTS-HD ext., "
    "b9-b8: DTS-HD core, b7-b6: DD+ dep., b5-b4: DD+ ind., b3-b0: LPCM)",
    "Language Code for Audio (b23-b0)",
    "Language code for PG and Text subtitle (b23-b0)",
    "Language Code for Menu (b23-b0)",
    "Country Code (b15-b0)",
    "Region Code (b7-b0) {1,2,4}",
    "Output Mode Preference (b0: 0: 2D, 1: Stereoscopic)",
    "Stereoscopic Status (b0: Output mode, b1-b2: PG TextST Alignment",
    "Display Capability",
    "3D Capability",
    "",  // 25..28 reserved
    "",
    "",
    "",
    "Player Capability for Video (b1: 50Hz and 25Hz, b0: HD sec video)",
    "Player Capability for Text Subtitle",
    "Player Profile / Version number (b19-b16: profile {0,1,3,8}, b15-b0: player version "
    "{$0200})",
    "",  // 32..35 reserved
    "",
    "",
    "",
    "Back-up Register for PSR4",
    "Back-up Register for PSR5",
    "Back-up Register for PSR6",
    "Back-up Register for PSR7",
    "Back-up Register for PSR8",
    "",  // 41 reserved
    "Back-up Register for PSR10",
    "Back-up Register for PSR11",
    "Back-up Register for PSR12",
};

bool bit(std::uint32_t word, int position) {
    return ((word >> position) & 1) != 0;
}

// A packed number: plain when its flag bit is set, in brackets when not.
std::string flagged(std::uint32_t number, bool flag) {
    const std::string text = std::to_string(number);
    return flag ? text : "(" + text + ")";
}
std::string flaggedGpr(std::uint32_t number, bool flag) {
    return flagged(number, flag).insert(flag ? 0 : 1, "GPR");
}

std::string plainRegister(std::uint32_t operand) {
    const RegisterOperand reg = registerOperand(operand);
    return (reg.psr ? "PSR" : "GPR") + std::to_string(reg.number);
}

// Which packed layout an operand follows, if any.
enum class Packing { None, Stream, ButtonPage, SecondaryStream };

Packing packingOf(std::uint32_t opcode) {
    if (isSetStreamLike(opcode)) return Packing::Stream;
    if (isSetSystem(opcode, kSetButtonPageOption)) return Packing::ButtonPage;
    if (isSetSystem(opcode, kSetSecondaryStreamOption)) return Packing::SecondaryStream;
    return Packing::None;
}

std::string packedDestination(Packing packing, bool immediate, std::uint32_t d) {
    const bool high = bit(d, 31);
    const bool low = bit(d, 15);
    switch (packing) {
        case Packing::Stream:
            return immediate
                       ? flagged((d >> 16) & 0xFF, high) + ", " + flagged(d & 0xFFF, low)
                       : flaggedGpr((d >> 16) & 0xFFF, high) + ", " + flaggedGpr(d & 0xFFF, low);
        case Packing::ButtonPage:
            return immediate ? flagged(d & 0xFFFF, high) : flaggedGpr(d & 0xFFF, high);
        case Packing::SecondaryStream:
            return flagged((d >> 16) & 0xF, high) + ", " +
                   (immediate ? flagged(d & 0xFF, low) : flaggedGpr(d & 0xFFF, low));
        case Packing::None:
            break;
    }
    return immediate ? std::to_string(d) : plainRegister(d);
}

std::string packedSource(Packing packing, bool immediate, std::uint32_t s) {
    const bool high = bit(s, 31);
    const bool low = bit(s, 15);
    switch (packing) {
        case Packing::Stream:
            return immediate
                       ? flagged((s >> 16) & 0xFF, high) + ", " + flagged(s & 0xFF, low)
                       : flaggedGpr((s >> 16) & 0xFFF, high) + ", " + flaggedGpr(s & 0xFF, low);
        case Packing::ButtonPage:
            return immediate ? flagged(s & 0xFF, high) : flaggedGpr(s & 0xFFF, high);
        case Packing::SecondaryStream:
            return immediate
                       ? flagged((s >> 16) & 0xFF, high) + ", " + flagged(s & 0xFFF, low)
                       : flaggedGpr((s >> 16) & 0xFFF, high) + ", " + flaggedGpr(s & 0xFFF, low);
        case Packing::None:
            break;
    }
    return immediate ? std::to_string(s) : plainRegister(s);
}

bool destinationShown(std::uint32_t opcode) {
    return operandCount(opcode) >= 1;
}
bool sourceShown(std::uint32_t opcode) {
    return operandCount(opcode) >= 2;
}

// Whether an operand is a plain register operand naming a PSR (the packed
// SetSystem operands never are).
bool namesPsr(std::uint32_t opcode, bool immediate, std::uint32_t operand) {
    return !immediate && packingOf(opcode) == Packing::None && registerOperand(operand).psr;
}

}  // namespace

bool isSetSystem(std::uint32_t opcode, std::uint32_t option) {
    return commandGroup(opcode) == CommandGroup::Set &&
           commandSubGroup(opcode) == kSubGroupSetSystem && setOption(opcode) == option;
}

bool isSetStreamLike(std::uint32_t opcode) {
    return isSetSystem(opcode, kSetStreamOption) || isSetSystem(opcode, kSetStreamSSOption);
}

std::string_view groupName(std::uint32_t group) {
    return group < std::size(kGroupNames) ? kGroupNames[group] : std::string_view();
}

std::string_view subGroupName(std::uint32_t group, std::uint32_t subGroup) {
    const auto table = subGroupTable(group);
    return subGroup < table.size() ? table[subGroup] : std::string_view();
}

std::vector<std::string_view> subGroupNames(std::uint32_t group) {
    const auto table = subGroupTable(group);
    return {table.begin(), table.end()};
}

std::string_view commandName(std::uint32_t group, std::uint32_t subGroup, std::uint32_t option) {
    const NameEntry* entry = findName(group, subGroup, option);
    return entry ? entry->name : std::string_view();
}

std::string_view commandName(std::uint32_t opcode) {
    return commandName(groupNumber(opcode), commandSubGroup(opcode), commandOption(opcode));
}

std::vector<std::string_view> optionNames(std::uint32_t group, std::uint32_t subGroup) {
    std::vector<std::string_view> names;
    for (const NameEntry& entry : nameTable(group, subGroup)) {
        if (entry.name.empty()) break;
        names.push_back(entry.name);
    }
    return names;
}

int tableOperands(std::uint32_t group, std::uint32_t subGroup, std::uint32_t option) {
    const NameEntry* entry = findName(group, subGroup, option);
    return entry ? entry->operands : 0;
}

int tableOperands(std::uint32_t opcode) {
    return tableOperands(groupNumber(opcode), commandSubGroup(opcode), commandOption(opcode));
}

const std::vector<std::uint32_t>& validOpcodes() {
    static const std::vector<std::uint32_t> words = buildValidOpcodes();
    return words;
}

bool isValidOpcode(std::uint32_t opcode) {
    const auto& words = validOpcodes();
    return std::binary_search(words.begin(), words.end(), opcode);
}

bool isForbiddenOpcode(std::uint32_t opcode, CommandContext context) {
    const std::span<const std::uint32_t> words =
        context == CommandContext::MovieObject
            ? std::span<const std::uint32_t>(kForbiddenInMovieObject)
            : std::span<const std::uint32_t>(kForbiddenOnButton);
    return std::find(words.begin(), words.end(), opcode) != words.end();
}

std::string_view psrDescription(std::uint32_t psr) {
    return psr < kDescribedPsrs ? kPsrDescriptions[psr] : std::string_view();
}

std::string destinationText(const TCommand& command) {
    if (!destinationShown(command.opcode)) return {};
    return " " + packedDestination(packingOf(command.opcode), destinationImmediate(command.opcode),
                                   command.destination);
}

std::string sourceText(const TCommand& command) {
    if (!sourceShown(command.opcode)) return {};
    return ", " +
           packedSource(packingOf(command.opcode), sourceImmediate(command.opcode), command.source);
}

std::string codeCharacters(std::uint32_t operand) {
    std::string code;
    for (int shift : {16, 8, 0}) {
        const auto byte = static_cast<unsigned char>((operand >> shift) & 0xFF);
        if (shift == 16 && byte == 0) continue;
        code += (byte >= 0x20 && byte < 0x7F) ? static_cast<char>(byte) : '.';
    }
    return code;
}

std::string psrComment(const TCommand& command) {
    const std::uint32_t opcode = command.opcode;
    if (!isValidOpcode(opcode)) return {};
    bool marked = false;
    std::uint32_t psr = 0;
    if (destinationShown(opcode) &&
        namesPsr(opcode, destinationImmediate(opcode), command.destination)) {
        marked = true;
        psr = registerOperand(command.destination).number;
    }
    // When both operands name a PSR, the source's is the one worth explaining.
    if (sourceShown(opcode) && namesPsr(opcode, sourceImmediate(opcode), command.source)) {
        marked = true;
        psr = registerOperand(command.source).number;
    }
    if (!marked || psr >= kDescribedPsrs) return {};
    std::string comment =
        "       ;PSR" + std::to_string(psr) + ": " + std::string(psrDescription(psr));
    if (psr >= 16 && psr <= 19) {
        const bool destinationIsPsr = destinationText(command).starts_with(" PSR");
        comment +=
            "  [" + codeCharacters(destinationIsPsr ? command.source : command.destination) + "]";
    }
    return comment;
}

std::string commandText(const TCommand& command, CommandContext context) {
    const std::uint32_t opcode = command.opcode;
    const bool valid = isValidOpcode(opcode);
    const bool forbidden = valid && isForbiddenOpcode(opcode, context);
    std::string text = !valid ? "!" : forbidden ? "*" : "";
    text += commandName(opcode);
    text += destinationText(command);
    text += sourceText(command);
    if (!valid) text += "  ; Invalid opcode";
    if (forbidden) text += "  ; Forbidden opcode";
    text += psrComment(command);
    return text;
}

CommandRow comm2str(std::size_t index, const TCommand& command, CommandContext context) {
    CommandRow row;
    const std::uint32_t count = operandCount(command.opcode);
    row.destinationInUse = count >= 1;
    row.sourceInUse = count == 2;
    row.number = zeroPad(static_cast<std::int64_t>(index), 4);
    row.opcode = hexText(command.opcode, 8);
    row.destination = hexText(command.destination, 8) + (row.destinationInUse ? " " : "");
    row.source = hexText(command.source, 8) + (row.sourceInUse ? " " : "");
    row.commandLine = commandText(command, context);
    if (!isValidOpcode(command.opcode)) {
        row.mark = CommandMark::Invalid;
    } else if (isForbiddenOpcode(command.opcode, context)) {
        row.mark = CommandMark::Forbidden;
    }
    row.invalidTone = row.mark == CommandMark::Invalid;
    return row;
}

CellStyle commandCellStyle(const CommandRow& row, CommandColumn column, bool selected) {
    const bool lineColumn = column == CommandColumn::CommandLine;
    if (row.mark != CommandMark::None) {
        const bool invalid = row.mark == CommandMark::Invalid;
        if (selected) {
            return {CellInk::HighlightText, invalid ? CellPaper::Invalid : CellPaper::Forbidden,
                    lineColumn};
        }
        return {invalid ? CellInk::Invalid : CellInk::Forbidden, CellPaper::Grid, lineColumn};
    }
    if (selected) return {CellInk::HighlightText, CellPaper::Highlight, lineColumn};
    switch (column) {
        case CommandColumn::Opcode:
            return {CellInk::Operand, CellPaper::Grid, false};
        case CommandColumn::Destination:
            return {row.destinationInUse ? CellInk::Operand : CellInk::UnusedOperand,
                    CellPaper::Grid, false};
        case CommandColumn::Source:
            return {row.sourceInUse ? CellInk::Operand : CellInk::UnusedOperand, CellPaper::Grid,
                    false};
        case CommandColumn::Number:
        case CommandColumn::CommandLine:
            break;
    }
    return {CellInk::WindowText, CellPaper::Grid, false};
}

CellParts splitCommandCell(std::string_view cell) {
    const std::size_t semicolon = cell.find(';');
    if (semicolon == std::string_view::npos) {
        const std::size_t first = cell.find_first_not_of(' ');
        if (first == std::string_view::npos) return {};
        const std::size_t last = cell.find_last_not_of(' ');
        return {cell.substr(first, last - first + 1), {}, false};
    }
    const std::size_t commentStart = semicolon == 0 ? 0 : semicolon - 1;
    return {cell.substr(0, semicolon), cell.substr(commentStart), true};
}

}  // namespace lumora
