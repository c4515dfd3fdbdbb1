#pragma once

#include <iosfwd>

#include "dupes/compare_engine.h"

namespace mv::cli {

// A comparison's messages and result text on `err`, the result text before the
// closing "Comparison ..." message, the way the window shows its label before
// the box.
void PrintCompareMessages(const CompareResult& result, int mode, std::ostream& err);

}  // namespace mv::cli
