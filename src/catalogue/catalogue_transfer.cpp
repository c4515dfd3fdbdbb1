#include "catalogue/catalogue_transfer.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "catalogue/list_line.h"
#include "platform/ascii_case.h"
#include "platform/text_encoding.h"
#include "platform/text_fields.h"

namespace mv {

std::vector<CatalogueRow> CatalogueRows(const TMp3List& list) {
    std::vector<CatalogueRow> rows;
    std::string cd;
    std::string folder;  // "/a/b" while walking; written without the first '/'
    for (const std::string& line : list.Lines()) {
        switch (KindOfListLine(line)) {
            case ListLineKind::CdMarker:
                cd = line.substr(1);
                folder.clear();
                break;
            case ListLineKind::FolderEntry:
                folder += line;
                break;
            case ListLineKind::UpEntry:
                folder.erase(std::min(folder.size(), folder.rfind('/')));
                break;
            case ListLineKind::Title:
                rows.push_back({cd, folder.empty() ? folder : folder.substr(1), line});
                break;
            case ListLineKind::Empty:
                break;
        }
    }
    return rows;
}

CatalogueFormat CatalogueFormatOf(const std::filesystem::path& file) {
    return EqualsIgnoringAsciiCase(file.extension().string(), ".json") ? CatalogueFormat::Json
                                                                       : CatalogueFormat::Csv;
}

std::vector<std::string> CatalogueExportLines(const TMp3List& list, CatalogueFormat format) {
    const std::vector<CatalogueRow> rows = CatalogueRows(list);
    std::vector<std::string> lines;
    lines.reserve(rows.size() + 2);
    if (format == CatalogueFormat::Csv) {
        lines.push_back("cd,folder,title");
        for (const CatalogueRow& row : rows) {
            lines.push_back(CsvField(DisplayUtf8(row.cd)) + "," +
                            CsvField(DisplayUtf8(row.folder)) + "," +
                            CsvField(DisplayUtf8(row.title)));
        }
        return lines;
    }
    if (rows.empty()) return {"[]"};
    lines.push_back("[");
    for (size_t i = 0; i < rows.size(); ++i) {
        lines.push_back("  {\"cd\": " + JsonString(DisplayUtf8(rows[i].cd)) +
                        ", \"folder\": " + JsonString(DisplayUtf8(rows[i].folder)) +
                        ", \"title\": " + JsonString(DisplayUtf8(rows[i].title)) + "}" +
                        (i + 1 < rows.size() ? "," : ""));
    }
    lines.push_back("]");
    return lines;
}

namespace {

struct CsvRecord {
    size_t line = 0;  // 1-based, where the record starts
    std::vector<std::string> fields;
};

// RFC 4180 records from the file's lines; a quoted line break reads as LF.
// nullopt with `error` set on an unclosed quote.
std::optional<std::vector<CsvRecord>> CsvRecords(const std::vector<std::string>& lines,
                                                 std::string& error) {
    std::vector<CsvRecord> records;
    bool quoted = false;
    for (size_t k = 0; k < lines.size(); ++k) {
        if (!quoted)
            records.push_back({k + 1, {std::string()}});
        else
            records.back().fields.back() += '\n';
        const std::string& line = lines[k];
        for (size_t i = 0; i < line.size(); ++i) {
            std::string& field = records.back().fields.back();
            const char c = line[i];
            if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"' && (quoted || field.empty())) {
                quoted = !quoted;
            } else if (c == ',' && !quoted) {
                records.back().fields.emplace_back();
            } else {
                field += c;
            }
        }
    }
    if (quoted) {
        error = "Line " + std::to_string(records.back().line) + ": a quote is never closed.";
        return std::nullopt;
    }
    return records;
}

// The folder ("/" or "/a/b") and file name of a relative path; nullopt with
// `why` set when a part is empty, "." or "..".
std::optional<FoundFile> SplitRelativePath(std::string_view path, std::string& why) {
    while (path.starts_with('/')) path.remove_prefix(1);
    std::string folder;
    size_t start = 0;
    while (true) {
        const size_t slash = path.find('/', start);
        const std::string_view part = path.substr(start, slash - start);
        if (part.empty() || part == "." || part == "..") {
            why = "the path has an empty, \".\" or \"..\" part";
            return std::nullopt;
        }
        if (slash == std::string_view::npos) {
            return FoundFile{std::string(part), folder.empty() ? "/" : folder};
        }
        folder += '/';
        folder += part;
        start = slash + 1;
    }
}

}  // namespace

