#include "client/ValueCellDelegate.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace quell {

namespace {

// Pick lists drop down at most this many items at once.
constexpr int kVisiblePickItems = 20;
const char* const kRowProperty = "quellRow";

} // namespace

ValueCellDelegate::ValueCellDelegate(std::function<QStringList(int)> pickList, QObject* parent)
    : QStyledItemDelegate(parent), pickList_(std::move(pickList))
{
}

QWidget* ValueCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    QWidget* editor = nullptr;
    const QStringList items = pickList_(index.row());
    if (!items.isEmpty()) {
        auto* combo = new QComboBox(parent);
        combo->addItems(items);
        combo->setMaxVisibleItems(kVisiblePickItems);
        editor = combo;
    } else {
        editor = QStyledItemDelegate::createEditor(parent, option, index);
    }
    editor->setProperty(kRowProperty, index.row());
    return editor;
}

void ValueCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const int at = combo->findText(index.data(Qt::EditRole).toString());
        combo->setCurrentIndex(at >= 0 ? at : 0);
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void ValueCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const
{
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, combo->currentText(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

bool ValueCellDelegate::eventFilter(QObject* object, QEvent* event)
{
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int row = editor->property(kRowProperty).toInt();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            emit keyPressed(row, Qt::Key_Return);
            return true;
        }
        if (key == Qt::Key_Escape) {
            emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            emit keyPressed(row, Qt::Key_Escape);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace quell
