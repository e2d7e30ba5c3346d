#include "client/ValueSetFile.h"

#include "client/IniFile.h"

#include "protocol/ConvertError.h"
#include "protocol/NumberText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
                                            const QStringList& values, QString* errorText)
{
    if (QFileInfo::exists(fileName)) {
        const QString backup = backupNameOf(fileName);
        if (QFileInfo::exists(backup) && !QFile::remove(backup))
            return SaveResult::BackupNotDeleted;
        if (!QFile::rename(fileName, backup))
            return SaveResult::BackupNotCreated;
    }
    IniFile ini(fileName);
    ini.writeInteger(section, kBoardKey, boardNumber);
    for (int i = 0; i < names.size(); ++i)
        ini.writeString(section, names[i], i < values.size() ? values[i] : QString());
    if (!ini.save()) {
        if (errorText)
            *errorText = ini.errorText();
        return SaveResult::NotWritten;
    }
    return SaveResult::Saved;
}

ValueSetFile::Loaded ValueSetFile::load(const QString& fileName, const QString& section,
                                        const QStringList& names)
{
    const IniFile ini(fileName);
    Loaded loaded;
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
