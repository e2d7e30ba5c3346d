#pragma once

#include "calibration/TPointResult.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

// Where a board's record sits in the two tables of the production database. Both tables are
// addressed by column position, so tables made by other tools (or by hand) with at least these
// columns work as they are; only the board number's column is addressed by name.
namespace quell::records {

enum class TableKind { Product, Test };

inline constexpr int kProductColumns = 76;
inline constexpr int kTestColumns = 113;
inline constexpr const char* kBoardColumn = "Proizvodni_broj";
// The key our own tables carry after the positioned columns, so that a record is found again
// whatever its board number; tables without it are keyed by the engine's own row identity.
inline constexpr const char* kKeyColumn = "Zapis";
// What column 75 of the product table records: the board's microcontroller.
inline constexpr const char* kMicrocontroller = "C8051F352";
inline constexpr int kMicrocontrollerColumn = 75;
// Test table: the description, time of the save, tester and station after the 108 values.
inline constexpr int kOpisColumn = 109;
inline constexpr int kSavedAtColumn = 110;
inline constexpr int kTesterColumn = 111;
inline constexpr int kStationColumn = 112;

// The columns a table must have at least.
int requiredColumns(TableKind kind);

// SQL type of a column in a table we create.
enum class ColumnType { Integer, Text, Timestamp };
struct ColumnDef {
    QString name;
    ColumnType type = ColumnType::Integer;
};
// The positioned columns of a table we create, in order; names tell a reader what each holds.
std::vector<ColumnDef> columnDefs(TableKind kind);

// The product table's column for a parameter entry; none for entries that are not stored.
std::optional<int> productColumnOfEntry(int entry);
// The entries stored in the product table, in column order.
const std::vector<int>& productEntries();
// The entry whose value is stored as "1" for "yes" and "0" otherwise.
inline constexpr int kYesNoEntry = 78;

// The characters 0-9 and "-" of a shown value, in their order: a value shown with decimals or a
// unit is stored as its raw integer.
QString DigitsOnly(const QString& text);

// The product columns a save writes, from the parameter window's value text of each entry: the
// digits and signs of a number's text, which is its raw value. For an entry whose text is not its
// digits (a pick-list item, a hexadecimal word) rawOf gives the raw value the text stands for,
// which a load turns back into the same text.
std::map<int, QVariant> productColumns(
    const std::function<QString(int entry)>& cellText,
    const std::function<std::optional<long long>(int entry, const QString& text)>& rawOf);

// The parameter window's texts a load puts into the cells: entry → display text, from the record's
// columns through the entry's own conversion. Empty (NULL) columns leave their entry out.
std::map<int, QString> productCells(const QVariantList& record,
                                    const std::function<QString(int entry, int raw)>& valueToText);

// What else a test record holds beside the values.
struct TestRecordNotes {
    QString opis;
    QDateTime savedAt;
    QString tester;
    QString station;
};
// The test columns a save writes: board number, the six channels' measured and expected values,
// the notes.
std::map<int, QVariant> testColumns(int board, const TTestPoints& points,
                                    const TestRecordNotes& notes);
// The measured and expected values of a test record put into points (the rest stays); false with
// error naming the column when a value is not a whole number that fits.
bool testPointsFromRecord(const QVariantList& record, TTestPoints& points, QString& error);

// The TestPoints row of each channel block of the test table, in column order (Temp 1, Temp 2,
// EMC 1, EMC 2, Drvo, Drvo sve).
inline constexpr int kTestBlockRows[] = {1, 3, 0, 2, 4, 6};

// A whole number read from a stored value (integer, or digits stored as text); none when empty
// or not a whole number.
std::optional<long long> storedInteger(const QVariant& value);

} // namespace quell::records
