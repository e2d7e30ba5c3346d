#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

#include <functional>

namespace quell {

// Edits the value cells of the parameter grid: a drop-down of the entry's items for pick-list
// entries, a line edit for the rest. Enter commits the text and reports the key; Esc drops the
// edit and reports the key, so the window can write or restore the value.
class ValueCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // pickList(row) gives the items a row offers (empty: a plain edit).
    explicit ValueCellDelegate(std::function<QStringList(int row)> pickList,
                               QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

signals:
    // Enter (after the text was committed) or Esc (after the edit was dropped) in a row's cell.
    void keyPressed(int row, int key);

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;

private:
    std::function<QStringList(int)> pickList_;
};

} // namespace quell
