// MP3 files tagged beyond ID3v1 by a second writer (python3-mutagen, through
// tests/filetools/mutagen_tags.py), and what that writer reads back.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "support/core/tag_fixture.h"

namespace mv::test {

inline bool MutagenPresent() {
    static const bool present =
        ToneAudio() && std::system("/usr/bin/python3 -c 'import mutagen' 2>/dev/null") == 0;
    return present;
}

inline std::string MutagenRun(const std::string& args) {
    std::string out;
    if (FILE* pipe = ::popen(("/usr/bin/python3 " MV_MUTAGEN_TAGS " " + args).c_str(), "r")) {
        char buffer[4096];
        while (const size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// Audio tagged by mutagen as `kind` (v23: "Café Title" / "The Artist" / "Old
// Album" / 1999 / 3/12 / Rock; v24utf8: a Cyrillic title; ape: "Ape Title"
// ...), without an ID3v1 tag.
inline bool WriteTaggedMp3(const std::string& path, const std::string& kind) {
    if (!WriteMp3(path, std::nullopt)) return false;
    MutagenRun("make " + kind + " '" + path + "'");
    return true;
}

// mutagen's reading of the file: "text:TIT2" -> the title, and so on.
inline std::map<std::string, std::string> MutagenDump(const std::string& path) {
    std::map<std::string, std::string> dump;
    std::istringstream lines(MutagenRun("dump '" + path + "'"));
    for (std::string line; std::getline(lines, line);) {
        const size_t tab = line.find('\t');
        dump[line.substr(0, tab)] = tab == std::string::npos ? "" : line.substr(tab + 1);
    }
    return dump;
}

}  // namespace mv::test
