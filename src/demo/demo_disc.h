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
    int sourcePacketsPerStream = 0;
};

// Writes `dir`/BDMV and everything below it, replacing demo files that are
// there already.  Throws FileError when a file cannot be written.
DemoDiscInfo makeDemoDisc(const std::string& dir);

}  // namespace lumora
