// The demo disc: a small, complete synthetic BDMV folder written with the
// project's own writers.  `make run` opens it, and the tests use it as a
// fixture of known content.
#pragma once

#include <string>

namespace lumora {

struct DemoDiscInfo {
    std::string folder;  // the BDMV folder text, ending with "/"
    int titles = 0;
    int movieObjects = 0;
    int playlists = 0;
    int clips = 0;
    int sourcePacketsPerStream = 0;  // the feature clip's stream file
    int menuStreamPackets = 0;       // the menu clip's, which carries the menu too
};

// Writes `dir`/BDMV and everything below it, and `dir`/demo.mnu, replacing
// demo files that are there already.  The menu clip's stream file (00001)
// carries the demo menu as its IG stream on PID 0x1400, cut into transport
// packets by the multiplexer; taken out again it is demo.mnu byte for byte.
// Throws FileError when a file cannot be written.
DemoDiscInfo makeDemoDisc(const std::string& dir);

// Writes the demo's IG menu file: two pages of animated buttons, each page
// with a banner that slides in (a cropped object, then the whole one) and
// fades out.  makeDemoDisc writes it to `dir`/demo.mnu.  Throws FileError.
void makeDemoMenu(const std::string& path);

}  // namespace lumora
