#include "catalogue/name_case.h"

#include "platform/text_encoding.h"

namespace mv {
namespace {

char32_t FoldCodePoint(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c == 0x178) return 0xFF;  // Ÿ
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs upper and lower case, even/odd, with the run
        // 0x139..0x148 and 0x179..0x17E shifted by one, and a few loners.
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool loner = c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F;
        if (loner) return c;
        if (oddUpper) return (c % 2 == 1) ? c + 1 : c;
        return (c % 2 == 0) ? c + 1 : c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;  // Greek
    if (c == 0x3C2) return 0x3C3;                                 // final sigma
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return c + 0x25;
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return c + 0x3F;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;  // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

}  // namespace

std::string FoldNameCase(std::string_view name) {
    // DisplayUtf8 always gives valid UTF-8, so every character decodes.
    const std::string text = DisplayUtf8(name);
    std::string out;
    out.reserve(text.size());
    char32_t c = 0;
    for (size_t k = 0; k < text.size();) {
        const size_t len = DecodeUtf8(text, k, c);
        AppendUtf8(out, FoldCodePoint(c));
        k += len;
    }
    return out;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return FoldNameCase(a) == FoldNameCase(b);
}

}  // namespace mv
