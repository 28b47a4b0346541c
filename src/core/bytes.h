// Big-endian field reading and writing for every structure file of a disc.
//
// ByteReader is a bounded view over bytes that never reads outside them: a read
// past the end yields zero bytes for what is missing, leaves the position at the
// end and remembers where it first ran out, so a format reader can finish its
// loop and then report a truncated file.  ScratchBuffer is the block a writer
// fills field by field before handing it to the output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

class ByteReader {
public:
    ByteReader() = default;
    // `origin` is the file offset of data[0]; positions and error offsets are
    // reported relative to the whole file, also for sub-readers.
    explicit ByteReader(ByteView data, std::size_t origin = 0) : data_(data), origin_(origin) {}

    std::uint8_t readbyte() { return static_cast<std::uint8_t>(readUnsigned(1)); }
    std::uint16_t readword() { return static_cast<std::uint16_t>(readUnsigned(2)); }
    std::uint32_t read3byte() { return static_cast<std::uint32_t>(readUnsigned(3)); }
    std::uint32_t readlong() { return static_cast<std::uint32_t>(readUnsigned(4)); }
    std::uint64_t read5byte() { return readUnsigned(5); }
    // Exactly n bytes are consumed; the text ends before the first zero byte.
    std::string readstring(std::size_t n);
    // The next k bytes, zero-filled where the data ends.  Callers size k from
    // the bytes left (see fits()) before trusting a count from the file.
    Bytes readbytes(std::size_t k);
    // Everything from the position to the end.
    Bytes readrest();
    void skip(std::size_t n);

    // Takes the next `length` bytes as a reader of their own and advances past
    // them.  When fewer bytes are left the sub-reader gets what there is and
    // this reader records the overrun.
    ByteReader sub(std::size_t length);

    // Position within this view (0 = first byte of the view).
    std::size_t position() const { return pos_; }
    std::size_t size() const { return data_.size(); }
    std::size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ >= data_.size(); }
    // Absolute seek within the view; a target past the end stops at the end and
    // counts as an overrun.
    void seek(std::size_t pos);

    // File offset of the position and of the view's first byte.
    std::size_t fileOffset() const { return origin_ + pos_; }
    std::size_t origin() const { return origin_; }

    // True once any read, skip or seek wanted bytes beyond the end.
    bool overran() const { return overran_; }
    // File offset at which the first overrun began.
    std::size_t overrunOffset() const { return overrunOffset_; }

    // Whether `count` elements of `elementSize` bytes fit in the bytes left.
    bool fits(std::uint64_t count, std::uint64_t elementSize) const;

private:
    std::uint64_t readUnsigned(int width);
    // Marks the overrun and returns how many of `wanted` bytes are available.
    std::size_t take(std::size_t wanted);

    ByteView data_;
    std::size_t origin_ = 0;
    std::size_t pos_ = 0;
    bool overran_ = false;
    std::size_t overrunOffset_ = 0;
};

// The block a writer is building.  Positional writers set fields at a byte
// position of the block, appending writers at the cursor.  Writing outside the
// current size grows the block with zeros rather than corrupting memory.
class ScratchBuffer {
public:
    // Sizes the block to k bytes: new bytes are zero, shrinking keeps the head.
    void size(std::size_t k) { buf_.resize(k); }
    // Sizes the block to k bytes, all zero, and puts the cursor at 0.
    void block(std::size_t k);

    void setbyte(std::uint32_t v, std::size_t p) { setUnsigned(v, p, 1); }
    void setword(std::uint32_t v, std::size_t p) { setUnsigned(v, p, 2); }
    void set3byte(std::uint32_t v, std::size_t p) { setUnsigned(v, p, 3); }
    void setlong(std::uint32_t v, std::size_t p) { setUnsigned(v, p, 4); }
    void set5byte(std::uint64_t v, std::size_t p) { setUnsigned(v, p, 5); }
    void settext(std::string_view text, std::size_t p, std::size_t n);
    void setbytes(ByteView bytes, std::size_t p);

    void setCursor(std::size_t c) { cursor_ = c; }
    std::size_t cursor() const { return cursor_; }
    void addbyte(std::uint32_t v) { addUnsigned(v, 1); }
    void addword(std::uint32_t v) { addUnsigned(v, 2); }
    void add3byte(std::uint32_t v) { addUnsigned(v, 3); }
    void addlong(std::uint32_t v) { addUnsigned(v, 4); }
    void add5byte(std::uint64_t v) { addUnsigned(v, 5); }
    void addtext(std::string_view text, std::size_t n);
    void addbytes(ByteView bytes);

    std::size_t length() const { return buf_.size(); }
    ByteView bytes() const { return buf_; }
    // The first k bytes of the block (k is clamped to the block's size).
    ByteView first(std::size_t k) const;

private:
    void ensure(std::size_t end);
    void setUnsigned(std::uint64_t v, std::size_t p, int width);
    void addUnsigned(std::uint64_t v, int width);

    Bytes buf_;
    std::size_t cursor_ = 0;
};

// Appends a k-byte big-endian integer to a byte vector (for writers that build
// a whole file in memory).
void appendBigEndian(Bytes& out, std::uint64_t v, int width);

}  // namespace lumora
