#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace mv::test {

// Sends `request` as raw bytes to 127.0.0.1:port (in pieces of `chunk` bytes
// with `pause` between them, for a slow client) and returns the first answer:
// its head and the Content-Length bytes of its body (without that header,
// whatever came before the server closed or `timeoutSeconds` of silence).
inline std::string RawExchange(int port, const std::string& request, size_t chunk = 0,
                               std::chrono::milliseconds pause = {}, int timeoutSeconds = 10) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    timeval tv{timeoutSeconds, 0};
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(s);
        return {};
    }
    if (chunk == 0) chunk = request.size();
    for (size_t at = 0; at < request.size(); at += chunk) {
        if (at > 0) std::this_thread::sleep_for(pause);
        const size_t n = std::min(chunk, request.size() - at);
        if (send(s, request.data() + at, n, MSG_NOSIGNAL) < 0) break;
    }
    std::string answer;
    char buffer[4096];
    ssize_t got;
    while ((got = recv(s, buffer, sizeof buffer, 0)) > 0) {
        answer.append(buffer, got);
        // A server keeps the connection open after an error answer too.
        const size_t head = answer.find("\r\n\r\n");
        if (head == std::string::npos) continue;
        const size_t length = answer.find("Content-Length: ");
        if (length == std::string::npos || length > head) continue;
        const size_t body = std::strtoul(answer.c_str() + length + 16, nullptr, 10);
        if (answer.size() >= head + 4 + body) break;
    }
    close(s);
    return answer;
}

// The status code of a raw answer ("HTTP/1.1 404 Not Found" -> 404), 0 if none.
inline int StatusOf(const std::string& answer) {
    if (answer.size() < 12 || answer.compare(0, 5, "HTTP/") != 0) return 0;
    return std::atoi(answer.c_str() + 9);
}

// A GET with "Connection: close", so the server closes after answering.
inline std::string GetRequest(const std::string& target) {
    return "GET " + target + " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";
}

}  // namespace mv::test
