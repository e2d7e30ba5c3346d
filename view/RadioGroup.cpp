#include "view/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace quell {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this))
{
    for (int k = 0; k < items.size(); ++k) {
        auto* button = new QRadioButton(items[k], this);
        buttons_->addButton(button, k);
        items_.push_back(button);
    }
    connect(buttons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            emit itemIndexChanged(id);
        }
    });
}

int RadioGroup::itemIndex() const
{
    return buttons_->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < count()) {
        items_[static_cast<std::size_t>(index)]->setChecked(true);
        return;
    }
    // An exclusive group never unchecks its last item by itself.
    if (auto* checked = buttons_->checkedButton()) {
        buttons_->setExclusive(false);
        checked->setChecked(false);
        buttons_->setExclusive(true);
    }
}

QRadioButton* RadioGroup::item(int index) const
{
    return items_.at(static_cast<std::size_t>(index));
}

void RadioGroup::setGroupName(const QString& name)
{
    setObjectName(name);
    for (std::size_t k = 0; k < items_.size(); ++k) {
        items_[k]->setObjectName(name + QLatin1Char('_') + QString::number(k));
    }
}

void RadioGroup::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    placeItems();
}

void RadioGroup::placeItems()
{
    // Below the caption each item gets an equal share of the height, as wide as the group.
    const QRect area = contentsRect();
    if (items_.empty() || area.height() <= 0) {
        return;
    }
    const int n = count();
    for (int k = 0; k < n; ++k) {
        const int top = area.top() + area.height() * k / n;
        const int bottom = area.top() + area.height() * (k + 1) / n;
        items_[static_cast<std::size_t>(k)]->setGeometry(area.left(), top, area.width(),
                                                         bottom - top);
    }
}

} // namespace quell
