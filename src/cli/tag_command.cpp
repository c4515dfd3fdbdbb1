#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/row_output.h"
#include "filetools/id3v1_tag.h"
#include "platform/text_encoding.h"

// tag show | set: the ID3v1 tag panel without the window.
namespace mv::cli {
namespace {

const char* const kFieldNames[kTagFieldCount] = {"title", "artist", "album", "year", "comment"};

struct TagOptions {
    std::vector<std::string> files;
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

int RunShow(const TagOptions& opts, CommandIo& io) {
    int code = kExitOk;
    RowWriter writer(io.out, opts.output.Resolve(),
                     {"title", "artist", "album", "year", "comment", "file"}, 6);
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
        writer.Write(fields);
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
        "(empty fields for a file without a tag)");
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
