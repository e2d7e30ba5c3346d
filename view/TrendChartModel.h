#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quell {

// One channel of the trend chart: its series, title (also its menu item's caption), line colour
// as 0xRRGGBB and the "Detalji" label it samples.
struct TrendChannel {
    const char* series;
    const char* title;
    std::uint32_t rgb;
    const char* sourceLabel;
};

// The sixteen channels in the order they are sampled: the wood values first, then the linear
// channels, whose series were numbered in pairs the other way round.
inline constexpr std::array<TrendChannel, 16> kTrendChannels = {{
    {"Series1", "MC1", 0xFF0000, "Val_W0"},
    {"Series2", "MC2", 0xFFFF00, "Val_W1"},
    {"Series3", "MC3", 0x00FF80, "Val_W2"},
    {"Series4", "MC4", 0x00FFFF, "Val_W3"},
    {"Series5", "MC5", 0xFF8000, "Val_W4"},
    {"Series6", "MC6", 0x804000, "Val_W5"},
    {"Series7", "MC7", 0x808000, "Val_W6"},
    {"Series8", "MC8", 0x0000FF, "Val_W7"},
    {"Series10", "EMC1", 0xFFFFFF, "Val_0"},
    {"Series9", "Temp1", 0x008000, "Val_1"},
    {"Series12", "EMC2", 0xFF00FF, "Val_2"},
    {"Series11", "Temp2", 0x808080, "Val_3"},
    {"Series13", "DTemp1", 0x008080, "Val_7"},
    {"Series14", "DTemp2", 0x000080, "Val_8"},
    {"Series15", "DTemp3", 0x800000, "Val_9"},
    {"Series16", "DTemp4", 0x00FF00, "Val_10"},
}};

// The channel items of the chart's menu, in menu order, by channel (index into kTrendChannels).
inline constexpr std::array<int, 16> kTrendMenuChannels = {0, 1,  2, 3,  4,  5,  6,  7,
                                                           8, 10, 9, 11, 12, 13, 14, 15};

// A sampling period item of the chart's menu.
struct SamplePeriod {
    const char* caption;
    int milliseconds;
};

// The period items in menu order.
inline constexpr std::array<SamplePeriod, 7> kSamplePeriods = {{{"1 sec", 1000},
                                                                {"5 sec", 5000},
                                                                {"10 sec", 10000},
                                                                {"1 min", 60000},
                                                                {"5 min", 300000},
                                                                {"10 min", 600000},
                                                                {"30 min", 1800000}}};

// The period item checked at start ("1 min").
inline constexpr int kDefaultSamplePeriod = 3;

// What the trend chart holds and how its menu drives its sample timer: the points of each
// channel (nothing where the label was no number, drawn as a gap), which channels are sampled,
// the period and whether sampling runs. Plain code; the window mirrors running() and periodMs()
// on its timer after each menu action and draws the points sample() adds.
class TrendChartModel {
public:
    // A point of a series: a value, or nothing for a gap.
    using Point = std::optional<double>;

    // One sample: every checked channel, in table order, gets the number its label shows, or a
    // gap when the text is no number. Returns the channels that got a point.
    std::vector<int> sample(const std::function<std::string(std::string_view label)>& labelText);

    // "Start"/"Stop": stops sampling when it runs, else starts it (the first point comes one
    // period later).
    void StartGrafClick();
    // The caption of that item; only the item itself changes it.
    const std::string& startCaption() const { return startCaption_; }
    // A period item (index into kSamplePeriods): the new period, with sampling running exactly
    // when it ran before.
    void PopupMenuTimeSampleClick(int periodIndex);
    // "Reset": every series emptied and sampling (re)started, even when it was stopped.
    void Reset2Click();

    // Whether a channel is sampled; all are at start.
    bool channelChecked(int channel) const { return checked_.at(channel); }
    // Sets whether a channel is sampled; an unchecked channel falls behind the others.
    void setChannelChecked(int channel, bool checked) { checked_.at(channel) = checked; }

    // Whether the sample timer runs.
    bool running() const { return running_; }
    // The sample timer's period.
    int periodMs() const { return periodMs_; }
    // The points of a channel so far; the X value of a point is its index.
    const std::vector<Point>& points(int channel) const { return points_.at(channel); }

private:
    std::array<std::vector<Point>, kTrendChannels.size()> points_;
    std::array<bool, kTrendChannels.size()> checked_ = [] {
        std::array<bool, kTrendChannels.size()> all{};
        all.fill(true);
        return all;
    }();
    bool running_ = false;
    int periodMs_ = kSamplePeriods[kDefaultSamplePeriod].milliseconds;
    std::string startCaption_ = "Start";
};

} // namespace quell
