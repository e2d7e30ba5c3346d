// quellgw driving quellsim through a pseudo-terminal: the real termios path, both protocols,
// time-outs and retries, late answers, and a port that goes away and comes back.

#include "tests/gateway/TestNet.h"

#include <gtest/gtest.h>

namespace quell::gw {
namespace {

using namespace std::string_literals;
using test::ChildProgram;
using test::LineClient;
using test::makerRead;

class OverPty : public ::testing::Test {
protected:
    std::string tty() const { return (dir_.path() / "tty").string(); }
    std::unique_ptr<ChildProgram> startSim(const std::string& devices,
                                           std::vector<std::string> extra = {})
    {
        std::vector<std::string> args{devices, "--pty", "--link", tty()};
        args.insert(args.end(), extra.begin(), extra.end());
        auto sim = std::make_unique<ChildProgram>(QUELLSIM_PATH, args, dir_.path(),
                                                  "sim" + std::to_string(++sims_));
        EXPECT_TRUE(sim->waitFor("/dev/")) << sim->errors();
        return sim;
    }
    void startGateway()
    {
        gateway_ = std::make_unique<ChildProgram>(
            QUELLGW_PATH,
            std::vector<std::string>{"--port", tty(), "--listen", "127.0.0.1:0", "--trace",
                                     (dir_.path() / "trace.txt").string()},
            dir_.path(), "gw");
        port_ = gateway_->listeningPort();
        ASSERT_NE(port_, 0) << gateway_->errors();
    }
    void TearDown() override
    {
        if (gateway_) {
            EXPECT_EQ(gateway_->stop(), 0) << "SIGTERM ends it cleanly";
        }
    }

    test::ScratchDir dir_;
    std::unique_ptr<ChildProgram> gateway_;
    int port_ = 0;
    int sims_ = 0;
};

// The value answer of the request, after "ANSWER=" up to its "END".
std::string answerOf(const std::string& line)
{
    const std::size_t at = line.find("ANSWER=");
    if (at == std::string::npos)
        return {};
    return line.substr(at + 7, line.find("END", at) - at - 7);
}

TEST_F(OverPty, SettingsReadsAndWritesOfBothProtocols)
{
    auto sim = startSim("vrq-pb@1,ei-controller@12");
    startGateway();
    LineClient c(port_);
    EXPECT_EQ(c.ask("USER=operator BAUD=14400 PARITY=Odd DATAB=8 STOPB=2 TOUT=200 RET=1 "),
              "USER=operator BAUD=14400 PARITY=Odd DATAB=8 STOPB=2 TOUT=200 RET=1 ");
    EXPECT_EQ(c.ask("PARITY=Space "),
              "USER=operator BAUD=14400 PARITY=Odd DATAB=8 STOPB=2 TOUT=200 RET=1 ");

    // Maker's protocol: write the swap period (Code2 0x20, entry 71) and read it back.
    const std::string write = "\x01\xA1"s + test::encodeByte(0x20) + test::encodeByte(71)
                              + test::encodeByte(0) + test::encodeByte(25)
                              + test::encodeByte(0x20 ^ 71 ^ 25) + "\x04";
    const std::string line = c.ask("BODY=" + write + "END BODY=" + makerRead(0x10, 71) + "END ");
    EXPECT_EQ(line.substr(0, write.size() + 9), "BODY=" + write + "END ") << line;
    EXPECT_EQ(answerOf(line).substr(6, 4), "0019") << line;
    EXPECT_NE(line.find("BODY=" + makerRead(0x10, 71)
                        + "END ANSWER=\x01\xA1"
                          "10470019"),
              std::string::npos)
        << line;

    // EI-Bisynch: set point write (ACK) and poll.
    const std::string select = "\x04"
                               "1122\x02SL55.0\x03"s;
    char bcc = 0;
    for (char ch : select.substr(6))
        bcc = static_cast<char>(bcc ^ ch);
    const std::string ei = c.ask("BODY=" + select + bcc
                                 + "END BODY=\x04"
                                   "1122SL\x05"
                                   "END ");
    EXPECT_NE(ei.find("ANSWER=\x06"
                      "END"),
              std::string::npos)
        << ei;
    EXPECT_NE(ei.find("ANSWER=\x02SL55.0\x03"), std::string::npos) << ei;

    // Nobody at address 5: a time-out after the first try and one retry.
    EXPECT_EQ(c.ask("BODY=" + makerRead(0x10, 71, 0xA5) + "END "),
              "BODY=" + makerRead(0x10, 71, 0xA5) + "END ERROR=TimeOut ");
    const std::string trace = ChildProgram::slurp(dir_.path() / "trace.txt");
    std::size_t tries = 0;
    for (std::size_t at = trace.find("tx 01A5"); at != std::string::npos;
         at = trace.find("tx 01A5", at + 1))
        ++tries;
    EXPECT_EQ(tries, 2u) << "one try and RET=1 further";
}

TEST_F(OverPty, LateAnswersAreNeverTakenForTheNextOne)
{
    // Every second answer comes a second late.
    auto sim = startSim("vrq-pb@1", {"--fault", "slow:2"});
    startGateway();
    LineClient c(port_);
    c.ask("TOUT=150 RET=0 ");
    int timeouts = 0;
    for (int i = 0; i < 6; ++i) {
        // Different entries, so a late answer would show up under the wrong frame.
        const unsigned entry = 60 + static_cast<unsigned>(i);
        const std::string line = c.ask("BODY=" + makerRead(0x10, entry) + "END ");
        if (line.find("ERROR=TimeOut") != std::string::npos) {
            // Its answer comes while nobody waits for it: it must be gone before the next one.
            ++timeouts;
            std::this_thread::sleep_for(std::chrono::milliseconds(1200));
            continue;
        }
        EXPECT_EQ(answerOf(line).substr(2, 4), test::encodeByte(0x10) + test::encodeByte(entry))
            << line;
    }
    EXPECT_EQ(timeouts, 3);
}

TEST_F(OverPty, AVanishedPortIsReportedAndReopenedWhenBack)
{
    auto sim = startSim("vrq-pb@1");
    startGateway();
    LineClient c(port_);
    const std::string line = "BODY=" + makerRead(0x10, 1) + "END ";
    EXPECT_NE(c.ask(line).find("ANSWER="), std::string::npos);
    sim->stop();
    const std::string lost = c.ask(line);
    EXPECT_TRUE(lost.find("ERROR=PortLost") != std::string::npos
                || lost.find("ERROR=NoPort") != std::string::npos)
        << lost;
    EXPECT_NE(c.ask(line).find("ERROR=NoPort"), std::string::npos);
    auto again = startSim("vrq-pb@1");
    EXPECT_NE(c.ask(line).find("ANSWER="), std::string::npos) << gateway_->errors();
}

} // namespace
} // namespace quell::gw
