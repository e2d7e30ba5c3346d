#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace quell {

class IniFile;

// A value set (".val"): the parameter window's value column saved under the description's section
// name, with the board number first, so that a configuration can be kept and given to another
// device of the same kind. Plain file logic; the window asks for the file and shows the messages.
class ValueSetFile {
public:
    // What save() did.
    enum class SaveResult {
        Saved,
        BackupNotDeleted, // an old backup was in the way and could not be deleted
        BackupNotCreated, // the existing file could not be linked or copied to the backup
        NotWritten,       // the new file could not be written or put in place (the old one stays)
    };

    // The points a save passes, in order; the hook lets a caller (a test) look at the folder
    // between them. BackupMade is left out when there was no old file.
    enum class SaveStep { NewWritten, BackupMade, Replaced };
    using StepHook = std::function<void(SaveStep)>;

    // What load() found; cells has one element per asked name, empty where the file has no key.
    struct Loaded {
        std::optional<int> boardNumber;
        std::vector<std::optional<QString>> cells;
        // Set, naming the file, when it exists but is not text; nothing is read from it then.
        QString errorText;
    };

    // The backup of a value file: beside it, with its extension replaced by ".BAK".
    static QString backupNameOf(const QString& fileName);

    // Writes section [section] with PB=boardNumber, then names[i]=values[i] in row order. The new
    // file is written completely under a temporary name first; an existing file then also gets
    // the backup's name (one generation) and is replaced by the new one in a single rename, so
    // the value set is never missing. On any failure the old file is unchanged and the temporary
    // one removed. errorText names the file on NotWritten.
    static SaveResult save(const QString& fileName, const QString& section, int boardNumber,
                           const QStringList& names, const QStringList& values,
                           QString* errorText = nullptr, const StepHook& onStep = {});

    // The save above with what fill writes into the new file instead of one section: the same
    // temporary file, backup and single rename. For value sets laid out otherwise (the compact
    // configurator's).
    static SaveResult saveWithBackup(const QString& fileName,
                                     const std::function<void(IniFile&)>& fill,
                                     QString* errorText = nullptr, const StepHook& onStep = {});

    // Reads the values of the given row names from [section]. Throws EConvertError when PB is
    // there but not a number (nothing else is read then).
    static Loaded load(const QString& fileName, const QString& section, const QStringList& names);
};

} // namespace quell
