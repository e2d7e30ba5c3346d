#include "database/RecordLayout.h"

#include <array>
#include <limits>

namespace quell::records {

namespace {

// The names of the stored parameters as the VRQ-PB board's entry map has them.
QString entryName(int entry)
{
    static const std::array<const char*, 8> ranges = {"10K",  "100K", "1M",  "10M",
                                                      "100M", "1G",   "10G", "100G"};
    static const std::array<const char*, 3> degrees = {"0C", "50C", "100C"};
    static const std::array<const char*, 10> tempChannels = {
        "Temp1", "Temp2", "Temp3", "Temp4", "DTemp1", "DTemp2", "DTemp3", "DTemp4"};
    static const std::array<const char*, 11> filters = {"EMC1",   "Temp1",  "EMC2",  "Temp2",
                                                        "Wood",   "Temp3",  "Temp4", "DTemp1",
                                                        "DTemp2", "DTemp3", "DTemp4"};
    static const std::array<const char*, 11> settings = {
        "Swap_period", "Sample_period", "Wood_samples",   "Temp_unit", "Baud_rate", "Bus_address",
        "EMC_range",   "Alarms",        "EMC1_alarm_low", "Wood_type", "Display"};
    const auto n = [](int v) { return static_cast<std::size_t>(v); };
    if (entry == 1)
        return QStringLiteral("Board_ID");
    if (entry == 2)
        return QStringLiteral("Firmware");
    if (entry >= 12 && entry <= 19)
        return QStringLiteral("Cal_EMC1_") + QLatin1String(ranges[n(entry - 12)]);
    if (entry >= 20 && entry <= 22)
        return QStringLiteral("Cal_Temp1_") + QLatin1String(degrees[n(entry - 20)]);
    if (entry >= 23 && entry <= 30)
        return QStringLiteral("Cal_EMC2_") + QLatin1String(ranges[n(entry - 23)]);
    if (entry >= 31 && entry <= 51) {
        const int i = entry - 31 + 3; // Temp2 starts the second group of three
        return QStringLiteral("Cal_") + QLatin1String(tempChannels[n(i / 3)]) + u'_'
               + QLatin1String(degrees[n(i % 3)]);
    }
    if (entry >= 52 && entry <= 59)
        return QStringLiteral("Cal_MC%1").arg(entry - 51);
    if (entry >= 60 && entry <= 70)
        return QStringLiteral("Filter_") + QLatin1String(filters[n(entry - 60)]);
    if (entry >= 71 && entry <= 81)
        return QLatin1String(settings[n(entry - 71)]);
    return QStringLiteral("Parametar");
}

std::vector<ColumnDef> productColumnDefs()
{
    std::vector<ColumnDef> defs(static_cast<std::size_t>(kProductColumns));
    defs[0] = {QString::fromLatin1(kBoardColumn), ColumnType::Integer};
    for (int column = 1; column < kProductColumns; ++column)
        defs[static_cast<std::size_t>(column)] = {QStringLiteral("Rezerva_%1").arg(column),
                                                  ColumnType::Integer};
    for (const int entry : productEntries()) {
        const int column = *productColumnOfEntry(entry);
        defs[static_cast<std::size_t>(column)].name =
            QStringLiteral("P%1_").arg(entry, 2, 10, QLatin1Char('0')) + entryName(entry);
    }
    defs[kMicrocontrollerColumn] = {QStringLiteral("Mikrokontroler"), ColumnType::Text};
    return defs;
}

std::vector<ColumnDef> testColumnDefs()
{
    static const std::array<const char*, 6> channels = {"Temp1", "Temp2", "EMC1",
                                                        "EMC2",  "Drvo",  "Drvo_sve"};
    std::vector<ColumnDef> defs;
    defs.reserve(kTestColumns);
    defs.push_back({QString::fromLatin1(kBoardColumn), ColumnType::Integer});
    for (const char* channel : channels)
        for (int point = 1; point <= kTestPointsPerRow; ++point) {
            const QString base = QLatin1String(channel) + QStringLiteral("_T%1_").arg(point);
            defs.push_back({base + QStringLiteral("izmereno"), ColumnType::Integer});
            defs.push_back({base + QStringLiteral("ocekivano"), ColumnType::Integer});
        }
    defs.push_back({QStringLiteral("Opis"), ColumnType::Text});
    defs.push_back({QStringLiteral("Vreme_upisa"), ColumnType::Timestamp});
    defs.push_back({QStringLiteral("Tester"), ColumnType::Text});
    defs.push_back({QStringLiteral("Stanica"), ColumnType::Text});
    return defs;
}

int testColumnOf(int block, int point, bool expected)
{
    return 1 + block * 2 * kTestPointsPerRow + (point - 1) * 2 + (expected ? 1 : 0);
}

} // namespace

int requiredColumns(TableKind kind)
{
    return kind == TableKind::Product ? kProductColumns : kTestColumns;
}

std::vector<ColumnDef> columnDefs(TableKind kind)
{
    return kind == TableKind::Product ? productColumnDefs() : testColumnDefs();
}

std::optional<int> productColumnOfEntry(int entry)
{
    if (entry == 1 || entry == 2)
        return entry;
    if (entry >= 12 && entry <= 75)
        return entry - 9;
    if (entry >= 76 && entry <= 81)
        return entry - 7;
    return std::nullopt;
}

const std::vector<int>& productEntries()
{
    static const std::vector<int> entries = [] {
        std::vector<int> all;
        for (int entry = 1; entry <= 82; ++entry)
            if (productColumnOfEntry(entry))
                all.push_back(entry);
        return all;
    }();
    return entries;
}

QString DigitsOnly(const QString& text)
{
    QString digits;
    for (const QChar c : text)
        if ((c >= u'0' && c <= u'9') || c == u'-')
            digits += c;
    return digits;
}

std::map<int, QVariant>
productColumns(const std::function<QString(int entry)>& cellText,
               const std::function<std::optional<long long>(int entry, const QString& text)>& rawOf)
{
    std::map<int, QVariant> columns;
    for (const int entry : productEntries()) {
        const QString shown = cellText(entry);
        QString stored;
        if (entry == kYesNoEntry)
            stored = shown == QLatin1String("yes") ? QStringLiteral("1") : QStringLiteral("0");
        else if (const auto raw = shown.isEmpty() ? std::nullopt : rawOf(entry, shown))
            stored = QString::number(*raw);
        else
            stored = DigitsOnly(shown);
        // An empty cell (never read) is stored as no value rather than as a made-up zero.
        columns[*productColumnOfEntry(entry)] = stored.isEmpty() ? QVariant() : QVariant(stored);
    }
    columns[kMicrocontrollerColumn] = QString::fromLatin1(kMicrocontroller);
    return columns;
}

std::map<int, QString> productCells(const QVariantList& record,
                                    const std::function<QString(int entry, int raw)>& valueToText)
{
    std::map<int, QString> cells;
    for (int entry = 12; entry <= 81; ++entry) {
        const int column = *productColumnOfEntry(entry);
        if (column >= record.size())
            continue;
        const auto raw = storedInteger(record[column]);
        if (!raw)
            continue;
        // Raw values are 16-bit words; what does not fit was not written by a board.
        if (*raw < std::numeric_limits<std::int32_t>::min()
            || *raw > std::numeric_limits<std::int32_t>::max())
            continue;
        cells[entry] = valueToText(entry, static_cast<int>(*raw));
    }
    return cells;
}

std::map<int, QVariant> testColumns(int board, const TTestPoints& points,
                                    const TestRecordNotes& notes)
{
    std::map<int, QVariant> columns;
    columns[0] = board;
    for (int block = 0; block < 6; ++block) {
        const auto& row = points[static_cast<std::size_t>(kTestBlockRows[block])];
        for (int point = 1; point <= kTestPointsPerRow; ++point) {
            const TPointResult& p = row[static_cast<std::size_t>(point - 1)];
            columns[testColumnOf(block, point, false)] = static_cast<int>(p.New);
            columns[testColumnOf(block, point, true)] = static_cast<int>(p.Expected);
        }
    }
    columns[kOpisColumn] = notes.opis;
    columns[kSavedAtColumn] = notes.savedAt;
    columns[kTesterColumn] = notes.tester;
    columns[kStationColumn] = notes.station;
    return columns;
}

bool testPointsFromRecord(const QVariantList& record, TTestPoints& points, QString& error)
{
    if (record.size() < kOpisColumn) {
        error = QStringLiteral("zapis ima %1 kolona, potrebno je %2")
                    .arg(record.size())
                    .arg(kTestColumns);
        return false;
    }
    TTestPoints loaded = points;
    for (int block = 0; block < 6; ++block) {
        auto& row = loaded[static_cast<std::size_t>(kTestBlockRows[block])];
        for (int point = 1; point <= kTestPointsPerRow; ++point)
            for (const bool expected : {false, true}) {
                const int column = testColumnOf(block, point, expected);
                const auto value = storedInteger(record[column]);
                if (record[column].isNull()) {
                    // Nothing stored: the point reads as not measured.
                } else if (!value || *value < std::numeric_limits<std::int16_t>::min()
                           || *value > std::numeric_limits<std::int16_t>::max()) {
                    error = QStringLiteral("kolona %1 ne sadrži ceo broj u opsegu -32768..32767: "
                                           "\"%2\"")
                                .arg(column)
                                .arg(record[column].toString());
                    return false;
                }
                auto& target = row[static_cast<std::size_t>(point - 1)];
                const auto v = static_cast<std::int16_t>(value.value_or(0));
                (expected ? target.Expected : target.New) = v;
            }
    }
    points = loaded;
    return true;
}

std::optional<long long> storedInteger(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    bool ok = false;
    const long long v = value.toString().trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

} // namespace quell::records
