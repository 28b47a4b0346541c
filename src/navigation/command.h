// The 12-byte HDMV navigation command of movie objects and menu buttons: an
// opcode word and two operand words, big-endian in files.
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

}  // namespace lumora
