#pragma once

#include <optional>
#include <string>
#include <string_view>

// Names and lines are kept as the bytes the disk or a file gave us. These
// helpers are the one place where those bytes meet a character set.
namespace mv {

// True when the bytes form valid UTF-8 (plain ASCII included).
bool IsValidUtf8(std::string_view bytes);

// Maps text to single Windows-1252 bytes, the form the name matcher and the
// ID3v1 tag work on: each valid UTF-8 character becomes its Windows-1252 byte,
// or a blank when it has none; a byte that is not part of valid UTF-8 is taken
// as a Windows-1252 byte as it stands.
std::string ToWindows1252(std::string_view bytes);

// UTF-8 text to Windows-1252 bytes when every character has one (text typed
// for an ID3v1 tag). Otherwise nullopt, and `bad`, when given, receives the
// first character that has none (U+FFFD for bytes that are not UTF-8).
std::optional<std::string> Utf8ToWindows1252Exact(std::string_view utf8, char32_t* bad = nullptr);

// Windows-1252 bytes to UTF-8. The five undefined bytes become U+FFFD.
std::string Windows1252ToUtf8(std::string_view bytes);

// Decodes one UTF-8 character at bytes[pos] into cp. Returns its length, or 0
// when the bytes there are not a valid, shortest-form character.
size_t DecodeUtf8(std::string_view bytes, size_t pos, char32_t& cp);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t cp);

// Text to show for stored bytes: the bytes themselves when they are valid UTF-8,
// otherwise their Windows-1252 reading (catalogues written on Windows).
std::string DisplayUtf8(std::string_view bytes);

}  // namespace mv
