// The poll window's reply readers on any bytes: the question reply, the
// question list and the results. What the server would format from a reading
// must read back the same, and the option count must be the leading digit.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_files.h"
#include "net/poll_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);

    const auto question = mv::ParseQuestion(reply);
    FUZZ_CHECK(question.has_value() == (size > 0 && reply[0] >= '0' && reply[0] <= '9'));
    if (question) {
        FUZZ_CHECK(question->options.size() == static_cast<size_t>(reply[0] - '0'));
        const auto again = mv::ParseQuestion(mv::FormatQuestion(*question));
        FUZZ_CHECK(again && again->question == question->question &&
                   again->options == question->options);
    }

    const auto list = mv::ParseQuestionList(reply);
    size_t total = 0;
    for (const auto& item : list) total += item.size() + 1;
    // Every byte is an item's byte or a "/" that ended one (the last may lack it).
    FUZZ_CHECK(total == size || total == size + 1);

    std::vector<std::string> lines;
    for (const auto& line : mv::ParseResults(reply)) lines.push_back(mv::ResultLineText(line));
    FUZZ_CHECK(lines.size() == (list.size() + 1) / 2);
    return 0;
}
