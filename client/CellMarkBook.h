#pragma once

#include "client/AnswerOutcome.h"
#include "client/DeviceLink.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace quell {

// The marks of a grid's value cells, kept beside the cells by a scheduler: which cells hold a
// text the board has not been sent, and how many answers in a row each entry has missed. Both
// programs' schedulers keep it under their own lock; it is not thread-safe itself.
class CellMarkBook {
public:
    // Failed answers in a row after which an entry's value counts as unanswered.
    static constexpr int kUnansweredAfter = 3;

    explicit CellMarkBook(std::size_t rows) : unsent_(rows), missed_(rows) {}

    // A text was put into a row's cell (typed, loaded, or the board's own text put back): it
    // waits to be sent unless it is empty or the text the board is known to hold.
    void textPut(std::size_t row, std::string_view text, bool boardKnown,
                 std::string_view boardText)
    {
        unsent_[row] = !text.empty() && !(boardKnown && text == boardText);
    }
    // The row's text went to the board, or an answer replaced it; true when it had waited.
    bool sent(std::size_t row)
    {
        const bool waited = unsent_[row];
        unsent_[row] = false;
        return waited;
    }
    // Every cell was emptied.
    void cellsCleared() { unsent_.assign(unsent_.size(), false); }
    // A new connection: answers missed on the old one say nothing about it.
    void connected() { missed_.assign(missed_.size(), 0); }
    // Counts one answer for the row's entry; true when its unanswered mark changed.
    bool answered(std::size_t row, AnswerOutcome what);
    // The row's marks (none beyond the rows).
    CellMarks marks(std::size_t row) const;

private:
    std::vector<bool> unsent_;
    std::vector<std::uint8_t> missed_;
};

} // namespace quell
