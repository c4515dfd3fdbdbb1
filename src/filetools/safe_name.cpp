#include "filetools/safe_name.h"

namespace mv {

std::string WindowsSafeName(std::string_view name) {
    std::string out;
    out.reserve(name.size() + 4);
    for (const char c : name) {
        switch (c) {
            case ':':
                out += " -";
                break;
            case '\\':
            case '*':
            case '?':
            case '"':
            case '<':
            case '>':
            case '|':
                out += '_';
                break;
            default:
                out += c;
        }
    }
    while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
    return out;
}

}  // namespace mv
