#include "cli/pair_details.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "cli/facts_fields.h"
#include "dupes/result_export.h"

namespace mv::cli {
namespace {

const MediaFacts* SideFacts(const FactsByPath& facts, const std::string& text, RowKind kind) {
    if (kind != RowKind::FileOnDisk) return nullptr;
    const auto it = facts.find(text);
    return it == facts.end() ? nullptr : &it->second;
}

void AddColumns(std::vector<std::string>& columns, const std::string& prefix) {
    for (const std::string& column : FactsColumns()) columns.push_back(prefix + column);
}

std::string SimilarityText(double similarity) {
    char text[16];
    std::snprintf(text, sizeof text, "%.3f", similarity);
    return text;
}

}  // namespace

std::vector<std::string> DetailsColumns(RowFormat format, bool withSound) {
    std::vector<std::string> columns = {"left", "right"};
    // The CSV keeps the kinds where it has always had them; TSV never had them.
    if (format == RowFormat::Csv) columns = ResultRowColumns();
    AddColumns(columns, "left ");
    AddColumns(columns, "right ");
    columns.push_back("same_audio");
    if (withSound) columns.push_back("sound_similarity");
    return columns;
}

void WriteDetailsRow(RowWriter& writer, RowFormat format, const ResultRow& row,
                     const FactsByPath& facts, const std::optional<SoundColumn>& sound) {
    const MediaFacts* left = SideFacts(facts, row.left, row.leftKind);
    const MediaFacts* right = SideFacts(facts, row.right, row.rightKind);
    const std::optional<bool> same = left && right ? SameAudio(*left, *right) : std::nullopt;
    const std::string leftText = FieldText(row.left, row.leftKind);
    const std::string rightText = FieldText(row.right, row.rightKind);

    std::vector<std::string> fields = {leftText, rightText};
    if (format == RowFormat::Csv) {
        fields.push_back(RowKindName(row.leftKind));
        fields.push_back(RowKindName(row.rightKind));
    }
    for (const MediaFacts* side : {left, right}) {
        for (std::string& field : FactsFields(side)) fields.push_back(std::move(field));
    }
    fields.push_back(SameAudioField(same));
    std::vector<std::pair<std::string, JsonValue>> members = {
        {"left", JsonValue::Text(leftText)},
        {"right", JsonValue::Text(rightText)},
        {"left kind", JsonValue::Text(RowKindName(row.leftKind))},
        {"right kind", JsonValue::Text(RowKindName(row.rightKind))},
        {"left_facts", FactsJson(row.left, left)},
        {"right_facts", FactsJson(row.right, right)},
        {"same_audio", SameAudioJson(same)},
    };
    if (sound) {
        const std::optional<double>& similarity = sound->similarity;
        const std::string text = similarity ? SimilarityText(*similarity) : "";
        fields.push_back(similarity ? text : "-");
        members.emplace_back("sound_similarity", similarity
                                                     ? JsonValue{JsonValue::Type::Literal, text, {}}
                                                     : JsonValue::Null());
    }
    writer.Write(fields, JsonValue::Object(std::move(members)));
}

}  // namespace mv::cli
