// Standard playlists: what we write reads back the same here and in other
// parsers (python's configparser, a few lines of python for M3U); hand-made
// files of other players resolve and report their missing files.
#include "player/playlist_formats.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "platform/text_lines.h"
#include "support/core/pipe_unblocker.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

// What an independent parser found: per entry path, title and length.
std::vector<std::string> RunPython(const test::TempTree& tree, const std::string& script,
                                   const std::string& file) {
    const std::string scriptFile = tree.File("reader.py", script);
    const std::string command = "/usr/bin/python3 '" + scriptFile + "' '" + file + "'";
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        ::pclose(pipe);
    }
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t end; (end = out.find('\0', start)) != std::string::npos; start = end + 1) {
        fields.push_back(out.substr(start, end - start));
    }
    return fields;
}

const char* const kPlsReader = R"(import configparser, sys
text = open(sys.argv[1], 'rb').read().decode('utf-8', 'surrogateescape')
c = configparser.RawConfigParser()
c.read_string(text)
p = c['playlist']
assert p['version'] == '2'
out = sys.stdout.buffer
for i in range(1, int(p['numberofentries']) + 1):
    for key in ('file', 'title', 'length'):
        out.write(p[key + str(i)].encode('utf-8', 'surrogateescape') + b'\0')
)";

const char* const kM3uReader = R"(import sys
lines = open(sys.argv[1], 'rb').read().splitlines()
assert lines[0] == b'#EXTM3U'
out = sys.stdout.buffer
for info, path in zip(lines[1::2], lines[2::2]):
    assert info.startswith(b'#EXTINF:')
    length, title = info[8:].split(b',', 1)
    out.write(path + b'\0' + title + b'\0' + length + b'\0')
)";

struct FormatCase {
    const char* file;
    const char* reader;
};

// Odd but holdable names, each a real file; one per format that it cannot hold.
TEST(PlaylistFormats, WhatIsWrittenReadsBackHereAndInAnotherParser) {
    for (const FormatCase& c :
         {FormatCase{"list.m3u", kM3uReader}, FormatCase{"list.M3U8", kM3uReader},
          FormatCase{"list.pls", kPlsReader}}) {
        SCOPED_TRACE(c.file);
        const test::TempTree tree;
        const bool utf8Only = PlaylistFormatOf(c.file) == PlaylistFormat::M3u8;
        Playlist entries{{"Tab\there", tree.File("a\tb.mp3")},
                         {"Comma, and = sign", tree.File("x=1, y [2].mp3")},
                         {"Ünïcode", tree.File("dir #1/ü.mp3")},
                         {"Latin-1 \xE9", tree.File(utf8Only ? "plain.mp3" : "caf\xE9.mp3")}};
        entries.push_back({"spaced", tree.File(" spaced .mp3")});
        // The one each format cannot hold: not UTF-8 in M3U8, a line break elsewhere.
        const std::string odd = tree.File(utf8Only ? "bad\xFF.mp3" : "line\nbreak.mp3");
        Playlist all = entries;
        all.insert(all.begin() + 1, {"odd", odd});
        PlaylistWriteParams params{tree.Path(c.file), [](const std::string& path) {
                                       return path.ends_with("ü.mp3") ? 215 : -1;
                                   }};
        const PlaylistWriteResult written = WritePlaylistFile(params, all);
        ASSERT_EQ(written.error, "");
        EXPECT_EQ(written.refused, std::vector<std::string>{odd});

        const PlaylistReadResult read = ReadPlaylistFile(params.file);
        ASSERT_EQ(read.status, ReadStatus::Read);
        Playlist expected = entries;
        if (utf8Only) expected[3].name = "Latin-1 \xC3\xA9";  // titles become UTF-8
        EXPECT_EQ(read.entries, expected);
        std::vector<int> lengths(entries.size(), -1);
        lengths[2] = 215;
        EXPECT_EQ(read.lengths, lengths);
        EXPECT_TRUE(read.missing.empty());

        std::vector<std::string> fields = RunPython(tree, c.reader, params.file.string());
        ASSERT_EQ(fields.size(), entries.size() * 3);
        for (size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(fields[3 * i], expected[i].path);
            EXPECT_EQ(fields[3 * i + 1], expected[i].name);
            EXPECT_EQ(fields[3 * i + 2], i == 2 ? "215" : "-1");
        }
    }
}

