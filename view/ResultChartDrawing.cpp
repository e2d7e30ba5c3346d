#include "view/ResultChartDrawing.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace quell {

namespace {

template <typename T> T* named(T* object, const QString& name)
{
    object->setObjectName(name);
    return object;
}

// The labels under a result chart. A category axis takes each label once, and "Drvo sve" has
// eight "1G": a repeated label gets one zero-width space more than the one before, which draws
// the same.
QStringList categories(const ResultChart& chart)
{
    QStringList labels;
    for (const ResultChartPoint& point : chart.points) {
        QString label =
            QString::fromLatin1(point.label.data(), static_cast<qsizetype>(point.label.size()));
        while (labels.contains(label))
            label += QChar(0x200B);
        labels << label;
    }
    return labels;
}

// The left axis of Line mode: every measured and expected value drawn inside, with a little room
// above and below so that no point sits on the frame.
std::pair<double, double> lineRange(const ResultChart& chart, bool leaveOutUnmeasured)
{
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    for (const ResultChartPoint& point : chart.points) {
        const double measured = point.done || !leaveOutUnmeasured ? point.measured : point.expected;
        low = std::min({low, measured, point.expected});
        high = std::max({high, measured, point.expected});
    }
    if (chart.points.empty())
        return {0.0, 1.0};
    const double room = high > low ? (high - low) * 0.05 : std::max(1.0, std::abs(high) * 0.05);
    return {low - room, high + room};
}

// Ticks of the error axis: -F, -F/2, 0, F/2, F.
constexpr int kErrorTicks = 5;
// The axes' labels against the legend's font; what the chart takes of a point label's room
// (padding on both sides and the text item's margins), and the smallest readable label.
constexpr double kAxisFontScale = 0.85;
constexpr double kLabelMargins = 18.0;
constexpr double kSmallestLabelPoints = 7.0;

} // namespace

ResultChartDrawing::ResultChartDrawing() : chart_(new QChart)
{
    setParent(chart_);
    QChart* chart = chart_;
    const auto line = [chart](const char* name, const char* title, QColor colour) {
        auto* series = named(new QLineSeries(chart), QString::fromLatin1(name));
        series->setName(QString::fromLatin1(title));
        series->setColor(colour);
        chart->addSeries(series);
        return series;
    };
    series17_ = line("Series17", "Temp1M", QColor(0, 128, 0));
    series18_ = line("Series18", "Temp1O", QColor(255, 0, 0));
    // Wide enough to tell the colours apart, and each measured point shown where it lies.
    for (QLineSeries* series : {series17_, series18_}) {
        QPen pen = series->pen();
        pen.setWidthF(2.0);
        series->setPen(pen);
    }
    series17_->setPointsVisible(true);
    series19_ = named(new QBarSeries(chart), QStringLiteral("Series19"));
    series19_->setName(QStringLiteral("Odstup1"));
    series19_->setLabelsVisible(true);
    // At the base, so that the value of a bar beyond the axis, cut off at the frame, still shows.
    series19_->setLabelsPosition(QAbstractBarSeries::LabelsInsideBase);
    series19_->setLabelsPrecision(3);
    deviationSet_ = new QBarSet(QStringLiteral("Odstup1"), series19_);
    deviationSet_->setColor(QColor(255, 255, 0));
    series19_->append(deviationSet_);
    chart->addSeries(series19_);
    // Ours, not one of the page's own series: the points an operator must look at again.
    outside_ = named(new QScatterSeries(chart), QStringLiteral("SeriesOutside"));
    outside_->setName(QStringLiteral("Van granica"));
    outside_->setColor(QColor(255, 0, 0));
    outside_->setBorderColor(QColor(128, 0, 0));
    outside_->setMarkerSize(9);
    chart->addSeries(outside_);
    deviationSet_->setSelectedColor(QColor(255, 0, 0));
    deviationSet_->setLabelColor(Qt::black);

    axisX_ = named(new QBarCategoryAxis(chart), QStringLiteral("Chart2AxisX"));
    axisY_ = named(new QValueAxis(chart), QStringLiteral("Chart2AxisY"));
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
    }
    chart->setMargins({});
    // The expected line and the red dots share a colour: the legend tells them apart by shape.
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    // A bar's marker is its colour.
    for (QLegendMarker* marker : chart->legend()->markers(series19_))
        marker->setShape(QLegend::MarkerShapeRectangle);
    // "Line" is checked at start, and nothing is outside yet.
    for (QAbstractSeries* unused :
         {static_cast<QAbstractSeries*>(series19_), static_cast<QAbstractSeries*>(outside_)}) {
        for (QLegendMarker* marker : chart->legend()->markers(unused))
            marker->setVisible(false);
    }
    font_ = axisX_->labelsFont();
    connect(chart, &QChart::plotAreaChanged, this, &ResultChartDrawing::fitPointLabels);
}

