#include "database/RecordLayout.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace quell::records {
namespace {

TEST(RecordLayout, DigitsOnlyKeepsDigitsAndMinusInOrder)
{
    const struct {
        const char* shown;
        const char* stored;
    } cases[] = {
        {"12.5", "125"}, {"-12.5", "-125"}, {"1,234 mV", "1234"}, {"Normal", ""},
        {"", ""},        {"5-3", "5-3"},    {" 0.07 ", "007"},    {"čšž 42", "42"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DigitsOnly(QString::fromUtf8(c.shown)), QString::fromUtf8(c.stored)) << c.shown;
}

TEST(RecordLayout, ProductColumnsFollowTheEntryMap)
{
    const struct {
        int entry;
        std::optional<int> column;
    } cases[] = {
        {1, 1},   {2, 2},   {3, {}},  {11, {}}, {12, 3},
        {75, 66}, {76, 69}, {78, 71}, {81, 74}, {82, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(productColumnOfEntry(c.entry), c.column) << c.entry;
    EXPECT_EQ(productEntries().size(), 2u + 64u + 6u);
}

TEST(RecordLayout, ProductSaveStoresDigitsYesNoAndTheMicrocontroller)
{
    const std::map<int, QString> shown = {
        {1, "501"}, {12, "-12.5"}, {13, "2480.0"}, {77, "Normal"}, {78, "yes"}, {79, "3.00"},
    };
    const auto cellText = [&](int entry) {
        const auto it = shown.find(entry);
        return it == shown.end() ? QString() : it->second;
    };
    // Only the pick-list entry 77 has a raw value apart from its digits.
    const auto rawOf = [](int entry, const QString& text) -> std::optional<long long> {
        if (entry == 77 && text == QLatin1String("Normal"))
            return 1;
        return std::nullopt;
    };
    const auto columns = productColumns(cellText, rawOf);
    EXPECT_EQ(columns.at(1).toString(), "501");
    EXPECT_EQ(columns.at(3).toString(), "-125");
    EXPECT_EQ(columns.at(4).toString(), "24800");
    EXPECT_EQ(columns.at(70).toString(), "1");
    EXPECT_EQ(columns.at(71).toString(), "1");
    EXPECT_EQ(columns.at(72).toString(), "300");
    EXPECT_EQ(columns.at(kMicrocontrollerColumn).toString(), "C8051F352");
    // A cell never read is stored as no value, not as a zero the board never had.
    EXPECT_TRUE(columns.at(5).isNull());
    for (const int never : {0, 67, 68})
        EXPECT_EQ(columns.count(never), 0u) << never;
    EXPECT_EQ(columns.size(), productEntries().size() + 1);

    for (const char* other : {"no", "Yes", "", "1", "yes "}) {
        const auto stored = productColumns(
            [&](int entry) {
                return entry == kYesNoEntry ? QString::fromLatin1(other) : QString();
            },
            rawOf);
        EXPECT_EQ(stored.at(71).toString(), "0") << other;
    }
}

TEST(RecordLayout, ProductLoadConvertsEachStoredRawValue)
{
    QVariantList record(kProductColumns);
    record[3] = -125;                  // entry 12
    record[4] = QStringLiteral("300"); // digits stored as text by another tool
    record[5] = QStringLiteral("n/a"); // not a number: left alone
    record[71] = 1;                    // entry 78
    record[1] = 777;                   // entry 1 is never loaded
    const auto cells = productCells(
        record, [](int entry, int raw) { return QStringLiteral("%1:%2").arg(entry).arg(raw); });
    const std::map<int, QString> expected = {{12, "12:-125"}, {13, "13:300"}, {78, "78:1"}};
    EXPECT_EQ(cells, expected);
}

TEST(RecordLayout, TablesWeCreateHaveNamedColumnsAtTheirPositions)
{
    const QRegularExpression plain("^[A-Za-z_][A-Za-z0-9_]*$");
    for (const TableKind kind : {TableKind::Product, TableKind::Test}) {
        const auto defs = columnDefs(kind);
        ASSERT_EQ(static_cast<int>(defs.size()), requiredColumns(kind));
        EXPECT_EQ(defs[0].name, "Proizvodni_broj");
        QSet<QString> names;
        for (const ColumnDef& def : defs) {
            EXPECT_TRUE(plain.match(def.name).hasMatch()) << def.name.toStdString();
            names.insert(def.name.toLower());
        }
        EXPECT_EQ(names.size(), static_cast<qsizetype>(defs.size()));
    }
    const auto product = columnDefs(TableKind::Product);
    EXPECT_EQ(product[3].name, "P12_Cal_EMC1_10K");
    EXPECT_EQ(product[33].name, "P42_Cal_DTemp1_100C");
    EXPECT_EQ(product[71].name, "P78_Alarms");
    EXPECT_EQ(product[75].name, "Mikrokontroler");
    const auto test = columnDefs(TableKind::Test);
    EXPECT_EQ(test[1].name, "Temp1_T1_izmereno");
    EXPECT_EQ(test[18].name, "Temp1_T9_ocekivano");
    EXPECT_EQ(test[37].name, "EMC1_T1_izmereno");
    EXPECT_EQ(test[108].name, "Drvo_sve_T9_ocekivano");
    EXPECT_EQ(test[110].type, ColumnType::Timestamp);
}

TTestPoints numberedPoints()
{
    TTestPoints points{};
    for (int row = 0; row < kRecipeRows; ++row)
        for (int p = 0; p < kTestPointsPerRow; ++p) {
            auto& point = points[static_cast<std::size_t>(row)][static_cast<std::size_t>(p)];
            point.New = static_cast<std::int16_t>(-1000 * row - p);
            point.Expected = static_cast<std::int16_t>(1000 * row + 10 * p + 1);
        }
    return points;
}

QVariantList asRecord(const std::map<int, QVariant>& columns)
{
    QVariantList record(kTestColumns);
    for (const auto& [column, value] : columns)
        record[column] = value;
    return record;
}

TEST(RecordLayout, TestRecordRoundTripsEveryTestedChannel)
{
    const TTestPoints saved = numberedPoints();
    const QDateTime when(QDate(2026, 12, 10), QTime(8, 30));
    const auto columns = testColumns(42, saved, {"PB: 42", when, "T.Orvel", "Kalibrator 1"});
    EXPECT_EQ(columns.at(0).toInt(), 42);
    // Temp 1 comes first in the table, EMC 1 third: row 1 point 1, row 0 point 1.
    EXPECT_EQ(columns.at(1).toInt(), saved[1][0].New);
    EXPECT_EQ(columns.at(2).toInt(), saved[1][0].Expected);
    EXPECT_EQ(columns.at(19).toInt(), saved[3][0].New);
    EXPECT_EQ(columns.at(37).toInt(), saved[0][0].New);
    EXPECT_EQ(columns.at(108).toInt(), saved[6][8].Expected);
    EXPECT_EQ(columns.at(kOpisColumn).toString(), "PB: 42");
    EXPECT_EQ(columns.at(kSavedAtColumn).toDateTime(), when);
    EXPECT_EQ(columns.at(kTesterColumn).toString(), "T.Orvel");
    EXPECT_EQ(columns.at(kStationColumn).toString(), "Kalibrator 1");

    TTestPoints loaded{};
    loaded[kUntestedRow][3].New = 77; // the untested row is nobody's business
    QString error;
    ASSERT_TRUE(testPointsFromRecord(asRecord(columns), loaded, error)) << error.toStdString();
    for (const int row : kTestBlockRows)
        for (int p = 0; p < kTestPointsPerRow; ++p) {
            EXPECT_EQ(loaded[row][p].New, saved[row][p].New) << row << "/" << p;
            EXPECT_EQ(loaded[row][p].Expected, saved[row][p].Expected) << row << "/" << p;
        }
    EXPECT_EQ(loaded[kUntestedRow][3].New, 77);
}

TEST(RecordLayout, BadTestRecordLeavesThePointsAlone)
{
    const TTestPoints before = numberedPoints();
    const struct {
        int column;
        QVariant value;
    } cases[] = {
        {5, QStringLiteral("abc")},
        {40, 40000},
        {108, -40000},
    };
    for (const auto& c : cases) {
        QVariantList record = asRecord(testColumns(1, TTestPoints{}, {}));
        record[c.column] = c.value;
        TTestPoints points = before;
        QString error;
        EXPECT_FALSE(testPointsFromRecord(record, points, error)) << c.column;
        EXPECT_TRUE(error.contains(QString::number(c.column))) << error.toStdString();
        EXPECT_EQ(points, before);
    }
    TTestPoints points = before;
    QString error;
    EXPECT_FALSE(testPointsFromRecord(QVariantList(50), points, error));
    EXPECT_EQ(points, before);
}

} // namespace
} // namespace quell::records
