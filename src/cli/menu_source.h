// Menus named on the command line: a menu file (.mnu), or a stream file whose
// interactive graphics stream is taken out first.  Every `lumora-cli menu`
// subcommand loads its FILE argument through loadMenuArgument.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/report.h"
#include "menu/menu_model.h"
#include "navigation/read_outcome.h"

namespace lumora::cli {

// A PID given on the command line: hexadecimal with "0x" (0x1400) or decimal
// (5120); nothing for another text or a PID above 0x1FFF.
std::optional<std::uint16_t> parsePidArgument(std::string_view text);

// An id as the listings and grids show it: 1 to `digits` hexadecimal digits,
// with an optional "0x" or "$".
std::optional<std::uint32_t> parseHexArgument(std::string_view text, std::size_t digits);

// Whether the file is taken as a stream file: its name ends in .m2ts or .MTS
// (either case), or it starts with 192-byte source packets.
bool isStreamFileArgument(const std::string& path);

// Loads the menu of FILE into `menu`.  A menu file is read with loadMNU; a
// stream file has its IG stream `pid` (0x1400 when not given) saved as a
// temporary menu file first (the demultiplexer's per-PES log lines go to the
// reporter), which is read and then removed (the menu keeps it open as its
// resource).  `pid` is ignored for a menu file.  Throws FileError when a file
// cannot be read or the temporary file cannot be written.
ReadOutcome loadMenuArgument(const std::string& path, std::optional<std::uint16_t> pid,
                             TIGMenu& menu, Reporter& reporter);

}  // namespace lumora::cli
