#include "protocol/KestavinFrames.h"

#include "protocol/ConvertError.h"
#include "protocol/TextEncoding.h"

#include <utility>

namespace quell::kestavin {

namespace {

// A routed frame holds at least SOH, MC byte, marker, address, two checksum characters and its
// last character.
constexpr std::size_t kShortestRouted = 9;
// A value answer carries its four nibble characters at positions 7..10.
constexpr std::size_t kShortestValueAnswer = 10;
constexpr std::size_t kLongValueAnswer = 17;

struct StatusWord {
    const char* word;
    bool taken;
};

StatusWord statusOf(std::uint8_t code)
{
    switch (code) {
    case 0xB0:
        return {"no_error", true};
    case 0xB1:
        return {"bad_code", true};
    case 0xB2:
        return {"bad_value", true};
    case 0xB3:
        return {"bad_csm", false};
    case 0xB4:
        return {"bad_form", true};
    case 0xB5:
        return {"read_only", true};
    default:
        return {"unrecognized", true};
    }
}

std::uint8_t charAt(std::string_view frame, std::size_t position)
{
    return position >= 1 && position <= frame.size()
               ? static_cast<std::uint8_t>(frame[position - 1])
               : 0;
}

std::uint8_t addressByte(std::uint8_t deviceAddress, std::uint8_t mask)
{
    return static_cast<std::uint8_t>(mask | deviceAddress);
}

std::string finish(std::string frame, bool viaMC, std::uint8_t mcAddress, std::uint8_t mcMask)
{
    return viaMC ? route(frame, static_cast<std::uint8_t>(mcMask | mcAddress)) : std::move(frame);
}

void applyValueAnswer(TProtocol& protocol, std::uint16_t index, std::string_view answer)
{
    TCommands& c = protocol.Commands[index];
    if (c.TypeCode == kTypeString) {
        // The string's bytes stop short of the checksum and the closing characters.
        std::string bytes;
        for (std::size_t p = 7; p + 1 + 5 <= answer.size(); p += 2) {
            const int hi = static_cast<std::uint8_t>(answer[p - 1]) - 0x30;
            const int lo = static_cast<std::uint8_t>(answer[p]) - 0x30;
            bytes += static_cast<char>(static_cast<std::uint8_t>(hi * 16 + lo));
        }
        c.ValueText = toUtf8(bytes);
    } else {
        const std::size_t nibbles = answer.size() == kLongValueAnswer ? 8 : 4;
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < nibbles; ++k)
            value = (value << 4) | (charAt(answer, 7 + k) & 0x0Fu);
        c.Value = static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
        c.ValueText = protocol.ValueToText(index, c.Value, c.ValueText);
        if (c.TypeCode == kTypeLong)
            c.LongValue = c.Value;
    }
}

} // namespace

std::string readBody(std::uint8_t code, std::uint8_t code3)
{
    return encodeByte(code) + encodeByte(code3)
           + encodeByte(static_cast<std::uint8_t>(code ^ code3));
}

std::string writeFrame(std::uint8_t addressByte, std::uint8_t code, std::uint8_t code3,
                       std::uint16_t value)
{
    const auto high = static_cast<std::uint8_t>(value >> 8);
    const auto low = static_cast<std::uint8_t>(value & 0xFF);
    std::string frame;
    frame += kSoh;
    frame += static_cast<char>(addressByte);
    frame += encodeByte(code);
    frame += encodeByte(code3);
    frame += encodeByte(high);
    frame += encodeByte(low);
    frame += encodeByte(static_cast<std::uint8_t>(code ^ code3 ^ high ^ low));
    frame += kEot;
    return frame;
}

std::string buildReadRequest(const TCommands& entry, std::uint8_t deviceAddress, std::uint8_t mask,
                             bool viaMC, std::uint8_t mcAddress, std::uint8_t mcMask)
{
    std::string frame;
    frame += kSoh;
    frame += static_cast<char>(addressByte(deviceAddress, mask));
    frame += readBody(entry.Code1, entry.Code3);
    frame += kEot;
    return finish(frame, viaMC, mcAddress, mcMask);
}

std::string buildWriteRequest(const TCommands& entry, std::uint8_t deviceAddress, std::uint8_t mask,
                              bool viaMC, std::uint8_t mcAddress, std::uint8_t mcMask)
{
    return finish(writeFrame(addressByte(deviceAddress, mask), entry.Code2, entry.Code3,
                             static_cast<std::uint16_t>(entry.Value)),
                  viaMC, mcAddress, mcMask);
}

std::string route(std::string_view frame, std::uint8_t mcByte)
{
    if (frame.size() < 3)
        return std::string(frame);
    const auto address = static_cast<std::uint8_t>(frame[1]);
    std::string routed;
    routed += frame.front();
    routed += static_cast<char>(mcByte);
    routed += encodeByte(kRoutingMarker);
    routed += encodeByte(address);
    routed += frame.substr(2, frame.size() - 3);
    routed += encodeByte(static_cast<std::uint8_t>(address ^ 0xFF));
    routed += frame.back();
    return routed;
}

std::string unroute(std::string_view frame)
{
    if (frame.size() < kShortestRouted)
        return std::string(frame);
    std::string plain(frame);
    plain[1] = static_cast<char>(decodePair(frame, 5));
    plain.erase(plain.size() - 3, 2);
    plain.erase(2, 4);
    return plain;
}

TAnswerResult parseAnswer(TProtocol& protocol, std::string_view requestFrame,
                          std::string_view answerFrame, std::uint16_t entry)
{
    std::string request(requestFrame);
    std::string answer(answerFrame);
    if (decodePair(request, 3) == kRoutingMarker) {
        request = unroute(request);
        if (decodePair(answer, 3) == kRoutingMarker)
            answer = unroute(answer);
    }
    const std::uint8_t code = decodePair(request, 3);
    const std::uint8_t code3 = decodePair(request, 5);

    TAnswerResult result;
    result.Entry = entry;
    std::uint16_t found = entry;
    if (protocol.FindEntryForward(code, code3, found)) {
        result.Entry = found;
        TCommands& c = protocol.Commands[found];
        if (answer == "TimeOut") {
            result.Status = "TimeOut";
        } else if (answer == "format") {
            c.Valid = true;
            result.Status = "format";
        } else {
            const std::uint8_t d = decodePair(answer, 3);
            const bool holdsCode = answer.size() >= 4;
            if (holdsCode && d == code
                && (c.TypeCode == kTypeString || answer.size() >= kShortestValueAnswer)) {
                applyValueAnswer(protocol, found, answer);
                c.Valid = true;
                if (c.PollRate > 0)
                    c.PollCounter = 0;
                result.Taken = true;
                result.Status = c.ValueText;
            } else if (holdsCode && d != code && d >= 0xB0 && d <= 0xBF) {
                const StatusWord status = statusOf(d);
                result.Status = status.word;
                if (status.taken) {
                    c.Valid = true;
                    result.Taken = true;
                }
            } else {
                result.Status = "error";
            }
        }
    }

    // A write the device did not confirm must not leave its value in the entry: take the value
    // back from the text still shown. A text that no longer converts leaves Value alone rather
    // than turning a lost answer into an error.
    if (!result.Taken) {
        TCommands* c = protocol.entryAt(result.Entry);
        if (c && c->Valid) {
            try {
                c->Value = protocol.TextToValue(result.Entry, c->ValueText, c->Value);
            } catch (const EConvertError&) {
            }
        }
    }
    return result;
}

} // namespace quell::kestavin
