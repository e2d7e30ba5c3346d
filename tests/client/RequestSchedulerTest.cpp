#include "client/RequestScheduler.h"
#include "protocol/ValueCodec.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace quell {
namespace {

namespace fs = std::filesystem;

// A maker's-protocol table of `count` read-write entries; entry i has read code i, write code
// 0x80 + i, parameter code 0 and the given poll rate, all enabled.
class SchedulerFixture : public ::testing::Test {
protected:
    void load(int count, int pollRate = 0)
    {
        const fs::path file =
            fs::temp_directory_path() / ("scheduler-" + std::to_string(::getpid()) + ".var");
        std::ofstream out(file);
        out << "PROT Kestavin\n";
        for (int i = 1; i <= count; ++i)
            out << "VAR p" << i << " 1 " << pollRate << " rw 0 1000 0 " << i << ' ' << 0x80 + i
                << " 0 0 d\n";
        out.close();
        ASSERT_TRUE(table.LoadFromFile(file.string()));
        fs::remove(file);
        LinkSettings s;
        s.userName = "operator";
        s.transmitDelay = 0;
        scheduler.setSettings(s);
    }

    void setSettings(auto change)
    {
        LinkSettings s = scheduler.settings();
        change(s);
        scheduler.setSettings(s);
    }

    // The entries a device line reads, in order.
    std::vector<int> readEntries(const std::string& line) const
    {
        std::vector<int> entries;
        for (std::size_t at = line.find("BODY="); at != std::string::npos;
             at = line.find("BODY=", at + 1)) {
            const std::string frame = line.substr(at + 5, 9);
            entries.push_back(((frame[2] & 0x0F) << 4) | (frame[3] & 0x0F));
        }
        return entries;
    }

    // The device's answer line for a read of `entry` giving `value`.
    std::string answerFor(int entry, int value) const
    {
        const std::string request =
            table.BuildReadRequest(static_cast<std::uint16_t>(entry), 1, 160, false, 1, 64);
        std::string answer = request.substr(0, 6);
        for (int shift = 12; shift >= 0; shift -= 4)
            answer += static_cast<char>(0x30 + ((value >> shift) & 0xF));
        answer += "00";
        answer += '\x04';
        return "BODY=" + request + "END ANSWER=" + answer + "END ";
    }

    void markValid(std::vector<int> entries)
    {
        scheduler.editTable([&](TProtocol& t) {
            for (int e : entries)
                t.Commands[e].Valid = true;
        });
    }

