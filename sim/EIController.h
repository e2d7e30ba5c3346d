#pragma once

#include "sim/SimDevice.h"

#include "protocol/UCommands.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace quell::sim {

// A single-loop process controller on EI-Bisynch, driven by the same description file as the
// clients (mnemonics, channels, types and limits). Its process value follows the output through a
// first-order lag; in "Auto" a PI loop drives the output towards the set point. Polls get data
// answers (EOT for an unknown mnemonic), selections ACK when accepted and NAK when the block
// check, the mnemonic, the access or the range is wrong.
class EIController : public SimDevice {
public:
    EIController(std::shared_ptr<const TProtocol> description, std::uint8_t address);

    std::optional<Reply> respond(std::string_view request, SimTime now) override;
    std::string label() const override;

    // The value an entry holds (tenths etc. as in the description; pick lists by index).
    std::int32_t raw(std::uint16_t entry) const;

private:
    std::uint16_t find(char c1, char c2, char channel) const;
    std::string poll(std::uint16_t entry) const;
    bool select(std::uint16_t entry, std::string_view data);
    void advance(SimTime now);
    std::uint16_t byName(char c1, char c2, char channel = '0') const;

    std::shared_ptr<const TProtocol> description_;
    std::uint8_t address_;
    std::vector<std::int32_t> values_;
    double pv_ = 20.0;
    double integral_ = 0.0;
    SimTime now_{0};
    bool started_ = false;
};

} // namespace quell::sim
