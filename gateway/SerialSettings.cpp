#include "gateway/SerialSettings.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace quell::gw {

namespace {

bool number(std::string_view text, int& out)
{
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc{} || end != text.data() + text.size() || text.empty())
        return false;
    out = v;
    return true;
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x))
                      == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

bool SerialSettings::apply(std::string_view word, std::string_view value)
{
    int n = 0;
    if (word == "USER") {
        user = std::string(value.substr(0, kMaxUser));
        return true;
    }
    if (word == "BAUD") {
        // Anything a UART can divide down to; the port refuses what its driver cannot do.
        if (!number(value, n) || n < 50 || n > 4000000)
            return false;
        baud = n;
        return true;
    }
    if (word == "PARITY") {
        if (equalNoCase(value, "None") || equalNoCase(value, "N"))
            parity = 'N';
        else if (equalNoCase(value, "Odd") || equalNoCase(value, "O"))
            parity = 'O';
        else if (equalNoCase(value, "Even") || equalNoCase(value, "E"))
            parity = 'E';
        else
            return false;
        return true;
    }
    if (word == "DATAB") {
        if (!number(value, n) || n < 5 || n > 8)
            return false;
        dataBits = n;
        return true;
    }
    if (word == "STOPB") {
        if (!number(value, n) || (n != 1 && n != 2))
            return false;
        stopBits = n;
        return true;
    }
    // Time-out and tries are held down to what a client's own controls offer: beyond that one
    // frame to an absent device would hold the bus for minutes. The echo shows the value used.
    if (word == "TOUT") {
        if (!number(value, n) || n < 1)
            return false;
        timeoutMs = std::min(n, kMaxTimeoutMs);
        return true;
    }
    if (word == "RET") {
        if (!number(value, n) || n < 0)
            return false;
        retries = std::min(n, kMaxRetries);
        return true;
    }
    return false;
}

std::string SerialSettings::echo() const
{
    const char* parityText = parity == 'N' ? "None" : parity == 'O' ? "Odd" : "Even";
    return "USER=" + user + " BAUD=" + std::to_string(baud) + " PARITY=" + parityText
           + " DATAB=" + std::to_string(dataBits) + " STOPB=" + std::to_string(stopBits)
           + " TOUT=" + std::to_string(timeoutMs) + " RET=" + std::to_string(retries) + " ";
}

int SerialSettings::bitsPerCharacter() const
{
    return 1 + dataBits + (parity == 'N' ? 0 : 1) + stopBits;
}

std::chrono::nanoseconds SerialSettings::characterTime() const
{
    return std::chrono::nanoseconds(1'000'000'000LL * bitsPerCharacter() / baud);
}

bool SerialSettings::sameFraming(const SerialSettings& other) const
{
    return baud == other.baud && parity == other.parity && dataBits == other.dataBits
           && stopBits == other.stopBits;
}

} // namespace quell::gw
