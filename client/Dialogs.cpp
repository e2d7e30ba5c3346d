#include "client/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include <cstdio>

namespace quell {

namespace {

// "Name|*.a|Other|*.b" as Qt writes filters: "Name (*.a);;Other (*.b)".
QStringList qtFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(';', ' ')
                       + QLatin1Char(')');
    return filters;
}

QString withDefaultExtension(QString fileName, const QString& extension)
{
    if (!fileName.isEmpty() && !extension.isEmpty() && QFileInfo(fileName).suffix().isEmpty())
        fileName += QLatin1Char('.') + extension;
    return fileName;
}

class WidgetDialogs : public Dialogs {
public:
    void message(Kind kind, const QString& text, QWidget* parent, QPoint at) override
    {
        const QMessageBox::Icon icon = kind == Kind::Error     ? QMessageBox::Critical
                                       : kind == Kind::Warning ? QMessageBox::Warning
                                                               : QMessageBox::Information;
        QMessageBox box(icon, QApplication::applicationDisplayName(), text, QMessageBox::Ok,
                        parent);
        if (!at.isNull())
            box.move(at);
        box.exec();
    }

    bool question(const QString& text, QWidget* parent, QPoint at) override
    {
        QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                        QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::Yes);
        if (!at.isNull())
            box.move(at);
        return box.exec() == QMessageBox::Yes;
    }

    QString openFileName(const FileRequest& request, QWidget* parent) override
    {
        return run(request, parent, QFileDialog::AcceptOpen);
    }

    QString saveFileName(const FileRequest& request, QWidget* parent) override
    {
        return run(request, parent, QFileDialog::AcceptSave);
    }

private:
    static QString run(const FileRequest& request, QWidget* parent, QFileDialog::AcceptMode mode)
    {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                           : QFileDialog::AnyFile);
        dialog.setDirectory(request.folder);
        const QStringList filters = qtFilters(request.filter);
        dialog.setNameFilters(filters);
        if (request.filterIndex >= 0 && request.filterIndex < filters.size())
            dialog.selectNameFilter(filters[request.filterIndex]);
        dialog.setDefaultSuffix(request.defaultExtension);
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        const QString chosen = dialog.selectedFiles().constFirst();
        // The old platform's dialogs made the chosen folder the working directory; value sets
        // and their backups rely on it.
        QDir::setCurrent(QFileInfo(chosen).absolutePath());
        return withDefaultExtension(chosen, request.defaultExtension);
    }
};

class ConsoleDialogs : public Dialogs {
public:
    void message(Kind kind, const QString& text, QWidget*, QPoint) override
    {
        const char* name = kind == Kind::Error     ? "error"
                           : kind == Kind::Warning ? "warning"
                                                   : "information";
        std::fprintf(stderr, "%s: %s\n", name, text.toUtf8().constData());
        std::fflush(stderr);
    }

    bool question(const QString& text, QWidget*, QPoint) override
    {
        std::fprintf(stderr, "question: %s -> yes\n", text.toUtf8().constData());
        std::fflush(stderr);
        return true;
    }

    QString openFileName(const FileRequest&, QWidget*) override { return {}; }
    QString saveFileName(const FileRequest&, QWidget*) override { return {}; }
};

Dialogs* replacement = nullptr;

} // namespace

Dialogs& Dialogs::instance()
{
    if (replacement)
        return *replacement;
    static ConsoleDialogs console;
    static WidgetDialogs widgets;
    if (qEnvironmentVariable("QUELL_NONINTERACTIVE") == QLatin1String("1"))
        return console;
    return widgets;
}

void Dialogs::use(Dialogs* d)
{
    replacement = d;
}

} // namespace quell
