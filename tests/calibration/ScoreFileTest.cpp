#include "calibration/ScoreFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quell {
namespace {

// A result file worked out by hand: two records with known bytes, odd reserved bytes, and odd
// bytes all through row 5 (a NaN deviation and a measured flag of 2 among them).
QByteArray workedFile()
{
    QByteArray bytes(1512, '\0');
    const auto put = [&bytes](int row, int point, const char* hex) {
        const QByteArray record = QByteArray::fromHex(hex);
        bytes.replace((row * 9 + point - 1) * 24, record.size(), record);
    };
    // EMC 1, point 1: error bits 5, 41.50 of 42.00, 2.5 %, measured.
    put(0, 1,
        "05003610681000000000000000000440"
        "01");
    // Temp 1, point 2: -25.50 of -25.00, -2 %, measured, every reserved byte set.
    put(1, 2,
        "007f0af63cf6abcd00000000000000c0"
        "0111223344556677");
    for (int point = 1; point <= 9; ++point)
        put(kUntestedRow, point,
            "deadbeef0180fffeffffffffffffff7f"
            "0203040506070809");
    return bytes;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TTestPoints sentinel()
{
    TTestPoints points{};
    for (auto& row : points)
        row.fill({3, 333, 444, 5.5, 1});
    return points;
}

class ScoreFiles : public ::testing::Test {
protected:
    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
    TTestPoints points = sentinel();
    ScoreImage image{};
    QString error;
};

TEST_F(ScoreFiles, AWorkedFileReadsAsItsBytesSayAndIsWrittenBackByteForByte)
{
    // Longer than a result file: only the records count.
    write(file("worked.rec"), workedFile() + "trailing");
    ASSERT_TRUE(ReadScore(file("worked.rec"), points, image, error)) << error.toStdString();
    EXPECT_EQ(points[0][0], (TPointResult{5, 4150, 4200, 2.5, 1}));
    EXPECT_EQ(points[1][1], (TPointResult{0, -2550, -2500, -2.0, 1}));
    EXPECT_EQ(points[0][1], TPointResult{});
    EXPECT_EQ(points[kUntestedRow][4].Old, 0xDE) << "the error bits only";
    EXPECT_EQ(points[kUntestedRow][4].Done, 2);

    ASSERT_TRUE(WriteScore(file("copy.rec"), points, image, error)) << error.toStdString();
    EXPECT_EQ(contents(file("copy.rec")), workedFile());

    // A changed record is written from its fields, its reserved bytes as loaded.
    points[1][1] = {0x81, -1, 540, 0.5, 1};
    ASSERT_TRUE(WriteScore(file("worked.rec"), points, image, error));
    const QByteArray saved = contents(file("worked.rec"));
    EXPECT_EQ(saved.mid(240, 24), QByteArray::fromHex("817fffff1c02abcd000000000000e03f"
                                                      "0111223344556677"));
    EXPECT_EQ(saved.size(), 1512) << "the whole file is replaced";
}

TEST_F(ScoreFiles, AShortOrMissingFileIsRefusedAndLeavesTheRecordsAlone)
{
    const struct {
        const char* name;
        qsizetype size; // -1: no file
        const char* says;
    } cases[] = {{"short.rec", 1511, "1511 bytes"},
                 {"empty.rec", 0, "0 bytes"},
                 {"missing.rec", -1, "missing.rec"}};
    for (const auto& c : cases) {
        if (c.size >= 0)
            write(file(c.name), workedFile().left(c.size));
        image.fill(0x5A);
        EXPECT_FALSE(ReadScore(file(c.name), points, image, error)) << c.name;
        EXPECT_TRUE(error.contains(file(c.name))) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.says))) << error.toStdString();
        EXPECT_EQ(points, sentinel()) << c.name;
        EXPECT_EQ(image[100], 0x5A) << c.name;
    }
    EXPECT_FALSE(WriteScore(file("no/folder/x.rec"), points, image, error));
    EXPECT_TRUE(error.contains(file("no/folder/x.rec"))) << error.toStdString();
}

TEST(ScoreNames, TheProposedNameCarriesTheBoardAndTheMoment)
{
    const QDateTime moment(QDate(2024, 3, 15), QTime(9, 30, 5));
    EXPECT_EQ(ProposedScoreName(17, moment), QStringLiteral("VRQ-08_Test_17_20240315_093005.rec"));
    EXPECT_EQ(TimeStampText(QDateTime(QDate(2031, 12, 31), QTime(23, 59, 59))),
              QStringLiteral("20311231_235959"));
    EXPECT_EQ(TimeStampText(QDateTime(QDate(987, 1, 2), QTime(3, 4, 5))),
              QStringLiteral("9870102_030405"))
        << "the year unpadded";
}

} // namespace
} // namespace quell
