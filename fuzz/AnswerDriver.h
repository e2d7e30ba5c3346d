#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace quell {
class TProtocol;
}

namespace quell::fuzz {

// Feeds one fuzz input to the answer parser of a fixed table, as a short sequence of exchanges.
// Each exchange is laid out as
//   entry selector, flags, device address, request length n, n bytes, answer length m, m bytes
// (the last exchange's answer may be cut short by the end of the input). Flags bits 0-1 choose
// the request: 1 the engine's read request for the entry, 2 its write request with the n bytes as
// the value text, otherwise the n bytes themselves; bit 2 routes built Kestavin frames through
// the MC; bit 3 uses address 15 as for a FixedAddress entry. The selector picks entries 0..Count+1
// and, for the top values, entries at and beyond the end of the table.
// Sequences matter: a write followed by a refused answer exercises the rollback, and a taken
// answer changes the text the next rollback converts.
class AnswerDriver {
public:
    // Loads the description text once; aborts when it does not load.
    AnswerDriver(std::string_view fileName, std::string_view description);
    ~AnswerDriver();

    // Runs the exchanges of one input on the table in its loaded state.
    void run(const std::uint8_t* data, std::size_t size);

private:
    void restore();
    std::uint16_t selectEntry(std::uint8_t selector) const;
    void exchange(std::uint16_t entry, std::uint8_t flags, std::uint8_t address,
                  std::string_view requestBytes, std::string_view answer);

    std::unique_ptr<TProtocol> pristine_;
    std::unique_ptr<TProtocol> work_;
};

} // namespace quell::fuzz
