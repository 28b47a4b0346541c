#include "playback/interpreter.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/report.h"

namespace lumora {
namespace {

// Opcode words of the programs below.
constexpr std::uint32_t kBreak = 0x00020000;
constexpr std::uint32_t kGoTo = 0x20810000;
constexpr std::uint32_t kGoToRegister = 0x20010000;
constexpr std::uint32_t kJumpTitleRegister = 0x21010000;
constexpr std::uint32_t kEqualImmediate = 0x48400200;
constexpr std::uint32_t kNotEqualImmediate = 0x48400300;
constexpr std::uint32_t kPreviousCompare = 0x48400000;  // compare option 0
constexpr std::uint32_t kMove = 0x50000001;
constexpr std::uint32_t kMoveImmediate = 0x50400001;
constexpr std::uint32_t kSwap = 0x50000002;
constexpr std::uint32_t kSwapImmediate = 0x50400002;
constexpr std::uint32_t kAddImmediate = 0x50400003;
constexpr std::uint32_t kDiv = 0x50000006;
constexpr std::uint32_t kRndImmediate = 0x50400008;
constexpr std::uint32_t kSetStream = 0x51000001;
constexpr std::uint32_t kSetStreamImmediate = 0x51C00001;
constexpr std::uint32_t kSetStreamSSImmediate = 0x51C0000B;
constexpr std::uint32_t kSetButtonPage = 0x51000003;
constexpr std::uint32_t kSetButtonPageImmediate = 0x51C00003;
constexpr std::uint32_t kEnableButton = 0x31800004;
constexpr std::uint32_t kDisableButton = 0x31800005;
constexpr std::uint32_t kPsr = 0x80000000;
constexpr std::uint32_t kFlag = 0x80000000;  // button / page flag of SetButtonPage

class FakeHost : public InterpreterHost {
public:
    void showText(std::string_view text) override {
        shown.emplace_back(text);
        if (onShow) onShow();
    }
    void runStarted() override { ++runs; }
    void programLineChanged(int line) override { lines.push_back(line); }
    void runEnded(const RunView& view) override { views.push_back(view); }

    std::vector<std::string> shown;
    std::vector<int> lines;
    std::vector<RunView> views;
    int runs = 0;
    std::function<void()> onShow;
};

// Pending events: the tests press buttons from here.
class EventSink : public RecordingSink {
public:
    void processEvents() override {
        ++events;
        if (onEvents) onEvents();
    }
    int events = 0;
    std::function<void()> onEvents;
};

struct Player {
    EventSink sink;
    Reporter reporter{sink};
    Registers registers;
    FakeHost host;
    Interpreter interpreter{registers, reporter, host};

