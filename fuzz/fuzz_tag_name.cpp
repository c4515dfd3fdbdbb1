// The ID3v1 block reader and the name builder. Input: one control byte (its
// low 7 bits: the length of the naming model), the model, then the bytes of
// a file whose last 128 bytes are read as its tag.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "filetools/id3v1_tag.h"
#include "filetools/naming_model.h"
#include "fuzz_files.h"
#include "platform/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t modelLength = std::min<size_t>(static_cast<uint8_t>(input[0]) & 0x7F, size - 1);
    const std::string_view model = input.substr(1, modelLength);
    const std::string_view file = input.substr(1 + modelLength);

    // The block: each field is a prefix of its slice, holds no zero byte, and
    // reads back the same from a block built of it.
    std::string block(file.substr(file.size() > mv::kTagSize ? file.size() - mv::kTagSize : 0));
    block.resize(mv::kTagSize, '\0');
    const mv::TagTexts fields = mv::ReadTagFields(block);
    for (int f = 0; f < mv::kTagFieldCount; ++f) {
        const mv::TagFieldSlice slice = mv::kTagFields[f];
        FUZZ_CHECK(fields[f].size() <= slice.width);
        FUZZ_CHECK(fields[f].find('\0') == std::string::npos);
        FUZZ_CHECK(block.compare(slice.offset, fields[f].size(), fields[f]) == 0);
    }
    const std::string built = mv::BuildTagBlock(fields);
    FUZZ_CHECK(built.size() == mv::kTagSize && mv::HasTagMarker(built) && built.back() == '\0');
    FUZZ_CHECK(mv::ReadTagFields(built) == fields);

    // The name: no zero byte, no run of blanks, valid UTF-8 from a valid model.
    const std::string name = mv::BuildNameFromModel(block, model);
    FUZZ_CHECK(name.find('\0') == std::string::npos);
    FUZZ_CHECK(name.find("  ") == std::string::npos);
    if (mv::IsValidUtf8(model)) FUZZ_CHECK(mv::IsValidUtf8(name));
    const std::string refusal = mv::NameRefusal(name, 255);
    const bool control = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    FUZZ_CHECK(refusal.empty() == (!name.empty() && name[0] != '.' && !control &&
                                   name.find('/') == std::string::npos && name.size() <= 255));

    // The same bytes as a file: read as the block says, and a tag written
    // reads back the same, replaced or appended.
    const auto path = WriteFuzzFile("song.mp3", file);
    const mv::TagReadResult read = mv::ReadFileTag(path.string());
    if (file.size() < mv::kTagSize) {
        FUZZ_CHECK(read.status == mv::TagReadStatus::Failed);
        FUZZ_CHECK(mv::WriteFileTag(path.string(), fields).status == mv::TagWriteStatus::NotOpened);
        return 0;
    }
    const bool tagged = mv::HasTagMarker(block);
    FUZZ_CHECK(read.status == (tagged ? mv::TagReadStatus::Tagged : mv::TagReadStatus::Untagged));
    FUZZ_CHECK(read.fields == (tagged ? fields : mv::TagTexts{}));
    const mv::TagWriteResult written = mv::WriteFileTag(path.string(), fields);
    FUZZ_CHECK(written.status ==
               (tagged ? mv::TagWriteStatus::Replaced : mv::TagWriteStatus::Appended));
    const mv::TagReadResult again = mv::ReadFileTag(path.string());
    FUZZ_CHECK(again.status == mv::TagReadStatus::Tagged && again.fields == fields);
    return 0;
}
