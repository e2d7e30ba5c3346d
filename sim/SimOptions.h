#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quell::sim {

struct SimOptionsResult;

// quellsim's command line.
struct SimOptions {
    std::string devices; // MODEL[@ADDRESS][:OPTION...][,...] as given
    bool pty = false;    // --pty
    std::string link;    // --link PATH
    int turnaroundMs = 2;
    std::string fault;  // --fault plan, checked
    std::string varDir; // --var-dir
    bool verbose = false;
    bool help = false;

    // The device list with address 1 for every model that names none (before its options), as
    // DeviceFactory reads it.
    std::string deviceList() const;

    // Reads the arguments after the program name: the options, or a message naming the bad
    // argument. --help wins over missing devices and --pty, never over a malformed option.
    static SimOptionsResult parse(const std::vector<std::string>& args);
    // The --help text.
    static std::string usage();
};

// What SimOptions::parse made of a command line: options when it is sound, else error.
struct SimOptionsResult {
    std::optional<SimOptions> options;
    std::string error;
};

} // namespace quell::sim
