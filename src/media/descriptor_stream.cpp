#include "media/descriptor_stream.h"

#include <algorithm>

#include "media/file_window.h"

namespace mv {

namespace {

TagLib::ByteVector Copy(std::string_view bytes) {
    return TagLib::ByteVector(bytes.data(), static_cast<unsigned int>(bytes.size()));
}

}  // namespace

// The size is the one fstat gave: a file growing meanwhile is read as it was.
DescriptorStream::DescriptorStream(FileWindow& file)
    : file_(file),
      size_(static_cast<long>(file.size())),
      head_(Copy(file.Head())),
      tail_(Copy(file.Tail())),
      tailStart_(static_cast<long>(file.TailStart())) {}

bool DescriptorStream::Within(const TagLib::ByteVector& part, long start,
                              unsigned long want) const {
    return position_ >= start &&
           static_cast<unsigned long>(position_ - start) + want <= part.size();
}

TagLib::ByteVector DescriptorStream::readBlock(unsigned long length) {
    const long left = std::max(0L, size_ - position_);
    const auto want = static_cast<unsigned int>(
        std::min<unsigned long>(length, static_cast<unsigned long>(left)));
    const long at = position_;
    if (want > 0 && Within(head_, 0, want)) {
        position_ += want;
        return TagLib::ByteVector(head_, static_cast<unsigned int>(at), want);
    }
    if (want > 0 && Within(tail_, tailStart_, want)) {
        position_ += want;
        return TagLib::ByteVector(tail_, static_cast<unsigned int>(at - tailStart_), want);
    }
    TagLib::ByteVector block(want, '\0');
    // A read error reads as the end of the file.
    block.resize(
        static_cast<unsigned int>(file_.Read(static_cast<std::uint64_t>(at), want, block.data())));
    position_ += static_cast<long>(block.size());
    return block;
}

void DescriptorStream::seek(long offset, Position p) {
    long base = 0;
    if (p == Current) base = position_;
    if (p == End) base = size_;
    position_ = std::max(0L, base + offset);
}

}  // namespace mv
