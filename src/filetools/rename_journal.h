#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The rename journal: every batch of renames (Rename, Rename All, the tool's
// rename) appended to one file in the program folder, so the last batch can
// be undone. One line per record, each written by one write() in append mode,
// so a crash mid-batch keeps every rename done before it and at worst cuts
// the last line, which reading ignores (every record ends with TAB "." so a
// cut one is known even after a later record closed its line):
//   B<TAB>ID<TAB>TIME<TAB>.                 a batch starts
//   R<TAB>ID<TAB>INODE<TAB>OLD<TAB>NEW<TAB>.  one file renamed
//   U<TAB>ID<TAB>.                          the batch was undone
// Paths are written with TAB, CR, LF and backslash escaped (EscapeTsvField),
// any other byte as it is, so every name comes back exactly.
namespace mv {

inline constexpr const char* kRenameJournalName = "RenameJournal.txt";

class RenameJournal {
  public:
    explicit RenameJournal(std::filesystem::path file);
    ~RenameJournal();
    RenameJournal(const RenameJournal&) = delete;
    RenameJournal& operator=(const RenameJournal&) = delete;

    // Records `from` renamed to `to` (done just now); the batch's start is
    // written before its first rename, so a batch that renames nothing leaves
    // no trace.
    void Record(const std::string& from, const std::string& to);
    // The first failure to write, for the user; empty when all went in.
    const std::string& error() const { return error_; }

  private:
    void Append(const std::string& line);

    std::filesystem::path file_;
    std::string id_;
    int fd_ = -1;
    std::string error_;
};

struct JournalRename {
    std::string from, to;
    std::uint64_t inode = 0;
};

struct JournalBatch {
    std::string id, time;
    std::vector<JournalRename> renames;  // in the order done
    bool undone = false;
};

// The batches of the journal in the order begun; a missing file has none.
std::vector<JournalBatch> ReadRenameJournal(const std::filesystem::path& file);

enum class UndoStatus {
    Restored,  // back under its old name
    Gone,      // nothing, or another file, has the new name now
    OldNameTaken,
    Refused,  // the file system refused the rename
};

struct UndoRow {
    JournalRename rename;
    UndoStatus status = UndoStatus::Gone;
    std::string reason;  // unless Restored
};

struct UndoResult {
    bool found = false;  // false: no batch left to undo
    std::string batchId;
    std::vector<UndoRow> rows;  // in the order undone (the batch's, reversed)
    std::size_t restored = 0;
    std::string error;  // the batch could not be marked undone: the cause
};

// Undoes the last batch not yet undone: each file that still has its new
// name (the same file: its inode is checked) goes back to its old name unless
// that name is taken (no-replace rename); the others are reported. The batch
// is then marked undone whatever came of each file, so the next undo takes
// the batch before it, and undoing is not itself a batch: it cannot be undone.
UndoResult UndoLastRenameBatch(const std::filesystem::path& file);

// "NEW -> OLD" for a file restored; "NEW: stays: REASON." otherwise.
std::string UndoLine(const UndoRow& row);

}  // namespace mv
