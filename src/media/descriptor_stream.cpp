#include "media/descriptor_stream.h"

#include <algorithm>

#include "media/file_window.h"

namespace mv {

// The size is the one fstat gave: a file growing meanwhile is read as it was.
DescriptorStream::DescriptorStream(FileWindow& file)
    : file_(file), size_(static_cast<long>(file.size())) {}

TagLib::ByteVector DescriptorStream::readBlock(unsigned long length) {
    const long left = std::max(0L, size_ - position_);
    const unsigned long want = std::min<unsigned long>(length, static_cast<unsigned long>(left));
    TagLib::ByteVector block(static_cast<unsigned int>(want), '\0');
    // A read error reads as the end of the file.
    const std::size_t got = file_.Read(static_cast<std::uint64_t>(position_), want, block.data());
    block.resize(static_cast<unsigned int>(got));
    position_ += static_cast<long>(got);
    return block;
}

void DescriptorStream::seek(long offset, Position p) {
    long base = 0;
    if (p == Current) base = position_;
    if (p == End) base = size_;
    position_ = std::max(0L, base + offset);
}

}  // namespace mv
