// Menus taken out of stream files: the interactive graphics stream of a PID
// is saved as a menu file by the demultiplexer (menu mode, one log line per
// PES packet) and that file is read with the menu reader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "menu/menu_model.h"
#include "navigation/read_outcome.h"
#include "stream/demux.h"

namespace lumora {

// The IG PID a stream file's menu is taken from unless one is chosen.
inline constexpr std::uint16_t kDefaultMenuPid = 0x1400;

// The system temporary folder + "/Lumora_MENU.tmp": where "-> M&enu" and
// "Load" of a stream file save the menu before reading it.
std::string streamMenuTempPath();

// A stream file name: ".m2ts" or ".MTS" (as a disc names them, in either case).
bool hasStreamExtension(std::string_view path);
// Whether a file starts with source packets: the sync byte at byte 4 of its
// first packet, and of its second when the file holds one.  False for a file
// that cannot be read.
bool startsWithSourcePackets(const std::string& path);

// Saves the IG stream `pid` of `streamPath` as the menu file `menuPath`: the
// demultiplexer in menu mode, one log line per PES packet.  For callers that
// read the menu file themselves (the Menu tab's "Load" of a stream file).
// The cancel request is not cleared here.  Throws FileError.
DemuxResult extractMenuFile(const std::string& streamPath, std::uint16_t pid, Reporter& reporter,
                            const std::string& menuPath = streamMenuTempPath());

struct StreamMenuResult {
    DemuxResult demux;
    ReadOutcome outcome;  // the menu reader's (not run after a Cancel)
    bool cancelled() const { return demux.cancelled; }
};

// extractMenuFile, then the menu file read into `menu` with loadMNU (which
// keeps that file open as the menu's resource).  A Cancel during the
// demultiplexing leaves `menu` untouched.  The cancel request is not cleared
// here (a caller in progress mode has that done).  Throws FileError when a
// file cannot be read or written.
StreamMenuResult loadMenuFromStream(const std::string& streamPath, std::uint16_t pid, TIGMenu& menu,
                                    Reporter& reporter,
                                    const std::string& menuPath = streamMenuTempPath());

}  // namespace lumora
