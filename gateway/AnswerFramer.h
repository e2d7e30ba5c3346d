#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quell::gw {

// Knows, from the request, where its answer ends and whether bytes can be its answer at all:
// a request starting with SOH is the maker's protocol, one starting with EOT is EI-Bisynch, and
// for anything else only a pause on the line ends the answer.
class AnswerFramer {
public:
    enum class Protocol { Maker, EIBisynch, Unknown };

    explicit AnswerFramer(std::string_view request);

    Protocol protocol() const { return protocol_; }
    // Drops bytes in front of the first one that can start an answer; true when any were dropped.
    bool skipNoise(std::string& received) const;
    // Length of the complete answer at the start of received, or 0 while it is incomplete (always
    // 0 for an unknown protocol).
    std::size_t complete(std::string_view received) const;
    // False for a complete answer that cannot belong to this request (a late answer to an earlier
    // one, or another device's): it is skipped and the wait goes on.
    bool belongs(std::string_view answer) const;
    // False when the answer's own block check is wrong (EI-Bisynch data answers; the maker's
    // answers are passed on as they are, their checksum is the client's business).
    bool checks(std::string_view answer) const;

private:
    std::string request_;
    Protocol protocol_;
};

} // namespace quell::gw
