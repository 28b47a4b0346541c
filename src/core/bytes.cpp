#include "core/bytes.h"

#include <algorithm>
#include <cstring>

namespace lumora {

std::size_t ByteReader::take(std::size_t wanted) {
    const std::size_t available = remaining();
    if (wanted <= available) return wanted;
    if (!overran_) {
        overran_ = true;
        overrunOffset_ = origin_ + pos_;
    }
    return available;
}

std::uint64_t ByteReader::readUnsigned(int width) {
    const std::size_t have = take(static_cast<std::size_t>(width));
    std::uint64_t value = 0;
    for (int i = 0; i < width; ++i) {
        const std::size_t index = static_cast<std::size_t>(i);
        value = (value << 8) | (index < have ? data_[pos_ + index] : 0u);
    }
    pos_ += have;
    return value;
}

std::string ByteReader::readstring(std::size_t n) {
    const std::size_t have = take(n);
    const auto* begin = data_.data() + pos_;
    const auto* end = std::find(begin, begin + have, std::uint8_t{0});
    pos_ += have;
    return std::string(begin, end);
}

Bytes ByteReader::readbytes(std::size_t k) {
    const std::size_t have = take(k);
    Bytes out(k, 0);
    if (have > 0) std::memcpy(out.data(), data_.data() + pos_, have);
    pos_ += have;
    return out;
}

Bytes ByteReader::readrest() {
    Bytes out(data_.begin() + static_cast<std::ptrdiff_t>(pos_), data_.end());
    pos_ = data_.size();
    return out;
}

void ByteReader::skip(std::size_t n) {
    pos_ += take(n);
}

ByteReader ByteReader::sub(std::size_t length) {
    const std::size_t have = take(length);
    ByteReader inner(data_.subspan(pos_, have), origin_ + pos_);
    pos_ += have;
    return inner;
}

void ByteReader::seek(std::size_t pos) {
    if (pos > data_.size()) {
        if (!overran_) {
            overran_ = true;
            overrunOffset_ = origin_ + pos;
        }
        pos = data_.size();
    }
    pos_ = pos;
}

bool ByteReader::fits(std::uint64_t count, std::uint64_t elementSize) const {
    if (elementSize == 0) return true;
    return count <= remaining() / elementSize;
}

void ScratchBuffer::block(std::size_t k) {
    buf_.assign(k, 0);
    cursor_ = 0;
}

void ScratchBuffer::ensure(std::size_t end) {
    if (end > buf_.size()) buf_.resize(end, 0);
}

void ScratchBuffer::setUnsigned(std::uint64_t v, std::size_t p, int width) {
    ensure(p + static_cast<std::size_t>(width));
    for (int i = 0; i < width; ++i) {
        buf_[p + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(v >> (8 * (width - 1 - i)));
    }
}

void ScratchBuffer::addUnsigned(std::uint64_t v, int width) {
    setUnsigned(v, cursor_, width);
    cursor_ += static_cast<std::size_t>(width);
}

void ScratchBuffer::settext(std::string_view text, std::size_t p, std::size_t n) {
    ensure(p + n);
    std::fill_n(buf_.begin() + static_cast<std::ptrdiff_t>(p), n, std::uint8_t{0});
    const std::size_t count = std::min(n, text.size());
    if (count > 0) std::memcpy(buf_.data() + p, text.data(), count);
}

void ScratchBuffer::setbytes(ByteView bytes, std::size_t p) {
    ensure(p + bytes.size());
    if (!bytes.empty()) std::memcpy(buf_.data() + p, bytes.data(), bytes.size());
}

void ScratchBuffer::addtext(std::string_view text, std::size_t n) {
    settext(text, cursor_, n);
    cursor_ += n;
}

void ScratchBuffer::addbytes(ByteView bytes) {
    setbytes(bytes, cursor_);
    cursor_ += bytes.size();
}

ByteView ScratchBuffer::first(std::size_t k) const {
    return ByteView(buf_).first(std::min(k, buf_.size()));
}

void appendBigEndian(Bytes& out, std::uint64_t v, int width) {
    for (int i = width - 1; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace lumora
