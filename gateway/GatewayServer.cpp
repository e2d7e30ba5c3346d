#include "gateway/GatewayServer.h"

#include "gateway/BusExchanger.h"
#include "gateway/ClientSession.h"
#include "gateway/LineReader.h"
#include "gateway/RequestLine.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace quell::gw {

namespace {

bool sendAll(int fd, const std::string& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void setInt(int fd, int level, int name, int value)
{
    ::setsockopt(fd, level, name, &value, sizeof value);
}

void configureConnection(int fd)
{
    setInt(fd, IPPROTO_TCP, TCP_NODELAY, 1);
    setInt(fd, SOL_SOCKET, SO_KEEPALIVE, 1);
    setInt(fd, IPPROTO_TCP, TCP_KEEPIDLE, GatewayServer::kKeepAliveIdleS);
    setInt(fd, IPPROTO_TCP, TCP_KEEPINTVL, GatewayServer::kKeepAliveIntervalS);
    setInt(fd, IPPROTO_TCP, TCP_KEEPCNT, GatewayServer::kKeepAliveCount);
    const timeval sendTimeout{GatewayServer::kSendTimeoutS, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof sendTimeout);
}

// True once the peer has closed or the connection broke; never blocks.
bool peerGone(int fd)
{
    pollfd p{fd, POLLRDHUP, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL));
}

} // namespace

GatewayServer::GatewayServer(Config config, ByteLink& link, TrafficTrace& trace, std::ostream& log)
    : config_(std::move(config)), link_(link), trace_(trace), log_(log)
{
}

GatewayServer::~GatewayServer()
{
    for (Client& c : clients_) {
        ::shutdown(c.fd, SHUT_RDWR);
        if (c.thread.joinable())
            c.thread.join();
        ::close(c.fd);
    }
    if (listener_ >= 0)
        ::close(listener_);
}

void GatewayServer::log(const std::string& line)
{
    const std::lock_guard<std::mutex> lock(logMutex_);
    log_ << "quellgw: " << TrafficTrace::printable(line) << std::endl;
}

bool GatewayServer::listen(std::string& failure)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(config_.port);
    const int rc = ::getaddrinfo(config_.host.c_str(), port.c_str(), &hints, &found);
    if (rc != 0) {
        failure = config_.host + ": " + ::gai_strerror(rc);
        return false;
    }
    failure = "no address";
    for (addrinfo* a = found; a; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        const int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 16) == 0) {
            listener_ = fd;
            break;
        }
        failure = std::strerror(errno);
        ::close(fd);
    }
    ::freeaddrinfo(found);
    if (listener_ < 0)
        return false;
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length);
    boundPort_ =
        ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                          : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    return true;
}

void GatewayServer::reap()
{
    for (auto it = clients_.begin(); it != clients_.end();) {
        if (!it->finished.load()) {
            ++it;
            continue;
        }
        it->thread.join();
        ::close(it->fd);
        it = clients_.erase(it);
    }
}

void GatewayServer::run(const std::atomic<bool>& stop)
{
    while (!stop.load()) {
        pollfd p{listener_, POLLIN, 0};
        const int ready = ::poll(&p, 1, 100);
        reap();
        if (ready <= 0)
            continue;
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        configureConnection(fd);
        if (static_cast<int>(clients_.size()) >= config_.maxClients) {
            // One line saying why, then the door: the client sees a clean close, not a hang.
            sendAll(fd, "ERROR=TooManyClients \r\n");
            ::shutdown(fd, SHUT_RDWR);
            ::close(fd);
            log("refused a client: " + std::to_string(config_.maxClients) + " already connected");
            continue;
        }
        Client& c = clients_.emplace_back();
        c.fd = fd;
        c.id = nextId_++;
        log("client " + std::to_string(c.id) + " connected");
        c.thread = std::thread([this, &c, &stop] { serve(c, stop); });
    }
    for (Client& c : clients_)
        ::shutdown(c.fd, SHUT_RDWR);
    for (Client& c : clients_) {
        c.thread.join();
        ::close(c.fd);
    }
    clients_.clear();
}

void GatewayServer::serve(Client& client, const std::atomic<bool>& stop)
{
    ClientSession session(client.id, link_, arbiter_, trace_,
                          [this](const std::string& line) { log(line); });
    const BusExchanger::Abandoned abandoned = [&stop, fd = client.fd] {
        return stop.load() || peerGone(fd);
    };
    LineReader reader(RequestLine::kMaxLength);
    char buffer[4096];
    bool open = true;
    using Clock = std::chrono::steady_clock;
    const auto idleLimit = std::chrono::seconds(config_.idleTimeoutS);
    auto lastHeard = Clock::now();
    std::string farewell = "disconnected";
    while (open && !stop.load()) {
        pollfd p{client.fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, 100);
        if (ready <= 0) {
            if (config_.idleTimeoutS > 0 && Clock::now() - lastHeard >= idleLimit) {
                farewell =
                    "closed after " + std::to_string(config_.idleTimeoutS) + " s without a request";
                break;
            }
            continue;
        }
        const ssize_t n = ::recv(client.fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        reader.append(std::string_view(buffer, static_cast<std::size_t>(n)));
        while (std::optional<LineReader::Item> item = reader.next()) {
            const std::string answer = item->event == LineReader::Event::TooLong
                                           ? session.refuseTooLong()
                                           : session.handle(item->line, abandoned);
            if (abandoned() || !sendAll(client.fd, answer + "\r\n")) {
                open = false;
                break;
            }
        }
        // Time spent on the bus for the client is not silence of the client.
        lastHeard = Clock::now();
    }
    log("client " + std::to_string(client.id) + " " + farewell);
    client.finished.store(true);
}

} // namespace quell::gw
