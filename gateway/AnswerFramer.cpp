#include "gateway/AnswerFramer.h"

#include "protocol/ControlChars.h"
#include "protocol/KestavinFrames.h"

namespace quell::gw {

namespace {

// What an EI-Bisynch answer can begin with: data, accepted, refused, or the device's EOT.
constexpr char kEIBisynchAnswerStarts[] = {kStx, kAck, kNak, kEot};

bool control(char c)
{
    return static_cast<unsigned char>(c) < 0x20;
}

bool eiStart(char c)
{
    return c == kStx || c == kAck || c == kNak || c == kEot;
}

// Channel and mnemonic asked for by an EI-Bisynch request ("" when it is no poll or selection).
std::string eiKey(std::string_view frame, bool& selection)
{
    selection = frame.size() > 5 && frame[5] == kStx;
    std::string_view rest = frame.substr(std::min<std::size_t>(frame.size(), selection ? 6 : 5));
    if (rest.size() < 3)
        return {};
    if (rest[0] >= '1' && rest[0] <= '9')
        return std::string(rest.substr(0, 3));
    return std::string(rest.substr(0, 2));
}
} // namespace

AnswerFramer::AnswerFramer(std::string_view request)
    : request_(request), protocol_(request.empty()           ? Protocol::Unknown
                                   : request.front() == kSoh ? Protocol::Maker
                                   : request.front() == kEot ? Protocol::EIBisynch
                                                             : Protocol::Unknown)
{
}

bool AnswerFramer::skipNoise(std::string& received) const
{
    std::size_t start = 0;
    if (protocol_ == Protocol::Maker)
        start = received.find(kSoh);
    else if (protocol_ == Protocol::EIBisynch)
        start = received.find_first_of(std::string_view(kEIBisynchAnswerStarts, 4));
    if (start == std::string::npos)
        start = received.size();
    received.erase(0, start);
    return start > 0;
}

std::size_t AnswerFramer::complete(std::string_view r) const
{
    if (r.empty())
        return 0;
    if (protocol_ == Protocol::Maker) {
        // SOH, the address byte, then printable characters up to the terminating control one.
        for (std::size_t i = 2; i < r.size(); ++i)
            if (control(r[i]))
                return i + 1;
        return 0;
    }
    if (protocol_ == Protocol::EIBisynch) {
        if (r[0] != kStx)
            return eiStart(r[0]) ? 1 : 0;
        const std::size_t etx = r.find(kEtx, 1);
        return etx != std::string_view::npos && etx + 1 < r.size() ? etx + 2 : 0;
    }
    return 0;
}

bool AnswerFramer::belongs(std::string_view a) const
{
    if (protocol_ == Protocol::Maker) {
        const std::uint8_t code = kestavin::decodePair(a, 3);
        if (code >= 0xB0 && code <= 0xBF)
            return true; // a status answer echoes no code
        if (kestavin::decodePair(request_, 3) == kestavin::kRoutingMarker)
            return code == kestavin::kRoutingMarker
                   && kestavin::decodePair(a, 5) == kestavin::decodePair(request_, 5)
                   && kestavin::decodePair(a, 7) == kestavin::decodePair(request_, 7);
        return code == kestavin::decodePair(request_, 3)
               && kestavin::decodePair(a, 5) == kestavin::decodePair(request_, 5);
    }
    if (protocol_ == Protocol::EIBisynch) {
        bool selection = false;
        const std::string key = eiKey(request_, selection);
        if (a[0] == kAck || a[0] == kNak)
            return selection;
        if (a[0] == kEot)
            return !selection;
        const std::string_view body = a.substr(1);
        return !selection && !key.empty() && body.substr(0, key.size()) == key;
    }
    return true;
}

bool AnswerFramer::checks(std::string_view a) const
{
    if (protocol_ != Protocol::EIBisynch || a.empty() || a[0] != kStx)
        return true;
    char bcc = 0;
    for (std::size_t i = 1; i + 1 < a.size(); ++i)
        bcc = static_cast<char>(bcc ^ a[i]);
    return bcc == a.back();
}

} // namespace quell::gw
