#include "media/file_window.h"

#include <algorithm>
#include <cstring>

#include "media/file_bytes.h"

namespace mv {

FileWindow::FileWindow(int fd, std::uint64_t size, const WindowSizes& sizes) : fd_(fd), end_(size) {
    // Not zeroed: every byte served was read first (Fill sets `filled`).
    const std::size_t total = sizes.head + sizes.tail + sizes.block;
    if (total > kInPlace) heap_ = std::make_unique_for_overwrite<char[]>(total);
    char* storage = heap_ ? heap_.get() : inPlace_;
    head_ = Block{0, 0, storage, sizes.head};
    tail_ = Block{0, 0, storage + sizes.head, sizes.tail};
    moving_ = Block{0, 0, storage + sizes.head + sizes.tail, sizes.block};
    Fill(head_, 0);
    // The tail never overlaps the head: a small file is read in one go.
    const std::uint64_t headEnd = std::min<std::uint64_t>(sizes.head, end_);
    if (end_ > headEnd)
        Fill(tail_, std::max(headEnd, end_ - std::min<std::uint64_t>(sizes.tail, end_)));
}

void FileWindow::Fill(Block& block, std::uint64_t start) {
    block.start = start;
    const std::size_t want =
        start >= end_
            ? 0
            : static_cast<std::size_t>(std::min<std::uint64_t>(block.capacity, end_ - start));
    block.filled = PreadFully(fd_, start, block.bytes, want);
    // What could not be read is read as the end of the file, as a direct
    // read would have found it.
    if (block.filled < want) end_ = start + block.filled;
}

std::size_t FileWindow::Read(std::uint64_t offset, std::size_t length, char* out) {
    if (offset >= end_) return 0;
    length = static_cast<std::size_t>(std::min<std::uint64_t>(length, end_ - offset));
    if (length == 0) return 0;
    for (const Block* block : {&head_, &tail_, &moving_}) {
        if (block->Holds(offset, length)) {
            std::memcpy(out, block->bytes + (offset - block->start), length);
            return length;
        }
    }
    if (length > moving_.capacity) {
        const std::size_t got = PreadFully(fd_, offset, out, length);
        if (got < length) end_ = offset + got;
        return got;
    }
    Fill(moving_, offset);
    const std::size_t got = std::min(length, moving_.filled);
    std::memcpy(out, moving_.bytes, got);
    return got;
}

std::string FileWindow::Bytes(std::uint64_t offset, std::size_t length) {
    std::string bytes(length, '\0');
    bytes.resize(Read(offset, length, bytes.data()));
    return bytes;
}

}  // namespace mv
