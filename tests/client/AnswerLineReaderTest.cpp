#include "client/AnswerLineReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;
using quell::AnswerLineReader;

namespace {

// What the reader makes of a stream fed in chunks of chunkSize bytes: each line, or "<too long>".
std::vector<std::string> readAll(const std::string& stream, std::size_t chunkSize,
                                 std::size_t limit)
{
    AnswerLineReader reader(limit);
    std::vector<std::string> out;
    for (std::size_t at = 0; at < stream.size(); at += chunkSize) {
        reader.append(std::string_view(stream).substr(at, chunkSize));
        std::string line;
        for (;;) {
            const AnswerLineReader::Result result = reader.next(line);
            if (result == AnswerLineReader::Result::NeedMore)
                break;
            out.push_back(result == AnswerLineReader::Result::Line ? line : "<too long>");
        }
    }
    return out;
}

TEST(AnswerLineReader, LinesSurviveAnyChunkingAndOverlongLinesAreDroppedWhole)
{
    struct Case {
        const char* what;
        std::string stream;
        std::vector<std::string> lines;
    };
    const std::string eight = "12345678";
    const Case cases[] = {
        {"two lines", "ab\r\nxy\r\n", {"ab", "xy"}},
        {"empty line", "\r\n\r\nz\r\n", {"", "", "z"}},
        {"lone CR and LF stay in the line", "a\rb\nc\r\n", {"a\rb\nc"}},
        {"bytes of any value", "\x01\xA1\xFF\x00\x80\r\n"s, {"\x01\xA1\xFF\x00\x80"s}},
        {"exactly the limit", eight + "\r\n", {eight}},
        {"limit with a CR inside", "1234567\r\r\n", {"1234567\r"}},
        {"one over the limit, then a good line", eight + "9\r\nok\r\n", {"<too long>", "ok"}},
        {"far over the limit",
         std::string(100, 'x') + "\r\n" + eight + "\r\n",
         {"<too long>", eight}},
        {"over-long line ending in CR CR LF",
         std::string(20, 'x') + "\r\r\nok\r\n",
         {"<too long>", "ok"}},
        {"unfinished line is held back", "done\r\npartial", {"done"}},
    };
    for (const Case& c : cases) {
        for (std::size_t chunk = 1; chunk <= c.stream.size(); ++chunk) {
            SCOPED_TRACE(std::string(c.what) + ", chunk " + std::to_string(chunk));
            EXPECT_EQ(readAll(c.stream, chunk, eight.size()), c.lines);
        }
    }
}

TEST(AnswerLineReader, ClearForgetsAHalfReadLine)
{
    AnswerLineReader reader(8);
    reader.append(std::string(20, 'x')); // an over-long line cut off by a lost connection
    std::string line;
    EXPECT_EQ(reader.next(line), AnswerLineReader::Result::NeedMore);
    reader.clear();
    reader.append("new\r\n");
    ASSERT_EQ(reader.next(line), AnswerLineReader::Result::Line);
    EXPECT_EQ(line, "new");
}

} // namespace
