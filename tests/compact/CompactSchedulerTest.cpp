// The compact scheduler without a socket: what goes into a request line (queued writes and polls
// sharing it, the poll words, the sweep), the ring of ten, how answers reach the cells, and the
// cells' marks (not sent yet, no answer lately) with the line's counts of failed answers.
#include "compact/CompactScheduler.h"

#include "compact/UCommands.h"
#include "protocol/HexText.h"
#include "tests/compact/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quell::compact {
namespace {

using kestavin::encodeByte;

// Entry n has parameter code n. Entries 4 and 5 are write-only: only a manual one is read (until
// it has a value).
constexpr std::string_view kDescription = R"(PROT Kestavin
SECTION T
VAR "Man",   manual,   rw, 0, 100, 0, $10, 1, 0, d
VAR "Per",   periodic, ro, 0, 100, 0, $14, 2, 0, d
VAR "DemRo", ondemand, ro, 0, 100, 0, $14, 3, 0, d
VAR "DemWo", ondemand, wo, 0, 100, 0, $10, 4, 0, d
VAR "ManWo", manual,   wo, 0, 100, 0, $10, 5, 0, d
VAR "Pick",  manual,   rw, 0, 2, 0, $10, 6, 0, s, "Off", "On", "Auto"
)";

constexpr std::uint8_t kAddressByte = 0xA1; // address 1, mask 160

class Scheduler : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::loadText(*table, kDescription));
        configure(8);
    }
    void fresh(std::uint8_t maxPacket)
    {
        schedulerOwned = std::make_unique<CompactScheduler>(*table);
        configure(maxPacket);
    }
    void configure(std::uint8_t maxPacket, int transmitDelay = 0)
    {
        LinkSettings s;
        s.userName = "tech";
        s.baud = "9600";
        s.timeOutPosition = 100;
        s.maxPacket = maxPacket;
        s.transmitDelay = transmitDelay;
        sched().setSettings(s);
        sched().connected();
        const std::string settingsLine = sched().BuildRequestLine().line;
        ASSERT_EQ(settingsLine, "USER=tech BAUD=9600 PARITY=Even DATAB=8 STOPB=1 TOUT=100 RET=3 ");
    }
    CompactScheduler& sched() { return *schedulerOwned; }
    std::string read(std::uint8_t entry) const
    {
        return "BODY=\x01\xA1" + table->BuildReadBody(entry) + "\x04" + "END ";
    }
    std::string write(std::uint8_t entry, std::int16_t raw) const
    {
        return "BODY=" + table->BuildWriteFrame(entry, raw, kAddressByte) + "END ";
    }
    void queueWrite(std::uint8_t entry, std::int16_t raw)
    {
        sched().editTable([&](TProtocol& t) { t.Commands[entry].Value = raw; });
        ASSERT_TRUE(sched().WriteParameter(entry));
    }
    // An answer block of the board to a read of the entry.
    std::string answered(std::uint8_t entry, const std::string& answer) const
    {
        return read(entry) + "ANSWER=" + answer + "END ";
    }

    std::unique_ptr<TProtocol> table = test::makeEngine();
    std::unique_ptr<CompactScheduler> schedulerOwned = std::make_unique<CompactScheduler>(*table);
};

// The board's answer: its start, address, command code, parameter code, word, checksum, end.
std::string boardAnswer(std::uint8_t code, std::uint8_t parameter, std::uint16_t word)
{
    const auto high = static_cast<std::uint8_t>(word >> 8);
    const auto low = static_cast<std::uint8_t>(word & 0xFF);
    return "\x02\xA1" + encodeByte(code) + encodeByte(parameter) + encodeByte(high)
           + encodeByte(low) + encodeByte(code ^ parameter ^ high ^ low) + "\x03";
}

