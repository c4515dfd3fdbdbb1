#include "dupes/candidate_index.h"

namespace mv {
namespace {

// Every reference is a candidate: the plain all-pairs loop.
class AllPairs final : public CandidateIndex {
public:
    explicit AllPairs(uint32_t count) : count_(count) {}
    void Candidates(const PreparedName&, uint32_t from, std::vector<uint32_t>& out) const override {
        for (uint32_t j = from; j < count_; ++j) out.push_back(j);
    }

private:
    uint32_t count_;
};

}  // namespace

std::unique_ptr<CandidateIndex> CandidateIndex::Build(const std::vector<PreparedName>& refs, int) {
    return std::make_unique<AllPairs>(static_cast<uint32_t>(refs.size()));
}

}  // namespace mv
