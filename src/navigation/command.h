// The 12-byte HDMV navigation command of movie objects and menu buttons: an
// opcode word and two operand words, big-endian in files, and the bit fields
// of the opcode word.
#pragma once

#include <cstdint>
#include <vector>

namespace lumora {

struct TCommand {
    std::uint32_t opcode = 0;
    std::uint32_t destination = 0;
    std::uint32_t source = 0;
    bool operator==(const TCommand&) const = default;
};

using TCommands = std::vector<TCommand>;

inline constexpr std::size_t kCommandSize = 12;

enum class CommandGroup : std::uint8_t { Branch = 0, Compare = 1, Set = 2, Reserved = 3 };

// Opcode word fields.
inline std::uint32_t operandCount(std::uint32_t opcode) { return opcode >> 29; }
inline CommandGroup commandGroup(std::uint32_t opcode) {
    return static_cast<CommandGroup>((opcode >> 27) & 3);
}
inline std::uint32_t commandSubGroup(std::uint32_t opcode) { return (opcode >> 24) & 7; }
inline bool destinationImmediate(std::uint32_t opcode) { return (opcode >> 23) & 1; }
inline bool sourceImmediate(std::uint32_t opcode) { return (opcode >> 22) & 1; }
inline std::uint32_t branchOption(std::uint32_t opcode) { return (opcode >> 16) & 0xF; }
inline std::uint32_t compareOption(std::uint32_t opcode) { return (opcode >> 8) & 0xF; }
inline std::uint32_t setOption(std::uint32_t opcode) { return opcode & 0x1F; }
// The branch, compare or set option, chosen by the group.
inline std::uint32_t commandOption(std::uint32_t opcode) {
    switch (commandGroup(opcode)) {
        case CommandGroup::Branch: return branchOption(opcode);
        case CommandGroup::Compare: return compareOption(opcode);
        case CommandGroup::Set: return setOption(opcode);
        case CommandGroup::Reserved: break;
    }
    return 0;
}

// A register operand: bit 31 set names PSR bits 6..0, else GPR bits 11..0.
struct RegisterOperand {
    bool psr = false;
    std::uint32_t number = 0;
    bool operator==(const RegisterOperand&) const = default;
};
inline RegisterOperand registerOperand(std::uint32_t operand) {
    if (operand & 0x80000000u) return {true, operand & 0x7F};
    return {false, operand & 0xFFF};
}

}  // namespace lumora
