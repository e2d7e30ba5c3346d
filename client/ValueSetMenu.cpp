#include "client/ValueSetMenu.h"

#include "client/RequestScheduler.h"
#include "client/ValueSetFile.h"
#include "protocol/ConvertError.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace quell {

namespace {

const QString kValueFilter =
    QStringLiteral("Protocol description|*.var|Values|*.val|All files|*.*");

QString namesAndSection(const RequestScheduler& scheduler, QStringList& names)
{
    return QString::fromStdString(scheduler.withTable([&](const TProtocol& t) {
        for (int i = 1; i <= t.Count; ++i)
            names << QString::fromStdString(t.Commands[i].Name);
        return t.Section;
    }));
}

} // namespace

Dialogs::FileRequest ValueSetMenu::fileRequest()
{
    Dialogs::FileRequest request;
    request.folder = QDir::current().filePath(QStringLiteral("Vals"));
    request.filter = kValueFilter;
    request.filterIndex = 1;
    request.defaultExtension = QStringLiteral("val");
    return request;
}

bool ValueSetMenu::hasSection(const RequestScheduler& scheduler)
{
    return scheduler.withTable([](const TProtocol& t) { return !t.Section.empty(); });
}

ValueSetMenu::Report ValueSetMenu::save(const QString& file, const RequestScheduler& scheduler,
                                        int boardNumber)
{
    QStringList names;
    const QString section = namesAndSection(scheduler, names);
    QStringList values;
    for (int i = 1; i <= names.size(); ++i)
        values << QString::fromStdString(scheduler.cellText(static_cast<std::uint16_t>(i)));
    QString error;
    switch (ValueSetFile::save(file, section, boardNumber, names, values, &error)) {
    case ValueSetFile::SaveResult::BackupNotDeleted:
        return {Dialogs::Kind::Error, QStringLiteral("Ne može da se obriše backup file.")};
    case ValueSetFile::SaveResult::BackupNotCreated:
        return {Dialogs::Kind::Error, QStringLiteral("Ne može da se kreira backup file.")};
    case ValueSetFile::SaveResult::NotWritten:
        return {Dialogs::Kind::Error, error};
    case ValueSetFile::SaveResult::Saved:
        break;
    }
    return {Dialogs::Kind::Information,
            QStringLiteral("Vrednosti su snimljene u fajl: ") + QFileInfo(file).absoluteFilePath()};
}

ValueSetMenu::Report ValueSetMenu::load(const QString& file, RequestScheduler& scheduler,
                                        std::optional<int>& boardNumber)
{
    QStringList names;
    const QString section = namesAndSection(scheduler, names);
    ValueSetFile::Loaded loaded;
    try {
        loaded = ValueSetFile::load(file, section, names);
    } catch (const EConvertError& error) {
        return {Dialogs::Kind::Error, QString::fromStdString(error.what())};
    }
    // A file that is not text would otherwise load as "no values" and be reported as loaded.
    if (!loaded.errorText.isEmpty())
        return {Dialogs::Kind::Error, loaded.errorText};
    boardNumber = loaded.boardNumber;
    for (std::size_t i = 0; i < loaded.cells.size(); ++i)
        if (loaded.cells[i])
            scheduler.setCellText(static_cast<std::uint16_t>(i + 1),
                                  loaded.cells[i]->toStdString());
    return {Dialogs::Kind::Information,
            QStringLiteral("Vrednosti su učitane iz fajla: ") + QFileInfo(file).absoluteFilePath()};
}

} // namespace quell
