#include "protocol/EIBisynchFrames.h"

#include "protocol/TextEncoding.h"

#include <algorithm>

namespace quell::eibisynch {

namespace {

char charAt(std::string_view frame, std::size_t position)
{
    return position >= 1 && position <= frame.size() ? frame[position - 1] : '\0';
}

bool isChannel(char c)
{
    return c >= '1' && c <= '9';
}

std::string addressDigits(std::uint8_t deviceAddress)
{
    const char group = static_cast<char>('0' + deviceAddress / 10);
    const char unit = static_cast<char>('0' + deviceAddress % 10);
    return {kEot, group, group, unit, unit};
}

// Mnemonic and channel a frame or answer names; zero bytes when it names none.
struct Selector {
    char first = '\0';
    char second = '\0';
    char channel = '\0';
};

Selector requestSelector(std::string_view request)
{
    Selector s;
    if (charAt(request, 6) == kStx) {
        const bool channel = isChannel(charAt(request, 7));
        s.channel = channel ? charAt(request, 7) : kNoChannel;
        s.first = charAt(request, channel ? 8 : 7);
        s.second = charAt(request, channel ? 9 : 8);
    } else if (!request.empty() && request.back() == kEnq) {
        if (request.size() == 8) {
            s = {charAt(request, 6), charAt(request, 7), kNoChannel};
        } else if (request.size() == 9) {
            s = {charAt(request, 7), charAt(request, 8), charAt(request, 6)};
        }
    }
    return s;
}

} // namespace

std::string buildReadRequest(const TCommands& entry, std::uint8_t deviceAddress)
{
    std::string frame = addressDigits(deviceAddress);
    if (static_cast<char>(entry.Code3) != kNoChannel)
        frame += static_cast<char>(entry.Code3);
    frame += static_cast<char>(entry.Code1);
    frame += static_cast<char>(entry.Code2);
    frame += kEnq;
    return frame;
}

std::string buildWriteRequest(const TCommands& entry, std::string_view valueText,
                              std::uint8_t deviceAddress)
{
    std::string block;
    if (static_cast<char>(entry.Code3) != kNoChannel)
        block += static_cast<char>(entry.Code3);
    block += static_cast<char>(entry.Code1);
    block += static_cast<char>(entry.Code2);
    block += valueText;
    block += kEtx;
    char bcc = 0;
    for (char c : block)
        bcc = static_cast<char>(bcc ^ c);
    return addressDigits(deviceAddress) + kStx + block + bcc;
}

TAnswerResult parseAnswer(TProtocol& protocol, std::string_view request, std::string_view answer,
                          std::uint16_t entry)
{
    TAnswerResult result;
    result.Entry = entry;
    const Selector asked = requestSelector(request);
    std::uint16_t found = entry;
    if (!protocol.FindEntryBackward(static_cast<std::uint8_t>(asked.first),
                                    static_cast<std::uint8_t>(asked.channel), found))
        return result;
    result.Entry = found;
    TCommands& c = protocol.Commands[found];

    if (answer == "timeout") {
        result.Taken = true;
        result.Status = "timeout";
    } else if (answer == "format") {
        c.Valid = true;
        result.Taken = true;
        result.Status = "format";
    } else if (!answer.empty() && answer.front() == kStx) {
        const bool channel = isChannel(charAt(answer, 2));
        const Selector got{charAt(answer, channel ? 3 : 2), charAt(answer, channel ? 4 : 3),
                           channel ? charAt(answer, 2) : kNoChannel};
        result.Taken = true;
        if (got.first != asked.first || got.second != asked.second
            || got.channel != asked.channel) {
            result.Status = "error";
            return result;
        }
        const std::size_t column = static_cast<char>(c.Code3) == kNoChannel ? 4 : 5;
        std::string_view data = column <= answer.size() ? answer.substr(column - 1) : "";
        data = data.substr(0, data.find(kEtx));
        data.remove_prefix(std::min(data.find_first_not_of(' '), data.size()));
        protocol.StoreEIData(found, data);
        // A pick list shows its item; every other type shows the data as the device sent it,
        // so the window never keeps showing a value the device has since changed.
        if (c.TypeCode != kTypePickList)
            c.ValueText = toUtf8(data);
        c.Valid = true;
        if (c.PollRate > 0)
            c.PollCounter = 0;
        result.Status = c.ValueText;
    } else if (!answer.empty() && answer.front() == kAck) {
        c.Valid = false;
    } else if (!answer.empty() && answer.front() == kNak) {
        c.Valid = false;
        result.Taken = true;
        result.Status = "NAK";
    } else {
        result.Status = "error";
    }
    return result;
}

} // namespace quell::eibisynch