TEST(PlaylistFormats, OtherPlayersFilesResolveAndTheirMissingFilesAreCounted) {
    const test::TempTree tree;
    const std::string a = tree.File("music/a.mp3");
    const std::string b = tree.File("music/Disc 1/b c.mp3");
    const std::string lists = tree.Folder("lists");
    const std::string m3u = tree.File(
        "lists/mix.m3u",
        "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:12 tvg-id=\"x\",Song A\n../music/a.mp3\n\n# a note\n"
        "#EXTINF:-1,\nfile:///" +
            b.substr(1, b.size() - 8) +
            "b%20c.mp3\n"
            "..\\music\\Disc 1\\b c.mp3\n../music/gone.mp3\nhttp://radio.example/stream\n"
            "link/../a.mp3\n./link/../../gone.mp3\n");
    // ".." after a link is the link target's parent: the name keeps it.
    fs::create_directory_symlink(tree.Path("music/Disc 1"), tree.Path("lists/link"));
    const PlaylistReadResult read = ReadPlaylistFile(m3u);
    ASSERT_EQ(read.status, ReadStatus::Read);
    EXPECT_EQ(
        read.entries,
        (Playlist{
            {"Song A", a}, {"b c.mp3", b}, {"b c.mp3", b}, {"a.mp3", lists + "/link/../a.mp3"}}));
    EXPECT_EQ(read.lengths, (std::vector<int>{12, -1, -1, -1}));
    EXPECT_EQ(read.missing,
              (std::vector<std::string>{tree.Path("music/gone.mp3"), "http://radio.example/stream",
                                        lists + "/link/../../gone.mp3"}));

    // Keys in any case and order, other sections and orphan titles ignored.
    const std::string pls = tree.File("lists/mix.PLS",
                                      "[other]\nFile1=/nowhere.mp3\n[Playlist]\n"
                                      "Title9=orphan\nfile2 = ../music/a.mp3\nLENGTH2=7\n"
                                      "File1=" +
                                          b + "\nTitle1=First\nNumberOfEntries=2\n");
    const PlaylistReadResult plsRead = ReadPlaylistFile(pls);
    EXPECT_EQ(plsRead.entries, (Playlist{{"First", b}, {"a.mp3", a}}));
    EXPECT_EQ(plsRead.lengths, (std::vector<int>{-1, 7}));
    EXPECT_TRUE(plsRead.missing.empty());

    std::vector<std::string> gone;
    for (int i = 1; i <= 7; ++i) gone.push_back("/gone/" + std::to_string(i) + ".mp3");
    EXPECT_EQ(MissingEntriesMessage(gone),
              "7 files of the playlist are missing and left out:\n/gone/1.mp3\n/gone/2.mp3\n"
              "/gone/3.mp3\n/gone/4.mp3\n/gone/5.mp3\n... and 2 more.");
    EXPECT_EQ(MissingEntriesMessage({"/x.mp3"}),
              "1 file of the playlist is missing and left out:\n/x.mp3");
}

TEST(PlaylistFormats, APipeOrAHugeFileIsRefusedWithoutReadingIt) {
    const test::TempTree tree;
    const fs::path pipe = tree.Path("live.m3u");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    PipeUnblocker unblocker({pipe});
    const PlaylistReadResult fromPipe = ReadPlaylistFile(pipe);
    EXPECT_EQ(fromPipe.status, ReadStatus::Unreadable);
    EXPECT_TRUE(fromPipe.entries.empty());

    const std::string huge = tree.File("huge.pls", "[playlist]\n");
    ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(kMaxStandardPlaylistBytes + 1)), 0);
    const PlaylistReadResult fromHuge = ReadPlaylistFile(huge);
    EXPECT_EQ(fromHuge.status, ReadStatus::Unreadable);
    EXPECT_EQ(fromHuge.message, "Cannot read " + huge + ": it is too large for a playlist.");
    EXPECT_EQ(ReadPlaylistFile(tree.Path("absent.m3u8")).status, ReadStatus::Absent);
}

}  // namespace
}  // namespace mv
