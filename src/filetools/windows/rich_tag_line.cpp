#include "filetools/windows/rich_tag_line.h"

#include <QStringList>
#include <utility>

#include "ui/common/display_text.h"

namespace mv {

namespace {

const char* SourceName(RichTagSource source) {
    return source == RichTagSource::Ape ? "APE" : "ID3v2";
}

// Name and text of the six fields the panel shows, in order.
std::array<std::pair<const char*, std::string>, 6> Fields(const RichTag& tag) {
    return {{{"Title", tag.title},
             {"Artist", tag.artist},
             {"Album", tag.album},
             {"Year", tag.year},
             {"Track", tag.track},
             {"Genre", tag.genre}}};
}

}  // namespace

QString RichTagLine(const RichTagRead& read) {
    if (!read.ok || read.source == RichTagSource::None) return {};
    QStringList parts;
    for (const auto& [name, text] : Fields(read.tag)) {
        if (text.empty()) continue;
        const std::string shown = name == std::string("Track") ? "track " + text : text;
        parts << DisplayText(shown);
    }
    return DisplayText(std::string(SourceName(read.source)) + ": ") +
           parts.join(DisplayText(" / "));
}

QString RichTagDetails(const RichTagRead& read) {
    if (!read.ok || read.source == RichTagSource::None) return {};
    QStringList lines{DisplayText(std::string(SourceName(read.source)) + " tag")};
    for (const auto& [name, text] : Fields(read.tag)) {
        lines << DisplayText(std::string(name) + ": " + text);
    }
    return lines.join(QLatin1Char('\n'));
}

RichTag RichTagForSave(const RichTag& read, const std::array<std::string, kTagFieldCount>& boxes,
                       const std::array<bool, kTagFieldCount>& changed) {
    RichTag tag = read;
    std::string* targets[] = {&tag.title, &tag.artist, &tag.album, &tag.year};
    for (int f = kTitle; f <= kYear; ++f) {
        if (!changed[f] && !targets[f]->empty()) continue;
        // ID3v1 fields are often padded with blanks, which ID3v2 has no use for.
        const std::size_t end = boxes[f].find_last_not_of(' ');
        *targets[f] = end == std::string::npos ? std::string() : boxes[f].substr(0, end + 1);
    }
    return tag;
}

}  // namespace mv
