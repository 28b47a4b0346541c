// `dump` and `rewrite` of structure files: each format knows its magic, how
// to print itself as text records and grid rows or as JSON, and how to write
// itself back with the program's own writer.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <string_view>

#include "core/bytes.h"
#include "navigation/read_outcome.h"

namespace lumora::cli {

// A structure file read into its model, ready to print or write.
class LoadedStructure {
public:
    virtual ~LoadedStructure() = default;
    virtual void printText(std::ostream& out) const = 0;
    virtual nlohmann::ordered_json toJson() const = 0;
    virtual Bytes bytes() const = 0;
    // What a format the program only reads calls its files ("BD-J object
    // files"): `rewrite` refuses them.  Empty for the formats it writes.
    virtual std::string readOnlyKind() const { return {}; }
};

struct LoadResult {
    ReadOutcome outcome;
    std::unique_ptr<LoadedStructure> structure;  // null when nothing could be read
    std::string format;                          // "index", "movie_objects", ...
};

// Reads a structure file of any known format; an unknown magic gives a null
// structure and a message.
LoadResult loadStructure(ByteView data, std::string_view name);

}  // namespace lumora::cli
