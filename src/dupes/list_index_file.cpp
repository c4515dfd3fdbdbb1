#include "dupes/list_index_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "dupes/index_word_relation.h"
#include "media/facts_batch.h"
#include "platform/file_ops.h"
#include "platform/owned_fd.h"

namespace mv {
namespace {

constexpr char kMagic[8] = {'M', 'V', 'L', 'S', 'T', 'I', 'D', 'X'};
constexpr uint32_t kVersion = 1;

struct Header {
    char magic[8];
    uint32_t version;
    uint32_t percent;
    uint64_t keyLow;
    uint64_t keyHigh;
    uint64_t lineCount;
    uint64_t hashProbe;
    uint64_t bodySize;
    uint64_t bodyChecksum;
};
static_assert(sizeof(Header) == 64);

Header HeaderFor(const ListKey& key, size_t lineCount, int percent) {
    Header h{};
    std::memcpy(h.magic, kMagic, sizeof kMagic);
    h.version = kVersion;
    h.percent = static_cast<uint32_t>(percent);
    h.keyLow = key.low;
    h.keyHigh = key.high;
    h.lineCount = lineCount;
    h.hashProbe = WordRelation::HashProbe();
    return h;
}

// The file's bytes, read into memory once its header names this very index:
// a mapping would let another program that truncates the file meanwhile kill
// the run with SIGBUS, and a foreign or stale file is never read through.
// Empty when it cannot be read, is not a regular file, or is not that index.
class IndexFileBytes {
  public:
    IndexFileBytes(const std::filesystem::path& file, const Header& wanted) {
        const OwnedFd fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        Header h{};
        if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
            static_cast<size_t>(st.st_size) < sizeof h ||
            !ReadAt(fd.get(), reinterpret_cast<char*>(&h), sizeof h, 0)) {
            return;
        }
        if (std::memcmp(h.magic, wanted.magic, sizeof h.magic) != 0 ||
            h.version != wanted.version || h.percent != wanted.percent ||
            h.keyLow != wanted.keyLow || h.keyHigh != wanted.keyHigh ||
            h.lineCount != wanted.lineCount || h.bodySize != st.st_size - sizeof h) {
            return;
        }
        const auto size = static_cast<size_t>(st.st_size);
        auto data = std::unique_ptr<char[]>(new char[size]);
        if (!ReadAt(fd.get(), data.get(), size, 0)) return;
        data_ = std::move(data);
        size_ = size;
    }
    std::span<const char> Bytes() const { return {data_.get(), size_}; }

