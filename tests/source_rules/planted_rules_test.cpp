// Each rule is run on a small tree planted with one fault, and on trees that
// keep the rules in the ways the project's code does: a rule that cannot fail,
// or that fires on sound code, shows up here.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "source_rules.h"
#include "support/core/temp_tree.h"

namespace {

using mv::test::SourceRules;
using mv::test::TempTree;

// Headers the planted files include, so an angled include names a file of
// the tree as a real one would.
const char* const kHeaders[] = {"src/dupes/name_matcher.h",       "src/catalogue/mp3_list.h",
                                "src/ui/main/tf_princ.h",         "src/ui/common/dialogs.h",
                                "src/player/windows/equalizer.h", "src/net/poll_wire.h",
                                "src/platform/text_lines.h"};

struct Plant {
    const char* file;
    const char* text;
    const char* rule;  // the one rule that must fire; "" for none
};

const Plant kPlants[] = {
    // The include direction, in quotes, in angles and around the folders.
    {"src/catalogue/a.cpp", "#include \"dupes/name_matcher.h\"\n", "includes"},
    {"src/catalogue/a.cpp", "  #  include <dupes/name_matcher.h>\n", "includes"},
    {"src/player/a.cpp", "#include \"net/poll_wire.h\"\n", "includes"},
    {"src/dupes/windows/a.cpp", "#include <ui/main/tf_princ.h>\n", "includes"},
    {"src/dupes/windows/a.cpp", "#include \"player/windows/equalizer.h\"\n", "includes"},
    {"src/cli/a.cpp", "#include \"ui/common/dialogs.h\"\n", "includes"},
    {"src/dupes/a.cpp", "#include \"../ui/main/tf_princ.h\"\n", "includes"},
    {"src/dupes/a.cpp", "#include \"catalogue/mp3_list.h\"\n#include <vector>\n", ""},
    {"server/a.cpp", "#include <net/if.h>\n#include \"net/poll_wire.h\"\n#include \"own.h\"\n", ""},
    {"src/ui/main/a.cpp", "#include <player/windows/equalizer.h>\n", ""},
    // Names that belong to one file.
    {"src/dupes/windows/a.cpp", "void F() { QMessageBox::information(nullptr, t, t); }\n",
     "dialogs"},
    {"src/ui/main/a.cpp", "std::string F(const QString& s) { return s.toStdString(); }\n",
     "display_text"},
    {"src/filetools/a.cpp", "void F(const Path& p) { std::filesystem::remove(p); }\n", "removals"},
    {"src/app/a.cpp", "bool F(const QString& p) { return QFile::remove(p); }\n", "removals"},
    {"src/filetools/a.cpp", "void F(const Path& a, const Path& b) { fs::rename(a, b); }\n",
     "renames"},
    {"src/dupes/windows/a.cpp", "bool F(QFile& f, const QString& b) { return f.rename(b); }\n",
     "renames"},
    {"src/platform/text_lines.cpp",
     "int F(const char* a, const char* b) { return ::rename(a, b); }\n", ""},
    // Connects and their context object.
    {"src/dupes/windows/a.cpp",
     "void A::F() { connect(b, &QPushButton::clicked, [this] { G(); }); }\n",
     "contextless_connect"},
    {"src/ui/main/a.cpp", "void F() {\n  QObject::connect(t, &QTimer::timeout,\n    &Tick);\n}\n",
     "contextless_connect"},
    {"src/ui/main/a.cpp",
     "void A::F() { connect(b, &QPushButton::clicked, this, [this] { G(f(1, 2)); }); }\n", ""},
    {"src/ui/main/a.cpp", "void A::F() { connect(a, SIGNAL(x()), SLOT(y())); }\n", ""},
    {"src/ui/main/a.cpp",
     "// connect(a, &A::b, [] {});\nconst char* k = \"connect(a, b, c)\";\n/* connect(a, b, c) "
     "*/\n",
     ""},
    {"server/a.cpp",
     "int F(int fd, const sockaddr* a, socklen_t n) { return ::connect(fd, a, n); }\n", ""},
};

TEST(PlantedRules, EachPlantedFaultIsCaughtByItsRuleAloneAndSoundCodeByNone) {
    ASSERT_EQ(SourceRules().size(), 6u);
    std::set<std::string> caught;
    TempTree temp;
    int n = 0;
    for (const Plant& plant : kPlants) {
        const std::string base = "tree" + std::to_string(n++) + "/";
        for (const char* header : kHeaders) temp.File(base + header, "#pragma once\n");
        temp.File(base + plant.file, plant.text);
        const auto tree = mv::test::ReadTree(temp.Path(base));
        for (const auto& rule : SourceRules()) {
            const auto faults = rule.faults(tree);
            const bool expected = std::string(plant.rule) == rule.name;
            EXPECT_EQ(!faults.empty(), expected)
                << plant.file << " holding\n"
                << plant.text << "rule " << rule.name << ": " << ::testing::PrintToString(faults);
            if (expected && !faults.empty()) caught.insert(rule.name);
        }
    }
    // Every rule is shown to fail at least once.
    EXPECT_EQ(caught.size(), SourceRules().size()) << ::testing::PrintToString(caught);
}

}  // namespace
