// The connect rule: Qt 6.4 ignores QT_NO_CONTEXTLESS_CONNECT, so the source
// is read for a connect to a lambda or function with no context object. Such
// a connection outlives the object the lambda captures.
#include <algorithm>
#include <regex>

#include "source_rules.h"

namespace mv::test {

namespace {

// `text` with comments and the insides of string and character literals
// blanked (newlines kept), so neither is read as code.
std::string CodeOnly(const std::string& text) {
    std::string code = text;
    size_t i = 0;
    const auto blankUntil = [&](size_t end) {
        for (; i < end && i < code.size(); ++i) {
            if (code[i] != '\n') code[i] = ' ';
        }
    };
    while (i < code.size()) {
        if (code.compare(i, 2, "//") == 0) {
            blankUntil(code.find('\n', i));
        } else if (code.compare(i, 2, "/*") == 0) {
            const size_t end = code.find("*/", i + 2);
            blankUntil(end == std::string::npos ? end : end + 2);
        } else if (code.compare(i, 2, "R\"") == 0) {
            const size_t open = code.find('(', i);
            // Appended piece by piece: GCC 12 misreads "x" + temporary when optimising.
            std::string close(1, ')');
            close.append(code, i + 2, open == std::string::npos ? open : open - i - 2);
            close += '"';
            const size_t end = open == std::string::npos ? open : code.find(close, open);
            blankUntil(end == std::string::npos ? end : end + close.size());
        } else if (code[i] == '"' || code[i] == '\'') {
            const char quote = code[i];
            size_t end = i + 1;
            while (end < code.size() && code[end] != quote && code[end] != '\n') {
                end += code[end] == '\\' ? 2 : 1;
            }
            ++i;  // the quotes stay, so an argument still reads as one
            blankUntil(end);
            ++i;
        } else {
            ++i;
        }
    }
    return code;
}

// The top-level arguments of the call whose '(' is at `open`.
std::vector<std::string> Arguments(const std::string& code, size_t open) {
    std::vector<std::string> args(1);
    int depth = 0;
    for (size_t i = open + 1; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '(' || c == '[' || c == '{') ++depth;
        if (c == ')' || c == ']' || c == '}') {
            if (depth == 0) break;
            --depth;
        }
        if (c == ',' && depth == 0) {
            args.emplace_back();
        } else {
            args.back() += c;
        }
    }
    return args;
}

size_t LineOf(const std::string& text, size_t at) {
    return 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n');
}

}  // namespace

// A connect with three arguments (sender, signal, what runs) has no context
// object; the string-based form (SIGNAL/SLOT) names its receiver. ::connect
// is the socket call.
std::vector<std::string> ContextlessConnectFaults(const SourceTree& tree) {
    static const std::regex call(R"re((^|[^A-Za-z0-9_:])(QObject::)?connect\s*\()re");
    std::vector<std::string> faults;
    for (const auto& file : tree.files) {
        const std::string code = CodeOnly(file.text);
        for (auto it = std::sregex_iterator(code.begin(), code.end(), call);
             it != std::sregex_iterator(); ++it) {
            const size_t open = static_cast<size_t>(it->position(0) + it->length(0) - 1);
            const auto args = Arguments(code, open);
            if (args.size() != 3 || args[2].find("SLOT(") != std::string::npos ||
                args[2].find("SIGNAL(") != std::string::npos)
                continue;
            faults.push_back(file.relative + ":" + std::to_string(LineOf(code, open)) +
                             ": connect without a context object");
        }
    }
    return faults;
}

}  // namespace mv::test
