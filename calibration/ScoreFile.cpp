#include "calibration/ScoreFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <bit>

namespace quell {

namespace {

// Where the fields of a record lie; every other byte is reserved.
constexpr std::size_t kErrorBitsAt = 0;
constexpr std::size_t kMeasuredAt = 2;
constexpr std::size_t kExpectedAt = 4;
constexpr std::size_t kDeviationAt = 8;
constexpr std::size_t kDoneAt = 16;

std::int16_t int16At(const std::uint8_t* record, std::size_t at)
{
    return static_cast<std::int16_t>(record[at] | (record[at + 1] << 8));
}

void putInt16(std::uint8_t* record, std::size_t at, std::int16_t value)
{
    const auto bits = static_cast<std::uint16_t>(value);
    record[at] = static_cast<std::uint8_t>(bits & 0xFF);
    record[at + 1] = static_cast<std::uint8_t>(bits >> 8);
}

double doubleAt(const std::uint8_t* record, std::size_t at)
{
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < 8; ++i)
        bits |= static_cast<std::uint64_t>(record[at + i]) << (8 * i);
    return std::bit_cast<double>(bits);
}

void putDouble(std::uint8_t* record, std::size_t at, double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < 8; ++i)
        record[at + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

// The records in file order: [row][point - 1] is record row * 9 + point - 1.
std::size_t recordOffset(std::size_t row, std::size_t pointIndex)
{
    return (row * kTestPointsPerRow + pointIndex) * kScoreRecordBytes;
}

} // namespace

bool ParseScore(std::span<const std::uint8_t> bytes, TTestPoints& points, ScoreImage& image)
{
    if (bytes.size() < kScoreFileBytes)
        return false;
    std::copy_n(bytes.begin(), kScoreFileBytes, image.begin());
    for (std::size_t row = 0; row < points.size(); ++row) {
        for (std::size_t p = 0; p < points[row].size(); ++p) {
            const std::uint8_t* record = image.data() + recordOffset(row, p);
            TPointResult& point = points[row][p];
            point.Old = record[kErrorBitsAt];
            point.New = int16At(record, kMeasuredAt);
            point.Expected = int16At(record, kExpectedAt);
            point.Deviation = doubleAt(record, kDeviationAt);
            point.Done = record[kDoneAt];
        }
    }
    return true;
}

ScoreImage EncodeScore(const TTestPoints& points, const ScoreImage& image)
{
    ScoreImage bytes = image;
    for (std::size_t row = 0; row < points.size(); ++row) {
        for (std::size_t p = 0; p < points[row].size(); ++p) {
            std::uint8_t* record = bytes.data() + recordOffset(row, p);
            const TPointResult& point = points[row][p];
            record[kErrorBitsAt] = static_cast<std::uint8_t>(point.Old & 0xFF);
            putInt16(record, kMeasuredAt, point.New);
            putInt16(record, kExpectedAt, point.Expected);
            putDouble(record, kDeviationAt, point.Deviation);
            record[kDoneAt] = point.Done;
        }
    }
    return bytes;
}

bool ReadScore(const QString& fileName, TTestPoints& points, ScoreImage& image, QString& errorText)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        const QFileInfo info(fileName);
        errorText = info.exists()
                        ? QStringLiteral("Cannot read the test results \"%1\" (%2 bytes): %3")
                              .arg(fileName)
                              .arg(info.size())
                              .arg(file.errorString())
                        : QStringLiteral("Cannot read the test results \"%1\": %2")
                              .arg(fileName, file.errorString());
        return false;
    }
    // Only the records are read, so a huge file costs nothing; what follows them is ignored.
    const QByteArray bytes = file.read(static_cast<qint64>(kScoreFileBytes));
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    if (!ParseScore({data, static_cast<std::size_t>(bytes.size())}, points, image)) {
        QString why = QStringLiteral("it holds %1 bytes, a test result file holds %2")
                          .arg(file.size())
                          .arg(static_cast<qulonglong>(kScoreFileBytes));
        if (file.error() != QFileDevice::NoError)
            why += QStringLiteral(" (%1)").arg(file.errorString());
        errorText = QStringLiteral("Cannot read the test results \"%1\": %2").arg(fileName, why);
        return false;
    }
    errorText.clear();
    return true;
}

bool WriteScore(const QString& fileName, const TTestPoints& points, const ScoreImage& image,
                QString& errorText)
{
    const ScoreImage bytes = EncodeScore(points, image);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        errorText = QStringLiteral("Cannot write the test results \"%1\": %2")
                        .arg(fileName, file.errorString());
        return false;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.commit()) {
        errorText = QStringLiteral("Cannot write the test results \"%1\": %2")
                        .arg(fileName, file.errorString());
        file.cancelWriting();
        return false;
    }
    errorText.clear();
    return true;
}

QString TimeStampText(const QDateTime& time)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return QString::number(date.year()) + two(date.month()) + two(date.day()) + QLatin1Char('_')
           + two(clock.hour()) + two(clock.minute()) + two(clock.second());
}

QString ProposedScoreName(int boardNumber, const QDateTime& time)
{
    return QStringLiteral("VRQ-08_Test_") + QString::number(boardNumber) + QLatin1Char('_')
           + TimeStampText(time) + QStringLiteral(".rec");
}

} // namespace quell
