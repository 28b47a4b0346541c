// `lumora-cli menu new` and `lumora-cli menu edit`: a new menu file, and the
// Menu tab's structure edits (pages, BOGs, buttons, the page header, the BOG
// and buttons grids, button commands) made from a command line or a script.
#pragma once

#include <string>
#include <vector>

#include "cli/commands.h"

namespace lumora::cli {

// `args` starts with "new" or "edit".
int runMenuEdit(const std::vector<std::string>& args, Streams io);
bool isMenuEditAction(const std::string& action);

}  // namespace lumora::cli
