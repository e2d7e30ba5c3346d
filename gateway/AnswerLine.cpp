#include "gateway/AnswerLine.h"

namespace quell::gw {

void AnswerLine::addSettings(std::string_view echo)
{
    line_ += echo;
}

void AnswerLine::addAnswer(std::string_view frame, std::string_view answer)
{
    line_ += "BODY=";
    line_ += frame;
    line_ += "END ANSWER=";
    line_ += answer;
    line_ += "END ";
}

void AnswerLine::addError(std::string_view frame, std::string_view word)
{
    line_ += "BODY=";
    line_ += frame;
    line_ += "END ERROR=";
    line_ += word;
    line_ += ' ';
}

void AnswerLine::addRefusal(std::string_view word)
{
    line_ += "ERROR=";
    line_ += word;
    line_ += ' ';
}

std::string AnswerLine::text() const
{
    return line_.size() > kMaxLength ? std::string("ERROR=AnswerTooLong ") : line_;
}

bool AnswerLine::carriable(std::string_view answer)
{
    return answer.find("\r\n") == std::string_view::npos
           && answer.find("END") == std::string_view::npos;
}

} // namespace quell::gw
