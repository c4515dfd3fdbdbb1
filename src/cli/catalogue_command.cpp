#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "catalogue/catalogue_names.h"
#include "catalogue/catalogue_transfer.h"
#include "catalogue/drive_scan.h"
#include "catalogue/list_line.h"
#include "catalogue/mp3_list.h"
#include "catalogue/save_cd.h"
#include "cli/command.h"
#include "cli/interrupt_watch.h"
#include "cli/progress_bar.h"
#include "cli/row_output.h"
#include "dupes/name_matcher.h"
#include "platform/folder_listing.h"
#include "platform/program_folder.h"
#include "platform/text_encoding.h"
#include "platform/text_lines.h"

// catalogue add | list | show | remove | export | import | rename: the Mp3 list
// without the list editor.
namespace mv::cli {
namespace {

namespace fs = std::filesystem;

struct CatalogueOptions {
    std::string list;      // empty: Mp3List.txt in the program folder
    FormatOptions output;  // -z, --format
    std::string name;
    std::string ext = "Mp3";
    bool replace = false;
    std::string folder;
    std::string newName;  // rename
};

fs::path ListPath(const CatalogueOptions& opts) {
    return opts.list.empty() ? FindProgramFile(ProgramFolder(), kMp3ListFileName)
                             : fs::path(opts.list);
}

// One row of catalogue text (CD names, titles, locations), shown as the
// other commands show list locations.
void WriteCatalogueRow(RowWriter& writer, std::string_view left, std::string_view right) {
    writer.Write(std::vector<std::string>{DisplayUtf8(left), DisplayUtf8(right)});
}

std::string Quoted(std::string_view name) {
    return "\"" + DisplayUtf8(name) + "\"";
}

// Loads the list for reading or removing; false after saying why it cannot.
bool LoadList(const fs::path& path, TMp3List& list, CommandIo& io) {
    const ReadLinesResult read = list.LoadReporting(path);
    switch (read.status) {
        case ListLoadStatus::Read:
            return true;
        case ListLoadStatus::Absent:
            io.err << "You don't have any list!! (" << path.string() << ")\n";
            return false;
        case ListLoadStatus::Unreadable:
            io.err << read.message << '\n';
            return false;
    }
    return false;
}

// The marker of the CD named `name` (FindCd's rule); -1 after saying there is none.
long FindNamedCd(const TMp3List& list, const std::string& name, CommandIo& io) {
    const long index = list.FindCd(name);
    if (index < 0) io.err << "There is no CD named " << Quoted(name) << " in the list.\n";
    return index;
}

std::string NameTakenMessage(const std::string& name) {
    return "A CD named " + Quoted(name) +
           " is already in the list; nothing is saved (--replace overwrites it).";
}

// The refusals that cost no scan, each after saying why; nullopt when the
// scan may run. First the arguments: an empty name, a missing folder.
std::optional<int> RefuseArguments(const CatalogueOptions& opts, const std::string& folder,
                                   CommandIo& io) {
    if (opts.name.empty()) {
        io.err << "A CD needs a name: --name must not be empty.\n";
        return kExitUsage;
    }
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        io.err << "No such folder: " << folder << '\n';
        return kExitFailure;
    }
    return std::nullopt;
}

// Then the list: one that cannot be opened, a name already taken.
std::optional<int> RefuseList(const CatalogueOptions& opts, const fs::path& listPath,
                              CommandIo& io) {
    const ListForSave opened = OpenListForSave(listPath);
    if (!opened.message.empty()) {
        io.err << opened.message << '\n';
        return kExitFailure;
    }
    if (opened.list.FindCd(opts.name) >= 0 && !opts.replace) {
        io.err << NameTakenMessage(opts.name) << '\n';
        return kExitFailure;
    }
    return std::nullopt;
}

// Scans `folder` with a progress bar, naming what was passed over; nullopt
// after saying so when the user stopped it.
std::optional<DriveScanResult> ScanForAdd(const std::string& folder, const std::string& ext,
                                          CommandIo& io) {
    DriveScanControl control;
    InterruptWatch interrupt(control.stopRequested);
    DriveScanResult scan;
    {
        ProgressBar bar(control.foldersDone, control.foldersTotal);
        scan = ScanDrive({folder, ext, NormalizeName}, control);
    }
    for (const auto& passed : scan.foldersPassedOver) {
        io.err << "Passed over a folder that cannot be read: " << passed << '\n';
    }
    if (!scan.namesPassedOver.empty()) {
        io.err << NamesPassedOverMessage(scan.namesPassedOver) << '\n';
    }
    if (scan.cancelled) {
        io.err << "Scan stopped; nothing is saved.\n";
        return std::nullopt;
    }
    io.err << scan.resultText << '\n';
    return scan;
}

// Says how SaveCd went; `nothingFound` says it when there were no files.
int ReportSave(const SaveCdResult& saved, const ListForSave& opened, const std::string& name,
               CommandIo& io, const std::function<void()>& nothingFound) {
    for (const auto& message : saved.messages) io.err << message << '\n';
    switch (saved.outcome) {
        case SaveCdOutcome::Saved:
            io.err << "Saved " << Quoted(name) << " with " << saved.titleCount << " titles to "
                   << opened.path.string() << '\n';
            return kExitOk;
        case SaveCdOutcome::NothingFound:
            nothingFound();
            return kExitFailure;
        case SaveCdOutcome::NameTaken:
            io.err << NameTakenMessage(name) << '\n';
            return kExitFailure;
        case SaveCdOutcome::Failed:
            return kExitFailure;
    }
    return kExitFailure;
}

int RunAdd(const CatalogueOptions& opts, CommandIo& io) {
    const std::string folder = TrimFolderPath(opts.folder);
    if (const auto refused = RefuseArguments(opts, folder, io)) return *refused;
    // The list is opened, and the name looked up, before the scan too: a
    // refusal then costs no scan.
    const fs::path listPath = ListPath(opts);
    if (const auto refused = RefuseList(opts, listPath, io)) return *refused;
    const auto scan = ScanForAdd(folder, opts.ext, io);
    if (!scan) return kExitInterrupted;

    // Saved as the list stands now, not as it stood before the scan.
    ListForSave opened = OpenListForSave(listPath);
    const SaveCdResult saved =
        SaveCd(opened, {opts.name, scan->driveRoot, FoundFilesOf(*scan), opts.replace});
    return ReportSave(saved, opened, opts.name, io, [&] {
        io.err << "No files named *." << opts.ext << " below " << folder << "; nothing is saved.\n";
    });
}

int RunList(const CatalogueOptions& opts, CommandIo& io) {
    TMp3List list;
    if (!LoadList(ListPath(opts), list, io)) return kExitFailure;
    struct Cd {
        size_t line;
        size_t titles = 0;
    };
    std::vector<Cd> cds;
    for (size_t i = 0; i < list.LineCount(); ++i) {
        const ListLineKind kind = list.LineKind(i);
        if (kind == ListLineKind::CdMarker) cds.push_back({i});
        // Titles above the first marker belong to no CD.
        if (kind == ListLineKind::Title && !cds.empty()) ++cds.back().titles;
    }
    RowWriter writer(io.out, opts.output.Resolve(), {"name", "titles"}, 2);
    for (const Cd& cd : cds) {
        // The header is the list's root, not a CD, unless titles were put under it.
        if (cd.line == 0 && list.Line(0) == kListHeader && cd.titles == 0) continue;
        WriteCatalogueRow(writer, std::string_view(list.Line(cd.line)).substr(1),
                          std::to_string(cd.titles));
    }
    return kExitOk;
}

int RunShow(const CatalogueOptions& opts, CommandIo& io) {
    TMp3List list;
    if (!LoadList(ListPath(opts), list, io)) return kExitFailure;
    const long found = FindNamedCd(list, opts.name, io);
    if (found < 0) return kExitFailure;
    const size_t first = static_cast<size_t>(found);
    size_t end = first + 1;
    while (end < list.LineCount() && list.LineKind(end) != ListLineKind::CdMarker) ++end;
    RowWriter writer(io.out, opts.output.Resolve(), {"title", "location"}, 2);
    list.WalkTitles([&](size_t line, const std::string& title, const std::string& location) {
        if (line > first && line < end) WriteCatalogueRow(writer, title, location);
    });
    return kExitOk;
}

int RunRemove(const CatalogueOptions& opts, CommandIo& io) {
    const fs::path path = ListPath(opts);
    TMp3List list;
    if (!LoadList(path, list, io)) return kExitFailure;
    const long found = FindNamedCd(list, opts.name, io);
    if (found < 0) return kExitFailure;
    const std::string stored = list.Line(static_cast<size_t>(found)).substr(1);
    const size_t before = list.LineCount();
    list.DeleteCd(static_cast<size_t>(found));
    const std::string failure = list.Save(path);
    if (!failure.empty()) {
        io.err << failure << '\n';
        return kExitFailure;
    }
    io.err << "Removed " << Quoted(stored) << " (" << before - list.LineCount() << " lines)\n";
    return kExitOk;
}

int RunExport(const CatalogueOptions& opts, CommandIo& io) {
    TMp3List list;
    if (!LoadList(ListPath(opts), list, io)) return kExitFailure;
    RowWriter writer(io.out, opts.output.Resolve(), {"cd", "folder", "title"}, 3);
    for (const CatalogueRow& row : CatalogueRows(list)) {
        writer.Write(std::vector<std::string>{DisplayUtf8(row.cd), DisplayUtf8(row.folder),
                                              DisplayUtf8(row.title)});
    }
    return kExitOk;
}

int RunImport(const CatalogueOptions& opts, CommandIo& io) {
    if (const std::string problem = CdNameProblem(opts.name); !problem.empty()) {
        io.err << problem << '\n';
        return kExitUsage;
    }
    const ReadLinesResult csv = ReadLinesWithStatus(opts.folder);
    if (csv.status != ReadStatus::Read) {
        io.err << (csv.message.empty() ? "No such file: " + opts.folder : csv.message) << '\n';
        return kExitFailure;
    }
    const CsvCdResult parsed = FoundFilesFromCsv({csv.lines, NormalizeName});
    if (!parsed.error.empty()) {
        io.err << opts.folder << ": " << parsed.error << " Nothing is saved.\n";
        return kExitFailure;
    }
    const fs::path listPath = ListPath(opts);
    if (const auto refused = RefuseList(opts, listPath, io)) return *refused;
    ListForSave opened = OpenListForSave(listPath);
    const SaveCdResult saved = SaveCd(opened, {opts.name, "/", parsed.files, opts.replace});
    return ReportSave(saved, opened, opts.name, io,
                      [&] { io.err << "No paths in " << opts.folder << "; nothing is saved.\n"; });
}

int RunRename(const CatalogueOptions& opts, CommandIo& io) {
    const fs::path path = ListPath(opts);
    TMp3List list;
    if (!LoadList(path, list, io)) return kExitFailure;
    const RenameCdResult renamed = RenameCd(list, opts.name, opts.newName);
    if (!renamed.renamed) {
        io.err << renamed.error << '\n';
        return kExitFailure;
    }
    if (const std::string failure = list.Save(path); !failure.empty()) {
        io.err << failure << '\n';
        return kExitFailure;
    }
    io.err << "Renamed " << Quoted(opts.name) << " to " << Quoted(opts.newName) << '\n';
    return kExitOk;
}

CLI::Option* AddListOption(CLI::App* sub, CatalogueOptions& opts) {
    return sub->add_option("--list", opts.list,
                           "The Mp3 list (default: Mp3List.txt in the program folder)");
}

// export | import | rename: the catalogue to and from other programs.
void AddTransferCommands(CLI::App* catalogue, CommandList& commands) {
    auto exported = std::make_shared<CatalogueOptions>();
    CLI::App* exportApp = catalogue->add_subcommand(
        "export", "Writes CD, FOLDER and TITLE for every title of the list");
    AddListOption(exportApp, *exported);
    AddFormatOptions(exportApp, exported->output);
    commands.push_back({exportApp, [exported](CommandIo& io) { return RunExport(*exported, io); }});

    auto imported = std::make_shared<CatalogueOptions>();
    CLI::App* importApp = catalogue->add_subcommand(
        "import", "Appends a CD to the list from a CSV file of one column of relative paths");
    importApp->add_option("--name", imported->name, "The CD's name")->required();
    AddListOption(importApp, *imported);
    importApp->add_flag("--replace", imported->replace,
                        "Overwrite a CD of the same name (letter case ignored)");
    importApp->add_option("FILE", imported->folder, "The CSV file")->required();
    commands.push_back({importApp, [imported](CommandIo& io) { return RunImport(*imported, io); }});

    auto renamed = std::make_shared<CatalogueOptions>();
    CLI::App* renameApp = catalogue->add_subcommand(
        "rename", "Renames the CD named OLD to NEW, unless another CD is named NEW");
    AddListOption(renameApp, *renamed);
    renameApp->add_option("OLD", renamed->name, "The CD's name (letter case ignored)")->required();
    renameApp->add_option("NEW", renamed->newName, "Its new name")->required();
    commands.push_back({renameApp, [renamed](CommandIo& io) { return RunRename(*renamed, io); }});
}

}  // namespace

