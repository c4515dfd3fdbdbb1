#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

// Flat arrays of plain values one after another, as the persisted catalogue
// index keeps its tables: each array is its element count (8 bytes) and its
// bytes, padded to 8. The reader never reads past its bytes and refuses a
// count the rest cannot hold, so damaged input ends in `false`, never in a
// read out of bounds; what the values mean is checked by whoever takes them.
namespace mv {

class BlobWriter {
  public:
    // `front` zero bytes lead the arrays: room for a header written later.
    explicit BlobWriter(size_t front = 0) : bytes_(front, '\0') {}

    template <typename T>
    void Put(const std::vector<T>& values) {
        static_assert(std::is_trivially_copyable_v<T>);
        PutCount(values.size());
        const size_t at = bytes_.size();
        bytes_.resize(at + Padded(values.size() * sizeof(T)), '\0');
        if (!values.empty())
            std::memcpy(bytes_.data() + at, values.data(), values.size() * sizeof(T));
    }
    void PutCount(uint64_t value) {
        bytes_.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    const std::string& Bytes() const { return bytes_; }
    std::string Release() { return std::move(bytes_); }

  private:
    static size_t Padded(size_t n) { return (n + 7) & ~size_t{7}; }
    std::string bytes_;
};

class BlobReader {
  public:
    explicit BlobReader(std::span<const char> bytes) : bytes_(bytes) {}

    template <typename T>
    bool Take(std::vector<T>& values) {
        static_assert(std::is_trivially_copyable_v<T>);
        uint64_t count = 0;
        if (!TakeCount(count) || count > (bytes_.size() - at_) / sizeof(T)) return false;
        const size_t size = static_cast<size_t>(count) * sizeof(T);
        const size_t padded = (size + 7) & ~size_t{7};
        if (padded > bytes_.size() - at_) return false;
        values.resize(static_cast<size_t>(count));
        if (size > 0) std::memcpy(values.data(), bytes_.data() + at_, size);
        at_ += padded;
        return true;
    }
    // The next array where it lies, without copying it: a loaded index
    // reads tens of megabytes of arrays it uses once, and fresh memory to
    // copy them into costs more than the reading. Bytes not aligned for T
    // (never so in a mapped file, whose arrays start at multiples of 8) are
    // copied into `spare` instead. `out` lives as long as the bytes (or spare).
    template <typename T>
    bool View(std::span<const T>& out, std::vector<T>& spare) {
        static_assert(std::is_trivially_copyable_v<T> && alignof(T) <= 8);
        const size_t at = at_ + sizeof(uint64_t);
        if (at > bytes_.size() ||
            reinterpret_cast<uintptr_t>(bytes_.data() + at) % alignof(T) != 0) {
            if (!Take(spare)) return false;
            out = spare;
            return true;
        }
        uint64_t count = 0;
        if (!TakeCount(count) || count > (bytes_.size() - at_) / sizeof(T)) return false;
        const size_t padded = (static_cast<size_t>(count) * sizeof(T) + 7) & ~size_t{7};
        if (padded > bytes_.size() - at_) return false;
        out = {reinterpret_cast<const T*>(bytes_.data() + at_), static_cast<size_t>(count)};
        at_ += padded;
        return true;
    }
    // Passes over one array of `elementSize`-byte values.
    bool Skip(size_t elementSize) {
        uint64_t count = 0;
        if (!TakeCount(count) || count > (bytes_.size() - at_) / elementSize) return false;
        const size_t padded = (static_cast<size_t>(count) * elementSize + 7) & ~size_t{7};
        if (padded > bytes_.size() - at_) return false;
        at_ += padded;
        return true;
    }
    bool TakeCount(uint64_t& value) {
        if (bytes_.size() - at_ < sizeof value) return false;
        std::memcpy(&value, bytes_.data() + at_, sizeof value);
        at_ += sizeof value;
        return true;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }

  private:
    std::span<const char> bytes_;
    size_t at_ = 0;
};

// Whether `offsets` rises from 0 to `end` without falling: the layout of
// every "item k's values are at offsets[k]..offsets[k+1]" table.
template <typename T>
bool OffsetsValid(std::span<const T> offsets, size_t items, size_t end) {
    if (offsets.size() != items + 1 || offsets.front() != 0 || offsets.back() != end) return false;
    for (size_t k = 0; k < items; ++k) {
        if (offsets[k] > offsets[k + 1]) return false;
    }
    return true;
}

// Whether every value is below `bound`.
template <typename T>
bool AllBelow(std::span<const T> values, uint64_t bound) {
    for (const T v : values) {
        if (static_cast<uint64_t>(v) >= bound) return false;
    }
    return true;
}

template <typename T>
bool OffsetsValid(const std::vector<T>& offsets, size_t items, size_t end) {
    return OffsetsValid(std::span<const T>(offsets), items, end);
}
template <typename T>
bool AllBelow(const std::vector<T>& values, uint64_t bound) {
    return AllBelow(std::span<const T>(values), bound);
}

}  // namespace mv
