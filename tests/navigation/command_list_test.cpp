#include "navigation/command_list.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace lumora {
namespace {

constexpr std::uint32_t kGoTo = kGoToImmediate;
constexpr std::uint32_t kGoToRegister = 0x20010000;
constexpr std::uint32_t kMove = 0x50000001;
constexpr std::uint32_t kMoveImmediate = 0x50400001;

TCommand goTo(std::uint32_t target) {
    return {kGoTo, target, 0};
}
TCommand move(std::uint32_t gpr) {
    return {kMove, gpr, 0};
}

// A list of n Move lines (Move GPRi) with the given commands put in front.
TCommands listOf(std::size_t n, TCommands front = {}) {
    TCommands list = std::move(front);
    while (list.size() < n)
        list.push_back(move(static_cast<std::uint32_t>(list.size())));
    return list;
}

std::vector<std::uint32_t> targets(const TCommands& list) {
    std::vector<std::uint32_t> result;
    for (const TCommand& command : list) {
        if (command.opcode == kGoTo) result.push_back(command.destination);
    }
    return result;
}

TEST(GoToUpkeep, InsertAfterLineTwo) {
    TCommands list = listOf(6, {goTo(5), goTo(2), {kGoToRegister, 5, 0}});
    const ListEdit edit = insertNewLine(list, 2);
    ASSERT_TRUE(edit.changed);
    EXPECT_EQ(edit.delta, 1);
    EXPECT_EQ(list.size(), 7u);
    EXPECT_EQ(list[3], TCommand{});
    EXPECT_EQ(targets(list), (std::vector<std::uint32_t>{6, 2}));
    EXPECT_EQ(list[2], (TCommand{kGoToRegister, 5, 0})) << "a register target is left alone";
    EXPECT_EQ(edit.retargeted, (std::vector<std::size_t>{0}));
    EXPECT_EQ(edit.select, 3u);
    EXPECT_EQ(edit.redrawFrom, 3u);
}

TEST(GoToUpkeep, DeleteTwoLinesOfEight) {
    TCommands list = listOf(8, {goTo(5), goTo(1)});
    list[6] = goTo(2);
    const ListEdit edit = delcmd(list, {2, 3});
    ASSERT_TRUE(edit.changed);
    EXPECT_EQ(edit.delta, -2);
    EXPECT_EQ(list.size(), 6u);
    EXPECT_EQ(targets(list), (std::vector<std::uint32_t>{3, 1, 0}));
    EXPECT_EQ(edit.select, 1u);
}

TEST(GoToUpkeep, DeletingTheFirstLineMovesEveryTarget) {
    TCommands list = listOf(5, {move(0), goTo(0), goTo(4)});
    const ListEdit edit = delcmd(list, {0, 0});
    EXPECT_EQ(targets(list), (std::vector<std::uint32_t>{4294967295u, 3}));
    EXPECT_EQ(edit.select, 0u);
}

TEST(GoToUpkeep, InsertedLinesMoveLikeTheOthers) {
    // Pasting a copy of lines of the same list: a target behind the
    // insertion point names the same command afterwards, in the old lines and
    // in the pasted ones.
    TCommands list = listOf(10, {move(0), move(1), move(2), move(3), goTo(8)});
    CommandClipboard clipboard;
    ASSERT_TRUE(clipboard.copy(list, {3, 5}));
    const ListEdit edit = pastecmd(clipboard, list, 5);
    ASSERT_TRUE(edit.changed);
    EXPECT_EQ(list.size(), 13u);
    EXPECT_EQ(targets(list), (std::vector<std::uint32_t>{11, 11}));
    EXPECT_EQ(list[11], move(8));
    EXPECT_EQ(edit.select, 6u);
}

TEST(GoToUpkeep, IntoAnEmptyListTheLinesStayAsGiven) {
    // An empty list has no targets to keep; a whole program pasted into it
    // must run as it ran where it was copied.
    TCommands list;
    const TCommands program = {move(0), goTo(0), goTo(2)};
    const ListEdit edit = inscmd(list, 0, program);
    ASSERT_TRUE(edit.changed);
    EXPECT_EQ(list, program);
    EXPECT_EQ(edit.select, 0u);
}

TEST(GoToUpkeep, UpdateGotosDirectly) {
    TCommands list = {goTo(0), goTo(3), goTo(0xFFFFFFFF), {kGoToRegister, 9, 0}};
    EXPECT_EQ(updategotos(list, -1, 2), (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(targets(list), (std::vector<std::uint32_t>{2, 5, 1}));
    EXPECT_EQ(updategotos(list, 2, -1), (std::vector<std::size_t>{1}));
    EXPECT_EQ(targets(list), (std::vector<std::uint32_t>{2, 4, 1}));
}

TEST(CommandListLimit, NineThousandNineHundredNinetyNine) {
    TCommands list(9998);
    CommandClipboard clipboard;
    const TCommands two = {move(1), move(2)};
    ASSERT_TRUE(clipboard.copy(two, {0, 1}));
    EXPECT_FALSE(pastecmd(clipboard, list, 0).changed);
    EXPECT_EQ(list.size(), 9998u);
    EXPECT_TRUE(insertNewLine(list, 9997).changed);
    EXPECT_EQ(list.size(), kMaxCommands);
    EXPECT_FALSE(insertNewLine(list, 9998).changed);
    EXPECT_EQ(list.size(), kMaxCommands);
}

TEST(CommandListEdit, SelectionsOutsideTheListAreHarmless) {
    TCommands list = listOf(3);
    EXPECT_TRUE(insertNewLine(list, 1000).changed) << "after the last line";
    EXPECT_EQ(list.back(), TCommand{});
    EXPECT_FALSE(delcmd(list, {4, 9}).changed);
    EXPECT_FALSE(delcmd(list, {2, 1}).changed);
    EXPECT_TRUE(delcmd(list, {2, 1000}).changed) << "cut at the end";
    EXPECT_EQ(list, listOf(2));
    TCommands empty;
    EXPECT_FALSE(delcmd(empty, {0, 0}).changed);
    EXPECT_FALSE(nopcmd(empty, 0).changed);
    EXPECT_FALSE(inscmd(list, 0, {}).changed);
    EXPECT_EQ(selectAll(empty), (LineRange{0, 0}));
    EXPECT_EQ(selectAll(list), (LineRange{0, 1}));
}

TEST(CommandListEdit, DeletingEverythingLeavesAnEmptyList) {
    TCommands list = listOf(3, {goTo(2)});
    const ListEdit edit = delcmd(list, {0, 2});
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(edit.retargeted.empty());
    EXPECT_EQ(edit.select, 0u);
}

TEST(CommandListEdit, NopTurnsTheFirstSelectedLineIntoZeros) {
    TCommands list = listOf(3);
    ListEdit edit = nopcmd(list, 1);
    EXPECT_EQ(list[1], TCommand{});
    EXPECT_EQ(edit.select, 2u);
    EXPECT_EQ(edit.delta, 0);
    edit = nopcmd(list, 2);
    EXPECT_EQ(list[2], TCommand{});
    EXPECT_EQ(edit.select, 2u) << "no next line";
}

TEST(CommandClipboard, CopyCutPaste) {
    CommandClipboard clipboard;
    TCommands list = listOf(4);
    EXPECT_EQ(pastecmd(clipboard, list, 0).status, kNothingToInsert);
    EXPECT_EQ(list, listOf(4));

    EXPECT_EQ(copycmd(clipboard, list, {1, 2}).status, kCommandsCopied);
    EXPECT_EQ(clipboard.commands(), (TCommands{move(1), move(2)}));
    EXPECT_EQ(copycmd(clipboard, TCommands{}, {0, 0}).status, "");
    EXPECT_EQ(clipboard.commands().size(), 2u) << "an empty selection keeps the content";

    const ListEdit cut = cutcmd(clipboard, list, {0, 0});
    EXPECT_EQ(cut.delta, -1);
    EXPECT_EQ(clipboard.commands(), (TCommands{move(0)}));
    EXPECT_EQ(list, (TCommands{move(1), move(2), move(3)}));
    pastecmd(clipboard, list, 2);
    EXPECT_EQ(list, (TCommands{move(1), move(2), move(3), move(0)}));
}

TMOBJ fileWithObjects(bool extensionData) {
    TMOBJ file;
    file.objects.resize(2);
    file.objects[1].commands = listOf(2);
    file.length = 6 + 4 + 4 + 24;
    file.extensionDataStart = extensionData ? 50 + 8 + 24 : 0;
    return file;
}

TEST(MovieObjectCommands, InsertThreeLinesKeepsLengthAndAddress) {
    TMOBJ file = fileWithObjects(true);
    const ListEdit edit = inscmd(file, 1, 0, TCommands(3));
    EXPECT_EQ(edit.delta, 3);
    EXPECT_EQ(file.objects[1].commands.size(), 5u);
    EXPECT_EQ(file.length, 38u + 36u);
    EXPECT_EQ(file.extensionDataStart, 82u + 36u);

    TMOBJ plain = fileWithObjects(false);
    inscmd(plain, 1, 0, TCommands(3));
    EXPECT_EQ(plain.extensionDataStart, 0u) << "no ExtensionData stays none";
    EXPECT_EQ(plain.length, 38u + 36u);
}

TEST(MovieObjectCommands, DeleteCutAndPasteKeepTheFileRight) {
    TMOBJ file = fileWithObjects(true);
    CommandClipboard clipboard;
    cutcmd(clipboard, file, 1, {0, 1});
    EXPECT_TRUE(file.objects[1].commands.empty());
    EXPECT_EQ(file.length, 38u - 24u);
    EXPECT_EQ(file.extensionDataStart, 82u - 24u);

    pastecmd(clipboard, file, 0, 0);
    EXPECT_EQ(file.objects[0].commands, listOf(2));
    EXPECT_EQ(file.length, 38u);
    EXPECT_EQ(file.extensionDataStart, 82u);

    insertNewLine(file, 0, 0);
    delcmd(file, 0, {0, 0});
    EXPECT_EQ(file.length, 38u);
    EXPECT_EQ(movieObjectBytes(file).size(), 50u + 8u + 24u);

    // An object that is not there changes nothing.
    EXPECT_FALSE(insertNewLine(file, 2, 0).changed);
    EXPECT_FALSE(delcmd(file, 5, {0, 0}).changed);
    EXPECT_FALSE(pastecmd(clipboard, file, 9, 0).changed);
    EXPECT_EQ(file.length, 38u);
}

TEST(MovieObjectCommands, ButtonCommandsPasteAsTheSameBytes) {
    const TCommands button = {{0x51C00003, 0x80000005, 0x80000002}, {0x31800004, 7, 0}};
    CommandClipboard clipboard;
    clipboard.copy(button, selectAll(button));
    TMOBJ file = fileWithObjects(false);
    pastecmd(clipboard, file, 0, 0);
    EXPECT_EQ(programListBinary(file.objects[0].commands), programListBinary(button));
}

TEST(TypedWords, EightHexDigitsOrNothing) {
    TCommands list = listOf(1);
    EXPECT_TRUE(setTypedWord(list, 0, CommandWord::Source, "00ABCDEF"));
    EXPECT_EQ(list[0].source, 0x00ABCDEFu);
    EXPECT_TRUE(setTypedWord(list, 0, CommandWord::Opcode, "5040000G"));
    EXPECT_EQ(list[0].opcode, 0u) << "non-hexadecimal text gives 0";
    EXPECT_FALSE(setTypedWord(list, 0, CommandWord::Destination, "1234 678"));
    EXPECT_FALSE(setTypedWord(list, 0, CommandWord::Destination, "1234"));
    TCommands none;
    EXPECT_FALSE(setTypedWord(none, 0, CommandWord::Opcode, "50000001"));
}

TEST(CommandBuilder, BuildsMoveFromTheEditorChoices) {
    TCommand command;
    setCommandGroup(command, 2);
    setCommandSubGroup(command, 0);
    setCommandOption(command, 1);
    EXPECT_EQ(command.opcode, 0x50000001u) << "Move takes two operands";
    setOperandType(command, Operand::Source, OperandType::Imm);
    setOperandValue(command, Operand::Destination, OperandType::PSR, 16);
    setOperandValue(command, Operand::Source, OperandType::Imm, 0x656E67);
    EXPECT_EQ(command, (TCommand{0x50400001, 0x80000010, 0x00656E67}));

    const CommandEditorState state = commandEditorState(command);
    EXPECT_EQ(state.group, 2);
    EXPECT_EQ(state.subGroups, (std::vector<std::string_view>{"Set", "SetSystem"}));
    EXPECT_EQ(state.subGroup, 0);
    EXPECT_EQ(state.options.size(), 16u);
    EXPECT_EQ(state.option, 1);
    EXPECT_EQ(state.opcodeHex, "50400001");
    EXPECT_EQ(state.destinationHex, "80000010");
    EXPECT_TRUE(state.destinationEnabled);
    EXPECT_TRUE(state.sourceEnabled);
    EXPECT_EQ(state.destinationType, OperandType::PSR);
    EXPECT_EQ(state.destinationValue, 16u);
    EXPECT_EQ(state.sourceType, OperandType::Imm);
    EXPECT_EQ(state.sourceValue, 0x656E67u);
    EXPECT_EQ(state.tooltip, "PSR16: Language Code for Audio (b23-b0)");
}

TEST(CommandBuilder, FieldEdits) {
    struct EditCase {
        TCommand before;
        void (*edit)(TCommand&);
        TCommand after;
    };
    const EditCase cases[] = {
        // Group and sub-group keep count, flags and each other; options go.
        {{0x50400001, 1, 2}, [](TCommand& c) { setCommandGroup(c, 0); }, {0x40400000, 1, 2}},
        {{0x50400001, 1, 2}, [](TCommand& c) { setCommandSubGroup(c, 1); }, {0x51400000, 1, 2}},
        // An option sets the operand count the command takes.
        {{0x50400001, 1, 2}, [](TCommand& c) { setCommandOption(c, 8); }, {0x50400008, 1, 2}},
        {{0x40000000, 1, 2}, [](TCommand& c) { setCommandOption(c, 2); }, {0x00020000, 1, 2}},
        {{0x00000000, 0, 0}, [](TCommand& c) { setCommandOption(c, 1); }, {0x20010000, 0, 0}},
        {{0x08000000, 0, 0}, [](TCommand& c) { setCommandOption(c, 5); }, {0x48000500, 0, 0}},
        // Boxes: the source needs the destination.
        {{0x00000000, 0, 0},
         [](TCommand& c) { setOperandBox(c, Operand::Source, true); },
         {0x40000000, 0, 0}},
        {{0x50000001, 0, 0},
         [](TCommand& c) { setOperandBox(c, Operand::Destination, false); },
         {0x10000001, 0, 0}},
        {{0x50000001, 0, 0},
         [](TCommand& c) { setOperandBox(c, Operand::Source, false); },
         {0x30000001, 0, 0}},
        {{0x10000001, 0, 0},
         [](TCommand& c) { setOperandBox(c, Operand::Destination, true); },
         {0x30000001, 0, 0}},
        // Types.
        {{0x50C00001, 5, 6},
         [](TCommand& c) { setOperandType(c, Operand::Destination, OperandType::PSR); },
         {0x50400001, 0x80000005, 6}},
        {{0x50000001, 0x80000005, 6},
         [](TCommand& c) { setOperandType(c, Operand::Destination, OperandType::GPR); },
         {0x50000001, 5, 6}},
        {{0x51000001, 0x00010002, 0},
         [](TCommand& c) { setOperandType(c, Operand::Destination, OperandType::PSR); },
         {0x51000001, 0x00010002, 0}},
        {{0x51000006, 0, 0x00010002},
         [](TCommand& c) { setOperandType(c, Operand::Source, OperandType::PSR); },
         {0x51000006, 0, 0x00010002}},
        // Values and hex words.
        {{0x50000001, 0, 0},
         [](TCommand& c) { setOperandValue(c, Operand::Source, OperandType::GPR, 4095); },
         {0x50000001, 0, 4095}},
        {{0x50000001, 7, 8}, [](TCommand& c) { setHexWord(c, CommandWord::Opcode, 0); }, {0, 0, 0}},
        {{0x50000001, 7, 8},
         [](TCommand& c) { setHexWord(c, CommandWord::Source, 0x12345678); },
         {0x50000001, 7, 0x12345678}},
    };
    for (const EditCase& c : cases) {
        TCommand command = c.before;
        c.edit(command);
        EXPECT_EQ(command, c.after) << std::hex << c.before.opcode << " -> " << command.opcode
                                    << " " << command.destination << " " << command.source;
    }
}

TEST(CommandBuilder, EditorStateOfUnusualWords) {
    // SetStream operands show as GPR whatever their bit 31 says.
    CommandEditorState state = commandEditorState({0x51000001, 0x80010002, 0x00030004});
    EXPECT_EQ(state.destinationType, OperandType::GPR);
    EXPECT_EQ(state.destinationValue, 2u);
    EXPECT_EQ(state.tooltip, kCommandsTooltip);
    // PSR41 and above give no tooltip; a disabled operand neither.
    EXPECT_EQ(commandEditorState({0x50000001, 1, 0x80000029}).tooltip, kCommandsTooltip);
    EXPECT_EQ(commandEditorState({0x50000001, 1, 0x80000028}).tooltip,
              "PSR40: Back-up Register for PSR8");
    EXPECT_EQ(commandEditorState({0x00000000, 0x80000004, 0}).tooltip, kCommandsTooltip);
    // Group 3 and an unnamed option select nothing.
    state = commandEditorState({0x18000000, 0, 0});
    EXPECT_EQ(state.group, -1);
    EXPECT_TRUE(state.subGroups.empty());
    EXPECT_EQ(state.option, -1);
    state = commandEditorState({0x01070000, 0, 0});
    EXPECT_EQ(state.group, 0);
    EXPECT_EQ(state.subGroup, 1);
    EXPECT_EQ(state.options.size(), 5u);
    EXPECT_EQ(state.option, -1);
    // Operand count 4: bits 30..29 clear, so no operand is enabled.
    state = commandEditorState({0x80000000, 0, 0});
    EXPECT_FALSE(state.destinationEnabled);
    EXPECT_FALSE(state.sourceEnabled);
}

TEST(FollowCommand, WhatADoubleClickLeadsTo) {
    const TCommands list = {
        goTo(3),                               // 0
        {0x21810000, 2, 0},                    // 1 Jump Title 2
        {kMoveImmediate, 5, 7},                // 2 Move GPR5, 7
        {0x22000000, 5, 0},                    // 3 Play PL GPR5
        {0x22000000, 6, 0},                    // 4 Play PL GPR6 (no Move before it)
        {0x42C10000, 3, 1},                    // 5 Play PL_PI 3, 1
        {0x51C00003, 0x80000005, 0x80000002},  // 6 SetButtonPage 5, 2
        {0x51C00003, 0x00000005, 0x00000002},  // 7 SetButtonPage (5), (2)
        goTo(99),                              // 8 beyond the list
        {0x21800000, 4, 0},                    // 9 Jump Object 4
        {0x21830000, 0, 0},                    // 10 Call Title 0
        {0x42820000, 12, 3},                   // 11 Play PL_MK 12, GPR3
        {0x51400003, 0x80000001, 0x80000004},  // 12 SetButtonPage GPR1, 4
    };
    struct FollowCase {
        std::size_t line;
        std::string_view describe;
    };
    const FollowCase cases[] = {
        {0, "line 3"},           {1, "title 2"},  {2, ""},
        {3, "playlist 00007"},   {4, ""},         {5, "playlist 00003 PlayItem 1"},
        {6, "page 2, button 5"}, {7, ""},         {8, ""},
        {9, "object 4"},         {10, "title 0"}, {11, "playlist 00012"},
        {12, "page 4"},          {13, ""},
    };
    for (const FollowCase& c : cases) {
        const CommandFollow follow = followCommand(list, c.line);
        EXPECT_EQ(follow.describe(), c.describe) << "line " << c.line;
        EXPECT_EQ(follow.empty(), c.describe.empty());
    }
    EXPECT_TRUE(followCommand(list, 1).titleRowSelectable());
    EXPECT_FALSE(followCommand(list, 10).titleRowSelectable());
    EXPECT_EQ(*followCommand(list, 5).playItem, 1u);
    EXPECT_EQ(playlistEntry(7), "00007");
}

TEST(ProgramList, TheListFileOfOneMove) {
    const TCommands list = {{0x50000001, 0x00000001, 0x00000002}};
    const std::string expected =
        ";------------------------------------------------------------\r\n"
        ";\r\n"
        ";             MovieObject program list by Lumora\r\n"
        ";\r\n"
        ";------------------------------------------------------------\r\n"
        "0000  [50000001,00000001 ,00000002 ]  Move GPR1, GPR2\r\n";
    EXPECT_EQ(programListText(list), expected);
}

TEST(ProgramList, LinesKeepCellsAndComments) {
    const TCommands list = {
        {0x20810000, 1, 0}, {0x50400001, 0x80000010, 0x00656E67}, {0x02030000, 0, 0}};
    const std::string text = programListText(list);
    EXPECT_NE(text.find("\r\n0000  [20810000,00000001 ,00000000]  GoTo 1\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n0001  [50400001,80000010 ,00656E67 ]  Move PSR16, 6647399       "
                        ";PSR16: Language Code for Audio (b23-b0)  [eng]\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\n0002  [02030000,00000000,00000000]  *Terminate PL  ; Forbidden "
                        "opcode\r\n"),
              std::string::npos);
    EXPECT_EQ(programListText({}), programListBanner());
}

TEST(ProgramList, BinaryAndFiles) {
    const TCommands list = {{0x50000001, 0x00000001, 0x00000002}, {0x22800000, 0x0000000C, 0}};
    EXPECT_EQ(programListBinary(list),
              test::hexBytes("50000001 00000001 00000002 22800000 0000000C 00000000"));
    EXPECT_EQ(programListFileName(3, ProgramFormat::List), "program_003.lst");
    EXPECT_EQ(programListFileName(1234, ProgramFormat::Binary), "program_1234.bin");

    test::TempDir dir;
    saveProgramList(dir / "p.bin", list, ProgramFormat::Binary);
    EXPECT_EQ(test::readFile(dir / "p.bin"), programListBinary(list));
    saveProgramList(dir / "p.lst", list, ProgramFormat::List);
    const std::string text = programListText(list);
    EXPECT_EQ(test::readFile(dir / "p.lst"), Bytes(text.begin(), text.end()));
}

TEST(ProgramList, ReadsBothFormsBack) {
    const TCommands list = {
        {0x20810000, 1, 0}, {0x50400001, 0x80000010, 0x00656E67}, {0x02030000, 0, 0}};
    const std::string text = programListText(list, CommandContext::Button);
    const Bytes binary = programListBinary(list);
    std::string error;
    EXPECT_EQ(parseProgramList(Bytes(text.begin(), text.end()), ProgramFormat::List, error), list);
    EXPECT_EQ(parseProgramList(binary, ProgramFormat::Binary, error), list);
    // Unix line ends, no banner, no numbers, blank lines: the words are what counts.
    const std::string bare =
        "[20810000,00000001,00000000]\n\n  7 [50000001, 00000001 ,00000002 ]\n";
    const TCommands two = {{0x20810000, 1, 0}, {0x50000001, 1, 2}};
    EXPECT_EQ(parseProgramList(Bytes(bare.begin(), bare.end()), ProgramFormat::List, error), two);

    const struct {
        std::string text;
        std::string error;
    } bad[] = {
        {";x\r\n0000  [2081000,00000001,00000000]  GoTo 1\r\n",
         "line 2 holds no [Opcode,Destinat.,Source] of eight hexadecimal digits each"},
        {"0000  [20810000,00000001]\n",
         "line 1 holds no [Opcode,Destinat.,Source] of eight hexadecimal digits each"},
        {"GoTo 1 [20810000,00000001,00000000]\n",
         "line 1 holds no [Opcode,Destinat.,Source] of eight hexadecimal digits each"},
    };
    for (const auto& b : bad) {
        error.clear();
        EXPECT_EQ(parseProgramList(Bytes(b.text.begin(), b.text.end()), ProgramFormat::List, error),
                  std::nullopt);
        EXPECT_EQ(error, b.error);
    }
    Bytes cut = binary;
    cut.pop_back();
    EXPECT_EQ(parseProgramList(cut, ProgramFormat::Binary, error), std::nullopt);
    EXPECT_EQ(error, "35 bytes are no whole number of 12-byte commands");
    EXPECT_EQ(parseProgramList(Bytes(12 * 10000), ProgramFormat::Binary, error), std::nullopt);
    EXPECT_EQ(error, "more than 9999 commands");
    EXPECT_EQ(programListFormatOf("dir/x.BIN"), ProgramFormat::Binary);
    EXPECT_EQ(programListFormatOf("x.lst"), ProgramFormat::List);
}

}  // namespace
}  // namespace lumora
