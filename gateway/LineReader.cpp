#include "gateway/LineReader.h"

namespace quell::gw {

void LineReader::append(std::string_view bytes)
{
    buffer_ += bytes;
}

std::optional<LineReader::Item> LineReader::next()
{
    for (;;) {
        // Only CR LF ends a line: a frame may carry a lone LF (an EI-Bisynch block check can be
        // 0x0A), and that must not cut it.
        const std::size_t crlf = buffer_.find("\r\n");
        const std::size_t lf = crlf == std::string::npos ? crlf : crlf + 1;
        if (skipping_) {
            if (lf == std::string::npos) {
                // Keep a last CR: its LF may come with the next bytes.
                const bool cr = !buffer_.empty() && buffer_.back() == '\r';
                buffer_.assign(cr ? "\r" : "");
                return std::nullopt;
            }
            buffer_.erase(0, lf + 1);
            skipping_ = false;
            continue;
        }
        if (lf == std::string::npos) {
            // CR of a CR LF may still be waiting for its LF: allow one byte more.
            if (buffer_.size() <= maxLength_ + 1)
                return std::nullopt;
            const bool cr = buffer_.back() == '\r';
            buffer_.assign(cr ? "\r" : "");
            skipping_ = true;
            return Item{Event::TooLong, {}};
        }
        const std::size_t length = crlf;
        if (length > maxLength_) {
            buffer_.erase(0, lf + 1);
            return Item{Event::TooLong, {}};
        }
        Item item{Event::Line, buffer_.substr(0, length)};
        buffer_.erase(0, lf + 1);
        return item;
    }
}

} // namespace quell::gw
