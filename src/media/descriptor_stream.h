#pragma once

#include <taglib/tbytevector.h>
#include <taglib/tiostream.h>

// TagLib's view of a file already open: it reads through the caller's
// window on its descriptor, so TagLib sees the very file that was checked to
// be regular (no second open by name that a rename could redirect), its many
// small reads at either end cost no system call each, the descriptor's offset
// never moves and nothing is written.
namespace mv {

class FileWindow;

class DescriptorStream : public TagLib::IOStream {
  public:
    explicit DescriptorStream(FileWindow& file);

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
    // Whether [position_, position_ + want) lies in `part` at `start`.
    bool Within(const TagLib::ByteVector& part, long start, unsigned long want) const;

    FileWindow& file_;
    long size_;
    long position_ = 0;
    // The window's head and tail once more, as TagLib's own type: the blocks
    // read from them share their bytes (TagLib makes each block with several
    // allocations, its reading of a file makes dozens).
    TagLib::ByteVector head_, tail_;
    long tailStart_ = 0;
};

}  // namespace mv
