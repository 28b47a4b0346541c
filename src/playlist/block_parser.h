// The first problem of a block-by-block parse: readers stop at it and report
// the file, the field and the byte offset.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/bytes.h"
#include "core/text.h"
#include "navigation/read_outcome.h"

namespace lumora {

class Parser {
public:
    explicit Parser(std::string_view name) : name_(name) {}

    bool failed() const { return outcome_.has_value(); }
    ReadOutcome outcome() const { return outcome_.value_or(ReadOutcome{}); }

    // A block read through its own sub-reader must lie inside its enclosing
    // reader (the file or a block) and its fields inside the block.
    bool check(const ByteReader& outer, const ByteReader& block, const std::string& field,
               std::string_view outerName = "the file") {
        if (failed()) return false;
        if (outer.overran()) {
            fail(field + " runs past the end of " + std::string(outerName), outer.overrunOffset());
        } else if (block.overran()) {
            fail(field + " does not fit its length", block.overrunOffset());
        }
        return !failed();
    }

    // A count read from the file must leave room for its elements.
    bool fits(const ByteReader& r, std::uint64_t count, std::uint64_t size,
              const std::string& field) {
        if (failed()) return false;
        if (!r.fits(count, size)) {
            fail(field + " count " + std::to_string(count) + " runs past its block",
                 r.fileOffset());
        }
        return !failed();
    }

    void fail(const std::string& what, std::size_t offset) {
        if (failed()) return;
        outcome_ = ReadOutcome{ReadStatus::Truncated, offset,
                               std::string(name_) + ": " + what + " at $" + hexText(offset, 8)};
    }

private:
    std::string_view name_;
    std::optional<ReadOutcome> outcome_;
};

}  // namespace lumora
