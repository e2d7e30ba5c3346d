#include "gateway/SerialPort.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace quell::gw {

namespace {

speed_t standardSpeed(int baud)
{
    switch (baud) {
    case 50:
        return B50;
    case 75:
        return B75;
    case 110:
        return B110;
    case 134:
        return B134;
    case 150:
        return B150;
    case 200:
        return B200;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 1800:
        return B1800;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        return B0;
    }
}

int remainingMs(ByteLink::Clock::time_point deadline)
{
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - ByteLink::Clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

} // namespace

SerialPort::SerialPort(std::string path, std::ostream& log) : path_(std::move(path)), log_(log)
{
}

SerialPort::~SerialPort()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::string SerialPort::describe() const
{
    return "serial port " + path_;
}

void SerialPort::lose(const char* why)
{
    log_ << "quellgw: " << path_ << " lost (" << why << "), reopening when it is back" << std::endl;
    ::close(fd_);
    fd_ = -1;
    applied_.reset();
}

bool SerialPort::ensureOpen(std::string& failure)
{
    if (fd_ >= 0)
        return true;
    fd_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        if (!reportedMissing_)
            log_ << "quellgw: cannot open " << path_ << ": " << std::strerror(errno) << std::endl;
        reportedMissing_ = true;
        failure = kNoPort;
        return false;
    }
    if (reportedMissing_)
        log_ << "quellgw: " << path_ << " is back" << std::endl;
    reportedMissing_ = false;
    if (!apply(wanted_)) {
        failure = kBadSettings;
        return false;
    }
    return true;
}

bool SerialPort::apply(const SerialSettings& s)
{
    termios t{};
    if (::tcgetattr(fd_, &t) != 0)
        return false;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_cflag |= s.dataBits == 5 ? CS5 : s.dataBits == 6 ? CS6 : s.dataBits == 7 ? CS7 : CS8;
    if (s.parity != 'N')
        t.c_cflag |= PARENB | (s.parity == 'O' ? PARODD : 0);
    if (s.stopBits == 2)
        t.c_cflag |= CSTOPB;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    const speed_t speed = standardSpeed(s.baud);
    if (speed != B0) {
        ::cfsetispeed(&t, speed);
        ::cfsetospeed(&t, speed);
    }
    if (::tcsetattr(fd_, TCSANOW, &t) != 0)
        return false;
    if (speed == B0 && !setCustomBaud(fd_, s.baud))
        return false;
    applied_ = s;
    return true;
}

bool SerialPort::configure(const SerialSettings& settings, std::string& failure)
{
    wanted_ = settings;
    if (!ensureOpen(failure))
        return false;
    if (applied_ && applied_->sameFraming(settings))
        return true;
    if (!apply(settings)) {
        // A terminal that hung up refuses every setting: that is a lost port, not a bad setting.
        if (errno == EIO || errno == ENXIO || errno == ENODEV || errno == EBADF) {
            lose(std::strerror(errno));
            failure = kPortLost;
        } else {
            failure = kBadSettings;
        }
        return false;
    }
    return true;
}

void SerialPort::discardInput()
{
    if (fd_ < 0)
        return;
    ::tcflush(fd_, TCIFLUSH);
    char sink[256];
    while (::read(fd_, sink, sizeof sink) > 0) {
    }
}

bool SerialPort::send(std::string_view bytes, std::string& failure)
{
    if (!ensureOpen(failure))
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, 100);
            continue;
        }
        lose(std::strerror(errno));
        failure = kPortLost;
        return false;
    }
    if (::tcdrain(fd_) != 0 && errno != EINTR) {
        lose(std::strerror(errno));
        failure = kPortLost;
        return false;
    }
    return true;
}

bool SerialPort::receive(std::string& out, Clock::time_point deadline, std::string& failure)
{
    if (fd_ < 0) {
        failure = kPortLost;
        return false;
    }
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, remainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            return true;
        if (ready < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL) && !(p.revents & POLLIN))) {
            lose(ready < 0 ? std::strerror(errno) : "hang-up");
            failure = kPortLost;
            return false;
        }
        char buffer[256];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0) {
            out.append(buffer, static_cast<std::size_t>(n));
            return true;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        lose(n == 0 ? "end of file" : std::strerror(errno));
        failure = kPortLost;
        return false;
    }
}

} // namespace quell::gw
