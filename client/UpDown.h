#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace quell {

// A pair of arrow buttons that steps a position within a range and shows it in an associated
// edit, the way the settings tab pairs each number edit with its up-down. Typing in the edit does
// not move the position; the window decides what a typed text means.
class UpDown : public QWidget {
    Q_OBJECT
public:
    // An up-down for [minimum, maximum] showing its position in buddy (not owned).
    UpDown(int minimum, int maximum, QLineEdit* buddy, QWidget* parent = nullptr);

    // The current position.
    int position() const { return position_; }
    // Moves to value clamped into the range and shows it in the edit.
    void setPosition(int value);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }

signals:
    // An arrow was clicked and the position is about to step (emitted before it moves).
    void changing();
    // The mouse was released on one of the arrows (after it moved the position).
    void mouseReleased();

private:
    void step(int delta);

    int minimum_;
    int maximum_;
    int position_;
    QLineEdit* buddy_;
};

} // namespace quell
