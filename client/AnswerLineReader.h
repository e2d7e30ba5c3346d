#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quell {

// Cuts the byte stream from the communication server into answer lines. Bytes go in as they
// arrive (in chunks of any size); complete lines come out without their CR LF. A line longer than
// the limit is dropped as it arrives, up to and including its CR LF, and reported once, so the
// reader holds at most about the limit in memory and the next answer is never mistaken for the
// rest of an over-long one. Not thread-safe: one reader per connection, used by its worker.
class AnswerLineReader {
public:
    // What next() found.
    enum class Result {
        NeedMore, // no complete line buffered yet: append more bytes
        Line,     // a line, now in the out parameter
        TooLong,  // a line over the limit ended; its bytes are gone
    };

    // A reader for lines of at most maxLineLength bytes (terminator not counted).
    explicit AnswerLineReader(std::size_t maxLineLength);

    // Adds bytes read from the connection.
    void append(std::string_view bytes);

    // Takes the next result in stream order; line is set only for Result::Line.
    Result next(std::string& line);

    // Forgets everything buffered, for a new connection.
    void clear();

private:
    std::size_t maxLineLength_;
    std::string buffer_;
    std::size_t searchFrom_ = 0; // where the search for CR LF resumes in buffer_
    bool dropping_ = false;      // the line being received is over the limit
};

} // namespace quell
