#include "bench/InstantGateway.h"

#include <arpa/inet.h>
#include <ctime>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quell::bench {

InstantGateway::InstantGateway()
{
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 4);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
    hasThreadClock_ = ::pthread_getcpuclockid(thread_.native_handle(), &threadClock_) == 0;
}

InstantGateway::~InstantGateway()
{
    stop_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
    if (client_ >= 0)
        ::shutdown(client_, SHUT_RDWR);
    thread_.join();
}

double InstantGateway::cpuSeconds() const
{
    timespec used{};
    if (!hasThreadClock_ || ::clock_gettime(threadClock_, &used) != 0)
        return 0.0;
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

std::string InstantGateway::answerFor(const std::string& line, int value)
{
    if (line.rfind("BODY=", 0) != 0)
        return line;
    std::string out;
    for (std::size_t at = line.find("BODY="); at != std::string::npos;
         at = line.find("BODY=", at + 1)) {
        const std::string frame = line.substr(at + 5, line.find("END", at) - at - 5);
        std::string answer = frame.substr(0, 6);
        for (int shift = 12; shift >= 0; shift -= 4)
            answer += static_cast<char>(0x30 + ((value >> shift) & 0xF));
        answer += "00\x04";
        out += "BODY=" + frame + "END ANSWER=" + answer + "END ";
    }
    return out;
}

void InstantGateway::serve()
{
    while (!stop_) {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0)
            return;
        client_ = client;
        const int yes = 1;
        ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        std::string buffer;
        char chunk[65536];
        for (;;) {
            const ssize_t got = ::read(client, chunk, sizeof chunk);
            if (got <= 0)
                break;
            buffer.append(chunk, static_cast<std::size_t>(got));
            for (std::size_t end = buffer.find("\r\n"); end != std::string::npos;
                 end = buffer.find("\r\n")) {
                const std::string line = buffer.substr(0, end);
                buffer.erase(0, end + 2);
                const std::string reply = answerFor(line, static_cast<int>(++exchanges_)) + "\r\n";
                if (::write(client, reply.data(), reply.size()) < 0)
                    break;
            }
        }
        ::close(client);
        client_ = -1;
    }
}

} // namespace quell::bench
