// Tags written here read back the same in an independent reader: Python's
// mutagen (Debian's python3-mutagen, installed by scripts/setup.sh).
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "filetools/id3v1_tag.h"
#include "support/core/tag_fixture.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

// Prints the five fields as hex of their Latin-1 bytes, one line each (the
// reader decodes ID3v1 text as Latin-1, so the texts below keep to the bytes
// Latin-1 and Windows-1252 share, and it drops trailing blanks, so they end
// in none).
const char kScript[] = R"(
import sys
from mutagen.mp3 import MP3
tags = MP3(sys.argv[1]).tags
def text(key):
    frames = [v for k, v in tags.items() if k == key or k.startswith(key + ':')]
    return str(frames[0].text[0]) if frames else ''
for key in ('TIT2', 'TPE1', 'TALB', 'TDRC', 'COMM'):
    print(text(key).encode('latin-1').hex())
)";

std::string RunShell(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    std::array<char, 4096> buffer;
    for (size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
        out.append(buffer.data(), n);
    }
    return ::pclose(pipe) == 0 ? out : "<failed>" + out;
}

// The first Python that has mutagen; empty when none has.
std::string PythonWithMutagen() {
    for (const char* python : {"/usr/bin/python3", "python3"}) {
        if (RunShell(std::string(python) + " -c 'import mutagen' 2>/dev/null") == "") return python;
    }
    return {};
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

TEST(IndependentReader, MutagenReadsTheTagsWrittenHere) {
    if (!test::ToneAudio()) GTEST_SKIP() << "lame or sox missing: no MP3 to tag";
    const std::string python = PythonWithMutagen();
    if (python.empty()) {
        GTEST_SKIP() << "Python's mutagen is missing (Debian package python3-mutagen, "
                        "installed by scripts/setup.sh): the independent read-back is not checked";
    }
    test::TempTree tree;
    const std::string script = tree.File("read_tag.py", kScript);
    const TagTexts cases[] = {
        {"Title", "Artist", "Album", "1999", "Comment"},
        // The reader takes the comment's last two bytes for a track number
        // (ID3v1.1), so a comment of 28 bytes is the longest it shows whole.
        {std::string(30, 'T'), std::string(30, 'A'), std::string(30, 'B'), "2024",
         std::string(28, 'C')},
        {"Caf\xE9 \xC0 la cr\xE8me", "G\xFCnther & \xDF\xF8\xE5", "\xA9 \xBD", "1970", "x y  z"},
        {"", "Only artist", "", "", ""},
    };
    int k = 0;
    for (const TagTexts& texts : cases) {
        for (const bool hadTag : {true, false}) {
            const std::string path =
                tree.Path(std::string("f").append(std::to_string(k++)) + ".mp3");
            ASSERT_TRUE(test::WriteMp3(
                path, hadTag ? std::optional(test::TagBlock("old", "old", "old", "1111", "old"))
                             : std::nullopt));
            const TagWriteResult w = WriteFileTag(path, texts);
            ASSERT_EQ(w.status, hadTag ? TagWriteStatus::Replaced : TagWriteStatus::Appended);
            std::string expected;
            for (const std::string& text : texts) expected += Hex(text) + "\n";
            EXPECT_EQ(RunShell(python + " '" + script + "' '" + path + "' 2>&1"), expected)
                << texts[0];
        }
    }
}

}  // namespace
}  // namespace mv
