// The bytes as a test result file (".rec"), as another station, a copy or a crash may have left
// it. A shorter input than a result file must be refused and leave the records and the kept
// bytes exactly as they were; a longer one is taken for its first 1512 bytes. What was taken must
// encode back to exactly those bytes, and its fields alone (over zero reserved bytes) must parse
// back to the same records.
#include "calibration/ScoreFile.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void fail(const char* what)
{
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::abort();
}

// Field by field, the deviation by its bits: a file may hold any NaN there.
bool sameRecords(const quell::TTestPoints& a, const quell::TTestPoints& b)
{
    for (std::size_t row = 0; row < a.size(); ++row) {
        for (std::size_t p = 0; p < a[row].size(); ++p) {
            const quell::TPointResult& x = a[row][p];
            const quell::TPointResult& y = b[row][p];
            if (x.Old != y.Old || x.New != y.New || x.Expected != y.Expected || x.Done != y.Done
                || std::bit_cast<std::uint64_t>(x.Deviation)
                       != std::bit_cast<std::uint64_t>(y.Deviation))
                return false;
        }
    }
    return true;
}

// Records no file gives: every field set, so a partial parse would show.
quell::TTestPoints sentinel()
{
    quell::TTestPoints points{};
    for (auto& row : points)
        for (quell::TPointResult& p : row)
            p = {0x1234, -7, 99, 0.25, 3};
    return points;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const quell::TTestPoints before = sentinel();
    quell::TTestPoints points = before;
    quell::ScoreImage image;
    image.fill(0xA5);
    const quell::ScoreImage imageBefore = image;

    if (!quell::ParseScore({data, size}, points, image)) {
        if (size >= quell::kScoreFileBytes)
            fail("a file long enough was refused");
        if (!sameRecords(points, before) || image != imageBefore)
            fail("a refused file changed the records or the kept bytes");
        return 0;
    }
    if (size < quell::kScoreFileBytes)
        fail("a short file was taken");
    for (const auto& row : points)
        for (const quell::TPointResult& p : row)
            if (p.Old < 0 || p.Old > 0xFF)
                fail("error bits reach beyond the low byte");

    const quell::ScoreImage again = quell::EncodeScore(points, image);
    if (std::memcmp(again.data(), data, again.size()) != 0)
        fail("the records do not encode back to the bytes they came from");

    quell::ScoreImage blank{};
    const quell::ScoreImage fieldsOnly = quell::EncodeScore(points, blank);
    quell::TTestPoints reparsed{};
    if (!quell::ParseScore(fieldsOnly, reparsed, blank))
        fail("an encoded file was refused");
    if (!sameRecords(reparsed, points))
        fail("the fields do not survive without the reserved bytes");
    return 0;
}