void AddCatalogueCommand(CLI::App& app, CommandList& commands) {
    CLI::App* catalogue = app.add_subcommand(
        "catalogue",
        "Adds, lists, shows, removes, exports, imports and renames the CDs of the Mp3 list");
    catalogue->require_subcommand(1);

    auto add = std::make_shared<CatalogueOptions>();
    CLI::App* addApp = catalogue->add_subcommand(
        "add", "Scans FOLDER as a drive and appends its files to the list as a CD");
    addApp->add_option("--name", add->name, "The CD's name")->required();
    AddListOption(addApp, *add);
    addApp->add_option("--ext", add->ext, "Extension of the files to catalogue")
        ->capture_default_str();
    addApp->add_flag("--replace", add->replace,
                     "Overwrite a CD of the same name (letter case ignored)");
    addApp->add_option("FOLDER", add->folder, "The drive's root, or any folder taken as one")
        ->required();
    commands.push_back({addApp, [add](CommandIo& io) { return RunAdd(*add, io); }});

    auto list = std::make_shared<CatalogueOptions>();
    CLI::App* listApp =
        catalogue->add_subcommand("list", "Writes NAME<TAB>TITLES for every CD of the list");
    AddListOption(listApp, *list);
    AddFormatOptions(listApp, list->output);
    commands.push_back({listApp, [list](CommandIo& io) { return RunList(*list, io); }});

    auto show = std::make_shared<CatalogueOptions>();
    CLI::App* showApp = catalogue->add_subcommand(
        "show", "Writes TITLE<TAB>LOCATION for every title of the CD named NAME");
    AddListOption(showApp, *show);
    AddFormatOptions(showApp, show->output);
    showApp->add_option("NAME", show->name, "The CD's name (letter case ignored)")->required();
    commands.push_back({showApp, [show](CommandIo& io) { return RunShow(*show, io); }});

    auto remove = std::make_shared<CatalogueOptions>();
    CLI::App* removeApp =
        catalogue->add_subcommand("remove", "Removes the CD named NAME from the list");
    AddListOption(removeApp, *remove);
    removeApp->add_option("NAME", remove->name, "The CD's name (letter case ignored)")->required();
    commands.push_back({removeApp, [remove](CommandIo& io) { return RunRemove(*remove, io); }});
    AddTransferCommands(catalogue, commands);
}

}  // namespace mv::cli
