#include "request_front.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <httplib.h>
#include <netdb.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace mv {

namespace {

using Clock = std::chrono::steady_clock;

// One request already in memory; the answer goes straight to the socket.
class BufferedRequestStream : public httplib::Stream {
  public:
    BufferedRequestStream(std::string request, int fd, std::string ip, int port,
                          std::chrono::milliseconds writeTimeout)
        : request_(std::move(request)),
          fd_(fd),
          ip_(std::move(ip)),
          port_(port),
          writeTimeout_(writeTimeout) {}

    bool is_readable() const override { return at_ < request_.size(); }
    bool is_writable() const override { return WaitWritable(writeTimeout_.count()); }
    ssize_t read(char* ptr, size_t size) override {
        const size_t n = std::min(size, request_.size() - at_);
        std::copy_n(request_.data() + at_, n, ptr);
        at_ += n;
        return static_cast<ssize_t>(n);
    }
    // The socket is non-blocking (the front polls it); a client that stops
    // reading holds the worker for the write timeout at most.
    ssize_t write(const char* ptr, size_t size) override {
        const auto until = Clock::now() + writeTimeout_;
        size_t sent = 0;
        while (sent < size) {
            const ssize_t n = ::send(fd_, ptr + sent, size - sent, MSG_NOSIGNAL);
            if (n > 0) {
                sent += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
            if (left.count() <= 0 || !WaitWritable(left.count())) return -1;
        }
        return static_cast<ssize_t>(size);
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        ip = ip_;
        port = port_;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage a{};
        socklen_t len = sizeof a;
        char text[INET6_ADDRSTRLEN] = {};
        if (getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) return;
        getnameinfo(reinterpret_cast<sockaddr*>(&a), len, text, sizeof text, nullptr, 0,
                    NI_NUMERICHOST);
        ip = text;
        port = a.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&a)->sin6_port)
                                       : ntohs(reinterpret_cast<sockaddr_in*>(&a)->sin_port);
    }
    socket_t socket() const override { return fd_; }

  private:
    bool WaitWritable(long long ms) const {
        pollfd p{fd_, POLLOUT, 0};
        return ::poll(&p, 1, static_cast<int>(ms)) == 1 && (p.revents & POLLOUT) != 0;
    }

    std::string request_;
    size_t at_ = 0;
    int fd_;
    std::string ip_;
    int port_;
    std::chrono::milliseconds writeTimeout_;
};

// The numeric address and port of a peer.
std::pair<std::string, int> PeerOf(const sockaddr_storage& a, socklen_t len) {
    char text[INET6_ADDRSTRLEN] = {};
    getnameinfo(reinterpret_cast<const sockaddr*>(&a), len, text, sizeof text, nullptr, 0,
                NI_NUMERICHOST);
    const int port = a.ss_family == AF_INET6
                         ? ntohs(reinterpret_cast<const sockaddr_in6*>(&a)->sin6_port)
                         : ntohs(reinterpret_cast<const sockaddr_in*>(&a)->sin_port);
    return {text, port};
}

const char* Reason(int status) {
    switch (status) {
        case 400:
            return "Bad Request";
        case 408:
            return "Request Timeout";
        case 413:
            return "Payload Too Large";
        case 431:
            return "Request Header Fields Too Large";
        default:
            return "Service Unavailable";
    }
}

// A short answer sent without waiting: the connection is closed after it
// whether or not it all went out.
void SendRefusal(int fd, int status) {
    const std::string body = "Request refused (" + std::to_string(status) + ").\n";
    const std::string answer =
        "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) +
        "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
        "\r\nConnection: close\r\n\r\n" + body;
    [[maybe_unused]] const auto sent =
        ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

struct Connection {
    int fd = -1;
    std::string ip;
    int port = 0;
    std::string bytes;    // received, not yet handed to a worker
    size_t searched = 0;  // of `bytes`, known to hold no end of the head
    Clock::time_point deadline;
    size_t served = 0;
    bool inWorker = false;
    bool peerDone = false;  // the client has shut down its sending side
};

struct Returned {
    int fd;
    bool keepOpen;
};

}  // namespace

