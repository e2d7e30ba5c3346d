#pragma once

#include "view/ViewLayout.h"

#include <QPointer>
#include <QSize>

#include <vector>

class QWidget;

namespace quell {

// Applies the proportional layout to widgets: each control is scaled from its design rectangle
// with the current size of its reference box, in the order the controls were added.
class ProportionalLayout {
public:
    // Adds control, drawn at design in a box of reference size whose current size is box's. A
    // label that fits its text keeps its scaled place and height and takes its text's width.
    // A null control or box is left out.
    void add(QWidget* control, const viewlayout::Rect& design, const QWidget* box, QSize reference,
             bool fitText = false);
    // Adds every control of a layout table, found by name among root's children (names not found
    // are left out).
    void add(const QWidget& root, const std::vector<viewlayout::Step>& table);
    // Places every added control, boxes before their contents as they were added.
    void apply() const;

private:
    struct Item {
        QPointer<QWidget> control;
        viewlayout::Rect design;
        QPointer<const QWidget> box;
        QSize reference;
        bool fitText;
    };
    std::vector<Item> items_;
};

} // namespace quell