TEST_F(Scheduler, QueuedWritesAndPollsShareOneLine)
{
    // The read of entry 1 and the write of 42 to it, byte for byte.
    EXPECT_EQ(read(1), std::string("BODY=\x01\xA1") + "100111\x04" + "END ");
    EXPECT_EQ(write(1, 42), std::string("BODY=\x01\xA1") + "1001002:3;\x04" + "END ");

    const struct {
        std::uint8_t maxPacket;
        std::vector<std::uint8_t> writes; // entries written, value 10 n
        std::vector<std::string> blocks;  // "w<n>" or "r<n>"
    } cases[] = {
        {3, {1, 6}, {"w1", "w6", "r1"}},         // two writes and one read
        {1, {1}, {"w1"}},                        // only the write
        {2, {1, 6}, {"w1", "r1"}},               // a second write needs room for three
        {8, {}, {"r1", "r2", "r3", "r5", "r6"}}, // the sweep ends the line where it wraps
        {3, {6, 1, 6}, {"w6", "w1", "r1"}},      // the third write waits for the next line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "MaxPacket " << int(c.maxPacket));
        fresh(c.maxPacket); // no write left over from the case before
        std::string expected;
        for (std::uint8_t entry : c.writes)
            queueWrite(entry, static_cast<std::int16_t>(10 * entry));
        for (const std::string& block : c.blocks) {
            const auto entry = static_cast<std::uint8_t>(std::stoi(block.substr(1)));
            expected +=
                block[0] == 'w' ? write(entry, static_cast<std::int16_t>(10 * entry)) : read(entry);
        }
        const RequestPlan plan = sched().BuildRequestLine();
        EXPECT_EQ(plan.line, expected);
        EXPECT_TRUE(plan.deviceLine);
    }
}

TEST_F(Scheduler, TheSweepGoesOnWhereTheLastLineStopped)
{
    configure(2);
    std::vector<std::string> lines;
    for (int n = 0; n < 4; ++n)
        lines.push_back(sched().BuildRequestLine().line);
    EXPECT_EQ(lines, (std::vector<std::string>{read(1) + read(2), read(3) + read(5), read(6),
                                               read(1) + read(2)}));
}

TEST_F(Scheduler, AManualEntryIsReadUntilItHasAValue)
{
    // Every entry answers once; then only the periodic entry and the readable on-demand one are
    // read, whatever their values.
    std::string line;
    for (std::uint8_t entry : {1, 2, 3, 5, 6})
        line += answered(entry, boardAnswer(entry == 2 || entry == 3 ? 0x14 : 0x10, entry, 1));
    sched().ProcessAnswerLine(line);
    EXPECT_EQ(sched().BuildRequestLine().line, read(2) + read(3));
    EXPECT_EQ(sched().BuildRequestLine().line, read(2) + read(3));
    // A new connection reads them all again.
    configure(8);
    EXPECT_EQ(sched().BuildRequestLine().line, read(1) + read(2) + read(3) + read(5) + read(6));
}

TEST_F(Scheduler, TheRingHoldsTenWritesAndAPauseFollowsADeviceLine)
{
    configure(1, 1000);
    for (int n = 0; n < 10; ++n)
        EXPECT_TRUE(sched().WriteParameter(1)) << n;
    EXPECT_FALSE(sched().WriteParameter(1));
    EXPECT_FALSE(sched().WriteParameter(7)); // not in the table
    EXPECT_EQ(sched().BuildRequestLine().line, write(1, 0));
    // The pause runs: nothing goes out, and nothing was taken from the ring.
    EXPECT_EQ(sched().BuildRequestLine().line, "");
    EXPECT_TRUE(sched().WriteParameter(1));
    EXPECT_FALSE(sched().WriteParameter(1));
}

