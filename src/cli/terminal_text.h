#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

// What the tool writes toward a terminal: a name or tag can hold ESC and the
// other control bytes, and written raw they would drive the user's terminal.
namespace mv::cli {

// A C0 control byte (0x00-0x1F) or DEL (0x7F). Bytes from 0x80 up are not:
// they are part of UTF-8 and of the names a script must get back exactly.
bool IsControlByte(char c);

// Appends `c` as \xHH, two upper-case hex digits.
void AppendByteEscape(std::string& out, char c);

// One TSV field, or a name in a line of its own: TAB, CR, LF and backslash as
// \t, \r, \n and \\, every other control byte as \xHH.
std::string TsvField(std::string_view text);

// While it lives, everything written to `stream` reaches its old buffer with
// every control byte but LF (which ends a message line) written as \xHH. Put
// on std::cerr it covers every message, whoever writes it; what writes to
// the C stream stderr directly (the progress bar's own "\r\033[K") bypasses it.
class ScopedControlByteFilter : private std::streambuf {
  public:
    explicit ScopedControlByteFilter(std::ostream& stream);
    ~ScopedControlByteFilter() override;
    ScopedControlByteFilter(const ScopedControlByteFilter&) = delete;
    ScopedControlByteFilter& operator=(const ScopedControlByteFilter&) = delete;

  private:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

    std::ostream& stream_;
    std::streambuf* target_;
};

}  // namespace mv::cli
