// The settings reader: bytes -> lines -> INI document -> settings, and the
// settings written back. Writing and reading again must keep every value, and
// a second round must change nothing more.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/ini_file.h"
#include "app/settings.h"
#include "fuzz_files.h"
#include "platform/text_lines.h"

namespace {

bool SameValues(const mv::Settings& a, const mv::Settings& b) {
    return a.shuffle == b.shuffle && a.recCompare == b.recCompare && a.minimize == b.minimize &&
           a.versionCheck == b.versionCheck && a.recPlaylist == b.recPlaylist &&
           a.percentage == b.percentage && a.extension == b.extension &&
           a.displayMode == b.displayMode && a.listCount == b.listCount && a.server == b.server &&
           a.eqEnabled == b.eqEnabled && a.bars == b.bars;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto lines = mv::SplitLines(bytes);

    const mv::Settings first = mv::ParseSettings(mv::ParseIni(lines));
    const auto written = mv::FormatSettings(first);
    const mv::Settings second = mv::ParseSettings(mv::ParseIni(written));
    FUZZ_CHECK(SameValues(first, second));
    FUZZ_CHECK(mv::FormatSettings(second) == written);

    // The file reader gives the same settings (an odd input only, to keep runs fast).
    if (size % 8 == 1) {
        const auto read = mv::ReadSettings(WriteFuzzFile("Mp3Vandrel.ini", bytes));
        FUZZ_CHECK(read.fileFound && read.readError.empty());
        FUZZ_CHECK(SameValues(read.settings, first));
    }
    return 0;
}
