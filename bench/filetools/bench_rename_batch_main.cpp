// mv-bench-rename-batch: the Rename All preview table over a generated tree
// (by default 10,000 tagged files in 100 folders), that table performed into
// the rename journal, the undo of the whole batch, and reading one file's
// ID3v2 fields through TagLib.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "filetools/rename_journal.h"
#include "filetools/rename_preview.h"
#include "filetools/rich_tag.h"
#include "tagged_tree.h"

namespace {

namespace fs = std::filesystem;

const char kUsage[] =
    "usage: mv-bench-rename-batch [--files N] [--folders M] [--work DIR]\n"
    "  times the preview of Rename All over N tagged files in M folders, the batch\n"
    "  performed with its journal, its undo, and one file's ID3v2 fields read.\n";

std::string SyncSafe(size_t n) {
    return {static_cast<char>((n >> 21) & 0x7F), static_cast<char>((n >> 14) & 0x7F),
            static_cast<char>((n >> 7) & 0x7F), static_cast<char>(n & 0x7F)};
}

// An ID3v2.4 tag with five text frames and 64 KiB of cover art, then 2,000
// MPEG frames (128 kbit/s, 44.1 kHz: about 52 s), as a ripped song lies.
void WriteSong(const fs::path& path) {
    std::string body;
    for (const char* id : {"TIT2", "TPE1", "TALB", "TRCK", "TCON"}) {
        const std::string text = std::string("\3") + id + " text";
        body += id + SyncSafe(text.size()) + std::string(2, '\0') + text;
    }
    const std::string picture = std::string("\0image/jpeg\0\3\0", 14) + std::string(65536, 'p');
    body += "APIC" + SyncSafe(picture.size()) + std::string(2, '\0') + picture;
    std::string bytes = std::string("ID3\4\0\0", 6) + SyncSafe(body.size()) + body;
    std::string frame(417, '\0');
    frame.replace(0, 4, "\xFF\xFB\x90\x00", 4);
    for (int k = 0; k < 2000; ++k) bytes += frame;
    std::ofstream(path, std::ios::binary) << bytes;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double MedianReadMs(const std::string& path, int runs) {
    std::vector<double> ms;
    for (int k = 0; k < runs; ++k) {
        const auto start = std::chrono::steady_clock::now();
        if (mv::ReadRichTag(path).tag.title != "TIT2 text") return -1;
        ms.push_back(Seconds(start) * 1000);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    mv::bench::TaggedTreeArgs args;
    if (!mv::bench::ParseTaggedTreeArgs(argc, argv, false, args)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const size_t files = args.files;
    const fs::path root = mv::bench::TreeRoot(args, "mv-bench-batch-");
    fs::remove_all(root);
    mv::bench::WriteTaggedTree(root / "tree", files, args.folders);

    mv::RenameJournal journal(root / mv::kRenameJournalName);
    mv::RenameAllParams params;
    params.root = (root / "tree").string();
    params.recurse = true;
    params.journal = &journal;
    params.naming.fromId3v2 = true;  // every file opened by TagLib first, then ID3v1
    auto start = std::chrono::steady_clock::now();
    const size_t rows = mv::PreviewRenameAll(params).rows.size();
    std::printf("preview from ID3v2: %zu rows in %.3f s\n", rows, Seconds(start));
    params.naming.fromId3v2 = false;
    start = std::chrono::steady_clock::now();
    const mv::RenamePreview preview = mv::PreviewRenameAll(params);
    std::printf("preview: %zu rows in %.3f s (target < 2 s)\n", preview.rows.size(),
                Seconds(start));
    start = std::chrono::steady_clock::now();
    const mv::RenameAllResult done = mv::PerformPreview(preview);
    std::printf("performed with the journal: %zu renamed in %.3f s\n", done.renamed,
                Seconds(start));
    start = std::chrono::steady_clock::now();
    const mv::UndoResult undo = mv::UndoLastRenameBatch(root / mv::kRenameJournalName);
    std::printf("undo: %zu of %zu renamed back in %.3f s (target < 2 s)\n", undo.restored,
                undo.rows.size(), Seconds(start));

    const fs::path song = root / "song.mp3";
    WriteSong(song);
    const double ms = MedianReadMs(song.string(), 201);
    std::printf("one file's ID3v2 fields (64 KiB picture): median %.3f ms (target < 20 ms)\n", ms);
    fs::remove_all(root);
    return done.renamed == files && undo.restored == files && ms >= 0 ? 0 : 1;
}
