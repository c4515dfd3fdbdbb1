#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A plain INI file kept in order, so lines this program does not know are
// written back as they were. Section and key names match without regard to case.
namespace mv {

struct IniLine {
    bool isKey = false;
    std::string key;    // isKey: the name, blanks trimmed
    std::string value;  // isKey: the text after '=', blanks trimmed
    std::string raw;    // !isKey: the line as it stood (a comment or stray text)
};

struct IniSection {
    std::string name;  // empty for lines before the first header
    std::vector<IniLine> lines;
};

struct IniDocument {
    std::vector<IniSection> sections;
};

IniDocument ParseIni(const std::vector<std::string>& lines);
std::vector<std::string> FormatIni(const IniDocument& doc);

// The first value of `key` in the first section named `section`.
std::optional<std::string> IniValue(const IniDocument& doc, std::string_view section,
                                    std::string_view key);

}  // namespace mv
