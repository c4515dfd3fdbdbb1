#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "source_files.h"

namespace {

// The layers of the program, lowest first. A file may include its own layer
// and the layers below it, with the exceptions spelled out in Allowed().
enum class Layer { Platform, Core, UiCommon, Windows, UiMain, App, Tool, Unknown };

struct Place {
    Layer layer = Layer::Unknown;
    std::string folder;  // the subsystem ("dupes"), or the top folder
};

const std::set<std::string> kCores = {"catalogue", "dupes", "filetools", "engine", "player", "net"};

// `path` relative to src/ (or "server/...").
Place PlaceOf(const std::string& path) {
    const size_t slash = path.find('/');
    const std::string top = path.substr(0, slash);
    const std::string rest = slash == std::string::npos ? "" : path.substr(slash + 1);
    if (top == "platform") return {Layer::Platform, top};
    if (top == "app") return {Layer::App, top};
    if (top == "cli" || top == "server") return {Layer::Tool, top};
    if (top == "ui") {
        if (rest.starts_with("common/")) return {Layer::UiCommon, "ui/common"};
        if (rest.starts_with("main/")) return {Layer::UiMain, "ui/main"};
        return {};
    }
    if (kCores.count(top) != 0) {
        if (rest.starts_with("windows/")) return {Layer::Windows, top};
        return {Layer::Core, top};
    }
    return {};
}

// Why `from` may not include `to`; empty when it may.
std::string Refusal(const Place& from, const Place& to) {
    if (from.layer == Layer::Unknown || to.layer == Layer::Unknown) return "outside every layer";
    switch (from.layer) {
        case Layer::Platform:
            return to.layer == Layer::Platform ? "" : "platform sees only itself";
        case Layer::Core:
            if (to.layer > Layer::Core) return "a core sees no window code";
            if (from.folder == "catalogue" && to.folder == "dupes") {
                return "the comparison depends on the catalogue, not the reverse";
            }
            return "";
        case Layer::UiCommon:
            return to.layer > Layer::UiCommon ? "ui/common sees only cores and itself" : "";
        case Layer::Windows:
            if (to.layer == Layer::Windows && to.folder != from.folder) {
                return "a windows folder never includes another windows folder";
            }
            return to.layer > Layer::Windows ? "a windows folder never includes ui/main" : "";
        case Layer::UiMain:
            return to.layer > Layer::UiMain ? "ui/main is below the application" : "";
        case Layer::App:
            return to.layer == Layer::Tool ? "the program does not include the tool" : "";
        case Layer::Tool:
            if (to.layer == Layer::Tool && to.folder != from.folder) return "tools are apart";
            return to.layer == Layer::Platform || to.layer == Layer::Core || to.layer == Layer::Tool
                       ? ""
                       : "the tool and the server see only cores";
        case Layer::Unknown:
            break;
    }
    return "outside every layer";
}

TEST(IncludeOrder, RefusalsFollowTheLayerOrder) {
    const struct {
        const char* from;
        const char* to;
        bool allowed;
    } cases[] = {
        {"dupes/compare_engine.cpp", "platform/text_lines.h", true},
        {"dupes/compare_engine.cpp", "catalogue/list_line.h", true},
        {"catalogue/mp3_list.cpp", "dupes/name_matcher.h", false},
        {"platform/drives.cpp", "dupes/name_matcher.h", false},
        {"dupes/compare_engine.cpp", "ui/common/dialogs.h", false},
        {"ui/common/qt_dialogs.cpp", "dupes/windows/compare_commands.h", false},
        {"dupes/windows/compare_commands.cpp", "ui/common/dialogs.h", true},
        {"dupes/windows/compare_commands.cpp", "ui/main/tf_princ.h", false},
        {"dupes/windows/compare_commands.cpp", "player/windows/equalizer.h", false},
        {"dupes/windows/compare_commands.cpp", "dupes/windows/result_pair_model.h", true},
        {"ui/main/tf_princ.cpp", "dupes/windows/compare_commands.h", true},
        {"ui/main/tf_princ.cpp", "app/shell.h", false},
        {"app/shell.cpp", "ui/main/tf_princ.h", true},
        {"cli/main.cpp", "dupes/compare_engine.h", true},
        {"cli/main.cpp", "ui/common/display_text.h", false},
        {"server/main.cpp", "net/poll_reply.h", true},
        {"server/main.cpp", "dupes/windows/result_pair_model.h", false},
        {"stray/file.cpp", "platform/text_lines.h", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Refusal(PlaceOf(c.from), PlaceOf(c.to)).empty(), c.allowed)
            << c.from << " -> " << c.to;
    }
}

TEST(IncludeOrder, EveryProjectIncludeFollowsTheLayerOrder) {
    const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<std::string> faults;
    size_t checked = 0;
    for (const auto& file : mv::test::ProgramSources()) {
        std::string own = file.relative;
        if (own.starts_with("src/")) own = own.substr(4);
        const Place from = PlaceOf(own);
        size_t start = 0;
        while (start < file.text.size()) {
            size_t end = file.text.find('\n', start);
            if (end == std::string::npos) end = file.text.size();
            const std::string line = file.text.substr(start, end - start);
            start = end + 1;
            std::smatch m;
            if (!std::regex_search(line, m, include)) continue;
            const std::string target = m[1].str();
            // A name without a folder is a generated file of the same target (moc).
            if (target.find('/') == std::string::npos) continue;
            ++checked;
            const std::string why = Refusal(from, PlaceOf(target));
            if (!why.empty()) faults.push_back(file.relative + " includes " + target + ": " + why);
        }
    }
    EXPECT_GT(checked, 100u);
    EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
}

}  // namespace
