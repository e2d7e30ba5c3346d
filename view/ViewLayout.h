#pragma once

#include <span>
#include <string>
#include <vector>

// The proportional layout of the measurement view: every control has a design rectangle in the
// units of its reference box and is scaled with the box's current size, so the view fills any
// window size the way it was drawn at 912 by 393. Plain numbers, no widgets.
namespace quell::viewlayout {

// A rectangle: left, top, width, height.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A control's design rectangle by object name.
struct Placement {
    const char* name;
    Rect design;
};

// Reference size of the page box (every page and the strip).
inline constexpr int kPageWidth = 912;
inline constexpr int kPageHeight = 393;

// Reference sizes of the groups "Lin" and "Wood".
inline constexpr int kLinWidth = 912;
inline constexpr int kWoodWidth = 624;
inline constexpr int kChannelGroupHeight = 193;

// One control laid out by name: its design rectangle in the units of its reference box, the
// box's reference size and the object name of the control whose current size the box has.
struct Step {
    std::string control;
    Rect design;
    std::string box;
    int refWidth = 0;
    int refHeight = 0;
    // A label that fits its text keeps its scaled place and height and takes its text's width.
    bool fitText = false;
    // The text of a fixed caption label the page makes from this table (empty for the controls
    // the page fills itself).
    std::string caption;
};

// Nearest integer, exact halves to the even neighbour.
int RoundHalfEven(double value);

// A design rectangle scaled from a reference box of refWidth by refHeight to one of width by
// height: each percentage is formed first, then applied and rounded.
Rect ScaleControl(const Rect& design, int refWidth, int refHeight, int width, int height);

// The window's font size in points for a page height: two percent of it.
int FontPointSize(int pageHeight);

// The height of the page control's tabs: four percent of the page control's height.
int TabHeight(int pageControlHeight);

// Room between the pane's top edge and the pages: the strip of the window stands on the tab row
// and is taller than the tabs, so the pages start below it.
int StripRoom(int pageControlHeight);

// Controls placed in the page box: the strip, the indicators and selector groups of "Merenje",
// the groups of "Detalji" and of "Kalibracija", in the order they are laid out.
std::span<const Placement> PagePlacements();

// Every control laid out by name, in layout order: the page placements, each followed by the
// contents of its box (the MC check groups, GBKalib, GBTools, GBTest and, after RGResult, Chart2).
// A box always comes before its contents, so they are scaled with its new size.
const std::vector<Step>& LayoutSequence();

// Every control of the view in layout order: LayoutSequence() with the contents of the groups
// "Lin" and "Wood" (their captions, labels, edits, check boxes and button) after each group.
// The window applies this one table.
const std::vector<Step>& FullLayoutSequence();

} // namespace quell::viewlayout
