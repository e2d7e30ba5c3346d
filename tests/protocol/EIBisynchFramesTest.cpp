// EI-Bisynch frames: polls and selections with their BCC, data answers, ACK/NAK and failure words.
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

// Polls at address 1 (group "00", unit "11").
const std::string kPollPV = frame({"\x04", "0011", "PV", "\x05"});
const std::string kPollPV2 = frame({"\x04", "0011", "2PV", "\x05"});
// Selection of "SL" with "100.0": BCC = S^L^'1'^'0'^'0'^'.'^'0'^ETX = 0x33.
const std::string kWriteSL = frame({"\x04", "0011", "\x02", "SL", "100.0", "\x03", "\x33"});
// Selection of "PV" on channel 2 with "42": BCC = '2'^P^V^'4'^'2'^ETX = 0x31.
const std::string kWritePV2 = frame({"\x04", "0011", "\x02", "2PV", "42", "\x03", "\x31"});

class EIBisynch : public ::testing::Test {
protected:
    void SetUp() override
    {
        p->Kind = kKindEIBisynch;
        defineEntry(*p, 1, 'P', 'V', '0', kTypeFixed).Decimals = 1;
        defineEntry(*p, 2, 'P', 'V', '2', kTypeDecimal);
        defineEntry(*p, 3, 'S', 'L', '0', kTypeFixed).Decimals = 1;
        defineEntry(*p, 4, 'X', 'P', '3', kTypeDecimal); // answers to "P" by its Code2
        TCommands& mode = defineEntry(*p, 5, 'M', 'D', '0', kTypePickList);
        mode.Max = 2;
        mode.PickList[0] = "Lo";
        mode.PickList[1] = "Mid";
        mode.PickList[2] = "Hi";
    }
    TCommands& e(std::uint16_t i) { return p->Commands[i]; }
    TAnswerResult answer(const std::string& request, const std::string& text,
                         std::uint16_t start = 1)
    {
        return p->ParseAnswer(request, text, start);
    }
    std::unique_ptr<TProtocol> p = makeProtocol();
};

TEST_F(EIBisynch, PollFramesByteExact)
{
    const struct {
        std::uint16_t entry;
        std::uint8_t address;
        std::string frame;
    } cases[] = {
        {1, 12, frame({"\x04", "1122", "PV", "\x05"})},
        {2, 12, frame({"\x04", "1122", "2PV", "\x05"})},
        {1, 0, frame({"\x04", "0000", "PV", "\x05"})},
        {1, 99, frame({"\x04", "9999", "PV", "\x05"})},
        {1, 15, frame({"\x04", "1155", "PV", "\x05"})},
        {1, 1, kPollPV},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(p->BuildReadRequest(c.entry, c.address, 0xA0, false, 1, 0x40), c.frame);
        // Mask and MC routing play no part in this protocol.
        EXPECT_EQ(p->BuildReadRequest(c.entry, c.address, 0x00, true, 7, 0x40), c.frame);
    }
}

TEST_F(EIBisynch, SelectionFramesCarryTheTextAndStoreIt)
{
    EXPECT_EQ(p->BuildWriteRequest(3, "100.0", 1, 0xA0, false, 1, 0x40), kWriteSL);
    EXPECT_DOUBLE_EQ(e(3).FloatValue, 100.0);
    EXPECT_EQ(p->BuildWriteRequest(2, "42", 1, 0xA0, true, 1, 0x40), kWritePV2);
    EXPECT_EQ(e(2).Value, 42);
    EXPECT_EQ(e(2).ValueText, ""); // the answer, not the write, changes the text
    EXPECT_THROW(p->BuildWriteRequest(2, "abc", 1, 0xA0, false, 1, 0x40), EConvertError);
    EXPECT_EQ(e(2).Value, 42);
}

TEST_F(EIBisynch, DataAnswersStoreTheField)
{
    e(1).ValueText = "old";
    e(1).PollRate = 2;
    e(1).PollCounter = 1;
    TAnswerResult r = answer(kPollPV, frame({"\x02", "PV", " 25.5", "\x03", "x"}));
    EXPECT_TRUE(r.Taken);
    EXPECT_EQ(r.Entry, 1);
    EXPECT_EQ(r.Status, e(1).ValueText); // whether a number renews the text is the engine's choice
    EXPECT_DOUBLE_EQ(e(1).FloatValue, 25.5);
    EXPECT_TRUE(e(1).Valid);
    EXPECT_EQ(e(1).PollCounter, 0);

    // The field ends at the first ETX even when the BCC is a digit, or at the end of the text.
    answer(kPollPV, frame({"\x02", "PV", "12", "\x03", "5"}));
    EXPECT_DOUBLE_EQ(e(1).FloatValue, 12.0);
    answer(kPollPV, frame({"\x02", "PV", "17"}));
    EXPECT_DOUBLE_EQ(e(1).FloatValue, 17.0);

    // Leading blanks go before the BCD type drops the field's first character.
    defineEntry(*p, 6, 'X', 'B', '0', kTypeBcd);
    r = answer(frame({"\x04", "0011", "XB", "\x05"}), frame({"\x02", "XB", "  >42", "\x03"}));
    EXPECT_EQ(r.Entry, 6);
    EXPECT_EQ(e(6).Value, 42);

    // A channel entry reads its field from column 5.
    r = answer(kPollPV2, frame({"\x02", "2PV", "42", "\x03", "1"}));
    EXPECT_TRUE(r.Taken);
    EXPECT_EQ(r.Entry, 2);
    EXPECT_EQ(e(2).Value, 42);
}