struct RequestFront::State {
    RequestFrontParams params;
    int listenFd = -1;
    int epollFd = -1;
    int wakeFd = -1;
    std::atomic<bool> stopping{false};
    std::unordered_map<int, Connection> connections;
    std::map<std::string, size_t> perAddress;
    std::mutex returnedMutex;
    std::vector<Returned> returned;
    std::unique_ptr<httplib::ThreadPool> pool;

    void Log(const Connection& c, int status, const std::string& why) {
        if (params.log)
            params.log("mp3vandrel-server: " + c.ip + " refused (" + std::to_string(status) +
                       "): " + why);
    }
    void Watch(int fd) {
        epoll_event e{};
        e.events = EPOLLIN | EPOLLRDHUP;
        e.data.fd = fd;
        epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &e);
    }
    void Close(int fd);
    void Refuse(Connection& c, int status, const std::string& why) {
        SendRefusal(c.fd, status);
        Log(c, status, why);
        Close(c.fd);
    }
    void Accept();
    void Admit(int fd, const sockaddr_storage& a, socklen_t len);
    void Receive(Connection& c);
    void Advance(Connection& c);
    void Dispatch(Connection& c, size_t length);
    void TakeReturned();
    void Sweep();
};

void RequestFront::State::Close(int fd) {
    const auto it = connections.find(fd);
    if (it == connections.end()) return;
    if (!it->second.inWorker) epoll_ctl(epollFd, EPOLL_CTL_DEL, fd, nullptr);
    const auto count = perAddress.find(it->second.ip);
    if (count != perAddress.end() && --count->second == 0) perAddress.erase(count);
    ::close(fd);
    connections.erase(it);
}

