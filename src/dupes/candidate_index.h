#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dupes/index_blob.h"
#include "dupes/name_matcher.h"

namespace mv {

// Narrows a comparison to the pairs that can match. Built once over the
// reference names (they play `first` in NamesMatch, the probe plays `second`);
// for a probe it yields every reference that may match at the percentage, and
// usually few others. The caller still runs PreparedNamesMatch on each.
class CandidateIndex {
  public:
    // Built on up to `threads` threads.
    static std::unique_ptr<CandidateIndex> Build(const std::vector<PreparedName>& refs, int percent,
                                                 unsigned threads = 1);
    virtual ~CandidateIndex() = default;

    // Appends to `out`, in ascending order, every index j >= from for which
    // PreparedNamesMatch(refs[j], probe, percent) may hold. Never leaves out a match.
    virtual void Candidates(const PreparedName& probe, uint32_t from,
                            std::vector<uint32_t>& out) const = 0;
    // The same as Candidates(refs[j], from, out) for the index's own reference
    // j, which a comparison of names with themselves probes with: its word
    // ids are known, so none is looked up.
    virtual void CandidatesOfRef(uint32_t j, uint32_t from, std::vector<uint32_t>& out) const {
        Candidates(Ref(j), from, out);
    }

    // Only the word index (percentages 1..101) is worth keeping between runs;
    // the others are built in no time. Save is false for them.
    virtual bool Save(BlobWriter&) const { return false; }
    // An index Save wrote at `percent`; nullptr when the arrays are no such
    // index (damaged or another percentage), never a half-checked one. The
    // index reads `in`'s bytes as long as it lives: it holds on to `bytes`,
    // which keeps them.
    static std::unique_ptr<CandidateIndex> Load(BlobReader& in, int percent,
                                                std::shared_ptr<const void> bytes);
    // For an index Save can write: the number of references, and reference j
    // as Build was given it, so a loaded index needs no prepared names.
    virtual uint32_t Count() const { return 0; }
    virtual PreparedName Ref(uint32_t j) const;
};

}  // namespace mv