    Player() {
        reporter.setActivationDelay(0);
        reporter.setTraceStopper([this] { return interpreter.cancelTrace(); });
    }
    RunEnd start(const TCommands& commands) {
        return interpreter.start(commands, CommandContext::MovieObject);
    }
};

TEST(Rnd, OneSequenceFromSeedZeroFirstDrawIsZero) {
    Rnd rnd;
    const std::uint32_t bounds[] = {100, 100, 100, 0xFFFFFFFF, 7};
    const std::uint32_t draws[] = {0, 3, 86, 870078619, 1};
    for (std::size_t i = 0; i < std::size(bounds); ++i)
        EXPECT_EQ(rnd.draw(bounds[i]), draws[i]) << "draw " << i;
    EXPECT_EQ(rnd.seed(), 0x45DE2B0Du);
    EXPECT_EQ(Rnd{}.draw(0), 0u);
}

TEST(Rnd, TheSetCommandDrawsFromTheProgramWideGenerator) {
    Player p;
    const TCommands program = {{kRndImmediate, 0, 100}, {kRndImmediate, 1, 100}};
    p.start(program);
    EXPECT_EQ(p.registers.gpr(0), 0u);
    EXPECT_EQ(p.registers.gpr(1), 3u);
    p.start(program);  // never re-seeded: the third and fourth draws
    EXPECT_EQ(p.registers.gpr(0), 86u);
    p.start({{kRndImmediate, 2, 0}});  // bound 0 gives 0
    EXPECT_EQ(p.registers.gpr(2), 0u);
}

TEST(SetCommands, EveryOptionOnGpr0WithAnImmediate) {
    const struct {
        const char* name;
        std::uint32_t option;
        std::uint32_t a;
        std::uint32_t b;
        std::uint32_t result;
    } cases[] = {
        {"Move", 1, 5, 9, 9},
        {"Add wraps", 3, 0xFFFFFFFE, 5, 3},
        {"Sub wraps", 4, 2, 3, 0xFFFFFFFF},
        {"Mul low 32 bits", 5, 0x10000, 0x10001, 0x10000},
        {"Div", 6, 7, 2, 3},
        {"Div by zero", 6, 7, 0, 0xFFFFFFFF},
        {"Mod", 7, 7, 4, 3},
        {"Mod by zero", 7, 7, 0, 0xFFFFFFFF},
        {"And", 9, 0xF0F0, 0xFF00, 0xF000},
        {"Or", 10, 0xF0F0, 0xFF00, 0xFFF0},
        {"Xor", 11, 0xF0F0, 0xFF00, 0x0FF0},
        {"Bit Set", 12, 0, 31, 0x80000000},
        {"Bit Set low 5 bits", 12, 0, 33, 2},
        {"Bit Clear of 0", 13, 0, 4, 0},
        {"Bit Clear", 13, 0x1F, 4, 0x0F},
        {"Shift Left", 14, 1, 31, 0x80000000},
        {"Shift Left by 32 is by 0", 14, 1, 32, 1},
        {"Shift Right zeros in", 15, 0x80000000, 31, 1},
        {"Shift Right by 35 is by 3", 15, 0x80000000, 35, 0x10000000},
    };
    for (const auto& c : cases) {
        Player p;
        p.registers.setGpr(0, c.a);
        EXPECT_EQ(p.start({{0x50400000 | c.option, 0, c.b}}), RunEnd::Finished);
        EXPECT_EQ(p.registers.gpr(0), c.result) << c.name;
    }
}

TEST(SetCommands, RegisterOperandsSwapAndImmediateDestinations) {
    Player p;
    p.registers.setGpr(1, 10);
    p.registers.setGpr(2, 0);
    p.start({{kDiv, 1, 2}});
    EXPECT_EQ(p.registers.gpr(1), 0xFFFFFFFFu) << "Div GPR1, GPR2 with GPR2 = 0";

    p.registers.setGpr(1, 1);
    p.registers.setGpr(2, 2);
    p.start({{kSwap, 1, 2}});
    EXPECT_EQ(p.registers.gpr(1), 2u);
    EXPECT_EQ(p.registers.gpr(2), 1u);

    p.start({{kSwapImmediate, 1, 7}});  // the immediate side is not written
    EXPECT_EQ(p.registers.gpr(1), 7u);

    p.start({{kMove, kPsr | 16, 1}});  // Move PSR16, GPR1
    EXPECT_EQ(p.registers.psr(16), 7u);

    const Registers before = p.registers;
    p.start({{0x50C00001, 3, 4}, {0x50C00002, 3, 4}});  // immediate destinations
    EXPECT_EQ(p.registers, before);
}

// [compare GPR0, b] [Move GPR1, 1] [Move GPR2, 1]: GPR1 tells whether the
// compare held, GPR2 that exactly one command was skipped.
TEST(Compare, FalseSkipsExactlyTheNextCommand) {
    const struct {
        std::uint32_t option;
        std::uint32_t a;
        std::uint32_t b;
        bool result;
    } cases[] = {
        {1, 0b1010, 0b0100, false},
        {1, 0b1010, 0b0010, true},
        {2, 5, 5, true},
        {2, 5, 6, false},
        {3, 5, 5, false},
        {3, 5, 6, true},
        {4, 5, 5, true},
        {4, 4, 5, false},
        {5, 5, 5, false},
        {5, 6, 5, true},
        {6, 5, 5, true},
        {6, 6, 5, false},
        {7, 4, 5, true},
        {7, 0xFFFFFFFF, 1, false},  // unsigned
    };
    for (const auto& c : cases) {
        Player p;
        p.registers.setGpr(0, c.a);
        p.start(
            {{0x48400000 | c.option << 8, 0, c.b}, {kMoveImmediate, 1, 1}, {kMoveImmediate, 2, 1}});
        EXPECT_EQ(p.registers.gpr(1), c.result ? 1u : 0u)
            << "option " << c.option << " " << c.a << ", " << c.b;
        EXPECT_EQ(p.registers.gpr(2), 1u);
    }
}

TEST(Compare, SkippedGoToAndTheEndOfTheList) {
    Player p;
    // NE GPR0, 0 is false: the GoTo back to line 0 is skipped, not taken.
    EXPECT_EQ(p.start({{kNotEqualImmediate, 0, 0}, {kGoTo, 0, 0}, {kMoveImmediate, 1, 1}}),
              RunEnd::Finished);
    EXPECT_EQ(p.registers.gpr(1), 1u);
    // A skip past the last line ends the run.
    EXPECT_EQ(p.start({{kMoveImmediate, 0, 1}, {kNotEqualImmediate, 0, 1}, {kBreak, 0, 0}}),
              RunEnd::Finished);
}

TEST(Compare, OptionZeroRepeatsThePreviousResultFalseAtTheStart) {
    Player p;
    p.start({{kPreviousCompare, 0, 0}, {kMoveImmediate, 1, 1}, {kMoveImmediate, 2, 1}});
    EXPECT_EQ(p.registers.gpr(1), 0u) << "no compare yet: false";
    p.start({{kEqualImmediate, 0, 0},  // true
             {kPreviousCompare, 0, 0},
             {kMoveImmediate, 3, 1}});
    EXPECT_EQ(p.registers.gpr(3), 1u);
}

TEST(Branch, GoToTargetsAndTheEndOfTheList) {
    Player p;
    // GoTo 3 in a list of 3 ends the run.
    EXPECT_EQ(p.start({{kGoTo, 3, 0}, {kMoveImmediate, 0, 1}, {kMoveImmediate, 1, 1}}),
              RunEnd::Finished);
    EXPECT_EQ(p.registers.gpr(0), 0u);
    EXPECT_EQ(p.registers.gpr(1), 0u);
    EXPECT_EQ(p.interpreter.programLine(), 0);
    ASSERT_EQ(p.host.views.size(), 1u);
    EXPECT_EQ(p.host.views[0].selectRow, 0u) << "the run ended early at line 0";

    // A register GoTo, and a jump past the end of 32 bits.
    p.registers.setGpr(5, 2);
    p.start({{kGoToRegister, 5, 0}, {kMoveImmediate, 0, 1}, {kMoveImmediate, 1, 1}});
    EXPECT_EQ(p.registers.gpr(0), 0u);
    EXPECT_EQ(p.registers.gpr(1), 1u);
    EXPECT_EQ(p.start({{kGoTo, 0xFFFFFFFF, 0}}), RunEnd::Finished);
}

TEST(Branch, ShownTextsRegistersAndEndings) {
    const struct {
        TCommand command;
        std::vector<std::string> shown;
        bool continues;
        std::uint32_t psr;
        std::uint32_t value;
    } cases[] = {
        {{kBreak, 0, 0}, {}, false, 0, 0},
        {{0x21800000, 7, 0}, {"Jump Object 7"}, false, 0, 0},
        {{0x21810000, 3, 0}, {"Jump Title 3"}, false, 4, 3},
        {{0x21820000, 2, 0}, {"Call Object 2"}, true, 0, 0},
        {{0x21830000, 4, 0}, {"Call Title 4"}, true, 4, 4},
        {{0x01040000, 0, 0}, {"Resume"}, true, 0, 0},
        {{0x22800000, 5, 0}, {"Play PL 5"}, true, 6, 5},
        {{0x42C10000, 1, 2}, {"Play PLatPI 1, 2"}, true, 7, 2},
        {{0x42C20000, 0xFFFFFFFF, 4}, {"Play PLatMK 4294967295, 4"}, true, 5, 4},
        {{0x02030000, 0, 0}, {"Terminate PL"}, true, 0, 0},
        {{0x22840000, 3, 0}, {"Link PI 3"}, true, 7, 3},
        {{0x22850000, 2, 0}, {"Link MK 2"}, true, 5, 3},
        {{0x22850000, 0xFFFFFFFF, 0}, {"Link MK 4294967295"}, true, 5, 0},
        {{0x11000007, 0, 0}, {"Pop up Menu Off"}, true, 0, 0},
        {{0x11000008, 0, 0}, {"Still On"}, true, 0, 0},
        {{0x11000009, 0, 0}, {"Still Off"}, true, 0, 0},
        {{0x3180000A, 3, 0}, {}, true, 22, 1},
        // Without the Menu tab: SetButtonPage shows its name and ends,
        // Enable and Disable do nothing.
        {{kSetButtonPageImmediate, kFlag | 1, 0}, {"SetButtonPage "}, false, 10, 0},
        {{kEnableButton, 1, 0}, {}, true, 10, 0},
        {{kDisableButton, 1, 0}, {}, true, 10, 0},
        // Words that do nothing: NOP, SetNVTimer, SetSecondaryStream, a GoTo
        // with the source flag, set option 16.
        {{0x00000000, 1, 2}, {}, true, 0, 0},
        {{0x51C00002, 1, 2}, {}, true, 0, 0},
        {{0x51C00006, 1, 2}, {}, true, 0, 0},
        {{0x20410000, 5, 0}, {}, true, 0, 0},
        {{0x50400010, 0, 1}, {}, true, 0, 0},
    };
    for (const auto& c : cases) {
        Player p;
        const RunEnd end = p.start({c.command, {kMoveImmediate, 100, 1}});
        const std::string what = c.shown.empty() ? "" : c.shown.front();
        EXPECT_EQ(end, c.continues ? RunEnd::Finished : RunEnd::Ended)
            << std::hex << c.command.opcode;
        EXPECT_EQ(p.registers.gpr(100), c.continues ? 1u : 0u) << std::hex << c.command.opcode;
        EXPECT_EQ(p.host.shown, c.shown) << std::hex << c.command.opcode;
        EXPECT_EQ(p.registers.psr(c.psr), c.value) << std::hex << c.command.opcode;
    }
}

TEST(Branch, RegisterOperandsAreReadBeforeTheCommandActs) {
    Player p;
    p.registers.setGpr(3, 9);
    p.registers.setPsr(7, 4);
    p.start({{kJumpTitleRegister, 3, 0}});
    EXPECT_EQ(p.host.shown, std::vector<std::string>{"Jump Title 9"});
    EXPECT_EQ(p.registers.psr(4), 9u);
    p.start({{0x42020000, 3, kPsr | 7}});  // Play PL_MK GPR3, PSR7
    EXPECT_EQ(p.host.shown.back(), "Play PLatMK 9, 4");
}

TEST(SetStream, FlagBitsChooseTheRegisters) {
    const struct {
        const char* what;
        std::uint32_t opcode;
        std::uint32_t a;
        std::uint32_t b;
        std::uint32_t psr22;
        std::uint32_t psr0, psr1, psr2, psr3;
    } cases[] = {
        {"no flags", kSetStreamImmediate, 0x00FF0FFF, 0x00FF00FF, 0, 0x11, 0x22, 0xF0FF0ABC, 0x33},
        {"audio and PG", kSetStreamImmediate, 0x80028001, 0x00010000, 0, 0x11, 2, 0x00FF0001, 0x33},
        {"PG display flag to bit 31", kSetStreamImmediate, 0x0000C005, 0, 0, 0x11, 0x22, 0x80FF0005,
         0x33},
        {"IG and angle", kSetStreamImmediate, 0, 0x80058003, 0, 5, 0x22, 0xF0FF0ABC, 3},
        {"SS in 2D output", kSetStreamSSImmediate, 0x80028001, 0x80058003, 0, 0x11, 0x22,
         0xF0FF0ABC, 0x33},
        {"SS in stereoscopic output", kSetStreamSSImmediate, 0x80028001, 0x80058003, 1, 5, 2,
         0x00FF0001, 3},
    };
    for (const auto& c : cases) {
        Player p;
        p.registers.setPsr(0, 0x11);
        p.registers.setPsr(1, 0x22);
        p.registers.setPsr(2, 0xF0FF0ABC);
        p.registers.setPsr(3, 0x33);
        p.registers.setPsr(22, c.psr22);
        p.start({{c.opcode, c.a, c.b}});
        EXPECT_EQ(p.registers.psr(0), c.psr0) << c.what;
        EXPECT_EQ(p.registers.psr(1), c.psr1) << c.what;
        EXPECT_EQ(p.registers.psr(2), c.psr2) << c.what;
        EXPECT_EQ(p.registers.psr(3), c.psr3) << c.what;
    }
}

TEST(SetStream, RegisterOperandsPackGprValues) {
    Player p;
    p.registers.setGpr(3, 0x1234);   // low 8 bits: the number in bits 23..16
    p.registers.setGpr(2, 0xABCDE);  // low 12 bits: the number in bits 11..0
    p.registers.setGpr(6, 0x107);
    p.registers.setPsr(2, 0xF0FF0ABC);
    // Destination: flags 31 and 15, GPR3 and GPR2; source: flag 31 with
    // GPR6 (bits 27..16) and flag 15 with GPR6 (bits 11..0).
    p.start({{kSetStream, 0x80038002, 0x80068006}});
    EXPECT_EQ(p.registers.psr(1), 0x34u);
    EXPECT_EQ(p.registers.psr(2), 0x00FF0CDEu);
    EXPECT_EQ(p.registers.psr(0), 0x07u);
    EXPECT_EQ(p.registers.psr(3), 0x07u);
}

TEST(Trace, StartPreparesThenStepsAndEnds) {
    Player p;
    p.interpreter.setTraceMode(true);
    const TCommands program = {{kMoveImmediate, 0, 7}, {kMove, 1, kPsr | 4}, {kBreak, 0, 0}};
    p.registers.setPsr(4, 44);

    EXPECT_EQ(p.start(program), RunEnd::Stepped);
    EXPECT_EQ(p.registers.gpr(0), 0u) << "the first Start runs nothing";
    EXPECT_EQ(p.interpreter.programLine(), 0);
    EXPECT_TRUE(p.interpreter.traceRunning());
    EXPECT_EQ(p.sink.panel[0], "Running trace...");
    EXPECT_EQ(p.sink.panel[1], "Line 0000 : 50400001 00000000  00000007  : Move GPR0, 7");
    RunView view = p.host.views.back();
    EXPECT_TRUE(view.traceRunning);
    EXPECT_TRUE(view.traceShown);
    EXPECT_EQ(view.selectRow, 0u);
    EXPECT_EQ(view.gprNumber, 0u);
    EXPECT_EQ(view.psrNumber, std::nullopt);

    EXPECT_EQ(p.start(program), RunEnd::Stepped);
    EXPECT_EQ(p.registers.gpr(0), 7u);
    EXPECT_EQ(p.registers.gpr(1), 0u) << "one command per Start";
    EXPECT_EQ(p.interpreter.programLine(), 1);
    view = p.host.views.back();
    EXPECT_EQ(view.selectRow, 1u);
    EXPECT_EQ(view.gprNumber, 1u);
    EXPECT_EQ(view.psrNumber, 4u) << "Move GPR1, PSR4 names PSR4 as its source";

    EXPECT_EQ(p.start(program), RunEnd::Stepped);
    EXPECT_EQ(p.registers.gpr(1), 44u);
    EXPECT_EQ(p.start(program), RunEnd::Ended);  // the Break
    EXPECT_FALSE(p.interpreter.traceRunning());
    EXPECT_EQ(p.sink.panel[0], "Ready. ");
    EXPECT_EQ(p.sink.panel[1], "");
    EXPECT_FALSE(p.host.views.back().traceShown);

    // Not running any more: the next Start prepares a new trace.
    EXPECT_EQ(p.start(program), RunEnd::Stepped);
    EXPECT_EQ(p.interpreter.programLine(), 0);
}

TEST(Trace, CancelEndsTheTraceAndLeavesTheCancelRequest) {
    for (const bool uncheckFirst : {false, true}) {
        Player p;
        p.interpreter.setTraceMode(true);
        const TCommands program = {{kMoveImmediate, 0, 1}, {kMoveImmediate, 1, 1}};
        p.start(program);
        p.start(program);
        // Unchecking trace mode first must not turn Cancel into a full run.
        if (uncheckFirst) p.interpreter.setTraceMode(false);
        p.reporter.cancel();
        EXPECT_FALSE(p.interpreter.traceRunning());
        EXPECT_EQ(p.interpreter.programLine(), Interpreter::kTraceEnd);
        EXPECT_EQ(p.registers.gpr(1), 0u) << "nothing more ran";
        EXPECT_EQ(p.sink.panel[0], "Ready. ");
        EXPECT_FALSE(p.reporter.cancelRequested());
    }
}

TEST(Trace, CancelOfAProgressOperationIsNotTakenByAWaitingTrace) {
    Player p;
    p.interpreter.setTraceMode(true);
    p.start({{kMoveImmediate, 0, 1}});
    const ProgressScope progress(p.reporter);
    p.reporter.cancel();
    EXPECT_TRUE(p.reporter.cancelRequested());
    EXPECT_TRUE(p.interpreter.traceRunning());
}

TEST(Trace, EmptyListNeverStartsATraceAndRowClicksRunOneStep) {
    Player p;
    p.interpreter.setTraceMode(true);
    EXPECT_EQ(p.start({}), RunEnd::Stepped);
    EXPECT_FALSE(p.interpreter.traceRunning());
    EXPECT_EQ(p.sink.panel[0], "Ready. ");

    const TCommands program = {
        {kMoveImmediate, 0, 1}, {kMoveImmediate, 1, 1}, {kMoveImmediate, 2, 1}};
    p.start(program);
    p.interpreter.setProgramLine(2);  // a click on row 2
    EXPECT_EQ(p.interpreter.ExecComm(program, CommandContext::MovieObject), RunEnd::Finished);
    EXPECT_EQ(p.registers.gpr(2), 1u);
    EXPECT_EQ(p.registers.gpr(0) + p.registers.gpr(1), 0u);
}

TEST(Trace, UncheckingTraceModeThenStartRunsTheWholeProgram) {
    Player p;
    p.interpreter.setTraceMode(true);
    const TCommands program = {{kAddImmediate, 0, 1}, {kAddImmediate, 0, 1}};
    p.start(program);
    p.start(program);
    p.interpreter.setTraceMode(false);
    EXPECT_EQ(p.start(program), RunEnd::Finished);
    EXPECT_EQ(p.registers.gpr(0), 3u);
}

TEST(Trace, RegisterPanelFollowsTheOperandsThatNameRegisters) {
    const struct {
        TCommand command;
        std::optional<std::uint32_t> psr;
        std::optional<std::uint32_t> gpr;
    } cases[] = {
        {{kMove, kPsr | 16, 7}, 16, 7},  // the GPR of the source, not bits of the PSR
        {{kMove, 3, kPsr | 0x84}, 4, 3},
        {{kMoveImmediate, kPsr | 16, 0x656E67}, 16, std::nullopt},
        {{kGoTo, 1, 0}, std::nullopt, std::nullopt},
        {{kSetButtonPage, kFlag | 7, 9}, std::nullopt, 7},
    };
    for (const auto& c : cases) {
        Player p;
        p.interpreter.setTraceMode(true);
        p.start({c.command});
        EXPECT_EQ(p.host.views.back().psrNumber, c.psr) << p.sink.panel[1];
        EXPECT_EQ(p.host.views.back().gprNumber, c.gpr) << p.sink.panel[1];
    }
}

TEST(Stops, StepLimitEndsAnEndlessLoopAfterExactlyNCommands) {
    Player p;
    p.interpreter.setStepLimit(10);
    EXPECT_EQ(p.start({{kAddImmediate, 0, 1}, {kGoTo, 0, 0}}), RunEnd::StepLimit);
    EXPECT_EQ(p.registers.gpr(0), 5u);
    EXPECT_EQ(p.sink.texts().back(),
              " Program stopped at line 0000 after 10 commands (step limit).");
    EXPECT_FALSE(p.interpreter.traceRunning());
    EXPECT_EQ(p.sink.panel[0], "Ready. ");
    EXPECT_EQ(p.host.views.back().selectRow, 0u);
}

TEST(Stops, CancelDuringARunStopsBeforeTheNextCommand) {
    Player p;
    p.interpreter.setStepLimit(0);  // nothing but Cancel ends this one
    p.sink.onEvents = [&p] {
        if (p.registers.gpr(0) == 25) p.reporter.cancel();
    };
    EXPECT_EQ(p.start({{kAddImmediate, 0, 1}, {kGoTo, 0, 0}}), RunEnd::Cancelled);
    EXPECT_EQ(p.registers.gpr(0), 25u);
    EXPECT_EQ(p.sink.texts().back(), " Program stopped at line 0001 (Cancel).");
    EXPECT_FALSE(p.reporter.cancelRequested()) << "the interpreter took the Cancel";
}

TEST(Stops, CancelDuringTheShowDelayOfATraceStepEndsTheTrace) {
    Player p;
    p.interpreter.setTraceMode(true);
    const TCommands program = {{0x21820000, 1, 0}, {kMoveImmediate, 0, 1}};
    p.start(program);
    p.host.onShow = [&p] { p.reporter.cancel(); };
    EXPECT_EQ(p.start(program), RunEnd::Cancelled);
    EXPECT_FALSE(p.interpreter.traceRunning());
    EXPECT_EQ(p.registers.gpr(0), 0u);
}

TEST(Stops, TheReporterRequestCountsOnlyInsideProgressMode) {
    Player p;
    const TCommands loop = {{kAddImmediate, 0, 1}, {kGoTo, 0, 0}};
    p.interpreter.setStepLimit(100);
    p.reporter.requestCancel();  // left over from an earlier operation
    EXPECT_EQ(p.start(loop), RunEnd::StepLimit);

    const ProgressScope progress(p.reporter);  // clears the request
    p.interpreter.setStepLimit(1000);
    p.sink.onEvents = [&p] {
        if (p.registers.gpr(0) == 60) p.reporter.requestCancel();
    };
    p.registers.setGpr(0, 0);
    EXPECT_EQ(p.start(loop), RunEnd::Cancelled);
    EXPECT_EQ(p.registers.gpr(0), 60u);
}

TEST(Stops, EventsCannotReenterARunningProgram) {
    Player p;
    RunEnd inner = RunEnd::Finished;
    p.host.onShow = [&] { inner = p.start({{kMoveImmediate, 5, 5}}); };
    EXPECT_EQ(p.start({{0x21820000, 1, 0}, {kMoveImmediate, 0, 1}}), RunEnd::Finished);
    EXPECT_EQ(inner, RunEnd::Busy);
    EXPECT_EQ(p.registers.gpr(5), 0u);
    EXPECT_EQ(p.registers.gpr(0), 1u);
    EXPECT_EQ(p.host.runs, 1);
}

TEST(ProgramLine, FieldFollowsTheRun) {
    Player p;
    p.start({{kMoveImmediate, 0, 1}, {kMoveImmediate, 0, 1}, {kMoveImmediate, 0, 1}});
    EXPECT_EQ(p.host.lines, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(p.interpreter.programLine(), 2);
    EXPECT_EQ(p.host.views.back().selectRow, std::nullopt) << "ran to its end";
}

// A menu of pages whose buttons carry a BOG number and maybe an auto action;
// it records what the interpreter asks of it.
class FakeMenu : public MenuHost {
public:
    struct Button {
        std::uint32_t bog;
        std::optional<TCommands> autoAction;
    };
    std::vector<std::map<std::uint32_t, Button>> pages;
    std::vector<std::string> calls;

    std::uint32_t pageCount() const override { return static_cast<std::uint32_t>(pages.size()); }
    bool hasButton(std::uint32_t page, std::uint32_t button) const override {
        return page < pages.size() && pages[page].count(button) > 0;
    }
    bool sameBog(std::uint32_t page, std::uint32_t a, std::uint32_t b) const override {
        return pages.at(page).at(a).bog == pages.at(page).at(b).bog;
    }
    void setButtonStates(std::uint32_t page) override { record("states", page); }
    void showInBog(std::uint32_t page, std::uint32_t button) override {
        record("shown", page, button);
    }
    void hideButton(std::uint32_t page, std::uint32_t button) override {
        record("hidden", page, button);
    }
    void drawButton(std::uint32_t page, std::uint32_t button) override {
        record("draw", page, button);
    }
    void drawSelectedButton(std::uint32_t page, std::uint32_t button) override {
        record("drawSelected", page, button);
    }
    void deleteButton(std::uint32_t page, std::uint32_t button) override {
        record("delete", page, button);
    }
    void playOutEffects(std::uint32_t page) override { record("outEffects", page); }
    void showPage(std::uint32_t page) override { record("page", page); }
    std::optional<TCommands> takeAutoAction(std::uint32_t page, std::uint32_t button) override {
        return pages.at(page).at(button).autoAction;
    }

private:
    void record(const char* what, std::uint32_t page, std::uint32_t button = 0xFFFFFFFF) {
        std::string call = std::string(what) + " " + std::to_string(page);
        if (button != 0xFFFFFFFF) call += "/" + std::to_string(button);
        calls.push_back(call);
    }
};

// Page 0: buttons 1 and 2 in BOG 0, button 3 in BOG 1, button 4 with an
// auto action.  Page 1: button 5.
FakeMenu twoPages() {
    FakeMenu menu;
    menu.pages.resize(2);
    menu.pages[0][1] = {0, std::nullopt};
    menu.pages[0][2] = {0, std::nullopt};
    menu.pages[0][3] = {1, std::nullopt};
    menu.pages[0][4] = {2, TCommands{{kMoveImmediate, 9, 42}}};
    menu.pages[1][5] = {0, std::nullopt};
    return menu;
}

struct MenuPlayer : Player {
    FakeMenu menu = twoPages();
    MenuPlayer() {
        interpreter.setMenuHost(&menu);
        registers.setPsr(kPsrSelectedButton, 1);
        registers.setPsr(kPsrMenuPage, 0);
    }
    RunEnd start(const TCommands& commands) {
        return interpreter.start(commands, CommandContext::Button);
    }
};

TEST(MenuCommands, EnableInTheSelectedButtonsBogKeepsItSelectedAtTheEnd) {
    MenuPlayer p;
    // Enable 2, then read PSR10 while the run goes on.
    EXPECT_EQ(p.start({{kEnableButton, 2, 0}, {kMove, 0, kPsr | kPsrSelectedButton}}),
              RunEnd::Finished);
    EXPECT_EQ(p.registers.gpr(0), kNoButton) << "selection deferred during the run";
    EXPECT_EQ(p.registers.psr(kPsrSelectedButton), 2u);
    EXPECT_EQ(p.menu.calls,
              (std::vector<std::string>{"shown 0/2", "draw 0/2", "drawSelected 0/2"}));
}

TEST(MenuCommands, EnableAndDisableOfOtherButtons) {
    const struct {
        TCommand command;
        std::vector<std::string> calls;
    } cases[] = {
        {{kEnableButton, 3, 0}, {"shown 0/3", "draw 0/3"}},  // another BOG: selection stays
        {{kEnableButton, 5, 0}, {}},                         // not on this page
        {{kDisableButton, 2, 0}, {"hidden 0/2", "delete 0/2"}},
        {{kDisableButton, 0x80000002, 0}, {}},
    };
    for (const auto& c : cases) {
        MenuPlayer p;
        p.start({c.command});
        EXPECT_EQ(p.menu.calls, c.calls) << c.command.destination;
        EXPECT_EQ(p.registers.psr(kPsrSelectedButton), 1u);
    }
}

TEST(MenuCommands, SetButtonPage) {
    const struct {
        const char* what;
        std::uint32_t a;
        std::uint32_t b;
        std::uint32_t psr10;
        std::uint32_t psr11;
        std::vector<std::string> calls;
    } cases[] = {
        {"button of the same BOG", kFlag | 2, 0, 2, 0, {"shown 0/2", "drawSelected 0/2"}},
        {"button of another BOG",
         kFlag | 3,
         0,
         3,
         0,
         {"shown 0/3", "draw 0/1", "drawSelected 0/3"}},
        {"button without its flag", 3, 0, 1, 0, {"shown 0/1"}},
        {"no such button", kFlag | 9, 0, 1, 0, {"shown 0/1", "drawSelected 0/1"}},
        {"page and its button",
         kFlag | 5,
         kFlag | 1,
         5,
         1,
         {"states 1", "shown 1/5", "outEffects 0", "page 1"}},
        {"page without out-effects",
         kFlag | 5,
         kFlag | 0x40000000 | 1,
         5,
         1,
         {"states 1", "shown 1/5", "page 1"}},
        {"no such page", 0, kFlag | 7, 1, 0, {"shown 0/1", "outEffects 0", "page 0"}},
    };
    for (const auto& c : cases) {
        MenuPlayer p;
        EXPECT_EQ(p.start({{kSetButtonPageImmediate, c.a, c.b}, {kMoveImmediate, 0, 1}}),
                  RunEnd::Ended)
            << c.what;
        EXPECT_EQ(p.registers.gpr(0), 0u) << c.what << ": no auto action ends the run";
        EXPECT_EQ(p.registers.psr(kPsrSelectedButton), c.psr10) << c.what;
        EXPECT_EQ(p.registers.psr(kPsrMenuPage), c.psr11) << c.what;
        EXPECT_EQ(p.menu.calls, c.calls) << c.what;
    }
}

TEST(MenuCommands, AutoActionButtonContinuesWithItsCommands) {
    MenuPlayer p;
    p.registers.setGpr(3, 0x10004);  // register form: low 16 bits, the flag from the operand
    EXPECT_EQ(p.start({{kSetButtonPage, kFlag | 3, 0}, {kMoveImmediate, 0, 1}}), RunEnd::Finished);
    EXPECT_EQ(p.registers.psr(kPsrSelectedButton), 4u);
    EXPECT_EQ(p.registers.gpr(9), 42u);
    EXPECT_EQ(p.registers.gpr(0), 0u) << "the old list is left";
    EXPECT_EQ(p.interpreter.commands(), (TCommands{{kMoveImmediate, 9, 42}}));
}

// Any words with any operands: the run ends, nothing reads or writes outside
// the register file (the sanitizers watch).
TEST(Robustness, RandomProgramsEndWithinTheLimit) {
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state;
    };
    const std::uint32_t shapes[] = {0x20810000, 0x48400100, 0x50000001, 0x51000001,
                                    0x51000003, 0x3100000A, 0x21000000, 0x42C10000};
    for (int program = 0; program < 200; ++program) {
        MenuPlayer p;
        p.interpreter.setStepLimit(500);
        TCommands commands(1 + next() % 12);
        for (TCommand& command : commands) {
            const std::uint32_t shape = shapes[next() % std::size(shapes)];
            command.opcode = next() % 3 == 0 ? next() : (shape | (next() & 0x00C00F0F));
            command.destination = next() % 2 ? next() % 16 : next();
            command.source = next();
        }
        EXPECT_NE(p.start(commands), RunEnd::Busy);
        EXPECT_FALSE(p.interpreter.running());
    }
}

}  // namespace
}  // namespace lumora
