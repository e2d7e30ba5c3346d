#include "client/CellMarkBook.h"

namespace quell {

bool CellMarkBook::answered(std::size_t row, AnswerOutcome what)
{
    if (row >= missed_.size() || what == AnswerOutcome::None)
        return false;
    std::uint8_t& missed = missed_[row];
    const bool wasUnanswered = missed >= kUnansweredAfter;
    if (what == AnswerOutcome::Value)
        missed = 0;
    else if (missed < kUnansweredAfter)
        ++missed;
    return wasUnanswered != (missed >= kUnansweredAfter);
}

CellMarks CellMarkBook::marks(std::size_t row) const
{
    if (row >= unsent_.size())
        return {};
    return {unsent_[row], missed_[row] >= kUnansweredAfter};
}

} // namespace quell
