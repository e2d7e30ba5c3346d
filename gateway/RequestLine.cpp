#include "gateway/RequestLine.h"

#include <array>

namespace quell::gw {

namespace {
constexpr std::string_view kBody = "BODY=";
constexpr std::string_view kEnd = "END";

RequestLine bad(const char* problem)
{
    RequestLine r;
    r.kind = RequestLine::Kind::Bad;
    r.problem = problem;
    return r;
}
} // namespace

bool RequestLine::isSettingsWord(std::string_view word)
{
    static constexpr std::array<std::string_view, 7> kWords{"USER",  "BAUD", "PARITY", "DATAB",
                                                            "STOPB", "TOUT", "RET"};
    for (std::string_view w : kWords)
        if (w == word)
            return true;
    return false;
}

RequestLine RequestLine::parse(std::string_view line)
{
    if (line.size() > kMaxLength)
        return bad("LineTooLong");
    RequestLine r;
    std::size_t at = 0;
    while (at < line.size()) {
        if (line[at] == ' ') {
            ++at;
            continue;
        }
        if (line.substr(at, kBody.size()) == kBody) {
            const std::size_t start = at + kBody.size();
            std::size_t end = line.find(kEnd, start);
            while (end != std::string_view::npos && end + kEnd.size() < line.size()
                   && line[end + kEnd.size()] != ' ')
                end = line.find(kEnd, end + 1);
            if (end == std::string_view::npos)
                return bad("NoEnd");
            if (end == start)
                return bad("EmptyFrame");
            r.frames.emplace_back(line.substr(start, end - start));
            at = end + kEnd.size();
            continue;
        }
        // A settings word: WORD=VALUE up to the next blank.
        std::size_t stop = line.find(' ', at);
        if (stop == std::string_view::npos)
            stop = line.size();
        const std::string_view item = line.substr(at, stop - at);
        const std::size_t eq = item.find('=');
        if (eq == std::string_view::npos || !isSettingsWord(item.substr(0, eq)))
            return bad("UnknownItem");
        if (!r.frames.empty())
            return bad("SettingsAfterFrames");
        r.settings.emplace_back(item.substr(0, eq), item.substr(eq + 1));
        at = stop;
    }
    if (!r.frames.empty())
        r.kind = Kind::Device;
    else if (!r.settings.empty())
        r.kind = Kind::Settings;
    return r;
}

} // namespace quell::gw
