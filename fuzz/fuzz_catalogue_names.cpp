// The name checks of a drive scan and the CD block they feed, as `catalogue
// add` and the window's scan use them: file names, folder names below the
// drive and the CD name, each any bytes. Input: one control byte (bit 0: the
// drive is "/"), then fields of one length byte and that many bytes: the CD
// name, then folder (below the drive, '/' between names) and file name in
// turn. Invariants: the checks agree with a plain model of the list's line
// kinds; what they accept makes one CD with no other marker and no line
// break inside a line; the list written reads back as the same lines, its
// titles in order under the locations the folders give; removing the CD
// leaves the header alone.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue_names.h"
#include "catalogue/list_line.h"
#include "catalogue/mp3_list.h"
#include "catalogue/name_case.h"
#include "dupes/name_matcher.h"
#include "fuzz_files.h"
#include "platform/folder_listing.h"

namespace {

// The next length-prefixed field; false when the input is used up.
bool NextField(std::string_view& in, std::string& field) {
    if (in.empty()) return false;
    const size_t length = std::min<size_t>(static_cast<uint8_t>(in.front()), in.size() - 1);
    field.assign(in.substr(1, length));
    in.remove_prefix(1 + length);
    return true;
}

// The plain model: a name reads back as itself unless it is empty, begins with
// a marker ('\' a CD, '/' a folder) or is "..".
bool ModelStorable(std::string_view name) {
    return !name.empty() && name.front() != '\\' && name.front() != '/' && name != "..";
}

// The names of `rel` between its '/', empty ones (a doubled '/') dropped.
std::vector<std::string> Names(std::string_view rel) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= rel.size()) {
        size_t end = rel.find('/', start);
        if (end == std::string_view::npos) end = rel.size();
        if (end > start) names.emplace_back(rel.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

struct Accepted {
    mv::FoundFile file;
    std::string location;  // the list location its title must be walked under
};

// The block's marker and lines: one CD marker, first; no line break anywhere.
void CheckBlock(const mv::CdBlockResult& block, std::string_view cdName) {
    FUZZ_CHECK(block.error.empty());
    FUZZ_CHECK(!block.lines.empty() && block.lines.front() == "\\" + mv::ToSingleLine(cdName));
    for (size_t k = 0; k < block.lines.size(); ++k) {
        FUZZ_CHECK(block.lines[k].find_first_of("\r\n") == std::string::npos);
        FUZZ_CHECK((mv::KindOfListLine(block.lines[k]) == mv::ListLineKind::CdMarker) == (k == 0));
        FUZZ_CHECK(mv::KindOfListLine(block.lines[k]) != mv::ListLineKind::Empty);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string root = (data[0] & 1) != 0 ? "/" : "/media/cd";
    std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string cdName;
    if (!NextField(in, cdName) || cdName.empty()) return 0;
    const std::string cdLocation = "/" + mv::ToSingleLine(cdName);

    std::vector<Accepted> accepted;
    std::string rel, name;
    while (NextField(in, rel) && NextField(in, name)) {
        const std::string folder = mv::TrimFolderPath(mv::JoinPath(root, rel));
        const std::vector<std::string> names = Names(folder.substr(root.size()));
        bool modelFolder = true;
        std::string location = cdLocation;
        for (const std::string& part : names) {
            modelFolder = modelFolder && ModelStorable(part);
            location += "/" + mv::ToSingleLine(part);
        }
        const std::string refusedPart = mv::UnstorableFolderPart(root, folder);
        FUZZ_CHECK(refusedPart.empty() == modelFolder);
        FUZZ_CHECK(refusedPart.empty() || folder.starts_with(refusedPart));
        FUZZ_CHECK(mv::IsStorableName(name) == ModelStorable(name));
        if (!modelFolder || !ModelStorable(name)) continue;
        accepted.push_back({{mv::NormalizeName(name), folder}, location});
    }

    std::vector<mv::FoundFile> files;
    for (const Accepted& a : accepted) files.push_back(a.file);
    mv::TMp3List list;
    list.EnsureHeader();
    const mv::CdBlockResult block = list.AppendCd(cdName, root, files);
    CheckBlock(block, cdName);
    FUZZ_CHECK(block.titleCount + block.titlesPassedOver.size() == files.size());
    const long found = list.FindCd(cdName);
    FUZZ_CHECK(found == 1 ||
               (found == 0 && mv::SameNameIgnoringCase(mv::ToSingleLine(cdName), "Mp3 List")));

    // Through the file, the same lines; walked, the titles kept in scan order.
    const auto path = FuzzFolder() / "Mp3List.txt";
    FUZZ_CHECK(list.Save(path).empty());
    mv::TMp3List back;
    FUZZ_CHECK(back.LoadWithStatus(path) == mv::ListLoadStatus::Read);
    FUZZ_CHECK(back.Lines() == list.Lines());
    size_t next = 0;
    back.WalkTitles([&](size_t, const std::string& title, const std::string& location) {
        while (next < accepted.size() &&
               !mv::IsStorableName(mv::ToSingleLine(accepted[next].file.title))) {
            ++next;
        }
        FUZZ_CHECK(next < accepted.size());
        FUZZ_CHECK(title == mv::ToSingleLine(accepted[next].file.title));
        FUZZ_CHECK(location == accepted[next].location);
        ++next;
    });

    FUZZ_CHECK(back.DeleteCd(1));
    FUZZ_CHECK(back.Lines() == std::vector<std::string>{std::string(mv::kListHeader)});
    return 0;
}
