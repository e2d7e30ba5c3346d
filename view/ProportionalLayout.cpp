#include "view/ProportionalLayout.h"

#include <QLabel>

namespace quell {

void ProportionalLayout::add(QWidget* control, const viewlayout::Rect& design, const QWidget* box,
                             QSize reference, bool fitText)
{
    if (control != nullptr && box != nullptr) {
        items_.push_back({control, design, box, reference, fitText});
    }
}

void ProportionalLayout::add(const QWidget& root, const std::vector<viewlayout::Step>& table)
{
    for (const auto& step : table) {
        add(root.findChild<QWidget*>(QString::fromStdString(step.control)), step.design,
            root.findChild<QWidget*>(QString::fromStdString(step.box)),
            QSize(step.refWidth, step.refHeight), step.fitText);
    }
}

void ProportionalLayout::apply() const
{
    for (const auto& item : items_) {
        if (item.control.isNull() || item.box.isNull()) {
            continue;
        }
        const QSize current = item.box->size();
        const auto r =
            viewlayout::ScaleControl(item.design, item.reference.width(), item.reference.height(),
                                     current.width(), current.height());
        item.control->setGeometry(r.left, r.top, r.width, r.height);
        if (auto* label = qobject_cast<QLabel*>(item.control.data()); label && item.fitText) {
            label->resize(label->sizeHint().width(), label->height());
        }
    }
}

} // namespace quell
