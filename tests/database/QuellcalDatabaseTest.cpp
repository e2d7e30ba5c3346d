// quellcal's database steps as programs: two stations of a line, each with its own settings,
// saving test records into one PostgreSQL server at the same moment, against the simulated
// board behind quellgw.

#include "tests/client/QuellcalProcess.h"
#include "tests/database/PostgresServer.h"
#include "tests/support/SimulatedGateway.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace quell {
namespace {

using testsupport::PostgresServer;

class TwoStations : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.ready()) << server.error().toStdString();
        ASSERT_TRUE(gateway.start(QUELLGW_PATH, {"vrq-pb@1"})) << gateway.error().toStdString();
        static int counter = 0;
        table = QStringLiteral("Linija_%1_%2").arg(::getpid()).arg(++counter);
        // Each station records its own tester and station name, and expects its own first EMC
        // value, so that a record shows whose save it is.
        const struct {
            const char* tester;
            const char* station;
            int emc;
        } stations[] = {{"T.Orvel", "Kalibrator 1", 4200}, {"M.Peric", "Kalibrator 2", 4321}};
        for (const auto& s : stations) {
            auto dir = std::make_unique<QTemporaryDir>();
            ASSERT_TRUE(dir->isValid());
            const QString settings = writeSettings(dir->path(), gateway.port());
            QFile file(settings);
            ASSERT_TRUE(file.open(QIODevice::Append));
            file.write(QStringLiteral("[Base]\nPath=%1\nTabela=Proizvodi_%2\nTesting=%2\n"
                                      "Tester=%3\nStation=%4\n[Calibrate]\nEMC_Val1=%5\n")
                           .arg(server.uri(), table, s.tester, s.station)
                           .arg(s.emc)
                           .toUtf8());
            settingsFiles << settings;
            folders.push_back(std::move(dir));
        }
    }

    // Both stations save the test record of their board at once; their summaries.
    std::vector<QJsonObject> saveAtOnce(int boardA, int boardB)
    {
        QProcess a;
        QProcess b;
        startQuellcal(a, folders[0]->path(),
                      {"--run", "save-test", "--board", QString::number(boardA), settingsFiles[0]});
        startQuellcal(b, folders[1]->path(),
                      {"--run", "save-test", "--board", QString::number(boardB), settingsFiles[1]});
        std::vector<QJsonObject> summaries;
        for (QProcess* p : {&a, &b}) {
            EXPECT_TRUE(p->waitForFinished(60000));
            EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
            summaries.push_back(summaryOf(p->readAllStandardOutput()));
        }
        return summaries;
    }

    QString rows(const QString& where)
    {
        QString out;
        EXPECT_TRUE(server.psql(QStringLiteral("SELECT proizvodni_broj, tester, stanica, "
                                               "emc1_t1_ocekivano FROM %1 WHERE %2 ORDER BY 1")
                                    .arg(table, where),
                                &out))
            << server.error().toStdString();
        return out;
    }

    PostgresServer& server = PostgresServer::shared();
    testsupport::SimulatedGateway gateway;
    QString table;
    std::vector<std::unique_ptr<QTemporaryDir>> folders;
    QStringList settingsFiles;
};

TEST_F(TwoStations, DifferentBoardsBothSucceed)
{
    const auto summaries = saveAtOnce(31, 32);
    for (std::size_t i = 0; i < summaries.size(); ++i) {
        const QJsonArray steps = summaries[i]["steps"].toArray();
        ASSERT_EQ(steps.size(), 1);
        const QJsonObject step = steps[0].toObject();
        EXPECT_TRUE(step["ok"].toBool(false));
        EXPECT_TRUE(step["appended"].toBool(false));
        EXPECT_EQ(step["board"].toInt(), 31 + static_cast<int>(i));
        EXPECT_EQ(step["table"].toString(), table);
        // The server's address without the password.
        EXPECT_EQ(step["database"].toString(),
                  QStringLiteral("postgresql://postgres@127.0.0.1:%1/postgres").arg(server.port()));
    }
    EXPECT_EQ(rows("true"), "31|T.Orvel|Kalibrator 1|4200\n32|M.Peric|Kalibrator 2|4321");
}

TEST_F(TwoStations, OneBoardEndsWithOneWholeRecord)
{
    const auto summaries = saveAtOnce(33, 33);
    int appended = 0;
    for (const QJsonObject& summary : summaries) {
        const QJsonObject step = summary["steps"].toArray()[0].toObject();
        EXPECT_TRUE(step["ok"].toBool(false));
        appended += step["appended"].toBool(false) ? 1 : 0;
    }
    EXPECT_EQ(appended, 1);
    const QString row = rows("proizvodni_broj = 33");
    EXPECT_TRUE(row == "33|T.Orvel|Kalibrator 1|4200" || row == "33|M.Peric|Kalibrator 2|4321")
        << row.toStdString();
}

} // namespace
} // namespace quell