TEST_F(Scheduler, AnswersReachTheCellsWithTheBoardsErrorWords)
{
    const struct {
        std::uint8_t entry;
        std::string answer;
        std::string cell;
        bool valid;
    } cases[] = {
        {1, boardAnswer(0x10, 1, 42), "42", true},
        {1, boardAnswer(0x10, 1, 0xFFFE), "-2", true}, // the word is signed
        {6, boardAnswer(0x10, 6, 1), "On", true},      // a pick list shows its item
        {1, boardAnswer(0xB2, 1, 0), "bad_value", true},
        {1, boardAnswer(0xB5, 1, 0), "read_only", true},
        {1, boardAnswer(0xB9, 1, 0), "unrecognized", true},
        {1, boardAnswer(0x14, 1, 42), boardAnswer(0x14, 1, 42), false}, // not its code: raw
        {1, boardAnswer(0x10, 2, 42), boardAnswer(0x10, 2, 42), false}, // not its parameter
        {1, "TimeOut", "TimeOut", false},
        {1, "format", "format", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell);
        configure(8); // no entry has a value
        sched().setCellText(c.entry, "before");
        const CompactAnswerEffects effects = sched().ProcessAnswerLine(answered(c.entry, c.answer));
        EXPECT_EQ(sched().cellText(c.entry), c.cell);
        EXPECT_EQ(effects.changedCells, std::vector<std::uint8_t>{c.entry});
        EXPECT_EQ(sched().withTable([&](const TProtocol& t) { return t.Commands[c.entry].Valid; }),
                  c.valid);
    }
    // A request frame no entry has: nothing happens.
    const std::string stranger = "BODY=\x01\xA1" + encodeByte(0x20) + encodeByte(9)
                                 + encodeByte(0x29) + "\x04END ANSWER=" + boardAnswer(0x20, 9, 1)
                                 + "END ";
    EXPECT_TRUE(sched().ProcessAnswerLine(stranger).answeredEntries.empty());
}

TEST_F(Scheduler, TheSelectedRowKeepsWhatTheUserTyped)
{
    sched().setSelectedRow(1);
    sched().setCellText(1, "7");
    const CompactAnswerEffects effects = sched().ProcessAnswerLine(
        answered(1, boardAnswer(0x10, 1, 42)) + answered(6, boardAnswer(0x10, 6, 2)));
    EXPECT_EQ(sched().cellText(1), "7");
    EXPECT_EQ(sched().cellText(6), "Auto");
    EXPECT_EQ(effects.changedCells, std::vector<std::uint8_t>{6});
    EXPECT_EQ(effects.answeredEntries, (std::vector<std::uint8_t>{1, 6}));
    // The entry itself took the value; the cell shows it once the row is left.
    EXPECT_EQ(sched().withTable([](const TProtocol& t) { return t.Commands[1].Value; }), 42);
}

TEST_F(Scheduler, TheEchoSetsTheTimeOutAsItIs)
{
    const struct {
        std::string line;
        std::optional<int> position;
    } cases[] = {
        {"TOUT=250 RET=5 ", 250},
        {"TOUT=abc ", std::nullopt},
        {"TOUT=5000 ", std::nullopt}, // beyond what the control holds
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(sched().ProcessAnswerLine(c.line).timeOutPosition, c.position);
    }
    EXPECT_EQ(sched().settings().timeOutPosition, 250);
    EXPECT_EQ(sched().settings().retries, "5");
}

