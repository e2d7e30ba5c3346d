#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace quell::compact {
class TProtocol;
}

namespace quell::tools {

// "run --compact": drives the compact engine one command line at a time, as the full "run" does
// the full engine, with the commands the compact engine has:
//   read E | write E TEXT | text E RAW | value E TEXT | backward CODE1 CODE2 | entry E
//   set E value|valueText|valid V
// Frames are addressed with one byte, the device address ORed with the mask.
class CompactRunner {
public:
    // Works on table (loaded by the caller), which must outlive the runner.
    CompactRunner(compact::TProtocol& table, std::uint8_t addressByte);

    // Carries out one command line and returns its JSON object (no newline). Never throws:
    // every failure becomes {"error":"..."}.
    std::string execute(std::string_view commandLine);
    // Reads command lines until the input ends and writes one JSON line for each, flushed.
    void run(std::istream& in, std::ostream& out);

private:
    compact::TProtocol& table_;
    std::uint8_t addressByte_;
};

} // namespace quell::tools
