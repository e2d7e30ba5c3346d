#pragma once

#include <QString>

namespace quell {

// Section [Base] of the settings file: where the production database is, the names of its two
// tables, and who records results at which station.
struct BaseSettings {
    QString path;    // an SQLite file name, or a postgresql:// URI naming a server
    QString tabela;  // the product table
    QString testing; // the test table
    QString tester;  // the person who tests
    QString station; // the calibrator station
};

inline constexpr const char* kBaseSection = "Base";

// The defaults of a station whose settings file has no [Base] yet; workDir is the folder the
// database file lives in when Path is missing.
BaseSettings DefaultBaseSettings(const QString& workDir);

// Reads [Base] of the settings file, first writing every missing key with its default. A file
// that cannot be written still gives its values (and defaults); error then says why.
BaseSettings ReadBaseSettings(const QString& settingsFileName, const QString& workDir,
                              QString* error = nullptr);

// Writes a new Path into [Base]; false with error when the file cannot be written.
bool StoreBasePath(const QString& settingsFileName, const QString& path, QString* error = nullptr);

} // namespace quell
