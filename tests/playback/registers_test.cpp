#include "playback/registers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/report.h"

namespace lumora {
namespace {

constexpr std::uint32_t kPsr = 0x80000000;

Registers resetWith(const PlayerSettings& settings) {
    Registers registers;
    registers.setGpr(9, 99);  // a reset clears what was there
    registers.setPsr(100, 1);
    registers.ResetRegs(settings);
    return registers;
}

TEST(ResetRegs, DefaultSettingsPlainAndRealValues) {
    PlayerSettings real;
    real.realValues = true;
    const Registers plainRegs = resetWith(PlayerSettings{});
    const Registers realRegs = resetWith(real);
    const struct {
        std::uint32_t psr;
        std::uint32_t plain;
        std::uint32_t real;
    } cases[] = {
        {0, 1, 1},
        {1, 0xFF, 1},
        {2, 0x0FFF0FFF, 0x0FFF0001},
        {3, 1, 1},
        {4, 0xFFFF, 0},
        {5, 0xFFFF, 1},
        {8, 0xFFFFFFFF, 0xFFFFFFFF},
        {10, 0xFFFF, 0xFFFF},
        {12, 0xFF, 0xFF},
        {14, 0xFFFF, 0xFFFF},
        {15, 0xAAAAA, 0xAAAAA},
        {16, 0x656E67, 0x656E67},  // "eng"
        {17, 0x656E67, 0x656E67},
        {18, 0x656E67, 0x656E67},
        {19, 0x5553, 0x5553},
        {20, 1, 1},
        {21, 1, 1},
        {23, 0xFFF03, 0xFFF03},
        {24, 0x7F, 0x7F},
        {29, 7, 7},
        {30, 0x1F0F8, 0x1F0F8},
        {31, 0x130240, 0x130240},
        {43, 0xFFFF, 0xFFFF},
        {48, 0xFFFFFFFF, 0xFFFFFFFF},
        {49, 0xFFFFFFFF, 0xFFFFFFFF},
        {50, 0xFFFFFFFF, 0xFFFFFFFF},
        {61, 0xFFFF0000, 0xFFFF0000},
    };
    Registers expectedPlain, expectedReal;
    for (const auto& c : cases) {
        EXPECT_EQ(plainRegs.psr(c.psr), c.plain) << "PSR" << c.psr;
        EXPECT_EQ(realRegs.psr(c.psr), c.real) << "PSR" << c.psr;
        expectedPlain.setPsr(c.psr, c.plain);
        expectedReal.setPsr(c.psr, c.real);
    }
    // Every register the table leaves out is 0, the GPRs included.
    EXPECT_EQ(plainRegs, expectedPlain);
    EXPECT_EQ(realRegs, expectedReal);
}

TEST(ResetRegs, PlayerSettingsFeedTheirRegisters) {
    const struct {
        const char* what;
        void (*change)(PlayerSettings&);
        std::uint32_t psr;
        std::uint32_t value;
    } cases[] = {
        {"region B", [](PlayerSettings& s) { s.region = 1; }, 20, 2},
        {"region C", [](PlayerSettings& s) { s.region = 2; }, 20, 4},
        {"no such region", [](PlayerSettings& s) { s.region = 40; }, 20, 1},
        {"negative region", [](PlayerSettings& s) { s.region = -1; }, 20, 1},
        {"country", [](PlayerSettings& s) { s.countryCode = 0x4445; }, 19, 0x4445},
        {"audio language", [](PlayerSettings& s) { s.audioLanguage = "fra"; }, 16, 0x667261},
        {"subtitle language", [](PlayerSettings& s) { s.subtitleLanguage = "deu"; }, 17, 0x646575},
        {"no menu language", [](PlayerSettings& s) { s.menuLanguage.clear(); }, 18, 0},
        {"2D output", [](PlayerSettings& s) { s.stereoscopicOutput = false; }, 21, 0},
        {"profile 2, version 200",
         [](PlayerSettings& s) {
             s.profileCode = 3;
             s.version = 0x200;
         },
         31, 0x30200},
    };
    for (const auto& c : cases) {
        PlayerSettings settings;
        c.change(settings);
        EXPECT_EQ(resetWith(settings).psr(c.psr), c.value) << c.what;
    }
}

TEST(Registers, OperandsAndNumbersAreMaskedIntoTheFile) {
    const struct {
        std::uint32_t operand;
        bool psr;
        std::uint32_t number;
    } cases[] = {
        {kPsr | 5, true, 5},
        {kPsr | 0x80, true, 0},  // only bits 6..0 name a PSR
        {kPsr | 0x7FFFFFFF, true, 127},
        {0x00001005, false, 5},  // only bits 11..0 name a GPR
        {0x7FFFFFFF, false, 4095},
    };
    for (const auto& c : cases) {
        Registers registers;
        registers.RegWrite(c.operand, 0xC0FFEE);
        EXPECT_EQ(registers.RegRead(c.operand), 0xC0FFEEu);
        EXPECT_EQ(c.psr ? registers.psr(c.number) : registers.gpr(c.number), 0xC0FFEEu)
            << std::hex << c.operand;
    }
    Registers registers;
    registers.setPsr(128 + 3, 7);
    registers.setGpr(4096 + 3, 8);
    EXPECT_EQ(registers.psr(3), 7u);
    EXPECT_EQ(registers.gpr(3), 8u);
}

TEST(PsrDump, PlainResetLinesWithTheirMarkup) {
    const std::vector<std::string> lines = psrDumpLines(resetWith(PlayerSettings{}));
    // PSR0..24, PSR29..31 (the others of 25..31 are 0), one row for 32..127.
    ASSERT_EQ(lines.size(), 25u + 3u + 1u);
    EXPECT_EQ(lines[0],
              "[b]PSR0[/b]: 00000001 (1) - Interactive Graphics Stream Number (b7-b0) {1-32,$ff}");
    EXPECT_EQ(lines[8],
              "[b]PSR8[/b]: FFFFFFFF (4294967295) - Presentation Time in 45kHz "
              "{0-$ffffffff}");
    EXPECT_EQ(lines[22].substr(0, 26), "[b]PSR22[/b]: 00000000 (0)");
    EXPECT_EQ(lines[25],
              "[b]PSR29[/b]: 00000007 (7) - Player Capability for Video (b1: 50Hz and 25Hz, "
              "b0: HD sec video)");
    EXPECT_EQ(lines[28],
              "[b]PSR43[/b]: 0000FFFF (65535)   [b]PSR48[/b]: FFFFFFFF (4294967295)   "
              "[b]PSR49[/b]: FFFFFFFF (4294967295)   [b]PSR50[/b]: FFFFFFFF (4294967295)   "
              "[b]PSR61[/b]: FFFF0000 (4294901760)   ");
}

TEST(PsrDump, ReservedRegistersAndRowsOfSix) {
    Registers registers;
    registers.setPsr(26, 0x10);  // reserved: no description
    for (std::uint32_t n = 32; n < 32 + 7; ++n)
        registers.setPsr(n, n);
    const std::vector<std::string> lines = psrDumpLines(registers);
    ASSERT_EQ(lines.size(), 25u + 1u + 2u);
    EXPECT_EQ(lines[25], "[b]PSR26[/b]: 00000010 (16) - ");
    EXPECT_EQ(lines[26].substr(0, 28), "[b]PSR32[/b]: 00000020 (32) ");
    EXPECT_EQ(lines[26].find("PSR38"), std::string::npos) << "six to a line";
    EXPECT_EQ(lines[27], "[b]PSR38[/b]: 00000026 (38)   ");
}

TEST(GprDump, OnlyRegistersThatHoldSomethingFivePerLine) {
    Registers registers;
    EXPECT_TRUE(gprDumpLines(registers).empty());
    registers.setGpr(0, 1);
    registers.setGpr(7, 2);
    registers.setGpr(4095, 3);
    EXPECT_EQ(gprDumpLines(registers),
              std::vector<std::string>{"[b]GPR0[/b]: 00000001 (1)   [b]GPR7[/b]: 00000002 (2)   "
                                       "[b]GPR4095[/b]: 00000003 (3)   "});
    for (std::uint32_t n = 100; n < 103; ++n)
        registers.setGpr(n, 0xFFFFFFFF);
    const std::vector<std::string> lines = gprDumpLines(registers);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "[b]GPR4095[/b]: 00000003 (3)   ");
}

TEST(RegisterDumps, GoToTheLogAsFormattedLines) {
    RecordingSink sink;
    Reporter reporter(sink);
    Registers registers = resetWith(PlayerSettings{});
    registers.setGpr(5, 10);
    logPsrs(registers, reporter);
    logGprs(registers, reporter);
    const std::vector<std::string> texts = sink.texts();
    ASSERT_EQ(texts.size(), 30u);
    EXPECT_EQ(texts[8], " PSR8: FFFFFFFF (4294967295) - Presentation Time in 45kHz {0-$ffffffff}");
    EXPECT_EQ(sink.lines[8].segmentText(1), "PSR8");
    EXPECT_TRUE(sink.lines[8].segments[1].style.bold);
    EXPECT_EQ(texts[29], " GPR5: 0000000A (10)   ");
}

TEST(RegisterPanel, NumberFields) {
    const struct {
        const char* typed;
        std::uint32_t psr;
        std::uint32_t gpr;
    } cases[] = {
        {"0", 0, 0},  {"127", 127, 127}, {"128", 0, 128}, {"4095", 0, 4095}, {"4096", 0, 0},
        {"-1", 0, 0}, {"", 0, 0},        {"12a", 0, 0},   {" 42 ", 42, 42},  {"99999999999", 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(psrNumberFromText(c.typed), c.psr) << '"' << c.typed << '"';
        EXPECT_EQ(gprNumberFromText(c.typed), c.gpr) << '"' << c.typed << '"';
    }
    // Typing 128 and leaving the field shows PSR 000.
    EXPECT_EQ(psrNumberText(psrNumberFromText("128")), "000");
    EXPECT_EQ(psrNumberText(7), "007");
    EXPECT_EQ(gprNumberText(7), "0007");
    EXPECT_EQ(gprNumberText(4095), "4095");
}

TEST(RegisterPanel, ValueFields) {
    const struct {
        const char* typed;
        std::uint32_t value;
        const char* shown;
    } cases[] = {
        {"000000ab", 0xAB, "000000AB"},
        {"FFFFFFFF", 0xFFFFFFFF, "FFFFFFFF"},
        {"", 0, "00000000"},
        {"12G4", 0, "00000000"},  // not hex: 0
        {"123456789", 0x23456789, "23456789"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(registerValueFromText(c.typed), c.value) << c.typed;
        EXPECT_EQ(registerValueText(registerValueFromText(c.typed)), c.shown) << c.typed;
    }
}

}  // namespace
}  // namespace lumora
