#include "client/AnswerOutcome.h"

#include <algorithm>
#include <cctype>

namespace quell {

namespace {

// Both protocols' engines and the server spell it their own way ("TimeOut", "timeout").
bool isTimeOutWord(std::string_view word)
{
    constexpr std::string_view kWord = "timeout";
    return word.size() == kWord.size()
           && std::equal(word.begin(), word.end(), kWord.begin(), [](char a, char b) {
                  return std::tolower(static_cast<unsigned char>(a)) == b;
              });
}

} // namespace

AnswerOutcome classifyAnswer(std::string_view answer, bool taken, std::string_view status)
{
    if (isTimeOutWord(answer) || isTimeOutWord(status))
        return AnswerOutcome::TimeOut;
    if (status == "error" || status == "NAK" || status == "format")
        return AnswerOutcome::Error;
    if (taken)
        return AnswerOutcome::Value;
    // A status word the device sent instead of the value, or a server's failure word.
    return status.empty() ? AnswerOutcome::None : AnswerOutcome::Error;
}

} // namespace quell
