#pragma once

#include "client/ValueSetFile.h"

#include <QString>
#include <QStringList>

namespace quell::compact {

class TProtocol;

// The compact configurator's value sets (".val" in "Vals"): the grid's value column under
// sections named after the file, not after the description. Each entry of type a ends a section:
// the rows after the n-th such entry go to section "<base>_<n>" (plant, plant_1, plant_2, ...),
// and the a entries themselves are not written. There is no board number. Saving keeps one
// backup generation as the full tool's value sets do. Plain file logic; the window asks for the
// file and shows the messages.
class CompactValueSet {
public:
    // The base section of a value file: its name without the folder and without its last four
    // characters ("Vals/plant.val" gives "plant").
    static QString baseSectionOf(const QString& fileName);
    // The section each row 1..Count of the table is saved in, at index row - 1 (empty for the
    // a entries, which are not saved).
    static QStringList rowSections(const TProtocol& table, const QString& baseSection);

    // Writes cells[row - 1] under the row's name in the row's section, for rows 1..Count in
    // order (a missing cell is written empty). Backup and failures as ValueSetFile::save.
    static ValueSetFile::SaveResult save(const QString& fileName, const TProtocol& table,
                                         const QStringList& cells, QString* errorText = nullptr);

    // The cell texts of rows 1..Count (index row - 1): each row's key from the section its save
    // wrote it into, else from the base section, else the entry's Default as a decimal number.
    // The rows of the numbered sections thus come back as they were saved. When the file is
    // there but is not text, errorText names it and every row gets its Default.
    static QStringList load(const QString& fileName, const TProtocol& table,
                            QString* errorText = nullptr);

    // The message the window shows after a save: "Values saved", or why it failed.
    static QString saveMessage(ValueSetFile::SaveResult result, const QString& errorText);
    // The message the window shows after a load.
    static QString loadedMessage() { return QStringLiteral("Values loaded"); }
};

} // namespace quell::compact
