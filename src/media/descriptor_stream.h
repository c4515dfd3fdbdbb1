#pragma once

#include <taglib/tiostream.h>

#include <cstdint>

// TagLib's view of a file already open: it reads through the caller's
// descriptor with pread, so TagLib sees the very file that was checked to be
// regular (no second open by name that a rename could redirect), never moves
// the descriptor's offset and never writes.
namespace mv {

class DescriptorStream : public TagLib::IOStream {
  public:
    DescriptorStream(int fd, std::uint64_t size) : fd_(fd), size_(static_cast<long>(size)) {}

    TagLib::FileName name() const override { return ""; }
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long = 0, unsigned long = 0) override {}
    void removeBlock(unsigned long = 0, unsigned long = 0) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position p = Beginning) override;
    long tell() const override { return position_; }
    long length() override { return size_; }
    void truncate(long) override {}

  private:
    int fd_;
    long size_;
    long position_ = 0;
};

}  // namespace mv
