#pragma once

#include <iosfwd>
#include <string>

namespace quell::tools {

// "dump --compact" and "check --compact": what the compact configurator's engine makes of a
// description in the compact syntax.
class CompactVar {
public:
    // Loads fileName with the compact engine and prints the table as one JSON object on one line
    // (loaded, protocolName, section, count, entries, and error with errorLine when the load
    // threw). Exit statuses as dump: 0 loaded, 1 not loaded, 2 load error.
    static int dump(const std::string& fileName, std::ostream& out);
    // Loads fileName with the compact engine and reports what its author should fix: a load that
    // fails (with its line) and entries whose two codes another entry repeats, since answers to
    // both land on the later one. Exit status 0 clean, 1 problems.
    static int check(const std::string& fileName, std::ostream& out);
};

} // namespace quell::tools
