// Runs lumora-cli in-process and keeps what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace lumora::cli {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = runCli(args, {out, err});
    return {status, out.str(), err.str()};
}

inline bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace lumora::cli
