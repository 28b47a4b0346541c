// The text form of HDMV navigation commands: the names of every command,
// which of the 2^32 opcode words a player accepts, which of them a movie
// object or a button must not hold, and the five cells of a command row as
// both command grids, the program lists and the interpreter's trace show them.
//
// Everything here is a pure function of its arguments; sounding a tone or
// colouring a cell is left to the views, which get the facts as data.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "navigation/command.h"

namespace lumora {

// Where a command list lives decides which words are forbidden.  The GUI maps
// its active tab: the BDMV tab is MovieObject, every other tab Button.
enum class CommandContext { MovieObject, Button };

// ---- Opcode word fields beyond navigation/command.h ----

// Bits 21..0 below the immediate flags: the option fields and reserved bits.
inline constexpr std::uint32_t kOptionFieldsMask = 0x003FFFFF;
// The group, sub-group and set option of the packed SetSystem commands.
inline constexpr std::uint32_t kSetStreamOption = 1;
inline constexpr std::uint32_t kSetNVTimerOption = 2;
inline constexpr std::uint32_t kSetButtonPageOption = 3;
inline constexpr std::uint32_t kSetSecondaryStreamOption = 6;
inline constexpr std::uint32_t kSetStreamSSOption = 11;
// Sub-group numbers within their groups.
inline constexpr std::uint32_t kSubGroupGoTo = 0;
inline constexpr std::uint32_t kSubGroupJump = 1;
inline constexpr std::uint32_t kSubGroupPlay = 2;
inline constexpr std::uint32_t kSubGroupSet = 0;
inline constexpr std::uint32_t kSubGroupSetSystem = 1;

// The group as its number 0..3 (Branch, Compare, Set, reserved).
inline std::uint32_t groupNumber(std::uint32_t opcode) {
    return (opcode >> 27) & 3;
}
// True for SetSystem with the given set option (any flags and operand count).
bool isSetSystem(std::uint32_t opcode, std::uint32_t option);
// SetStream and SetStreamSS share their packed operand layout.
bool isSetStreamLike(std::uint32_t opcode);

// ---- Name tables ----

// "Branch", "Compare", "Set"; "" for group 3 and beyond.
std::string_view groupName(std::uint32_t group);
// Branch: "GoTo", "Jump", "Play"; Compare: "-"; Set: "Set", "SetSystem";
// "" for any other pair.
std::string_view subGroupName(std::uint32_t group, std::uint32_t subGroup);
// The sub-group names of a group in order (the editor's sub-group list).
std::vector<std::string_view> subGroupNames(std::uint32_t group);
// The command name of a group / sub-group / option; "" when it has none.
std::string_view commandName(std::uint32_t group, std::uint32_t subGroup, std::uint32_t option);
// The command name of an opcode word (its group, sub-group and option); ""
// for none.
std::string_view commandName(std::uint32_t opcode);
// The command names of a group and sub-group up to the first empty name (the
// editor's option list).
std::vector<std::string_view> optionNames(std::uint32_t group, std::uint32_t subGroup);
// Operands the command takes by the operand table (0, 1 or 2; 0 where there
// is no name).
int tableOperands(std::uint32_t group, std::uint32_t subGroup, std::uint32_t option);
int tableOperands(std::uint32_t opcode);

// ---- Valid and forbidden words ----

// Exactly the 128 opcode words a player accepts, reserved bits included.
bool isValidOpcode(std::uint32_t opcode);
// Words a player accepts but not in this context (Terminate PL, Link, button
// and still commands in a movie object; Play PL commands on a button).
bool isForbiddenOpcode(std::uint32_t opcode, CommandContext context);
// All valid words in ascending order (128 of them).
const std::vector<std::uint32_t>& validOpcodes();

// ---- Player status registers ----

inline constexpr std::uint32_t kPsrCount = 128;
// PSRs below this number carry a description; the command line comments only
// these.
inline constexpr std::uint32_t kDescribedPsrs = 45;
// The description of a PSR; "" for the reserved ones and every PSR from 45 on.
std::string_view psrDescription(std::uint32_t psr);

// ---- Command row ----

// How a word stands in its context.
enum class CommandMark { None, Invalid, Forbidden };

// The five cells of a command row and the facts the views draw it by.
struct CommandRow {
    std::string number;       // "No.": index as 4 digits
    std::string opcode;       // "Opcode": 8 hex digits
    std::string destination;  // "Destinat.": 8 hex digits, + " " when in use
    std::string source;       // "Source": 8 hex digits, + " " when in use
    std::string commandLine;  // "Command line"
    CommandMark mark = CommandMark::None;
    bool destinationInUse = false;  // drawn blue, else grey
    bool sourceInUse = false;
    // An invalid word: the Menu tab sounds kInvalidTone when it shows the row.
    bool invalidTone = false;

