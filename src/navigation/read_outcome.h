// How a structure file reader ended.  The reader reports through the log; the
// outcome lets the views and the command line decide what to enable.
#pragma once

#include <cstddef>
#include <string>

namespace lumora {

enum class ReadStatus {
    Good,
    BadFormat,      // wrong type indicator or version
    Truncated,      // the data ends inside a structure; what was read is kept
    TooManyTitles,  // an index with more than 999 titles; nothing was taken
};

struct ReadOutcome {
    ReadStatus status = ReadStatus::Good;
    std::size_t offset = 0;  // file offset where the problem was found
    std::string message;     // the error text, naming the file, the field and the offset
    bool good() const { return status == ReadStatus::Good; }
};

}  // namespace lumora
