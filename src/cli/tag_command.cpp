#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/row_output.h"
#include "filetools/id3v1_tag.h"
#include "filetools/rich_tag.h"
#include "platform/text_encoding.h"

// tag show | set: the ID3v1 tag panel without the window.
namespace mv::cli {
namespace {

const char* const kFieldNames[kTagFieldCount] = {"title", "artist", "album", "year", "comment"};

struct TagOptions {
    std::vector<std::string> files;
    bool allTags = false;  // show: the ID3v2 (else APE) fields too
    FormatOptions output;  // show: -z, --format
    // set: the texts given, as typed (UTF-8); unset ones keep the file's text.
    std::array<std::optional<std::string>, kTagFieldCount> texts;
};

std::string CodePointText(char32_t cp) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(cp));
    if (cp == 0xFFFD) return hex;
    std::string shown;
    AppendUtf8(shown, cp);
    return std::string(hex) + " \"" + shown + "\"";
}

const char* const kRichNames[] = {"title", "artist", "album", "year", "track", "genre"};

std::vector<std::string> RichTexts(const RichTag& tag) {
    return {tag.title, tag.artist, tag.album, tag.year, tag.track, tag.genre};
}

// The row's JSON object: the ID3v1 fields, the file, and under "id3v2" the
// richer tag's fields and where they come from (null for a file with neither).
JsonValue ShowJson(const std::vector<std::string>& fields, const RichTagRead& rich) {
    std::vector<std::pair<std::string, JsonValue>> members;
    for (int f = 0; f < kTagFieldCount; ++f)
        members.emplace_back(kFieldNames[f], JsonValue::Text(fields[f]));
    members.emplace_back("file", JsonValue::Text(fields[kTagFieldCount]));
    if (rich.source == RichTagSource::None) {
        members.emplace_back("id3v2", JsonValue::Null());
        return JsonValue::Object(std::move(members));
    }
    std::vector<std::pair<std::string, JsonValue>> inner;
    const std::vector<std::string> texts = RichTexts(rich.tag);
    for (std::size_t k = 0; k < texts.size(); ++k)
        inner.emplace_back(kRichNames[k], JsonValue::Text(texts[k]));
    inner.emplace_back("from",
                       JsonValue::Text(rich.source == RichTagSource::Ape ? "ape" : "id3v2"));
    members.emplace_back("id3v2", JsonValue::Object(std::move(inner)));
    return JsonValue::Object(std::move(members));
}

std::vector<std::string> ShowColumns(bool allTags) {
    std::vector<std::string> columns = {"title", "artist", "album", "year", "comment", "file"};
    if (allTags) {
        for (const char* name : kRichNames) columns.push_back(std::string("id3v2_") + name);
    }
    return columns;
}

int RunShow(const TagOptions& opts, CommandIo& io) {
    int code = kExitOk;
    const std::vector<std::string> columns = ShowColumns(opts.allTags);
    RowWriter writer(io.out, opts.output.Resolve(), columns, columns.size());
    for (const std::string& file : opts.files) {
        const TagReadResult tag = ReadFileTag(file);
        if (tag.status == TagReadStatus::Failed) {
            io.err << "Unable to open file " << file << ": " << tag.reason << '\n';
            code = kExitFailure;
            continue;
        }
        std::vector<std::string> fields;
        for (const std::string& field : tag.fields) fields.push_back(Windows1252ToUtf8(field));
        fields.push_back(file);
        if (!opts.allTags) {
            writer.Write(fields);
            continue;
        }
        const RichTagRead rich = ReadRichTag(file);
        for (const std::string& text : RichTexts(rich.tag)) fields.push_back(text);
        writer.Write(fields, ShowJson(fields, rich));
    }
    return code;
}

