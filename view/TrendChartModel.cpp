#include "view/TrendChartModel.h"

#include "protocol/NumberText.h"

namespace quell {

std::vector<int>
TrendChartModel::sample(const std::function<std::string(std::string_view label)>& labelText)
{
    std::vector<int> sampled;
    for (std::size_t c = 0; c < kTrendChannels.size(); ++c) {
        if (!checked_[c]) {
            continue;
        }
        // A label that shows no number yet ("-----") is a gap, never an error.
        points_[c].push_back(TryParseFloat(labelText(kTrendChannels[c].sourceLabel)));
        sampled.push_back(static_cast<int>(c));
    }
    return sampled;
}

void TrendChartModel::StartGrafClick()
{
    running_ = !running_;
    startCaption_ = running_ ? "Stop" : "Start";
}

void TrendChartModel::PopupMenuTimeSampleClick(int periodIndex)
{
    periodMs_ = kSamplePeriods.at(static_cast<std::size_t>(periodIndex)).milliseconds;
}

void TrendChartModel::Reset2Click()
{
    // The caption is left alone: after a reset of a stopped chart the item may read "Start"
    // while sampling runs, and choosing it then stops sampling.
    for (auto& series : points_) {
        series.clear();
    }
    running_ = true;
}

} // namespace quell
