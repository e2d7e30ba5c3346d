#include "client/UpDown.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quell {

UpDown::UpDown(int minimum, int maximum, QLineEdit* buddy, QWidget* parent)
    : QWidget(parent), minimum_(minimum), maximum_(maximum), position_(minimum), buddy_(buddy)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto makeButton = [&](Qt::ArrowType arrow, int delta) {
        auto* button = new QToolButton(this);
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFixedSize(16, 11);
        connect(button, &QToolButton::clicked, this, [this, delta] { step(delta); });
        connect(button, &QToolButton::released, this, &UpDown::mouseReleased);
        layout->addWidget(button);
    };
    makeButton(Qt::UpArrow, 1);
    makeButton(Qt::DownArrow, -1);
    setPosition(minimum);
}

void UpDown::setPosition(int value)
{
    position_ = std::clamp(value, minimum_, maximum_);
    if (buddy_)
        buddy_->setText(QString::number(position_));
}

void UpDown::step(int delta)
{
    emit changing();
    setPosition(position_ + delta);
}

} // namespace quell
