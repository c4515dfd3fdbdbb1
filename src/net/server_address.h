#pragma once

#include <string>
#include <string_view>

// The server of the version check and the poll, as the user types it in
// Options > Server...: the checks the value passes before the settings keep it.
namespace mv {

struct ServerAddressCheck {
    bool ok = false;
    // ok: the value to keep, trimmed, its scheme in lower case ("host:port",
    // "http://host[:port][/base]", "https://..."); RequestUrl appends the
    // documents' paths to it.
    std::string server;
    std::string message;  // !ok: what is wrong, for the user
};

// Accepts host:port (a port from 1 to 65535), or an http:// or https:// URL
// with a host, an optional port and an optional base path. The host is a
// name or IPv4 address, or an IPv6 address in brackets ([::1]:8080).
// Refused: an empty value, spaces inside, other schemes, no host, a port out
// of range, a user name, a query or a fragment, a path after host:port.
ServerAddressCheck CheckServerAddress(std::string_view text);

}  // namespace mv
