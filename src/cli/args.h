// A small argument parser shared by the subcommands: known flags, options with
// a value, and positional arguments; "--" ends the options.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace lumora::cli {

class Args {
public:
    // `flags` take no value, `options` take the next argument as their value.
    Args(const std::vector<std::string>& args, std::set<std::string> flags,
         std::set<std::string> options = {});

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    bool has(const std::string& flag) const { return flags_.count(flag) > 0; }
    std::optional<std::string> value(const std::string& option) const;
    const std::vector<std::string>& positional() const { return positional_; }

private:
    std::set<std::string> flags_;
    std::map<std::string, std::string> values_;
    std::vector<std::string> positional_;
    std::string error_;
};

}  // namespace lumora::cli
