#include "playback/registers.h"

#include <charconv>

#include "core/text.h"

namespace lumora {
namespace {

// PSRs from 25 on take no line of their own unless they hold something.
constexpr std::uint32_t kAlwaysDumped = 25;
// PSRs from 32 on are dumped in rows, without descriptions.
constexpr std::uint32_t kFirstRowDumped = 32;
constexpr std::size_t kPsrsPerLine = 6;
constexpr std::size_t kGprsPerLine = 5;

std::string valueText(std::uint32_t value) {
    return hexText(value, 8) + " (" + std::to_string(value) + ")";
}

std::string entryText(std::string_view kind, std::uint32_t number, std::uint32_t value) {
    return "[b]" + std::string(kind) + std::to_string(number) + "[/b]: " + valueText(value);
}

// Entries of the registers that are not 0, `perLine` to a line.
void addRows(std::vector<std::string>& lines, std::string_view kind, const std::uint32_t* values,
             std::uint32_t first, std::uint32_t end, std::size_t perLine) {
    std::string line;
    std::size_t inLine = 0;
    for (std::uint32_t n = first; n < end; ++n) {
        if (values[n] == 0) continue;
        line += entryText(kind, n, values[n]) + "   ";
        if (++inLine == perLine) {
            lines.push_back(std::move(line));
            line.clear();
            inLine = 0;
        }
    }
    if (inLine > 0) lines.push_back(std::move(line));
}

// A decimal number inside 0..count-1, else 0.  Blanks around it are what a
// number field leaves when its text is shorter than the field.
std::uint32_t numberInside(std::string_view text, std::uint32_t count) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    std::uint32_t number = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (error != std::errc() || stop != end || number >= count) return 0;
    return number;
}

}  // namespace

std::uint32_t languageCode(std::string_view letters) {
    std::uint32_t code = 0;
    if (letters.empty()) return 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const auto c = i < letters.size() ? static_cast<unsigned char>(letters[i]) : 0u;
        code = code << 8 | c;
    }
    return code;
}

std::uint32_t Registers::RegRead(std::uint32_t operand) const {
    const RegisterOperand reg = registerOperand(operand);
    return reg.psr ? psr(reg.number) : gpr(reg.number);
}

void Registers::RegWrite(std::uint32_t operand, std::uint32_t value) {
    const RegisterOperand reg = registerOperand(operand);
    if (reg.psr) {
        setPsr(reg.number, value);
    } else {
        setGpr(reg.number, value);
    }
}

void Registers::ResetRegs(const PlayerSettings& settings) {
    psr_.fill(0);
    gpr_.fill(0);
    const bool real = settings.realValues;
    psr_[0] = 1;
    psr_[1] = real ? 1 : 0xFF;
    psr_[2] = real ? 0x0FFF0001 : 0x0FFF0FFF;
    psr_[3] = 1;
    psr_[4] = real ? 0 : 0xFFFF;
    psr_[5] = real ? 1 : 0xFFFF;
    psr_[8] = 0xFFFFFFFF;
    psr_[10] = 0xFFFF;
    psr_[12] = 0xFF;
    psr_[14] = 0xFFFF;
    psr_[15] = settings.audioCapability;
    psr_[16] = languageCode(settings.audioLanguage);
    psr_[17] = languageCode(settings.subtitleLanguage);
    psr_[18] = languageCode(settings.menuLanguage);
    psr_[19] = settings.countryCode;
    // Regions A, B, C are the bits 1, 2, 4; an index the options cannot
    // produce falls back to region A rather than shifting out of range.
    psr_[20] = settings.region >= 0 && settings.region <= 2 ? 1u << settings.region : 1u;
    psr_[21] = settings.stereoscopicOutput ? 1 : 0;
    psr_[23] = settings.displayCapability;
    psr_[24] = settings.capability3d;
    psr_[29] = settings.videoCapability;
    psr_[30] = settings.textSubtitleCapability;
    psr_[31] = settings.profileAndVersion();
    psr_[43] = 0xFFFF;
    psr_[48] = psr_[49] = psr_[50] = 0xFFFFFFFF;
    psr_[61] = 0xFFFF0000;
}

std::vector<std::string> psrDumpLines(const Registers& registers) {
    const auto& psr = registers.psrs();
    std::vector<std::string> lines;
    for (std::uint32_t n = 0; n < kFirstRowDumped; ++n) {
        if (n >= kAlwaysDumped && psr[n] == 0) continue;
        lines.push_back(entryText("PSR", n, psr[n]) + " - " + std::string(psrDescription(n)));
    }
    addRows(lines, "PSR", psr.data(), kFirstRowDumped, kPsrCount, kPsrsPerLine);
    return lines;
}

std::vector<std::string> gprDumpLines(const Registers& registers) {
    std::vector<std::string> lines;
    addRows(lines, "GPR", registers.gprs().data(), 0, kGprCount, kGprsPerLine);
    return lines;
}

void logPsrs(const Registers& registers, Reporter& reporter) {
    for (const std::string& line : psrDumpLines(registers))
        reporter.log(line);
}

void logGprs(const Registers& registers, Reporter& reporter) {
    for (const std::string& line : gprDumpLines(registers))
        reporter.log(line);
}

std::uint32_t psrNumberFromText(std::string_view text) {
    return numberInside(text, kPsrCount);
}

std::uint32_t gprNumberFromText(std::string_view text) {
    return numberInside(text, kGprCount);
}

std::string psrNumberText(std::uint32_t number) {
    return zeroPad(number, 3);
}

std::string gprNumberText(std::uint32_t number) {
    return zeroPad(number, 4);
}

std::string registerValueText(std::uint32_t value) {
    return hexText(value, 8);
}

std::uint32_t registerValueFromText(std::string_view text) {
    return static_cast<std::uint32_t>(hexToNumber(text) & 0xFFFFFFFFu);
}

}  // namespace lumora