void ResultChartDrawing::setFont(const QFont& font)
{
    chart_->legend()->setFont(font);
    // The axes a little smaller than the legend.
    font_ = font;
    font_.setPointSizeF(font.pointSizeF() * kAxisFontScale);
    axisY_->setLabelsFont(font_);
    fitPointLabels();
}

void ResultChartDrawing::fitPointLabels()
{
    // The chart cuts a label wider than its room to "10...", which says nothing. The room is the
    // axis shared by one more than the labels, less the label's padding and text margins. The
    // labels get the chart's font, made smaller until the widest fits; when even the smallest
    // readable size does not fit they stand upright, where only the font's height must fit.
    const QStringList labels = axisX_->categories();
    const double room =
        chart_->plotArea().width() / static_cast<double>(labels.size() + 1) - kLabelMargins;
    QFont font = font_;
    const auto widest = [&labels](const QFont& f) {
        const QFontMetricsF metrics(f);
        double width = 0;
        for (const QString& label : labels)
            width = std::max(width, metrics.horizontalAdvance(label));
        return width;
    };
    int angle = 0;
    double size = font_.pointSizeF();
    for (; size > kSmallestLabelPoints; size -= 0.5) {
        font.setPointSizeF(size);
        if (widest(font) <= room)
            break;
    }
    if (widest(font) > room) {
        angle = -90;
        for (size = font_.pointSizeF(); size > kSmallestLabelPoints; size -= 0.5) {
            font.setPointSizeF(size);
            if (QFontMetricsF(font).height() <= room)
                break;
        }
    }
    if (font != axisX_->labelsFont()) {
        axisX_->setLabelsFont(font);
        // The bar values share the points' room.
        deviationSet_->setLabelFont(font);
    }
    if (angle != axisX_->labelsAngle()) {
        axisX_->setLabelsAngle(angle);
        series19_->setLabelsAngle(angle);
    }
}

void ResultChartDrawing::draw(const ResultChart& chart)
{
    series17_->clear();
    series18_->clear();
    outside_->clear();
    deviationSet_->deselectAllBars();
    deviationSet_->remove(0, deviationSet_->count());
    axisX_->clear();
    axisX_->append(categories(chart));
    fitPointLabels();
    const bool line = chart.mode == ResultChartMode::Line;
    if (line) {
        QList<QPointF> measured;
        QList<QPointF> expected;
        QList<QPointF> outside;
        for (qsizetype i = 0; i < static_cast<qsizetype>(chart.points.size()); ++i) {
            const ResultChartPoint& point = chart.points[static_cast<std::size_t>(i)];
            const auto x = static_cast<double>(i);
            if (point.done || !leaveOutUnmeasured_)
                measured.append({x, point.measured});
            expected.append({x, point.expected});
            if (point.outside)
                outside.append({x, point.measured});
        }
        series17_->replace(measured);
        series18_->replace(expected);
        outside_->replace(outside);
        const auto [low, high] = lineRange(chart, leaveOutUnmeasured_);
        axisY_->setRange(low, high);
        axisY_->applyNiceNumbers();
    } else {
        QList<qreal> deviations;
        QList<int> outside;
        for (qsizetype i = 0; i < static_cast<qsizetype>(chart.points.size()); ++i) {
            const ResultChartPoint& point = chart.points[static_cast<std::size_t>(i)];
            deviations.append(point.deviation);
            if (point.outside)
                outside.append(static_cast<int>(i));
        }
        deviationSet_->append(deviations);
        deviationSet_->selectBars(outside);
        axisY_->setTickCount(kErrorTicks);
        // Every deviation 0 leaves no range at all, and an axis from 0 to 0 keeps whatever range
        // it had before: the zero bars are shown on a ±1 % axis instead.
        const double range = chart.axisRange > 0 ? chart.axisRange : 1.0;
        axisY_->setRange(-range, range);
    }
    // The legend names what is drawn: the lines or the bars, and what red marks mean when there
    // are any (red dots on the lines, red bars among the yellow ones).
    QLegend* legend = chart_->legend();
    const auto show = [legend](QAbstractSeries* series, bool visible) {
        for (QLegendMarker* marker : legend->markers(series))
            marker->setVisible(visible);
    };
    const bool anyOutside = std::any_of(chart.points.begin(), chart.points.end(),
                                        [](const ResultChartPoint& p) { return p.outside; });
    show(series17_, line);
    show(series18_, line);
    show(series19_, !line);
    show(outside_, anyOutside);
    // The red dot stands for a red bar in "Error".
    for (QLegendMarker* marker : legend->markers(outside_))
        marker->setShape(line ? QLegend::MarkerShapeFromSeries : QLegend::MarkerShapeRectangle);
    // Hidden markers keep their place until the legend is laid out again.
    legend->layout()->invalidate();
}

} // namespace quell
