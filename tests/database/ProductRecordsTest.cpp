#include "database/ProductRecords.h"

#include "client/IniFile.h"
#include "tests/database/ParameterCells.h"
#include "tests/database/PostgresServer.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quell {
namespace {

using records::TableKind;
using testsupport::ParameterCells;
using testsupport::PostgresServer;

// A station folder with a settings file; the database is an SQLite file there or the private
// server.
class RecordsTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        cells_ = std::make_unique<ParameterCells>(folder_.path());
        QString path = folder_.filePath("BORAN.db");
        if (GetParam()) {
            PostgresServer& server = PostgresServer::shared();
            ASSERT_TRUE(server.ready()) << server.error().toStdString();
            path = server.uri();
        }
        static int counter = 0;
        const QString suffix = QStringLiteral("_%1_%2").arg(::getpid()).arg(++counter);
        IniFile ini(cells_->SettingsFileName());
        ini.writeString("Base", "Path", path);
        ini.writeString("Base", "Tabela", "Proizvodi" + suffix);
        ini.writeString("Base", "Testing", "Testovi" + suffix);
        ASSERT_TRUE(ini.save());
        records_ = std::make_unique<ProductRecords>(*cells_, cells_->link, points_);
        records_->setClock([] { return QDateTime(QDate(2026, 12, 10), QTime(10, 15, 30)); });
    }

    QTemporaryDir folder_;
    std::unique_ptr<ParameterCells> cells_;
    TTestPoints points_{};
    std::unique_ptr<ProductRecords> records_;
};

TEST_P(RecordsTest, ProductRecordBringsBackWhatTheWindowShowed)
{
    // Texts as the parameter window shows them for the example board's entries.
    const std::map<std::uint16_t, QString> shown = {
        {12, "-12.5"}, {13, "2480.0"}, {52, "1200.0"}, {60, "8"},    {71, "10"},
        {74, "F"},     {75, "9600"},   {76, "3"},      {77, "High"}, {78, "no"},
        {79, "3.00"},  {80, "Spruce"}, {81, "Values"},
    };
    for (const auto& [entry, text] : shown)
        cells_->setCellText(entry, text);
    cells_->setCellText(5, "0x0F"); // a reference selector: never stored

    const RecordStepOutcome saved = RunRecordStep(*records_, RecordStep::SaveProduct, 21, {});
    ASSERT_TRUE(saved.ok) << saved.error.toStdString();
    EXPECT_TRUE(saved.appended);
    EXPECT_EQ(saved.board, 21);
    EXPECT_EQ(saved.table, records_->settings().tabela);
    EXPECT_FALSE(saved.database.contains("not-asked")) << saved.database.toStdString();

    cells_->cells.clear();
    const RecordStepOutcome loaded = RunRecordStep(*records_, RecordStep::LoadProduct, 21, {});
    ASSERT_TRUE(loaded.ok) << loaded.error.toStdString();
    for (const auto& [entry, text] : shown)
        EXPECT_EQ(cells_->cellText(entry), text) << entry;
    EXPECT_EQ(cells_->cellText(5), "");
    // Entries 1 and 2 are stored for the record's reader but never loaded into a board's cells.
    EXPECT_EQ(cells_->cellText(1), "");

    const RecordStepOutcome again = RunRecordStep(*records_, RecordStep::SaveProduct, 21, {});
    ASSERT_TRUE(again.ok) << again.error.toStdString();
    EXPECT_FALSE(again.appended);
}

