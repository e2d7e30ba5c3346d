#include "view/ViewLayout.h"

#include "view/ViewChannels.h"

#include <array>
#include <cmath>
#include <utility>

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

// Captions are given room for DejaVu Sans, the face the view gets where its narrow one is
// missing, so they read whole in either. The strip stands on the tab row: Connect starts right
// of the tabs so it does not cover the last one.
constexpr std::array<Placement, 42> kPage = {{
    {"BConnect", {215, 0, 75, 24}},
    {"UBazu", {300, 0, 75, 24}},
    {"IzBaze", {380, 0, 90, 24}},
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
    {"LabelRunProgress", {8, 226, 260, 20}},
    {"ProgressRun", {8, 252, 260, 22}},
    {"GBTools", {270, 0, 110, 280}},
    {"GBTest", {385, 0, 525, 280}},
    {"MemoLog", {0, 283, 912, 110}},
}};

// The page whose size is the page box's (all pages have one size).
constexpr const char* kPageBox = "Kalibracija";

struct Box {
    const char* name;
    int refWidth;
    int refHeight;
    std::vector<std::pair<std::string, Rect>> contents;
};

std::string numbered(const char* prefix, int number)
{
    return prefix + std::to_string(number);
}

// The nine check boxes of SlotMC1 or SlotMC2 sit at fixed percentages of their group: left
// 80/7 %, width 570/7 %, height 4.25 %. On a 700 by 400 grid those are whole units and the
// percentages formed from them are the same numbers.
Box mcChecks(const char* group, const char* prefix)
{
    Box box{group, 700, 400, {}};
    constexpr std::array<int, 9> kTops = {28, 70, 112, 154, 196, 238, 280, 322, 365};
    for (int k = 0; k < 9; ++k) {
        box.contents.push_back(
            {numbered(prefix, k), {80, kTops[static_cast<std::size_t>(k)], 570, 17}});
    }
    return box;
}

// Calibration: a button per channel row with its row box beside it and, for rows 1..5, the
// eight point boxes under the column label.
Box kalibracija()
{
    Box box{"GBKalib", 260, 220, {}};
    constexpr std::array<const char*, 6> kButtons = {"ButtonAll",  "ButtonTemp1", "ButtonTemp2",
                                                     "ButtonEMC1", "ButtonEMC2",  "ButtonDrvo"};
    for (int row = 0; row < 6; ++row) {
        const int top = 20 + 30 * row;
        box.contents.push_back({kButtons[static_cast<std::size_t>(row)], {8, top, 75, 25}});
        box.contents.push_back({numbered("CheckBox", 10 * row), {90, top + 5, 17, 17}});
        for (int point = 1; row > 0 && point <= 8; ++point) {
            box.contents.push_back({numbered("CheckBox", 10 * row + point),
                                    {120 + 16 * (point - 1), top + 5, 17, 17}});
        }
    }
    box.contents.push_back({"LabelPoints", {120, 30, 140, 13}});
    return box;
}

Box tools()
{
    return {"GBTools",
            110,
            270,
            {{"RGTipKalib", {5, 10, 100, 80}},
             {"ButtonBreak", {5, 95, 100, 25}},
             {"ButtonLoad", {5, 125, 40, 25}},
             {"ButtonIni", {45, 125, 20, 25}},
             {"ButtonSave", {65, 125, 40, 25}},
             // The report goes beside the files it is made from, under "Save".
             {"ButtonReport", {5, 155, 100, 25}},
             {"FileListRec", {5, 185, 100, 80}}}};
}

