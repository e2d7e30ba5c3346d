#include "client/AnswerLineReader.h"

namespace quell {

namespace {

constexpr std::string_view kTerminator = "\r\n";

} // namespace

AnswerLineReader::AnswerLineReader(std::size_t maxLineLength) : maxLineLength_(maxLineLength)
{
}

void AnswerLineReader::append(std::string_view bytes)
{
    buffer_.append(bytes);
}

AnswerLineReader::Result AnswerLineReader::next(std::string& line)
{
    const std::size_t end = buffer_.find(kTerminator, searchFrom_);
    if (end == std::string::npos) {
        // A CR at the very end may be the first half of the terminator; everything before it
        // certainly belongs to the line.
        const bool crPending = !buffer_.empty() && buffer_.back() == '\r';
        const std::size_t lineBytes = buffer_.size() - (crPending ? 1 : 0);
        if (dropping_ || lineBytes > maxLineLength_) {
            dropping_ = true;
            buffer_.assign(crPending ? "\r" : "");
        }
        searchFrom_ = crPending ? buffer_.size() - 1 : buffer_.size();
        return Result::NeedMore;
    }
    const bool tooLong = dropping_ || end > maxLineLength_;
    if (!tooLong)
        line.assign(buffer_, 0, end);
    buffer_.erase(0, end + kTerminator.size());
    searchFrom_ = 0;
    dropping_ = false;
    return tooLong ? Result::TooLong : Result::Line;
}

void AnswerLineReader::clear()
{
    buffer_.clear();
    searchFrom_ = 0;
    dropping_ = false;
}

} // namespace quell
