#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "protocol/UCommands.h"

namespace quell::tools {

class JsonWriter;

// The "dump" command: what the engine made of a description file, as one JSON object.
class VarDump {
public:
    // Exit statuses of the command.
    enum Status : int { kLoaded = 0, kNotLoaded = 1, kLoadError = 2 };

    // Writes entry `index` of the table as the ENTRY object (pick-list items 0..Max for type s,
    // never more than the table holds). The index must lie inside the table.
    static void writeEntry(JsonWriter& json, const TProtocol& protocol, std::uint16_t index,
                           bool hex = false);

    // Loads fileName into protocol and writes the dump object with its entries 1..Count and, when
    // the load threw, "error" and "errorLine"; no newline. Returns the exit status.
    static Status write(TProtocol& protocol, const std::string& fileName, JsonWriter& json,
                        bool hex = false);

    // Loads fileName into a fresh table and prints the dump object on one line (pretty: laid
    // out on many lines; hex: each code also in hexadecimal).
    static Status run(const std::string& fileName, std::ostream& out, bool pretty = false,
                      bool hex = false);
};

} // namespace quell::tools
