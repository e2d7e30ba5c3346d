#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;
class QListWidget;

namespace quell {

// The list of test record files on page "Kalibracija": the "*.rec" files of one folder, kept up
// to date as files come and go, with the hidden name edit that holds the selected file's bare
// name (the mask when nothing is selected). The folder is always used by its absolute path, so
// the process's working directory is never changed. GUI thread only.
class RecordList : public QObject {
    Q_OBJECT
public:
    // The files a record list shows, and the name it gives when nothing is selected.
    static inline const QString kMask = QStringLiteral("*.rec");

    // The folder Test beside the settings file, made when missing; empty for a view made before
    // start-up named a settings file.
    static QString makeTestFolder(const QString& workDir);

    // Drives list and fileName (neither owned); lists nothing until a folder is set.
    RecordList(QListWidget* list, QLineEdit* fileName, QObject* parent = nullptr);
    // Drives list with a hidden name edit EditFileRec of its own beside it (never shown or laid
    // out).
    RecordList(QListWidget* list, QObject* parent);

    // Lists the record files of folder (absolute or relative to the current directory) and
    // follows it from now on; the selection is cleared.
    void setFolder(const QString& folder);
    // The absolute folder listed; empty before setFolder.
    const QString& folder() const { return folder_; }
    // Reads the folder again; the selected file stays selected while it exists.
    void refresh();
    // The selection changed: the name edit and the list's tool tip name the selected file, or
    // give the mask when nothing is selected.
    void FileListRecChange();
    // The file named in the name edit, resolved against the folder; empty with the reason in
    // error when that is no file (the mask, a file removed since it was listed).
    QString chosenFile(QString* error) const;
    // Reads the chosen file with reader: false with the reason in error when nothing readable
    // is chosen, there is no reader or the reader failed.
    bool readChosen(const std::function<bool(const QString& path, QString* error)>& reader,
                    QString* error) const;

signals:
    // The operator double-clicked the list (on a file or on empty space).
    void doubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* list_;
    QLineEdit* fileName_;
    QString folder_;
    QFileSystemWatcher watcher_;
};

} // namespace quell
