#include "compact/CompactValueSet.h"

#include "client/IniFile.h"
#include "compact/UCommands.h"

#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace quell::compact {

namespace {

QString nameOf(const TCommands& entry)
{
    return QString::fromStdString(entry.Name);
}

bool endsSection(const TCommands& entry)
{
    return entry.TypeCode == kTypeIndex;
}

} // namespace

QString CompactValueSet::baseSectionOf(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    return name.left(std::max<qsizetype>(0, name.size() - 4));
}

QStringList CompactValueSet::rowSections(const TProtocol& table, const QString& baseSection)
{
    QStringList sections;
    int ended = 0;
    for (int row = 1; row <= table.Count; ++row) {
        if (endsSection(table.Commands[static_cast<std::size_t>(row)])) {
            ++ended;
            sections.append(QString());
            continue;
        }
        sections.append(ended == 0 ? baseSection
                                   : baseSection + QLatin1Char('_') + QString::number(ended));
    }
    return sections;
}

ValueSetFile::SaveResult CompactValueSet::save(const QString& fileName, const TProtocol& table,
                                               const QStringList& cells, QString* errorText)
{
    const QStringList sections = rowSections(table, baseSectionOf(fileName));
    const auto fill = [&](IniFile& ini) {
        for (int row = 1; row <= table.Count; ++row) {
            const TCommands& entry = table.Commands[static_cast<std::size_t>(row)];
            if (!endsSection(entry))
                ini.writeString(sections[row - 1], nameOf(entry),
                                row <= cells.size() ? cells[row - 1] : QString());
        }
    };
    return ValueSetFile::saveWithBackup(fileName, fill, errorText);
}

QStringList CompactValueSet::load(const QString& fileName, const TProtocol& table,
                                  QString* errorText)
{
    const IniFile ini(fileName);
    if (errorText)
        *errorText = ini.errorText();
    const QString base = baseSectionOf(fileName);
    const QStringList sections = rowSections(table, base);
    QStringList cells;
    // A missing key takes the entry's default as the window shows it: the raw number would read
    // ten times too big for an entry with a decimal, and Enter would write it so. The texts are
    // made on a copy, so the table stays as the board left it.
    auto scratch = std::make_unique<TProtocol>(table);
    for (int row = 1; row <= table.Count; ++row) {
        const TCommands& entry = table.Commands[static_cast<std::size_t>(row)];
        const QString name = nameOf(entry);
        const auto at = static_cast<std::uint8_t>(row);
        scratch->Commands[at].ValueText.clear();
        // An index entry's text says what it does, not its number: it keeps the number.
        if (entry.TypeCode != kTypeIndex)
            scratch->ValueToText(at, entry.Default);
        QString cell = scratch->Commands[at].ValueText.empty()
                           ? QString::number(entry.Default)
                           : QString::fromStdString(scratch->Commands[at].ValueText);
        for (const QString& section : {sections[row - 1], base}) {
            if (!endsSection(entry) && ini.valueExists(section, name)) {
                cell = ini.readString(section, name, cell);
                break;
            }
        }
        cells.append(cell);
    }
    return cells;
}

QString CompactValueSet::saveMessage(ValueSetFile::SaveResult result, const QString& errorText)
{
    switch (result) {
    case ValueSetFile::SaveResult::Saved:
        return QStringLiteral("Values saved");
    case ValueSetFile::SaveResult::BackupNotDeleted:
        return QStringLiteral("Unable to delete backup file.");
    case ValueSetFile::SaveResult::BackupNotCreated:
        return QStringLiteral("Unable to create backup file.");
    case ValueSetFile::SaveResult::NotWritten:
        break;
    }
    return errorText;
}

} // namespace quell::compact
