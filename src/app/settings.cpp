#include "app/settings.h"

#include <charconv>
#include <limits>
#include <optional>
#include <system_error>
#include <type_traits>
#include <variant>

#include "platform/ascii_case.h"
#include "platform/text_lines.h"

namespace mv {

namespace {

constexpr const char* kMain = "MAIN";
constexpr const char* kEqualizer = "EQUALIZER";
constexpr const char* kEqPresets = "EQPRESETS";

// Where a key's value lives in Settings: a member, or one of the bars.
struct BarIndex {
    size_t index;
};
using SettingField =
    std::variant<bool Settings::*, int Settings::*, std::string Settings::*, BarIndex>;

struct SettingKey {
    const char* section;
    std::string name;
    SettingField field;
};

// Every key this program owns, in the order written: the one place a key's
// name and section are spelled.
const std::vector<SettingKey>& SettingKeys() {
    static const std::vector<SettingKey> keys = [] {
        std::vector<SettingKey> k = {
            {kMain, "Shuffle", &Settings::shuffle},
            {kMain, "RecCompare", &Settings::recCompare},
            {kMain, "Minimize", &Settings::minimize},
            {kMain, "VersionCheck", &Settings::versionCheck},
            {kMain, "RecPlaylist", &Settings::recPlaylist},
            {kMain, "Percentage", &Settings::percentage},
            {kMain, "Extension", &Settings::extension},
            {kMain, "DisplayMode", &Settings::displayMode},
            {kMain, "ListCount", &Settings::listCount},
            {kMain, "Server", &Settings::server},
            {kMain, "MoveToTrash", &Settings::moveToTrash},
            {kMain, "AlwaysKeepBetterCopy", &Settings::alwaysKeepBetter},
            {kMain, "WriteId3v2", &Settings::writeId3v2},
            {kMain, "NameFromId3v2", &Settings::nameFromId3v2},
            {kMain, "WindowsSafeNames", &Settings::windowsSafeNames},
            {kMain, "LastFolder", &Settings::lastFolder},
            {kEqualizer, "Enabled", &Settings::eqEnabled},
        };
        for (size_t i = 0; i < kEqualizerBars; ++i)
            k.push_back({kEqualizer, "Bar0" + std::to_string(i + 1), BarIndex{i}});
        return k;
    }();
    return keys;
}

bool IsKnownKey(std::string_view section, std::string_view key) {
    for (const SettingKey& k : SettingKeys())
        if (EqualsIgnoringAsciiCase(section, k.section) && EqualsIgnoringAsciiCase(key, k.name))
            return true;
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

// Takes the key's value from the file when it is there and of the right
// kind; the default stays otherwise.
void ReadKey(const IniDocument& doc, const SettingKey& key, Settings& s) {
    const auto value = IniValue(doc, key.section, key.name);
    if (!value) return;
    const auto number = WholeNumber(*value);
    std::visit(
        [&](auto field) {
            using Field = decltype(field);
            if constexpr (std::is_same_v<Field, std::string Settings::*>) {
                s.*field = *value;
            } else if (number) {
                if constexpr (std::is_same_v<Field, bool Settings::*>) s.*field = *number != 0;
                if constexpr (std::is_same_v<Field, int Settings::*>) s.*field = *number;
                if constexpr (std::is_same_v<Field, BarIndex>) s.bars[field.index] = *number;
            }
        },
        key.field);
}

IniLine KeyLine(const SettingKey& key, const Settings& s) {
    const std::string value = std::visit(
        [&](auto field) -> std::string {
            using Field = decltype(field);
            if constexpr (std::is_same_v<Field, bool Settings::*>) return s.*field ? "1" : "0";
            if constexpr (std::is_same_v<Field, int Settings::*>) return std::to_string(s.*field);
            if constexpr (std::is_same_v<Field, std::string Settings::*>) return s.*field;
            if constexpr (std::is_same_v<Field, BarIndex>)
                return std::to_string(s.bars[field.index]);
        },
        key.field);
    return {true, key.name, value, {}};
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

// Every key of the presets' sections whose value is eight bars; a later key
// of the same name (letter case ignored) wins in the earlier one's place.
void ReadPresets(const IniDocument& doc, Settings& s) {
    for (const auto& section : doc.sections) {
        if (!EqualsIgnoringAsciiCase(section.name, kEqPresets)) continue;
        for (const auto& l : section.lines) {
            const auto bars = l.isKey ? ParsePresetBars(l.value) : std::nullopt;
            if (bars) SaveUserPreset(s.eqPresets, {l.key, *bars});
        }
    }
}

IniSection PresetSection(const Settings& s) {
    IniSection section{kEqPresets, {}};
    for (const auto& p : s.eqPresets)
        section.lines.push_back({true, p.name, FormatPresetBars(p.bars), {}});
    return section;
}

}  // namespace

Settings ParseSettings(const IniDocument& doc) {
    Settings s;
    for (const SettingKey& key : SettingKeys()) ReadKey(doc, key, s);
    ReadPresets(doc, s);
    s.others = doc;
    return s;
}

std::vector<std::string> FormatSettings(const Settings& s) {
    IniDocument doc;
    // Lines before any header stay first.
    for (const auto& section : s.others.sections)
        if (section.name.empty()) doc.sections.push_back(section);

    for (const char* name : {kMain, kEqualizer}) {
        IniSection section{name, {}};
        for (const SettingKey& key : SettingKeys())
            if (std::string_view(key.section) == name) section.lines.push_back(KeyLine(key, s));
        for (auto& l : UnknownLines(s.others, name)) section.lines.push_back(std::move(l));
        doc.sections.push_back(std::move(section));
    }
    if (!s.eqPresets.empty()) doc.sections.push_back(PresetSection(s));

    for (const auto& section : s.others.sections) {
        if (section.name.empty() || EqualsIgnoringAsciiCase(section.name, kMain) ||
            EqualsIgnoringAsciiCase(section.name, kEqualizer) ||
            EqualsIgnoringAsciiCase(section.name, kEqPresets))
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
