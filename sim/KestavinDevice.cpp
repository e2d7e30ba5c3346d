#include "sim/KestavinDevice.h"

#include "protocol/ControlChars.h"
#include "protocol/KestavinFrames.h"

#include <utility>

namespace quell::sim {

namespace {

using kestavin::decodePair;
using kestavin::encodeByte;

constexpr std::size_t kReadLength = 9;
constexpr std::size_t kWriteLength = 13;

// Every character after the address byte and before the end must be one of "0".."?".
bool wellFormed(std::string_view frame)
{
    if (frame.size() < 3 || frame.front() != kSoh || frame.back() != kEot)
        return false;
    for (std::size_t i = 2; i + 1 < frame.size(); ++i) {
        const auto c = static_cast<unsigned char>(frame[i]);
        if (c < 0x30 || c > 0x3F)
            return false;
    }
    return true;
}

std::string nibbles(std::uint32_t value, int count)
{
    std::string out;
    for (int i = count - 1; i >= 0; --i)
        out += static_cast<char>(0x30 + ((value >> (4 * i)) & 0x0F));
    return out;
}

} // namespace

KestavinDevice::KestavinDevice(std::string model, std::shared_ptr<const TProtocol> description,
                               std::uint8_t address, std::uint8_t mask, std::uint8_t mcByte)
    : model_(std::move(model)), description_(std::move(description)), address_(address),
      addressByte_(static_cast<std::uint8_t>(mask | address)),
      fixedByte_(static_cast<std::uint8_t>(mask | kFixedDeviceAddress)), mcByte_(mcByte),
      values_(description_->Commands.size(), 0)
{
    for (std::uint16_t e = 1; e <= description_->Count; ++e)
        values_[e] = description_->Commands[e].Default;
}

std::string KestavinDevice::label() const
{
    return model_ + "@" + std::to_string(address_);
}

std::int32_t KestavinDevice::raw(std::uint16_t entry) const
{
    return entry < values_.size() ? values_[entry] : 0;
}

std::uint16_t KestavinDevice::entryFor(std::uint8_t code, std::uint8_t code3, bool write) const
{
    for (std::uint16_t e = 1; e <= description_->Count; ++e) {
        const TCommands& c = description_->Commands[e];
        if (c.Code3 == code3 && (write ? c.Code2 : c.Code1) == code)
            return e;
    }
    return 0;
}

bool KestavinDevice::fixedEntry(std::uint8_t code, std::uint8_t code3) const
{
    const std::uint16_t e =
        entryFor(code, code3, false) ? entryFor(code, code3, false) : entryFor(code, code3, true);
    return e != 0 && description_->Commands[e].FixedAddress;
}

void KestavinDevice::advance(SimTime)
{
}

KestavinDevice::Status KestavinDevice::store(std::uint16_t entry, std::int16_t value)
{
    values_[entry] = value;
    return kNoError;
}

std::string KestavinDevice::text(std::uint16_t entry) const
{
    return description_->Commands[entry].Name;
}

std::optional<Reply> KestavinDevice::respond(std::string_view request, SimTime now)
{
    if (request.size() < 3 || request.front() != kSoh)
        return std::nullopt;
    const auto second = static_cast<std::uint8_t>(request[1]);
    const bool routed = second == mcByte_ && decodePair(request, 3) == kestavin::kRoutingMarker
                        && decodePair(request, 5) == addressByte_;
    // Entries marked for the fixed address are reached with address 15 on every board.
    const bool fixed = second == fixedByte_ && request.size() >= 7
                       && fixedEntry(decodePair(request, 3), decodePair(request, 5));
    if (second != addressByte_ && !routed && !fixed)
        return std::nullopt;
    advance(now);
    if (!routed)
        return Reply{serve(request)};
    // Behind the MC: the MC strips its wrapping, and wraps the device's answer on the way back.
    const std::string plain = serve(kestavin::unroute(request));
    std::string out;
    out += kSoh;
    out += static_cast<char>(mcByte_);
    out += encodeByte(kestavin::kRoutingMarker);
    out += encodeByte(addressByte_);
    out += plain.substr(2, plain.size() - 3);
    out += encodeByte(static_cast<std::uint8_t>(addressByte_ ^ 0xFF));
    out += kEtx;
    return Reply{out};
}

std::string KestavinDevice::serve(std::string_view plain)
{
    const std::uint8_t code = decodePair(plain, 3);
    const std::uint8_t code3 = decodePair(plain, 5);
    if (!wellFormed(plain) || (plain.size() != kReadLength && plain.size() != kWriteLength))
        return statusAnswer(kBadForm, code3);
    const bool write = plain.size() == kWriteLength;
    const std::uint8_t sent = decodePair(plain, write ? 11 : 7);
    std::uint8_t sum = code ^ code3;
    std::uint8_t high = 0;
    std::uint8_t low = 0;
    if (write) {
        high = decodePair(plain, 7);
        low = decodePair(plain, 9);
        sum ^= high ^ low;
    }
    if (sent != sum)
        return statusAnswer(kBadChecksum, code3);
    const std::uint16_t entry = entryFor(code, code3, write);
    if (entry == 0)
        return statusAnswer(entryFor(code, code3, !write) ? kBadForm : kBadCode, code3);
    const TCommands& c = description_->Commands[entry];
    if (!write)
        return c.Access == kAccessWriteOnly ? statusAnswer(kNoError, code3)
                                            : valueAnswer(code, entry);
    if (c.Access == kAccessReadOnly || c.TypeCode == kTypeString)
        return statusAnswer(kReadOnly, code3);
    const auto value = static_cast<std::int16_t>((high << 8) | low);
    if (!inRange(c, value))
        return statusAnswer(kBadValue, code3);
    const Status status = store(entry, value);
    if (status != kNoError || c.Access == kAccessWriteOnly)
        return statusAnswer(status, code3);
    return valueAnswer(code, entry);
}

bool KestavinDevice::inRange(const TCommands& c, std::int16_t value) const
{
    if (c.TypeCode == kTypePickList)
        return value >= 0 && value <= c.Max;
    if (c.Min <= c.Max)
        return value >= c.Min && value <= c.Max;
    // Limits written as words above $7FFF ("$FFFF") wrap negative: compare them unsigned.
    const auto u = static_cast<std::uint16_t>(value);
    return u >= static_cast<std::uint16_t>(c.Min) && u <= static_cast<std::uint16_t>(c.Max);
}

std::string KestavinDevice::valueAnswer(std::uint8_t code, std::uint16_t entry) const
{
    const TCommands& c = description_->Commands[entry];
    std::string out;
    out += kSoh;
    out += static_cast<char>(addressByte_);
    out += encodeByte(code);
    out += encodeByte(c.Code3);
    std::uint8_t sum = code ^ c.Code3;
    if (c.TypeCode == kTypeString) {
        for (unsigned char ch : text(entry)) {
            out += encodeByte(ch);
            sum ^= ch;
        }
        out += encodeByte(0); // the string's terminator, as the board keeps it
    } else {
        const auto v = static_cast<std::uint32_t>(values_[entry]);
        const bool wide = c.TypeCode == kTypeLong;
        out += nibbles(wide ? v : (v & 0xFFFF), wide ? 8 : 4);
        for (int shift = 0; shift < (wide ? 32 : 16); shift += 8)
            sum ^= static_cast<std::uint8_t>(v >> shift);
    }
    out += encodeByte(sum);
    out += kEtx;
    return out;
}

std::string KestavinDevice::statusAnswer(std::uint8_t status, std::uint8_t code3) const
{
    std::string out;
    out += kSoh;
    out += static_cast<char>(addressByte_);
    out += encodeByte(status);
    out += encodeByte(code3);
    out += encodeByte(static_cast<std::uint8_t>(status ^ code3));
    out += kEtx;
    return out;
}

} // namespace quell::sim
