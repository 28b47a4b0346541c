// Editing the command list of a movie object or a menu button: inserting and
// deleting lines while immediate GoTo targets keep pointing at the same
// commands, a clipboard shared by every list, the command builder's field
// edits, following a command to what it plays or jumps to, and the program
// list files.
//
// The operations work on a plain TCommands; the TMOBJ overloads also keep the
// file's MovieObjects length and ExtensionData start address right.  Each
// returns what the grid must show afterwards, so the views only map widgets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "navigation/command.h"
#include "navigation/command_codec.h"
#include "navigation/movie_object_file.h"

namespace lumora {

// A list holds at most this many commands (the "No." cell has 4 digits).
inline constexpr std::size_t kMaxCommands = 9999;
// The opcode word of GoTo with an immediate target, the only GoTo whose
// target the upkeep can follow.
inline constexpr std::uint32_t kGoToImmediate = 0x20810000;

// Status panel texts.
inline constexpr std::string_view kCommandsCopied = "Command(s) copied";
inline constexpr std::string_view kNothingToInsert = "Nothing to insert.";

// Selected lines first..last (inclusive), as command indexes.
struct LineRange {
    std::size_t first = 0;
    std::size_t last = 0;
    bool operator==(const LineRange&) const = default;
};

// What an edit did and what the grid shows next.
struct ListEdit {
    bool changed = false;
    int delta = 0;                        // commands added (+) or removed (-)
    std::size_t redrawFrom = 0;           // rows from here to the end show other commands
    std::vector<std::size_t> retargeted;  // lines whose GoTo target moved
    std::size_t select = 0;               // the line to select
    std::string_view status;              // status panel 1 text, "" for none
};

// ---- GoTo upkeep ----

// Every GoTo with an immediate target above `after` (every one when `after`
// is -1) gets target + change, in unsigned 32-bit arithmetic.  Returns the
// lines changed.
std::vector<std::size_t> updategotos(TCommands& list, std::int64_t after, std::int64_t change);

// ---- Insert and delete ----

// Puts `lines` after line `lastSelected` (after the last line when it lies
// beyond the list; at the front of an empty list) and moves the GoTo targets
// behind the insertion point, those of the inserted lines included.  Does
// nothing when the list would exceed kMaxCommands or `lines` is empty.  An
// empty list has no targets to keep, so its inserted lines stay as given.
ListEdit inscmd(TCommands& list, std::size_t lastSelected, const TCommands& lines);
// One new line (the all-zero NOP) after the selection.
ListEdit insertNewLine(TCommands& list, std::size_t lastSelected);
// Removes the selected lines; GoTo targets behind the run move up, targets
// inside it move before it.  Nothing happens on an empty list or a range
// outside it; a range running past the end is cut at the end.
ListEdit delcmd(TCommands& list, LineRange selected);
// The first selected line becomes the all-zero command; the selection moves
// one line down when there is a next line.
ListEdit nopcmd(TCommands& list, std::size_t firstSelected);
// The range that selects every line (0..0 for an empty list).
LineRange selectAll(const TCommands& list);
// Up or Down reaching this line sounds kInvalidLineStepTone.
bool stepTone(const TCommands& list, std::size_t line);

// The same on movie object `object` of a file, keeping its MovieObjects
// length and ExtensionData start address right.  An object index outside the
// file changes nothing.
ListEdit inscmd(TMOBJ& file, std::size_t object, std::size_t lastSelected, const TCommands& lines);
ListEdit insertNewLine(TMOBJ& file, std::size_t object, std::size_t lastSelected);
ListEdit delcmd(TMOBJ& file, std::size_t object, LineRange selected);

// ---- Clipboard ----

// The one command clipboard of the program, shared by the movie object and
// the button grids; the GUI holds one.
class CommandClipboard {
public:
    // Replaces the content with the selected lines; false (and the content
    // kept) when the selection holds no line.
    bool copy(const TCommands& list, LineRange selected);
    const TCommands& commands() const { return commands_; }
    bool empty() const { return commands_.empty(); }
    void clear() { commands_.clear(); }

private:
    TCommands commands_;
};

// Ctrl+C: status kCommandsCopied when something was copied.
ListEdit copycmd(CommandClipboard& clipboard, const TCommands& list, LineRange selected);
// Ctrl+X: copy, then delete.
ListEdit cutcmd(CommandClipboard& clipboard, TCommands& list, LineRange selected);
ListEdit cutcmd(CommandClipboard& clipboard, TMOBJ& file, std::size_t object, LineRange selected);
// Ctrl+V: the clipboard's lines after the selection; with an empty clipboard
// nothing changes and the status is kNothingToInsert.
ListEdit pastecmd(const CommandClipboard& clipboard, TCommands& list, std::size_t lastSelected);
ListEdit pastecmd(const CommandClipboard& clipboard, TMOBJ& file, std::size_t object,
                  std::size_t lastSelected);

// ---- Typing words into the button grid ----

enum class CommandWord { Opcode, Destination, Source };
// A cell typed in edit mode: taken only when the text fills the 8-character
// mask (no blanks); non-hexadecimal text gives 0.  False when the line does
// not exist (a button without commands takes nothing).
bool setTypedWord(TCommands& list, std::size_t line, CommandWord word, std::string_view typed);

// ---- Command builder ----

enum class Operand { Destination, Source };
enum class OperandType { GPR, PSR, Imm };

// What the command editor shows for a command.
struct CommandEditorState {
    int group = -1;  // index in "Branch", "Compare", "Set"; -1 for group 3
    std::vector<std::string_view> subGroups;
    int subGroup = -1;                      // -1 when the sub-group has no name
    std::vector<std::string_view> options;  // up to the first empty name
    int option = -1;                        // -1 when the option is not listed
    std::string opcodeHex;                  // the three words, 8 hex digits each
    std::string destinationHex;
    std::string sourceHex;
    bool destinationEnabled = false;  // and its box checked
    bool sourceEnabled = false;
    OperandType destinationType = OperandType::GPR;
    OperandType sourceType = OperandType::GPR;
    std::uint32_t destinationValue = 0;  // register number, or the immediate
    std::uint32_t sourceValue = 0;
    std::string tooltip;  // "PSRn: description" or "Navigation commands"
};
inline constexpr std::string_view kCommandsTooltip = "Navigation commands";

CommandEditorState commandEditorState(const TCommand& command);

// Each edit rewrites the command as the matching editor control does.
// Group 0..2 into bits 28..27; the option fields are cleared.
void setCommandGroup(TCommand& command, std::uint32_t group);
// Sub-group into bits 26..24; the option fields are cleared.
void setCommandSubGroup(TCommand& command, std::uint32_t subGroup);
// The option into the group's option field, bits 19..0 cleared otherwise;
// the operand count becomes what the command takes, so the word the builder
// leaves is the command's own.
void setCommandOption(TCommand& command, std::uint32_t option);
// The operand boxes: a source needs a destination, so checking the source
// checks the destination and unchecking the destination unchecks the source.
// The operand count becomes the number of checked boxes.
void setOperandBox(TCommand& command, Operand operand, bool checked);
// "Imm" sets the operand's immediate flag; "PSR"/"GPR" clear it and set or
// clear bit 31 of the operand, except for SetStream and SetSecondaryStream,
// whose register operands always name GPRs.
void setOperandType(TCommand& command, Operand operand, OperandType type);
// The typed number; with "PSR" bit 31 is set as well.
void setOperandValue(TCommand& command, Operand operand, OperandType type, std::uint32_t value);
// A hex field; an opcode word of 0 clears both operands too.
void setHexWord(TCommand& command, CommandWord word, std::uint32_t value);

// ---- Following a command ----

// Where a double click on a command leads.  At most the fields that apply
// are set; an empty result means the command leads nowhere.
struct CommandFollow {
    std::optional<std::size_t> line;           // GoTo: select this line of the list
    std::optional<std::uint32_t> title;        // Jump/Call Title: BDMV tab
    std::optional<std::uint32_t> movieObject;  // Jump/Call Object: select the object
    std::optional<std::uint32_t> playlist;     // select and read this playlist
    std::optional<std::uint32_t> playItem;     // ... and this PlayItem row
    std::optional<std::uint32_t> menuPage;     // page selector entry (Menu tab)
    std::optional<std::uint32_t> menuButton;   // button id in the current page's BOGs
    bool empty() const;
    // The title row is selected only for 0 < title < 1000.
    bool titleRowSelectable() const { return title && *title > 0 && *title < 1000; }
    // "line 3", "title 2", "object 2", "playlist 00003", "playlist 00003 PlayItem 1",
    // "page 1", "button 5", joined by ", "; "" when empty.
    std::string describe() const;
};

// The playlist selector entry of a playlist number: 5 digits.
std::string playlistEntry(std::uint32_t playlist);
CommandFollow followCommand(const TCommands& list, std::size_t line);

// ---- Program list ----

enum class ProgramFormat { List = 0, Binary = 1 };
inline constexpr std::string_view kProgramListDialogTitle = "Save program list";
inline constexpr std::string_view kProgramListFilter = "List|*.lst|Binary|*.bin";

// "program_" + object as 3 digits + ".lst" / ".bin".
std::string programListFileName(std::size_t object, ProgramFormat format);
// The five banner lines of a list file, each ending in CR LF.
std::string programListBanner();
// One line of a list file without its line end: "No.  [Opcode,Destinat.,Source]  Command line".
std::string programListLine(const CommandRow& row);
// The whole list file: banner and one line per command, CR LF line ends.
std::string programListText(const TCommands& list,
                            CommandContext context = CommandContext::MovieObject);
// The binary file: the commands, 12 big-endian bytes each, nothing else.
Bytes programListBinary(const TCommands& list);
// Writes either form safely (throws FileError).
void saveProgramList(const std::string& path, const TCommands& list, ProgramFormat format,
                     CommandContext context = CommandContext::MovieObject);

// Reads a program list back.  The binary form must be a whole number of
// 12-byte commands.  In the list form every line that is not blank and does
// not start with ";" must carry "[OPCODE,DESTINAT,SOURCE]" (eight hexadecimal
// digits each, blanks around them allowed) after its optional line number;
// what follows the bracket (the command text) is not read.  Nothing, with
// `error` naming the line or the size, for anything else, and for a list of
// more than kMaxCommands commands.
std::optional<TCommands> parseProgramList(ByteView bytes, ProgramFormat format, std::string& error);
// The form a file name asks for: ".bin" (any case) binary, else the list.
ProgramFormat programListFormatOf(std::string_view path);

}  // namespace lumora
