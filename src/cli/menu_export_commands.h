// `lumora-cli menu export-object` and `lumora-cli menu export-palette`: an
// object as the 8-bit palette PNG `menu edit`'s import-object takes back,
// and a palette as a ".pxml" definition or an ".act" colour table.
#pragma once

#include <string>
#include <vector>

#include "cli/commands.h"

namespace lumora::cli {

// `args` starts with "export-object" or "export-palette".
int runMenuExport(const std::vector<std::string>& args, Streams io);
bool isMenuExportAction(const std::string& action);

}  // namespace lumora::cli
