#include "cli/compare_messages.h"

#include <ostream>

namespace mv::cli {

void PrintCompareMessages(const CompareResult& result, int mode, std::ostream& err) {
    const bool closing =
        !result.resultText.empty() && (result.cancelled || mode != kModeSearchList);
    const size_t beforeText = result.messages.size() - (closing ? 1 : 0);
    for (size_t k = 0; k < beforeText; ++k) err << result.messages[k] << '\n';
    if (!result.resultText.empty()) err << result.resultText << '\n';
    for (size_t k = beforeText; k < result.messages.size(); ++k) err << result.messages[k] << '\n';
}

}  // namespace mv::cli