TEST_P(RecordsTest, TestRecordRestoresEveryMeasuredAndExpectedValue)
{
    for (int row = 0; row < kRecipeRows; ++row)
        for (int p = 0; p < kTestPointsPerRow; ++p) {
            points_[row][p].New = static_cast<std::int16_t>(row * 1000 + p * 37 - 200);
            points_[row][p].Expected = static_cast<std::int16_t>(row * 900 + p);
        }
    const TTestPoints saved = points_;
    const RecordStepOutcome outcome =
        RunRecordStep(*records_, RecordStep::SaveTest, 8, QStringLiteral("PB: čšž 8"));
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    EXPECT_TRUE(outcome.appended);

    points_ = TTestPoints{};
    ASSERT_TRUE(RunRecordStep(*records_, RecordStep::LoadTest, 8, {}).ok);
    for (const int row : records::kTestBlockRows)
        for (int p = 0; p < kTestPointsPerRow; ++p) {
            EXPECT_EQ(points_[row][p].New, saved[row][p].New) << row << "/" << p;
            EXPECT_EQ(points_[row][p].Expected, saved[row][p].Expected) << row << "/" << p;
        }

    // The notes of the record: description, time, tester and station of [Base].
    QString error;
    ASSERT_TRUE(records_->readSettings(error));
    ASSERT_TRUE(records_->connect(error)) << error.toStdString();
    ASSERT_TRUE(records_->openTable(TableKind::Test, 8, error)) << error.toStdString();
    const QVariantList record = records_->table(TableKind::Test)->currentRecord();
    EXPECT_EQ(record[0].toInt(), 8);
    EXPECT_EQ(record[records::kOpisColumn].toString(), "PB: čšž 8");
    EXPECT_EQ(record[records::kSavedAtColumn].toDateTime(),
              QDateTime(QDate(2026, 12, 10), QTime(10, 15, 30)));
    EXPECT_EQ(record[records::kTesterColumn].toString(), "T.Orvel");
    EXPECT_EQ(record[records::kStationColumn].toString(), "Kalibrator 1");
}

TEST_P(RecordsTest, LoadingABoardWithoutRecordChangesNothing)
{
    cells_->setCellText(12, "1.0");
    points_[0][0].New = 5;
    for (const RecordStep step : {RecordStep::LoadProduct, RecordStep::LoadTest}) {
        const RecordStepOutcome outcome = RunRecordStep(*records_, step, 99, {});
        EXPECT_FALSE(outcome.ok);
        EXPECT_TRUE(outcome.error.contains("99")) << outcome.error.toStdString();
    }
    EXPECT_EQ(cells_->cellText(12), "1.0");
    EXPECT_EQ(points_[0][0].New, 5);
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordsTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "PostgreSQL" : "SQLite"; });

TEST(BaseSettings, MissingKeysAreWrittenWithTheirDefaultsAndOthersKept)
{
    QTemporaryDir folder;
    const QString file = folder.filePath("station.cli");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Socket]\nHost=10.0.0.5\n[Base]\nTester=M.Perić\n");
    }
    const BaseSettings s = ReadBaseSettings(file, folder.path());
    EXPECT_EQ(s.path, folder.filePath("BORAN.db"));
    EXPECT_EQ(s.tabela, "Table_VRQ08_4");
    EXPECT_EQ(s.testing, "Table_VRQ_Test1");
    EXPECT_EQ(s.tester, "M.Perić");
    EXPECT_EQ(s.station, "Kalibrator 1");
    const IniFile written(file);
    for (const char* key : {"Path", "Tabela", "Testing", "Tester", "Station"})
        EXPECT_TRUE(written.valueExists("Base", key)) << key;
    EXPECT_EQ(written.readString("Socket", "Host", {}), "10.0.0.5");
    EXPECT_EQ(written.readString("Base", "Tester", {}), "M.Perić");

    ASSERT_TRUE(StoreBasePath(file, "postgresql://line@db/boards"));
    EXPECT_EQ(ReadBaseSettings(file, folder.path()).path, "postgresql://line@db/boards");
}

TEST(ProductRecords, NoSettingsFileMeansNothingIsReadOrOpened)
{
    QTemporaryDir folder;
    ParameterCells cells(folder.path());
    TTestPoints points{};
    ProductRecords records(cells, cells.link, points);
    const RecordStepOutcome outcome = RunRecordStep(records, RecordStep::SaveTest, 1, {});
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.error.contains("station.cli")) << outcome.error.toStdString();
    EXPECT_FALSE(QFile::exists(folder.filePath("station.cli")));
    EXPECT_FALSE(QFile::exists(folder.filePath("BORAN.db")));
}

} // namespace
} // namespace quell
