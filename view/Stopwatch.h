#pragma once

#include <cstdint>
#include <string>

namespace quell {

// The stopwatch of the view's top strip: whole seconds counted by a one-second tick while the
// window is shown, read as hours, minutes and seconds. Plain code; the window owns the timer.
class Stopwatch {
public:
    // One tick: counts a second when the window is visible; a hidden window's tick does nothing.
    // True when it counted.
    bool tick(bool windowVisible);
    // Back to zero; the indicator shows it at the next tick.
    void reset() { seconds_ = 0; }
    // The seconds counted so far (StopwatchSeconds).
    std::uint32_t seconds() const { return seconds_; }
    // The indicator text of the count so far.
    std::string text() const { return text(seconds_); }

    // h.mm.ss with at least two digits per part; the hours are not wrapped at a day
    // (3600 gives "01.00.00", 360000 gives "100.00.00").
    static std::string text(std::uint32_t seconds);

private:
    std::uint32_t seconds_ = 0;
};

} // namespace quell