  private:
    static bool ReadAt(int fd, char* out, size_t length, off_t offset) {
        size_t done = 0;
        while (done < length) {
            const ssize_t n = ::pread(fd, out + done, length - done, offset + done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;  // cut meanwhile: not the index the header promised
            done += static_cast<size_t>(n);
        }
        return true;
    }

    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
};

}  // namespace

ListKey KeyOfLines(const std::vector<std::string>& lines) {
    XXH3_state_t* state = XXH3_createState();
    if (state == nullptr) throw std::bad_alloc();
    XXH3_128bits_reset(state);
    // Short lines are gathered first: one update per line would cost more
    // than the hashing itself. A long line goes straight in, after what was
    // gathered before it.
    constexpr size_t kChunk = 1 << 16;
    std::string chunk;
    chunk.reserve(kChunk);
    const auto flush = [&] {
        XXH3_128bits_update(state, chunk.data(), chunk.size());
        chunk.clear();
    };
    for (const std::string& line : lines) {
        if (line.size() >= kChunk / 2) {
            flush();
            XXH3_128bits_update(state, line.data(), line.size());
        } else {
            if (chunk.size() + line.size() + 1 > kChunk) flush();
            chunk += line;
        }
        chunk += '\n';
    }
    XXH3_128bits_update(state, chunk.data(), chunk.size());
    const XXH128_hash_t hash = XXH3_128bits_digest(state);
    XXH3_freeState(state);
    return {hash.low64, hash.high64};
}

std::filesystem::path DefaultListIndexFolder() {
    return DefaultFactsCachePath().parent_path();
}

std::filesystem::path ListIndexFile(const std::filesystem::path& folder, int percent) {
    return folder / ("list-index-" + std::to_string(percent) + ".bin");
}

namespace {

// The index in `bytes`, which `owner` keeps for as long as the index lives.
std::unique_ptr<CandidateIndex> ReadIndexIn(std::span<const char> bytes,
                                            std::shared_ptr<const void> owner, const ListKey& key,
                                            size_t lineCount, int percent) {
    if (bytes.size() < sizeof(Header)) return nullptr;
    Header h;
    std::memcpy(&h, bytes.data(), sizeof h);
    Header want = HeaderFor(key, lineCount, percent);
    want.bodySize = bytes.size() - sizeof h;
    want.bodyChecksum = h.bodyChecksum;
    if (std::memcmp(&h, &want, sizeof h) != 0) return nullptr;
    const std::span<const char> body = bytes.subspan(sizeof h);
    if (XXH3_64bits(body.data(), body.size()) != h.bodyChecksum) return nullptr;
    BlobReader reader(body);
    std::unique_ptr<CandidateIndex> index = CandidateIndex::Load(reader, percent, std::move(owner));
    // The count must fit the lines the run holds: rows name lines by it.
    if (index == nullptr || index->Count() != lineCount) return nullptr;
    return index;
}

}  // namespace

std::unique_ptr<CandidateIndex> ReadListIndexBytes(std::span<const char> bytes, const ListKey& key,
                                                   size_t lineCount, int percent) {
    // A copy the index can keep, as far from eight-byte alignment as the
    // caller's bytes: the reader takes either.
    const size_t shift = reinterpret_cast<uintptr_t>(bytes.data()) % 8;
    auto copy = std::make_shared<std::vector<uint64_t>>(bytes.size() / 8 + 2);
    char* at = reinterpret_cast<char*>(copy->data()) + shift;
    if (!bytes.empty()) std::memcpy(at, bytes.data(), bytes.size());
    return ReadIndexIn({at, bytes.size()}, std::move(copy), key, lineCount, percent);
}

std::unique_ptr<CandidateIndex> ReadListIndex(const std::filesystem::path& file, const ListKey& key,
                                              size_t lineCount, int percent) {
    // The bytes stay while the index lives: its postings are read in place.
    auto read = std::make_shared<const IndexFileBytes>(file, HeaderFor(key, lineCount, percent));
    const std::span<const char> bytes = read->Bytes();
    return ReadIndexIn(bytes, std::move(read), key, lineCount, percent);
}

std::string ListIndexBytes(const CandidateIndex& index, const ListKey& key, size_t lineCount,
                           int percent) {
    BlobWriter blob(sizeof(Header));
    if (!index.Save(blob)) return {};
    std::string bytes = blob.Release();
    Header h = HeaderFor(key, lineCount, percent);
    h.bodySize = bytes.size() - sizeof h;
    h.bodyChecksum = XXH3_64bits(bytes.data() + sizeof h, h.bodySize);
    std::memcpy(bytes.data(), &h, sizeof h);
    return bytes;
}

bool WriteListIndex(const std::filesystem::path& file, const CandidateIndex& index,
                    const ListKey& key, size_t lineCount, int percent, uint64_t sizeLimit) {
    // The place first: where none can be had, the bytes are never made.
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::string tmp = file.string() + ".XXXXXX";
    OwnedFd fd(::mkostemp(tmp.data(), O_CLOEXEC));
    if (fd.get() < 0) return false;
    const std::string bytes = ListIndexBytes(index, key, lineCount, percent);
    if (bytes.empty() || bytes.size() > sizeLimit) {
        RemoveOwnTemporaryFile(tmp);
        return false;
    }
    if (WriteAllBytes(fd.get(), bytes) != 0 || !fd.Close()) {
        RemoveOwnTemporaryFile(tmp);
        return false;
    }
    // The old index goes first: a reader finds the old file, none or the new
    // one, never a part. When another run put its index there meanwhile, that
    // one stays.
    RemoveOwnTemporaryFile(file.string());
    if (RenameNoReplace(tmp, file.string()) != 0) {
        RemoveOwnTemporaryFile(tmp);
        return false;
    }
    return true;
}

}  // namespace mv
