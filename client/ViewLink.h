#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace quell {

// What the main window needs of the measurement view, which lives in a higher layer: the link
// tells it about answers, the menu shows and hides it, value sets read and set its board number.
// The program wires the real view in; without one these calls do nothing.
class ViewLink {
public:
    virtual ~ViewLink() = default;

    // An answer line was applied: answered lists the entries it updated, in line order (GUI
    // thread). The view redraws what they change.
    virtual void answerApplied(const std::vector<std::uint16_t>& answered) = 0;
    // The table or the value cells changed other than by an answer (cleared, a value set or a
    // description loaded, a cell typed): the view reads everything again.
    virtual void tableReset() = 0;
    // The link started, stopped, connected, was lost, paused or resumed: the view's Connect
    // button follows, and the read-outs show whether values arrive.
    virtual void linkStateChanged() = 0;
    // Whether the view window is shown.
    virtual bool isViewVisible() const = 0;
    // Shows or hides the view window.
    virtual void setViewVisible(bool visible) = 0;
    // The board number (0..10000) a value set carries.
    virtual int boardNumber() const = 0;
    // Sets the board number from a value set.
    virtual void setBoardNumber(int number) = 0;
    // Closes the view window at shut-down.
    virtual void closeView() = 0;
    // The program is about to close. While a procedure runs, the view asks it to end as Stop
    // does, returns true and calls closeAgain once the procedure has cleared the references and
    // restored what it changed; the close waits until then. False when nothing runs, or when a
    // close is already being held (a second request closes at once).
    virtual bool holdClose(std::function<void()> closeAgain) = 0;
};

} // namespace quell
