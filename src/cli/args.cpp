#include "cli/args.h"

namespace lumora::cli {

Args::Args(const std::vector<std::string>& args, std::set<std::string> flags,
           std::set<std::string> options) {
    flags.insert("--help");
    bool onlyPositional = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyPositional || arg.size() < 2 || arg[0] != '-') {
            positional_.push_back(arg);
        } else if (arg == "--") {
            onlyPositional = true;
        } else if (arg == "-h" || flags.count(arg)) {
            flags_.insert(arg == "-h" ? "--help" : arg);
        } else if (options.count(arg)) {
            if (i + 1 >= args.size()) {
                error_ = "option " + arg + " needs a value";
                return;
            }
            values_[arg] = args[++i];
        } else {
            error_ = "unknown option " + arg;
            return;
        }
    }
}

std::optional<std::string> Args::value(const std::string& option) const {
    const auto it = values_.find(option);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

}  // namespace lumora::cli
