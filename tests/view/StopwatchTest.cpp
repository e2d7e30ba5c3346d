#include "view/Stopwatch.h"

#include <gtest/gtest.h>

namespace quell {
namespace {

TEST(Stopwatch, TextIsHoursMinutesSecondsWithUnboundedHours)
{
    const struct {
        std::uint32_t seconds;
        const char* text;
    } cases[] = {{0, "00.00.00"},      {7, "00.00.07"},     {59, "00.00.59"},
                 {60, "00.01.00"},     {3599, "00.59.59"},  {3600, "01.00.00"},
                 {3723, "01.02.03"},   {86400, "24.00.00"}, {360000, "100.00.00"},
                 {442800, "123.00.00"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Stopwatch::text(c.seconds), c.text) << c.seconds;
    }
}

} // namespace
} // namespace quell
