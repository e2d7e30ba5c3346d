#pragma once

#include "sim/SimDevice.h"

#include "protocol/UCommands.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quell::sim {

// A device speaking the maker's protocol, driven by the same description file the clients load:
// the file says which codes reach which entry, the access and the limits. It decodes requests
// (plain, or routed through the MC it sits behind), checks their checksum, form, access and range,
// and answers with value, long-value, string or status frames. Subclasses give the entries life.
class KestavinDevice : public SimDevice {
public:
    // Status bytes a board answers with instead of an echoed code.
    enum Status : std::uint8_t {
        kNoError = 0xB0,
        kBadCode = 0xB1,
        kBadValue = 0xB2,
        kBadChecksum = 0xB3,
        kBadForm = 0xB4,
        kReadOnly = 0xB5,
    };

    // description must be a loaded Kestavin table; address is the device address (1..14), mask
    // the address mask and mcByte the address byte of the MC that routes to this device.
    KestavinDevice(std::string model, std::shared_ptr<const TProtocol> description,
                   std::uint8_t address, std::uint8_t mask = 0xA0, std::uint8_t mcByte = 0x41);

    std::optional<Reply> respond(std::string_view request, SimTime now) override;
    std::string label() const override;

    // The raw value an entry holds now (as a read would report it, without advancing time).
    std::int32_t raw(std::uint16_t entry) const;
    // The entry answering a code and parameter code (reads match Code1, writes Code2); 0 = none.
    std::uint16_t entryFor(std::uint8_t code, std::uint8_t code3, bool write) const;

protected:
    // Brings the device's state to time now; called before each request is served.
    virtual void advance(SimTime now);
    // Applies an accepted write (access and range already checked); returns the status to answer,
    // kNoError to answer with the stored value.
    virtual Status store(std::uint16_t entry, std::int16_t value);
    // The text of a string entry.
    virtual std::string text(std::uint16_t entry) const;

    const TProtocol& table() const { return *description_; }
    std::int32_t& rawRef(std::uint16_t entry) { return values_.at(entry); }

private:
    std::string serve(std::string_view plain);
    std::string valueAnswer(std::uint8_t code, std::uint16_t entry) const;
    std::string statusAnswer(std::uint8_t status, std::uint8_t code3) const;
    bool inRange(const TCommands& c, std::int16_t value) const;
    bool fixedEntry(std::uint8_t code, std::uint8_t code3) const;

    std::string model_;
    std::shared_ptr<const TProtocol> description_;
    std::uint8_t address_;
    std::uint8_t addressByte_;
    std::uint8_t fixedByte_;
    std::uint8_t mcByte_;
    std::vector<std::int32_t> values_;
};

} // namespace quell::sim
