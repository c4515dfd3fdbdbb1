// The server a user types in Options > Server...: which values are kept (and
// as what) and which are refused, and that every kept value makes the URL
// the version check asks for.
#include "net/server_address.h"

#include <gtest/gtest.h>

#include "net/http_transport.h"

namespace mv {

namespace {

TEST(CheckServerAddress, GoodValuesAreKeptAsTheTransportReadsThem) {
    const struct {
        const char* typed;
        const char* kept;
        const char* versionUrl;
    } cases[] = {
        {"localhost:8080", "localhost:8080", "http://localhost:8080/Mp3VandrelVersion.txt"},
        {"  example.org:80\t", "example.org:80", "http://example.org:80/Mp3VandrelVersion.txt"},
        {"10.0.0.7:1", "10.0.0.7:1", "http://10.0.0.7:1/Mp3VandrelVersion.txt"},
        {"host:65535", "host:65535", "http://host:65535/Mp3VandrelVersion.txt"},
        {"[::1]:8080", "[::1]:8080", "http://[::1]:8080/Mp3VandrelVersion.txt"},
        {"http://example.org", "http://example.org", "http://example.org/Mp3VandrelVersion.txt"},
        {"HTTPS://Example.org:8443/", "https://Example.org:8443/",
         "https://Example.org:8443/Mp3VandrelVersion.txt"},
        {"https://example.org/mp3vandrel", "https://example.org/mp3vandrel",
         "https://example.org/mp3vandrel/Mp3VandrelVersion.txt"},
        {"http://[fe80::1]:80/", "http://[fe80::1]:80/",
         "http://[fe80::1]:80/Mp3VandrelVersion.txt"},
        {"http://my_host.local:8080", "http://my_host.local:8080",
         "http://my_host.local:8080/Mp3VandrelVersion.txt"},
    };
    for (const auto& c : cases) {
        const ServerAddressCheck check = CheckServerAddress(c.typed);
        EXPECT_TRUE(check.ok) << c.typed << ": " << check.message;
        EXPECT_EQ(check.server, c.kept) << c.typed;
        EXPECT_EQ(RequestUrl(check.server, "/Mp3VandrelVersion.txt"), c.versionUrl) << c.typed;
        EXPECT_EQ(check.message, "") << c.typed;
    }
}

TEST(CheckServerAddress, BadValuesAreRefusedWithTheirCause) {
    const struct {
        const char* typed;
        const char* cause;  // a part of the message
    } cases[] = {
        {"", "empty"},
        {"   ", "empty"},
        {"local host:8080", "spaces"},
        {"localhost: 8080", "spaces"},
        {"localhost", "port is missing"},
        {"localhost:0", "1 to 65535"},
        {"localhost:70000", "1 to 65535"},
        {"localhost:123456", "1 to 65535"},
        {"localhost:-1", "1 to 65535"},
        {"localhost:", "1 to 65535"},
        {"localhost:80a", "1 to 65535"},
        {"http://localhost:0", "1 to 65535"},
        {"ftp://example.org", "\"ftp://\" is not supported"},
        {"file:///etc/passwd", "\"file://\" is not supported"},
        {"/Mp3VandrelVersion.txt", "no host"},
        {"http:///path/only", "no host"},
        {"https://", "no host"},
        {"http://:8080", "is not a host"},
        {"localhost:8080/base", "needs an http://"},
        {"http://user@example.org", "user name"},
        {"http://example.org/?a=1", "query"},
        {"http://example.org/#top", "query"},
        {"http://exa$mple.org", "is not a host"},
        {"http://example..org", "is not a host"},
        {"[::1]", "port is missing"},
        {"[zz::1]:80", "is not a host"},
        {"[]:80", "is not a host"},
    };
    for (const auto& c : cases) {
        const ServerAddressCheck check = CheckServerAddress(c.typed);
        EXPECT_FALSE(check.ok) << c.typed;
        EXPECT_EQ(check.server, "") << c.typed;
        EXPECT_NE(check.message.find(c.cause), std::string::npos)
            << c.typed << ": " << check.message;
        // Every refusal says what would do.
        EXPECT_NE(check.message.find("host:port"), std::string::npos) << c.typed;
    }
}

}  // namespace

}  // namespace mv
