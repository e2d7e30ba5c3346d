// A channel calibrated, tested and saved to the database, headless, against quellgw's simulated
// board: the steps go well, the test passes its limits, --record writes the 1512 bytes the test
// measured and the test table's row holds them too. Half a minute long, so it runs once in CI
// (CTest label "long").

#include "QuellcalProcess.h"

#include "tests/support/SimulatedGateway.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>

namespace quell {
namespace {

// The measured value (hundredths) of a test record in a result file: row-major, 24 bytes each,
// the value a little-endian int16 at offset 2.
int recordedMeasurement(const QByteArray& file, int row, int point)
{
    const qsizetype at = (row * 9 + point - 1) * 24 + 2;
    return static_cast<std::int16_t>(static_cast<std::uint8_t>(file[at])
                                     | static_cast<std::uint8_t>(file[at + 1]) << 8);
}

TEST(QuellcalTestStep, CalibratesThenTestsAChannelAndRecordsTheResults)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    testsupport::SimulatedGateway gateway;
    ASSERT_TRUE(gateway.start(QUELLGW_PATH, {"vrq-pb@1"})) << gateway.error().toStdString();
    const QString settings = writeSettings(dir.path(), gateway.port());
    const QString record = dir.filePath("emc1.rec");
    QProcess program;
    startQuellcal(program, dir.path(),
                  {"--run", "calibrate-emc1,test-emc1,save-test", "--board", "17", "--record",
                   record, settings});
    ASSERT_TRUE(program.waitForFinished(180000));
    const QByteArray error = program.readAllStandardError();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << error.toStdString();
    EXPECT_TRUE(error.contains("Testiranje - EMC 1")) << error.toStdString();

    const QJsonObject summary = summaryOf(program.readAllStandardOutput());
    EXPECT_TRUE(summary["ok"].toBool(false));
    const QJsonArray steps = summary["steps"].toArray();
    ASSERT_EQ(steps.size(), 3);
    EXPECT_EQ(steps[0].toObject()["step"].toString(), "calibrate-emc1");
    EXPECT_TRUE(steps[0].toObject()["ok"].toBool(false));
    const QJsonObject test = steps[1].toObject();
    EXPECT_EQ(test["step"].toString(), "test-emc1");
    EXPECT_TRUE(test["ok"].toBool(false));
    EXPECT_TRUE(test["pass"].toBool(false)) << QJsonDocument(test).toJson().toStdString();
    const QJsonArray channels = test["channels"].toArray();
    ASSERT_EQ(channels.size(), 1);
    const QJsonObject channel = channels[0].toObject();
    EXPECT_EQ(channel["name"].toString(), "EMC 1");
    EXPECT_EQ(channel["row"].toInt(-1), 0);
    EXPECT_TRUE(channel["ok"].toBool(false) && channel["pass"].toBool(false));
    const QJsonArray points = channel["points"].toArray();
    ASSERT_EQ(points.size(), 9);

    // The file holds what the test measured.
    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << record.toStdString();
    const QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size(), 1512);
    for (int k = 0; k < points.size(); ++k) {
        const QJsonObject point = points[k].toObject();
        EXPECT_EQ(point["point"].toInt(), k + 1);
        EXPECT_EQ(point["done"].toInt(), 1) << "point " << k + 1;
        EXPECT_TRUE(point["within"].toBool(false)) << "point " << k + 1;
        EXPECT_EQ(recordedMeasurement(bytes, 0, k + 1), point["measured"].toInt(-99999))
            << "point " << k + 1;
    }

    // The station's database: a new record for the board, read back by the sqlite3 program.
    const QJsonObject saved = steps[2].toObject();
    EXPECT_EQ(saved["step"].toString(), "save-test");
    EXPECT_TRUE(saved["ok"].toBool(false));
    EXPECT_TRUE(saved["appended"].toBool(false));
    EXPECT_EQ(saved["board"].toInt(), 17);
    EXPECT_EQ(saved["table"].toString(), "Table_VRQ_Test1");
    const QString database = saved["database"].toString();
    EXPECT_EQ(database, dir.filePath("BORAN.db"));
    QProcess sqlite;
    // EMC 1 is the third block of the row: columns 37 .. 54, measured then expected per point.
    QStringList columns{"Proizvodni_broj"};
    for (int p = 1; p <= 9; ++p)
        columns << QStringLiteral("EMC1_T%1_izmereno").arg(p)
                << QStringLiteral("EMC1_T%1_ocekivano").arg(p);
    sqlite.start("sqlite3", {database, "SELECT " + columns.join(',') + " FROM Table_VRQ_Test1"});
    ASSERT_TRUE(sqlite.waitForFinished(10000));
    const QStringList row = QString::fromUtf8(sqlite.readAllStandardOutput()).trimmed().split('|');
    ASSERT_EQ(row.size(), 19) << row.join('|').toStdString();
    EXPECT_EQ(row[0], "17");
    for (int k = 0; k < points.size(); ++k) {
        const QJsonObject point = points[k].toObject();
        EXPECT_EQ(row[1 + 2 * k].toInt(), point["measured"].toInt(-99999)) << "point " << k + 1;
        EXPECT_EQ(row[2 + 2 * k].toInt(), point["expected"].toInt(-99999)) << "point " << k + 1;
    }
}

} // namespace
} // namespace quell
