#include "view/RecordList.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

namespace quell {

RecordList::RecordList(QListWidget* list, QLineEdit* fileName, QObject* parent)
    : QObject(parent), list_(list), fileName_(fileName)
{
    fileName_->setText(kMask);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(list_, &QListWidget::itemSelectionChanged, this, &RecordList::FileListRecChange);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &RecordList::refresh);
    // A double click on empty space counts as well (it then opens the mask, which fails
    // visibly), so the viewport's event is watched rather than the item signal.
    list_->viewport()->installEventFilter(this);
    // Showing the page reads the folder again, in case the watch was lost (folder recreated).
    list_->installEventFilter(this);
}

RecordList::RecordList(QListWidget* list, QObject* parent)
    : RecordList(list, new QLineEdit(list->parentWidget()), parent)
{
    fileName_->setObjectName(QStringLiteral("EditFileRec"));
    fileName_->hide();
}

QString RecordList::makeTestFolder(const QString& workDir)
{
    if (workDir.isEmpty()) {
        return {};
    }
    QString folder = QDir(workDir).filePath(QStringLiteral("Test"));
    QDir().mkpath(folder);
    return folder;
}

bool RecordList::readChosen(const std::function<bool(const QString&, QString*)>& reader,
                            QString* error) const
{
    const QString path = chosenFile(error);
    if (path.isEmpty()) {
        return false;
    }
    if (!reader) {
        *error =
            QStringLiteral("Cannot read record file \"%1\".").arg(QDir::toNativeSeparators(path));
        return false;
    }
    return reader(path, error);
}

void RecordList::setFolder(const QString& folder)
{
    if (!watcher_.directories().isEmpty()) {
        watcher_.removePaths(watcher_.directories());
    }
    folder_ = QFileInfo(folder).absoluteFilePath();
    list_->clearSelection();
    refresh();
}

void RecordList::refresh()
{
    if (folder_.isEmpty()) {
        return;
    }
    const QDir dir(folder_);
    if (dir.exists() && !watcher_.directories().contains(folder_)) {
        watcher_.addPath(folder_);
    }
    const QStringList names = dir.entryList({kMask}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    QStringList shown;
    for (int row = 0; row < list_->count(); ++row) {
        shown << list_->item(row)->text();
    }
    if (names == shown) {
        return;
    }
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    const QString keep = selected.isEmpty() ? QString() : selected.first()->text();
    {
        // Rebuilding would report a selection change per step; one report follows.
        const QSignalBlocker blocker(list_);
        list_->clear();
        list_->addItems(names);
        const int row = keep.isEmpty() ? -1 : static_cast<int>(names.indexOf(keep));
        if (row >= 0) {
            list_->setCurrentRow(row);
        }
    }
    FileListRecChange();
}

void RecordList::FileListRecChange()
{
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    const QString name = selected.isEmpty() ? kMask : selected.first()->text();
    fileName_->setText(name);
    list_->setToolTip(name);
}

QString RecordList::chosenFile(QString* error) const
{
    const QString name = fileName_->text();
    QString path = folder_.isEmpty() ? name : QDir(folder_).absoluteFilePath(name);
    if (folder_.isEmpty() || !QFileInfo(path).isFile()) {
        if (error != nullptr) {
            *error = QStringLiteral("Cannot open file \"%1\". The file does not exist.")
                         .arg(QDir::toNativeSeparators(path));
        }
        return {};
    }
    return path;
}

bool RecordList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // Reported once the list has handled the click, so the name edit names the file under
        // the pointer.
        QMetaObject::invokeMethod(this, &RecordList::doubleClicked, Qt::QueuedConnection);
    } else if (watched == list_ && event->type() == QEvent::Show) {
        refresh();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quell
