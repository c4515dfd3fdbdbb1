#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "media/file_key.h"
#include "media/media_facts.h"

// The bytes of an open file as the facts reader asks for them: TagLib and the
// footer checks make a dozen or more small reads at both ends of a file, so
// its head and its tail are read once each and every read inside them is
// served from memory. A read elsewhere refills one further block at its
// offset (the frames after a large ID3v2 tag), and a read larger than that
// block goes to the file directly. Memory stays bounded: three buffers of
// fixed size, whatever the file holds.
namespace mv {

struct WindowSizes {
    // One page: the ID3v2 header, TagLib's first 1 KiB search for a frame and
    // the Xing header, behind a tag of up to about 2.5 KiB. Heads of 2 to 8
    // KiB measured alike in bench/media; 16 KiB cost more than it saved.
    std::size_t head = 4 * 1024;
    std::size_t tail = 2 * 1024;  // ID3v1, an APE tag without pictures, Lyrics3 footers
    // Behind a larger tag (cover art) the frames are read through this.
    std::size_t block = 8 * 1024;
};

class FileWindow {
  public:
    // Reads the head and the tail of `fd`, whose size fstat gave as `size`.
    // All-zero sizes make every read a read of the file itself.
    FileWindow(int fd, std::uint64_t size, const WindowSizes& sizes = {});
    FileWindow(const FileWindow&) = delete;
    FileWindow& operator=(const FileWindow&) = delete;

    // Up to `length` bytes from `offset` into `out`; fewer at the end of the
    // file, where a short read or a read error counts as the end. Returns the
    // count. The file's offset is never moved.
    std::size_t Read(std::uint64_t offset, std::size_t length, char* out);
    std::string Bytes(std::uint64_t offset, std::size_t length);

    // The head and the tail as read (either may be empty) and where each
    // starts in the file.
    std::string_view Head() const { return {head_.bytes, head_.filled}; }
    std::string_view Tail() const { return {tail_.bytes, tail_.filled}; }
    std::uint64_t TailStart() const { return tail_.start; }

    int fd() const { return fd_; }
    // The size given, less what turned out unreadable at the end.
    std::uint64_t size() const { return end_; }

  private:
    struct Block {
        std::uint64_t start = 0;
        std::size_t filled = 0;
        char* bytes = nullptr;
        std::size_t capacity = 0;
        bool Holds(std::uint64_t offset, std::size_t length) const {
            return offset >= start && offset - start + length <= filled;
        }
    };
    void Fill(Block& block, std::uint64_t start);

    // The default sizes fit in place: a batch reads thousands of files, and a
    // large allocation for each costs more than the reads it saves.
    static constexpr std::size_t kInPlace = 24 * 1024;

    int fd_;
    std::uint64_t end_;
    char inPlace_[kInPlace];
    std::unique_ptr<char[]> heap_;
    Block head_, tail_, moving_;
};

// ReadMediaFactsKeyed through a window of other sizes: the tests read each
// file with every read going to the file and compare.
MediaFacts ReadMediaFactsWindowed(const std::string& path, bool hashAudio, const WindowSizes& sizes,
                                  FileKey* key);

}  // namespace mv
