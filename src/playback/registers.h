// The register file of the player the command emulator stands in for: 128
// player status registers (PSRs) and 4096 general purpose registers (GPRs),
// unsigned 32-bit each, with the player settings that fill them on a reset,
// the two register dumps of the Status tab and the rules of the register
// edit panel.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/report.h"
#include "navigation/command_codec.h"

namespace lumora {

inline constexpr std::uint32_t kGprCount = 4096;
// Register numbers are masked into the file, so no operand can address
// outside it.
inline constexpr std::uint32_t kPsrNumberMask = kPsrCount - 1;
inline constexpr std::uint32_t kGprNumberMask = kGprCount - 1;

// Registers with a fixed meaning elsewhere in the program.
inline constexpr std::uint32_t kPsrIgStream = 0;
inline constexpr std::uint32_t kPsrAudioStream = 1;
inline constexpr std::uint32_t kPsrPgStream = 2;
inline constexpr std::uint32_t kPsrAngle = 3;
inline constexpr std::uint32_t kPsrTitle = 4;
inline constexpr std::uint32_t kPsrChapter = 5;
inline constexpr std::uint32_t kPsrPlayList = 6;
inline constexpr std::uint32_t kPsrPlayItem = 7;
inline constexpr std::uint32_t kPsrSelectedButton = 10;
inline constexpr std::uint32_t kPsrMenuPage = 11;
inline constexpr std::uint32_t kPsrStereoscopicStatus = 22;

// The "Player settings" of the Options tab as the reset takes them.  The
// defaults are the options' own defaults.  Composite values (display, video
// capability) are held composed, as the registers take them.
struct PlayerSettings {
    int region = 0;  // 0 A, 1 B, 2 C
    std::uint32_t countryCode = 0x5553;
    std::string audioLanguage = "eng";  // three letters; empty when none is selected
    std::string subtitleLanguage = "eng";
    std::string menuLanguage = "eng";
    std::uint32_t audioCapability = 0xAAAAA;
    std::uint32_t displayCapability = 0xFFF03;  // size << 8 | no glasses | 1280x720 50p | stereo
    std::uint32_t capability3d = 0x7F;
    bool stereoscopicOutput = true;     // output mode preference, else 2D
    std::uint32_t videoCapability = 7;  // HD sec. video | 50/25 Hz | (8 scaling, else 4)
    std::uint32_t textSubtitleCapability = 0x1F0F8;
    std::uint32_t profileCode = 0x13;  // 0, 1, 3, 8 or 19 (hex 13) for "Profile 5"
    std::uint32_t version = 0x240;
    bool realValues = false;  // "Init PSRs with 'real' values"

    std::uint32_t profileAndVersion() const { return profileCode << 16 | version; }
};

// A language code as PSR16..18 hold it: the character codes of its first
// three letters, the first one highest; an empty code gives 0.
std::uint32_t languageCode(std::string_view letters);

class Registers {
public:
    // Numbers are masked (PSR 0..127, GPR 0..4095).
    std::uint32_t psr(std::uint32_t number) const { return psr_[number & kPsrNumberMask]; }
    std::uint32_t gpr(std::uint32_t number) const { return gpr_[number & kGprNumberMask]; }
    void setPsr(std::uint32_t number, std::uint32_t value) {
        psr_[number & kPsrNumberMask] = value;
    }
    void setGpr(std::uint32_t number, std::uint32_t value) {
        gpr_[number & kGprNumberMask] = value;
    }

    // A register operand of a command: bit 31 set names PSR bits 6..0,
    // clear names GPR bits 11..0.
    std::uint32_t RegRead(std::uint32_t operand) const;
    void RegWrite(std::uint32_t operand, std::uint32_t value);

    // Every register 0, then the start values of a player: plain ones, or
    // "real" ones for PSR1..5, and the player settings in PSR15..24, 29..31.
    void ResetRegs(const PlayerSettings& settings);

    const std::array<std::uint32_t, kPsrCount>& psrs() const { return psr_; }
    const std::array<std::uint32_t, kGprCount>& gprs() const { return gpr_; }

    bool operator==(const Registers&) const = default;

private:
    std::array<std::uint32_t, kPsrCount> psr_{};
    std::array<std::uint32_t, kGprCount> gpr_{};
};

// ---- The Status tab's dumps (log lines with their markup) ----

// "PS&Rs": PSR0..24 always, PSR25..31 when not 0 (one a line, with their
// description), PSR32..127 when not 0, six a line.
std::vector<std::string> psrDumpLines(const Registers& registers);
// "&GPRs": the GPRs that are not 0, five a line.
std::vector<std::string> gprDumpLines(const Registers& registers);
void logPsrs(const Registers& registers, Reporter& reporter);
void logGprs(const Registers& registers, Reporter& reporter);

// ---- The register edit panel ----

// The number typed into "PSR number" / "GPR number": a decimal number inside
// the file, anything else (out of range, empty, not a number) gives 0.
std::uint32_t psrNumberFromText(std::string_view text);
std::uint32_t gprNumberFromText(std::string_view text);
// A number field once it is left: PSR 3 digits, GPR 4 digits.
std::string psrNumberText(std::uint32_t number);
std::string gprNumberText(std::uint32_t number);
// A value field: 8 hexadecimal digits; read back as hex text (anything that
// is not hex gives 0), the low 32 bits.
std::string registerValueText(std::uint32_t value);
std::uint32_t registerValueFromText(std::string_view text);

}  // namespace lumora
