#include "protocol/FrameDriver.h"

#include "protocol/EIBisynchFrames.h"
#include "protocol/KestavinFrames.h"
#include "protocol/ValueCodec.h"

namespace quell {

namespace {

// Kind 0: no protocol was recognised, so there is nothing to send and no answer is taken.
std::string noRead(const TCommands&, const FrameAddress&)
{
    return {};
}

std::string noWrite(TCommands&, std::string_view, const FrameAddress&)
{
    return {};
}

TAnswerResult noAnswer(TProtocol&, std::string_view, std::string_view, std::uint16_t entry)
{
    TAnswerResult result;
    result.Entry = entry;
    return result;
}

std::string kestavinRead(const TCommands& entry, const FrameAddress& a)
{
    return kestavin::buildReadRequest(entry, a.deviceAddress, a.mask, a.viaMC, a.mcAddress,
                                      a.mcMask);
}

std::string kestavinWrite(TCommands& entry, std::string_view valueText, const FrameAddress& a)
{
    // The frame carries the raw value, so the entry holds it from now on; an answer that does not
    // confirm the write takes it back.
    entry.Value = textToValue(entry, valueText, entry.Value);
    return kestavin::buildWriteRequest(entry, a.deviceAddress, a.mask, a.viaMC, a.mcAddress,
                                       a.mcMask);
}

std::string eiRead(const TCommands& entry, const FrameAddress& a)
{
    return eibisynch::buildReadRequest(entry, a.deviceAddress);
}

std::string eiWrite(TCommands& entry, std::string_view valueText, const FrameAddress& a)
{
    // The frame carries the text itself; storing it first keeps the entry's number in step.
    storeEIData(entry, valueText);
    return eibisynch::buildWriteRequest(entry, valueText, a.deviceAddress);
}

constexpr FrameDriver kDrivers[] = {
    {kKindNone, noRead, noWrite, noAnswer},
    {kKindKestavin, kestavinRead, kestavinWrite, kestavin::parseAnswer},
    {kKindEIBisynch, eiRead, eiWrite, eibisynch::parseAnswer},
};

} // namespace

const FrameDriver& frameDriverFor(std::uint8_t kind)
{
    for (const FrameDriver& driver : kDrivers) {
        if (driver.kind == kind)
            return driver;
    }
    return kDrivers[0];
}

} // namespace quell