    TProtocol table;
    RequestScheduler scheduler{table};
};

TEST_F(SchedulerFixture, FirstLineOfAConnectionCarriesEverySettingThenEntryOne)
{
    load(10);
    scheduler.connected();
    EXPECT_EQ(scheduler.BuildRequestLine().line,
              "USER=operator BAUD=57600 PARITY=Even DATAB=8 STOPB=1 TOUT=80 RET=3 ");
    EXPECT_EQ(readEntries(scheduler.BuildRequestLine().line), std::vector<int>{1});
}

TEST_F(SchedulerFixture, TimeOutWordIsDoubledThroughTheMcAndOnlyChangedWordsGoOut)
{
    load(3);
    setSettings([](LinkSettings& s) {
        s.viaMC = true;
        s.timeOutPosition = 81;
    });
    scheduler.markSettingsChanged(LineProtocol::SettingsWord::TimeOut);
    scheduler.markSettingsChanged(LineProtocol::SettingsWord::Baud);
    EXPECT_EQ(scheduler.BuildRequestLine().line, "BAUD=57600 TOUT=162 ");
}

TEST_F(SchedulerFixture, EntryOneWithoutValueIsAskedAgainAndAgain)
{
    load(10);
    scheduler.connected();
    scheduler.BuildRequestLine();
    for (int round = 0; round < 3; ++round)
        EXPECT_EQ(readEntries(scheduler.BuildRequestLine().line), std::vector<int>{1});
}

TEST_F(SchedulerFixture, PollScanFillsMaxPacketAndWraps)
{
    struct Case {
        const char* name;
        int maxPacket;
        std::vector<int> due; // entries without a value (entry 1 always has one)
        int startCursor;
        std::vector<int> expectedReads;
        int expectedCursor;
    };
    const Case cases[] = {
        {"three due from the start", 3, {2, 5, 9}, 1, {2, 5, 9}, 10},
        {"nothing due from 8 looks at 8..10 then the whole table", 3, {}, 8, {}, 1},
        {"packet of one stops after the first due entry", 1, {4, 6}, 2, {4}, 5},
        {"zero acts as one examined entry", 0, {2, 3}, 2, {2}, 3},
        {"wraps past the end to find entries before the cursor", 2, {2, 3}, 6, {2, 3}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(10);
        markValid({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        // Bring the cursor to the start: a one-entry scan that reads the entry before it.
        setSettings([](LinkSettings& s) { s.maxPacket = 1; });
        if (c.startCursor > 1) {
            auto setRate = [&](std::uint8_t rate) {
                scheduler.editTable(
                    [&](TProtocol& t) { t.Commands[c.startCursor - 1].PollRate = rate; });
            };
            setRate(1);
            scheduler.BuildRequestLine();
            setRate(0);
        }
        ASSERT_EQ(scheduler.pollCursor(), c.startCursor);
        setSettings([&](LinkSettings& s) { s.maxPacket = static_cast<std::uint8_t>(c.maxPacket); });
        scheduler.editTable([&](TProtocol& t) {
            for (int e : c.due)
                t.Commands[e].Valid = false;
        });
        EXPECT_EQ(readEntries(scheduler.BuildRequestLine().line), c.expectedReads);
        EXPECT_EQ(scheduler.pollCursor(), c.expectedCursor);
    }
}

TEST_F(SchedulerFixture, SendAllWritesEnabledReadWriteEntriesOnlyThenFinishes)
{
    load(8);
    scheduler.editTable([](TProtocol& t) {
        for (int i = 1; i <= 8; ++i)
            t.Commands[i].Enabled = false;
        t.Commands[3].Enabled = true;
        t.Commands[4].Enabled = true;
        t.Commands[4].Access = kAccessReadOnly;
        t.Commands[6].Access = kAccessReadWrite; // disabled
    });
    scheduler.setCellText(3, "42");
    scheduler.beginSendAll();

    const RequestPlan first = scheduler.BuildRequestLine();
    ASSERT_TRUE(first.deviceLine);
    EXPECT_EQ(first.selectRow, std::optional<std::uint16_t>(3));
    // Write of entry 3: write code 0x83, parameter 0, value 42 = 0x002A.
    const std::string frame = table.BuildWriteRequest(3, "42", 1, 160, false, 1, 64);
    EXPECT_EQ(first.line, "BODY=" + frame + "END ");

    const RequestPlan second = scheduler.BuildRequestLine();
    EXPECT_TRUE(second.sendAllFinished);
    EXPECT_TRUE(second.line.empty());
    EXPECT_FALSE(scheduler.sendAllMode());
}

TEST_F(SchedulerFixture, SendAllReportsACellThatIsNotANumberAndGoesOn)
{
    load(3);
    scheduler.setCellText(1, "abc");
    scheduler.setCellText(2, "7");
    scheduler.setCellText(3, "8");
    scheduler.beginSendAll();
    const RequestPlan bad = scheduler.BuildRequestLine();
    EXPECT_EQ(bad.error, std::optional<std::string>("'abc' is not a valid integer value"));
    EXPECT_TRUE(bad.line.empty());
    EXPECT_EQ(bad.selectRow, std::optional<std::uint16_t>(1));
    EXPECT_EQ(scheduler.BuildRequestLine().selectRow, std::optional<std::uint16_t>(2));
}

TEST_F(SchedulerFixture, QueuedCommandGoesBeforePollingAndItsAnswerDecidesItsState)
{
    load(5);
    markValid({1, 2, 3, 4, 5});
    ASSERT_TRUE(scheduler.WriteParameter(2, "300"));
    EXPECT_EQ(scheduler.currentCommand().State, TSendCommand::kQueued);
    const RequestPlan plan = scheduler.BuildRequestLine();
    const std::string frame = scheduler.currentCommand().Frame;
    EXPECT_EQ(plan.line, "BODY=" + frame + "END ");
    EXPECT_EQ(scheduler.currentCommand().State, TSendCommand::kSent);

    // The device confirms with status "no_error" (0xB0).
    std::string confirm = frame.substr(0, 2) + ";0" + frame.substr(4, 2) + "00\x04";
    scheduler.ProcessAnswerLine("BODY=" + frame + "END ANSWER=" + confirm + "END ");
    EXPECT_EQ(scheduler.currentCommand().State, TSendCommand::kAnswered);
    EXPECT_EQ(scheduler.currentCommand().Value, 300);

    ASSERT_TRUE(scheduler.WriteParameter(3, "5"));
    scheduler.BuildRequestLine();
    scheduler.ProcessAnswerLine("BODY=" + scheduler.currentCommand().Frame + "END ERROR=TimeOut");
    EXPECT_EQ(scheduler.currentCommand().State, TSendCommand::kFailed);
}

TEST_F(SchedulerFixture, EleventhCommandIsRefusedAndLeavesNoTrace)
{
    load(12);
    for (int i = 1; i <= 10; ++i)
        ASSERT_TRUE(scheduler.WriteParameter(static_cast<std::uint16_t>(i), "1"));
    const std::int16_t before = table.Commands[11].Value;
    EXPECT_FALSE(scheduler.WriteParameter(11, "99"));
    EXPECT_EQ(scheduler.currentCommand().State, TSendCommand::kFailed);
    EXPECT_EQ(table.Commands[11].Value, before);
    EXPECT_FALSE(scheduler.ReadParameter(12));
    EXPECT_EQ(scheduler.currentCommand().State, TSendCommand::kFailed);

    std::vector<int> written;
    for (int i = 0; i < 10; ++i) {
        const std::string line = scheduler.BuildRequestLine().line;
        written.push_back(static_cast<unsigned char>(line[8]) & 0x0F);
    }
    EXPECT_EQ(written, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 0xA}));
}

TEST_F(SchedulerFixture, AValueOutsideItsLimitsIsRefusedBeforeItIsQueued)
{
    load(5);
    markValid({1, 2, 3, 4, 5});
    table.Commands[2].Name = "Cal EMC1 100K";
    table.Commands[2].TypeCode = kTypeFixed;
    table.Commands[2].Decimals = 1;
    table.Commands[2].Min = 0;
    table.Commands[2].Max = 30000;
    table.Commands[2].Value = 21500;
    try {
        scheduler.WriteParameter(2, "99999");
        FAIL() << "written";
    } catch (const EWriteRefused& refusal) {
        EXPECT_STREQ(refusal.what(), "Cal EMC1 100K: 99999 is outside its limits 0.0 .. 3000.0; "
                                     "nothing was written");
    }
    EXPECT_EQ(table.Commands[2].Value, 21500);
    // Nothing goes out but the polls.
    EXPECT_EQ(scheduler.BuildRequestLine().line.find(
                  table.BuildWriteRequest(2, "2150.0", 1, 0xA0, false, 1, 0x40)),
              std::string::npos);

    // "Send all" reports the cell and goes on with the next.
    for (std::uint16_t e : {1, 3, 4, 5})
        scheduler.setCellText(e, "1");
    scheduler.setCellText(2, "99999");
    scheduler.beginSendAll();
    RequestPlan plan;
    for (int i = 0; i < 5 && !plan.error; ++i)
        plan = scheduler.BuildRequestLine();
    ASSERT_TRUE(plan.error);
    EXPECT_NE(plan.error->find("Cal EMC1 100K: 99999 is outside"), std::string::npos);
    EXPECT_TRUE(plan.line.empty());
}

TEST_F(SchedulerFixture, AnswersUpdateCellsAndSelectors)
{
    load(12);
    const AnswerEffects effects =
        scheduler.ProcessAnswerLine(answerFor(5, 17) + answerFor(12, 300));
    EXPECT_EQ(effects.changedCells, (std::vector<std::uint16_t>{5, 12}));
    EXPECT_EQ(effects.answeredEntries, (std::vector<std::uint16_t>{5, 12}));
    EXPECT_EQ(scheduler.cellText(12), "300");
    // The same value again changes no cell, but the entry was answered.
    const AnswerEffects again = scheduler.ProcessAnswerLine(answerFor(12, 300));
    EXPECT_TRUE(again.changedCells.empty());
    EXPECT_EQ(again.answeredEntries, std::vector<std::uint16_t>{12});
}

TEST_F(SchedulerFixture, SettingsEchoIsAppliedAndABadTimeOutStopsTheLine)
{
    struct Case {
        const char* line;
        bool viaMC;
        std::optional<int> timeOut;
        std::string retries;
        bool error;
    };
    const Case cases[] = {
        {"TOUT=161 RET=5 ", true, 80, "5", false},
        {"TOUT=161 RET=5 ", false, 161, "5", false},
        {"TOUT=x RET=5 ", false, std::nullopt, "3", true},
        {"BAUD= RET=7", false, std::nullopt, "7", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        load(2);
        setSettings([&](LinkSettings& s) { s.viaMC = c.viaMC; });
        const AnswerEffects effects = scheduler.ProcessAnswerLine(c.line);
        EXPECT_EQ(effects.timeOutPosition, c.timeOut);
        EXPECT_EQ(scheduler.settings().retries, c.retries);
        EXPECT_EQ(scheduler.settings().baud, "57600");
        EXPECT_EQ(effects.error.has_value(), c.error);
    }
}

TEST_F(SchedulerFixture, EchoedValuesTheControlsCannotHoldAreRefusedOncePerConnection)
{
    struct Case {
        std::string line;
        bool viaMC;
        std::size_t refused; // messages the first time
        bool error;          // the line stopped with a conversion error
    };
    const std::string huge(5000, 'E');
    const Case cases[] = {
        {"PARITY=" + huge + " ", false, 1, false},
        {"BAUD=\x1b[2J DATAB=9 STOPB=1.5 ", false, 3, false},
        {"BAUD=115200 PARITY=even ", false, 2, false},
        {"TOUT=1001 RET=0 ", false, 2, false},
        {"TOUT=1 ", true, 1, false}, // halved via the MC: position 0
        {"TOUT=-5 RET=11 ", false, 2, false},
        {"RET=3x ", false, 1, false},
        {"TOUT=abc RET=5 ", false, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.substr(0, 40));
        load(2);
        setSettings([&](LinkSettings& s) { s.viaMC = c.viaMC; });
        scheduler.connected();
        const LinkSettings before = scheduler.settings();
        const AnswerEffects first = scheduler.ProcessAnswerLine(c.line);
        EXPECT_EQ(first.refused.size(), c.refused);
        EXPECT_EQ(first.error.has_value(), c.error);
        for (const std::string& message : first.refused) {
            EXPECT_LT(message.size(), 200u) << message;
            EXPECT_EQ(message.find('\x1b'), std::string::npos) << message;
        }
        // Nothing refused reaches the controls or the settings.
        for (const auto& value : first.echo)
            EXPECT_FALSE(value.has_value());
        EXPECT_FALSE(first.timeOutPosition.has_value());
        const LinkSettings after = scheduler.settings();
        EXPECT_EQ(after.baud, before.baud);
        EXPECT_EQ(after.parity, before.parity);
        EXPECT_EQ(after.dataBits, before.dataBits);
        EXPECT_EQ(after.stopBits, before.stopBits);
        EXPECT_EQ(after.timeOutPosition, before.timeOutPosition);
        EXPECT_EQ(after.retries, before.retries);
        // The same echo again says nothing more; a new connection judges it afresh.
        const AnswerEffects again = scheduler.ProcessAnswerLine(c.line);
        EXPECT_TRUE(again.refused.empty());
        EXPECT_FALSE(again.error.has_value());
        scheduler.connected();
        const AnswerEffects reconnected = scheduler.ProcessAnswerLine(c.line);
        EXPECT_EQ(reconnected.refused.size(), c.refused);
        EXPECT_EQ(reconnected.error.has_value(), c.error);
    }

    // Values the controls offer are taken, and a bad value after a good one is reported again.
    load(2);
    const AnswerEffects good =
        scheduler.ProcessAnswerLine("BAUD=9600 PARITY=None DATAB=7 STOPB=2 TOUT=1000 RET=10 ");
    EXPECT_TRUE(good.refused.empty());
    EXPECT_EQ(scheduler.settings().baud, "9600");
    EXPECT_EQ(scheduler.settings().parity, "None");
    EXPECT_EQ(scheduler.settings().timeOutPosition, 1000);
    EXPECT_EQ(scheduler.settings().retries, "10");
    EXPECT_EQ(scheduler.ProcessAnswerLine("PARITY=Mark ").refused.size(), 1u);
    EXPECT_TRUE(scheduler.ProcessAnswerLine("PARITY=Odd ").refused.empty());
    EXPECT_EQ(scheduler.ProcessAnswerLine("PARITY=Mark ").refused.size(), 1u);
}

TEST_F(SchedulerFixture, PacingHoldsDeviceLinesButNotSettings)
{
    load(3);
    markValid({1});
    setSettings([](LinkSettings& s) { s.transmitDelay = 1000; });
    EXPECT_TRUE(scheduler.BuildRequestLine().deviceLine);
    EXPECT_TRUE(scheduler.pacing());
    EXPECT_TRUE(scheduler.BuildRequestLine().line.empty());
    scheduler.markSettingsChanged(LineProtocol::SettingsWord::Retries);
    EXPECT_EQ(scheduler.BuildRequestLine().line, "RET=3 ");

    setSettings([](LinkSettings& s) { s.transmitDelay = 1; });
    scheduler.connected();        // clears the pause
    scheduler.BuildRequestLine(); // settings line
    const RequestPlan device = scheduler.BuildRequestLine();
    EXPECT_TRUE(device.deviceLine);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(scheduler.pacing());
    EXPECT_TRUE(scheduler.BuildRequestLine().deviceLine);
}

TEST_F(SchedulerFixture, WaitForWorkReturnsWhenACommandArrives)
{
    load(2);
    std::thread caller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        scheduler.ReadParameter(2);
    });
    const auto start = RequestScheduler::Clock::now();
    scheduler.waitForWork(start + std::chrono::seconds(10));
    caller.join();
    EXPECT_LT(RequestScheduler::Clock::now() - start, std::chrono::seconds(5));
}

TEST_F(SchedulerFixture, NothingDueMeansSleepingUntilAChange)
{
    load(4);
    markValid({1, 2, 3, 4});
    setSettings([](LinkSettings& s) { s.transmitDelay = 1; });
    EXPECT_TRUE(scheduler.BuildRequestLine().line.empty());
    // The pause would end after a millisecond, but no entry can fall due by itself.
    auto start = RequestScheduler::Clock::now();
    scheduler.waitForWork(start + std::chrono::milliseconds(300));
    EXPECT_GE(RequestScheduler::Clock::now() - start, std::chrono::milliseconds(250));

    std::thread user([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        scheduler.editTable([](TProtocol& t) { t.Commands[3].Valid = false; });
    });
    start = RequestScheduler::Clock::now();
    scheduler.waitForWork(start + std::chrono::seconds(10));
    user.join();
    EXPECT_LT(RequestScheduler::Clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(readEntries(scheduler.BuildRequestLine().line), std::vector<int>{3});

    // An entry read every few cycles counts towards its turn in each scan, so scans go on.
    scheduler.editTable([](TProtocol& t) { t.Commands[2].PollRate = 3; });
    scheduler.BuildRequestLine();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    scheduler.BuildRequestLine();
    start = RequestScheduler::Clock::now();
    scheduler.waitForWork(start + std::chrono::seconds(10));
    EXPECT_LT(RequestScheduler::Clock::now() - start, std::chrono::seconds(5));
}

TEST(AnswerOutcome, EachProtocolsWordsForFailureAreCountedAlike)
{
    struct Case {
        const char* answer;
        bool taken;
        const char* status;
        AnswerOutcome outcome;
    };
    const Case cases[] = {
        {"\x01\xA1"
         "0100002A00\x04",
         true, "42", AnswerOutcome::Value},
        {"TimeOut", false, "TimeOut", AnswerOutcome::TimeOut}, // the maker's protocol
        {"timeout", true, "timeout", AnswerOutcome::TimeOut},  // EI-Bisynch takes it
        {"TimeOut", false, "", AnswerOutcome::TimeOut},        // no entry matched the frame
        {"format", true, "format", AnswerOutcome::Error},
        {"\x15", true, "NAK", AnswerOutcome::Error},
        {"garbage", false, "error", AnswerOutcome::Error},
        {"Partial", false, "Partial", AnswerOutcome::Error}, // a server's failure word
        {"\x01\xA1"
         "B30000\x04",
         false, "range", AnswerOutcome::Error},   // a status word
        {"\x06", false, "", AnswerOutcome::None}, // a write confirmed, no value
    };
    for (const Case& c : cases)
        EXPECT_EQ(classifyAnswer(c.answer, c.taken, c.status), c.outcome) << c.status;
}

TEST_F(SchedulerFixture, CellMarksSayWhatWaitsToBeSentAndWhatStoppedBeingAnswered)
{
    load(2, 1);
    scheduler.connected();
    auto timeOut = [&](int entry) {
        const std::string request =
            table.BuildReadRequest(static_cast<std::uint16_t>(entry), 1, 160, false, 1, 64);
        return "BODY=" + request + "END ERROR=TimeOut ";
    };

    // A loaded or typed text waits; the board's own text (Esc) does not; an answer replaces it.
    scheduler.setCellText(1, "900");
    EXPECT_TRUE(scheduler.cellMarks(1).unsent);
    AnswerEffects effects = scheduler.ProcessAnswerLine(answerFor(1, 7));
    EXPECT_EQ(scheduler.cellText(1), "7");
    EXPECT_FALSE(scheduler.cellMarks(1).unsent);
    scheduler.setCellText(1, "7");
    EXPECT_FALSE(scheduler.cellMarks(1).unsent);
    scheduler.setCellText(1, "8");
    EXPECT_TRUE(scheduler.cellMarks(1).unsent);
    ASSERT_TRUE(scheduler.WriteParameter(1, "8"));
    EXPECT_FALSE(scheduler.cellMarks(1).unsent);
    scheduler.setCellText(2, "5");
    scheduler.clearCells();
    EXPECT_FALSE(scheduler.cellMarks(2).unsent);
    scheduler.ProcessAnswerLine(answerFor(1, 7));

    // Time-outs in a row make the value unanswered, counted per line; one good answer ends it.
    int timeOuts = 0;
    for (int i = 1; i <= RequestScheduler::kUnansweredAfter; ++i) {
        effects = scheduler.ProcessAnswerLine(timeOut(1) + answerFor(2, 3));
        timeOuts += effects.timeOuts;
        EXPECT_EQ(scheduler.cellMarks(1).unanswered, i == RequestScheduler::kUnansweredAfter) << i;
        EXPECT_FALSE(scheduler.cellMarks(2).unanswered);
    }
    EXPECT_EQ(timeOuts, RequestScheduler::kUnansweredAfter);
    EXPECT_EQ(effects.markedCells, std::vector<std::uint16_t>{1});
    EXPECT_EQ(scheduler.cellText(1), "7") << "the last value stays readable";
    effects = scheduler.ProcessAnswerLine(answerFor(1, 9));
    EXPECT_FALSE(scheduler.cellMarks(1).unanswered);
    EXPECT_EQ(effects.markedCells, std::vector<std::uint16_t>{1});

    // A new connection starts with a clean slate.
    for (int i = 0; i < RequestScheduler::kUnansweredAfter; ++i)
        scheduler.ProcessAnswerLine(timeOut(2));
    EXPECT_TRUE(scheduler.cellMarks(2).unanswered);
    scheduler.connected();
    EXPECT_FALSE(scheduler.cellMarks(2).unanswered);
}

} // namespace
} // namespace quell
