#include "app/ini_file.h"

#include <algorithm>

#include "platform/ascii_case.h"

namespace mv {

namespace {

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

IniDocument ParseIni(const std::vector<std::string>& lines) {
    IniDocument doc;
    doc.sections.push_back({});
    for (const auto& line : lines) {
        const std::string_view t = Trim(line);
        if (t.empty()) continue;  // blank lines are laid out again on writing
        if (t.front() == '[' && t.back() == ']') {
            doc.sections.push_back({std::string(Trim(t.substr(1, t.size() - 2))), {}});
            continue;
        }
        IniLine l;
        const size_t eq = t.find('=');
        if (t.front() != ';' && t.front() != '#' && eq != std::string_view::npos && eq > 0) {
            l.isKey = true;
            l.key = std::string(Trim(t.substr(0, eq)));
            l.value = std::string(Trim(t.substr(eq + 1)));
        } else {
            l.raw = line;
        }
        doc.sections.back().lines.push_back(std::move(l));
    }
    if (doc.sections.front().lines.empty()) doc.sections.erase(doc.sections.begin());
    return doc;
}

std::vector<std::string> FormatIni(const IniDocument& doc) {
    std::vector<std::string> out;
    for (const auto& section : doc.sections) {
        if (!section.name.empty()) {
            if (!out.empty()) out.emplace_back();
            out.push_back("[" + section.name + "]");
        }
        for (const auto& l : section.lines) out.push_back(l.isKey ? l.key + "=" + l.value : l.raw);
    }
    return out;
}

std::optional<std::string> IniValue(const IniDocument& doc, std::string_view section,
                                    std::string_view key) {
    for (const auto& s : doc.sections) {
        if (!EqualsIgnoringAsciiCase(s.name, section)) continue;
        for (const auto& l : s.lines)
            if (l.isKey && EqualsIgnoringAsciiCase(l.key, key)) return l.value;
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace mv
