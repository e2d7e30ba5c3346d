#pragma once

#include "view/TrendChartModel.h"

#include <QMenu>

#include <string>

class QAction;

namespace quell {

// PopupMenuTimeSample, the trend chart's popup: "Start"/"Stop", the sample periods (a radio
// group, "1 min" at start), the sixteen channel items (all checked at start) and "Reset". The
// items report what was chosen; the window applies it to the chart's model and timer.
class TrendChartMenu : public QMenu {
    Q_OBJECT
public:
    // The menu in the state of chart; its channel items switch the chart's channels (chart not
    // owned).
    explicit TrendChartMenu(TrendChartModel& chart, QWidget* parent = nullptr);

    // The caption of StartGraf; only that item changes it.
    void setStartCaption(const std::string& caption);

signals:
    void startGrafTriggered();
    // A period item, by index into kSamplePeriods.
    void periodChosen(int periodIndex);
    void resetTriggered();

private:
    QAction* startGraf_ = nullptr;
};

} // namespace quell
