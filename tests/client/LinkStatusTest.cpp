#include "client/LinkStatus.h"

#include <gtest/gtest.h>

namespace quell {
namespace {

TEST(LinkStatus, SaysWhereTheLinkStandsAndWhenItTriesAgain)
{
    struct Case {
        LinkState state;
        bool paused;
        int nextTryMs;
        const char* text;
        StopCause cause = StopCause::User;
    };
    const Case cases[] = {
        {LinkState::Stopped, false, -1, "Stopped"},
        {LinkState::Connecting, false, -1, "Connecting to bench:9099"},
        {LinkState::Connected, false, -1, "Connected to bench:9099"},
        {LinkState::Connected, true, -1, "Connected to bench:9099, reading paused"},
        {LinkState::Reconnecting, false, 2100,
         "Connection to bench:9099 lost, reconnecting in 3 s"},
        // Never "in 0 s" while a try is still ahead.
        {LinkState::Lost, false, 1, "bench:9099 does not answer, trying again in 1 s"},
        {LinkState::Lost, false, -1, "bench:9099 does not answer"},
        // A link without reconnect says why it stopped by itself.
        {LinkState::Stopped, false, -1, "Connection to bench:9099 lost", StopCause::ConnectionLost},
        {LinkState::Stopped, false, -1, "bench:9099 does not answer", StopCause::NotReached},
        // Only while stopped: a new Start says where it stands now.
        {LinkState::Connecting, false, -1, "Connecting to bench:9099", StopCause::ConnectionLost},
    };
    for (const Case& c : cases) {
        LinkStatus status;
        status.state = c.state;
        status.paused = c.paused;
        status.server = "bench:9099";
        status.nextTryMs = c.nextTryMs;
        status.stopCause = c.cause;
        EXPECT_EQ(linkStateText(status).toStdString(), c.text);
        EXPECT_EQ(status.live(), c.state == LinkState::Connected && !c.paused) << c.text;
    }
}

TEST(LinkStatus, TheLastAnswersAgeReadsWithoutFlicker)
{
    struct Case {
        LinkState state;
        std::optional<qint64> sinceMs;
        const char* text;
    };
    const Case cases[] = {
        {LinkState::Stopped, std::nullopt, ""},
        {LinkState::Connecting, std::nullopt, "No answer yet"},
        {LinkState::Connected, 40, "Last answer 0.0 s ago"},
        {LinkState::Connected, 1240, "Last answer 1.2 s ago"},
        {LinkState::Reconnecting, 9999, "Last answer 10.0 s ago"},
        {LinkState::Lost, 10000, "Last answer 10 s ago"},
        {LinkState::Stopped, 119999, "Last answer 119 s ago"},
        {LinkState::Lost, 125000, "Last answer 2 min ago"},
        {LinkState::Lost, 7200000, "Last answer 2 h ago"},
    };
    for (const Case& c : cases) {
        LinkStatus status;
        status.state = c.state;
        status.sinceAnswerMs = c.sinceMs;
        EXPECT_EQ(lastAnswerText(status).toStdString(), c.text);
    }
    LinkStatus counted;
    counted.timeOuts = 3;
    counted.errorAnswers = 1;
    EXPECT_EQ(answerCountsText(counted), QStringLiteral("Time-outs 3 \u00B7 Errors 1"));
}

} // namespace
} // namespace quell