CsvCdResult FoundFilesFromCsv(const CsvCdParams& params) {
    CsvCdResult result;
    std::vector<std::string> lines = params.lines;
    // Spreadsheets write UTF-8 with a byte order mark.
    if (!lines.empty() && lines.front().starts_with("\xEF\xBB\xBF")) lines.front().erase(0, 3);
    const auto records = CsvRecords(lines, result.error);
    if (!records) return result;
    // The root's titles first, as a scanned CD holds them: the editor shows a
    // CD's own titles as those before its first folder.
    std::vector<std::vector<FoundFile>> byFolder(1);
    std::unordered_map<std::string, size_t> folderIndex{{"/", 0}};
    for (size_t r = 0; r < records->size(); ++r) {
        const CsvRecord& record = (*records)[r];
        const std::string prefix = "Line " + std::to_string(record.line) + ": ";
        // Spreadsheets may end a row with empty cells; a second path is refused.
        if (std::any_of(record.fields.begin() + 1, record.fields.end(),
                        [](const std::string& f) { return !f.empty(); })) {
            result.error = prefix + "more than one column; the file holds one column of paths.";
            return result;
        }
        const std::string& path = record.fields.front();
        if (path.empty() || (r == 0 && EqualsIgnoringAsciiCase(path, "path"))) continue;
        std::string why;
        auto file = SplitRelativePath(path, why);
        if (!file) {
            result.error = prefix + why + ": " + path;
            return result;
        }
        if (params.normalize) file->title = params.normalize(file->title);
        const auto [it, added] = folderIndex.try_emplace(file->folder, byFolder.size());
        if (added) byFolder.emplace_back();
        byFolder[it->second].push_back(std::move(*file));
    }
    for (auto& files : byFolder) {
        for (auto& file : files) result.files.push_back(std::move(file));
    }
    return result;
}

std::string CdNameProblem(std::string_view name) {
    if (name.empty()) return "A CD needs a name.";
    if (name.find_first_of("\r\n") != std::string_view::npos) {
        return "A CD's name cannot hold a line break.";
    }
    if (name.find_first_of("\\/") != std::string_view::npos) {
        return "A CD's name cannot hold \\ or /: they mark CDs and folders in the list.";
    }
    return {};
}

RenameCdResult RenameCd(TMp3List& list, std::string_view oldName, std::string_view newName) {
    const long found = list.FindCd(oldName);
    if (found < 0) {
        return {false, "There is no CD named \"" + std::string(oldName) + "\" in the list."};
    }
    return RenameCdAt(list, static_cast<size_t>(found), newName);
}

RenameCdResult RenameCdAt(TMp3List& list, size_t marker, std::string_view newName) {
    RenameCdResult result;
    if (marker >= list.LineCount() || list.LineKind(marker) != ListLineKind::CdMarker) {
        result.error = "That line of the list is no CD.";
        return result;
    }
    if (marker == 0 && list.Line(0) == kListHeader) {
        result.error = "The list's header is not a CD; it keeps its name.";
        return result;
    }
    result.error = CdNameProblem(newName);
    if (!result.error.empty()) return result;
    const long taken = list.FindCd(newName);
    if (taken >= 0 && static_cast<size_t>(taken) != marker) {
        result.error = "A CD named \"" + std::string(newName) + "\" is already in the list.";
        return result;
    }
    list.SetLine(marker, "\\" + std::string(newName));
    result.renamed = true;
    return result;
}

}  // namespace mv
