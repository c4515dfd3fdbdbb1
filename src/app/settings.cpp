#include "app/settings.h"

#include <charconv>
#include <limits>
#include <optional>
#include <system_error>

#include "platform/ascii_case.h"
#include "platform/text_lines.h"

namespace mv {

namespace {

constexpr const char* kMain = "MAIN";
constexpr const char* kEqualizer = "EQUALIZER";
constexpr std::array<const char*, 11> kMainKeys = {
    "Shuffle",   "RecCompare",  "Minimize",  "VersionCheck", "RecPlaylist", "Percentage",
    "Extension", "DisplayMode", "ListCount", "Server",       "MoveToTrash"};

std::string BarKey(size_t i) {
    return "Bar0" + std::to_string(i + 1);
}

bool IsKnownKey(std::string_view section, std::string_view key) {
    if (EqualsIgnoringAsciiCase(section, kMain)) {
        for (const char* k : kMainKeys)
            if (EqualsIgnoringAsciiCase(key, k)) return true;
        return false;
    }
    if (EqualsIgnoringAsciiCase(section, kEqualizer)) {
        if (EqualsIgnoringAsciiCase(key, "Enabled")) return true;
        for (size_t i = 0; i < 8; ++i)
            if (EqualsIgnoringAsciiCase(key, BarKey(i))) return true;
    }
    return false;
}

std::optional<int> WholeNumber(const std::string& text) {
    int value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || first == last) return std::nullopt;
    return value;
}

void ReadInt(const IniDocument& doc, const char* section, const std::string& key, int& target) {
    if (const auto v = IniValue(doc, section, key))
        if (const auto n = WholeNumber(*v)) target = *n;
}

void ReadBool(const IniDocument& doc, const char* section, const std::string& key, bool& target) {
    if (const auto v = IniValue(doc, section, key))
        if (const auto n = WholeNumber(*v)) target = *n != 0;
}

void ReadString(const IniDocument& doc, const char* section, const std::string& key,
                std::string& target) {
    if (const auto v = IniValue(doc, section, key)) target = *v;
}

IniLine Key(std::string key, std::string value) {
    return {true, std::move(key), std::move(value), {}};
}
IniLine Key(std::string key, bool value) {
    return Key(std::move(key), std::string(value ? "1" : "0"));
}
IniLine Key(std::string key, int value) {
    return Key(std::move(key), std::to_string(value));
}

// The lines of every section named `name` that this program does not own.
std::vector<IniLine> UnknownLines(const IniDocument& others, const char* name) {
    std::vector<IniLine> lines;
    for (const auto& s : others.sections)
        if (EqualsIgnoringAsciiCase(s.name, name))
            for (const auto& l : s.lines)
                if (!l.isKey || !IsKnownKey(name, l.key)) lines.push_back(l);
    return lines;
}

}  // namespace

Settings ParseSettings(const IniDocument& doc) {
    Settings s;
    ReadBool(doc, kMain, "Shuffle", s.shuffle);
    ReadBool(doc, kMain, "RecCompare", s.recCompare);
    ReadBool(doc, kMain, "Minimize", s.minimize);
    ReadBool(doc, kMain, "VersionCheck", s.versionCheck);
    ReadBool(doc, kMain, "RecPlaylist", s.recPlaylist);
    ReadString(doc, kMain, "Percentage", s.percentage);
    ReadString(doc, kMain, "Extension", s.extension);
    ReadInt(doc, kMain, "DisplayMode", s.displayMode);
    ReadInt(doc, kMain, "ListCount", s.listCount);
    ReadString(doc, kMain, "Server", s.server);
    ReadBool(doc, kMain, "MoveToTrash", s.moveToTrash);
    ReadBool(doc, kEqualizer, "Enabled", s.eqEnabled);
    for (size_t i = 0; i < s.bars.size(); ++i) ReadInt(doc, kEqualizer, BarKey(i), s.bars[i]);
    s.others = doc;
    return s;
}

std::vector<std::string> FormatSettings(const Settings& s) {
    IniDocument doc;
    // Lines before any header stay first.
    for (const auto& section : s.others.sections)
        if (section.name.empty()) doc.sections.push_back(section);

    IniSection main{kMain, {}};
    main.lines = {Key("Shuffle", s.shuffle),         Key("RecCompare", s.recCompare),
                  Key("Minimize", s.minimize),       Key("VersionCheck", s.versionCheck),
                  Key("RecPlaylist", s.recPlaylist), Key("Percentage", s.percentage),
                  Key("Extension", s.extension),     Key("DisplayMode", s.displayMode),
                  Key("ListCount", s.listCount),     Key("Server", s.server),
                  Key("MoveToTrash", s.moveToTrash)};
    for (auto& l : UnknownLines(s.others, kMain)) main.lines.push_back(std::move(l));
    doc.sections.push_back(std::move(main));

    IniSection eq{kEqualizer, {Key("Enabled", s.eqEnabled)}};
    for (size_t i = 0; i < s.bars.size(); ++i) eq.lines.push_back(Key(BarKey(i), s.bars[i]));
    for (auto& l : UnknownLines(s.others, kEqualizer)) eq.lines.push_back(std::move(l));
    doc.sections.push_back(std::move(eq));

    for (const auto& section : s.others.sections) {
        if (section.name.empty() || EqualsIgnoringAsciiCase(section.name, kMain) ||
            EqualsIgnoringAsciiCase(section.name, kEqualizer))
            continue;
        doc.sections.push_back(section);
    }
    return FormatIni(doc);
}

ReadSettingsResult ReadSettings(const std::filesystem::path& iniFile) {
    ReadSettingsResult r;
    const auto read = ReadLinesWithStatus(iniFile);
    r.fileFound = read.status != ReadStatus::Absent;
    if (read.status == ReadStatus::Unreadable) r.readError = read.message;
    if (read.status == ReadStatus::Read) r.settings = ParseSettings(ParseIni(read.lines));
    return r;
}

std::string WriteSettings(const std::filesystem::path& iniFile, const Settings& settings) {
    return WriteLinesAtomically(iniFile, FormatSettings(settings));
}

FileLineCount CountFileLines(const std::filesystem::path& file) {
    const auto read = ReadLinesWithStatus(file);
    FileLineCount r;
    r.readable = read.status != ReadStatus::Unreadable;
    if (!r.readable) r.message = read.message;
    r.lines =
        static_cast<int>(std::min<size_t>(read.lines.size(), std::numeric_limits<int>::max()));
    return r;
}

ListCountCheckResult CheckListCount(const ListCountCheckParams& params) {
    ListCountCheckResult r;
    const auto count = CountFileLines(FindProgramFile(params.programFolder, kMp3ListFileName));
    if (!count.readable) {
        // Not a change made elsewhere: the list is not there to count.
        r.lines = params.storedListCount;
        r.message = count.message;
    } else {
        r.lines = count.lines;
        if (r.lines != params.storedListCount) r.message = kListModifiedMessage;
    }
    return r;
}

}  // namespace mv