void RequestFront::State::Accept() {
    for (;;) {
        sockaddr_storage a{};
        socklen_t len = sizeof a;
        const int fd =
            accept4(listenFd, reinterpret_cast<sockaddr*>(&a), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;  // no more waiting, or out of descriptors until some close
        Admit(fd, a, len);
    }
}

void RequestFront::State::Admit(int fd, const sockaddr_storage& a, socklen_t len) {
    auto [ip, port] = PeerOf(a, len);
    Connection c{fd, ip, port, {}, 0, Clock::now() + params.requestDeadline, 0, false, false};
    const size_t fromHere = perAddress.contains(ip) ? perAddress[ip] : 0;
    if (connections.size() >= params.maxConnections ||
        (params.maxPerAddress > 0 && fromHere >= params.maxPerAddress)) {
        SendRefusal(fd, 503);
        Log(c, 503,
            connections.size() >= params.maxConnections ? "too many connections"
                                                        : "too many connections from it");
        ::close(fd);
        return;
    }
    ++perAddress[ip];
    connections.emplace(fd, std::move(c));
    Watch(fd);
}

void RequestFront::State::Receive(Connection& c) {
    // Never more than one request's worth ahead: the rest waits in the kernel.
    const size_t bound = params.frame.maxHeadBytes + params.frame.maxBodyBytes + 1;
    char buffer[16 * 1024];
    while (c.bytes.size() < bound) {
        const ssize_t n = ::recv(c.fd, buffer, std::min(sizeof buffer, bound - c.bytes.size()), 0);
        if (n > 0) {
            c.bytes.append(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n == 0) c.peerDone = true;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return Close(c.fd);
        break;
    }
    Advance(c);
}

// Hands over a complete request, refuses a bad one, or waits for more.
void RequestFront::State::Advance(Connection& c) {
    const auto frame = FrameRequest(c.bytes, params.frame, c.searched);
    c.searched = frame.searched;
    switch (frame.kind) {
        case RequestFrame::Kind::Complete:
            return Dispatch(c, frame.length);
        case RequestFrame::Kind::Refused:
            return Refuse(c, frame.status, frame.why);
        case RequestFrame::Kind::Incomplete:
            if (c.peerDone) Close(c.fd);  // an unfinished request can never end now
            return;
    }
}

void RequestFront::State::Dispatch(Connection& c, size_t length) {
    epoll_ctl(epollFd, EPOLL_CTL_DEL, c.fd, nullptr);
    c.inWorker = true;
    ++c.served;
    std::string request = WithoutRangeHeaders(std::string_view(c.bytes).substr(0, length));
    c.bytes.erase(0, length);
    const bool last = c.served >= params.maxRequestsPerConnection || c.peerDone;
    pool->enqueue(
        [this, fd = c.fd, ip = c.ip, port = c.port, last, request = std::move(request)]() mutable {
            BufferedRequestStream stream(std::move(request), fd, std::move(ip), port,
                                         params.writeTimeout);
            bool closed = false;
            const bool ok = params.handle(stream, last, closed);
            {
                std::lock_guard lock(returnedMutex);
                returned.push_back({fd, ok && !closed && !last});
            }
            const uint64_t one = 1;
            [[maybe_unused]] const auto woke = ::write(wakeFd, &one, sizeof one);
        });
}

void RequestFront::State::TakeReturned() {
    uint64_t count;
    [[maybe_unused]] const auto got = ::read(wakeFd, &count, sizeof count);
    std::vector<Returned> back;
    {
        std::lock_guard lock(returnedMutex);
        back.swap(returned);
    }
    for (const auto& r : back) {
        const auto it = connections.find(r.fd);
        if (it == connections.end()) continue;
        Connection& c = it->second;
        c.inWorker = false;
        if (!r.keepOpen) {
            Close(c.fd);
            continue;
        }
        c.deadline = Clock::now() + params.requestDeadline;
        Watch(c.fd);
        if (!c.bytes.empty()) Advance(c);  // a request the client sent ahead
    }
}

void RequestFront::State::Sweep() {
    const auto now = Clock::now();
    std::vector<int> late;
    for (const auto& [fd, c] : connections)
        if (!c.inWorker && c.deadline <= now) late.push_back(fd);
    for (const int fd : late) {
        Connection& c = connections.at(fd);
        if (c.bytes.empty()) {
            Close(fd);  // an idle kept-alive connection: nothing to answer
        } else {
            Refuse(c, 408, "the request did not arrive in time");
        }
    }
}

RequestFront::RequestFront(RequestFrontParams params) : state_(std::make_unique<State>()) {
    state_->params = std::move(params);
    state_->epollFd = epoll_create1(EPOLL_CLOEXEC);
    state_->wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

RequestFront::~RequestFront() {
    for (const auto& [fd, c] : state_->connections) ::close(fd);
    for (const int fd : {state_->listenFd, state_->epollFd, state_->wakeFd})
        if (fd >= 0) ::close(fd);
}

int RequestFront::Bind(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
    int fd = -1;
    for (addrinfo* ai = found; ai != nullptr && fd < 0; ai = ai->ai_next) {
        fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        const int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (fd >= 0 && (::bind(fd, ai->ai_addr, ai->ai_addrlen) != 0 || ::listen(fd, SOMAXCONN))) {
            ::close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    if (fd < 0) return -1;
    sockaddr_storage a{};
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    state_->listenFd = fd;
    return PeerOf(a, len).second;
}

void RequestFront::Run() {
    State& s = *state_;
    s.pool = std::make_unique<httplib::ThreadPool>(s.params.workers);
    s.Watch(s.listenFd);
    s.Watch(s.wakeFd);
    epoll_event events[128];
    auto lastSweep = Clock::now();
    while (!s.stopping) {
        // A short wait, so the deadlines are looked at often enough.
        const int n = epoll_wait(s.epollFd, events, 128, 50);
        for (int i = 0; i < n && !s.stopping; ++i) {
            const int fd = events[i].data.fd;
            if (fd == s.listenFd) {
                s.Accept();
            } else if (fd == s.wakeFd) {
                s.TakeReturned();
            } else if (const auto it = s.connections.find(fd); it != s.connections.end()) {
                s.Receive(it->second);
            }
        }
        if (Clock::now() - lastSweep >= std::chrono::milliseconds(50)) {
            s.Sweep();
            lastSweep = Clock::now();
        }
    }
    s.pool->shutdown();  // the workers finish the requests they hold
}

void RequestFront::Stop() {
    state_->stopping = true;
    const uint64_t one = 1;
    [[maybe_unused]] const auto woke = ::write(state_->wakeFd, &one, sizeof one);
}

}  // namespace mv
