#include "view/RunLogMemo.h"

#include "calibration/RunLog.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>

namespace quell {

RunLogMemo::RunLogMemo(QPlainTextEdit* memo, QObject* parent)
    : QObject(parent), memo_(memo), popupMenuLog_(new QMenu(memo))
{
    popupMenuLog_->setObjectName(QStringLiteral("PopupMenuLog"));
    logOn_ = popupMenuLog_->addAction(QStringLiteral("Log Active"));
    logOn_->setObjectName(QStringLiteral("LogON"));
    logOn_->setCheckable(true);
    logOn_->setChecked(true);
    connect(logOn_, &QAction::triggered, this, &RunLogMemo::logOnTriggered);
    memo_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memo_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popupMenuLog_->popup(memo_->mapToGlobal(at)); });
}

void RunLogMemo::showAll(const RunLog& log)
{
    memo_->setPlainText(log.lines().join(QLatin1Char('\n')));
    setActive(log.active());
}

void RunLogMemo::showLast(const RunLog& log)
{
    if (!log.lines().isEmpty()) {
        memo_->appendPlainText(log.lines().back());
    }
}

void RunLogMemo::setActive(bool active)
{
    logOn_->setChecked(active);
}

QStringList RunLogMemo::lines() const
{
    return memo_->toPlainText().split(QLatin1Char('\n'));
}

} // namespace quell
