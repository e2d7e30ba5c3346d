#pragma once

// Test helpers: a line client over TCP and a child program with its output in files.

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quell::gw::test {

// One client connection on loopback: writes request lines, reads answer lines.
class LineClient {
public:
    explicit LineClient(int port)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~LineClient() { close(); }
    LineClient(const LineClient&) = delete;
    LineClient& operator=(const LineClient&) = delete;

    bool connected() const { return connected_; }
    void close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    void send(const std::string& bytes)
    {
        (void)!::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
    // The next line without CR LF; "<closed>" at end of stream, "<timeout>" after timeoutMs.
    std::string readLine(int timeoutMs = 5000)
    {
        for (;;) {
            const std::size_t end = buffer_.find("\r\n");
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 2);
                return line;
            }
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) <= 0)
                return "<timeout>";
            char chunk[4096];
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0)
                return "<closed>";
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }
    std::string ask(const std::string& line, int timeoutMs = 5000)
    {
        send(line + "\r\n");
        return readLine(timeoutMs);
    }

private:
    int fd_ = -1;
    bool connected_ = false;
    std::string buffer_;
};

// A program run for a test, its standard output and error in files of a scratch folder.
class ChildProgram {
public:
    // env: extra "NAME=value" settings of the child's environment.
    ChildProgram(const std::string& program, const std::vector<std::string>& args,
                 const std::filesystem::path& dir, const std::string& name,
                 const std::vector<std::string>& env = {})
        : out_(dir / (name + ".out")), err_(dir / (name + ".err"))
    {
        pid_ = ::fork();
        if (pid_ == 0) {
            for (const std::string& e : env)
                ::putenv(const_cast<char*>(e.c_str()));
            const int o = ::open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int e = ::open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(o, 1);
            ::dup2(e, 2);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
    }
    ~ChildProgram() { stop(); }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // Sends SIGTERM (or the given signal) and waits; the exit status, -1 when it was gone.
    int stop(int signal = SIGTERM)
    {
        if (pid_ <= 0)
            return -1;
        ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }
    // Sends signal and waits at most timeoutMs for the end: the milliseconds it took, or -1
    // when it was still running (it is then killed).
    int terminate(int signal, int timeoutMs)
    {
        if (pid_ <= 0)
            return -1;
        const auto start = std::chrono::steady_clock::now();
        ::kill(pid_, signal);
        int status = 0;
        for (;;) {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count();
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return static_cast<int>(ms);
            }
            if (ms > timeoutMs) {
                stop(SIGKILL);
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // The child's process id (0 or less once it ended).
    pid_t pid() const { return pid_; }
    bool running()
    {
        if (pid_ <= 0)
            return false;
        int status = 0;
        return ::waitpid(pid_, &status, WNOHANG) == 0;
    }
    std::string output() const { return slurp(out_); }
    std::string errors() const { return slurp(err_); }
    // Waits until the standard output or error holds text; false after timeoutMs.
    bool waitFor(const std::string& text, int timeoutMs = 10000) const
    {
        for (int waited = 0; waited < timeoutMs; waited += 20) {
            if (output().find(text) != std::string::npos
                || errors().find(text) != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    // The port a quellgw child listens on, from its log (0 when it did not say).
    int listeningPort(int timeoutMs = 10000) const
    {
        if (!waitFor("listening on ", timeoutMs))
            return 0;
        const std::string e = errors();
        const std::size_t at = e.find("listening on ");
        const std::size_t colon = e.find(':', at + 13);
        return std::atoi(e.c_str() + colon + 1);
    }

    static std::string slurp(const std::filesystem::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    pid_t pid_ = -1;
    std::filesystem::path out_;
    std::filesystem::path err_;
};

// A scratch folder removed at the end of the test.
class ScratchDir {
public:
    ScratchDir()
    {
        char pattern[] = "/tmp/quell-gw-test-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Two characters per byte, as the maker's protocol sends it.
inline std::string encodeByte(unsigned b)
{
    return {static_cast<char>(0x30 + ((b >> 4) & 15)), static_cast<char>(0x30 + (b & 15))};
}
// The maker's read request for Code1 / Code3 at address byte 0xA1.
inline std::string makerRead(unsigned code, unsigned code3, unsigned address = 0xA1)
{
    return "\x01" + std::string(1, static_cast<char>(address)) + encodeByte(code)
           + encodeByte(code3) + encodeByte(code ^ code3) + "\x04";
}

} // namespace quell::gw::test
