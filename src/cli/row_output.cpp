#include "cli/row_output.h"

#include "cli/terminal_text.h"
#include "dupes/result_export.h"
#include "platform/text_encoding.h"
#include "platform/text_fields.h"

namespace mv::cli {

RowFormat FormatOptions::Resolve() const {
    if (nulSeparated) return RowFormat::Nul;
    if (format == "csv") return RowFormat::Csv;
    if (format == "json") return RowFormat::Json;
    return RowFormat::Tsv;
}

void AddFormatOptions(CLI::App* sub, FormatOptions& opts) {
    CLI::Option* nul =
        sub->add_flag("-z,--null", opts.nulSeparated,
                      "End every field with NUL (LEFT NUL RIGHT NUL) instead of escaping "
                      "TAB, CR, LF, backslash and other control bytes");
    sub->add_option("--format", opts.format,
                    "tsv (default), csv (RFC 4180, UTF-8, with a header) or json")
        ->check(CLI::IsMember({"tsv", "csv", "json"}))
        ->excludes(nul);
}

std::string FieldText(std::string_view text, RowKind kind) {
    const bool catalogueText = kind == RowKind::ListLocation || kind == RowKind::SearchRow;
    return catalogueText ? DisplayUtf8(text) : std::string(text);
}

JsonValue JsonValue::Text(std::string text) {
    return {Type::Text, std::move(text), {}};
}

JsonValue JsonValue::Number(long long number) {
    return {Type::Literal, std::to_string(number), {}};
}

JsonValue JsonValue::Bool(bool value) {
    return {Type::Literal, value ? "true" : "false", {}};
}

JsonValue JsonValue::Null() {
    return {Type::Literal, "null", {}};
}

JsonValue JsonValue::Object(std::vector<std::pair<std::string, JsonValue>> members) {
    return {Type::Object, {}, std::move(members)};
}

std::string JsonText(const JsonValue& value) {
    switch (value.type) {
        case JsonValue::Type::Text:
            return JsonString(value.text);
        case JsonValue::Type::Literal:
            return value.text;
        case JsonValue::Type::Object:
            break;
    }
    // The row objects' own spacing, so a nested object reads like its row.
    std::string text = "{";
    for (size_t i = 0; i < value.members.size(); ++i) {
        if (i > 0) text += ", ";
        text += JsonString(value.members[i].first) + ": " + JsonText(value.members[i].second);
    }
    return text + "}";
}

std::vector<std::string> ResultRowColumns() {
    return {"left", "right", "left kind", "right kind"};
}

RowWriter::RowWriter(std::ostream& out, RowFormat format, std::vector<std::string> columns,
                     size_t plainColumns)
    : out_(out), format_(format), columns_(std::move(columns)), plainColumns_(plainColumns) {}

RowWriter::~RowWriter() {
    Finish();
}

void RowWriter::Write(const std::vector<std::string>& fields) {
    const size_t count = std::min(fields.size(), columns_.size());
    switch (format_) {
        case RowFormat::Tsv:
            for (size_t i = 0; i < plainColumns_ && i < count; ++i) {
                if (i > 0) out_ << '\t';
                out_ << TsvField(fields[i]);
            }
            out_ << '\n';
            break;
        case RowFormat::Nul:
            for (size_t i = 0; i < plainColumns_ && i < count; ++i) out_ << fields[i] << '\0';
            break;
        case RowFormat::Csv:
            if (!started_) {
                for (size_t i = 0; i < columns_.size(); ++i) {
                    out_ << (i > 0 ? "," : "") << CsvField(columns_[i]);
                }
                out_ << "\r\n";
            }
            for (size_t i = 0; i < count; ++i) {
                out_ << (i > 0 ? "," : "") << CsvField(DisplayUtf8(fields[i]));
            }
            out_ << "\r\n";
            break;
        case RowFormat::Json:
            StartJsonRow();
            out_ << '{';
            for (size_t i = 0; i < count; ++i) {
                out_ << (i > 0 ? ", " : "") << JsonString(columns_[i]) << ": "
                     << JsonString(fields[i]);
            }
            out_ << '}';
            break;
    }
    started_ = true;
}

void RowWriter::StartJsonRow() {
    out_ << (started_ ? ",\n" : "[\n") << "  ";
}

void RowWriter::Write(const std::vector<std::string>& fields, const JsonValue& object) {
    if (format_ != RowFormat::Json) {
        Write(fields);
        return;
    }
    StartJsonRow();
    out_ << JsonText(object);
    started_ = true;
}

void RowWriter::Write(const ResultRow& row) {
    Write({FieldText(row.left, row.leftKind), FieldText(row.right, row.rightKind),
           RowKindName(row.leftKind), RowKindName(row.rightKind)});
}

void RowWriter::Finish() {
    if (finished_) return;
    finished_ = true;
    if (format_ == RowFormat::Csv && !started_) {
        // The header alone: a spreadsheet still sees the columns.
        for (size_t i = 0; i < columns_.size(); ++i) {
            out_ << (i > 0 ? "," : "") << CsvField(columns_[i]);
        }
        out_ << "\r\n";
    }
    if (format_ == RowFormat::Json) out_ << (started_ ? "\n]\n" : "[]\n");
    out_.flush();
}

}  // namespace mv::cli
