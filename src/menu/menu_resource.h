// Where the raw payloads of a loaded menu lie: the ICS page data and the RLE
// data of every object, which the fragment records point into.
//
// After loading a file the resource is that file, kept open and read on
// demand: loading then touches only the segment headers, however much object
// data the menu holds, and a menu never keeps its RLE data in memory twice.
// Menus parsed from bytes, and menus after a save, hold their bytes in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/bytes.h"

namespace lumora {

class MenuResource {
public:
    MenuResource() = default;
    explicit MenuResource(Bytes bytes);
    // Opens a file for reading; throws FileError when it cannot be opened or
    // is no regular file.  The open file stays valid when the path is later
    // replaced by a save.
    static MenuResource openFile(const std::string& path);

    std::uint64_t size() const;
    // Copies up to `length` bytes from `position` to `out`; returns how many
    // there were (fewer at the end, or when the file shrank since it was
    // opened).
    std::size_t read(std::uint64_t position, std::uint8_t* out, std::size_t length) const;
    // The same into a new buffer of the bytes read.
    Bytes read(std::uint64_t position, std::size_t length) const;
    // The bytes when they are held in memory (decoders read them in place);
    // null for a file.
    const Bytes* memory() const { return bytes_.get(); }

private:
    class File;
    std::shared_ptr<const Bytes> bytes_;
    std::shared_ptr<const File> file_;
};

}  // namespace lumora
