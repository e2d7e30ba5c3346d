#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace quell::compact {
class TProtocol;
}

namespace quell::tools {

class JsonWriter;

// "dump --compact" and "check --compact": what the compact configurator's engine makes of a
// description in the compact syntax.
class CompactVar {
public:
    // Loads fileName with the compact engine and prints the table as one JSON object on one line
    // (loaded, protocolName, section, count, entries, and error with errorLine when the load
    // threw). Exit statuses as dump: 0 loaded, 1 not loaded, 2 load error.
    static int dump(const std::string& fileName, std::ostream& out, bool pretty = false);
    // Loads fileName with the compact engine and reports what its author should fix: a load that
    // fails (with its line) and entries whose two codes another entry repeats, since answers to
    // both land on the later one. Exit status 0 clean, 1 problems.
    static int check(const std::string& fileName, std::ostream& out);
    // "run --compact": loads fileName with the compact engine, then answers the command lines of
    // in (CompactRunner) with addressByte on the frames. A failed load is told on err and the
    // commands still run on what was loaded; the exit status is that of dump.
    static int run(const std::string& fileName, std::uint8_t addressByte, std::istream& in,
                   std::ostream& out, std::ostream& err);
    // One entry of a compact table as dump writes it.
    static void writeEntry(JsonWriter& json, const compact::TProtocol& table, int entry);
};

} // namespace quell::tools
