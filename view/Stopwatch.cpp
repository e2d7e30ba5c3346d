#include "view/Stopwatch.h"

namespace quell {

namespace {

std::string twoDigits(std::uint32_t value)
{
    std::string digits = std::to_string(value);
    return value < 10 ? "0" + digits : digits;
}

} // namespace

bool Stopwatch::tick(bool windowVisible)
{
    // A hidden view is not being watched; the count stands still and resumes when shown.
    if (!windowVisible) {
        return false;
    }
    ++seconds_;
    return true;
}

std::string Stopwatch::text(std::uint32_t seconds)
{
    return twoDigits(seconds / 3600) + "." + twoDigits(seconds / 60 % 60) + "."
           + twoDigits(seconds % 60);
}

} // namespace quell
