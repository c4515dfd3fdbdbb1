#include "cli/terminal_text.h"

#include "platform/text_fields.h"

namespace mv::cli {

bool IsControlByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

void AppendByteEscape(std::string& out, char c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(c);
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

std::string TsvField(std::string_view text) {
    // The four escapes leave no control byte but those still to write as \xHH.
    const std::string escaped = EscapeTsvField(text);
    std::string out;
    out.reserve(escaped.size());
    for (const char c : escaped) {
        if (IsControlByte(c)) {
            AppendByteEscape(out, c);
        } else {
            out += c;
        }
    }
    return out;
}

ScopedControlByteFilter::ScopedControlByteFilter(std::ostream& stream)
    : stream_(stream), target_(stream.rdbuf(this)) {}

ScopedControlByteFilter::~ScopedControlByteFilter() {
    stream_.rdbuf(target_);
}

ScopedControlByteFilter::int_type ScopedControlByteFilter::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

// Unbuffered: each piece goes on at once, so the order against what others
// write to stderr (the progress bar) stays as written.
std::streamsize ScopedControlByteFilter::xsputn(const char* text, std::streamsize count) {
    std::string out;
    out.reserve(static_cast<size_t>(count));
    for (std::streamsize k = 0; k < count; ++k) {
        if (IsControlByte(text[k]) && text[k] != '\n') {
            AppendByteEscape(out, text[k]);
        } else {
            out += text[k];
        }
    }
    const auto size = static_cast<std::streamsize>(out.size());
    return target_->sputn(out.data(), size) == size ? count : 0;
}

int ScopedControlByteFilter::sync() {
    return target_->pubsync();
}

}  // namespace mv::cli