TEST_F(Scheduler, ACellIsUnsentUntilItsWriteIsQueuedOrAnAnswerReplacesIt)
{
    const std::string value42 = answered(1, boardAnswer(0x10, 1, 42));
    const struct {
        const char* name;
        std::function<void()> steps;
        bool unsent;
    } cases[] = {
        {"typed", [&] { sched().setCellText(1, "7"); }, true},
        {"typed, then written",
         [&] {
             sched().setCellText(1, "7");
             queueWrite(1, 7);
         },
         false},
        {"typed, then answered",
         [&] {
             sched().setCellText(1, "7");
             sched().ProcessAnswerLine(value42);
         },
         false},
        {"typed, then cleared",
         [&] {
             sched().setCellText(1, "7");
             sched().clearCells();
         },
         false},
        {"emptied", [&] { sched().setCellText(1, ""); }, false},
        // Nothing could send it, but it is not the board's value either.
        {"a read-only entry's text", [&] { sched().setCellText(2, "7"); }, true},
        // The board's own text put back is no news for it; before any answer it may be.
        {"the board's text after an answer",
         [&] {
             sched().ProcessAnswerLine(value42);
             sched().setCellText(1, "42");
         },
         false},
        {"the board's text before an answer", [&] { sched().setCellText(1, "42"); }, true},
        {"a typed text that another answer does not touch",
         [&] {
             sched().setCellText(1, "7");
             sched().ProcessAnswerLine(answered(6, boardAnswer(0x10, 6, 1)));
         },
         true},
        // The selected row's cell is not replaced by the answer, so what waits there still waits.
        {"typed in the selected row, then answered",
         [&] {
             sched().setSelectedRow(1);
             sched().setCellText(1, "7");
             sched().ProcessAnswerLine(value42);
         },
         true},
        {"a write the full ring refused",
         [&] {
             for (int n = 0; n < 10; ++n)
                 sched().WriteParameter(6);
             sched().setCellText(1, "7");
             sched().WriteParameter(1);
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fresh(8);
        c.steps();
        EXPECT_EQ(sched().cellMarks(1).unsent || sched().cellMarks(2).unsent, c.unsent);
        EXPECT_FALSE(sched().cellMarks(1).unanswered);
    }
    EXPECT_EQ(sched().cellMarks(300), CellMarks{}); // beyond the table
}

TEST_F(Scheduler, AnAnswerThatLeavesTheTextAloneStillReportsTheClearedMark)
{
    sched().setCellText(1, "42");
    const CompactAnswerEffects effects =
        sched().ProcessAnswerLine(answered(1, boardAnswer(0x10, 1, 42)));
    EXPECT_TRUE(effects.changedCells.empty());
    EXPECT_EQ(effects.markedCells, std::vector<std::uint8_t>{1});
    EXPECT_FALSE(sched().cellMarks(1).unsent);
}

TEST_F(Scheduler, FailedAnswersAreCountedAndThreeInARowMarkTheEntry)
{
    // Each step is one answer line to entry 1: "T" a time-out, "F" an unreadable block, "E" an
    // error reply, "N" the board's "no_error" confirmation, "R" an answer of another code, "V" a
    // value, "C" a new connection.
    const auto lineFor = [&](char step) {
        switch (step) {
        case 'T':
            return answered(1, "TimeOut");
        case 'F':
            return read(1) + "ANSWER=END ";
        case 'E':
            return answered(1, boardAnswer(0xB2, 1, 0));
        case 'N':
            return answered(1, boardAnswer(0xB0, 1, 0));
        case 'R':
            return answered(1, boardAnswer(0x14, 1, 42));
        case 'V':
            return answered(1, boardAnswer(0x10, 1, 42));
        }
        return std::string();
    };
    const struct {
        const char* steps;
        int timeOuts;
        int errors;
        bool unanswered;
        bool markedByLast; // the last line reported the mark's change
    } cases[] = {
        {"TT", 2, 0, false, false},
        {"TTT", 3, 0, true, true},
        {"TTTT", 4, 0, true, false}, // already marked: no news
        {"TFE", 1, 2, true, true},
        {"RRR", 0, 3, true, true},
        {"TTTV", 3, 0, false, true},
        {"TTVT", 3, 0, false, false}, // a value starts the count again
        {"TTCT", 3, 0, false, false}, // so does a new connection
        {"VVV", 0, 0, false, false},
        {"NNN", 0, 0, false, false}, // what a write-only entry answers: no failure
        {"TTNT", 3, 0, true, true},  // and no value either
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        fresh(8);
        int timeOuts = 0;
        int errors = 0;
        CompactAnswerEffects last;
        for (const char* step = c.steps; *step != '\0'; ++step) {
            if (*step == 'C') {
                sched().connected();
                continue;
            }
            last = sched().ProcessAnswerLine(lineFor(*step));
            timeOuts += last.timeOuts;
            errors += last.errorAnswers;
        }
        EXPECT_EQ(timeOuts, c.timeOuts);
        EXPECT_EQ(errors, c.errors);
        EXPECT_EQ(sched().cellMarks(1).unanswered, c.unanswered);
        const bool marked = std::find(last.markedCells.begin(), last.markedCells.end(), 1)
                            != last.markedCells.end();
        EXPECT_EQ(marked, c.markedByLast);
    }
    // Blocks of one line are counted together; another entry's marks stay as they were.
    fresh(8);
    const CompactAnswerEffects effects = sched().ProcessAnswerLine(
        answered(1, "TimeOut") + answered(6, "TimeOut") + answered(2, boardAnswer(0xB1, 2, 0)));
    EXPECT_EQ(effects.timeOuts, 2);
    EXPECT_EQ(effects.errorAnswers, 1);
    EXPECT_FALSE(sched().cellMarks(6).unanswered);
}

} // namespace
} // namespace quell::compact
