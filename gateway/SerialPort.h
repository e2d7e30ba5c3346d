#pragma once

#include "gateway/ByteLink.h"

#include <optional>
#include <ostream>
#include <string>

namespace quell::gw {

// A serial device through POSIX termios: raw 8-bit line, any baud rate the driver can make
// (the standard ones and others such as 14400), parity, data and stop bits. When the device goes
// away the port closes, answers each exchange with a failure word and opens it again as soon as
// the device is back.
class SerialPort : public ByteLink {
public:
    // Failure words of the port.
    static constexpr const char* kNoPort = "NoPort";     // cannot be opened (yet)
    static constexpr const char* kPortLost = "PortLost"; // went away during the exchange

    // path: the device; log: where opening and losing the port is reported.
    SerialPort(std::string path, std::ostream& log);
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    bool configure(const SerialSettings& settings, std::string& failure) override;
    void discardInput() override;
    bool send(std::string_view bytes, std::string& failure) override;
    bool receive(std::string& out, Clock::time_point deadline, std::string& failure) override;
    std::string describe() const override;

private:
    bool ensureOpen(std::string& failure);
    bool apply(const SerialSettings& settings);
    void lose(const char* why);

    std::string path_;
    std::ostream& log_;
    int fd_ = -1;
    bool reportedMissing_ = false;
    std::optional<SerialSettings> applied_;
    SerialSettings wanted_;
};

// Sets a baud rate outside the standard table on an open terminal (Linux termios2); false when the
// driver refuses it.
bool setCustomBaud(int fd, int baud);

} // namespace quell::gw