// Tests: the two option boxes, a button per test with its box beside it, and the result group.
Box testiranje()
{
    Box box{"GBTest",
            520,
            270,
            {{"CBTestFilter", {10, 12, 105, 17}}, {"CBTestSwap", {10, 28, 105, 17}}}};
    constexpr std::array<const char*, 7> kButtons = {
        "ButtonTestAll",  "ButtonTestTemp1", "ButtonTestTemp2",  "ButtonTestEMC1",
        "ButtonTestEMC2", "ButtonTestDrvo",  "ButtonTestDrvoAll"};
    for (int row = 0; row < 7; ++row) {
        const int top = 50 + 30 * row;
        box.contents.push_back({kButtons[static_cast<std::size_t>(row)], {8, top, 75, 25}});
        box.contents.push_back({numbered("CheckBox", 100 + 10 * row), {96, top + 5, 17, 17}});
    }
    box.contents.push_back({"RGResult", {120, 0, 400, 270}});
    return box;
}

// The result chart is a sibling of RGResult in GBTest, scaled with RGResult's size.
Box result()
{
    return {"RGResult", 390, 257, {{"Chart2", {190, 10, 315, 245}}}};
}

const std::vector<Box>& boxes()
{
    static const std::vector<Box> all = {mcChecks("SlotMC1", "MC1_"),
                                         mcChecks("SlotMC2", "MC2_"),
                                         kalibracija(),
                                         tools(),
                                         testiranje(),
                                         result()};
    return all;
}

void appendWithContents(std::vector<Step>& sequence, Step step)
{
    const std::string name = step.control;
    sequence.push_back(std::move(step));
    for (const auto& box : boxes()) {
        if (name == box.name) {
            for (const auto& [control, design] : box.contents) {
                appendWithContents(sequence, {control, design, box.name, box.refWidth,
                                              box.refHeight, false, std::string()});
            }
        }
    }
}

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

int TabHeight(int pageControlHeight)
{
    return RoundHalfEven(pageControlHeight * 4 / 100.0);
}

int StripRoom(int pageControlHeight)
{
    return RoundHalfEven(pageControlHeight * 1.5 / 100.0);
}

std::span<const Placement> PagePlacements()
{
    return kPage;
}

const std::vector<Step>& LayoutSequence()
{
    static const std::vector<Step> sequence = [] {
        std::vector<Step> out;
        for (const auto& p : kPage) {
            appendWithContents(
                out, {p.name, p.design, kPageBox, kPageWidth, kPageHeight, false, std::string()});
        }
        return out;
    }();
    return sequence;
}

