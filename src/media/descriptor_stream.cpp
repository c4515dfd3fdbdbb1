#include "media/descriptor_stream.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace mv {

TagLib::ByteVector DescriptorStream::readBlock(unsigned long length) {
    // The size is the one fstat gave: a file growing meanwhile is read as it was.
    const long left = std::max(0L, size_ - position_);
    const unsigned long want = std::min<unsigned long>(length, static_cast<unsigned long>(left));
    TagLib::ByteVector block(static_cast<unsigned int>(want), '\0');
    unsigned long got = 0;
    while (got < want) {
        const ssize_t n = ::pread(fd_, block.data() + got, want - got, position_ + got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // a read error reads as the end of the file
        got += static_cast<unsigned long>(n);
    }
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
