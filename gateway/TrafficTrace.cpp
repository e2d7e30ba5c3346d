#include "gateway/TrafficTrace.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <stdexcept>

namespace quell::gw {

TrafficTrace::TrafficTrace(const std::string& path)
{
    if (path.empty())
        return;
    file_.open(path, std::ios::app | std::ios::binary);
    if (!file_)
        throw std::runtime_error("cannot open trace file " + path);
    enabled_ = true;
}

std::string TrafficTrace::hex(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

std::string TrafficTrace::printable(std::string_view text)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (u < 0x20 || u == 0x7F) {
            out += "\\x";
            out += kDigits[u >> 4];
            out += kDigits[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

void TrafficTrace::bytes(int client, std::string_view what, std::string_view data)
{
    if (enabled_)
        write(client, what, hex(data));
}

void TrafficTrace::note(int client, std::string_view what, std::string_view text)
{
    if (enabled_)
        write(client, what, printable(text));
}

void TrafficTrace::write(int client, std::string_view what, std::string_view text)
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count()
        % 1000000;
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d.%06lldZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<long long>(micros));
    const std::lock_guard<std::mutex> lock(mutex_);
    file_ << stamp << " c" << client << ' ' << what << ' ' << text << '\n';
    file_.flush();
}

} // namespace quell::gw