    std::array<std::string, 5> cells() const {
        return {number, opcode, destination, source, commandLine};
    }
};

// The tone for an invalid word on the Menu tab, and for reaching an invalid
// line with Up or Down in a command grid.
struct Tone {
    int frequencyHz;
    int durationMs;
};
inline constexpr Tone kInvalidTone{2000, 40};
inline constexpr Tone kInvalidLineStepTone{2000, 30};

// The row of command `index` of a list shown in `context`.
CommandRow comm2str(std::size_t index, const TCommand& command, CommandContext context);
// The "Command line" cell alone (the interpreter's trace shows it).
std::string commandText(const TCommand& command, CommandContext context);
// The destination and source texts of a command line (" GPR1", ", 2", ...);
// "" for an operand the operand count leaves out.
std::string destinationText(const TCommand& command);
std::string sourceText(const TCommand& command);
// The PSR comment of a valid command ("       ;PSR16: ...  [eng]"), or "".
std::string psrComment(const TCommand& command);
// The characters of a language or country code in an operand: bits 23..16
// (left out when zero), 15..8 and 7..0; a byte that is not printable ASCII
// shows as "." so a register number never puts control bytes into a cell.
std::string codeCharacters(std::uint32_t operand);

// ---- Drawing rule as data ----

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};
inline constexpr Rgb kInvalidColour{255, 0, 0};
inline constexpr Rgb kForbiddenColour{255, 170, 0};
inline constexpr Rgb kUnusedOperandColour{160, 160, 164};
inline constexpr Rgb kOperandColour{0, 0, 255};  // "Opcode" and operands in use
inline constexpr Rgb kCommentColour{0, 128, 0};  // the italic part, unselected rows

// The columns of a command grid, "No." to "Command line".
enum class CommandColumn { Number, Opcode, Destination, Source, CommandLine };
// Colours by role; the window-text, highlight and grid colours come from the
// view's palette, the others from the Rgb values above.
enum class CellInk { WindowText, HighlightText, Operand, UnusedOperand, Invalid, Forbidden };
enum class CellPaper { Grid, Highlight, Invalid, Forbidden };
struct CellStyle {
    CellInk ink = CellInk::WindowText;
    CellPaper paper = CellPaper::Grid;
    bool bold = false;
    bool operator==(const CellStyle&) const = default;
};
// How a body cell of a command row is drawn (header cells use the grid's
// fixed colour).  The comment part of a cell (see splitCommandCell) is italic
// and, unless the row is selected, kCommentColour instead of this ink.
CellStyle commandCellStyle(const CommandRow& row, CommandColumn column, bool selected);

// A cell split for drawing: without ";" the whole cell, trimmed; with ";"
// the text before the first ";" and, in italic (green unless the row is
// selected), the rest from the character before the ";" on.
struct CellParts {
    std::string_view plain;
    std::string_view comment;  // empty when the cell holds no ";"
    bool hasComment = false;
};
CellParts splitCommandCell(std::string_view cell);

}  // namespace lumora
