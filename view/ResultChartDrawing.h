#pragma once

#include "view/TestResultChart.h"

#include <QFont>
#include <QObject>

class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
class QChart;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace quell {

// How a test result is drawn: the chart with the measured and expected lines (Series17 "Temp1M",
// Series18 "Temp1O"), the deviation bars (Series19 "Odstup1"), the red "Van granica" marks and
// the two axes, filled from what the chart model computed. The window shows it as Chart2 and the
// board's report renders the same chart into its pages, so both draw a result alike.
// The drawing is a child of its chart and goes with it: whoever shows the chart (a chart view, a
// graphics scene) owns both. GUI thread, with a QApplication.
class ResultChartDrawing : public QObject {
    Q_OBJECT
public:
    // Makes the chart with its series and axes, empty, in "Line".
    ResultChartDrawing();

    // The chart, to be shown by a chart view or put into a scene (which then owns it).
    QChart* chart() const { return chart_; }

    // Draws a result: Line fills Series17 and Series18 and marks the outside points with
    // "Van granica", on a left axis fitted to the values; Error fills Series19 with the outside
    // bars selected, on the model's fixed axis. The series of the other mode stay empty and out of
    // the legend.
    void draw(const ResultChart& result);
    // Whether the measured line leaves out the points no test measured (drawn at their old reading
    // otherwise, as Chart2 draws them). Off at first.
    void setLeaveOutUnmeasured(bool leaveOut) { leaveOutUnmeasured_ = leaveOut; }
    // The legend takes font, the axes a little smaller.
    void setFont(const QFont& font);
    // Point labels that do not fit their room get a smaller font, or stand upright; runs by itself
    // whenever the plot area changes.
    void fitPointLabels();

    QLineSeries* measured() const { return series17_; }
    QLineSeries* expected() const { return series18_; }
    QBarSeries* deviation() const { return series19_; }
    // The one bar set of Series19; its bars outside the limits are selected (drawn red).
    QBarSet* deviationSet() const { return deviationSet_; }
    QScatterSeries* outsidePoints() const { return outside_; }
    QBarCategoryAxis* axisX() const { return axisX_; }
    QValueAxis* axisY() const { return axisY_; }

private:
    QChart* chart_ = nullptr;
    QLineSeries* series17_ = nullptr;
    QLineSeries* series18_ = nullptr;
    QBarSeries* series19_ = nullptr;
    QBarSet* deviationSet_ = nullptr;
    QScatterSeries* outside_ = nullptr;
    QBarCategoryAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QFont font_; // the axes' labels at most this size
    bool leaveOutUnmeasured_ = false;
};

} // namespace quell
