#include "view/TrendChartMenu.h"

#include <QAction>
#include <QActionGroup>

namespace quell {

TrendChartMenu::TrendChartMenu(TrendChartModel& chart, QWidget* parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("PopupMenuTimeSample"));
    startGraf_ = addAction(QString::fromStdString(chart.startCaption()), this,
                           &TrendChartMenu::startGrafTriggered);
    startGraf_->setObjectName(QStringLiteral("StartGraf"));
    addSeparator();
    auto* periods = new QActionGroup(this);
    for (int i = 0; i < static_cast<int>(kSamplePeriods.size()); ++i) {
        auto* item =
            addAction(QString::fromLatin1(kSamplePeriods[static_cast<std::size_t>(i)].caption),
                      this, [this, i] { emit periodChosen(i); });
        item->setCheckable(true);
        item->setChecked(i == kDefaultSamplePeriod);
        periods->addAction(item);
    }
    addSeparator();
    for (const int channel : kTrendMenuChannels) {
        auto* item =
            addAction(QString::fromLatin1(kTrendChannels[static_cast<std::size_t>(channel)].title));
        item->setCheckable(true);
        item->setChecked(chart.channelChecked(channel));
        connect(item, &QAction::toggled, this,
                [&chart, channel](bool checked) { chart.setChannelChecked(channel, checked); });
    }
    addSeparator();
    addAction(QStringLiteral("Reset"), this, &TrendChartMenu::resetTriggered)
        ->setObjectName(QStringLiteral("Reset2"));
}

void TrendChartMenu::setStartCaption(const std::string& caption)
{
    startGraf_->setText(QString::fromStdString(caption));
}

} // namespace quell
