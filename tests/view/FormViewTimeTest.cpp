#include "ClientCommunications.h"
#include "RecordingDialogs.h"
#include "TrendChart.h"
#include "UView.h"
#include "VesmarLiquidIndicator.h"

#include <QAction>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace quell {
namespace {

class FormViewTimeTest : public ::testing::Test {
protected:
    FormViewTimeTest() { view.ensureControls(); }
    template <typename T> T* child(const char* name)
    {
        auto* found = view.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction* menuItem(const char* menu, const QString& text)
    {
        for (QAction* action : child<QMenu>(menu)->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    }

    RecordingDialogs dialogs;
    TClientMain main;
    TFormView view{main};
};

TEST_F(FormViewTimeTest, StopwatchCountsOnlyWhileTheViewIsShown)
{
    auto* timer = child<QTimer>("TimerStop");
    auto* led = child<TVesmarLiquidIndicator>("LedTime");
    auto* connectButton = child<QPushButton>("BConnect");
    EXPECT_TRUE(timer->isActive()) << "runs from creation, also while hidden";
    EXPECT_EQ(timer->interval(), 1000);
    connectButton->setText("stale");
    view.TimerStopTimer();
    EXPECT_EQ(view.stopwatchSeconds(), 0u);
    EXPECT_EQ(connectButton->text(), "stale") << "a hidden view's tick touches nothing";

    view.setViewVisible(true);
    EXPECT_TRUE(timer->isActive());
    view.TimerStopTimer();
    view.TimerStopTimer();
    EXPECT_EQ(led->indicatorString(), "00.00.02");
    EXPECT_EQ(connectButton->text(), "Connect");

    view.setViewVisible(false);
    EXPECT_FALSE(timer->isActive());
    view.TimerStopTimer();
    view.setViewVisible(true);
    view.TimerStopTimer();
    EXPECT_EQ(led->indicatorString(), "00.00.03") << "resumes from the same count";

    menuItem("PopupMenuStoper", "Reset")->trigger();
    EXPECT_EQ(view.stopwatchSeconds(), 0u);
    EXPECT_EQ(led->indicatorString(), "00.00.03") << "shown at the next tick";
}

TEST_F(FormViewTimeTest, ChartMenuHasItsItemsAndDrivesTheSampleTimer)
{
    QStringList texts;
    QStringList checked;
    for (const QAction* action : child<QMenu>("PopupMenuTimeSample")->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        if (action->isChecked()) {
            checked << action->text();
        }
    }
    const QStringList channels = {"MC1",    "MC2",    "MC3",    "MC4",   "MC5",   "MC6",
                                  "MC7",    "MC8",    "EMC1",   "EMC2",  "Temp1", "Temp2",
                                  "DTemp1", "DTemp2", "DTemp3", "DTemp4"};
    EXPECT_EQ(texts, QStringList({"Start", "-", "1 sec", "5 sec", "10 sec", "1 min", "5 min",
                                  "10 min", "30 min", "-"})
                         + channels + QStringList({"-", "Reset"}));
    EXPECT_EQ(checked, QStringList("1 min") + channels);

    auto* timer = child<QTimer>("TimerGetSample");
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(timer->interval(), 60000);
    menuItem("PopupMenuTimeSample", "5 sec")->trigger();
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(timer->interval(), 5000);
    EXPECT_TRUE(menuItem("PopupMenuTimeSample", "5 sec")->isChecked());
    EXPECT_FALSE(menuItem("PopupMenuTimeSample", "1 min")->isChecked());
    menuItem("PopupMenuTimeSample", "Start")->trigger();
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(child<QAction>("StartGraf")->text(), "Stop");
    menuItem("PopupMenuTimeSample", "Stop")->trigger();
    menuItem("PopupMenuTimeSample", "Reset")->trigger();
    EXPECT_TRUE(timer->isActive()) << "reset starts a stopped chart";

    // Each channel item switches its own channel, though menu and series orders differ.
    for (const QString& title : channels) {
        menuItem("PopupMenuTimeSample", title)->trigger();
        for (std::size_t c = 0; c < kTrendChannels.size(); ++c) {
            EXPECT_EQ(view.trendChart().channelChecked(static_cast<int>(c)),
                      kTrendChannels[c].title != title)
                << title.toStdString();
        }
        menuItem("PopupMenuTimeSample", title)->trigger();
    }
}

TEST_F(FormViewTimeTest, SamplingDrawsTheDetaljiLabelsWithGaps)
{
    auto* value = child<QLabel>("Val_W0");
    for (const char* text : {"10", "-----", "20", "30"}) {
        value->setText(QString::fromLatin1(text));
        view.TimerGetSampleTimer();
    }
    const auto* chart = child<TrendChart>("Chart1");
    const auto& segments = chart->segments(0);
    ASSERT_EQ(segments.size(), 2u) << "the gap splits the line";
    EXPECT_EQ(segments[0]->points(), QList<QPointF>({{0, 10}}));
    EXPECT_EQ(segments[1]->points(), QList<QPointF>({{2, 20}, {3, 30}}));
    EXPECT_TRUE(segments[0]->pointsVisible()) << "a lone value is drawn as a dot";
    EXPECT_FALSE(segments[1]->pointsVisible());
    EXPECT_EQ(segments[1]->color(), QColor(255, 0, 0));
    EXPECT_TRUE(chart->segments(1).empty()) << "a label that never showed a number";

    view.Reset2Click();
    EXPECT_TRUE(chart->segments(0).empty());
    EXPECT_TRUE(chart->chart()->series().isEmpty());
}

} // namespace
} // namespace quell
