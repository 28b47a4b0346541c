// `lumora-cli menu render` and `lumora-cli menu simulate`: a menu page as a
// player shows it after "Start" and a list of keys, as a PNG file or as the
// registers, shown buttons and commands of each step.
#pragma once

#include <string>
#include <vector>

#include "cli/commands.h"

namespace lumora::cli {

// `args` starts with "render" or "simulate".
int runMenuPlay(const std::vector<std::string>& args, Streams io);
bool isMenuPlayAction(const std::string& action);

}  // namespace lumora::cli
