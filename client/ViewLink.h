#pragma once

#include <QRect>

#include <cstdint>

namespace quell {

// What the main window needs of the measurement view, which lives in a higher layer: the link
// tells it about answers, the menu shows and hides it, value sets read and set its board number.
// The program wires the real view in; without one these calls do nothing.
class ViewLink {
public:
    virtual ~ViewLink() = default;

    // Redraws the view from the table after an answer line (GUI thread).
    virtual void RefreshView() = 0;
    // Mirrors a reference selector entry (4..11) whose answer was accepted.
    virtual void ShowSelection(std::uint16_t entry) = 0;
    // Whether the view window is shown.
    virtual bool isViewVisible() const = 0;
    // Shows or hides the view window.
    virtual void setViewVisible(bool visible) = 0;
    // The view window's frame geometry, written into the settings at close.
    virtual QRect viewGeometry() const = 0;
    // The board number (0..10000) a value set carries.
    virtual int boardNumber() const = 0;
    // Sets the board number from a value set.
    virtual void setBoardNumber(int number) = 0;
    // A value set was loaded: the database write is now possible.
    virtual void markDatabaseReady() = 0;
    // Closes the view window at shut-down.
    virtual void closeView() = 0;
};

} // namespace quell
