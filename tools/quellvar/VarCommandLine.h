#pragma once

#include <string>
#include <vector>

#include "tools/quellvar/VarRunner.h"

namespace quell::tools {

// The arguments of one quellvar invocation.
class VarCommandLine {
public:
    // What to do; Invalid when the arguments were refused.
    enum class Command { Invalid, Dump, Run, Check };

    Command command = Command::Invalid;
    std::string fileName; // the description file
    bool compact = false; // the compact configurator's syntax and engine
    bool pretty = false;  // dump: the JSON laid out on many lines
    bool hex = false;     // dump: each code also in hexadecimal ("code1Hex": "0x12")
    VarLinkSettings link; // run only
    std::string error;    // why the arguments were refused (Invalid only)

    // Reads the arguments after the program name. Options are accepted as "--address N" or
    // "--address=N"; numbers may be written in hexadecimal ("0xA0", "$A0").
    static VarCommandLine parse(const std::vector<std::string>& arguments);

    // The usage text printed on bad arguments.
    static std::string usage();

    // Exit status for bad arguments (distinct from the statuses of the commands themselves).
    static constexpr int kUsageStatus = 64;
};

} // namespace quell::tools
