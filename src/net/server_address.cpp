#include "net/server_address.h"

#include <algorithm>
#include <cctype>

namespace mv {

namespace {

constexpr const char* kForm =
    " Enter host:port (localhost:8080) or an http:// or https:// address "
    "(https://example.org/mp3vandrel).";

ServerAddressCheck Refuse(const std::string& why) {
    return {false, {}, why + kForm};
}

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '.' || c == '_';
}

// A host name or IPv4 address: labels of letters, digits, '-' and '_'
// between single dots; or an IPv6 address in brackets.
bool ValidHost(std::string_view host) {
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        const std::string_view inner = host.substr(1, host.size() - 2);
        const bool chars = std::all_of(inner.begin(), inner.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0 || c == ':' || c == '.';
        });
        return chars && inner.find(':') != std::string_view::npos;
    }
    if (host.empty() || !std::all_of(host.begin(), host.end(), IsNameChar)) return false;
    return host.front() != '.' && host.back() != '.' && host.find("..") == std::string_view::npos;
}

// "host", "host:port" or "[v6]:port"; an empty message when it is good.
std::string CheckAuthority(std::string_view authority, bool portRequired) {
    if (authority.empty()) return "The address has no host.";
    if (authority.find('@') != std::string_view::npos) return "A user name is not supported.";
    const size_t bracket = authority.rfind(']');
    const size_t colon = authority.rfind(':');
    const bool hasPort =
        colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket);
    const std::string_view host = hasPort ? authority.substr(0, colon) : authority;
    if (!ValidHost(host)) return "\"" + std::string(host) + "\" is not a host name or address.";
    if (!hasPort) return portRequired ? "The port is missing (host:port)." : "";
    const std::string_view port = authority.substr(colon + 1);
    const bool digits =
        !port.empty() && port.size() <= 5 && std::all_of(port.begin(), port.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        });
    const long number = digits ? std::stol(std::string(port)) : 0;
    if (number < 1 || number > 65535) return "The port must be a number from 1 to 65535.";
    return "";
}

}  // namespace

ServerAddressCheck CheckServerAddress(std::string_view text) {
    const std::string_view value = Trim(text);
    if (value.empty()) return Refuse("The server is empty.");
    if (std::any_of(value.begin(), value.end(), IsSpace))
        return Refuse("The server must not hold spaces.");
    const size_t schemeEnd = value.find("://");
    std::string keep;
    std::string_view rest = value;
    if (schemeEnd != std::string_view::npos) {
        const std::string scheme = Lower(value.substr(0, schemeEnd));
        if (scheme != "http" && scheme != "https")
            return Refuse("\"" + scheme + "://\" is not supported, only http:// and https://.");
        keep = scheme + "://";
        rest = value.substr(schemeEnd + 3);
    }
    if (rest.find_first_of("?#") != std::string_view::npos)
        return Refuse("A query or fragment (? or #) is not supported.");
    const size_t slash = rest.find('/');
    const std::string_view authority = rest.substr(0, slash);
    if (schemeEnd == std::string_view::npos && slash != std::string_view::npos)
        return Refuse(slash == 0 ? "The address has no host." : "A path needs an http:// address.");
    const std::string problem = CheckAuthority(authority, schemeEnd == std::string_view::npos);
    if (!problem.empty()) return Refuse(problem);
    return {true, keep + std::string(rest), {}};
}

}  // namespace mv
