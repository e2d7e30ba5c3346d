#include "client/LineProtocol.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace lp = quell::LineProtocol;
using namespace std::string_literals;

namespace {

TEST(LineProtocol, SettingsLineCarriesPresentWordsInFixedOrder)
{
    lp::SettingsWordValues all;
    all[lp::indexOf(lp::SettingsWord::Retries)] = "3"; // filled out of order on purpose
    all[lp::indexOf(lp::SettingsWord::TimeOut)] = lp::timeOutWordValue(80, false);
    all[lp::indexOf(lp::SettingsWord::StopBits)] = "1";
    all[lp::indexOf(lp::SettingsWord::DataBits)] = "8";
    all[lp::indexOf(lp::SettingsWord::Parity)] = "Even";
    all[lp::indexOf(lp::SettingsWord::Baud)] = "57600";
    all[lp::indexOf(lp::SettingsWord::User)] = "operator";
    EXPECT_EQ(lp::composeSettingsLine(all),
              "USER=operator BAUD=57600 PARITY=Even DATAB=8 STOPB=1 TOUT=80 RET=3 ");

    lp::SettingsWordValues some;
    some[lp::indexOf(lp::SettingsWord::Retries)] = "10";
    some[lp::indexOf(lp::SettingsWord::User)] = ""; // no login name: the word still goes out
    some[lp::indexOf(lp::SettingsWord::TimeOut)] = lp::timeOutWordValue(80, true);
    EXPECT_EQ(lp::composeSettingsLine(some), "USER= TOUT=160 RET=10 ");
    EXPECT_EQ(lp::composeSettingsLine({}), "");

    // The echo of a doubled time-out halves back, truncating.
    EXPECT_EQ(lp::timeOutPositionFromEcho(161, true), 80);
    EXPECT_EQ(lp::timeOutPositionFromEcho(161, false), 161);
}

TEST(LineProtocol, DeviceLineCarriesFramesByteForByte)
{
    const std::string kestavin = "\x01\xA1\x30\x3F\x04"s;
    const std::string routed = "\xFF\x00\x05\x80\x7F"s; // NUL and high bytes inside a frame
    const std::vector<std::string> frames = {kestavin, routed};
    const std::string line = lp::composeDeviceLine(frames);
    EXPECT_EQ(line, "BODY=\x01\xA1\x30\x3F\x04"
                    "END BODY=\xFF\x00\x05\x80\x7F"
                    "END "s);
    EXPECT_EQ(line.size(), 2 * (5 + 5 + 4));
    EXPECT_EQ(lp::composeDeviceLine({}), "");
}

TEST(LineProtocol, SettingsEchoTakesFirstNonEmptyOccurrence)
{
    struct Case {
        std::string line;
        lp::SettingsWord word;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"USER=op BAUD=9600 PARITY=Odd DATAB=7 STOPB=2 TOUT=161 RET=5", lp::SettingsWord::Baud,
         "9600"},
        {"BAUD=9600 RET=5", lp::SettingsWord::Retries, "5"},
        {"BAUD=9600 BAUD=1200 ", lp::SettingsWord::Baud, "9600"},
        {"BAUD= RET=2", lp::SettingsWord::Baud, std::nullopt},
        {"BODY=xEND ANSWER=\x02RET=7\x03"
         "END",
         lp::SettingsWord::Retries,
         "7\x03"
         "END"},
        {"BODY=xEND ERROR=TimeOut", lp::SettingsWord::TimeOut, std::nullopt},
        {"TOUT=abc", lp::SettingsWord::TimeOut, "abc"},
        {"PARITY=\xC8"
         "ak",
         lp::SettingsWord::Parity,
         "\xC8"
         "ak"},
        {"", lp::SettingsWord::User, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(lp::parseSettingsEcho(c.line)[lp::indexOf(c.word)], c.value);
    }
}

TEST(LineProtocol, AnswerBlocksAreScannedAsTheServerWritesThem)
{
    using Blocks = std::vector<lp::AnswerBlock>;
    struct Case {
        const char* what;
        std::string line;
        Blocks blocks;
    };
    const Case cases[] = {
        {"answer then error",
         "BODY=f1END ANSWER=a1END BODY=f2END ERROR=TimeOut",
         {{"f1", "a1"}, {"f2", "TimeOut"}}},
        {"error then answer",
         "BODY=f1END ERROR=TimeOut BODY=f2END ANSWER=a2END ",
         {{"f1", "TimeOut"}, {"f2", "a2"}}},
        {"empty answer", "BODY=fEND ANSWER=END", {{"f", "format"}}},
        {"unknown word, scan goes on after its =",
         "BODY=f1END STATUS=busy BODY=f2END ANSWER=a2END",
         {{"f1", "format"}, {"f2", "a2"}}},
        {"answer without END swallows the next block",
         "BODY=f1END ANSWER=a1 BODY=f2END ANSWER=a2END",
         {{"f1", "a1 BODY=f2"}}},
        {"answer without any END", "BODY=f1END ANSWER=abc", {{"f1", "format"}}},
        {"empty frame ends the line", "BODY=END ANSWER=xEND BODY=f2END ANSWER=a2END", {}},
        {"empty frame after a good block",
         "BODY=f1END ANSWER=a1END BODY=END ANSWER=xEND",
         {{"f1", "a1"}}},
        {"frame without END", "BODY=f1 ANSWER=a1", {}},
        {"one character after the separator", "BODY=f1END A", {}},
        {"nothing after the frame", "BODY=f1END", {}},
        {"word without =", "BODY=f1END ANSWERED", {{"f1", "format"}}},
        {"separator is any character", "BODY=fENDxANSWER=aEND", {{"f", "a"}}},
        {"error word at end of line", "BODY=fEND ERROR=", {{"f", ""}}},
        {"lower-case words are not words", "BODY=fEND answer=aEND", {{"f", "format"}}},
        {"leading noise", "noise BODY=fEND ANSWER=aEND", {{"f", "a"}}},
        {"empty line", "", {}},
        {"bytes of both protocols",
         "BODY=\x01\xA1\x30\x31\x04"
         "END ANSWER=\x02\x80\xFE\x00\x03"
         "END "s,
         {{"\x01\xA1\x30\x31\x04", "\x02\x80\xFE\x00\x03"s}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(lp::answerBlocks(c.line), c.blocks);
    }
}

TEST(LineProtocol, LongLineIsScannedOnceToItsEnd)
{
    // A server answer for the request the client composed, with trailing noise as in the field.
    std::vector<std::string> frames;
    std::string line;
    for (int i = 0; line.size() < 280; ++i) {
        frames.push_back("\x01\xA1" + std::to_string(i) + "\x05");
        line += "BODY=" + frames.back() + "END ANSWER=\x02" + std::to_string(i)
                + "\x03"
                  "END ";
    }
    line += "xy";
    std::size_t position = 0;
    lp::AnswerBlock block;
    std::size_t found = 0;
    std::size_t last = 0;
    while (lp::NextAnswerBody(line, position, block)) {
        ASSERT_LT(found, frames.size());
        EXPECT_EQ(block.frame, frames[found]);
        EXPECT_GT(position, last);
        last = position;
        ++found;
    }
    EXPECT_EQ(found, frames.size());
}

TEST(LineProtocol, AnswerTimeOutGrowsWithBlocksTimeOutAndTries)
{
    using std::chrono::milliseconds;
    const struct {
        std::size_t blocks;
        int position;
        bool viaMc;
        std::string retries;
        milliseconds expected;
    } cases[] = {
        {1, 80, false, "3", milliseconds(80 * 4 + 2000)},
        {8, 80, false, "3", milliseconds(8 * 80 * 4 + 2000)},
        {2, 80, true, "1", milliseconds(2 * 160 * 2 + 2000)},
        // A settings line has no blocks but still gets one block's time.
        {0, 100, false, "2", milliseconds(100 * 3 + 2000)},
        // A retry text that is no number, or out of range, counts as the most tries allowed.
        {1, 10, false, "abc", milliseconds(10 * 11 + 2000)},
        {1, 10, false, "99", milliseconds(10 * 11 + 2000)},
        {1, 10, false, "", milliseconds(10 * 11 + 2000)},
        // A position below the range still waits at least the margin and one unit per try.
        {1, 0, false, "1", milliseconds(1 * 2 + 2000)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lp::answerTimeout(c.blocks, c.position, c.viaMc, c.retries), c.expected)
            << c.blocks << " blocks, position " << c.position << ", retries '" << c.retries << "'";

    const std::vector<std::string> frames = {"frameA", "frameB", "frameC"};
    EXPECT_EQ(lp::blockCount(lp::composeDeviceLine(frames)), 3u);
    EXPECT_EQ(lp::blockCount("USER=op BAUD=9600 "), 0u);
}

} // namespace
