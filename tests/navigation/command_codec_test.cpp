#include "navigation/command_codec.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/file_io.h"
#include "navigation/movie_object_file.h"
#include "support/test_support.h"

namespace lumora {
namespace {

constexpr auto kObject = CommandContext::MovieObject;
constexpr auto kButton = CommandContext::Button;

struct LineCase {
    std::uint32_t opcode;
    std::uint32_t destination;
    std::uint32_t source;
    CommandContext context;
    std::string_view line;
};

// The command lines of the grids, one per row of the table, with the edge
// cases a player's word checks and the packed operands bring.
const LineCase kLines[] = {
    // Plain registers and immediates.
    {0x50000001, 0x00000001, 0x00000002, kObject, "Move GPR1, GPR2"},
    {0x50400001, 0x80000010, 0x00656E67, kObject,
     "Move PSR16, 6647399       ;PSR16: Language Code for Audio (b23-b0)  [eng]"},
    {0x20810000, 0x00000003, 0x00000000, kObject, "GoTo 3"},
    {0x21810000, 0x00000002, 0x00000000, kObject, "Jump Title 2"},
    {0x42C10000, 0x00000004, 0x00000001, kObject, "Play PL_PI 4, 1"},
    {0x48400200, 0x00000000, 0x00000001, kObject, "EQ GPR0, 1"},
    {0x50400005, 0x00000FFF, 0xFFFFFFFF, kObject, "Mul GPR4095, 4294967295"},
    // A GPR operand takes bits 11..0 only.
    {0x50000001, 0x0000F001, 0x00000002, kObject, "Move GPR1, GPR2"},
    // SetStream / SetStreamSS: numbers and flags packed in both operands.
    {0x51C00001, 0x80028001, 0x00010000, kObject, "SetStream 2, 1, (1), (0)"},
    {0x51C0000B, 0x80028001, 0x00010000, kObject, "SetStreamSS 2, 1, (1), (0)"},
    {0x51000001, 0x80058003, 0x00010002, kObject, "SetStream GPR5, GPR3, (GPR1), (GPR2)"},
    // SetSecondaryStream: a 4-bit number before the register, both forms.
    {0x51C00006, 0x80038004, 0x00058006, kObject, "SetSecondaryStream 3, 4, (5), 6"},
    {0x51000006, 0x00020005, 0x80030004, kObject, "SetSecondaryStream (2), (GPR5), GPR3, (GPR4)"},
    // SetButtonPage: flags in bit 31 of each operand.
    {0x51800003, 0x00000005, 0x80000007, kObject, "SetButtonPage (5), GPR7"},
    {0x51C00003, 0x80000005, 0x80000002, kButton, "SetButtonPage 5, 2"},
    {0x51400003, 0x80000003, 0x00000001, kButton, "SetButtonPage GPR3, (1)"},
    // Invalid words: a reserved bit, both operands immediate, a reserved
    // group, an operand count of 3.
    {0x50100001, 0x00000001, 0x00000002, kObject, "!Move GPR1, GPR2  ; Invalid opcode"},
    {0x50800001, 0x00000000, 0x00000000, kObject, "!Move 0, GPR0  ; Invalid opcode"},
    {0x50C00001, 0x00000001, 0x00000002, kObject, "!Move 1, 2  ; Invalid opcode"},
    {0x48C00100, 0x00000001, 0x00000002, kObject, "BC 1, 2"},
    {0x18000000, 0x00000000, 0x00000000, kObject, "!  ; Invalid opcode"},
    {0x70000001, 0x00000001, 0x00000002, kObject, "!Move GPR1, GPR2  ; Invalid opcode"},
    // An invalid word gets no PSR comment.
    {0x50800001, 0x00000001, 0x80000010, kObject, "!Move 1, PSR16  ; Invalid opcode"},
    // NOP with operands shows none of them.
    {0x00000000, 0x80000010, 0x00000005, kObject, "NOP"},
    // PSR numbers are bits 6..0: 0x80 names PSR0.
    {0x50000001, 0x00000001, 0x80000080, kObject,
     "Move GPR1, PSR0       ;PSR0: Interactive Graphics Stream Number (b7-b0) {1-32,$ff}"},
    // PSRs from 45 on have no comment; reserved ones an empty description.
    {0x50000001, 0x00000001, 0x80000032, kObject, "Move GPR1, PSR50"},
    {0x50000001, 0x00000001, 0x8000002C, kObject,
     "Move GPR1, PSR44       ;PSR44: Back-up Register for PSR12"},
    {0x50000001, 0x00000001, 0x80000019, kObject, "Move GPR1, PSR25       ;PSR25: "},
    // Both operands name PSRs: the source's is explained.
    {0x50000001, 0x80000004, 0x80000005, kObject,
     "Move PSR4, PSR5       ;PSR5: Chapter Number (b15-b0) {1-999,$ffff}"},
    // A destination PSR with a register source: the comment still comes.
    {0x50000001, 0x80000006, 0x00000003, kObject,
     "Move PSR6, GPR3       ;PSR6: PlayList id (b15-b0) {0-1999}"},
    // Country code: two characters; the high byte is left out when zero.
    {0x50400001, 0x80000013, 0x00005553, kObject,
     "Move PSR19, 21843       ;PSR19: Country Code (b15-b0)  [US]"},
    // The code comes from the destination when it is not " PSR...": here a
    // register number, whose bytes are not characters.
    {0x50000001, 0x00000001, 0x80000012, kObject,
     "Move GPR1, PSR18       ;PSR18: Language Code for Menu (b23-b0)  [..]"},
    // Forbidden words by context, with the comment after the suffix.
    {0x02030000, 0x00000000, 0x00000000, kObject, "*Terminate PL  ; Forbidden opcode"},
    {0x02030000, 0x00000000, 0x00000000, kButton, "Terminate PL"},
    {0x22800000, 0x00000003, 0x00000000, kObject, "Play PL 3"},
    {0x22800000, 0x00000003, 0x00000000, kButton, "*Play PL 3  ; Forbidden opcode"},
    {0x22040000, 0x80000008, 0x00000000, kObject,
     "*Link PI PSR8  ; Forbidden opcode       ;PSR8: Presentation Time in 45kHz {0-$ffffffff}"},
    {0x11000008, 0x00000000, 0x00000000, kObject, "*Still On  ; Forbidden opcode"},
    {0x11000008, 0x00000000, 0x00000000, kButton, "Still On"},
    // A valid word without a name (SetSystem option 16).
    {0x31000010, 0x00000001, 0x00000000, kObject, " GPR1"},
};

TEST(CommandCodec, CommandLines) {
    for (const LineCase& c : kLines) {
        const TCommand command{c.opcode, c.destination, c.source};
        EXPECT_EQ(commandText(command, c.context), c.line)
            << std::hex << c.opcode << " " << c.destination << " " << c.source;
        EXPECT_EQ(comm2str(7, command, c.context).commandLine, c.line);
    }
}

struct RowCase {
    TCommand command;
    CommandContext context;
    std::array<std::string_view, 5> cells;
    CommandMark mark;
};

TEST(CommandCodec, RowCellsAndOperandUse) {
    const RowCase cases[] = {
        {{0x20810000, 3, 0},
         kObject,
         {"0012", "20810000", "00000003 ", "00000000", "GoTo 3"},
         CommandMark::None},
        {{0x50000001, 1, 2},
         kObject,
         {"0012", "50000001", "00000001 ", "00000002 ", "Move GPR1, GPR2"},
         CommandMark::None},
        {{0x00000000, 0x80000010, 5},
         kObject,
         {"0012", "00000000", "80000010", "00000005", "NOP"},
         CommandMark::None},
        {{0x02030000, 0, 0},
         kObject,
         {"0012", "02030000", "00000000", "00000000", "*Terminate PL  ; Forbidden opcode"},
         CommandMark::Forbidden},
        {{0x50800001, 0, 0},
         kButton,
         {"0012", "50800001", "00000000 ", "00000000 ", "!Move 0, GPR0  ; Invalid opcode"},
         CommandMark::Invalid},
        // Count 3: both texts shown, but only a count of 2 marks the source cell.
        {{0x70000001, 1, 2},
         kObject,
         {"0012", "70000001", "00000001 ", "00000002", "!Move GPR1, GPR2  ; Invalid opcode"},
         CommandMark::Invalid},
    };
    for (const RowCase& c : cases) {
        const CommandRow row = comm2str(12, c.command, c.context);
        const auto cells = row.cells();
        for (std::size_t i = 0; i < cells.size(); ++i)
            EXPECT_EQ(cells[i], c.cells[i]) << "cell " << i << " of " << c.cells[4];
        EXPECT_EQ(row.mark, c.mark) << c.cells[4];
        EXPECT_EQ(row.destinationInUse, c.cells[2].back() == ' ');
        EXPECT_EQ(row.sourceInUse, c.cells[3].back() == ' ');
        EXPECT_EQ(row.invalidTone, c.mark == CommandMark::Invalid);
    }
    EXPECT_EQ(comm2str(0, {}, kObject).number, "0000");
    EXPECT_EQ(comm2str(9999, {}, kObject).number, "9999");
}

TEST(CommandCodec, ExactlyTheValidWords) {
    const auto& words = validOpcodes();
    EXPECT_EQ(words.size(), 128u);
    EXPECT_EQ(std::set<std::uint32_t>(words.begin(), words.end()).size(), 128u);
    // How many valid words each name has.
    std::map<std::string, int> perName;
    for (std::uint32_t word : words) {
        EXPECT_TRUE(isValidOpcode(word));
        ++perName[std::string(commandName(word))];
    }
    const std::map<std::string, int> expected = {
        {"NOP", 1},
        {"GoTo", 2},
        {"Break", 1},
        {"Jump Object", 2},
        {"Jump Title", 2},
        {"Call Object", 2},
        {"Call Title", 2},
        {"Resume", 1},
        {"Play PL", 2},
        {"Play PL_PI", 4},
        {"Play PL_MK", 4},
        {"Terminate PL", 1},
        {"Link PI", 2},
        {"Link MK", 2},
        {"BC", 4},
        {"EQ", 4},
        {"NE", 4},
        {"GE", 4},
        {"GT", 4},
        {"LE", 4},
        {"LT", 4},
        {"Move", 3},
        {"Swap", 3},
        {"Add", 3},
        {"Sub", 3},
        {"Mul", 3},
        {"Div", 2},
        {"Mod", 2},
        {"Rnd", 2},
        {"And", 2},
        {"Or", 2},
        {"Xor", 2},
        {"Bit Set", 2},
        {"Bit Clear", 2},
        {"Shift Left", 2},
        {"Shift Right", 2},
        {"SetStream", 5},
        {"SetNVTimer", 5},
        {"SetButtonPage", 5},
        {"EnableButton", 3},
        {"DisableButton", 3},
        {"SetSecondaryStream", 5},
        {"PopUpMenu Off", 1},
        {"Still On", 1},
        {"Still Off", 1},
        {"SetOutputMode", 2},
        {"SetStreamSS", 4},
        {"", 2},
    };
    EXPECT_EQ(perName, expected);

    const std::uint32_t invalid[] = {0x00000001, 0x20010001, 0x50C00001, 0x50100001,
                                     0x48800100, 0x48000000, 0x10000006, 0x5080000F,
                                     0x31000012, 0xFFFFFFFF, 0x22C00000, 0x42C30000};
    for (std::uint32_t word : invalid)
        EXPECT_FALSE(isValidOpcode(word)) << std::hex << word;
}

TEST(CommandCodec, ForbiddenWordsByContext) {
    std::size_t inObject = 0;
    std::size_t onButton = 0;
    for (std::uint32_t word : validOpcodes()) {
        const bool objectForbidden = isForbiddenOpcode(word, kObject);
        const bool buttonForbidden = isForbiddenOpcode(word, kButton);
        EXPECT_FALSE(objectForbidden && buttonForbidden) << std::hex << word;
        inObject += objectForbidden;
        onButton += buttonForbidden;
    }
    EXPECT_EQ(inObject, 12u);
    EXPECT_EQ(onButton, 10u);
    EXPECT_TRUE(isForbiddenOpcode(0x31800005, kObject));
    EXPECT_TRUE(isForbiddenOpcode(0x42C20000, kButton));
    EXPECT_FALSE(isForbiddenOpcode(0x22800000, kObject));
    EXPECT_FALSE(isForbiddenOpcode(0x31800005, kButton));
}

TEST(CommandCodec, NameTables) {
    EXPECT_EQ(groupName(0), "Branch");
    EXPECT_EQ(groupName(2), "Set");
    EXPECT_EQ(groupName(3), "");
    EXPECT_EQ(subGroupName(0, 2), "Play");
    EXPECT_EQ(subGroupName(1, 0), "-");
    EXPECT_EQ(subGroupName(1, 1), "");
    EXPECT_EQ(subGroupName(2, 1), "SetSystem");
    EXPECT_EQ(subGroupNames(2), (std::vector<std::string_view>{"Set", "SetSystem"}));
    EXPECT_TRUE(subGroupNames(3).empty());
    EXPECT_EQ(optionNames(0, 0), (std::vector<std::string_view>{"NOP", "GoTo", "Break"}));
    EXPECT_EQ(optionNames(2, 1).size(), 12u);
    EXPECT_EQ(optionNames(2, 0).back(), "Shift Right");
    EXPECT_TRUE(optionNames(0, 3).empty());

    struct OperandCase {
        std::uint32_t opcode;
        std::string_view name;
        int operands;
    };
    const OperandCase cases[] = {
        {0x00000000, "NOP", 0},
        {0x20810000, "GoTo", 1},
        {0x01040000, "Resume", 0},
        {0x42020000, "Play PL_MK", 2},
        {0x22050000, "Link MK", 1},
        {0x08000000, "--", 0},
        {0x48000700, "LT", 2},
        {0x5000000F, "Shift Right", 2},
        {0x10000000, "---", 0},
        {0x3100000A, "SetOutputMode", 1},
        {0x1100000B, "SetStreamSS", 2},
        {0x1100000C, "", 0},
        {0x00060000, "", 0},
        {0x18000000, "", 0},
        {0x01050000, "", 0},
    };
    for (const OperandCase& c : cases) {
        EXPECT_EQ(commandName(c.opcode), c.name) << std::hex << c.opcode;
        EXPECT_EQ(tableOperands(c.opcode), c.operands) << std::hex << c.opcode;
    }
    EXPECT_EQ(commandName(2, 1, 6), "SetSecondaryStream");
    EXPECT_EQ(tableOperands(2, 1, 6), 2);
    EXPECT_EQ(commandName(2, 1, 31), "");
}

TEST(CommandCodec, PsrDescriptions) {
    EXPECT_EQ(psrDescription(0), "Interactive Graphics Stream Number (b7-b0) {1-32,$ff}");
    EXPECT_EQ(psrDescription(16), "Language Code for Audio (b23-b0)");
    EXPECT_EQ(psrDescription(31),
              "Player Profile / Version number (b19-b16: profile {0,1,3,8}, b15-b0: player "
              "version {$0200})");
    EXPECT_EQ(psrDescription(44), "Back-up Register for PSR12");
    for (std::uint32_t reserved :
         {25u, 26u, 27u, 28u, 32u, 33u, 34u, 35u, 41u, 45u, 127u, 128u, 0xFFFFFFFFu}) {
        EXPECT_EQ(psrDescription(reserved), "") << reserved;
    }
}

TEST(CommandCodec, CodeCharacters) {
    EXPECT_EQ(codeCharacters(0x00656E67), "eng");
    EXPECT_EQ(codeCharacters(0x00005553), "US");
    EXPECT_EQ(codeCharacters(0xFF0A7F41), "..A");
    EXPECT_EQ(codeCharacters(0), "..");
}

TEST(CommandCodec, CellsSplitAtTheComment) {
    struct SplitCase {
        std::string_view cell;
        std::string_view plain;
        std::string_view comment;
    };
    const SplitCase cases[] = {
        {"Move GPR1, GPR2", "Move GPR1, GPR2", ""},
        {"00000003 ", "00000003", ""},
        {"   ", "", ""},
        {"!Move 0, GPR0  ; Invalid opcode", "!Move 0, GPR0  ", " ; Invalid opcode"},
        {"Move PSR6, GPR3       ;PSR6: x", "Move PSR6, GPR3       ", " ;PSR6: x"},
        {";x", "", ";x"},
    };
    for (const SplitCase& c : cases) {
        const CellParts parts = splitCommandCell(c.cell);
        EXPECT_EQ(parts.plain, c.plain) << c.cell;
        EXPECT_EQ(parts.comment, c.comment) << c.cell;
        EXPECT_EQ(parts.hasComment, c.cell.find(';') != std::string_view::npos);
    }
}

TEST(CommandCodec, CellStyles) {
    using C = CommandColumn;
    const CommandRow goTo = comm2str(0, {0x20810000, 3, 0}, kObject);
    const CommandRow invalid = comm2str(0, {0x50800001, 0, 0}, kObject);
    const CommandRow forbidden = comm2str(0, {0x02030000, 0, 0}, kObject);
    struct StyleCase {
        const CommandRow& row;
        CommandColumn column;
        bool selected;
        CellStyle style;
    };
    const StyleCase cases[] = {
        {goTo, C::Number, false, {CellInk::WindowText, CellPaper::Grid, false}},
        {goTo, C::Opcode, false, {CellInk::Operand, CellPaper::Grid, false}},
        {goTo, C::Destination, false, {CellInk::Operand, CellPaper::Grid, false}},
        {goTo, C::Source, false, {CellInk::UnusedOperand, CellPaper::Grid, false}},
        {goTo, C::CommandLine, false, {CellInk::WindowText, CellPaper::Grid, false}},
        {goTo, C::Opcode, true, {CellInk::HighlightText, CellPaper::Highlight, false}},
        {goTo, C::CommandLine, true, {CellInk::HighlightText, CellPaper::Highlight, true}},
        {invalid, C::Opcode, false, {CellInk::Invalid, CellPaper::Grid, false}},
        {invalid, C::CommandLine, false, {CellInk::Invalid, CellPaper::Grid, true}},
        {invalid, C::CommandLine, true, {CellInk::HighlightText, CellPaper::Invalid, true}},
        {forbidden, C::Source, false, {CellInk::Forbidden, CellPaper::Grid, false}},
        {forbidden, C::Number, true, {CellInk::HighlightText, CellPaper::Forbidden, false}},
    };
    for (const StyleCase& c : cases) {
        EXPECT_EQ(commandCellStyle(c.row, c.column, c.selected), c.style)
            << c.row.commandLine << " column " << static_cast<int>(c.column) << " selected "
            << c.selected;
    }
}

// Every command of the real discs gets a line; the counts of valid words
// are what the files hold.
TEST(CommandCodecSamples, RealMovieObjects) {
    LUMORA_REQUIRE_SAMPLES();
    struct SampleCase {
        std::string_view disc;
        std::size_t commands;
        std::size_t valid;
    };
    const SampleCase cases[] = {
        {"feature-disc", 262, 262},
        {"bigbuckbunny", 19, 19},
        {"bdj-disc", 2, 2},
    };
    for (const SampleCase& c : cases) {
        const std::string path =
            test::samplesDir() + "/" + std::string(c.disc) + "/BDMV/MovieObject.bdmv";
        TMOBJ file;
        ASSERT_TRUE(parseMovieObjects(readFileBytes(path), "MovieObject.bdmv", file).good());
        std::size_t commands = 0;
        std::size_t valid = 0;
        for (const Tmobject& object : file.objects) {
            for (std::size_t i = 0; i < object.commands.size(); ++i) {
                const CommandRow row = comm2str(i, object.commands[i], kObject);
                EXPECT_FALSE(row.commandLine.empty()) << c.disc << " " << row.opcode;
                EXPECT_EQ(row.mark == CommandMark::Invalid, row.commandLine.starts_with("!"));
                ++commands;
                valid += isValidOpcode(object.commands[i].opcode);
            }
        }
        EXPECT_EQ(commands, c.commands) << c.disc;
        EXPECT_EQ(valid, c.valid) << c.disc;
    }
}

}  // namespace
}  // namespace lumora
