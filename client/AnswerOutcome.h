#pragma once

#include <string_view>

namespace quell {

// What one answer block says about the device, whatever the protocol's own words for it: the
// value came, the device did not answer in time, or it answered wrongly (refused, garbled, not
// understood). None: nothing to say (a confirmed write without a value, an unmatched block).
enum class AnswerOutcome { Value, TimeOut, Error, None };

// The outcome of one block from the server's word for it (the answer frame, or the word after
// "ERROR="), whether the engine took the answer for an entry, and the engine's status text.
AnswerOutcome classifyAnswer(std::string_view answer, bool taken, std::string_view status);

} // namespace quell
