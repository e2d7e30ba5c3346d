#pragma once

#include "calibration/TPointResult.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quell {

// A test result file (".rec") is the 63 test records, row 0..6 and point 1..9 within a row,
// 24 bytes each, little-endian, with no header:
//   0  error bits          1  reserved            2  measured value x 100 (int16)
//   4  expected x 100      6  reserved (2)        8  deviation in percent (IEEE double)
//  16  measured flag      17  reserved (7)
inline constexpr std::size_t kScoreRecordBytes = 24;
inline constexpr std::size_t kScoreFileBytes = kScoreRecordBytes * kRecipeRows * kTestPointsPerRow;
static_assert(kScoreFileBytes == 1512);

// The bytes of a result file. The station keeps those of the file it loaded last (zeros before),
// so that the reserved bytes, which the records do not hold, are saved exactly as they came.
using ScoreImage = std::array<std::uint8_t, kScoreFileBytes>;

// Takes a result file's first 1512 bytes: the records into points (the error bits into the low
// byte of Old, whose high byte becomes 0) and all bytes into image. Fewer bytes are refused with
// false, and neither points nor image change.
bool ParseScore(std::span<const std::uint8_t> bytes, TTestPoints& points, ScoreImage& image);

// The bytes of a result file for points: every record's fields from points, the reserved bytes
// from image. Parsing a file and encoding what it gave yields the file's bytes again.
ScoreImage EncodeScore(const TTestPoints& points, const ScoreImage& image);

// Reads a result file (its first 1512 bytes) into points and image. False, with errorText naming
// the file and saying why (too short for a result file: its size), when it cannot be read; points
// and image then stay as they were.
bool ReadScore(const QString& fileName, TTestPoints& points, ScoreImage& image, QString& errorText);

// Writes points as a result file, its reserved bytes from image. The file is replaced atomically:
// a failure or a crash leaves the old file or the new one, never a part. False, with errorText
// naming the file, when it cannot be written.
bool WriteScore(const QString& fileName, const TTestPoints& points, const ScoreImage& image,
                QString& errorText);

// A moment as a file name's stamp: year, month, day, "_", hour, minute, second, every part but
// the year in two digits ("20240315_093005").
QString TimeStampText(const QDateTime& time);

// The name a result file is first offered under: "VRQ-08_Test_<board>_<stamp>.rec".
QString ProposedScoreName(int boardNumber, const QDateTime& time);

} // namespace quell
