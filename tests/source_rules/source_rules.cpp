#include "source_rules.h"

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

namespace mv::test {

namespace fs = std::filesystem;

SourceTree ReadTree(const fs::path& root) {
    SourceTree tree{root, {}};
    for (const char* top : {"src", "server"}) {
        std::error_code ec;
        if (!fs::is_directory(root / top, ec)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            tree.files.push_back(
                {entry.path(), entry.path().lexically_relative(root).generic_string(), text.str()});
        }
    }
    return tree;
}

namespace {

// The lines of `text`, one at a time.
template <typename Visit>
void ForEachLine(const std::string& text, Visit visit) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        visit(text.substr(start, end - start));
        start = end + 1;
    }
}

// ---- The include direction ------------------------------------------------

// The layers of the program, lowest first. A file may include its own layer
// and the layers below it, with the exceptions spelled out in Refusal().
enum class Layer { Platform, Core, UiCommon, Windows, UiMain, App, Tool, Unknown };

struct Place {
    Layer layer = Layer::Unknown;
    std::string folder;  // the subsystem ("dupes"), or the top folder
};

// The cores in their order: a core includes only the cores before it, so two
// cores can never include each other.
const std::vector<std::string> kCoreOrder = {"media",  "catalogue", "dupes", "filetools",
                                             "engine", "player",    "net"};

size_t CoreRank(const std::string& folder) {
    return std::find(kCoreOrder.begin(), kCoreOrder.end(), folder) - kCoreOrder.begin();
}

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
    if (CoreRank(top) < kCoreOrder.size()) {
        if (rest.starts_with("windows/")) return {Layer::Windows, top};
        return {Layer::Core, top};
    }
    return {};
}

std::string CoreRefusal(const Place& from, const Place& to) {
    if (to.layer > Layer::Core) return "a core sees no window code";
    if (to.layer == Layer::Core && CoreRank(to.folder) > CoreRank(from.folder)) {
        return "the cores keep their order: " + to.folder + " comes after " + from.folder;
    }
    return "";
}

std::string Refusal(const Place& from, const Place& to) {
    if (from.layer == Layer::Unknown || to.layer == Layer::Unknown) return "outside every layer";
    switch (from.layer) {
        case Layer::Platform:
            return to.layer == Layer::Platform ? "" : "platform sees only itself";
        case Layer::Core:
            return CoreRefusal(from, to);
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

struct ProjectInclude {
    std::string target;  // as written, relative to src/
    bool angled = false;
};

// The includes of `file` that name a file of the project. A quoted name
// without a folder is the file's own folder or a generated file (moc); an
// angled name is the project's when the tree holds it (<net/if.h> is not).
std::vector<ProjectInclude> ProjectIncludes(const SourceTree& tree, const SourceFile& file) {
    static const std::regex include(R"re(^\s*#\s*include\s*([<"])([^">]+)[">])re");
    std::vector<ProjectInclude> found;
    ForEachLine(file.text, [&](const std::string& line) {
        std::smatch m;
        if (!std::regex_search(line, m, include)) return;
        const std::string target = m[2].str();
        const bool angled = m[1].str() == "<";
        if (target.find('/') == std::string::npos) return;
        std::error_code ec;
        if (angled && !fs::exists(tree.root / "src" / target, ec) &&
            !fs::exists(tree.root / target, ec))
            return;
        found.push_back({target, angled});
    });
    return found;
}

std::vector<std::string> IncludeFaults(const SourceTree& tree) {
    std::vector<std::string> faults;
    for (const auto& file : tree.files) {
        std::string own = file.relative;
        if (own.starts_with("src/")) own = own.substr(4);
        for (const auto& include : ProjectIncludes(tree, file)) {
            const std::string why = IncludeRefusal(own, include.target);
            if (!why.empty())
                faults.push_back(file.relative + " includes " + include.target + ": " + why);
        }
    }
    return faults;
}

// ---- Calls and names that belong to one place ------------------------------

std::vector<std::string> FilesNaming(const SourceTree& tree, const std::vector<std::string>& names,
                                     const std::vector<std::string>& allowedFiles) {
    std::vector<std::string> strays;
    for (const auto& file : tree.files) {
        if (std::find(allowedFiles.begin(), allowedFiles.end(), file.relative) !=
            allowedFiles.end())
            continue;
        for (const std::string& name : names) {
            if (file.text.find(name) != std::string::npos)
                strays.push_back(file.relative + ": " + name);
        }
    }
    return strays;
}

// Every box goes through the Dialogs seam; only the Qt implementation may name
// Qt's dialog classes.
std::vector<std::string> DialogFaults(const SourceTree& tree) {
    return FilesNaming(tree, {"QMessageBox", "QInputDialog", "QFileDialog"},
                       {"src/ui/common/qt_dialogs.cpp"});
}

// Stored bytes become display text (and typed text becomes bytes) in one
// place, so a name is never shown or stored in another encoding by accident.
std::vector<std::string> DisplayTextFaults(const SourceTree& tree) {
    return FilesNaming(
        tree,
        {"QString::fromStdString", "toStdString()", "QString::fromUtf8", "toUtf8()",
         "QString::fromLatin1", "toLatin1()", "QString::fromLocal8Bit", "toLocal8Bit()"},
        {"src/ui/common/display_text.cpp"});
}

// Every removal of a file goes through the file operations (the trash switch
// and the deletion log live there), so no command can delete a user's file
// behind the user's settings.
std::vector<std::string> RemovalFaults(const SourceTree& tree) {
    return FilesNaming(tree,
                       {"unlink(", "unlinkat(", "remove(", "remove_all(", "removeRecursively(",
                        "rmdir(", "QFile::remove", "moveToTrash("},
                       {"src/platform/file_ops.cpp", "src/platform/trash.cpp"});
}

// A rename can move a user's file away or replace one: renaming goes through
// the file operations and the trash too; the text files replace what they
// have just written with a rename, the one other place allowed.
std::vector<std::string> RenameFaults(const SourceTree& tree) {
    return FilesNaming(
        tree, {"rename(", "renameat(", "renameat2("},
        {"src/platform/file_ops.cpp", "src/platform/trash.cpp", "src/platform/text_lines.cpp"});
}

}  // namespace

std::string IncludeRefusal(const std::string& from, const std::string& to) {
    return Refusal(PlaceOf(from), PlaceOf(to));
}

size_t ProjectIncludeCount(const SourceTree& tree) {
    size_t count = 0;
    for (const auto& file : tree.files) count += ProjectIncludes(tree, file).size();
    return count;
}

// In connect_rule.cpp.
std::vector<std::string> ContextlessConnectFaults(const SourceTree& tree);

const std::vector<SourceRule>& SourceRules() {
    static const std::vector<SourceRule> rules = {
        {"includes", IncludeFaults},         {"dialogs", DialogFaults},
        {"display_text", DisplayTextFaults}, {"removals", RemovalFaults},
        {"renames", RenameFaults},           {"contextless_connect", ContextlessConnectFaults},
    };
    return rules;
}

std::vector<std::string> RuleFaults(const std::string& name, const SourceTree& tree) {
    for (const auto& rule : SourceRules()) {
        if (name == rule.name) return rule.faults(tree);
    }
    return {"no rule is called " + name};
}

}  // namespace mv::test