TEST_F(EIBisynch, PickListDataIsClampedAndShownAsItsItem)
{
    const std::string poll = frame({"\x04", "0011", "MD", "\x05"});
    const struct {
        const char* data;
        std::int16_t value;
        const char* item;
    } cases[] = {{"1", 1, "Mid"}, {"5", 2, "Hi"}, {"-1", 0, "Lo"}};
    for (const auto& c : cases) {
        TAnswerResult r = answer(poll, frame({"\x02", "MD"}) + c.data + frame({"\x03", "0"}));
        EXPECT_TRUE(r.Taken) << c.data;
        EXPECT_EQ(r.Status, c.item);
        EXPECT_EQ(e(5).Value, c.value) << c.data;
        EXPECT_EQ(e(5).ValueText, c.item);
    }
}

TEST_F(EIBisynch, AnswerForAnotherMnemonicOrChannelIsAnError)
{
    const struct {
        std::string request;
        std::string answer;
    } cases[] = {
        {kPollPV, frame({"\x02", "PX", "12", "\x03"})},   // second mnemonic character differs
        {kPollPV, frame({"\x02", "2PV", "12", "\x03"})},  // channel where none was asked
        {kPollPV2, frame({"\x02", "3PV", "12", "\x03"})}, // other channel
        {kPollPV2, frame({"\x02", "PV", "12", "\x03"})},  // no channel
        {kPollPV, "\x02"s},
    };
    for (const auto& c : cases) {
        e(1).FloatValue = 9.0;
        e(2).Value = 9;
        e(1).Valid = e(2).Valid = false;
        TAnswerResult r = answer(c.request, c.answer);
        EXPECT_TRUE(r.Taken);
        EXPECT_EQ(r.Status, "error");
        EXPECT_EQ(e(1).FloatValue, 9.0);
        EXPECT_EQ(e(2).Value, 9);
        EXPECT_FALSE(e(1).Valid || e(2).Valid);
    }
}

TEST_F(EIBisynch, EntryIsFoundBackwardByFirstMnemonicCharacterAndChannel)
{
    // "PV" on channel 3 matches entry 4 through its Code2 'P'.
    TAnswerResult r =
        answer(frame({"\x04", "0011", "3PV", "\x05"}), frame({"\x02", "3PV", "7", "\x03"}), 1);
    EXPECT_TRUE(r.Taken);
    EXPECT_EQ(r.Entry, 4);
    EXPECT_EQ(e(4).Value, 7);

    // Two entries for "PV": the higher-numbered one, wherever the search starts.
    defineEntry(*p, 6, 'P', 'V', '0', kTypeFixed).Decimals = 1;
    r = answer(kPollPV, frame({"\x02", "PV", "3.5", "\x03"}), 1);
    EXPECT_EQ(r.Entry, 6);
    EXPECT_DOUBLE_EQ(e(6).FloatValue, 3.5);

    // Selections are recognised as well, with and without a channel.
    EXPECT_EQ(answer(kWriteSL, "\x15"s, 1).Entry, 3);
    EXPECT_EQ(answer(kWritePV2, "\x15"s, 1).Entry, 2);
}

TEST_F(EIBisynch, AcknowledgementsAndFailureWords)
{
    const struct {
        std::string answer;
        bool taken;
        const char* status;
        bool valid; // entry starts Valid
    } cases[] = {
        {"\x06"s, false, "", false},        {"\x15"s, true, "NAK", false},
        {"timeout", true, "timeout", true}, {"format", true, "format", true},
        {"TimeOut", false, "error", true},  {"xyz", false, "error", true},
        {"", false, "error", true},
    };
    for (const auto& c : cases) {
        e(3).Valid = true;
        e(3).ValueText = "5";
        e(3).FloatValue = 9.0;
        e(3).Value = 9;
        TAnswerResult r = answer(kWriteSL, c.answer, 1);
        EXPECT_EQ(r.Taken, c.taken) << c.status;
        EXPECT_EQ(r.Entry, 3);
        EXPECT_EQ(r.Status, c.status);
        EXPECT_EQ(e(3).Valid, c.valid) << c.status;
        EXPECT_EQ(e(3).FloatValue, 9.0) << c.status;
        EXPECT_EQ(e(3).Value, 9) << c.status; // no rollback in this protocol
    }

    e(1).Valid = false;
    EXPECT_TRUE(answer(kPollPV, "format").Taken);
    EXPECT_TRUE(e(1).Valid);
}

TEST_F(EIBisynch, NonNumericDataRaisesTheConversionError)
{
    try {
        answer(kPollPV2, frame({"\x02", "2PV", "abc", "\x03"}));
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'abc' is not a valid integer value");
    }
}

TEST_F(EIBisynch, RequestsThatNameNoEntry)
{
    for (const std::string& request :
         {frame({"\x04", "0011", "QQ", "\x05"}), frame({"\x04", "0011", "P", "\x05"}), ""s,
          frame({"\x04", "00"}), frame({"\x04", "0011", "\x02"}),
          frame({"\x04", "0011", "PV", "\x06"})}) {
        TAnswerResult r = answer(request, frame({"\x02", "PV", "12", "\x03"}), 2);
        EXPECT_FALSE(r.Taken);
        EXPECT_EQ(r.Status, "");
        EXPECT_EQ(r.Entry, 2);
        EXPECT_FALSE(e(1).Valid);
    }
    p->Kind = kKindNone;
    EXPECT_FALSE(answer(kPollPV, frame({"\x02", "PV", "12", "\x03"})).Taken);
    EXPECT_EQ(p->BuildReadRequest(1, 1, 0xA0, false, 1, 0x40), "");
}

} // namespace
} // namespace quell
