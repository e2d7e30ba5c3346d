#include "calibration/RunLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quell {
namespace {

const QDateTime kStart(QDate(2024, 1, 31), QTime(8, 45, 2));

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class RunLogTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder = dir.filePath("Log"); // not there yet
};

TEST(RunLogName, BoardNumberAndTimeStamp)
{
    EXPECT_EQ(RunLog::fileName(17, kStart), "VRQCalib_17_20240131_084502.log");
    EXPECT_EQ(RunLog::fileName(0, kStart), "VRQCalib_0_20240131_084502.log");
}

TEST_F(RunLogTest, LogActiveGatesOnlyTheProceduresLines)
{
    RunLog log(folder);
    log.start(kStart);
    EXPECT_TRUE(log.AddLogLine("- EMC1 10K ok"));
    log.setActive(false, kStart.addSecs(60));
    EXPECT_FALSE(log.AddLogLine("- dropped"));
    log.setActive(true, kStart.addSecs(120));
    EXPECT_TRUE(log.AddLogLine("- EMC1 100K ok"));
    ASSERT_TRUE(log.finish(17, kStart.addSecs(180))) << log.errorText().toStdString();

    const QByteArray expected = "31.01.2024 08:45:02 - start VRQ kalibrator\r\n"
                                "- EMC1 10K ok\r\n"
                                "08:46:02: Log OFF\r\n"
                                "08:47:02: Log ON\r\n"
                                "- EMC1 100K ok\r\n"
                                "31.01.2024 08:48:02 - end VRQ kalibrator\r\n";
    EXPECT_EQ(readAll(QDir(folder).filePath("VRQCalib_17_20240131_084802.log")), expected)
        << "the missing Log folder is created";
    EXPECT_FALSE(QFile::exists(log.journalPath())) << "a normal end removes the journal";
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 1);
}

TEST_F(RunLogTest, MemoTextIsSavedAndASameSecondRunReplacesTheFile)
{
    for (const char* typed : {"first run", "second run"}) {
        RunLog log(folder);
        log.start(kStart);
        ASSERT_TRUE(log.finish(3, kStart, {"start", typed}));
    }
    EXPECT_EQ(readAll(QDir(folder).filePath("VRQCalib_3_20240131_084502.log")),
              "start\r\nsecond run\r\n31.01.2024 08:45:02 - end VRQ kalibrator\r\n");
}

TEST_F(RunLogTest, ACrashedRunKeepsItsLinesForTheNextStart)
{
    QString journal;
    {
        RunLog crashed(folder);
        crashed.start(kStart);
        crashed.AddLogLine("- Temp1 0C ok");
        journal = crashed.journalPath();
        ASSERT_FALSE(journal.isEmpty());
        // Every line is on disk as soon as it is added.
        EXPECT_TRUE(readAll(journal).endsWith("- Temp1 0C ok\r\n"));
    } // no finish: the program died

    RunLog next(folder);
    next.start(kStart.addSecs(3600));
    const QString recovered = QDir(folder).filePath("VRQCalib_unfinished_20240131_084502.log");
    EXPECT_EQ(readAll(recovered),
              "31.01.2024 08:45:02 - start VRQ kalibrator\r\n- Temp1 0C ok\r\n");
    EXPECT_FALSE(QFile::exists(journal));
    EXPECT_NE(next.journalPath(), journal);
}

TEST_F(RunLogTest, TheNextRunSaysWhereACrashedRunsLinesAre)
{
    {
        RunLog crashed(folder);
        crashed.start(kStart);
        crashed.AddLogLine("- Temp1 0C ok");
    } // no finish
    // A journal of an older crash that no start has recovered yet (the program was not run since).
    QFile older(QDir(folder).filePath("VRQCalib_journal_20240130_170000.part"));
    ASSERT_TRUE(older.open(QIODevice::WriteOnly));
    older.close();

    RunLog next(folder);
    next.start(kStart.addSecs(3600));
    const QDir dir(folder);
    const QString notice = "09:45:02: an earlier run ended without closing; its lines are in ";
    const QStringList expected = {
        "31.01.2024 09:45:02 - start VRQ kalibrator",
        notice
            + QDir::toNativeSeparators(
                dir.absoluteFilePath("VRQCalib_unfinished_20240130_170000.log")),
        notice
            + QDir::toNativeSeparators(
                dir.absoluteFilePath("VRQCalib_unfinished_20240131_084502.log")),
    };
    EXPECT_EQ(next.lines().join('\n').toStdString(), expected.join('\n').toStdString());
    EXPECT_TRUE(readAll(next.journalPath()).contains(notice.toUtf8()))
        << "the notice is in the journal like any other line";

    // A clean end leaves nothing for the start after it to report.
    ASSERT_TRUE(next.finish(5, kStart.addSecs(3660)));
    RunLog clean(folder);
    clean.start(kStart.addSecs(7200));
    EXPECT_EQ(clean.lines().size(), 1);
}

} // namespace
} // namespace quell
