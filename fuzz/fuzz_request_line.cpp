// Bytes from a client through the gateway's line handling: cut into lines (in chunks of the size
// byte 0 gives), each line taken apart, its settings applied, and an answer composed for it.
// Checks that what the parser hands on is what the server relies on.
#include "gateway/AnswerLine.h"
#include "gateway/LineReader.h"
#include "gateway/RequestLine.h"
#include "gateway/SerialSettings.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void fail(const char* what, std::string_view line)
{
    std::fprintf(stderr, "fuzz: %s for a line of %zu bytes\n", what, line.size());
    std::abort();
}

void check(std::string_view line)
{
    using quell::gw::RequestLine;
    const RequestLine r = RequestLine::parse(line);
    if (line.size() > RequestLine::kMaxLength && r.kind != RequestLine::Kind::Bad)
        fail("an over-long line was taken", line);
    if ((r.kind == RequestLine::Kind::Device) != !r.frames.empty())
        fail("frames without a device line, or the other way round", line);
    if (r.kind == RequestLine::Kind::Bad && r.problem.empty())
        fail("a refusal without a word", line);
    quell::gw::SerialSettings settings;
    for (const auto& [word, value] : r.settings) {
        if (!RequestLine::isSettingsWord(word))
            fail("a settings item with an unknown word", line);
        settings.apply(word, value);
    }
    // Whatever was applied, the echo is itself a settings line of all seven words.
    const RequestLine echo = RequestLine::parse(settings.echo());
    if (echo.kind != RequestLine::Kind::Settings || echo.settings.size() != 7)
        fail("the settings echo does not read back", settings.echo());
    std::size_t total = 0;
    quell::gw::AnswerLine answer;
    for (const std::string& frame : r.frames) {
        if (frame.empty())
            fail("an empty frame", line);
        if (line.find(frame) == std::string_view::npos)
            fail("a frame that is not in the line", line);
        total += frame.size();
        answer.addError(frame, "TimeOut");
    }
    if (total > line.size())
        fail("frames longer than their line", line);
    if (answer.text().size() > quell::gw::AnswerLine::kMaxLength)
        fail("an answer line a client would drop", line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::size_t chunk = 1 + data[0] % 64;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    check(bytes);
    quell::gw::LineReader reader(256);
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        reader.append(bytes.substr(at, chunk));
        while (auto item = reader.next()) {
            if (item->event == quell::gw::LineReader::Event::TooLong)
                continue;
            if (item->line.size() > 256 || item->line.find("\r\n") != std::string::npos)
                fail("the line reader handed on more than a line", item->line);
            check(item->line);
        }
    }
    return 0;
}
