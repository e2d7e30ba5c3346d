#pragma once

#include <QGroupBox>

#include <vector>

class QButtonGroup;
class QRadioButton;

namespace quell {

// A captioned group of exclusive radio items chosen by index, the items stacked evenly from the
// top of the group to its bottom. Item k is named after the group: "<group name>_k".
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    // A group with caption and one radio item per text of items, none checked.
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    // Index of the checked item, -1 when none is.
    int itemIndex() const;
    // Checks the item at index; -1 (or any index outside the items) checks none.
    void setItemIndex(int index);
    // Number of items.
    int count() const { return static_cast<int>(items_.size()); }
    // The item at index (0 <= index < count()).
    QRadioButton* item(int index) const;

    // Names the group and its items after it.
    void setGroupName(const QString& name);

signals:
    // An item became the checked one, by a click or by setItemIndex.
    void itemIndexChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeItems();

    QButtonGroup* buttons_;
    std::vector<QRadioButton*> items_;
};

} // namespace quell
