#include <ostream>

#include "cli/commands.h"

namespace lumora::cli {

int runExec(const std::vector<std::string>&, Streams io) {
    io.err << "lumora-cli: this command is not built yet\n";
    return 1;
}

}  // namespace lumora::cli
