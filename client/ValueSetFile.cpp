#include "client/ValueSetFile.h"

#include "client/IniFile.h"

#include "protocol/ConvertError.h"
#include "protocol/NumberText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace quell {

namespace {

const QString kBoardKey = QStringLiteral("PB");

} // namespace

QString ValueSetFile::backupNameOf(const QString& fileName)
{
    const QFileInfo info(fileName);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".BAK"));
}

ValueSetFile::SaveResult ValueSetFile::save(const QString& fileName, const QString& section,
                                            int boardNumber, const QStringList& names,
                                            const QStringList& values, QString* errorText,
                                            const StepHook& onStep)
{
    const auto fill = [&](IniFile& ini) {
        ini.writeInteger(section, kBoardKey, boardNumber);
        for (int i = 0; i < names.size(); ++i)
            ini.writeString(section, names[i], i < values.size() ? values[i] : QString());
    };
    return saveWithBackup(fileName, fill, errorText, onStep);
}

ValueSetFile::SaveResult ValueSetFile::saveWithBackup(const QString& fileName,
                                                      const std::function<void(IniFile&)>& fill,
                                                      QString* errorText, const StepHook& onStep)
{
    const auto step = [&onStep](SaveStep s) {
        if (onStep)
            onStep(s);
    };
    const auto failWrite = [&](const QString& reason) {
        if (errorText)
            *errorText = QStringLiteral("Cannot write the file \"%1\": %2").arg(fileName, reason);
        return SaveResult::NotWritten;
    };

    // The new set is written completely beside the old file before the old one is touched, so
    // that at every moment the value set exists, old or new.
    const QFileInfo info(fileName);
    QTemporaryFile staging(
        info.dir().filePath(info.completeBaseName() + QStringLiteral("_XXXXXX.tmp")));
    if (!staging.open())
        return failWrite(staging.errorString());
    staging.close();
    {
        IniFile ini(staging.fileName());
        fill(ini);
        if (!ini.save())
            return failWrite(ini.errorText());
    }
    // The temporary file is private to its owner; the value set keeps the old file's permissions
    // or gets those of an ordinary new file.
    staging.setPermissions(QFileInfo::exists(fileName)
                               ? QFile::permissions(fileName)
                               : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
                                     | QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
    step(SaveStep::NewWritten);

    if (QFileInfo::exists(fileName)) {
        const QString backup = backupNameOf(fileName);
        // A file that already has the backup's name cannot have a backup of its own; deleting
        // "the old backup" would delete the file itself.
        if (QFileInfo(backup) == QFileInfo(fileName))
            return SaveResult::BackupNotCreated;
        if (QFileInfo::exists(backup) && !QFile::remove(backup))
            return SaveResult::BackupNotDeleted;
        // A second name for the old file (or a copy where links are not possible) keeps it in
        // place until the new one replaces it.
        std::error_code linkError;
        std::filesystem::create_hard_link(fileName.toStdU16String(), backup.toStdU16String(),
                                          linkError);
        if (linkError && !QFile::copy(fileName, backup))
            return SaveResult::BackupNotCreated;
        step(SaveStep::BackupMade);
    }

    // rename() replaces the target in one step; QFile::rename() would refuse an existing one.
    std::error_code renameError;
    std::filesystem::rename(staging.fileName().toStdU16String(), fileName.toStdU16String(),
                            renameError);
    if (renameError)
        return failWrite(QString::fromStdString(renameError.message()));
    staging.setAutoRemove(false); // its name is the value set's now
    step(SaveStep::Replaced);
    return SaveResult::Saved;
}

ValueSetFile::Loaded ValueSetFile::load(const QString& fileName, const QString& section,
                                        const QStringList& names)
{
    const IniFile ini(fileName);
    Loaded loaded;
    if (!ini.errorText().isEmpty()) {
        loaded.errorText = ini.errorText();
        return loaded;
    }
    if (ini.valueExists(section, kBoardKey)) {
        const QString text = ini.readString(section, kBoardKey, QString());
        loaded.boardNumber = parseInteger(text.toStdString());
    }
    loaded.cells.reserve(static_cast<std::size_t>(names.size()));
    for (const QString& name : names) {
        if (ini.valueExists(section, name))
            loaded.cells.emplace_back(ini.readString(section, name, QString()));
        else
            loaded.cells.emplace_back(std::nullopt);
    }
    return loaded;
}

} // namespace quell
