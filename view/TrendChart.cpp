#include "view/TrendChart.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QValueAxis>

namespace quell {

namespace {

// A value between two gaps has no neighbour to draw a line to; it is drawn as a dot of this
// size until the next value arrives.
constexpr qreal kLoneMarkerSize = 4.0;

} // namespace

TrendChart::TrendChart(QWidget* parent) : QChartView(parent)
{
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(0, 0, 0, 0));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setBackgroundRoundness(0);
    // White, yellow, lime and aqua lines need a dark ground to be seen.
    chart->setPlotAreaBackgroundBrush(Qt::black);
    chart->setPlotAreaBackgroundVisible(true);
    axisX_ = new QValueAxis;
    axisY_ = new QValueAxis;
    axisY_->setRange(1, 100);
    axisX_->setRange(0, 1);
    for (QValueAxis* axis : {axisX_, axisY_}) {
        axis->setLabelsVisible(false);
        axis->setGridLineColor(QColor(64, 64, 64));
    }
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
}

QLineSeries* TrendChart::startSegment(int channel)
{
    const auto& info = kTrendChannels.at(static_cast<std::size_t>(channel));
    auto* segment = new QLineSeries;
    segment->setObjectName(QString::fromLatin1(info.series));
    segment->setName(QString::fromLatin1(info.title));
    segment->setColor(QColor::fromRgb(info.rgb));
    segment->setMarkerSize(kLoneMarkerSize);
    chart()->addSeries(segment);
    segment->attachAxis(axisX_);
    segment->attachAxis(axisY_);
    return segment;
}

void TrendChart::appendPoint(int channel, TrendChartModel::Point value)
{
    auto& ch = channels_.at(static_cast<std::size_t>(channel));
    const int x = ch.count++;
    if (x > axisX_->max()) {
        axisX_->setMax(x);
    }
    if (!value) {
        ch.gapBefore = true;
        return;
    }
    if (ch.gapBefore) {
        ch.segments.push_back(startSegment(channel));
        ch.gapBefore = false;
    }
    QLineSeries* segment = ch.segments.back();
    segment->append(x, *value);
    if (segment->count() <= 2) {
        segment->setPointsVisible(segment->count() == 1);
    }
}

void TrendChart::clear()
{
    for (auto& ch : channels_) {
        for (QLineSeries* segment : ch.segments) {
            chart()->removeSeries(segment);
            delete segment;
        }
        ch = Channel{};
    }
    axisX_->setRange(0, 1);
}

} // namespace quell