namespace {

// The group "Lin": column headers, then per channel its caption, flag and text labels, filter
// edit and Cal edits.
void appendLin(std::vector<Step>& out)
{
    int captions = 0;
    const auto add = [&out](std::string name, Rect design, std::string caption = {}) {
        out.push_back({std::move(name), design, "GroupBoxLin", kLinWidth, kChannelGroupHeight, true,
                       std::move(caption)});
    };
    const auto caption = [&](const std::string& text, Rect design) {
        add(numbered("LinCaption", captions++), design, text);
    };
    const std::pair<const char*, Rect> headers[] = {
        {"Error", {88, 8, 30, 13}},  {"Napon(mV)", {120, 8, 70, 13}}, {"Done", {310, 8, 40, 13}},
        {"Error", {346, 8, 32, 13}}, {"Value", {376, 8, 30, 13}},     {"Done", {416, 8, 40, 13}},
        {"Error", {448, 8, 30, 13}}, {"Filter", {488, 8, 30, 13}}};
    for (const auto& [text, design] : headers) {
        caption(text, design);
    }
    for (int k = 0; k < 8; ++k) {
        caption(numbered("Cal ", k + 1), {536 + 48 * k, 8, 30, 13});
    }
    for (std::size_t r = 0; r < vrqpb::kLinChannels.size(); ++r) {
        const auto& ch = vrqpb::kLinChannels[r];
        const int c = ch.channel;
        const int top = 24 + 16 * static_cast<int>(r);
        caption(ch.caption, {10, top, 50, 13});
        add(numbered("ADC_E", c), {88, top, 20, 13});
        add(numbered("U_", c), {120, top, 20, 13});
        add(numbered("U_D", c), {320, top, 20, 13});
        add(numbered("U_E", c), {352, top, 20, 13});
        add(numbered("Val_", c), {376, top, 35, 13});
        add(numbered("V_D", c), {416, top, 20, 13});
        add(numbered("V_E", c), {448, top, 20, 13});
        add(numbered("Filt", c), {480, top, 41, 16});
        for (int p = 1; p <= ch.calCount; ++p) {
            add(vrqpb::CalEditName(static_cast<int>(r) + 1, p), {528 + 48 * (p - 1), top, 41, 16});
        }
    }
}

// The group "Wood": the header line with its check boxes, edits and button, the column headers,
// then per wood channel its caption, labels and Calib edit.
void appendWood(std::vector<Step>& out)
{
    int captions = 0;
    const auto add = [&out](std::string name, Rect design, std::string caption = {}) {
        out.push_back({std::move(name), design, "GroupBoxWood", kWoodWidth, kChannelGroupHeight,
                       true, std::move(caption)});
    };
    const auto caption = [&](const std::string& text, Rect design) {
        add(numbered("WoodCaption", captions++), design, text);
    };
    caption("Error", {88, 8, 30, 13});
    caption("Input", {120, 8, 35, 13});
    caption("Swap", {152, 8, 35, 13});
    caption("CountSample", {184, 8, 70, 13});
    caption("CompTemp", {264, 8, 70, 13});
    caption("Filter", {488, 8, 30, 13});
    add("Beep", {336, 8, 100, 17});
    add("ADC_E4", {88, 24, 20, 13});
    add("ADC_4Select", {120, 24, 20, 13});
    add("ADC_4Swap", {152, 24, 20, 13});
    add("ADC_4Count", {184, 24, 20, 13});
    add("CompTemp", {264, 24, 42, 16});
    add("CompTempCheckBox", {310, 24, 168, 17});
    add("EditFiltMC", {480, 24, 50, 16});
    add("ButtonCalW", {528, 18, 58, 20});
    const std::pair<const char*, Rect> headers[] = {
        {"Napon(mV)", {120, 40, 70, 13}}, {"Done", {312, 40, 35, 13}},
        {"Error", {344, 40, 30, 13}},     {"Value", {376, 40, 35, 13}},
        {"Done", {408, 40, 35, 13}},      {"Error", {440, 40, 30, 13}},
        {"Config", {480, 40, 40, 13}},    {"Calib", {528, 40, 35, 13}},
        {"Deviat", {576, 40, 40, 13}}};
    for (const auto& [text, design] : headers) {
        caption(text, design);
    }
    for (int i = 0; i < vrqpb::kWoodChannels; ++i) {
        const int top = 56 + 16 * i;
        caption(numbered("MC", i + 1), {10, top, 40, 13});
        add(numbered("U_W", i), {120, top, 20, 13});
        add(numbered("U_DW", i), {320, top, 20, 13});
        add(numbered("U_EW", i), {352, top, 20, 13});
        add(numbered("Val_W", i), {376, top, 20, 13});
        add(numbered("V_WD", i), {416, top, 20, 13});
        add(numbered("V_WE", i), {448, top, 20, 13});
        add(numbered("LST", i), {480, top, 20, 13});
        add(numbered("CalW", i), {528, top, 41, 16});
        add(numbered("BiasW", i), {576, top, 20, 13});
    }
}

} // namespace

const std::vector<Step>& FullLayoutSequence()
{
    static const std::vector<Step> sequence = [] {
        std::vector<Step> out;
        for (const auto& step : LayoutSequence()) {
            out.push_back(step);
            if (step.control == "GroupBoxLin") {
                appendLin(out);
            } else if (step.control == "GroupBoxWood") {
                appendWood(out);
            }
        }
        return out;
    }();
    return sequence;
}

} // namespace quell::viewlayout
