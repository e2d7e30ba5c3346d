#include "ViewLayout.h"

#include <array>
#include <cmath>

namespace quell::viewlayout {

namespace {

// Indicators are 100 by 40; the selector groups 70 by 390.
constexpr Rect led(int left, int top)
{
    return {left, top, 100, 40};
}

constexpr Rect slot(int left)
{
    return {left, 0, 70, 390};
}

constexpr std::array<Placement, 40> kPage = {{
    {"BConnect", {200, 0, 75, 24}},
    {"UBazu", {300, 0, 75, 24}},
    {"IzBaze", {380, 0, 75, 24}},
    {"EditOpis", {600, 0, 75, 24}},
    {"VRQPB", {680, 0, 70, 24}},
    {"UDPB", {750, 0, 60, 24}},
    {"LedTime", {809, 0, 100, 24}},
    {"LedTemp1", led(0, 0)},
    {"LedTemp2", led(100, 0)},
    {"LedEMC1", led(0, 50)},
    {"LedEMC2", led(100, 50)},
    {"LedTemp3", led(0, 150)},
    {"LedTemp4", led(100, 150)},
    {"LedDTemp1", led(0, 200)},
    {"LedDTemp2", led(0, 250)},
    {"LedDTemp3", led(0, 300)},
    {"LedDTemp4", led(0, 350)},
    {"LedMC1", led(210, 0)},
    {"LedMC2", led(210, 50)},
    {"LedMC3", led(210, 100)},
    {"LedMC4", led(210, 150)},
    {"LedMC5", led(210, 200)},
    {"LedMC6", led(210, 250)},
    {"LedMC7", led(210, 300)},
    {"LedMC8", led(210, 350)},
    {"SlotEMC1", slot(320)},
    {"SlotEMC2", slot(390)},
    {"SlotTemp1", slot(470)},
    {"SlotTemp2", slot(540)},
    {"SlotMC1", slot(620)},
    {"SlotMC2", slot(690)},
    {"SlotMC3", slot(770)},
    {"SlotMC4", slot(840)},
    {"GroupBoxLin", {0, 0, 912, 193}},
    {"GroupBoxWood", {0, 200, 624, 193}},
    {"Chart1", {624, 200, 288, 193}},
    {"GBKalib", {8, 0, 260, 220}},
    {"GBTools", {270, 0, 110, 280}},
    {"GBTest", {385, 0, 525, 280}},
    {"MemoLog", {0, 283, 912, 110}},
}};

} // namespace

int RoundHalfEven(double value)
{
    return static_cast<int>(std::nearbyint(value)); // the default rounding mode is to even
}

Rect ScaleControl(const Rect& design, int refWidth, int refHeight, int width, int height)
{
    const auto scale = [](int designValue, int reference, int current) {
        const double percent = designValue * 100.0 / reference;
        return RoundHalfEven(current * percent / 100.0);
    };
    return {scale(design.left, refWidth, width), scale(design.top, refHeight, height),
            scale(design.width, refWidth, width), scale(design.height, refHeight, height)};
}

int FontPointSize(int pageHeight)
{
    return RoundHalfEven(pageHeight * 2 / 100.0);
}

std::span<const Placement> PagePlacements()
{
    return kPage;
}

} // namespace quell::viewlayout
