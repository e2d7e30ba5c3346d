// Request lines in, answer lines out: the parser, the line cutter, the settings words and the
// answer composer.

#include "gateway/AnswerLine.h"
#include "gateway/LineReader.h"
#include "gateway/RequestLine.h"
#include "gateway/SerialSettings.h"

#include <gtest/gtest.h>

#include <vector>

namespace quell::gw {
namespace {

using namespace std::string_literals;
using Kind = RequestLine::Kind;

TEST(RequestLine, TakesLinesApartOrNamesWhatIsWrong)
{
    const std::string frame = "\x01\xA1"
                              "100111\x04"s;
    const std::string eiWrite = "\x04"
                                "0011\x02SL 1 END\x03\x0A"s; // blank, END and LF inside
    struct Case {
        std::string line;
        Kind kind;
        std::vector<std::string> frames;
        std::size_t settings;
        const char* problem;
    };
    const Case cases[] = {
        {"", Kind::Empty, {}, 0, ""},
        {"   ", Kind::Empty, {}, 0, ""},
        {"USER=op BAUD=57600 PARITY=Even DATAB=8 STOPB=1 TOUT=80 RET=3 ",
         Kind::Settings,
         {},
         7,
         ""},
        {"BAUD= ", Kind::Settings, {}, 1, ""},
        {"BODY=" + frame + "END ", Kind::Device, {frame}, 0, ""},
        {"BODY=" + frame + "END BODY=" + frame + "END", Kind::Device, {frame, frame}, 0, ""},
        {"BODY=" + eiWrite + "END ", Kind::Device, {eiWrite}, 0, ""},
        {"TOUT=100 BODY=" + frame + "END ", Kind::Device, {frame}, 1, ""},
        {"BODY=END ", Kind::Bad, {}, 0, "EmptyFrame"},
        {"BODY=" + frame, Kind::Bad, {}, 0, "NoEnd"},
        {"HELLO ", Kind::Bad, {}, 0, "UnknownItem"},
        {"\x7f\xff\x00\x01garbage"s, Kind::Bad, {}, 0, "UnknownItem"},
        {"BODY=" + frame + "END RET=1 ", Kind::Bad, {}, 0, "SettingsAfterFrames"},
        {std::string(RequestLine::kMaxLength + 1, ' '), Kind::Bad, {}, 0, "LineTooLong"},
    };
    for (const Case& c : cases) {
        const RequestLine r = RequestLine::parse(c.line);
        EXPECT_EQ(r.kind, c.kind) << c.line;
        EXPECT_EQ(r.frames, c.frames) << c.line;
        EXPECT_EQ(r.settings.size(), c.settings) << c.line;
        EXPECT_EQ(r.problem, c.problem) << c.line;
    }
}

TEST(LineReader, CutsAtCrLfOnlyAndSkipsTheTailOfAnOverLongLine)
{
    LineReader reader(10);
    std::vector<std::string> got;
    auto drain = [&] {
        while (auto item = reader.next())
            got.push_back(item->event == LineReader::Event::TooLong ? "<long>" : item->line);
    };
    for (const std::string& chunk : {"ab\r"s, "\ncd\nef\r\n"s, "0123456789\r\n"s, "0123456789x"s,
                                     "tail\r"s, "\nnext\r\n"s, "\r\n"s}) {
        reader.append(chunk);
        drain();
    }
    const std::vector<std::string> expected{"ab", "cd\nef", "0123456789", "<long>", "next", ""};
    EXPECT_EQ(got, expected);
}

TEST(SerialSettings, AppliesWhatItCanAndKeepsTheRest)
{
    struct Case {
        const char* word;
        const char* value;
        bool applied;
        const char* echoPart;
    };
    const Case cases[] = {
        {"BAUD", "14400", true, "BAUD=14400 "},
        {"BAUD", "fast", false, "BAUD=57600 "},
        {"BAUD", "0", false, "BAUD=57600 "},
        {"PARITY", "Odd", true, "PARITY=Odd "},
        {"PARITY", "none", true, "PARITY=None "},
        {"PARITY", "Mark", false, "PARITY=Even "},
        {"DATAB", "7", true, "DATAB=7 "},
        {"DATAB", "9", false, "DATAB=8 "},
        {"STOPB", "2", true, "STOPB=2 "},
        {"STOPB", "1.5", false, "STOPB=1 "},
        {"TOUT", "161", true, "TOUT=161 "},
        {"TOUT", "-5", false, "TOUT=80 "},
        {"RET", "0", true, "RET=0 "},
        {"RET", "x", false, "RET=3 "},
        // Beyond what a client offers: cut to the maximum, so one frame cannot hold the bus for
        // minutes, and echoed as used.
        {"TOUT", "60000", true, "TOUT=1000 "},
        {"TOUT", "1000", true, "TOUT=1000 "},
        {"TOUT", "99999999999", false, "TOUT=80 "},
        {"RET", "20", true, "RET=10 "},
        {"RET", "10", true, "RET=10 "},
        {"USER", "operator", true, "USER=operator "},
        {"SPEED", "1", false, "BAUD=57600 "},
    };
    for (const Case& c : cases) {
        SerialSettings s;
        EXPECT_EQ(s.apply(c.word, c.value), c.applied) << c.word << "=" << c.value;
        EXPECT_NE(s.echo().find(c.echoPart), std::string::npos) << s.echo();
    }
    SerialSettings s;
    EXPECT_EQ(s.echo(), "USER= BAUD=57600 PARITY=Even DATAB=8 STOPB=1 TOUT=80 RET=3 ");
    EXPECT_EQ(s.bitsPerCharacter(), 11);
    s.apply("PARITY", "None");
    s.apply("BAUD", "9600");
    EXPECT_EQ(s.characterTime().count(), 1'041'666); // 10 bits at 9600 baud
}

TEST(AnswerLine, ComposesBlocksTheClientScansAndRefusesWhatItCannotCarry)
{
    AnswerLine a;
    a.addSettings("TOUT=80 ");
    a.addAnswer("F1", "A1");
    a.addError("F2", "TimeOut");
    EXPECT_EQ(a.text(), "TOUT=80 BODY=F1END ANSWER=A1END BODY=F2END ERROR=TimeOut ");
    AnswerLine huge;
    huge.addAnswer(std::string(AnswerLine::kMaxLength, 'x'), "A");
    EXPECT_EQ(huge.text(), "ERROR=AnswerTooLong ");
    EXPECT_TRUE(AnswerLine::carriable("\x02PV1\x03\x0A"));
    EXPECT_FALSE(AnswerLine::carriable("ab\r\ncd"));
    EXPECT_FALSE(AnswerLine::carriable("xxENDxx"));
}

} // namespace
} // namespace quell::gw
