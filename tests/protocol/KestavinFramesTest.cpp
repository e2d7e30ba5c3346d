// Kestavin frames: byte-exact requests with worked checksums, MC routing, answer parsing, status
// bytes and the rollback of an unconfirmed write.
#include "protocol/ConvertError.h"
#include "protocol/UCommands.h"
#include "tests/protocol/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace quell {
namespace {

using namespace std::string_literals;
using test::defineEntry;
using test::frame;
using test::makeProtocol;

// SOH, A1, E(10), E(05), E(10 xor 05), EOT: the read of entry 1 at address 1, mask A0.
const std::string kRead1 = frame({"\x01\xA1", "10", "05", "15", "\x04"});
// The same read routed through MC 0x41: E(FF), E(A1) in front, E(A1 xor FF) = "5>" at the end.
const std::string kRead1ViaMC = frame({"\x01\x41", "??", ":1", "10", "05", "15", "5>", "\x04"});
// A write of entry 1 (Code2 0x20) with value 0x1234: checksum 20^05^12^34 = 03.
const std::string kWrite1 = frame({"\x01\xA1", "20", "05", "12", "34", "03", "\x04"});

// A plain answer echoing code 0x10 / 0x05 with the given nibble characters.
std::string valueAnswer(const std::string& nibbles)
{
    return frame({"\x01\xA1", "10", "05"}) + nibbles + "00\x04";
}
// A status answer: the status byte where the code would be echoed.
std::string statusAnswer(const char* encodedStatus)
{
    return "\x01\xA1"s + encodedStatus + frame({"05", "00", "\x04"});
}

class Kestavin : public ::testing::Test {
protected:
    void SetUp() override
    {
        p->Kind = kKindKestavin;
        defineEntry(*p, 1, 0x10, 0x20, 0x05, kTypeDecimal);
        defineEntry(*p, 2, 0x10, 0x20, 0x06, kTypeDecimal);
        defineEntry(*p, 3, 0xC3, 0xD3, 0x3A, kTypeDecimal);
        defineEntry(*p, 4, 0x10, 0x20, 0x05, kTypeDecimal); // same codes as entry 1
        TCommands& fixed = defineEntry(*p, 5, 0x11, 0x21, 0x05, kTypeFixed);
        fixed.Decimals = 1;
    }
    TCommands& e(std::uint16_t i) { return p->Commands[i]; }
    std::string read(std::uint16_t entry, std::uint8_t address = 1, std::uint8_t mask = 0xA0)
    {
        return p->BuildReadRequest(entry, address, mask, false, 1, 0x40);
    }
    std::string write(std::uint16_t entry, std::string_view text)
    {
        return p->BuildWriteRequest(entry, text, 1, 0xA0, false, 1, 0x40);
    }
    std::unique_ptr<TProtocol> p = makeProtocol();
};

TEST_F(Kestavin, ReadRequestsByteExact)
{
    EXPECT_EQ(read(1), kRead1);
    EXPECT_EQ(read(1, 0x21, 0xA0), kRead1); // address byte is Mask OR address, not a sum
    // E(C3) = "<3", E(3A) = "3:", C3^3A = F9 -> "?9"; address 15 with mask A0 -> AF.
    EXPECT_EQ(read(3, 15), frame({"\x01\xAF", "<3", "3:", "?9", "\x04"}));
    EXPECT_EQ(p->BuildReadRequest(1, 1, 0xA0, true, 1, 0x40), kRead1ViaMC);
    // MC 0x42, A = AF: E(AF) = ":?", AF^FF = 50.
    EXPECT_EQ(p->BuildReadRequest(1, 15, 0xA0, true, 2, 0x40),
              frame({"\x01\x42", "??", ":?", "10", "05", "15", "50", "\x04"}));
}

TEST_F(Kestavin, WriteRequestsStoreTheValueAndCarryItByteExact)
{
    e(1).ValueText = "old";
    EXPECT_EQ(write(1, "4660"), kWrite1);
    EXPECT_EQ(e(1).Value, 0x1234);
    EXPECT_EQ(e(1).ValueText, "old"); // changes only with the answer

    // f1: "-0.1" -> FFFF; checksum 21^05^FF^FF = 24.
    EXPECT_EQ(write(5, "-0.1"), frame({"\x01\xA1", "21", "05", "??", "??", "24", "\x04"}));
    // f1: "0.7" is exactly 7; checksum 21^05^00^07 = 23.
    EXPECT_EQ(write(5, "0.7"), frame({"\x01\xA1", "21", "05", "00", "07", "23", "\x04"}));
    EXPECT_EQ(e(5).Value, 7);

    EXPECT_EQ(p->BuildWriteRequest(1, "4660", 1, 0xA0, true, 1, 0x40),
              frame({"\x01\x41", "??", ":1", "20", "05", "12", "34", "03", "5>", "\x04"}));

    // A type without text conversion sends its old value: 20^05^01^02 = 26.
    e(1).TypeCode = kTypeBitFields;
    e(1).Value = 0x0102;
    EXPECT_EQ(write(1, "1,2"), frame({"\x01\xA1", "20", "05", "01", "02", "26", "\x04"}));
}

TEST_F(Kestavin, WriteOfANonNumberThrowsAndKeepsTheValue)
{
    e(1).Value = 9;
    EXPECT_THROW(write(1, "abc"), EConvertError);
    EXPECT_EQ(e(1).Value, 9);
}

TEST_F(Kestavin, NoFramesWithoutProtocolOrBeyondTheTable)
{
    EXPECT_EQ(read(1024), "");
    EXPECT_EQ(read(65535), "");
    EXPECT_EQ(write(1024, "1"), "");
    p->Kind = kKindNone;
    EXPECT_EQ(read(1), "");
    EXPECT_EQ(write(1, "1"), "");
    EXPECT_FALSE(p->ParseAnswer(kRead1, valueAnswer("0001"), 1).Taken);
}

TEST_F(Kestavin, FramesFromALoadedFile)
{
    ASSERT_TRUE(test::loadText(*p, "PROT Kestavin\nVAR t 1,1,rw,0,1,0,$10,0x20,5,0,d\n"));
    EXPECT_EQ(read(1), kRead1);
    EXPECT_EQ(write(1, "$1234"), kWrite1);
}

TEST_F(Kestavin, ValueAnswersSetValueTextAndValid)
{
    const struct {
        std::uint8_t type;
        std::string answer;
        std::int16_t value;
        const char* text;
    } cases[] = {
        {kTypeDecimal, valueAnswer(";?12"), -16622, "-16622"}, // 0xBF12 is negative
        {kTypeDecimal, valueAnswer("12;?"), 0x12BF, "4799"},
        {kTypeDecimal, valueAnswer("00J0"), 0xA0, "160"},              // only the low nibble of 'J'
        {kTypeDecimal, valueAnswer("00012345"), 0x2345, "9029"},       // 17 characters
        {kTypeDecimal, valueAnswer("00012345").substr(0, 16), 1, "1"}, // 16: four nibbles
        {kTypeDecimal, valueAnswer("000123456"), 1, "1"},              // 18: four nibbles
        {kTypeDecimal, frame({"\x01\xA1", "10", "05", "0012"}), 0x12, "18"}, // 10 is long enough
        {kTypeLong, valueAnswer("0001????"), -1, "-1"},
        {kTypeFixed, valueAnswer("00?;"), 251, "25.1"},
    };
    for (const auto& c : cases) {
        e(1).TypeCode = c.type;
        e(1).Decimals = 1;
        e(1).Valid = false;
        e(1).PollRate = 3;
        e(1).PollCounter = 2;
        TAnswerResult r = p->ParseAnswer(kRead1, c.answer, 1);
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(r.Taken);
        EXPECT_EQ(r.Entry, 1);
        EXPECT_EQ(r.Status, c.text);
        EXPECT_EQ(e(1).Value, c.value);
        EXPECT_EQ(e(1).ValueText, c.text);
        EXPECT_TRUE(e(1).Valid);
        EXPECT_EQ(e(1).PollCounter, 0);
        if (c.type == kTypeLong) {
            EXPECT_EQ(e(1).LongValue, -1); // the 16-bit Value widened, not the 32-bit number
        }
    }
}

TEST_F(Kestavin, ValueAnswerDetails)
{
    // PollRate 0 keeps its counter.
    e(1).PollCounter = 4;
    EXPECT_TRUE(p->ParseAnswer(kRead1, valueAnswer("0001"), 1).Taken);
    EXPECT_EQ(e(1).PollCounter, 4);

    // A pick index beyond Max keeps the old text.
    e(1).TypeCode = kTypePickList;
    e(1).Max = 1;
    e(1).PickList[0] = "Off";
    e(1).PickList[1] = "On";
    e(1).ValueText = "On";
    TAnswerResult r = p->ParseAnswer(kRead1, valueAnswer("0005"), 1);
    EXPECT_TRUE(r.Taken);
    EXPECT_EQ(r.Status, "On");
    EXPECT_EQ(e(1).Value, 5);

    // String: pairs from position 7 while the pair ends at or before length-5; the trailing
    // "00" pair is not part of it.
    e(1).TypeCode = kTypeString;
    for (const std::string& tail :
         {frame({"00", "00", "\x04"}), frame({"00", "00", "x", "\x04"})}) {
        r = p->ParseAnswer(kRead1, frame({"\x01\xA1", "10", "05", "48", "69"}) + tail, 1);
        EXPECT_TRUE(r.Taken);
        EXPECT_EQ(r.Status, "Hi");
        EXPECT_EQ(e(1).ValueText, "Hi");
        EXPECT_EQ(e(1).Value, 5);
    }
}

TEST_F(Kestavin, AnswerGoesToTheFirstMatchFromTheStartEntry)
{
    const struct {
        std::string request;
        std::uint16_t start;
        std::uint16_t entry;
    } cases[] = {
        {kRead1, 1, 1},
        {kRead1, 2, 4},
        {kRead1, 4, 4},
        {frame({"\x01\xA1", "10", "06", "16", "\x04"}), 1, 2}, // third code selects
        {kWrite1, 3, 4},                                       // a write is found by Code2
    };
    for (const auto& c : cases) {
        for (std::uint16_t i = 1; i <= 5; ++i)
            e(i).Valid = false;
        const std::string answer = c.request == kWrite1 ? statusAnswer(";0") : valueAnswer("0042");
        TAnswerResult r = p->ParseAnswer(c.request, answer, c.start);
        EXPECT_TRUE(r.Taken) << c.start;
        EXPECT_EQ(r.Entry, c.entry) << c.start;
        for (std::uint16_t i = 1; i <= 5; ++i)
            EXPECT_EQ(e(i).Valid, i == c.entry) << "start " << c.start << " entry " << i;
    }
}

TEST_F(Kestavin, StatusBytes)
{
    const struct {
        const char* encoded;
        const char* word;
        bool taken;
    } cases[] = {
        {";0", "no_error", true},     {";1", "bad_code", true},     {";2", "bad_value", true},
        {";3", "bad_csm", false},     {";4", "bad_form", true},     {";5", "read_only", true},
        {";6", "unrecognized", true}, {";?", "unrecognized", true},
    };
    for (const auto& c : cases) {
        e(1).Valid = false;
        e(1).PollRate = 3;
        e(1).PollCounter = 2;
        e(1).Value = 5;
        TAnswerResult r = p->ParseAnswer(kWrite1, statusAnswer(c.encoded), 1);
        EXPECT_EQ(r.Status, c.word);
        EXPECT_EQ(r.Taken, c.taken) << c.word;
        EXPECT_EQ(e(1).Valid, c.taken) << c.word;
        EXPECT_EQ(e(1).PollCounter, 2) << c.word; // status answers never reset it
        EXPECT_EQ(e(1).Value, 5) << c.word;
    }
}

TEST_F(Kestavin, FailureWordsAndUnexpectedAnswers)
{
    const struct {
        std::string answer;
        const char* status;
        bool valid;
    } cases[] = {
        {"TimeOut", "TimeOut", false},
        {"format", "format", true},
        {"timeout", "error", false},
        {valueAnswer("12").substr(0, 8), "error", false}, // code echoed but too short
        {frame({"\x01\xA1", "10", "05", "001"}), "error", false},
        {frame({"\x01\xA1", "11", "05", "0001", "00", "\x04"}), "error", false},
        {"", "error", false},
        {"\x01", "error", false},
    };
    for (const auto& c : cases) {
        e(1).Valid = false;
        e(1).Value = 77;
        e(1).ValueText = "";
        TAnswerResult r = p->ParseAnswer(kRead1, c.answer, 1);
        EXPECT_FALSE(r.Taken) << c.status;
        EXPECT_EQ(r.Entry, 1);
        EXPECT_EQ(r.Status, c.status);
        EXPECT_EQ(e(1).Valid, c.valid) << c.status;
        EXPECT_EQ(e(1).Value, 77) << c.status; // "" does not convert: the rollback leaves it
    }
}

TEST_F(Kestavin, UnconfirmedWriteRollsBackToTheShownValue)
{
    const struct {
        std::string answer;
        bool taken;
        std::int16_t value;
    } cases[] = {
        {"TimeOut", false, 65},
        {statusAnswer(";3"), false, 65},
        {"format", false, 65},
        {statusAnswer(";7"), true, 100},
        {statusAnswer(";5"), true, 100},
        {statusAnswer(";0"), true, 100},
        {frame({"\x01\xA1", "11", "05", "00", "\x04"}), false, 65},
    };
    for (const auto& c : cases) {
        e(1).Offset = -40; // the rollback must go through the codec: "25" is raw 65
        e(1).Valid = true;
        e(1).ValueText = "25";
        e(1).Value = 65;
        ASSERT_EQ(write(1, "60"), frame({"\x01\xA1", "20", "05", "00", "64", "41", "\x04"}));
        ASSERT_EQ(e(1).Value, 100);
        TAnswerResult r = p->ParseAnswer(write(1, "60"), c.answer, 1);
        EXPECT_EQ(r.Taken, c.taken) << r.Status;
        EXPECT_EQ(e(1).Value, c.value) << r.Status;
    }
}

TEST_F(Kestavin, RollbackOnlyForAValidEntryAndOnlyWhenTheTextConverts)
{
    e(1).Valid = false;
    e(1).ValueText = "25";
    write(1, "60");
    p->ParseAnswer(kWrite1, "TimeOut", 1);
    EXPECT_EQ(e(1).Value, 60);

    e(5).Valid = true;
    e(5).ValueText = "error"; // what raw -32768 shows
    e(5).Value = 3;
    EXPECT_NO_THROW(p->ParseAnswer(frame({"\x01\xA1", "11", "05", "14", "\x04"}), "TimeOut", 5));
    EXPECT_EQ(e(5).Value, 3);
}

TEST_F(Kestavin, UnmatchedAnswerRollsBackTheStartEntryOnly)
{
    e(2).Valid = true;
    e(2).ValueText = "7";
    e(2).Value = 9;
    TAnswerResult r =
        p->ParseAnswer(frame({"\x01\xA1", "77", "05", "72", "\x04"}), valueAnswer("0001"), 2);
    EXPECT_FALSE(r.Taken);
    EXPECT_EQ(r.Status, "");
    EXPECT_EQ(r.Entry, 2);
    EXPECT_EQ(e(2).Value, 7);

    // Start entries outside 1..Count find nothing and touch nothing.
    for (std::uint16_t start :
         {std::uint16_t{0}, std::uint16_t{6}, std::uint16_t{1024}, std::uint16_t{65535}}) {
        EXPECT_FALSE(p->ParseAnswer(kRead1, valueAnswer("0001"), start).Taken) << start;
        EXPECT_FALSE(e(1).Valid) << start;
    }
    EXPECT_FALSE(p->ParseAnswer("", valueAnswer("0001"), 1).Taken);
    EXPECT_FALSE(p->ParseAnswer("\x01", "\x01", 1).Taken);
}

TEST_F(Kestavin, RoutedRequestsReduceRoutedAnswers)
{
    // Routed answer: E(FF), E(A1) after position 2 and two extra characters before the ETX.
    const std::string routed13 =
        frame({"\x01\x41", "??", ":1", "10", "05", "12;?", "00", "xx", "\x03"});
    const std::string routed17 =
        frame({"\x01\x41", "??", ":1", "10", "05", "00012345", "00", "xx", "\x03"});
    const std::string plain13 = frame({"\x01\xA1", "10", "05", "12;?", "00", "\x04"});

    TAnswerResult r = p->ParseAnswer(kRead1ViaMC, routed13, 1);
    EXPECT_TRUE(r.Taken);
    EXPECT_EQ(e(1).Value, 0x12BF);

    r = p->ParseAnswer(kRead1ViaMC, routed17, 1);
    EXPECT_TRUE(r.Taken);
    EXPECT_EQ(e(1).Value, 0x2345); // length judged after the reduction

    r = p->ParseAnswer(kRead1ViaMC, plain13, 1);
    EXPECT_TRUE(r.Taken);
    EXPECT_EQ(e(1).Value, 0x12BF);

    // A plain request never reduces its answer: "??" is then an unexpected code.
    e(1).Valid = false; // no rollback to blur the picture
    e(1).Value = 1;
    r = p->ParseAnswer(kRead1, routed13, 1);
    EXPECT_FALSE(r.Taken);
    EXPECT_EQ(r.Status, "error");
    EXPECT_EQ(e(1).Value, 1);
}

} // namespace
} // namespace quell
