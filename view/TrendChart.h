#pragma once

#include "view/TrendChartModel.h"

#include <QChartView>

#include <array>
#include <vector>

class QLineSeries;
class QValueAxis;

namespace quell {

// The drawing of the trend chart: one line per channel in its colour on a fixed 1..100 scale,
// no labels, title, legend or margins; the X value of a point is its index in its channel.
// Points are appended as they are sampled; a gap point breaks the line.
class TrendChart : public QChartView {
    Q_OBJECT
public:
    // An empty chart.
    explicit TrendChart(QWidget* parent = nullptr);

    // Draws a channel's next point (nothing: a gap), without touching the points drawn before.
    void appendPoint(int channel, TrendChartModel::Point value);
    // Removes every point of every channel.
    void clear();
    // The line pieces of a channel drawn so far, oldest first.
    const std::vector<QLineSeries*>& segments(int channel) const
    {
        return channels_.at(static_cast<std::size_t>(channel)).segments;
    }

private:
    // The line pieces of one channel. Qt's line series cannot hold a missing point and would
    // join its neighbours across it, so a channel is drawn as consecutive pieces of one colour,
    // a new piece starting with the first value after a gap. Appending touches only the last
    // piece; only a gap adds a series.
    struct Channel {
        std::vector<QLineSeries*> segments;
        int count = 0;         // points so far, gaps included: the next point's X value
        bool gapBefore = true; // the next value starts a new piece
    };
    QLineSeries* startSegment(int channel);

    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    std::array<Channel, kTrendChannels.size()> channels_;
};

} // namespace quell