int RunSet(const TagOptions& opts, CommandIo& io) {
    // Every text is checked before any file is touched.
    std::array<std::optional<std::string>, kTagFieldCount> bytes;
    bool refused = false;
    for (int f = 0; f < kTagFieldCount; ++f) {
        if (!opts.texts[f]) continue;
        char32_t bad = 0;
        bytes[f] = Utf8ToWindows1252Exact(*opts.texts[f], &bad);
        if (!bytes[f]) {
            io.err << "--" << kFieldNames[f] << ": the character " << CodePointText(bad)
                   << " cannot be stored: an ID3v1 tag holds only Windows-1252 characters.\n";
            refused = true;
        } else if (bytes[f]->size() > kTagFields[f].width) {
            io.err << "--" << kFieldNames[f] << ": " << bytes[f]->size()
                   << " characters, but the field holds at most " << kTagFields[f].width << ".\n";
            refused = true;
        }
    }
    if (refused) {
        io.err << "Nothing was written.\n";
        return kExitUsage;
    }
    int code = kExitOk;
    for (const std::string& file : opts.files) {
        const TagReadResult old = ReadFileTag(file);
        if (old.status == TagReadStatus::Failed) {
            io.err << "Unable to open file " << file << ": " << old.reason << '\n';
            code = kExitFailure;
            continue;
        }
        TagTexts texts = old.fields;
        for (int f = 0; f < kTagFieldCount; ++f) {
            if (bytes[f]) texts[f] = *bytes[f];
        }
        const TagWriteResult written = WriteFileTag(file, texts);
        switch (written.status) {
            case TagWriteStatus::Replaced:
                break;
            case TagWriteStatus::Appended:
                io.err << file << " had no ID3v1 tag; one was added at its end.\n";
                break;
            case TagWriteStatus::NotOpened:
                io.err << "Unable to open file " << file << ": " << written.reason << '\n';
                code = kExitFailure;
                break;
            case TagWriteStatus::WriteFailed:
                io.err << "Unable to write in the file " << file << ": " << written.reason << '\n';
                code = kExitFailure;
                break;
        }
    }
    return code;
}

}  // namespace

void AddTagCommand(CLI::App& app, CommandList& commands) {
    CLI::App* tag = app.add_subcommand("tag", "Shows and sets the ID3v1 tags of MP3 files");
    tag->require_subcommand(1);

    auto show = std::make_shared<TagOptions>();
    CLI::App* showApp = tag->add_subcommand(
        "show",
        "Writes TITLE<TAB>ARTIST<TAB>ALBUM<TAB>YEAR<TAB>COMMENT<TAB>FILE for each FILE "
        "(empty fields for a file without a tag); with --all-tags also the ID3v2 (else APE) "
        "TITLE, ARTIST, ALBUM, YEAR, TRACK and GENRE");
    showApp->add_flag("--all-tags", show->allTags,
                      "Add the fields of the ID3v2 tag, or of the APE tag without one (JSON: "
                      "the object \"id3v2\", null when the file has neither)");
    AddFormatOptions(showApp, show->output);
    showApp->add_option("FILE", show->files, "MP3 files")->required();
    commands.push_back({showApp, [show](CommandIo& io) { return RunShow(*show, io); }});

    auto set = std::make_shared<TagOptions>();
    CLI::App* setApp = tag->add_subcommand(
        "set",
        "Writes the fields given into the tag of each FILE; the others keep their text. "
        "A file without a tag gets one added at its end.");
    const char* const help[kTagFieldCount] = {
        "The title (at most 30 characters)", "The artist (at most 30 characters)",
        "The album (at most 30 characters)", "The year (at most 4 characters)",
        "The comment (at most 30 characters)"};
    for (int f = 0; f < kTagFieldCount; ++f) {
        setApp->add_option_function<std::string>(
            std::string("--") + kFieldNames[f],
            [set, f](const std::string& text) { set->texts[f] = text; }, help[f]);
    }
    setApp->add_option("FILE", set->files, "MP3 files")->required();
    commands.push_back({setApp, [set](CommandIo& io) { return RunSet(*set, io); }});
}

}  // namespace mv::cli
