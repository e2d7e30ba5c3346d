#include "view/TrendChartModel.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <map>

namespace quell {
namespace {

constexpr int kMC1 = 0;
constexpr int kEMC1 = 8;
constexpr int kTemp1 = 9;

// Label captions as the "Detalji" page shows them; missing labels read "-----".
struct Labels {
    std::map<std::string, std::string, std::less<>> text;
    std::string operator()(std::string_view name) const
    {
        const auto found = text.find(name);
        return found != text.end() ? found->second : "-----";
    }
};

TEST(TrendChartModel, EachSeriesSamplesItsLabelAndNonNumbersAreGaps)
{
    // Each label shows its own number, so a mixed-up source puts it on another series; a few
    // show texts that are no numbers ("1,5": the decimal separator is the point).
    TrendChartModel model;
    Labels labels;
    for (std::size_t c = 0; c < kTrendChannels.size(); ++c) {
        labels.text[kTrendChannels[c].sourceLabel] = std::to_string(c + 1) + ".5";
    }
    labels.text["Val_0"] = "1,5";
    labels.text["Val_1"] = " -3.25 ";
    labels.text.erase("Val_10");
    const auto sampled = model.sample(labels);
    ASSERT_EQ(sampled.size(), kTrendChannels.size()) << "every channel is checked at start";
    for (std::size_t c = 0; c < kTrendChannels.size(); ++c) {
        const int channel = static_cast<int>(c);
        TrendChartModel::Point expected = c + 1.5;
        if (channel == kEMC1 || c + 1 == kTrendChannels.size()) {
            expected = std::nullopt;
        } else if (channel == kTemp1) {
            expected = -3.25;
        }
        EXPECT_EQ(sampled[c], channel);
        EXPECT_EQ(model.points(channel), std::vector<TrendChartModel::Point>{expected})
            << kTrendChannels[c].title;
    }
}

TEST(TrendChartModel, UncheckedChannelFallsBehindAndResumes)
{
    TrendChartModel model;
    const Labels labels;
    model.sample(labels);
    model.setChannelChecked(kEMC1, false);
    const auto sampled = model.sample(labels);
    EXPECT_EQ(std::count(sampled.begin(), sampled.end(), kEMC1), 0);
    model.sample(labels);
    model.setChannelChecked(kEMC1, true);
    model.sample(labels);
    EXPECT_EQ(model.points(kEMC1).size(), 2u);
    EXPECT_EQ(model.points(kTemp1).size(), 4u);
}

TEST(TrendChartModel, MenuActionsDriveTheSampleTimer)
{
    // Each step: the action, then whether sampling runs, its period and the Start item's text.
    enum class Action { Start, Period5Sec, Period30Min, Reset };
    const struct {
        Action action;
        bool running;
        int periodMs;
        const char* caption;
    } steps[] = {
        {Action::Period5Sec, false, 5000, "Start"},   // a period choice keeps it stopped
        {Action::Start, true, 5000, "Stop"},          // and Start then samples at that period
        {Action::Period30Min, true, 1800000, "Stop"}, // a period choice keeps it running
        {Action::Start, false, 1800000, "Start"},
        {Action::Reset, true, 1800000, "Start"},  // reset starts a stopped chart
        {Action::Start, false, 1800000, "Start"}, // and the item then stops it
    };
    TrendChartModel model;
    EXPECT_FALSE(model.running());
    EXPECT_EQ(model.periodMs(), 60000);
    EXPECT_EQ(model.startCaption(), "Start");
    for (const auto& step : steps) {
        switch (step.action) {
        case Action::Start:
            model.StartGrafClick();
            break;
        case Action::Period5Sec:
            model.PopupMenuTimeSampleClick(1);
            break;
        case Action::Period30Min:
            model.PopupMenuTimeSampleClick(6);
            break;
        case Action::Reset:
            model.Reset2Click();
            break;
        }
        EXPECT_EQ(model.running(), step.running) << static_cast<int>(step.action);
        EXPECT_EQ(model.periodMs(), step.periodMs);
        EXPECT_EQ(model.startCaption(), step.caption);
    }
}

TEST(TrendChartModel, ResetEmptiesEverySeries)
{
    TrendChartModel model;
    model.setChannelChecked(kMC1, false);
    model.sample(Labels{});
    model.Reset2Click();
    for (std::size_t c = 0; c < kTrendChannels.size(); ++c) {
        EXPECT_TRUE(model.points(static_cast<int>(c)).empty()) << c;
    }
    EXPECT_FALSE(model.channelChecked(kMC1)) << "the channel choice survives a reset";
}

} // namespace
} // namespace quell
