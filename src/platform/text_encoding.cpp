#include "platform/text_encoding.h"

#include <array>
#include <cstdint>

namespace mv {
namespace {

// Unicode code points of the Windows-1252 bytes 0x80..0x9F; 0 where undefined.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

size_t DecodeUtf8(std::string_view bytes, size_t pos, char32_t& cp) {
    const auto b0 = static_cast<uint8_t>(bytes[pos]);
    size_t len;
    char32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (pos + len > bytes.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<uint8_t>(bytes[pos + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

namespace {

// The Windows-1252 byte of a code point; nullopt when it has none.
std::optional<char> CodePointTo1252Exact(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (size_t k = 0; k < kHigh.size(); ++k) {
        if (kHigh[k] != 0 && kHigh[k] == cp) return static_cast<char>(0x80 + k);
    }
    return std::nullopt;
}

char CodePointTo1252(char32_t cp) {
    return CodePointTo1252Exact(cp).value_or(' ');
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    char32_t cp;
    for (size_t pos = 0; pos < bytes.size();) {
        const size_t len = DecodeUtf8(bytes, pos, cp);
        if (len == 0) return false;
        pos += len;
    }
    return true;
}

std::string ToWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    char32_t cp;
    for (size_t pos = 0; pos < bytes.size();) {
        const auto b = static_cast<uint8_t>(bytes[pos]);
        if (b < 0x80) {
            // Names are mostly ASCII: its runs are copied whole.
            size_t end = pos + 1;
            while (end < bytes.size() && static_cast<uint8_t>(bytes[end]) < 0x80) ++end;
            out.append(bytes.substr(pos, end - pos));
            pos = end;
            continue;
        }
        const size_t len = DecodeUtf8(bytes, pos, cp);
        if (len == 0) {
            out += static_cast<char>(b);
            ++pos;
        } else {
            out += CodePointTo1252(cp);
            pos += len;
        }
    }
    return out;
}

std::optional<std::string> Utf8ToWindows1252Exact(std::string_view utf8, char32_t* bad) {
    std::string out;
    out.reserve(utf8.size());
    char32_t cp;
    for (size_t pos = 0; pos < utf8.size();) {
        const size_t len = DecodeUtf8(utf8, pos, cp);
        const std::optional<char> b = len == 0 ? std::nullopt : CodePointTo1252Exact(cp);
        if (!b) {
            if (bad != nullptr) *bad = len == 0 ? 0xFFFD : cp;
            return std::nullopt;
        }
        out += *b;
        pos += len;
    }
    return out;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto b = static_cast<uint8_t>(c);
        if (b >= 0x80 && b < 0xA0) {
            const char32_t cp = kHigh[b - 0x80];
            AppendUtf8(out, cp != 0 ? cp : 0xFFFD);
        } else {
            AppendUtf8(out, b);
        }
    }
    return out;
}

std::string DisplayUtf8(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return Windows1252ToUtf8(bytes);
}

}  // namespace mv
