#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "protocol/UCommands.h"

namespace quell::tools {

// How requests are addressed, as the client's [Protocol] settings would say.
struct VarLinkSettings {
    std::uint8_t address = 1;   // device address (15 is used instead for fixed-address entries)
    std::uint8_t mask = 160;    // ORed with the address into the address byte
    bool viaMC = false;         // route requests through the master controller
    std::uint8_t mcAddress = 1; // the master controller's address
    std::uint8_t mcMask = 64;   // ORed with the MC address into the MC byte
};

// The "run" command: drives the engine one command line at a time, so a sequence of requests and
// answers can be replayed against a loaded table without a device or a window.
class VarRunner {
public:
    // Works on protocol (already loaded by the caller), which must outlive the runner.
    VarRunner(TProtocol& protocol, VarLinkSettings settings);

    // Carries out one command line and returns its JSON object (no newline). Never throws:
    // every failure becomes {"error":"..."}.
    std::string execute(std::string_view commandLine);

    // Reads command lines until the input ends and writes one JSON line for each, flushed at
    // once so that a driving program can wait for each answer.
    void run(std::istream& in, std::ostream& out);

    // Loads fileName into a fresh table and runs the commands of in against it. A failed load is
    // told on err, and the commands still run on whatever the loader kept (that is what the
    // client would work with). Returns the status of the load, as the dump command does.
    static int runFile(const std::string& fileName, VarLinkSettings settings, std::istream& in,
                       std::ostream& out, std::ostream& err);

private:
    std::uint8_t addressFor(std::uint16_t entry) const;

    TProtocol& protocol_;
    VarLinkSettings settings_;
};

} // namespace quell::tools
